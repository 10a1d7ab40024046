#pragma once

#include "BootClock.h"
#include "NotificationManager.h"
#include "ResetDetector.h"
#include "SleepWakeMonitor.h"
#include "SnapshotStore.h"
#include "UsageHistory.h"
#include "UsageProvider.h"

#include <QCoroTask>
#include <QObject>
#include <QPointer>
#include <QSet>
#include <QTimer>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class AppState;
class LogSink;
class NotificationCenter;
class UserDefaults;
class WakeSource;

// The engine's main loop: refreshes every provider at start, on every poll, on wake and when
// the user asks, publishes the results into the state, stores them, derives events and
// announces each confirmed reset once, with its alert clip. At most one refresh runs at any
// time. Lives on the main thread, for the life of the process.
class UsageCoordinator : public QObject {
    Q_OBJECT

public:
    // Platform services the coordinator uses; each must outlive it.
    struct Services {
        UserDefaults& defaults;
        NotificationCenter& notificationCenter;
        LogSink& log;
        // None: no refresh on wake.
        WakeSource* wakeSource = nullptr;
    };
    // Milliseconds on a clock that keeps counting while the machine is suspended.
    using Clock = BootClock::Function;

    static constexpr std::chrono::milliseconds defaultPollInterval = std::chrono::seconds(300);
    // A provider whose fetch failed for no reason it could name (the network not back yet after
    // a wake) is asked again this much later, up to maxRetries times after each refresh.
    static constexpr std::chrono::milliseconds defaultRetryDelay = std::chrono::seconds(30);
    static constexpr int maxRetries = 3;
    // In the interface's language.
    static QString refreshFailedMessage();
    static inline const QString logCategory = QStringLiteral("refresh");

    // Providers are refreshed in list order. The interval counts from the end of one poll to
    // the next; clock defaults to the system's boot-time clock. With several accounts of one
    // assistant the polls come more often and each asks only some accounts, so that every
    // account is still asked once per interval but the requests are spread over it.
    UsageCoordinator(std::vector<std::unique_ptr<UsageProvider>> providers, Services services,
                     std::chrono::milliseconds pollInterval = defaultPollInterval, Clock clock = {},
                     std::chrono::milliseconds retryDelay = defaultRetryDelay,
                     QObject* parent = nullptr);
    ~UsageCoordinator() override;

    // Registers for wake and starts polling: loads the stored snapshots into the state,
    // refreshes, then refreshes once per interval. A second call does nothing.
    void start(AppState& state);
    // Runs one refresh and returns when it is done; returns at once, without queueing another,
    // while a refresh is running. Never throws.
    QCoro::Task<> refresh(AppState& state);
    // The same for some providers only (an account whose sign-in changed).
    QCoro::Task<> refresh(AppState& state, QSet<ProviderID> only);
    // Replaces the providers (the watched accounts changed): at once, or when the refresh that
    // runs has ended. Once started, providers new to the list are asked straight away.
    void setProviders(std::vector<std::unique_ptr<UsageProvider>> providers);
    // The providers asked now (not those waiting for a refresh to end).
    const std::vector<std::unique_ptr<UsageProvider>>& providers() const { return providers_; }
    // How many polls make one interval: the most accounts any one assistant has, at least one.
    int pollsPerInterval() const { return pollsPerInterval_; }
    // A reading of some of a provider's windows from elsewhere (Claude Code's status line): it
    // replaces those windows of the provider's snapshot and keeps the others, and a reset or
    // warning it reveals is told like a fetch's. Never throws.
    QCoro::Task<> applyReading(AppState& state, ProviderUsageSnapshot reading);

    // How far beyond its window's length a handed-in reset time may lie: clocks and rounding
    // differ a little, a window never lasts an hour longer than it is.
    static constexpr double readingResetSlackSeconds = 3600.0;
    // The windows of a reading from elsewhere that can be believed: the five-hour and weekly
    // windows (all a status line sends) of the reading's provider, with a finite use and a reset
    // time after the reading was taken and no further ahead than the window's length and the
    // slack. Whatever else the reading carries is ignored.
    static QList<UsageWindowSnapshot> believableWindows(const ProviderUsageSnapshot& reading);
    // The held snapshot with the reading's believable windows in it (a stale one left out, at
    // most ProviderUsageSnapshot::maxWindows), or none when the reading changes nothing.
    static std::optional<ProviderUsageSnapshot> withReading(
        const std::optional<ProviderUsageSnapshot>& held, const ProviderUsageSnapshot& reading);

    // Gives each block of a new reading the time it was first seen: the held reading's, for
    // a block of the same bucket, else the reading's own. Keeps a held block the reading cannot
    // speak for, as it lacks that bucket's windows (any window, for the account's).
    static void carryBlocks(const std::optional<ProviderUsageSnapshot>& held,
                            ProviderUsageSnapshot& reading);

    bool isRefreshRunning() const { return refreshRunning_; }
    // Whether a retry of failed providers waits.
    bool isRetryPending() const { return retryTimer_.isActive(); }
    // The readings of each window's current period, one per successful fetch.
    const UsageHistory& history() const { return history_; }

Q_SIGNALS:
    // After every refresh that ran, when the state shows its results.
    void refreshFinished();

private:
    // A refresh of every provider (start, wake, the user), of those due at a poll, or of those
    // whose fetch failed.
    enum class Reason { whole, scheduled, retry };

    void pollDue();
    // everyone: every provider, whoever's turn it is.
    QCoro::Task<> poll(QPointer<AppState> state, bool everyone = false);
    // Refreshes the given providers, or all of them when none is given.
    QCoro::Task<> refreshProviders(AppState& state, QSet<ProviderID> only, Reason reason);
    // The providers the current poll asks: those whose turn it is.
    QSet<ProviderID> dueAtPoll() const;
    // Takes the list; returns the providers new to it.
    QSet<ProviderID> applyProviders(std::vector<std::unique_ptr<UsageProvider>> providers);
    // Counts the retries of the providers a refresh asked: a failure of a refresh of its own
    // starts them anew, a success or the last retry ends them.
    void noteRetries(const QSet<ProviderID>& asked, const QSet<ProviderID>& failed, Reason reason);
    // Starts the retry timer while retries wait (anew: from now, for new failures).
    void scheduleRetry(QPointer<AppState> state, bool anew);
    void schedulePoll();
    void handleWake(QPointer<AppState> state);
    // One provider's part of a refresh; false when the state went away meanwhile. A fetch that
    // failed for no reason the provider names goes into failed.
    QCoro::Task<bool> refreshProvider(UsageProvider& provider, QPointer<AppState> state,
                                      QSet<ProviderID>& failed);
    void loadStoreOnce(AppState& state);
    static std::optional<ProviderUsageSnapshot> held(const AppState& state, ProviderID provider);
    // Makes a provider's new snapshot the held one and stored, and tells what it reveals: the
    // one path of a fetch and of a reading from elsewhere. False when the state went away.
    QCoro::Task<bool> take(std::optional<ProviderUsageSnapshot> previous,
                           ProviderUsageSnapshot current, QPointer<AppState> state);
    QCoro::Task<bool> announceResets(const QList<UsageEvent>& events,
                                     const std::optional<ProviderUsageSnapshot>& previous,
                                     const ProviderUsageSnapshot& current,
                                     QPointer<AppState> state);
    // Tells once per cause that a provider which showed usage has stopped (signed out, expired);
    // false when the state went away.
    QCoro::Task<bool> tellStopped(ProviderID id, ProviderAvailability why,
                                  QPointer<AppState> state);
    // Tells once that a block has lifted.
    QCoro::Task<bool> announceLift(const UsageEvent& event,
                                   const std::optional<ProviderUsageSnapshot>& previous,
                                   const ProviderUsageSnapshot& current, QPointer<AppState> state);
    QCoro::Task<bool> warnNearLimits(const ProviderUsageSnapshot& current, bool firstReading,
                                     QPointer<AppState> state);

    std::vector<std::unique_ptr<UsageProvider>> providers_;
    LogSink& log_;
    SnapshotStore store_;
    ResetDetector detector_;
    UsageHistory history_;
    NotificationManager notifications_;
    SleepWakeMonitor wakeMonitor_;
    std::chrono::milliseconds pollInterval_;
    Clock clock_;
    bool refreshRunning_ = false;
    // Whether the refresh running is a retry, and what waits for its end: the providers of a
    // refresh asked for meanwhile (all of them for an empty set).
    bool retryRunning_ = false;
    std::optional<QSet<ProviderID>> wantedAfter_;
    // Providers to take once the running refresh has ended.
    std::optional<std::vector<std::unique_ptr<UsageProvider>>> pendingProviders_;
    int pollsPerInterval_ = 1;
    // Which of those polls comes next; the first poll after start asks everyone.
    int pollTurn_ = 0;
    bool firstPollDone_ = false;
    bool started_ = false;
    bool storeLoaded_ = false;
    // The providers read at least once since start.
    QSet<ProviderID> readThisRun_;
    QPointer<AppState> pollState_;
    QTimer pollTimer_;
    QTimer retryTimer_;
    std::chrono::milliseconds retryDelay_;
    QPointer<AppState> retryState_;
    // The providers whose failed fetch is asked again, with the retries made since their
    // last refresh that was not one.
    QMap<ProviderID, int> retryPending_;
    // When the next poll falls due on clock_; none while a poll runs.
    std::optional<std::chrono::milliseconds> pollDueAt_;
};
