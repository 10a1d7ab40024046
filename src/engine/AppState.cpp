#include "AppState.h"

#include "ProviderStatusText.h"
#include "ResetAlertAudioManager.h"
#include "UserDefaults.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QLocale>

#include <algorithm>

namespace {

// Keys of alert settings from earlier versions, each removed at its own moment.
const QStringList obsoleteNotifyKeys{QStringLiteral("notifyOnReset"),
                                     QStringLiteral("notifyEveryReset"),
                                     QStringLiteral("notifyOnLimitReached")};
const QStringList obsoleteModeKeys{QStringLiteral("resetAlertMode"),
                                   QStringLiteral("resetSystemSoundSelection")};
const QString legacyLanguageKey = QStringLiteral("announcementLanguage");
const QStringList migratedSpeechKeys{
    QStringLiteral("soundSelection"),  QStringLiteral("speaksResetAlerts"),
    QStringLiteral("speechRate"),      legacyLanguageKey,
    QStringLiteral("speechVoiceMode"), QStringLiteral("speechVoice")};

}  // namespace

AppState::AppState(UserDefaults& defaults,
                   std::unique_ptr<ResetAlertAudioManager> alertAudioManager, QObject* parent)
    : QObject(parent), defaults_(defaults), alertAudioManager_(std::move(alertAudioManager)) {
    for (const QString& key : obsoleteNotifyKeys) {
        defaults_.remove(key);
    }
    if (defaults_.value(alertsEnabledKey).isValid()) {
        // A value that is not a Boolean keeps the default and is written back in valid form.
        setAlertsEnabled(defaults_.boolean(alertsEnabledKey).value_or(alertsEnabled_));
    } else {
        migrateLegacyAlertSettings();
    }
    restore(languageKey, &AppState::setCustomAudioLanguage, customAudioLanguage_);
    restore(genderKey, &AppState::setCustomAudioGender, customAudioGender_);
    setCustomVoiceID(defaults_.string(voiceIDKey));
    // A stored value that is not one of the choices is left as it is, and the default holds.
    setLimitWarningThreshold(storedWarningThreshold(defaults_));
    trayShowsFigure_ = defaults_.string(trayIconKey) != QLatin1String("symbol");
    for (const QString& key : obsoleteModeKeys) {
        defaults_.remove(key);
    }
}

AppState::~AppState() = default;

void AppState::migrateLegacyAlertSettings() {
    // Earlier versions could switch alerts off; this one starts every upgraded user with them on.
    setAlertsEnabled(true);
    if (const auto data = defaults_.data(legacyLanguageKey)) {
        if (const auto legacy = decodeJsonString(*data)) {
            // Only the exact old names carry over; anything else follows the locale.
            setCustomAudioLanguage(fromRawValue<CustomAudioLanguage>(*legacy).value_or(
                CustomAudioLanguage::automatic));
        }
    }
    defaults_.setValue(alertsEnabledKey, alertsEnabled_);
    encode(customAudioLanguage_, languageKey);
    encode(customAudioGender_, genderKey);
    for (const QString& key : migratedSpeechKeys) {
        defaults_.remove(key);
    }
}

template <typename Enum>
void AppState::restore(const QString& key, void (AppState::*assign)(Enum), Enum fallback) {
    const auto data = defaults_.data(key);
    const auto name = data ? decodeJsonString(*data) : std::nullopt;
    const auto choice = name ? fromRawValue<Enum>(*name) : std::nullopt;
    // A choice this release does not know, as a newer one may store, stays as it is for that
    // release to find, and the default holds. Anything else is assigned, so that the key holds
    // a valid value afterwards.
    if (choice || !name) {
        (this->*assign)(choice.value_or(fallback));
    }
}

template <typename Enum>
void AppState::encode(Enum value, const QString& key) {
    // Raw values are plain ASCII words: nothing to escape.
    defaults_.setValue(key, QByteArray('"' + rawValue(value).toLatin1() + '"'));
}

std::optional<QString> AppState::decodeJsonString(const QByteArray& data) {
    // QJsonDocument only parses arrays and objects at top level; wrapping the value in an
    // array accepts exactly one JSON string, escapes and surrounding blanks included.
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson('[' + data + ']', &error);
    if (error.error != QJsonParseError::NoError || !document.isArray()) {
        return std::nullopt;
    }
    const QJsonArray array = document.array();
    if (array.size() != 1 || !array.first().isString()) {
        return std::nullopt;
    }
    return array.first().toString();
}

void AppState::setAccounts(QList<UsageAccount> accounts) {
    if (accounts_ == accounts) {
        return;
    }
    accounts_ = std::move(accounts);
    const auto unwatched = [this](const ProviderID& id) { return !isWatched(id); };
    bool dropped = snapshots_.removeIf([&](auto it) { return unwatched(it.key()); }) > 0;
    dropped = availability_.removeIf([&](auto it) { return unwatched(it.key()); }) > 0 || dropped;
    Q_EMIT accountsChanged();
    if (dropped) {
        Q_EMIT snapshotsChanged();
        Q_EMIT availabilityChanged();
        Q_EMIT menuStateChanged();
    }
}

QList<ProviderID> AppState::watchedProviders() const {
    QList<ProviderID> watched;
    for (const UsageAccount& account : accounts_) {
        if (account.watched && !watched.contains(account.id)) {
            watched.append(account.id);
        }
    }
    std::stable_sort(watched.begin(), watched.end(), &ProviderID::shownBefore);
    return watched;
}

bool AppState::isWatched(const ProviderID& provider) const {
    return std::any_of(accounts_.cbegin(), accounts_.cend(), [&](const UsageAccount& account) {
        return account.watched && account.id == provider;
    });
}

QString AppState::accountLabel(const ProviderID& provider) const {
    return accountLabel(accounts_, provider);
}

QString AppState::accountLabel(const QList<UsageAccount>& accounts, const ProviderID& provider) {
    const UsageAccount* own = nullptr;
    int watchedOfKind = 0;
    for (const UsageAccount& account : accounts) {
        if (account.watched && account.id.kind == provider.kind) {
            ++watchedOfKind;
        }
        if (account.id == provider) {
            own = &account;
        }
    }
    if (own == nullptr || watchedOfKind < 2) {
        return {};
    }
    return ProviderStatusText::accountName(*own);
}

void AppState::setSnapshots(SnapshotMap snapshots) {
    snapshots.removeIf([this](auto it) { return !isWatched(it.key()); });
    if (snapshots_ == snapshots) {
        return;
    }
    snapshots_ = std::move(snapshots);
    Q_EMIT snapshotsChanged();
    Q_EMIT menuStateChanged();
}

void AppState::setSnapshot(ProviderID provider, ProviderUsageSnapshot snapshot) {
    if (!isWatched(provider)) {
        return;
    }
    const auto existing = snapshots_.constFind(provider);
    if (existing != snapshots_.cend() && *existing == snapshot) {
        return;
    }
    snapshots_.insert(provider, std::move(snapshot));
    Q_EMIT snapshotsChanged();
    Q_EMIT menuStateChanged();
}

void AppState::setAvailability(AvailabilityMap availability) {
    availability.removeIf([this](auto it) { return !isWatched(it.key()); });
    if (availability_ == availability) {
        return;
    }
    availability_ = std::move(availability);
    Q_EMIT availabilityChanged();
    Q_EMIT menuStateChanged();
}

void AppState::setAvailability(ProviderID provider, ProviderAvailability availability) {
    if (!isWatched(provider)) {
        return;
    }
    const auto existing = availability_.constFind(provider);
    if (existing != availability_.cend() && *existing == availability) {
        return;
    }
    availability_.insert(provider, std::move(availability));
    Q_EMIT availabilityChanged();
    Q_EMIT menuStateChanged();
}

void AppState::setRefreshing(bool refreshing) {
    if (isRefreshing_ == refreshing) {
        return;
    }
    isRefreshing_ = refreshing;
    Q_EMIT isRefreshingChanged();
}

void AppState::setAlertsEnabled(bool enabled) {
    defaults_.setValue(alertsEnabledKey, enabled);
    if (alertsEnabled_ == enabled) {
        return;
    }
    alertsEnabled_ = enabled;
    Q_EMIT alertsEnabledChanged();
}

void AppState::setLimitWarningThreshold(int percent) {
    const auto& choices = LimitWarningDetector::thresholds;
    if (percent == limitWarningThreshold_ ||
        std::find(choices.cbegin(), choices.cend(), percent) == choices.cend()) {
        return;
    }
    limitWarningThreshold_ = percent;
    defaults_.setValue(limitWarningKey, percent);
    Q_EMIT limitWarningThresholdChanged();
    // The displays' scale follows the threshold.
    Q_EMIT menuStateChanged();
}

void AppState::setTrayShowsFigure(bool figure) {
    defaults_.setValue(trayIconKey,
                       figure ? QStringLiteral("percentage") : QStringLiteral("symbol"));
    if (figure != trayShowsFigure_) {
        trayShowsFigure_ = figure;
        Q_EMIT trayShowsFigureChanged();
    }
}

void AppState::setCustomAudioLanguage(CustomAudioLanguage language) {
    encode(language, languageKey);
    if (customAudioLanguage_ == language) {
        return;
    }
    customAudioLanguage_ = language;
    Q_EMIT customAudioLanguageChanged();
    Q_EMIT customAudioChoicesChanged();
}

void AppState::setCustomAudioGender(CustomAudioGender gender) {
    encode(gender, genderKey);
    if (customAudioGender_ == gender) {
        return;
    }
    customAudioGender_ = gender;
    Q_EMIT customAudioGenderChanged();
    Q_EMIT customAudioChoicesChanged();
}

void AppState::setCustomVoiceID(std::optional<QString> voiceID) {
    if (voiceID) {
        defaults_.setValue(voiceIDKey, *voiceID);
    } else {
        defaults_.remove(voiceIDKey);
    }
    if (customVoiceID_ == voiceID) {
        return;
    }
    customVoiceID_ = std::move(voiceID);
    Q_EMIT customVoiceIDChanged();
}

void AppState::playResetAlert() {
    if (!playsResetAlert()) {
        return;
    }
    alertAudioManager_->play(customAudioLanguage_, customAudioGender_, customVoiceID_);
}

QList<CustomAlertVoice> AppState::customAudioChoices() const {
    return CustomAlertVoice::choices(customAudioLanguage_, customAudioGender_, QLocale());
}

double AppState::nearingPercent(int threshold) {
    return threshold > 0 ? threshold : LimitWarningDetector::defaultThreshold;
}

int AppState::storedWarningThreshold(UserDefaults& defaults) {
    const auto& choices = LimitWarningDetector::thresholds;
    bool isNumber = false;
    const int stored = defaults.value(limitWarningKey).toInt(&isNumber);
    return isNumber && std::find(choices.cbegin(), choices.cend(), stored) != choices.cend()
               ? stored
               : LimitWarningDetector::defaultThreshold;
}

MenuBarVisualState AppState::menuState() const {
    return menuState(nearingPercent(), snapshots_, availability_, Instant::now());
}

MenuBarVisualState AppState::menuState(double nearingPercent, const SnapshotMap& snapshots,
                                       const AvailabilityMap& availabilities, Instant now) {
    bool nearing = false;
    for (const ProviderUsageSnapshot& snapshot : snapshots) {
        // A block of the account stops use as a spent window does. Only the first bucket's
        // windows speak for the account, as its headline and the tray's figure do.
        // One whose end has passed waits for the next reading, as a window does.
        if (const auto block = snapshot.accountBlock(); block && !block->hasLifted(now)) {
            return MenuBarVisualState::exhausted;
        }
        for (const UsageWindowSnapshot& window : snapshot.windows) {
            if (!snapshot.inMainBucket(window)) {
                continue;
            }
            switch (window.severity(nearingPercent, now)) {
                case UsageSeverity::spent:
                    return MenuBarVisualState::exhausted;
                case UsageSeverity::nearing:
                    nearing = true;
                    break;
                case UsageSeverity::normal:
                    break;
            }
        }
    }
    if (nearing) {
        return MenuBarVisualState::warning;
    }
    if (snapshots.isEmpty()) {
        return MenuBarVisualState::unavailable;
    }
    for (const ProviderAvailability& availability : availabilities) {
        if (availability.isAvailable()) {
            return MenuBarVisualState::normal;
        }
    }
    return MenuBarVisualState::unavailable;
}
