#include "importfixture.h"

#include "records/seeddatabase.h"
#include "settings/settingkeys.h"
#include "settings/usersettings.h"

#include <QDir>
#include <QFile>
#include <chrono>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

ImportFixture::ImportFixture()
    : source(home.filePath(QStringLiteral("source"))),
      destination(home.filePath(QStringLiteral("Pictures/Talvoren"))),
      movies(home.filePath(QStringLiteral("Movies/TalvorenMovie"))),
      temporary(home.filePath(QStringLiteral(".local/share/Talvoren/temp")))
{
    for (const QString& folder : {source, destination, movies, temporary})
        QDir().mkpath(folder);
    SeedDatabase::installIfMissing();
    settings.setValue(SettingKeys::defTmp, temporary);
    settings.setValue(SettingKeys::destinationFolderPath, destination);
    settings.setValue(SettingKeys::destinationFolderPathMov, movies);
    settings.setValue(SettingKeys::zeroPaddingLengthString, QStringLiteral("6"));
    settings.setValue(SettingKeys::dateFormatString, QStringLiteral("YYYY-MM-DD"));
    settings.setValue(SettingKeys::moveToTrash, true);
    importer.setRunPause(std::chrono::milliseconds(0));
}

CameraPictureBuilder ImportFixture::shot(const QString& patientID, const QString& patientName,
                                         const QString& dateTime)
{
    CameraPictureBuilder picture;
    picture.patient(patientID, patientName).captureDateTime(dateTime);
    return picture;
}

QString ImportFixture::put(const CameraPictureBuilder& picture, const QString& relativePath) const
{
    const QString path = source + QLatin1Char('/') + relativePath;
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    picture.write(path.left(slash), path.mid(slash + 1));
    age(path);
    return path;
}

MovieIndexPair ImportFixture::putPair(const CameraPictureBuilder& picture,
                                      const QString& relativeBase) const
{
    const QString base = source + QLatin1Char('/') + relativeBase;
    const qsizetype slash = base.lastIndexOf(QLatin1Char('/'));
    const MovieIndexPair pair = picture.writeMovieIndexPair(base.left(slash), base.mid(slash + 1));
    age(pair.picturePath);
    age(pair.moviePath);
    return pair;
}

void ImportFixture::run(bool isMove, bool isImport)
{
    runOn(source, isMove, isImport);
}

void ImportFixture::runOn(const QString& folder, bool isMove, bool isImport)
{
    ASSERT_TRUE(UserSettings::write(settings));
    importer.prepareDateFormatters(settings);
    importer.copyImage(folder, settings, isMove, isImport, false,
                       QStringLiteral("20240501101530000"));
}

QStringList ImportFixture::trashed() const
{
    return QDir(home.filePath(QStringLiteral(".local/share/Trash/files")))
        .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

void ImportFixture::age(const QString& path)
{
    timespec times[2];
    ::clock_gettime(CLOCK_REALTIME, &times[0]);
    times[0].tv_sec -= 60;
    times[1] = times[0];
    ::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0);
}
