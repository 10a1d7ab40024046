#include "SettingsText.h"

#include <QCoreApplication>
#include <QStringList>

namespace {

QString tr(const char* text) {
    return QCoreApplication::translate("SettingsView", text);
}

}  // namespace

namespace SettingsText {

QString providerTitle(ProviderID provider) {
    return provider == ProviderID::codex ? tr("Codex") : tr("Claude Code");
}

QString availabilityText(const std::optional<ProviderAvailability>& availability) {
    if (!availability) {
        return tr("Not detected");
    }
    switch (availability->kind()) {
        case ProviderAvailability::Kind::available:
            return tr("Connected");
        case ProviderAvailability::Kind::notInstalled:
            return tr("Not installed");
        case ProviderAvailability::Kind::notAuthenticated:
            return tr("Sign in required");
        case ProviderAvailability::Kind::requiresProPlan:
            return tr("Upgrade to Pro");
        case ProviderAvailability::Kind::unsupported:
            return tr("Not detected");
        case ProviderAvailability::Kind::temporarilyUnavailable:
            break;
    }
    return tr("Unavailable");
}

QString capitalized(const QString& raw) {
    QStringList words = raw.split(u' ');
    for (QString& word : words) {
        if (!word.isEmpty()) {
            word[0] = word[0].toUpper();
        }
    }
    return words.join(u' ');
}

QString languageText(CustomAudioLanguage language) {
    if (language == CustomAudioLanguage::automatic) {
        return tr("Automatic (Mac language)");
    }
    return tr(capitalized(rawValue(language)).toUtf8().constData());
}

QString genderText(CustomAudioGender gender) {
    return tr(capitalized(rawValue(gender)).toUtf8().constData());
}

QString testNotificationStatus(bool delivered) {
    return delivered ? tr("Test notification sent.")
                     : tr("Notifications are off. Enable Vantor in System Settings.");
}

}  // namespace SettingsText
