#pragma once

#include "AccountRegistry.h"
#include "CustomAudioGender.h"
#include "CustomAudioLanguage.h"

#include <QString>

// The fixed words of the settings form.
namespace SettingsText {

// "Automatic (system language)", "English", ...
QString languageText(CustomAudioLanguage language);
QString genderText(CustomAudioGender gender);

QString testNotificationStatus(bool delivered);

// An account's folder as shown: under the home folder with "~" in its place.
QString folderText(const QString& folder, const QString& home);
// Why a folder the user chose was not added; empty when it was.
QString addFolderMessage(AccountRegistry::AddResult result);

}  // namespace SettingsText
