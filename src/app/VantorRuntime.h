#pragma once

#include "AccountDiscovery.h"
#include "ResetAlertAudioManager.h"
#include "UsageAccount.h"
#include "UsageProvider.h"

#include <QCoroTask>
#include <QList>
#include <QMap>
#include <QObject>
#include <QPair>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class AccountRegistry;
class AppState;
class ClaudeCredentialWatcher;
class ClaudeKeychain;
class LogSink;
class LoginItemService;
class NotificationCenter;
class UsageCoordinator;
class UserDefaults;
class WakeSource;

// The composition root: the one state, the accounts, a provider per watched account (Codex's
// first, then Claude's) and the one coordinator, over the desktop's services. Created once by
// main after the application object and kept for the life of the process; launch() then
// registers the login item on first run and starts polling, in that order.
class VantorRuntime : public QObject {
    Q_OBJECT

public:
    // The desktop's services and the providers; the runtime owns them all.
    struct Platform {
        std::unique_ptr<UserDefaults> defaults;
        std::unique_ptr<NotificationCenter> notificationCenter;
        std::unique_ptr<LogSink> log;
        // None: no refresh on wake.
        std::unique_ptr<WakeSource> wakeSource;
        std::unique_ptr<LoginItemService> loginItem;
        ResetAlertAudioManager::PlayerFactory makePlayer;
        // What the default Claude account's provider borrows.
        std::unique_ptr<ClaudeKeychain> keychain;
        // Where accounts are looked for; none: the two default accounts only.
        std::optional<AccountDiscovery::Environment> accounts;
        // The provider of one watched account (from its id and folder; a new name makes none),
        // made whenever the watched accounts or their folders change; with
        // it every watched Claude account's credentials file is watched too. None: the fixed
        // list below.
        std::function<std::unique_ptr<UsageProvider>(const UsageAccount&)> makeProvider;
        // In the order every refresh asks them.
        std::vector<std::unique_ptr<UsageProvider>> providers;

        Platform();
        Platform(Platform&&) noexcept;
        Platform& operator=(Platform&&) noexcept;
        ~Platform();
    };

    // The Linux desktop: the settings file, the notification server and logind on the buses,
    // the journal, the XDG autostart entry, the Secret Service, and the two real providers.
    static Platform linuxPlatform(ResetAlertAudioManager::PlayerFactory makePlayer);

    explicit VantorRuntime(Platform platform, QObject* parent = nullptr);
    ~VantorRuntime() override;

    // Enables launch at login when due, then starts the coordinator. Only the first call acts.
    void launch();
    // A refresh, unless one runs already; returns at once.
    void refresh();
    // Without a tray to show the icon in, the first launch says once, as a notification, that
    // Vantor runs in the background and how to see it (on GNOME, the extension). True when
    // the notification was taken; the mark is kept only then.
    QCoro::Task<bool> tellWithoutTray(QString desktop);
    static inline const QString backgroundToldKey = QStringLiteral("backgroundNoticeShown");
    static QString backgroundTitle();
    static QString backgroundBody(const QString& desktop);
    // Claude's windows as read elsewhere, in the usage endpoint's form, for the account whose
    // folder is configDir (the default account for an empty one); a body that does not read,
    // or one for a folder of no watched account, is dropped. Returns at once.
    void applyClaudeUsage(const QByteArray& body);
    void applyClaudeUsageFrom(const QString& configDir, const QByteArray& body);

    AppState& state() { return *state_; }
    UsageCoordinator& coordinator() { return *coordinator_; }
    // None without a way to learn of a resume.
    WakeSource* wakeSource() { return platform_.wakeSource.get(); }
    UserDefaults& defaults() { return *platform_.defaults; }
    NotificationCenter& notificationCenter() { return *platform_.notificationCenter; }
    LoginItemService& loginItem() { return *platform_.loginItem; }
    LogSink& log() { return *platform_.log; }
    // None without account discovery.
    AccountRegistry* accounts() { return registry_.get(); }

private:
    // Makes the watched accounts' providers and credential watches anew when the accounts or
    // their folders changed.
    void followAccounts();
    // The watched accounts and their folders, in the order shown.
    QList<QPair<ProviderID, QString>> watchedFolders() const;
    std::vector<std::unique_ptr<UsageProvider>> makeProviders();
    // A credentials watch for every Claude account the providers were made for.
    void watchCredentials();

    Platform platform_;
    std::unique_ptr<AppState> state_;
    std::unique_ptr<AccountRegistry> registry_;
    std::unique_ptr<UsageCoordinator> coordinator_;
    // The watched accounts and their folders the providers were made for.
    QList<QPair<ProviderID, QString>> providedFor_;
    std::vector<std::unique_ptr<ClaudeCredentialWatcher>> watchers_;
    // What Claude Code said of its version, for Claude providers made later.
    std::optional<QString> reportedVersion_;
    bool launched_ = false;
};
