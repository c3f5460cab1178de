#pragma once

#include <QObject>
#include <QString>
#include <memory>

class QAudioOutput;
class QMediaPlayer;

// Plays one mp3 file once. A missing file, a file that cannot be decoded or a
// machine without an audio device all mean silence; the caller never hears of it
// beyond `hasFailed`.
class SoundPlayer : public QObject
{
    Q_OBJECT

public:
    SoundPlayer();
    ~SoundPlayer() override;

    // Starts playing the file; false when there is nothing to play.
    bool playMP3(const QString& path);
    void stop();
    bool hasFailed() const { return failed; }

signals:
    // Playback has ended, or has failed (then hasFailed is true).
    void finished();

private:
    void fail(const QString& reason);

    std::unique_ptr<QAudioOutput> audioOutput;
    std::unique_ptr<QMediaPlayer> player;
    bool failed = false;
};
