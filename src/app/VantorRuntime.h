#pragma once

#include "ResetAlertAudioManager.h"
#include "UsageProvider.h"

#include <QObject>

#include <memory>
#include <vector>

class AppState;
class ClaudeCredentialWatcher;
class ClaudeKeychain;
class ClaudePauseStore;
class ClaudeUsageProvider;
class LogSink;
class LoginItemService;
class NotificationCenter;
class UsageCoordinator;
class UserDefaults;
class WakeSource;

// The composition root: the one state, the providers (Codex first, then Claude) and the one
// coordinator, over the desktop's services. Created once by main after the application object
// and kept for the life of the process; launch() then registers the login item on first run
// and starts polling, in that order.
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
        // What the Claude provider borrows.
        std::unique_ptr<ClaudeKeychain> keychain;
        std::unique_ptr<ClaudePauseStore> pauseStore;
        // None: a changed credentials file waits for the next poll.
        std::unique_ptr<ClaudeCredentialWatcher> credentialWatcher;
        // In the order every refresh asks them.
        std::vector<std::unique_ptr<UsageProvider>> providers;
        // The Claude provider among them, told the version Claude Code reports; may be null.
        ClaudeUsageProvider* claude = nullptr;

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
    // Claude's windows as read elsewhere, in the usage endpoint's form; a body that does not
    // read is dropped. Returns at once.
    void applyClaudeUsage(const QByteArray& body);

    AppState& state() { return *state_; }
    UsageCoordinator& coordinator() { return *coordinator_; }
    UserDefaults& defaults() { return *platform_.defaults; }
    NotificationCenter& notificationCenter() { return *platform_.notificationCenter; }
    LoginItemService& loginItem() { return *platform_.loginItem; }
    LogSink& log() { return *platform_.log; }

private:
    Platform platform_;
    std::unique_ptr<AppState> state_;
    std::unique_ptr<UsageCoordinator> coordinator_;
    bool launched_ = false;
};
