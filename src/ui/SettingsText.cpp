#include "SettingsText.h"

#include <QCoreApplication>

namespace {

QString tr(const char* text) {
    return QCoreApplication::translate("SettingsText", text);
}

}  // namespace

namespace SettingsText {

QString languageText(CustomAudioLanguage language) {
    switch (language) {
        case CustomAudioLanguage::automatic:
            break;
        case CustomAudioLanguage::english:
            return tr("English");
        case CustomAudioLanguage::french:
            return tr("French");
        case CustomAudioLanguage::japanese:
            return tr("Japanese");
    }
    return tr("Automatic (system language)");
}

QString genderText(CustomAudioGender gender) {
    return gender == CustomAudioGender::male ? tr("Male") : tr("Female");
}

QString testNotificationStatus(bool delivered) {
    return delivered
               ? tr("Test notification sent.")
               : tr("Notifications are off. Enable Vantor in the desktop's notification settings.");
}

}  // namespace SettingsText
