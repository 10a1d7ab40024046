#include "SettingsText.h"

#include "AccountDiscovery.h"

#include <QCoreApplication>
#include <QLocale>

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

QString folderText(const QString& folder, const QString& home) {
    // Only a whole folder name counts: /home/ann is not under /home/an.
    if (home.isEmpty() || home == QStringLiteral("/") || !folder.startsWith(home)) {
        return folder;
    }
    if (folder.size() == home.size()) {
        return QStringLiteral("~");
    }
    return folder.at(home.size()) == u'/' ? u'~' + folder.mid(home.size()) : folder;
}

QString addFolderMessage(AccountRegistry::AddResult result) {
    switch (result) {
        case AccountRegistry::AddResult::added:
            break;
        case AccountRegistry::AddResult::alreadyKnown:
            return tr("That account is already listed.");
        case AccountRegistry::AddResult::noSignIn:
            return tr("This folder holds no Claude Code or Codex sign-in.");
        case AccountRegistry::AddResult::tooMany:
            return tr("At most %1 accounts per assistant.")
                .arg(QLocale().toString(static_cast<int>(AccountDiscovery::maxPerProvider)));
    }
    return {};
}

}  // namespace SettingsText
