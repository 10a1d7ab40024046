// Stands in for the alert-audio sources until they are on this branch: plays nothing.
#include "CustomAlertVoice.h"
#include "ResetAlertAudioManager.h"
#include "SoundPlayer.h"

SoundPlayer::~SoundPlayer() = default;

QString resolvedCode(CustomAudioLanguage, const QLocale&) {
    return QStringLiteral("en");
}

const QList<CustomAlertVoice>& CustomAlertVoice::all() {
    static const QList<CustomAlertVoice> voices;
    return voices;
}

QList<CustomAlertVoice> CustomAlertVoice::choices(CustomAudioLanguage, CustomAudioGender,
                                                  const QLocale&) {
    return {};
}

ResetAlertAudioManager::ResetAlertAudioManager(PlayerFactory makePlayer, QString clipFolder)
    : makePlayer_(std::move(makePlayer)), clipFolder_(std::move(clipFolder)) {}

ResetAlertAudioManager::~ResetAlertAudioManager() = default;

void ResetAlertAudioManager::play(CustomAudioLanguage, CustomAudioGender,
                                  const std::optional<QString>&) {}
