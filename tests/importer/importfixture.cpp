#include "importfixture.h"

#include "records/seeddatabase.h"
#include "settings/settingkeys.h"
#include "settings/usersettings.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <chrono>

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
    return CameraPictureBuilder().patient(patientID, patientName).captureDateTime(dateTime);
}

QString ImportFixture::put(const CameraPictureBuilder& picture, const QString& relativePath) const
{
    const QFileInfo file(source + '/' + relativePath);
    age(picture.write(file.path(), file.fileName()));
    return file.filePath();
}

MovieIndexPair ImportFixture::putPair(const CameraPictureBuilder& picture,
                                      const QString& relativeBase) const
{
    const QFileInfo base(source + '/' + relativeBase);
    const MovieIndexPair pair = picture.writeMovieIndexPair(base.path(), base.fileName());
    age(pair.picturePath);
    age(pair.moviePath);
    return pair;
}

void ImportFixture::run(bool isMove, bool isImport, const QString& folder)
{
    ASSERT_TRUE(UserSettings::write(settings));
    importer.prepareDateFormatters(settings);
    importer.copyImage(folder.isEmpty() ? source : folder, settings, isMove, isImport, false,
                       QStringLiteral("20240501101530000"));
}

std::optional<QString> ImportFixture::poll(bool isForceMove)
{
    EXPECT_TRUE(UserSettings::write(settings));
    return importer.copyProcess(BaseWatchFolderOperator::deepEnumeration(source), isForceMove,
                                false);
}

QStringList ImportFixture::trashed() const
{
    return QDir(home.filePath(QStringLiteral(".local/share/Trash/files")))
        .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

void ImportFixture::age(const QString& path)
{
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly) &&
                file.setFileTime(QDateTime::currentDateTime().addSecs(-60),
                                 QFileDevice::FileModificationTime))
        << path.toStdString();
}
