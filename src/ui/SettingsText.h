#pragma once

#include "CustomAudioGender.h"
#include "CustomAudioLanguage.h"

#include <QString>

// The fixed words of the settings form.
namespace SettingsText {

// "Automatic (system language)", else the raw value with each word capitalised.
QString languageText(CustomAudioLanguage language);
QString genderText(CustomAudioGender gender);
// The raw value with the first letter of each word in capitals.
QString capitalized(const QString& raw);

QString testNotificationStatus(bool delivered);

}  // namespace SettingsText
