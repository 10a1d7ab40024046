#pragma once

#include "CustomAudioGender.h"
#include "CustomAudioLanguage.h"

#include <QString>

#include <functional>
#include <memory>
#include <optional>

class SoundPlayer;

// Chooses the reset-alert clip from the alert settings and plays it, one clip at a time.
// The player is made on the first play, so a session that never plays loads no audio stack.
class ResetAlertAudioManager {
public:
    using PlayerFactory = std::function<std::unique_ptr<SoundPlayer>()>;

    // Clips are read from <clipFolder>/<voice id>.mp3, by default the compiled-in resources.
    explicit ResetAlertAudioManager(PlayerFactory makePlayer,
                                    QString clipFolder = QStringLiteral(":/voices"));
    ~ResetAlertAudioManager();

    // Stops any clip still playing, then plays the chosen voice: customVoiceID when it is one
    // of the choices for the language and gender, else the first choice. A missing or
    // unreadable clip plays nothing.
    void play(CustomAudioLanguage language, CustomAudioGender gender,
              const std::optional<QString>& customVoiceID);

private:
    void playCustomAudio(CustomAudioLanguage language, CustomAudioGender gender,
                         const std::optional<QString>& customVoiceID);

    PlayerFactory makePlayer_;
    QString clipFolder_;
    std::unique_ptr<SoundPlayer> player_;
};
