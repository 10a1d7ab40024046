#include "FakeSoundPlayer.h"

#include <utility>

FakeSoundPlayer::FakeSoundPlayer(std::shared_ptr<Recording> recording)
    : recording_(std::move(recording)) {}

ResetAlertAudioManager::PlayerFactory FakeSoundPlayer::factory(
    std::shared_ptr<Recording> recording) {
    return [recording]() -> std::unique_ptr<SoundPlayer> {
        ++recording->playersMade;
        return std::make_unique<FakeSoundPlayer>(recording);
    };
}

void FakeSoundPlayer::play(const QByteArray& mp3) {
    recording_->clips.append(mp3);
    recording_->calls.append(QStringLiteral("play"));
}

void FakeSoundPlayer::stop() {
    recording_->calls.append(QStringLiteral("stop"));
}
