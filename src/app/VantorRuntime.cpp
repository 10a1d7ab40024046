#include "VantorRuntime.h"

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

#include <QJsonDocument>

VantorRuntime::Platform::Platform() = default;
VantorRuntime::Platform::Platform(Platform&&) noexcept = default;
VantorRuntime::Platform& VantorRuntime::Platform::operator=(Platform&&) noexcept = default;
VantorRuntime::Platform::~Platform() {
    // The providers borrow the keychain and the pause store: they go first.
    providers.clear();
}

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
    platform.pauseStore = std::make_unique<DefaultsClaudePauseStore>(*platform.defaults);
    platform.credentialWatcher =
        std::make_unique<ClaudeCredentialWatcher>(ClaudeCredentialReader::credentialsFilePath());
    platform.providers.push_back(std::make_unique<CodexUsageProvider>());
    auto claude =
        std::make_unique<ClaudeUsageProvider>(platform.keychain.get(), platform.pauseStore.get());
    platform.claude = claude.get();
    platform.providers.push_back(std::move(claude));
    return platform;
}

VantorRuntime::VantorRuntime(Platform platform, QObject* parent)
    : QObject(parent), platform_(std::move(platform)) {
    state_ = std::make_unique<AppState>(
        *platform_.defaults, std::make_unique<ResetAlertAudioManager>(platform_.makePlayer));
    coordinator_ = std::make_unique<UsageCoordinator>(
        std::move(platform_.providers),
        UsageCoordinator::Services{*platform_.defaults, *platform_.notificationCenter,
                                   *platform_.log, platform_.wakeSource.get()});
    // A renewed token or a new sign-in is used at once, not at the next poll.
    if (platform_.credentialWatcher) {
        connect(platform_.credentialWatcher.get(), &ClaudeCredentialWatcher::changed, this, [this] {
            if (launched_) {
                refresh();
            }
        });
    }
}

VantorRuntime::~VantorRuntime() = default;

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
    ProviderUsageSnapshot reading;
    try {
        reading = ClaudeParser::parse(body, Instant::now());
    } catch (const VantorError&) {
        return;
    }
    // Claude Code's own word on its version is the one its requests should carry.
    const QJsonValue version = QJsonDocument::fromJson(body)[QLatin1String("claude_code_version")];
    if (platform_.claude != nullptr && version.isString()) {
        platform_.claude->setReportedVersion(version.toString());
    }
    QCoro::Task<> task = coordinator_->applyReading(*state_, std::move(reading));
    Q_UNUSED(task);
}

void VantorRuntime::refresh() {
    // Nobody awaits it; the coordinator skips it while another refresh runs.
    QCoro::Task<> task = coordinator_->refresh(*state_);
    Q_UNUSED(task);
}
