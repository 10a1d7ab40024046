#pragma once

#include "CustomAudioGender.h"
#include "CustomAudioLanguage.h"
#include "ProviderAvailability.h"
#include "ProviderID.h"

#include <QString>

#include <optional>

// The fixed words of the settings form.
namespace SettingsText {

// "Codex" or "Claude Code".
QString providerTitle(ProviderID provider);
// "Connected", "Not installed", ...; a provider never probed is "Not detected".
QString availabilityText(const std::optional<ProviderAvailability>& availability);
// "Automatic (Mac language)", else the raw value with each word capitalised.
QString languageText(CustomAudioLanguage language);
QString genderText(CustomAudioGender gender);
// The raw value with the first letter of each word in capitals.
QString capitalized(const QString& raw);

QString testNotificationStatus(bool delivered);

}  // namespace SettingsText
