#include "SettingsText.h"

#include <QCoreApplication>
#include <QStringList>

namespace {

QString tr(const char* text) {
    return QCoreApplication::translate("SettingsView", text);
}

}  // namespace

namespace SettingsText {

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
        return tr("Automatic (system language)");
    }
    return tr(capitalized(rawValue(language)).toUtf8().constData());
}

QString genderText(CustomAudioGender gender) {
    return tr(capitalized(rawValue(gender)).toUtf8().constData());
}

QString testNotificationStatus(bool delivered) {
    return delivered
               ? tr("Test notification sent.")
               : tr("Notifications are off. Enable Vantor in the desktop's notification settings.");
}

}  // namespace SettingsText
