#pragma once

#include <QLocale>
#include <QString>

#include <functional>

// The language Vantor speaks, in its windows, notifications and command line, chosen the way
// a Linux session asks for it: LANGUAGE (a list in order of preference), then the first of
// LC_ALL, LC_MESSAGES and LANG that is set. English when none names a language Vantor has.
class InterfaceLanguage {
public:
    // The value of an environment variable, empty when unset.
    using Environment = std::function<QString(const char* name)>;

    // "en", "fr" or "ja".
    static QString choose(const Environment& environment);
    // The locale numbers and dates follow: the system's when it is of the chosen language,
    // else the chosen language in the system's territory, so that English in Germany keeps
    // the 24-hour clock and a sentence never mixes two languages.
    static QLocale formatLocale(const QString& language, const QLocale& system);
    // Chooses from this process's environment, makes that the default locale (which the alert
    // voice's "Automatic" follows too) and installs the translation. Call once, after the
    // application object exists.
    static void apply();
};
