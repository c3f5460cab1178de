// The card preview and the recent-imports query.
//
// 1. The preview of a card of 1,000 pictures of 2 MB for 20 patients, warm cache,
//    next to `head -c 65536` of the same files (the baseline: reading each file's
//    first 64 KB and nothing else).
// 2. The latest 200 records, and the latest 200 of one patient, from a table of
//    1,000,000 rows, with the existence test of each file: what the recent-imports
//    window loads when it opens.
//
//   bench_preview [pictures] [rows]   (build with -DCMAKE_BUILD_TYPE=RelWithDebInfo)
#include "camerapicturebuilder.h"
#include "common/talvorencommon.h"
#include "importer/importpreview.h"
#include "records/importhistory.h"
#include "records/seeddatabase.h"
#include "settings/settingkeys.h"
#include "settings/usersettings.h"
#include "temphome.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <cstdio>
#include <sqlite3.h>
#include <utime.h>

namespace {
double secondsOf(const std::function<void()>& work)
{
    QElapsedTimer timer;
    timer.start();
    work();
    return timer.nsecsElapsed() / 1e9;
}

bool fillRecords(const QString& path, qint64 rows, const QString& destination)
{
    sqlite3* handle = nullptr;
    if (sqlite3_open(QFile::encodeName(path).constData(), &handle) != SQLITE_OK)
        return false;
    const char* sql =
        "with recursive n(i) as (select 1 union all select i + 1 from n where i < ?1) "
        "insert into imported_file (file_name, camera_id, datetime, original_file_name, "
        "transferred_folder, mode, hash_code) select printf('2024-05-01 %06d_Std.JPG', i), "
        "'LM4A0001', 20240501000000 + i % 60, printf('/media/card/IMG_%d.JPG', i), "
        "printf('%s/%06d Patient %d', ?2, i % 5000, i % 5000), '00', printf('%040d', i) from n;";
    sqlite3_stmt* statement = nullptr;
    const QByteArray folder = destination.toUtf8();
    bool done =
        sqlite3_prepare_v2(handle, sql, -1, &statement, nullptr) == SQLITE_OK &&
        sqlite3_bind_int64(statement, 1, rows) == SQLITE_OK &&
        sqlite3_bind_text(statement, 2, folder.constData(), -1, SQLITE_TRANSIENT) == SQLITE_OK &&
        sqlite3_step(statement) == SQLITE_DONE;
    sqlite3_finalize(statement);
    if (!done)
        std::fprintf(stderr, "fill failed: %s\n", sqlite3_errmsg(handle));
    sqlite3_close(handle);
    return done;
}
} // namespace

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    const int pictures = argc > 1 ? QString::fromLatin1(argv[1]).toInt() : 1000;
    const qint64 rows = argc > 2 ? QString::fromLatin1(argv[2]).toLongLong() : 1000000;
    TempHome home;
    const QString card = home.filePath(QStringLiteral("card/DCIM"));
    const QString destination = home.filePath(QStringLiteral("Pictures"));
    SettingsDictionary settings;
    settings.setValue(SettingKeys::defTmp, home.filePath(QStringLiteral("tmp")));
    settings.setValue(SettingKeys::destinationFolderPath, destination);
    settings.setValue(SettingKeys::activateAvoidMultipleImportCheck, true);
    UserSettings::write(settings);
    SeedDatabase::installIfMissing();

    const utimbuf past{0, 1700000000};
    for (int i = 0; i < pictures; ++i) {
        CameraPictureBuilder picture;
        picture.patient(QString::number(1000 + i % 20), QStringLiteral("Patient %1").arg(i % 20))
            .captureDateTime(QDateTime(QDate(2024, 5, 1), QTime(9, 0)).addSecs(i))
            .fileSize(2 * 1024 * 1024);
        const QString path =
            picture.write(card, QStringLiteral("IMG_%1.JPG").arg(i, 4, 10, QLatin1Char('0')));
        ::utime(QFile::encodeName(path).constData(), &past);
    }
    const auto headOfEveryFile = [&card] {
        QProcess::execute(QStringLiteral("sh"),
                          {QStringLiteral("-c"),
                           QStringLiteral("find '%1' -name '*.JPG' -print0 | xargs -0 head -q -c "
                                          "65536 > /dev/null")
                               .arg(card)});
    };
    headOfEveryFile(); // warms the cache
    ImportPreview::Result preview;
    const double previewSeconds =
        secondsOf([&] { preview = ImportPreview::previewFolders({card}, settings); });
    const double headSeconds = secondsOf(headOfEveryFile);
    std::printf("preview of %d pictures (2 MB, 20 patients): %.3f s, %lld new in %lld folders\n",
                pictures, previewSeconds, static_cast<long long>(preview.newCount()),
                static_cast<long long>(preview.filing.entries().size()));
    std::printf("head -c 65536 of the same files:         %.3f s (ratio %.2f)\n", headSeconds,
                previewSeconds / headSeconds);

    const QString database = TalvorenCommon::getDBFilePath();
    const double fillSeconds = secondsOf([&] { fillRecords(database, rows, destination); });
    std::printf("filled %lld records in %.1f s\n", static_cast<long long>(rows), fillSeconds);
    for (const QString& patient : {QString(), QStringLiteral("Patient 4711")}) {
        ImportHistory::Filter filter;
        filter.patient = patient;
        filter.limit = 200;
        qsizetype shown = 0;
        qsizetype present = 0;
        const double seconds = secondsOf([&] {
            const QList<ImportedFileEntity> records = ImportHistory().find(filter);
            for (const ImportedFileEntity& record : records)
                present += QFileInfo::exists(record.transferredFolder() + QLatin1Char('/') +
                                             record.fileName());
            shown = records.size();
        });
        std::printf("latest 200 records%s of %lld: %.3f s (%lld shown, %lld on disk)\n",
                    patient.isEmpty() ? "" : " of one patient", static_cast<long long>(rows),
                    seconds, static_cast<long long>(shown), static_cast<long long>(present));
    }
    return 0;
}
