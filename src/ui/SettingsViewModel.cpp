#include "SettingsViewModel.h"

#include "AccountRegistry.h"
#include "AppState.h"
#include "ExecutableSearch.h"
#include "KeyedListModel.h"
#include "LaunchAtLoginController.h"
#include "LoginItemService.h"
#include "NotificationManager.h"
#include "ProviderStatusText.h"
#include "SettingsText.h"
#include "SnapshotStore.h"
#include "VantorError.h"

#include <QDir>
#include <QLocale>
#include <QPointer>
#include <QProcess>

#include <algorithm>
#include <optional>

struct SettingsViewModel::TestNotifier {
    TestNotifier(UserDefaults& defaults, NotificationCenter& center)
        : store(defaults), manager(store, center) {}
    SnapshotStore store;
    NotificationManager manager;
};

namespace {

constexpr auto languages = allCases<CustomAudioLanguage>();
constexpr auto genders = allCases<CustomAudioGender>();

bool startDetached(const QString& program, const QStringList& arguments) {
    const QString path = ExecutableSearch::find(program);
    return !path.isEmpty() && QProcess::startDetached(path, arguments);
}

// The program and arguments that open this desktop's notification settings; none where the
// desktop is not known, so that no other desktop's tool opens in its place.
std::optional<QStringList> notificationSettingsTool() {
    const QStringList desktops = qEnvironmentVariable("XDG_CURRENT_DESKTOP").split(u':');
    const std::pair<const char*, QStringList> tools[] = {
        {"GNOME", {QStringLiteral("gnome-control-center"), QStringLiteral("notifications")}},
        {"KDE", {QStringLiteral("systemsettings"), QStringLiteral("kcm_notifications")}},
        {"XFCE", {QStringLiteral("xfce4-notifyd-config")}},
        {"X-Cinnamon", {QStringLiteral("cinnamon-settings"), QStringLiteral("notifications")}}};
    for (const auto& [desktop, tool] : tools) {
        if (desktops.contains(QLatin1String(desktop), Qt::CaseInsensitive)) {
            return tool;
        }
    }
    return std::nullopt;
}

}  // namespace

SettingsViewModel::SettingsViewModel(AppState& state, AccountRegistry& accounts,
                                     LoginItemService& loginItem, UserDefaults& defaults,
                                     NotificationCenter& notificationCenter, Launcher launcher,
                                     QObject* parent)
    : QObject(parent),
      state_(state),
      accounts_(accounts),
      accountModel_(new KeyedListModel({"key", "group", "name", "placeholder", "folder", "watched",
                                        "removable", "watchText", "removeText"},
                                       this)),
      loginItem_(loginItem),
      defaults_(defaults),
      launcher_(launcher ? std::move(launcher) : Launcher(startDetached)),
      notifier_(std::make_shared<TestNotifier>(defaults, notificationCenter)),
      launchAtLogin_(LaunchAtLoginController::isEnabled(loginItem)) {
    connect(&state_, &AppState::alertsEnabledChanged, this,
            &SettingsViewModel::alertsEnabledChanged);
    connect(&state_, &AppState::customAudioLanguageChanged, this,
            &SettingsViewModel::languageChanged);
    connect(&state_, &AppState::customAudioGenderChanged, this, &SettingsViewModel::genderChanged);
    connect(&state_, &AppState::limitWarningThresholdChanged, this,
            &SettingsViewModel::warningChanged);
    connect(&state_, &AppState::trayShowsFigureChanged, this, &SettingsViewModel::trayIconChanged);
    connect(&state_, &AppState::customAudioChoicesChanged, this, &SettingsViewModel::soundChanged);
    connect(&state_, &AppState::customVoiceIDChanged, this, &SettingsViewModel::soundChanged);
    connect(&state_, &AppState::availabilityChanged, this, &SettingsViewModel::providerRowsChanged);
    connect(&state_, &AppState::accountsChanged, this, &SettingsViewModel::providerRowsChanged);
    connect(&state_, &AppState::accountsChanged, this, &SettingsViewModel::updateAccounts);
    updateAccounts();
}

SettingsViewModel::~SettingsViewModel() = default;

void SettingsViewModel::setLaunchAtLogin(bool enabled) {
    if (enabled == launchAtLogin_) {
        return;
    }
    launchAtLogin_ = enabled;
    try {
        LaunchAtLoginController::setEnabled(enabled, loginItem_, defaults_);
    } catch (const VantorError&) {
        // No message: the switch shows what the desktop actually does.
        launchAtLogin_ = LaunchAtLoginController::isEnabled(loginItem_);
    }
    Q_EMIT launchAtLoginChanged();
}

bool SettingsViewModel::alertsEnabled() const {
    return state_.alertsEnabled();
}

void SettingsViewModel::setAlertsEnabled(bool enabled) {
    state_.setAlertsEnabled(enabled);
}

QStringList SettingsViewModel::languageItems() const {
    QStringList items;
    for (const CustomAudioLanguage language : languages) {
        items.append(SettingsText::languageText(language));
    }
    return items;
}

int SettingsViewModel::languageIndex() const {
    return static_cast<int>(state_.customAudioLanguage());
}

void SettingsViewModel::setLanguageIndex(int index) {
    if (index < 0 || index >= static_cast<int>(languages.size()) || index == languageIndex()) {
        return;
    }
    state_.setCustomAudioLanguage(languages[static_cast<std::size_t>(index)]);
    state_.setCustomVoiceID(std::nullopt);
}

QStringList SettingsViewModel::warningItems() const {
    QStringList items;
    for (const int percent : LimitWarningDetector::thresholds) {
        // Offered as the share left, as every display shows a share; kept as the share used.
        items.append(percent == 0 ? tr("Off")
                                  : tr("%1 left").arg(
                                        ProviderStatusText::percent(100 - percent, QLocale())));
    }
    return items;
}

int SettingsViewModel::warningIndex() const {
    const auto& choices = LimitWarningDetector::thresholds;
    return static_cast<int>(
        std::find(choices.cbegin(), choices.cend(), state_.limitWarningThreshold()) -
        choices.cbegin());
}

void SettingsViewModel::setWarningIndex(int index) {
    if (index >= 0 && index < static_cast<int>(LimitWarningDetector::thresholds.size())) {
        state_.setLimitWarningThreshold(
            LimitWarningDetector::thresholds[static_cast<std::size_t>(index)]);
    }
}

QStringList SettingsViewModel::trayIconItems() const {
    return {tr("Symbol"), tr("Percentage left")};
}

int SettingsViewModel::trayIconIndex() const {
    return state_.trayShowsFigure() ? 1 : 0;
}

void SettingsViewModel::setTrayIconIndex(int index) {
    if (index == 0 || index == 1) {
        state_.setTrayShowsFigure(index == 1);
    }
}

QStringList SettingsViewModel::genderItems() const {
    QStringList items;
    for (const CustomAudioGender gender : genders) {
        items.append(SettingsText::genderText(gender));
    }
    return items;
}

int SettingsViewModel::genderIndex() const {
    return static_cast<int>(state_.customAudioGender());
}

void SettingsViewModel::setGenderIndex(int index) {
    if (index < 0 || index >= static_cast<int>(genders.size()) || index == genderIndex()) {
        return;
    }
    state_.setCustomAudioGender(genders[static_cast<std::size_t>(index)]);
    state_.setCustomVoiceID(std::nullopt);
}

QStringList SettingsViewModel::soundItems() const {
    QStringList items{tr("Automatic")};
    for (const CustomAlertVoice& voice : state_.customAudioChoices()) {
        items.append(voice.name);
    }
    return items;
}

int SettingsViewModel::soundIndex() const {
    const auto& chosen = state_.customVoiceID();
    if (!chosen) {
        return 0;
    }
    const QList<CustomAlertVoice> choices = state_.customAudioChoices();
    for (qsizetype i = 0; i < choices.size(); ++i) {
        if (choices[i].id == *chosen) {
            return static_cast<int>(i) + 1;
        }
    }
    // A stored clip not offered for these settings plays the first choice: show automatic.
    return 0;
}

void SettingsViewModel::setSoundIndex(int index) {
    const QList<CustomAlertVoice> choices = state_.customAudioChoices();
    if (index <= 0 || index > choices.size()) {
        state_.setCustomVoiceID(std::nullopt);
    } else {
        state_.setCustomVoiceID(choices[index - 1].id);
    }
}

QVariantList SettingsViewModel::providerRows() const {
    QVariantList rows;
    for (const ProviderID& provider : state_.watchedProviders()) {
        const auto it = state_.availability().constFind(provider);
        const auto availability = it == state_.availability().constEnd()
                                      ? std::nullopt
                                      : std::optional<ProviderAvailability>(*it);
        const QString label = state_.accountLabel(provider);
        //: A provider's row when several accounts of it are watched: "Claude Code · work".
        const QString title =
            label.isEmpty() ? ProviderStatusText::title(provider)
                            : tr("%1 \u00b7 %2").arg(ProviderStatusText::title(provider), label);
        rows.append(
            QVariantMap{{QStringLiteral("title"), title},
                        {QStringLiteral("value"), ProviderStatusText::availability(availability)}});
    }
    return rows;
}

QAbstractItemModel* SettingsViewModel::accountModel() const {
    return accountModel_;
}

void SettingsViewModel::updateAccounts() {
    QList<UsageAccount> accounts = state_.accounts();
    std::stable_sort(accounts.begin(), accounts.end(),
                     [](const UsageAccount& a, const UsageAccount& b) {
                         return ProviderID::shownBefore(a.id, b.id);
                     });
    const QString home = QDir::homePath();
    QList<QVariantList> rows;
    for (qsizetype i = 0; i < accounts.size(); ++i) {
        const UsageAccount& account = accounts[i];
        const bool firstOfKind = i == 0 || accounts[i - 1].id.kind != account.id.kind;
        // What the registry gives back for an empty name.
        const QString placeholder =
            account.id.isDefault() ? ProviderStatusText::accountName({})
                                   : AccountDiscovery::folderName(account.id.kind, account.folder);
        const bool removable = AccountRegistry::isRemovable(account);
        const QString named = ProviderStatusText::namedProvider(
            account.id.kind, ProviderStatusText::accountName(account));
        rows.append({rawValue(account.id),
                     firstOfKind ? ProviderStatusText::title(account.id) : QString(), account.name,
                     placeholder, SettingsText::folderText(account.folder, home), account.watched,
                     removable,
                     //: The switch that watches an account or not: "Watch Claude (work)".
                     tr("Watch %1").arg(named),
                     //: The button that forgets an account: "Remove Claude (work)".
                     tr("Remove %1").arg(named)});
    }
    accountModel_->setRows(rows);
}

QUrl SettingsViewModel::homeFolder() const {
    return QUrl::fromLocalFile(QDir::homePath());
}

int SettingsViewModel::accountNameLimit() {
    return static_cast<int>(AccountRegistry::maxNameLength);
}

void SettingsViewModel::setWatched(const QString& provider, bool watched) {
    if (const auto id = fromRawValue<ProviderID>(provider)) {
        accounts_.setWatched(*id, watched);
    }
}

void SettingsViewModel::rename(const QString& provider, const QString& name) {
    if (const auto id = fromRawValue<ProviderID>(provider)) {
        accounts_.rename(*id, name);
    }
}

void SettingsViewModel::remove(const QString& provider) {
    if (const auto id = fromRawValue<ProviderID>(provider)) {
        accounts_.remove(*id);
    }
}

void SettingsViewModel::addFolder(const QUrl& folder) {
    const QString message = SettingsText::addFolderMessage(
        folder.isLocalFile() ? accounts_.addFolder(QDir::cleanPath(folder.toLocalFile()))
                             : AccountRegistry::AddResult::noSignIn);
    if (message != addFolderMessage_) {
        addFolderMessage_ = message;
        Q_EMIT addFolderMessageChanged();
    }
}

QVariantMap SettingsViewModel::texts() const {
    return {
        {QStringLiteral("general"), tr("General")},
        {QStringLiteral("launchAtLogin"), tr("Launch at Login")},
        {QStringLiteral("warnAt"), tr("Warn when a limit is down to")},
        {QStringLiteral("trayIcon"), tr("Tray icon shows")},
        {QStringLiteral("resetAlert"), tr("Reset alert")},
        {QStringLiteral("playResetAlert"), tr("Play reset alert")},
        // The voice's language, not the interface's.
        {QStringLiteral("language"), tr("Voice language")},
        {QStringLiteral("voice"), tr("Voice")},
        {QStringLiteral("sound"), tr("Sound")},
        {QStringLiteral("playAudioTest"), tr("Play Audio Test")},
        {QStringLiteral("sendTestNotification"), tr("Send Test Notification")},
        {QStringLiteral("openNotificationSettings"), tr("Open Notification Settings")},
        {QStringLiteral("providers"), tr("Providers")},
        {QStringLiteral("accounts"), tr("Accounts")},
        {QStringLiteral("addFolder"), tr("Add folder...")},
        {QStringLiteral("chooseFolder"), tr("Choose the folder of a Claude Code or Codex account")},
        {QStringLiteral("remove"), tr("Remove")},
        {QStringLiteral("accountName"), tr("Name")},
        {QStringLiteral("about"), tr("About")},
        {QStringLiteral("version"), tr("Vantor 1.0")},
        {QStringLiteral("privacy"), tr("Usage data and alert preferences stay on this computer. "
                                       "Claude usage support is experimental.")},
    };
}

void SettingsViewModel::playAudioTest() {
    state_.playResetAlert();
}

void SettingsViewModel::sendTestNotification() {
    testStatus_.clear();
    testNeedsSettings_ = false;
    Q_EMIT testNotificationChanged();
    // The notifier and the state outlive the task; this object may not, hence the guard.
    auto task = [](std::shared_ptr<TestNotifier> notifier, QPointer<SettingsViewModel> self,
                   QPointer<AppState> state) -> QCoro::Task<> {
        const bool delivered = co_await notifier->manager.sendTestNotification();
        if (state) {
            state->playResetAlert();
        }
        if (self) {
            self->testStatus_ = SettingsText::testNotificationStatus(delivered);
            self->testNeedsSettings_ = !delivered;
            Q_EMIT self->testNotificationChanged();
            Q_EMIT self->testNotificationFinished();
        }
    }(notifier_, this, &state_);
    // Nobody awaits it; QCoro frees its frame when it ends.
    Q_UNUSED(task);
}

bool SettingsViewModel::canOpenNotificationSettings() const {
    return notificationSettingsTool().has_value();
}

void SettingsViewModel::openNotificationSettings() {
    const std::optional<QStringList> tool = notificationSettingsTool();
    if (tool && !launcher_(tool->first(), tool->mid(1))) {
        testStatus_ = tr("The notification settings could not be opened.");
        Q_EMIT testNotificationChanged();
    }
}
