#include "CustomAudioLanguage.h"

QString resolvedCode(CustomAudioLanguage language, const QLocale& locale) {
    switch (language) {
        case CustomAudioLanguage::english:
            return QStringLiteral("en");
        case CustomAudioLanguage::french:
            return QStringLiteral("fr");
        case CustomAudioLanguage::japanese:
            return QStringLiteral("ja");
        case CustomAudioLanguage::automatic:
            break;
    }
    switch (locale.language()) {
        case QLocale::French:
            return QStringLiteral("fr");
        case QLocale::Japanese:
            return QStringLiteral("ja");
        default:
            return QStringLiteral("en");
    }
}
