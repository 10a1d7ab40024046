#pragma once

#include "ResetAlertAudioManager.h"
#include "SoundPlayer.h"

#include <QByteArray>
#include <QList>
#include <QStringList>

#include <memory>

// A sound player that records what it was asked to do; the recording outlives the player,
// which its manager owns.
class FakeSoundPlayer final : public SoundPlayer {
public:
    struct Recording {
        int playersMade = 0;
        QList<QByteArray> clips;
        // "play" and "stop" in call order.
        QStringList calls;
    };

    explicit FakeSoundPlayer(std::shared_ptr<Recording> recording);

    static ResetAlertAudioManager::PlayerFactory factory(std::shared_ptr<Recording> recording);

    void play(const QByteArray& mp3) override;
    void stop() override;

private:
    std::shared_ptr<Recording> recording_;
};
