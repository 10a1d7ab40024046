#include "VantorRuntime.h"

#include "AccountRegistry.h"
#include "AppState.h"
#include "ClaudeCredentialReader.h"
#include "ClaudeCredentialWatcher.h"
#include "ClaudeKeychain.h"
#include "ClaudeParser.h"
#include "ClaudePauseStore.h"
#include "ClaudeUsageProvider.h"
#include "CodexUsageProvider.h"
#include "DBusNotificationCenter.h"
#include "DefaultsClaudePauseStore.h"
#include "JournalLogSink.h"
#include "LaunchAtLoginController.h"
#include "LoginItemService.h"
#include "LogindWakeSource.h"
#include "NotificationCenter.h"
#include "QSettingsDefaults.h"
#include "SecretServiceKeychain.h"
#include "UsageCoordinator.h"
#include "UserDefaults.h"
#include "VantorError.h"
#include "WakeSource.h"
#include "XdgAutostartLoginItem.h"

#include <QCoreApplication>
#include <QJsonDocument>

#include <algorithm>
#include <exception>
#include <map>
#include <utility>

VantorRuntime::Platform::Platform() = default;
VantorRuntime::Platform::Platform(Platform&&) noexcept = default;
VantorRuntime::Platform& VantorRuntime::Platform::operator=(Platform&&) noexcept = default;
VantorRuntime::Platform::~Platform() {
    // The providers borrow the keychain: they go first.
    providers.clear();
}

namespace {

// What the providers of the desktop's accounts share and borrow, kept as long as the factory
// that makes them.
struct ProviderKit {
    UserDefaults* defaults = nullptr;
    ClaudeKeychain* keychain = nullptr;
    std::shared_ptr<ClaudeUsageProvider::Shared> claude =
        std::make_shared<ClaudeUsageProvider::Shared>();
    std::shared_ptr<CodexUsageProvider::Shared> codex =
        std::make_shared<CodexUsageProvider::Shared>();
    // Each Claude account's 429 pause, made once and kept: a provider made anew for the same
    // account borrows the same one.
    std::map<ProviderID, std::unique_ptr<DefaultsClaudePauseStore>> pauses;

    std::unique_ptr<UsageProvider> make(const UsageAccount& account) {
        // The default account's empty folder keeps the assistant's own choice, as before there
        // were several accounts.
        const QString folder = account.id.isDefault() ? QString() : account.folder;
        if (account.id.kind == ProviderKind::codex) {
            return std::make_unique<CodexUsageProvider>(account.id, folder, codex);
        }
        auto& pause = pauses[account.id];
        if (!pause) {
            pause = std::make_unique<DefaultsClaudePauseStore>(*defaults, account.id);
        }
        return std::make_unique<ClaudeUsageProvider>(
            account.id, folder, claude, account.id.isDefault() ? keychain : nullptr, pause.get());
    }
};

}  // namespace

VantorRuntime::Platform VantorRuntime::linuxPlatform(
    ResetAlertAudioManager::PlayerFactory makePlayer) {
    Platform platform;
    platform.log = std::make_unique<JournalLogSink>();
    platform.defaults = std::make_unique<QSettingsDefaults>(QSettingsDefaults::standardFilePath(),
                                                            platform.log.get());
    platform.notificationCenter = std::make_unique<DBusNotificationCenter>();
    platform.wakeSource = std::make_unique<LogindWakeSource>();
    // Started through the `vantor` command, the entry names that command.
    const QString command = qEnvironmentVariable("VANTOR_COMMAND");
    qunsetenv("VANTOR_COMMAND");
    platform.loginItem = std::make_unique<XdgAutostartLoginItem>(command);
    platform.makePlayer = std::move(makePlayer);
    platform.keychain = std::make_unique<SecretServiceKeychain>();
    platform.accounts = AccountDiscovery::currentEnvironment();
    auto kit = std::make_shared<ProviderKit>();
    kit->defaults = platform.defaults.get();
    kit->keychain = platform.keychain.get();
    platform.makeProvider = [kit](const UsageAccount& account) { return kit->make(account); };
    return platform;
}

VantorRuntime::VantorRuntime(Platform platform, QObject* parent)
    : QObject(parent), platform_(std::move(platform)) {
    state_ = std::make_unique<AppState>(
        *platform_.defaults, std::make_unique<ResetAlertAudioManager>(platform_.makePlayer));
    // The accounts come first: the stored snapshots are taken for watched accounts only.
    if (platform_.accounts) {
        registry_ = std::make_unique<AccountRegistry>(*platform_.defaults, *state_,
                                                      AccountDiscovery(*platform_.accounts));
    }
    coordinator_ = std::make_unique<UsageCoordinator>(
        platform_.makeProvider ? makeProviders() : std::move(platform_.providers),
        UsageCoordinator::Services{*platform_.defaults, *platform_.notificationCenter,
                                   *platform_.log, platform_.wakeSource.get()});
    if (platform_.makeProvider) {
        watchCredentials();
    }
    connect(state_.get(), &AppState::accountsChanged, this, &VantorRuntime::followAccounts);
    if (registry_) {
        // A folder made or removed since is found with the next refresh.
        connect(coordinator_.get(), &UsageCoordinator::refreshFinished, registry_.get(),
                &AccountRegistry::rediscover);
    }
}

VantorRuntime::~VantorRuntime() = default;

QList<QPair<ProviderID, QString>> VantorRuntime::watchedFolders() const {
    QList<QPair<ProviderID, QString>> watched;
    for (const ProviderID& id : state_->watchedProviders()) {
        const auto account =
            std::find_if(state_->accounts().cbegin(), state_->accounts().cend(),
                         [&id](const UsageAccount& known) { return known.id == id; });
        watched.append({id, account->folder});
    }
    return watched;
}

std::vector<std::unique_ptr<UsageProvider>> VantorRuntime::makeProviders() {
    std::vector<std::unique_ptr<UsageProvider>> providers;
    providedFor_ = watchedFolders();
    for (const auto& [id, folder] : std::as_const(providedFor_)) {
        std::unique_ptr<UsageProvider> provider =
            platform_.makeProvider(UsageAccount{.id = id, .folder = folder, .name = {}});
        if (auto* claude = dynamic_cast<ClaudeUsageProvider*>(provider.get())) {
            claude->setReportedVersion(reportedVersion_);
        }
        providers.push_back(std::move(provider));
    }
    return providers;
}

void VantorRuntime::followAccounts() {
    // A new name changes no provider.
    if (!platform_.makeProvider || watchedFolders() == providedFor_) {
        return;
    }
    coordinator_->setProviders(makeProviders());
    watchCredentials();
}

void VantorRuntime::watchCredentials() {
    // A renewed token or a new sign-in is used at once, not at the next poll.
    watchers_.clear();
    for (const auto& [id, folder] : std::as_const(providedFor_)) {
        if (id.kind != ProviderKind::claude) {
            continue;
        }
        auto watcher = std::make_unique<ClaudeCredentialWatcher>(
            ClaudeCredentialReader::credentialsFilePath(id.isDefault() ? QString() : folder));
        connect(watcher.get(), &ClaudeCredentialWatcher::changed, this, [this, id = id] {
            if (launched_) {
                QCoro::Task<> task = coordinator_->refresh(*state_, {id});
                Q_UNUSED(task);
            }
        });
        watchers_.push_back(std::move(watcher));
    }
}

void VantorRuntime::launch() {
    if (launched_) {
        return;
    }
    launched_ = true;
    // The login item first: the first refresh begins only after this step has returned.
    LaunchAtLoginController::enableByDefaultIfNeeded(*platform_.loginItem, *platform_.defaults);
    coordinator_->start(*state_);
}

void VantorRuntime::applyClaudeUsage(const QByteArray& body) {
    applyClaudeUsageFrom(QString(), body);
}

void VantorRuntime::applyClaudeUsageFrom(const QString& configDir, const QByteArray& body) {
    std::optional<ProviderID> account =
        registry_ ? registry_->claudeAccountFor(configDir)
                  : (configDir.isEmpty() ? std::optional(ProviderID::claude) : std::nullopt);
    // A folder Vantor does not know (set in a shell, not in Vantor's session) while the default
    // account is the only Claude account watched: it goes there, as it did before Vantor knew
    // several accounts. With several, it could be any of them, and is dropped.
    const QList<ProviderID> watched = state_->watchedProviders();
    if (!account && state_->isWatched(ProviderID::claude) &&
        std::count_if(watched.cbegin(), watched.cend(),
                      [](const ProviderID& id) { return id.kind == ProviderKind::claude; }) == 1) {
        account = ProviderID::claude;
    }
    if (!account) {
        return;
    }
    ProviderUsageSnapshot reading;
    try {
        reading = ClaudeParser::parse(body, Instant::now());
    } catch (const VantorError&) {
        return;
    }
    reading.assignProvider(*account);
    // Claude Code's own word on its version is the one its requests should carry.
    const QJsonValue version = QJsonDocument::fromJson(body)[QLatin1String("claude_code_version")];
    if (version.isString()) {
        reportedVersion_ = version.toString();
        for (const auto& provider : coordinator_->providers()) {
            if (auto* claude = dynamic_cast<ClaudeUsageProvider*>(provider.get())) {
                claude->setReportedVersion(reportedVersion_);
            }
        }
    }
    QCoro::Task<> task = coordinator_->applyReading(*state_, std::move(reading));
    Q_UNUSED(task);
}

void VantorRuntime::refresh() {
    // Nobody awaits it; the coordinator skips it while another refresh runs.
    QCoro::Task<> task = coordinator_->refresh(*state_);
    Q_UNUSED(task);
}

QString VantorRuntime::backgroundTitle() {
    return QCoreApplication::translate("VantorRuntime", "Vantor runs in the background");
}

QString VantorRuntime::backgroundBody(const QString& desktop) {
    // GNOME shows tray icons only with the AppIndicator extension.
    if (desktop.contains(QLatin1String("GNOME"), Qt::CaseInsensitive)) {
        return QCoreApplication::translate(
            "VantorRuntime",
            "Your panel shows no tray icons. Install the AppIndicator and KStatusNotifierItem "
            "Support extension to see Vantor's icon; meanwhile vantor status shows your limits.");
    }
    return QCoreApplication::translate(
        "VantorRuntime",
        "Your panel shows no tray icons. Add a system tray to it to see Vantor's icon; "
        "meanwhile vantor status shows your limits.");
}

QCoro::Task<bool> VantorRuntime::tellWithoutTray(QString desktop) {
    if (platform_.defaults->value(backgroundToldKey).toBool()) {
        co_return false;
    }
    NotificationCenter& center = *platform_.notificationCenter;
    if (co_await center.authorizationStatus() !=
        NotificationCenter::AuthorizationStatus::authorized) {
        co_return false;
    }
    // Built apart from the co_await: g++ 12 mishandles temporaries in an awaited call.
    NotificationCenter::Request request{
        .identifier = QStringLiteral("com.quorvel.vantor.background"),
        .title = backgroundTitle(),
        .body = backgroundBody(desktop)};
    try {
        co_await center.add(std::move(request));
    } catch (const std::exception&) {
        co_return false;
    }
    platform_.defaults->setValue(backgroundToldKey, true);
    co_return true;
}
