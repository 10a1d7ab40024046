#pragma once

#include "SoundPlayer.h"

#include <QBuffer>
#include <QByteArray>

#include <memory>

class QAudioOutput;
class QMediaPlayer;

// Plays a clip from memory through Qt Multimedia (GStreamer). Without an audio device, or
// with bytes that do not decode, it stays silent; the next play starts afresh.
class MediaSoundPlayer final : public SoundPlayer {
public:
    MediaSoundPlayer();
    ~MediaSoundPlayer() override;

    void play(const QByteArray& mp3) override;
    void stop() override;

    // For observers (tests): the player behind it.
    QMediaPlayer* mediaPlayer() const { return player_.get(); }

private:
    std::unique_ptr<QAudioOutput> output_;
    std::unique_ptr<QMediaPlayer> player_;
    QBuffer buffer_;
};
