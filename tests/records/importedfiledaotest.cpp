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

void expectSameValues(const ImportedFileEntity& actual, const ImportedFileEntity& expected)
{
    EXPECT_EQ(actual.fileName(), expected.fileName());
    EXPECT_EQ(actual.cameraId(), expected.cameraId());
    EXPECT_EQ(actual.datetime(), expected.datetime());
    EXPECT_EQ(actual.originalFileName(), expected.originalFileName());
    EXPECT_EQ(actual.transferredFolder(), expected.transferredFolder());
    EXPECT_EQ(actual.mirrorImageType(), expected.mirrorImageType());
    EXPECT_EQ(actual.drawingFlg(), expected.drawingFlg());
    EXPECT_EQ(actual.mode(), expected.mode());
    EXPECT_EQ(actual.capturedDttm(), expected.capturedDttm());
    EXPECT_EQ(actual.hashCode(), expected.hashCode());
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
    expectSameValues(all.first(), file);
    EXPECT_GT(all.first().recordId(), 0);

    const auto duplicates = findDuplicate(dao, file.fileName(), file);
    ASSERT_EQ(duplicates.size(), 1);
    expectSameValues(duplicates.first(), file);
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

TEST_F(ImportedFileDaoTest, DuplicateTestMatchesTheNameBySuffixIgnoringAsciiCaseWithWildcards)
{
    const ImportedFileEntity stored =
        makeImportedFile(QStringLiteral("0012-345/20240105103000_Occlusal-A.JPG"), hash);
    ASSERT_TRUE(dao.insert(stored));

    EXPECT_EQ(findDuplicate(dao, QStringLiteral("20240105103000_Occlusal-A.JPG"), stored).size(),
              1);
    EXPECT_EQ(findDuplicate(dao, QStringLiteral("20240105103000_occlusal-a.jpg"), stored).size(),
              1);
    EXPECT_EQ(findDuplicate(dao, QStringLiteral("20240105103000_Occlusal_A.JPG"), stored).size(),
              1);
    EXPECT_EQ(findDuplicate(dao, QStringLiteral("2024%A.JPG"), stored).size(), 1);
    EXPECT_EQ(findDuplicate(dao, stored.fileName(), stored).size(), 1);

    // Another name (other patient or date), a longer name, a prefix: not found.
    EXPECT_TRUE(
        findDuplicate(dao, QStringLiteral("20240106103000_Occlusal-A.JPG"), stored).isEmpty());
    EXPECT_TRUE(
        findDuplicate(dao, QStringLiteral("x0012-345/20240105103000_Occlusal-A.JPG"), stored)
            .isEmpty());
    EXPECT_TRUE(findDuplicate(dao, QStringLiteral("20240105103000_Occlusal"), stored).isEmpty());
}

TEST_F(ImportedFileDaoTest, DuplicateTestFoldsOnlyAsciiCase)
{
    const ImportedFileEntity stored = makeImportedFile(QStringLiteral("Ärztin_Ｂ.jpg"), hash);
    ASSERT_TRUE(dao.insert(stored));
    EXPECT_EQ(findDuplicate(dao, QStringLiteral("Ärztin_Ｂ.JPG"), stored).size(), 1);
    EXPECT_TRUE(findDuplicate(dao, QStringLiteral("ärztin_Ｂ.jpg"), stored).isEmpty());
    EXPECT_TRUE(findDuplicate(dao, QStringLiteral("Ärztin_ｂ.jpg"), stored).isEmpty());
}

TEST_F(ImportedFileDaoTest, DuplicateTestNeedsTheOtherFiveColumnsExactlyEqual)
{
    const ImportedFileEntity stored = makeImportedFile(QStringLiteral("20240105103000.jpg"), hash);
    ASSERT_TRUE(dao.insert(stored));
    const QString name = stored.fileName();
    auto changed = [&](auto setter, const QString& value) {
        ImportedFileEntity probe = stored;
        (probe.*setter)(value);
        return findDuplicate(dao, name, probe).size();
    };
    EXPECT_EQ(changed(&ImportedFileEntity::setCameraId, stored.cameraId().toLower()), 0);
    EXPECT_EQ(changed(&ImportedFileEntity::setCameraId, QStringLiteral("LM%")), 0);
    EXPECT_EQ(changed(&ImportedFileEntity::setMirrorImageType, QStringLiteral("02")), 0);
    EXPECT_EQ(changed(&ImportedFileEntity::setDrawingFlg, QStringLiteral("01")), 0);
    EXPECT_EQ(changed(&ImportedFileEntity::setMode, QStringLiteral("0A")), 0);
    EXPECT_EQ(changed(&ImportedFileEntity::setHashCode, otherHash), 0);
    EXPECT_EQ(changed(&ImportedFileEntity::setHashCode, hash.toUpper()), 0);
    EXPECT_EQ(changed(&ImportedFileEntity::setMode, stored.mode()), 1);
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
    expectSameValues(found.at(0), first);
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
    const auto reread = dao.findImportedFileById(changed.recordId());
    ASSERT_TRUE(reread.has_value());
    expectSameValues(*reread, changed);
    expectSameValues(*dao.findImportedFileById(all.at(1).recordId()), all.at(1));

    EXPECT_TRUE(dao.deleteByEntity(all.at(1)));
    EXPECT_FALSE(dao.findImportedFileById(all.at(1).recordId()).has_value());
    EXPECT_TRUE(dao.deleteById(changed.recordId()));
    EXPECT_TRUE(dao.findAllImportedFiles().isEmpty());
    // Deleting what is not there still runs to completion.
    EXPECT_TRUE(dao.deleteById(changed.recordId()));
}

TEST_F(ImportedFileDaoTest, PurgeDeletesRowsUpToAndIncludingTheGivenTime)
{
    ASSERT_TRUE(dao.insert(makeImportedFile(QStringLiteral("a.jpg"), hash, 20231231235959)));
    ASSERT_TRUE(dao.insert(makeImportedFile(QStringLiteral("b.jpg"), hash, 20240105103000)));
    ASSERT_TRUE(dao.insert(makeImportedFile(QStringLiteral("c.jpg"), hash, 20240105103001)));

    EXPECT_TRUE(dao.deleteBeforeDatetime(20240105103000));
    const auto left = dao.findAllImportedFiles();
    ASSERT_EQ(left.size(), 1);
    EXPECT_EQ(left.first().fileName(), QStringLiteral("c.jpg"));
}

TEST_F(ImportedFileDaoTest, RegistrationWritesItsInfoLineAlsoWhenTheInsertFails)
{
    CapturedLog log;
    EXPECT_TRUE(ImportedFileDao::registerImportedFile(
        QStringLiteral("20240105103000.jpg"), QStringLiteral("LM1"), 20240105103000,
        QStringLiteral("/src/a.jpg"), QStringLiteral("/dst"), QStringLiteral("00"),
        QStringLiteral("00"), QStringLiteral("0a"), 20240105103000, hash, seeded.path()));
    ASSERT_TRUE(RawDatabase::execute(seeded.path(), QStringLiteral("drop table imported_file;")));
    EXPECT_FALSE(ImportedFileDao::registerImportedFile(
        QStringLiteral("20240105103001.jpg"), QStringLiteral("LM1"), 20240105103000,
        QStringLiteral("/src/b.jpg"), QStringLiteral("/dst"), QStringLiteral("00"),
        QStringLiteral("00"), QStringLiteral("0a"), 20240105103001, hash, seeded.path()));

    EXPECT_EQ(log.count(QStringLiteral(
                  "[info]: 取込リストに情報を追加しました。(FileNm=20240105103000.jpg "
                  "CapturedDttm=20240105103000)")),
              1);
    EXPECT_EQ(log.count(QStringLiteral(
                  "[info]: 取込リストに情報を追加しました。(FileNm=20240105103001.jpg "
                  "CapturedDttm=20240105103001)")),
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
