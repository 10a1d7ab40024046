#pragma once

#include <QtQml/qqmlregistration.h>
#include <QAbstractItemModel>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <QVariantList>
#include <QVariantMap>

#include <functional>
#include <memory>

class AccountRegistry;
class AppState;
class KeyedListModel;
class LoginItemService;
class NotificationCenter;
class UserDefaults;

// The settings form's state and commands. The alert settings are the state's own; the
// accounts' commands go through the registry; the launch-at-login switch goes through the
// login item; the test notification goes through a notification manager of its own over the
// same stored keys as the coordinator's.
class SettingsViewModel : public QObject {
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("Made by the settings window")
    Q_PROPERTY(
        bool launchAtLogin READ launchAtLogin WRITE setLaunchAtLogin NOTIFY launchAtLoginChanged)
    Q_PROPERTY(
        bool alertsEnabled READ alertsEnabled WRITE setAlertsEnabled NOTIFY alertsEnabledChanged)
    Q_PROPERTY(QStringList languageItems READ languageItems CONSTANT)
    Q_PROPERTY(int languageIndex READ languageIndex WRITE setLanguageIndex NOTIFY languageChanged)
    Q_PROPERTY(QStringList trayIconItems READ trayIconItems CONSTANT)
    Q_PROPERTY(int trayIconIndex READ trayIconIndex WRITE setTrayIconIndex NOTIFY trayIconChanged)
    Q_PROPERTY(QStringList warningItems READ warningItems CONSTANT)
    Q_PROPERTY(int warningIndex READ warningIndex WRITE setWarningIndex NOTIFY warningChanged)
    Q_PROPERTY(QStringList genderItems READ genderItems CONSTANT)
    Q_PROPERTY(int genderIndex READ genderIndex WRITE setGenderIndex NOTIFY genderChanged)
    Q_PROPERTY(QStringList soundItems READ soundItems NOTIFY soundChanged)
    Q_PROPERTY(int soundIndex READ soundIndex WRITE setSoundIndex NOTIFY soundChanged)
    Q_PROPERTY(
        QString testNotificationStatus READ testNotificationStatus NOTIFY testNotificationChanged)
    Q_PROPERTY(bool testNotificationNeedsSettings READ testNotificationNeedsSettings NOTIFY
                   testNotificationChanged)
    Q_PROPERTY(bool canOpenNotificationSettings READ canOpenNotificationSettings CONSTANT)
    Q_PROPERTY(QVariantList providerRows READ providerRows NOTIFY providerRowsChanged)
    Q_PROPERTY(QAbstractItemModel* accounts READ accountModel CONSTANT)
    Q_PROPERTY(QString addFolderMessage READ addFolderMessage NOTIFY addFolderMessageChanged)
    Q_PROPERTY(QUrl homeFolder READ homeFolder CONSTANT)
    Q_PROPERTY(int accountNameLimit READ accountNameLimit CONSTANT)
    Q_PROPERTY(QVariantMap texts READ texts CONSTANT)

public:
    // Starts a desktop program by name; false when it could not be started.
    using Launcher = std::function<bool(const QString& program, const QStringList& arguments)>;

    SettingsViewModel(AppState& state, AccountRegistry& accounts, LoginItemService& loginItem,
                      UserDefaults& defaults, NotificationCenter& notificationCenter,
                      Launcher launcher = {}, QObject* parent = nullptr);
    ~SettingsViewModel() override;

    bool launchAtLogin() const { return launchAtLogin_; }
    // Registers or unregisters; a refusal sets the switch back to the login item's status.
    void setLaunchAtLogin(bool enabled);

    bool alertsEnabled() const;
    void setAlertsEnabled(bool enabled);

    QStringList languageItems() const;
    int languageIndex() const;
    // A different language clears the chosen clip.
    void setLanguageIndex(int index);
    // "Off", "75 %", ...: the thresholds of a nearing-limit warning.
    QStringList warningItems() const;
    // "Symbol", "Percentage left".
    QStringList trayIconItems() const;
    int trayIconIndex() const;
    void setTrayIconIndex(int index);
    int warningIndex() const;
    void setWarningIndex(int index);

    QStringList genderItems() const;
    int genderIndex() const;
    // A different gender clears the chosen clip.
    void setGenderIndex(int index);
    // "Automatic", then the voices for the current language and gender.
    QStringList soundItems() const;
    // 0 for automatic.
    int soundIndex() const;
    void setSoundIndex(int index);

    // Empty while none is shown.
    QString testNotificationStatus() const { return testStatus_; }
    bool testNotificationNeedsSettings() const { return testNeedsSettings_; }
    // Whether this desktop has a notification settings tool Vantor knows to open.
    bool canOpenNotificationSettings() const;
    // Title and value of each watched account, in the cards' order.
    QVariantList providerRows() const;
    QVariantMap texts() const;

    // Every account, watched or not: Codex's, then Claude's, each assistant's default account
    // first. Roles: key (the provider's raw value), group (the assistant's name on its first
    // row, else empty), name, placeholder (what an empty name stands for), folder (as shown),
    // watched, removable, watchText and removeText (the controls' accessible names).
    QAbstractItemModel* accountModel() const;
    // Why the last folder chosen was not added; empty after one that was.
    QString addFolderMessage() const { return addFolderMessage_; }
    QUrl homeFolder() const;
    static int accountNameLimit();
    // The account by its key; an unknown key does nothing.
    Q_INVOKABLE void setWatched(const QString& provider, bool watched);
    Q_INVOKABLE void rename(const QString& provider, const QString& name);
    Q_INVOKABLE void remove(const QString& provider);
    // A folder from the folder chooser; one that is not on this computer holds no sign-in.
    Q_INVOKABLE void addFolder(const QUrl& folder);

public Q_SLOTS:
    void playAudioTest();
    void sendTestNotification();
    // The notification settings of the desktop XDG_CURRENT_DESKTOP names (GNOME, KDE, Xfce,
    // Cinnamon); a tool that cannot be started is reported in the test status line.
    void openNotificationSettings();

Q_SIGNALS:
    void launchAtLoginChanged();
    void alertsEnabledChanged();
    void languageChanged();
    void genderChanged();
    void warningChanged();
    void trayIconChanged();
    void soundChanged();
    void testNotificationChanged();
    void providerRowsChanged();
    void addFolderMessageChanged();
    void testNotificationFinished();

private:
    struct TestNotifier;

    void updateAccounts();

    AppState& state_;
    AccountRegistry& accounts_;
    KeyedListModel* accountModel_;
    QString addFolderMessage_;
    LoginItemService& loginItem_;
    UserDefaults& defaults_;
    Launcher launcher_;
    // Shared with a pending test, so closing the window mid-test frees nothing in use.
    std::shared_ptr<TestNotifier> notifier_;
    bool launchAtLogin_ = false;
    QString testStatus_;
    bool testNeedsSettings_ = false;
};
