#pragma once

#include <QtQml/qqmlregistration.h>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariantList>
#include <QVariantMap>

#include <functional>
#include <memory>

class AppState;
class LoginItemService;
class NotificationCenter;
class UserDefaults;

// The settings form's state and commands. The alert settings are the state's own; the
// launch-at-login switch goes through the login item; the test notification goes through a
// notification manager of its own over the same stored keys as the coordinator's.
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
    Q_PROPERTY(QVariantMap texts READ texts CONSTANT)

public:
    // Starts a desktop program by name; false when it could not be started.
    using Launcher = std::function<bool(const QString& program, const QStringList& arguments)>;

    SettingsViewModel(AppState& state, LoginItemService& loginItem, UserDefaults& defaults,
                      NotificationCenter& notificationCenter, Launcher launcher = {},
                      QObject* parent = nullptr);
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
    // Title and value of each provider, Codex first.
    QVariantList providerRows() const;
    QVariantMap texts() const;

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
    void testNotificationFinished();

private:
    struct TestNotifier;

    AppState& state_;
    LoginItemService& loginItem_;
    UserDefaults& defaults_;
    Launcher launcher_;
    // Shared with a pending test, so closing the window mid-test frees nothing in use.
    std::shared_ptr<TestNotifier> notifier_;
    bool launchAtLogin_ = false;
    QString testStatus_;
    bool testNeedsSettings_ = false;
};
