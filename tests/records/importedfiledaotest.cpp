#include "records/importedfiledao.h"

#include "records/resultset.h"
#include "recordstesthelpers.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {
const QString otherHash = u"de9f2c7fd25e1b3afad3e85a0bd17d9b100db4b3"_s;

auto valuesOf(const ImportedFileEntity& file)
{
    return std::tuple(file.fileName(), file.cameraId(), file.datetime(), file.originalFileName(),
                      file.transferredFolder(), file.mirrorImageType(), file.drawingFlg(),
                      file.mode(), file.capturedDttm(), file.hashCode());
}
} // namespace

using ImportedFileDaoTest = SeededDaoTest;

TEST_F(ImportedFileDaoTest, HostileValuesRoundTripUnchangedAndAreFoundAsDuplicates)
{
    const QString longFolder = u"/media/dr/CARD/"_s + u"山田 O'Brien_100%/"_s.repeated(210);
    ASSERT_GE(longFolder.toUtf8().size(), 4096);
    ImportedFileEntity file = makeImportedFile(u"O'Brien_\"100%\"\\.jpg"_s, hash);
    file.setCameraId(u"SN'; drop table imported_file; --"_s);
    file.setOriginalFileName(longFolder + file.fileName());
    file.setTransferredFolder(u"/home/dr/写真/0012-345 山田 太郎 😀"_s);
    file.setMirrorImageType(u"%"_s);
    file.setDrawingFlg(u"_"_s);
    file.setMode(u"''"_s);

    ASSERT_TRUE(dao.insert(file));
    const auto all = dao.findAllImportedFiles();
    ASSERT_EQ(all.size(), 1);
    EXPECT_EQ(valuesOf(all.first()), valuesOf(file));
    EXPECT_GT(all.first().recordId(), 0);

    const auto duplicates = findDuplicate(dao, file);
    ASSERT_EQ(duplicates.size(), 1);
    EXPECT_EQ(valuesOf(duplicates.first()), valuesOf(file));
    EXPECT_EQ(dao.findByFileNameCameraId(file.fileName(), file.cameraId()).size(), 1);

    // No value is ever written into a statement's text, which a failing run logs.
    ASSERT_TRUE(RawDatabase::execute(seeded.path(), u"drop table imported_file;"_s));
    StderrCapture log;
    dao.insert(file);
    findDuplicate(dao, file);
    dao.findByFileNameCameraId(file.fileName(), file.cameraId());
    EXPECT_EQ(log.count(u"DB Query: "_s), 3);
    EXPECT_FALSE(log.text().contains(u"O'Brien"_s) || log.text().contains(hash))
        << log.text().toStdString();
}

TEST_F(ImportedFileDaoTest, DuplicateTestMatchesTheNameBySuffixFoldingAsciiCaseAndTheRestExactly)
{
    const ImportedFileEntity stored =
        makeImportedFile(u"0012-345/20240105103000_Occlusal-A.JPG"_s, hash);
    ASSERT_TRUE(dao.insert(stored));
    ASSERT_TRUE(dao.insert(makeImportedFile(u"Ärztin_Ｂ.jpg"_s, hash)));
    const QString name = u"20240105103000_Occlusal-A.JPG"_s;
    using Setter = void (ImportedFileEntity::*)(const QString&);
    struct Case
    {
        int found;
        QString fileName;
        Setter change = nullptr;
        QString changedValue = {};
    };
    const Case cases[] = {
        {1, name},
        {1, u"20240105103000_occlusal-a.jpg"_s},
        {1, u"20240105103000_Occlusal_A.JPG"_s},
        {1, u"2024%A.JPG"_s},
        {1, stored.fileName()},
        // Another name (other patient or date), a longer name, a prefix.
        {0, u"20240106103000_Occlusal-A.JPG"_s},
        {0, u"x0012-345/20240105103000_Occlusal-A.JPG"_s},
        {0, u"20240105103000_Occlusal"_s},
        // Only ASCII letters fold.
        {1, u"Ärztin_Ｂ.JPG"_s},
        {0, u"ärztin_Ｂ.jpg"_s},
        {0, u"Ärztin_ｂ.jpg"_s},
        // The other five columns must be exactly equal.
        {0, name, &ImportedFileEntity::setCameraId, u"lm1234567"_s},
        {0, name, &ImportedFileEntity::setCameraId, u"LM%"_s},
        {0, name, &ImportedFileEntity::setMirrorImageType, u"02"_s},
        {0, name, &ImportedFileEntity::setDrawingFlg, u"01"_s},
        {0, name, &ImportedFileEntity::setMode, u"0A"_s},
        {0, name, &ImportedFileEntity::setHashCode, otherHash},
        {0, name, &ImportedFileEntity::setHashCode, hash.toUpper()},
    };
    for (const Case& c : cases) {
        ImportedFileEntity probe = stored;
        if (c.change)
            (probe.*c.change)(c.changedValue);
        EXPECT_EQ(findDuplicate(dao, probe, c.fileName).size(), c.found)
            << c.fileName.toStdString() << " " << c.changedValue.toStdString();
    }
}

TEST_F(ImportedFileDaoTest, RegistrationStoresEveryValueAndLogsAlsoWhenTheInsertFails)
{
    const auto registerFile = [this](const ImportedFileEntity& f) {
        return ImportedFileDao::registerImportedFile(f.fileName(), f.cameraId(), f.datetime(),
                                                     f.originalFileName(), f.transferredFolder(),
                                                     f.mirrorImageType(), f.drawingFlg(), f.mode(),
                                                     f.capturedDttm(), f.hashCode(), seeded.path());
    };
    const ImportedFileEntity first = makeImportedFile(u"20240105103000.jpg"_s, hash);
    StderrCapture log;
    ASSERT_TRUE(registerFile(first));
    ASSERT_TRUE(dao.insert(makeImportedFile(u"x_20240105103000.jpg"_s, hash)));
    // A second import of the same picture finds the first row first.
    const auto found = findDuplicate(dao, first);
    ASSERT_EQ(found.size(), 2);
    EXPECT_LT(found.at(0).recordId(), found.at(1).recordId());
    EXPECT_EQ(valuesOf(found.at(0)), valuesOf(first));

    ASSERT_TRUE(RawDatabase::execute(seeded.path(), u"drop table imported_file;"_s));
    ImportedFileEntity failing = makeImportedFile(u"b.jpg"_s, hash);
    failing.setCapturedDttm(20240105103001);
    EXPECT_FALSE(registerFile(failing));
    for (const char* logged :
         {"20240105103000.jpg CapturedDttm=20240105103000", "b.jpg CapturedDttm=20240105103001"})
        EXPECT_EQ(log.count(u"[info]: 取込リストに情報を追加しました。(FileNm=%1)"_s.arg(
                      QLatin1String(logged))),
                  1);
}

TEST_F(ImportedFileDaoTest, FileNameFindsMatchExactlyOrAfterASlash)
{
    const QString camera = u"LM1234567"_s;
    ASSERT_TRUE(dao.insert(makeImportedFile(u"patient/abc.jpg"_s, hash)));
    ASSERT_TRUE(dao.insert(makeImportedFile(u"xabc.jpg"_s, hash)));

    EXPECT_EQ(dao.findByLikeFileNameCameraId(u"ABC.jpg"_s, camera).size(), 1);
    EXPECT_TRUE(dao.findByLikeFileNameCameraId(u"abc.jpg"_s, u"LM"_s).isEmpty());
    EXPECT_EQ(dao.findByFileNameCameraId(u"xabc.jpg"_s, camera).size(), 1);
    EXPECT_TRUE(dao.findByFileNameCameraId(u"XABC.jpg"_s, camera).isEmpty());
    EXPECT_TRUE(dao.findByFileNameCameraId(u"x_bc.jpg"_s, camera).isEmpty());
}

TEST_F(ImportedFileDaoTest, UpdateAndDeleteWorkOnTheRecordWithThatIdOnlyAndNullTextsStoreEmpty)
{
    ASSERT_TRUE(dao.insert(makeImportedFile(u"a.jpg"_s, hash)));
    ASSERT_TRUE(dao.insert(makeImportedFile(u"b.jpg"_s, hash)));
    const auto all = dao.findAllImportedFiles();
    ASSERT_EQ(all.size(), 2);

    ImportedFileEntity changed = makeImportedFile(u"renamed 'a'.jpg"_s, otherHash, 20250101000000);
    changed.setRecordId(all.at(0).recordId());
    EXPECT_TRUE(dao.update(changed));
    EXPECT_EQ(valuesOf(*dao.findImportedFileById(changed.recordId())), valuesOf(changed));
    EXPECT_EQ(valuesOf(*dao.findImportedFileById(all.at(1).recordId())), valuesOf(all.at(1)));

    EXPECT_TRUE(dao.deleteByEntity(all.at(1)));
    EXPECT_FALSE(dao.findImportedFileById(all.at(1).recordId()).has_value());
    EXPECT_TRUE(dao.deleteById(changed.recordId()));
    EXPECT_TRUE(dao.findAllImportedFiles().isEmpty());
    // Deleting what is not there still runs to completion.
    EXPECT_TRUE(dao.deleteById(changed.recordId()));

    // Null texts are stored as empty texts (a null would make the concatenation null).
    ImportedFileEntity file;
    file.setDatetime(20240105103000);
    ASSERT_TRUE(dao.insert(file));
    EXPECT_EQ(dao.executeFindSingleColumn(u"select count(*) from imported_file where "
                                          "hash_code || original_file_name || file_name = '';"_s)
                  ->toLongLong(),
              1);
}

TEST_F(ImportedFileDaoTest, DuplicateTestNarrowsByTheHashIndexInsteadOfScanningTheTable)
{
    // A run on a database without the table logs the statement as the layer runs it.
    const QTemporaryDir empty;
    StderrCapture log;
    findDuplicate(ImportedFileDao(empty.filePath(u"Talvoren.db"_s)),
                  makeImportedFile(u"7.jpg"_s, hash));
    const QString sql = log.text().section(u"DB Query: "_s, 1).section(u'\n', 0, 0);
    ASSERT_TRUE(sql.startsWith(u"select "_s)) << log.text().toStdString();
    const auto plan = [&] { return RawDatabase::queryPlan(seeded.path(), sql).join(u'\n'); };
    EXPECT_TRUE(plan().contains(u"USING INDEX imported_file_hash_code_index"_s))
        << plan().toStdString();
    // Without the index the same statement walks the whole table: the plan is real.
    ASSERT_TRUE(
        RawDatabase::execute(seeded.path(), u"drop index imported_file_hash_code_index;"_s));
    EXPECT_TRUE(plan().contains(u"SCAN imported_file"_s)) << plan().toStdString();
}
