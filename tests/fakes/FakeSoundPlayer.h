#pragma once

#include "ResetAlertAudioManager.h"
#include "SoundPlayer.h"

#include <QStringList>

#include <memory>

// Records the clips played and the calls ("play", "stop") in order; the recording outlives
// the player, which its manager owns.
class FakeSoundPlayer final : public SoundPlayer {
public:
    struct Recording {
        QList<QByteArray> clips;
        QStringList calls;
    };

    explicit FakeSoundPlayer(std::shared_ptr<Recording> shared) : recording_(std::move(shared)) {}
    static ResetAlertAudioManager::PlayerFactory factory(std::shared_ptr<Recording> recording) {
        return [recording] { return std::make_unique<FakeSoundPlayer>(recording); };
    }

    void play(const QByteArray& mp3) override {
        recording_->clips.append(mp3);
        recording_->calls.append(QStringLiteral("play"));
    }
    void stop() override { recording_->calls.append(QStringLiteral("stop")); }

private:
    std::shared_ptr<Recording> recording_;
};
