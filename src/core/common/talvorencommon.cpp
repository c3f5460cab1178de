#include "common/talvorencommon.h"

#include "buildinfo.h"
#include "common/log.h"

#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QStandardPaths>
#include <QTimer>
#include <memory>
#include <openssl/evp.h>

namespace {
const QString applicationFolderName = QStringLiteral("Talvoren");
const QString settingFileName = QStringLiteral("Talvoren-setting.plist");
const QString databaseDateFormat = QStringLiteral("yyyyMMddHHmmss");
const QString digits = QStringLiteral("0123456789");

QString standardFolder(QStandardPaths::StandardLocation location)
{
    return QStandardPaths::writableLocation(location);
}
} // namespace

QString TalvorenCommon::getApplicationDataDirectory()
{
    const QString base = standardFolder(QStandardPaths::GenericDataLocation);
    if (base.isEmpty())
        return {};
    const QString path = QDir(base).filePath(applicationFolderName);
    if (!QFileInfo::exists(path))
        QDir().mkpath(path);
    return path;
}

QString TalvorenCommon::getApplicationWorkDirectory()
{
    return QStringLiteral("%1/%2").arg(QDir::homePath(), QStringLiteral(".Talvoren"));
}

QString TalvorenCommon::getDocumentDirectory()
{
    return standardFolder(QStandardPaths::DocumentsLocation);
}

QString TalvorenCommon::getPicturesDirectory()
{
    return standardFolder(QStandardPaths::PicturesLocation);
}

QString TalvorenCommon::getMoviesDirectory()
{
    return standardFolder(QStandardPaths::MoviesLocation);
}

QString TalvorenCommon::getUserSettingPlistFilePath()
{
    return QDir(getApplicationDataDirectory()).filePath(settingFileName);
}

QString TalvorenCommon::getOldUserSettingPlistFilePath()
{
    return QStringLiteral("%1/%2").arg(getApplicationWorkDirectory(), settingFileName);
}

QString TalvorenCommon::getDBFilePath()
{
    return QDir(getApplicationDataDirectory()).filePath(QStringLiteral("Talvoren.db"));
}

QString TalvorenCommon::getVersionNubmer()
{
    return QString::fromLatin1(BuildInfo::shortVersion);
}

int TalvorenCommon::buildNumber()
{
    return BuildInfo::buildNumber;
}

QString TalvorenCommon::getNowDatabaseDatetime()
{
    return dateToString(QDateTime::currentDateTime());
}

std::optional<QDateTime> TalvorenCommon::stringToDate(const QString& text)
{
    if (text.size() != databaseDateFormat.size() || !isDigit(text))
        return std::nullopt;
    QDateTime date = QDateTime::fromString(text, databaseDateFormat);
    if (!date.isValid())
        return std::nullopt;
    return date;
}

QString TalvorenCommon::dateToString(const QDateTime& date)
{
    return date.toLocalTime().toString(databaseDateFormat);
}

bool TalvorenCommon::isDigit(const QString& text)
{
    if (text.isEmpty())
        return false;
    for (const QChar c : text) {
        if (!digits.contains(c))
            return false;
    }
    return true;
}

QString TalvorenCommon::toHexString(const QByteArray& bytes)
{
    return QString::fromLatin1(bytes.toHex()).toUpper();
}

std::optional<QString> TalvorenCommon::sha1Hash(const QString& path)
{
    const QFileInfo info(path);
    QFile file(path);
    if (!info.exists() || info.isDir() || !file.open(QIODevice::ReadOnly)) {
        Log::debug(
            QStringLiteral(
                "ハッシュ化指定ファイルが存在しないかファイルではなかったので処理をスキップ。 [%1]")
                .arg(path));
        return std::nullopt;
    }
    std::unique_ptr<EVP_MD_CTX, decltype(&EVP_MD_CTX_free)> context(EVP_MD_CTX_new(),
                                                                    &EVP_MD_CTX_free);
    if (!context || EVP_DigestInit_ex(context.get(), EVP_sha1(), nullptr) != 1)
        return std::nullopt;
    QByteArray chunk(1 << 20, Qt::Uninitialized);
    for (;;) {
        const qint64 got = file.read(chunk.data(), chunk.size());
        if (got < 0)
            return std::nullopt;
        if (got == 0)
            break;
        EVP_DigestUpdate(context.get(), chunk.constData(), static_cast<size_t>(got));
    }
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    if (EVP_DigestFinal_ex(context.get(), digest, &length) != 1)
        return std::nullopt;
    return QString::fromLatin1(
        QByteArray(reinterpret_cast<const char*>(digest), static_cast<int>(length)).toHex());
}

bool TalvorenCommon::hasTimestamp(const QString& fileName)
{
    const QStringList parts = fileName.split(QLatin1Char('_'));
    if (parts.size() != 2)
        return false;
    const QString stem = QFileInfo(parts.at(1)).completeBaseName();
    return stem.size() == QStringLiteral("yyyyMMddHHmmssSSS").size() && isDigit(stem);
}

std::optional<QByteArray> TalvorenCommon::getNetworkFileByHttp(const QString& url,
                                                               std::chrono::milliseconds timeout)
{
    QNetworkAccessManager manager;
    QNetworkRequest request{QUrl(url)};
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute,
                         QNetworkRequest::AlwaysNetwork);
    request.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);
    request.setTransferTimeout(static_cast<int>(timeout.count()));
    std::unique_ptr<QNetworkReply> reply(manager.get(request));

    QEventLoop loop;
    QTimer limit;
    limit.setSingleShot(true);
    QObject::connect(reply.get(), &QNetworkReply::finished, &loop, &QEventLoop::quit);
    QObject::connect(&limit, &QTimer::timeout, &loop, &QEventLoop::quit);
    limit.start(timeout);
    if (!reply->isFinished())
        loop.exec();

    if (!reply->isFinished()) {
        reply->abort();
        return std::nullopt;
    }
    // An HTTP error page is still an answer; only a missing answer is a failure.
    const bool answered = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).isValid();
    if (reply->error() != QNetworkReply::NoError && !answered)
        return std::nullopt;
    return reply->readAll();
}
