#pragma once

#include "RawValue.h"

#include <QLocale>
#include <QString>

// The language of the reset-alert clip; automatic follows the user's locale.
enum class CustomAudioLanguage { automatic, english, french, japanese };

template <>
struct RawValues<CustomAudioLanguage> {
    static constexpr std::array<std::string_view, 4> names{"automatic", "english", "french",
                                                           "japanese"};
};

// The two-letter code of the clips to use: "en", "fr" or "ja". Automatic takes the locale's
// language when clips exist for it, else English.
QString resolvedCode(CustomAudioLanguage language, const QLocale& locale);
