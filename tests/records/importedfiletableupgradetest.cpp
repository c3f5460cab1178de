#include "records/importedfiletableupgrade.h"

#include "records/importedfiledao.h"
#include "records/seeddatabase.h"
#include "recordstesthelpers.h"

#include <QFile>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {
const QString versionUp = u"[info]: ### version up ### "_s;

const QStringList upgradeLines =
    u"Alter table that check for duplicate.|Add column original_file_name.|"
    u"Add column transferred_folder.|Alter table that check for duplicate, second time.|"
    u"Add column mirror_image_type.|Add column drawing_flg.|Add column mode.|"
    u"Add column captured_dttm.|Add column hash_code."_s.split(u'|');

QStringList writtenUpgradeLines(const QString& log)
{
    QStringList lines = log.split(u'\n').filter(versionUp);
    for (QString& line : lines)
        line = line.section(versionUp, 1);
    return lines;
}
} // namespace

TEST(ImportedFileTableUpgrade, EachOlderTableGetsTheMissingColumnsAndIndexKeepingItsRows)
{
    using Preparation = std::function<bool(const QString& path)>;
    const Preparation seedCopy = [](const QString& path) {
        return QFile::copy(SeedDatabase::seedPath(), path) &&
               QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
    };
    struct Case
    {
        const char* name;
        int fromBuild;
        Preparation prepare;
        QStringList lines;
        int presentColumns; // added again all the same: each logs its error
    };
    const Case cases[] = {
        {"build 8 adds all seven columns", 8, RawDatabase::createFirstGeneration, upgradeLines, 0},
        {"build 10 adds only the last five", 10,
         [](const QString& path) {
             return RawDatabase::createFirstGeneration(path) &&
                    RawDatabase::execute(path,
                                         u"alter table imported_file add original_file_name "
                                         "text not null default ''; alter table imported_file "
                                         "add transferred_folder text not null default '';"_s);
         },
         upgradeLines.mid(3), 0},
        {"build 11 adds no column but the missing index",
         11,
         [&](const QString& path) {
             return seedCopy(path) &&
                    RawDatabase::execute(path, u"drop index imported_file_hash_code_index;"_s);
         },
         {},
         0},
        {"every column already there", 0, seedCopy, upgradeLines, 7},
    };
    const QTemporaryDir folder;
    const SeededDatabase seeded;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = folder.filePath(u"%1.db"_s.arg(c.fromBuild));
        ASSERT_TRUE(c.prepare(path));
        ASSERT_TRUE(RawDatabase::execute(
            path, u"insert into imported_file (file_name, camera_id, datetime) "
                  "values ('old.jpg', 'LM1', 20150101000000);"_s));
        StderrCapture log;
        ImportedFileTableUpgrade::updateDatabase(c.fromBuild, path);

        EXPECT_EQ(writtenUpgradeLines(log.text()), c.lines);
        EXPECT_EQ(log.count(u"DB Error: 1 \"duplicate column name: "_s), c.presentColumns);
        EXPECT_EQ(log.count(u"[error]"_s), 3 * c.presentColumns);
        // The upgraded table is the one the seed ships, index included.
        EXPECT_EQ(RawDatabase::columns(path), RawDatabase::columns(seeded.path()));
        EXPECT_EQ(RawDatabase::indexes(path), RawDatabase::indexes(seeded.path()));
        // Old rows read back with the defaults, and the duplicate test works on them.
        const ImportedFileDao dao(path);
        const auto rows = dao.findAllImportedFiles();
        ASSERT_EQ(rows.size(), 1);
        const ImportedFileEntity& row = rows.first();
        EXPECT_EQ(std::tuple(row.fileName(), row.capturedDttm(), row.hashCode()),
                  std::tuple(u"old.jpg"_s, 0, QString()));
        EXPECT_EQ(dao.findByLikeFileName(u"OLD.jpg"_s, u"LM1"_s, {}, {}, {}, {}).size(), 1);
    }
}
