#pragma once

#include "CustomAlertVoice.h"
#include "CustomAudioGender.h"
#include "CustomAudioLanguage.h"
#include "LimitWarningDetector.h"
#include "MenuBarVisualState.h"
#include "ProviderAvailability.h"
#include "ProviderUsageSnapshot.h"
#include "UsageAccount.h"

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QObject>
#include <QString>

#include <memory>
#include <optional>

class ResetAlertAudioManager;
class UserDefaults;

using AvailabilityMap = QMap<ProviderID, ProviderAvailability>;

// The observable state the interface draws from and the coordinator writes into: the latest
// usage and availability of each provider, whether a refresh runs, and the reset-alert
// settings. The settings are read once at creation, cleaned of keys earlier versions left,
// and written through to the defaults on every assignment; a choice stored by a newer release
// is kept until the user makes another. Lives on the main thread.
class AppState : public QObject {
    Q_OBJECT
    Q_PROPERTY(QList<UsageAccount> accounts READ accounts WRITE setAccounts NOTIFY accountsChanged)
    Q_PROPERTY(SnapshotMap snapshots READ snapshots WRITE setSnapshots NOTIFY snapshotsChanged)
    Q_PROPERTY(AvailabilityMap availability READ availability WRITE setAvailability NOTIFY
                   availabilityChanged)
    Q_PROPERTY(bool isRefreshing READ isRefreshing WRITE setRefreshing NOTIFY isRefreshingChanged)
    Q_PROPERTY(
        bool alertsEnabled READ alertsEnabled WRITE setAlertsEnabled NOTIFY alertsEnabledChanged)
    Q_PROPERTY(int limitWarningThreshold READ limitWarningThreshold WRITE setLimitWarningThreshold
                   NOTIFY limitWarningThresholdChanged)
    Q_PROPERTY(bool trayShowsFigure READ trayShowsFigure WRITE setTrayShowsFigure NOTIFY
                   trayShowsFigureChanged)
    Q_PROPERTY(CustomAudioLanguage customAudioLanguage READ customAudioLanguage WRITE
                   setCustomAudioLanguage NOTIFY customAudioLanguageChanged)
    Q_PROPERTY(CustomAudioGender customAudioGender READ customAudioGender WRITE setCustomAudioGender
                   NOTIFY customAudioGenderChanged)
    Q_PROPERTY(std::optional<QString> customVoiceID READ customVoiceID WRITE setCustomVoiceID NOTIFY
                   customVoiceIDChanged)
    Q_PROPERTY(MenuBarVisualState menuState READ menuState NOTIFY menuStateChanged)
    Q_PROPERTY(QList<CustomAlertVoice> customAudioChoices READ customAudioChoices NOTIFY
                   customAudioChoicesChanged)

public:
    static inline const QString alertsEnabledKey = QStringLiteral("resetAlertsEnabled");
    static inline const QString limitWarningKey = QStringLiteral("limitWarningThreshold");
    // "percentage" (the default) or "symbol".
    static inline const QString trayIconKey = QStringLiteral("trayIconShows");
    static inline const QString languageKey = QStringLiteral("resetCustomAudioLanguage");
    static inline const QString genderKey = QStringLiteral("resetCustomAudioGender");
    static inline const QString voiceIDKey = QStringLiteral("resetCustomVoiceID");

    // Reads and migrates the settings in defaults, which every later assignment writes to.
    AppState(UserDefaults& defaults, std::unique_ptr<ResetAlertAudioManager> alertAudioManager,
             QObject* parent = nullptr);
    ~AppState() override;

    // Every account known, watched or not; until told otherwise the two default accounts.
    const QList<UsageAccount>& accounts() const { return accounts_; }
    // Replaces them; the snapshots and availability of accounts not watched go.
    void setAccounts(QList<UsageAccount> accounts);
    // The watched accounts in the order they are shown: Codex's, then Claude's, each
    // assistant's default account first.
    QList<ProviderID> watchedProviders() const;
    bool isWatched(const ProviderID& provider) const;
    // The account's name where it must be told apart from another watched account of the same
    // assistant ("work"); empty while it is that assistant's only watched account, so that a
    // single account's texts stay as they always were.
    QString accountLabel(const ProviderID& provider) const;
    // The same rule over accounts held elsewhere (the status command reads them from the bus).
    static QString accountLabel(const QList<UsageAccount>& accounts, const ProviderID& provider);

    // Only watched accounts' snapshots are taken.
    const SnapshotMap& snapshots() const { return snapshots_; }
    void setSnapshots(SnapshotMap snapshots);
    // Replaces one provider's snapshot.
    void setSnapshot(ProviderID provider, ProviderUsageSnapshot snapshot);

    const AvailabilityMap& availability() const { return availability_; }
    void setAvailability(AvailabilityMap availability);
    void setAvailability(ProviderID provider, ProviderAvailability availability);

    bool isRefreshing() const { return isRefreshing_; }
    void setRefreshing(bool refreshing);

    bool alertsEnabled() const { return alertsEnabled_; }
    // Percent used at which a window is warned about, one of LimitWarningDetector::thresholds;
    // 0 is off. Any other value keeps the current one.
    int limitWarningThreshold() const { return limitWarningThreshold_; }
    // The share used from which every display shows a window as nearing its limit: the
    // warning threshold, or its default while warnings are off.
    double nearingPercent() const { return nearingPercent(limitWarningThreshold_); }
    static double nearingPercent(int threshold);
    // The threshold as stored, for a reader without a state (the status command).
    static int storedWarningThreshold(UserDefaults& defaults);
    void setLimitWarningThreshold(int percent);
    // The tray icon shows the lowest share left rather than the symbol.
    bool trayShowsFigure() const { return trayShowsFigure_; }
    void setTrayShowsFigure(bool figure);
    void setAlertsEnabled(bool enabled);

    CustomAudioLanguage customAudioLanguage() const { return customAudioLanguage_; }
    void setCustomAudioLanguage(CustomAudioLanguage language);

    CustomAudioGender customAudioGender() const { return customAudioGender_; }
    void setCustomAudioGender(CustomAudioGender gender);

    const std::optional<QString>& customVoiceID() const { return customVoiceID_; }
    void setCustomVoiceID(std::optional<QString> voiceID);

    // Plays the clip for the current settings when alerts are enabled; with alerts off a
    // clip already playing is left alone.
    void playResetAlert();
    // Whether playResetAlert plays a clip now.
    bool playsResetAlert() const { return alertsEnabled_ && alertAudioManager_; }

    // The voices offered for the current language and gender in the user's locale.
    QList<CustomAlertVoice> customAudioChoices() const;
    // The worst state of all windows now, else whether any provider answers at all. A window
    // whose reset time has passed waits for its next reading and is neither spent nor nearing.
    MenuBarVisualState menuState() const;
    // The same rule for values held elsewhere (the status command reads them from the bus).
    static MenuBarVisualState menuState(double nearingPercent, const SnapshotMap& snapshots,
                                        const AvailabilityMap& availability, Instant now);

Q_SIGNALS:
    void accountsChanged();
    void snapshotsChanged();
    void availabilityChanged();
    void isRefreshingChanged();
    void alertsEnabledChanged();
    void limitWarningThresholdChanged();
    void trayShowsFigureChanged();
    void customAudioLanguageChanged();
    void customAudioGenderChanged();
    void customVoiceIDChanged();
    // With every change of the values they derive from; they may come out the same.
    void menuStateChanged();
    void customAudioChoicesChanged();

private:
    void migrateLegacyAlertSettings();
    // Assigns the enumeration whose raw value the JSON string stored under key names, or
    // fallback when the entry is absent, not bytes or not one JSON string; a string naming no
    // known value is left alone.
    template <typename Enum>
    void restore(const QString& key, void (AppState::*assign)(Enum), Enum fallback);
    // The raw value as a JSON string, quotes included.
    template <typename Enum>
    void encode(Enum value, const QString& key);
    static std::optional<QString> decodeJsonString(const QByteArray& data);

    UserDefaults& defaults_;
    QList<UsageAccount> accounts_{
        UsageAccount{.id = ProviderID::codex, .folder = {}, .name = {}},
        UsageAccount{.id = ProviderID::claude, .folder = {}, .name = {}},
    };
    SnapshotMap snapshots_;
    AvailabilityMap availability_;
    bool isRefreshing_ = false;
    bool alertsEnabled_ = true;
    int limitWarningThreshold_ = LimitWarningDetector::defaultThreshold;
    bool trayShowsFigure_ = true;
    CustomAudioLanguage customAudioLanguage_ = CustomAudioLanguage::automatic;
    CustomAudioGender customAudioGender_ = CustomAudioGender::female;
    std::optional<QString> customVoiceID_;
    std::unique_ptr<ResetAlertAudioManager> alertAudioManager_;
};
