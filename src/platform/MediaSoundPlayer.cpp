#include "MediaSoundPlayer.h"

#include <QAudioOutput>
#include <QMediaPlayer>
#include <QUrl>

MediaSoundPlayer::MediaSoundPlayer()
    : output_(std::make_unique<QAudioOutput>()), player_(std::make_unique<QMediaPlayer>()) {
    player_->setAudioOutput(output_.get());
}

MediaSoundPlayer::~MediaSoundPlayer() {
    player_->stop();
    player_->setSourceDevice(nullptr);
}

void MediaSoundPlayer::play(const QByteArray& mp3) {
    // Detach the old stream before its buffer is replaced under the decoder.
    player_->stop();
    player_->setSourceDevice(nullptr);
    buffer_.close();
    buffer_.setData(mp3);
    buffer_.open(QIODevice::ReadOnly);
    // The name only tells the backend what kind of data to expect.
    player_->setSourceDevice(&buffer_, QUrl(QStringLiteral("clip.mp3")));
    player_->play();
}

void MediaSoundPlayer::stop() {
    player_->stop();
}

// The module's one entry (SoundPlayerModule): a player made by the module's own code.
extern "C" Q_DECL_EXPORT SoundPlayer* vantor_make_sound_player() {
    return new MediaSoundPlayer;
}
