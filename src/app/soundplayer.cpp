#include "soundplayer.h"

#include "common/log.h"

#include <QAudioOutput>
#include <QFileInfo>
#include <QMediaPlayer>
#include <QUrl>

namespace {
void preferGStreamer()
{
    // The ffmpeg backend of Qt 6.4 crashes on machines without an audio device.
    if (qEnvironmentVariableIsEmpty("QT_MEDIA_BACKEND"))
        qputenv("QT_MEDIA_BACKEND", "gstreamer");
}
} // namespace

SoundPlayer::SoundPlayer() = default;

SoundPlayer::~SoundPlayer()
{
    stop();
}

bool SoundPlayer::playMP3(const QString& path)
{
    stop();
    failed = false;
    if (path.isEmpty() || !QFileInfo(path).isFile()) {
        fail(QStringLiteral("sound file not found: %1").arg(path));
        return false;
    }
    preferGStreamer();
    audioOutput = std::make_unique<QAudioOutput>();
    player = std::make_unique<QMediaPlayer>();
    player->setAudioOutput(audioOutput.get());
    connect(player.get(), &QMediaPlayer::errorOccurred, this,
            [this](QMediaPlayer::Error, const QString& errorString) { fail(errorString); });
    connect(player.get(), &QMediaPlayer::mediaStatusChanged, this,
            [this](QMediaPlayer::MediaStatus status) {
                if (status == QMediaPlayer::EndOfMedia)
                    emit finished();
                else if (status == QMediaPlayer::InvalidMedia)
                    fail(QStringLiteral("sound file cannot be played"));
            });
    player->setSource(QUrl::fromLocalFile(path));
    player->play();
    return true;
}

void SoundPlayer::stop()
{
    if (player) {
        player->disconnect(this);
        player->stop();
    }
}

void SoundPlayer::fail(const QString& reason)
{
    if (failed)
        return;
    failed = true;
    Log::debug(QStringLiteral("No sound: %1").arg(reason));
    emit finished();
}
