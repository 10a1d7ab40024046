#pragma once

#include "CustomAudioGender.h"
#include "CustomAudioLanguage.h"

#include <QString>

// The fixed words of the settings form.
namespace SettingsText {

// "Automatic (system language)", "English", ...
QString languageText(CustomAudioLanguage language);
QString genderText(CustomAudioGender gender);

QString testNotificationStatus(bool delivered);

}  // namespace SettingsText
