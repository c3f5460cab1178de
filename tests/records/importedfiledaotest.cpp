// The imported_file table through ImportedFileDao: values round-trip unchanged,
// the duplicate test follows its matching rules, and no value is ever written into
// the SQL text.
#include "records/importedfiledao.h"

#include "records/resultset.h"
#include "recordstesthelpers.h"

#include <gtest/gtest.h>

namespace {
const QString hash = QStringLiteral("2fd4e1c67a2d28fced849ee1bb76e7391b93eb12");
const QString otherHash = QStringLiteral("de9f2c7fd25e1b3afad3e85a0bd17d9b100db4b3");

QList<ImportedFileEntity> findDuplicate(const ImportedFileDao& dao, const QString& fileName,
                                        const ImportedFileEntity& like)
{
    return dao.findByLikeFileName(fileName, like.cameraId(), like.mirrorImageType(),
                                  like.drawingFlg(), like.mode(), like.hashCode());
}

// Every stored value of a record, for one comparison.
auto valuesOf(const ImportedFileEntity& file)
{
    return std::tuple(file.fileName(), file.cameraId(), file.datetime(), file.originalFileName(),
                      file.transferredFolder(), file.mirrorImageType(), file.drawingFlg(),
                      file.mode(), file.capturedDttm(), file.hashCode());
}
} // namespace

class ImportedFileDaoTest : public testing::Test
{
protected:
    SeededDatabase seeded;
    ImportedFileDao dao{seeded.path()};
};

TEST_F(ImportedFileDaoTest, HostileValuesRoundTripUnchangedAndAreFoundAsDuplicates)
{
    const QString longFolder =
        QStringLiteral("/media/dr/CARD/") + QStringLiteral("山田 O'Brien_100%/").repeated(210);
    ASSERT_GE(longFolder.toUtf8().size(), 4096);
    ImportedFileEntity file = makeImportedFile(QStringLiteral("O'Brien_\"100%\"\\.jpg"), hash);
    file.setCameraId(QStringLiteral("SN'; drop table imported_file; --"));
    file.setOriginalFileName(longFolder + file.fileName());
    file.setTransferredFolder(QStringLiteral("/home/dr/写真/0012-345 山田 太郎 😀"));
    file.setMirrorImageType(QStringLiteral("%"));
    file.setDrawingFlg(QStringLiteral("_"));
    file.setMode(QStringLiteral("''"));

    StatementRecorder recorder;
    ASSERT_TRUE(dao.insert(file));
    const auto all = dao.findAllImportedFiles();
    ASSERT_EQ(all.size(), 1);
    EXPECT_EQ(valuesOf(all.first()), valuesOf(file));
    EXPECT_GT(all.first().recordId(), 0);

    const auto duplicates = findDuplicate(dao, file.fileName(), file);
    ASSERT_EQ(duplicates.size(), 1);
    EXPECT_EQ(valuesOf(duplicates.first()), valuesOf(file));
    EXPECT_EQ(dao.findByFileNameCameraId(file.fileName(), file.cameraId()).size(), 1);

    for (const auto& statement : recorder.statements()) {
        EXPECT_FALSE(statement.sql.contains(QStringLiteral("O'Brien")))
            << statement.sql.toStdString();
        EXPECT_FALSE(statement.sql.contains(hash)) << statement.sql.toStdString();
    }
}

TEST_F(ImportedFileDaoTest, NullTextsAreStoredAsEmptyTextsInTheNotNullColumns)
{
    ImportedFileEntity file;
    file.setDatetime(20240105103000);
    ASSERT_TRUE(dao.insert(file));
    const auto all = dao.findAllImportedFiles();
    ASSERT_EQ(all.size(), 1);
    EXPECT_TRUE(all.first().hashCode().isEmpty());
    EXPECT_EQ(dao.executeFindSingleColumn(
                     QStringLiteral("select count(*) from imported_file where hash_code = '' and "
                                    "original_file_name = '' and file_name = '';"))
                  ->toLongLong(),
              1);
}

TEST_F(ImportedFileDaoTest, DuplicateTestMatchesTheNameBySuffixFoldingAsciiCaseAndTheRestExactly)
{
    const ImportedFileEntity stored =
        makeImportedFile(QStringLiteral("0012-345/20240105103000_Occlusal-A.JPG"), hash);
    ASSERT_TRUE(dao.insert(stored));
    ASSERT_TRUE(dao.insert(makeImportedFile(QStringLiteral("Ärztin_Ｂ.jpg"), hash)));
    const QString name = QStringLiteral("20240105103000_Occlusal-A.JPG");
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
        {1, QStringLiteral("20240105103000_occlusal-a.jpg")},
        {1, QStringLiteral("20240105103000_Occlusal_A.JPG")},
        {1, QStringLiteral("2024%A.JPG")},
        {1, stored.fileName()},
        // Another name (other patient or date), a longer name, a prefix.
        {0, QStringLiteral("20240106103000_Occlusal-A.JPG")},
        {0, QStringLiteral("x0012-345/20240105103000_Occlusal-A.JPG")},
        {0, QStringLiteral("20240105103000_Occlusal")},
        // Only ASCII letters fold.
        {1, QStringLiteral("Ärztin_Ｂ.JPG")},
        {0, QStringLiteral("ärztin_Ｂ.jpg")},
        {0, QStringLiteral("Ärztin_ｂ.jpg")},
        // The other five columns must be exactly equal.
        {0, name, &ImportedFileEntity::setCameraId, QStringLiteral("lm1234567")},
        {0, name, &ImportedFileEntity::setCameraId, QStringLiteral("LM%")},
        {0, name, &ImportedFileEntity::setMirrorImageType, QStringLiteral("02")},
        {0, name, &ImportedFileEntity::setDrawingFlg, QStringLiteral("01")},
        {0, name, &ImportedFileEntity::setMode, QStringLiteral("0A")},
        {0, name, &ImportedFileEntity::setHashCode, otherHash},
        {0, name, &ImportedFileEntity::setHashCode, hash.toUpper()},
    };
    for (const Case& c : cases) {
        ImportedFileEntity probe = stored;
        if (c.change)
            (probe.*c.change)(c.changedValue);
        EXPECT_EQ(findDuplicate(dao, c.fileName, probe).size(), c.found)
            << c.fileName.toStdString() << " " << c.changedValue.toStdString();
    }
}

TEST_F(ImportedFileDaoTest, SecondImportOfTheSamePictureFindsTheFirstRowInInsertionOrder)
{
    const ImportedFileEntity first = makeImportedFile(QStringLiteral("20240105103000.jpg"), hash);
    ASSERT_TRUE(ImportedFileDao::registerImportedFile(
        first.fileName(), first.cameraId(), first.datetime(), first.originalFileName(),
        first.transferredFolder(), first.mirrorImageType(), first.drawingFlg(), first.mode(),
        first.capturedDttm(), first.hashCode(), seeded.path()));
    ASSERT_TRUE(dao.insert(makeImportedFile(QStringLiteral("x_20240105103000.jpg"), hash)));
    const auto found = findDuplicate(dao, first.fileName(), first);
    ASSERT_EQ(found.size(), 2);
    EXPECT_LT(found.at(0).recordId(), found.at(1).recordId());
    EXPECT_EQ(valuesOf(found.at(0)), valuesOf(first));
}

TEST_F(ImportedFileDaoTest, FileNameFindsMatchExactlyOrAfterASlash)
{
    const QString camera = QStringLiteral("LM1234567");
    ASSERT_TRUE(dao.insert(makeImportedFile(QStringLiteral("patient/abc.jpg"), hash)));
    ASSERT_TRUE(dao.insert(makeImportedFile(QStringLiteral("xabc.jpg"), hash)));

    EXPECT_EQ(dao.findByLikeFileNameCameraId(QStringLiteral("ABC.jpg"), camera).size(), 1);
    EXPECT_TRUE(
        dao.findByLikeFileNameCameraId(QStringLiteral("abc.jpg"), QStringLiteral("LM")).isEmpty());
    EXPECT_EQ(dao.findByFileNameCameraId(QStringLiteral("xabc.jpg"), camera).size(), 1);
    EXPECT_TRUE(dao.findByFileNameCameraId(QStringLiteral("XABC.jpg"), camera).isEmpty());
    EXPECT_TRUE(dao.findByFileNameCameraId(QStringLiteral("x_bc.jpg"), camera).isEmpty());
}

TEST_F(ImportedFileDaoTest, UpdateAndDeleteWorkOnTheRecordWithThatIdOnly)
{
    ASSERT_TRUE(dao.insert(makeImportedFile(QStringLiteral("a.jpg"), hash)));
    ASSERT_TRUE(dao.insert(makeImportedFile(QStringLiteral("b.jpg"), hash)));
    const auto all = dao.findAllImportedFiles();
    ASSERT_EQ(all.size(), 2);

    ImportedFileEntity changed =
        makeImportedFile(QStringLiteral("renamed 'a'.jpg"), otherHash, 20250101000000);
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
}

TEST_F(ImportedFileDaoTest, RegistrationWritesItsInfoLineAlsoWhenTheInsertFails)
{
    CapturedLog log;
    const qint64 times[] = {20240105103000, 20240105103001};
    for (const qint64 captured : times) {
        const QString name = QStringLiteral("%1.jpg").arg(captured);
        EXPECT_EQ(ImportedFileDao::registerImportedFile(
                      name, QStringLiteral("LM1"), times[0], QStringLiteral("/src/") + name,
                      QStringLiteral("/dst"), QStringLiteral("00"), QStringLiteral("00"),
                      QStringLiteral("0a"), captured, hash, seeded.path()),
                  captured == times[0]);
        RawDatabase::execute(seeded.path(), QStringLiteral("drop table imported_file;"));
    }
    for (const qint64 captured : times)
        EXPECT_EQ(log.count(QStringLiteral("[info]: 取込リストに情報を追加しました。(FileNm=%1.jpg "
                                           "CapturedDttm=%1)")
                                .arg(captured)),
                  1);
}

TEST_F(ImportedFileDaoTest, DuplicateTestNarrowsByTheHashIndexInsteadOfScanningTheTable)
{
    for (int row = 0; row < 50; ++row) {
        ASSERT_TRUE(dao.insert(makeImportedFile(QStringLiteral("%1.jpg").arg(row),
                                                QString::number(row).repeated(40).left(40))));
    }
    const ImportedFileEntity probe =
        makeImportedFile(QStringLiteral("7.jpg"), QStringLiteral("7").repeated(40));
    {
        StatementRecorder recorder;
        EXPECT_EQ(findDuplicate(dao, probe.fileName(), probe).size(), 1);
        ASSERT_FALSE(recorder.statements().empty());
        EXPECT_EQ(recorder.statements().back().fullScanSteps, 0);
    }
    // Without the index the same query walks the whole table: the counter is real.
    ASSERT_TRUE(RawDatabase::execute(seeded.path(),
                                     QStringLiteral("drop index imported_file_hash_code_index;")));
    StatementRecorder recorder;
    EXPECT_EQ(findDuplicate(dao, probe.fileName(), probe).size(), 1);
    ASSERT_FALSE(recorder.statements().empty());
    EXPECT_GE(recorder.statements().back().fullScanSteps, 49);
}
