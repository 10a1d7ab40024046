#include "ResetAlertAudioManager.h"

#include "CustomAlertVoice.h"
#include "SoundPlayer.h"

#include <QFile>

#include <utility>

namespace {
// Far above any clip we ship; a larger file is not a clip of ours and is not read.
constexpr qint64 maximumClipBytes = 4 * 1024 * 1024;
}  // namespace

ResetAlertAudioManager::ResetAlertAudioManager(PlayerFactory makePlayer, QString clipFolder)
    : makePlayer_(std::move(makePlayer)), clipFolder_(std::move(clipFolder)) {}

ResetAlertAudioManager::~ResetAlertAudioManager() = default;

void ResetAlertAudioManager::play(CustomAudioLanguage language, CustomAudioGender gender,
                                  const std::optional<QString>& customVoiceID) {
    if (player_) {
        player_->stop();
    }
    playCustomAudio(language, gender, customVoiceID);
}

void ResetAlertAudioManager::playCustomAudio(CustomAudioLanguage language, CustomAudioGender gender,
                                             const std::optional<QString>& customVoiceID) {
    const QList<CustomAlertVoice> choices = CustomAlertVoice::choices(language, gender, QLocale());
    if (choices.isEmpty()) {
        return;
    }
    const CustomAlertVoice* voice = &choices.first();
    if (customVoiceID) {
        for (const CustomAlertVoice& choice : choices) {
            if (choice.id == *customVoiceID) {
                voice = &choice;
                break;
            }
        }
    }
    QFile file(clipFolder_ + u'/' + voice->id + QStringLiteral(".mp3"));
    if (!file.open(QIODevice::ReadOnly) || file.size() > maximumClipBytes) {
        return;
    }
    const QByteArray clip = file.readAll();
    if (clip.isEmpty()) {
        return;
    }
    if (!player_ && makePlayer_) {
        player_ = makePlayer_();
    }
    if (player_) {
        player_->play(clip);
    }
}
