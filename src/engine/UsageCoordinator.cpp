#include "UsageCoordinator.h"

#include "BlockText.h"

#include "AppState.h"
#include "LimitWarningDetector.h"
#include "LogSink.h"

#include <QCoreApplication>

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

// Starts a coroutine that nobody awaits; QCoro frees its frame when it ends.
void detach(QCoro::Task<> task) {
    Q_UNUSED(task);
}

// A reading from elsewhere that says less than what is held: a session that last asked before
// the held reading (its period ended, or its use was lower within the same period). Taking it
// would turn the held window back and make a reset out of nothing.
bool isStale(const UsageWindowSnapshot& reading, const UsageWindowSnapshot& held) {
    if (reading.hasEnded() || UsageWindowSnapshot::earlierReset(reading.resetAt, held.resetAt)) {
        return true;
    }
    return reading.resetAt && held.resetAt &&
           UsageWindowSnapshot::sameReset(reading.resetAt, held.resetAt) &&
           reading.usedPercent.value_or(0.0) < held.usedPercent.value_or(0.0);
}

// Why a fetched snapshot cannot be taken, or nothing: it is stored under its provider and its
// windows are paired with the stored ones by id.
QString rejection(ProviderID provider, const ProviderUsageSnapshot& snapshot) {
    if (snapshot.providerID != provider) {
        return QStringLiteral("the result is for ") + rawValue(snapshot.providerID);
    }
    QSet<QString> ids;
    for (const UsageWindowSnapshot& window : snapshot.windows) {
        // Ids carry the peer's own names: bounded in the journal.
        const QString id = window.id.left(80);
        if (window.providerID != provider) {
            return QStringLiteral("window %1 is for %2").arg(id, rawValue(window.providerID));
        }
        if (ids.contains(window.id)) {
            return QStringLiteral("window id %1 repeats").arg(id);
        }
        ids.insert(window.id);
    }
    return {};
}

}  // namespace

QString UsageCoordinator::refreshFailedMessage() {
    return QCoreApplication::translate("UsageCoordinator", "Usage data couldn't be refreshed.");
}

UsageCoordinator::UsageCoordinator(std::vector<std::unique_ptr<UsageProvider>> providers,
                                   Services services, std::chrono::milliseconds pollInterval,
                                   Clock clock, std::chrono::milliseconds retryDelay,
                                   QObject* parent)
    : QObject(parent),
      providers_(std::move(providers)),
      log_(services.log),
      store_(services.defaults),
      notifications_(store_, services.notificationCenter),
      wakeMonitor_(services.wakeSource),
      pollInterval_(pollInterval),
      clock_(clock ? std::move(clock) : Clock(&BootClock::now)),
      retryDelay_(retryDelay) {
    applyProviders(std::exchange(providers_, {}));  // counts the polls per interval
    pollTimer_.setSingleShot(true);
    retryTimer_.setSingleShot(true);
    connect(&retryTimer_, &QTimer::timeout, this, [this] {
        if (retryState_) {
            const QList<ProviderID> due = retryPending_.keys();
            detach(refreshProviders(*retryState_, QSet<ProviderID>(due.cbegin(), due.cend()),
                                    Reason::retry));
        }
    });
    // A coarse timer may fire up to 5 % early; polls keep their interval.
    pollTimer_.setTimerType(Qt::PreciseTimer);
    connect(&pollTimer_, &QTimer::timeout, this, &UsageCoordinator::pollDue);
    // A server that comes late (started by the session after Vantor) gets what it missed now,
    // not at the next poll.
    services.notificationCenter.whenServerAppears([self = QPointer<UsageCoordinator>(this)] {
        if (self) {
            detach(self->notifications_.deliverPending());
        }
    });
}

UsageCoordinator::~UsageCoordinator() = default;

void UsageCoordinator::start(AppState& state) {
    if (started_) {
        return;
    }
    started_ = true;
    pollState_ = &state;
    // The monitor is a member: its registration ends with this object.
    wakeMonitor_.start([this, weakState = QPointer<AppState>(&state)] { handleWake(weakState); });
    // Like every later poll, the first runs from the event loop, after start has returned.
    QTimer::singleShot(0, this, [this] { detach(poll(pollState_)); });
}

void UsageCoordinator::schedulePoll() {
    const std::chrono::milliseconds interval = pollInterval_ / pollsPerInterval_;
    pollDueAt_ = clock_() + interval;
    pollTimer_.start(interval);
}

void UsageCoordinator::pollDue() {
    pollDueAt_.reset();
    pollTimer_.stop();
    if (!pollState_) {
        // The state is gone: polling ends.
        return;
    }
    detach(poll(pollState_));
}

QCoro::Task<> UsageCoordinator::poll(QPointer<AppState> state, bool everyone) {
    if (!state) {
        co_return;
    }
    QPointer<UsageCoordinator> self(this);
    // The first poll asks everyone; later ones, with several accounts of an assistant, only
    // the accounts whose turn it is.
    QSet<ProviderID> only;
    Reason reason = Reason::whole;
    if (std::exchange(firstPollDone_, true) && !everyone && pollsPerInterval_ > 1) {
        only = dueAtPoll();
        reason = Reason::scheduled;
    }
    pollTurn_ = (pollTurn_ + 1) % pollsPerInterval_;
    // While another refresh runs this returns at once: the poll is skipped, not queued.
    if (reason == Reason::whole || !only.isEmpty()) {
        co_await refreshProviders(*state, only, reason);
    }
    if (self && state) {
        schedulePoll();
    }
}

void UsageCoordinator::handleWake(QPointer<AppState> state) {
    if (!state) {
        return;
    }
    // The poll timer runs on the monotonic clock, which stood still while the machine slept:
    // judge the poll against the clock that kept counting, so a poll that fell due is not lost.
    if (pollDueAt_) {
        const auto remaining = *pollDueAt_ - clock_();
        if (remaining <= std::chrono::milliseconds::zero()) {
            // The overdue poll is the wake's refresh, and asks every account: any of them may
            // have reset while the machine slept.
            pollDueAt_.reset();
            pollTimer_.stop();
            detach(poll(state, true));
            return;
        }
        pollTimer_.start(remaining);
    }
    detach(refresh(*state));
}

QCoro::Task<> UsageCoordinator::refresh(AppState& state) {
    co_await refreshProviders(state, {}, Reason::whole);
}

QCoro::Task<> UsageCoordinator::refresh(AppState& state, QSet<ProviderID> only) {
    const Reason reason = only.isEmpty() ? Reason::whole : Reason::scheduled;
    co_await refreshProviders(state, std::move(only), reason);
}

QSet<ProviderID> UsageCoordinator::dueAtPoll() const {
    // The accounts of each assistant are laid evenly over the polls of one interval.
    QSet<ProviderID> due;
    for (const ProviderKind kind : allCases<ProviderKind>()) {
        QList<ProviderID> ofKind;
        for (const auto& provider : providers_) {
            if (provider->id().kind == kind) {
                ofKind.append(provider->id());
            }
        }
        for (qsizetype i = 0; i < ofKind.size(); ++i) {
            if (i * pollsPerInterval_ / ofKind.size() == pollTurn_) {
                due.insert(ofKind[i]);
            }
        }
    }
    return due;
}

void UsageCoordinator::setProviders(std::vector<std::unique_ptr<UsageProvider>> providers) {
    if (refreshRunning_) {
        // The refresh running holds on to the providers it asks.
        pendingProviders_ = std::move(providers);
        return;
    }
    const QSet<ProviderID> added = applyProviders(std::move(providers));
    if (storeLoaded_ && pollState_ && !added.isEmpty()) {
        detach(refreshProviders(*pollState_, added, Reason::scheduled));
    }
}

QSet<ProviderID> UsageCoordinator::applyProviders(
    std::vector<std::unique_ptr<UsageProvider>> providers) {
    QSet<ProviderID> added;
    for (const auto& provider : providers) {
        added.insert(provider->id());
    }
    for (const auto& provider : providers_) {
        added.remove(provider->id());
    }
    providers_ = std::move(providers);
    QMap<ProviderKind, int> perKind;
    int most = 1;
    for (const auto& provider : providers_) {
        most = std::max(most, ++perKind[provider->id().kind]);
    }
    pollsPerInterval_ = most;
    pollTurn_ %= pollsPerInterval_;
    return added;
}

QCoro::Task<> UsageCoordinator::refreshProviders(AppState& stateRef, QSet<ProviderID> only,
                                                 Reason reason) {
    if (refreshRunning_) {
        // The accounts whose turn it is (or whose sign-in changed) wait for the refresh that
        // runs, so none misses its turn; a retry asks only some providers, so a poll, wake or
        // user's refresh follows it too. A retry itself is scheduled again at the end.
        if (reason == Reason::scheduled || (retryRunning_ && reason == Reason::whole)) {
            const bool whole = reason == Reason::whole || (wantedAfter_ && wantedAfter_->isEmpty());
            wantedAfter_ = whole ? QSet<ProviderID>() : wantedAfter_.value_or(only) + only;
        }
        co_return;
    }
    refreshRunning_ = true;
    retryRunning_ = reason == Reason::retry;
    QPointer<UsageCoordinator> self(this);
    QPointer<AppState> state(&stateRef);
    loadStoreOnce(*state);
    // What the notification server did not take before goes first.
    co_await notifications_.deliverPending();
    if (!self) {
        co_return;
    }
    if (!state) {
        refreshRunning_ = false;
        co_return;
    }
    state->setRefreshing(true);
    QSet<ProviderID> asked;
    QSet<ProviderID> failed;
    for (const auto& provider : providers_) {
        if (!only.isEmpty() && !only.contains(provider->id())) {
            continue;
        }
        asked.insert(provider->id());
        const bool stateAlive = co_await refreshProvider(*provider, state, failed);
        if (!self) {
            co_return;
        }
        if (!stateAlive) {
            break;
        }
    }
    if (state) {
        state->setRefreshing(false);
    }
    refreshRunning_ = false;
    noteRetries(asked, failed, reason);
    std::optional<QSet<ProviderID>> next = std::exchange(wantedAfter_, std::nullopt);
    if (pendingProviders_) {
        // Accounts new to the list are asked now, with what waited.
        const QSet<ProviderID> added =
            applyProviders(std::move(*std::exchange(pendingProviders_, std::nullopt)));
        if (!added.isEmpty() && !(next && next->isEmpty())) {
            next = next.value_or(QSet<ProviderID>()) + added;
        }
    }
    if (next && state) {
        // Started before anyone hears of the end, so that what they start meanwhile (new
        // accounts found) waits for it rather than taking its place.
        const Reason nextReason = next->isEmpty() ? Reason::whole : Reason::scheduled;
        detach(refreshProviders(*state, *next, nextReason));
        Q_EMIT refreshFinished();
        co_return;
    }
    scheduleRetry(state, reason != Reason::retry && !failed.isEmpty());
    Q_EMIT refreshFinished();
}

void UsageCoordinator::noteRetries(const QSet<ProviderID>& asked, const QSet<ProviderID>& failed,
                                   Reason reason) {
    for (const ProviderID& id : asked) {
        if (!failed.contains(id)) {
            retryPending_.remove(id);
        } else if (reason != Reason::retry) {
            // A refresh of its own (a poll, a wake, the user) gets its own retries.
            retryPending_.insert(id, 0);
        } else if (++retryPending_[id] >= maxRetries) {
            retryPending_.remove(id);
        }
    }
}

void UsageCoordinator::scheduleRetry(QPointer<AppState> state, bool anew) {
    // An account no longer watched is not asked again.
    retryPending_.removeIf([this](auto it) {
        return std::none_of(providers_.cbegin(), providers_.cend(),
                            [&it](const auto& provider) { return provider->id() == it.key(); });
    });
    if (retryPending_.isEmpty() || !state) {
        retryTimer_.stop();
        return;
    }
    retryState_ = state;
    // New failures wait the whole delay; others keep the time they were given.
    if (anew || !retryTimer_.isActive()) {
        retryTimer_.start(retryDelay_);
    }
}

QCoro::Task<> UsageCoordinator::applyReading(AppState& stateRef, ProviderUsageSnapshot reading) {
    QPointer<AppState> state(&stateRef);
    loadStoreOnce(*state);
    if (!state->isWatched(reading.providerID)) {
        co_return;
    }
    const std::optional<ProviderUsageSnapshot> previous = held(*state, reading.providerID);
    std::optional<ProviderUsageSnapshot> merged = withReading(previous, reading);
    if (!merged) {
        co_return;
    }
    co_await take(previous, std::move(*merged), state);
}

QList<UsageWindowSnapshot> UsageCoordinator::believableWindows(
    const ProviderUsageSnapshot& reading) {
    QList<UsageWindowSnapshot> believed;
    for (const UsageWindowSnapshot& window : reading.windows) {
        const bool handedIn =
            window.kind == UsageWindowKind::fiveHour || window.kind == UsageWindowKind::weekly;
        if (!handedIn || window.providerID != reading.providerID || !window.resetAt ||
            !window.usedPercent || !std::isfinite(*window.usedPercent)) {
            continue;
        }
        // Without a reset time ahead, a reading cannot tell a reset from a stale or made-up
        // number, and a false "ready again" is worse than a late one.
        const double ahead = window.resetAt->secondsSince(window.observedAt);
        if (ahead > 0.0 && ahead <= *lengthMinutes(window.kind) * 60.0 + readingResetSlackSeconds) {
            believed.append(window);
        }
    }
    return believed;
}

std::optional<ProviderUsageSnapshot> UsageCoordinator::withReading(
    const std::optional<ProviderUsageSnapshot>& held, const ProviderUsageSnapshot& reading) {
    const QList<UsageWindowSnapshot> windows = believableWindows(reading);
    if (windows.isEmpty()) {
        return std::nullopt;
    }
    ProviderUsageSnapshot fresh;
    fresh.providerID = reading.providerID;
    fresh.sourceConfidence = reading.sourceConfidence;
    ProviderUsageSnapshot merged = held.value_or(fresh);
    bool changed = false;
    for (const UsageWindowSnapshot& window : windows) {
        const auto same = std::find_if(
            merged.windows.begin(), merged.windows.end(),
            [&window](const UsageWindowSnapshot& kept) { return kept.id == window.id; });
        if (same == merged.windows.end()) {
            if (merged.windows.size() < ProviderUsageSnapshot::maxWindows) {
                merged.windows.append(window);
                changed = true;
            }
        } else if (!isStale(window, *same)) {
            *same = window;
            changed = true;
        }
    }
    if (!changed) {
        return std::nullopt;
    }
    merged.observedAt = reading.observedAt;
    return merged;
}

void UsageCoordinator::loadStoreOnce(AppState& state) {
    // Whoever asks first (the first poll, the bus, a wake, a reading from elsewhere), the stored
    // snapshots come in before anything is compared with them: a reset that happened while
    // Vantor was off is found.
    if (!storeLoaded_) {
        storeLoaded_ = true;
        state.setSnapshots(store_.load());
    }
}

std::optional<ProviderUsageSnapshot> UsageCoordinator::held(const AppState& state,
                                                            ProviderID provider) {
    return entryOf(state.snapshots(), provider);
}

void UsageCoordinator::carryBlocks(const std::optional<ProviderUsageSnapshot>& held,
                                   ProviderUsageSnapshot& reading) {
    if (!held) {
        for (UsageBlock& block : reading.blocks) {
            block.since = reading.observedAt;
        }
        return;
    }
    for (UsageBlock& block : reading.blocks) {
        const std::optional<UsageBlock> earlier = held->block(block.bucket);
        block.since =
            earlier && earlier->since ? earlier->since : std::optional(reading.observedAt);
    }
    for (const UsageBlock& block : held->blocks) {
        const bool told = reading.block(block.bucket).has_value();
        const bool read =
            std::any_of(reading.windows.cbegin(), reading.windows.cend(),
                        [&block](const UsageWindowSnapshot& w) {
                            return block.bucket.isEmpty() || w.providerWindowID == block.bucket;
                        });
        if (!told && !read && reading.blocks.size() < ProviderUsageSnapshot::maxBlocks) {
            reading.blocks.append(block);
        }
    }
}

QCoro::Task<bool> UsageCoordinator::take(std::optional<ProviderUsageSnapshot> previous,
                                         ProviderUsageSnapshot current, QPointer<AppState> state) {
    carryBlocks(previous, current);
    const ProviderID id = current.providerID;
    state->setSnapshot(id, current);
    store_.save(state->snapshots());
    const QList<UsageEvent> events = detector_.process(previous, current, false);
    const bool firstReading = !readThisRun_.contains(id);
    readThisRun_.insert(id);
    if (!co_await announceResets(events, previous, current, state)) {
        co_return false;
    }
    const bool stateAlive = co_await warnNearLimits(current, firstReading, state);
    co_return stateAlive;
}

QCoro::Task<bool> UsageCoordinator::refreshProvider(UsageProvider& provider,
                                                    QPointer<AppState> state,
                                                    QSet<ProviderID>& failed) {
    const ProviderID id = provider.id();
    std::optional<ProviderAvailability> availability;
    try {
        availability = co_await provider.availability();
    } catch (...) {
        // Providers promise not to throw here; one that does counts as a failed fetch.
    }
    if (!state) {
        co_return false;
    }
    std::optional<ProviderUsageSnapshot> current;
    if (availability) {
        state->setAvailability(id, *availability);
        if (!availability->isAvailable()) {
            const bool signedOut =
                availability->kind() == ProviderAvailability::Kind::notAuthenticated;
            co_return !signedOut || co_await tellStopped(id, *availability, state);
        }
        try {
            current = co_await provider.fetchUsage();
        } catch (...) {
            // Whatever the provider threw, the other provider is still refreshed.
        }
        if (!state) {
            co_return false;
        }
    }
    const QString rejected = current ? rejection(id, *current) : QString();
    if (!rejected.isEmpty()) {
        current.reset();
    } else if (current) {
        current->boundWindows();
    }
    if (!state->isWatched(id)) {
        // Switched off while it was asked: nothing of it is kept or told.
        co_return true;
    }
    if (!current) {
        // A provider that knows why (a rate limit, an expired session) says so instead, and
        // asking again soon would not help.
        const std::optional<ProviderAvailability> known = provider.failureAvailability();
        if (!known && rejected.isEmpty()) {
            failed.insert(id);
        }
        state->setAvailability(
            id, known.value_or(ProviderAvailability::refreshFailed(refreshFailedMessage())));
        if (known && known->kind() == ProviderAvailability::Kind::notAuthenticated &&
            !co_await tellStopped(id, *known, state)) {
            co_return false;
        }
        // The error itself is neither logged nor shown: it may carry account details. Why a
        // result was rejected is logged: it is Vantor's own judgement.
        log_.write(LogSink::Priority::error, logCategory,
                   QStringLiteral("Refresh failed for ") + rawValue(id) +
                       (rejected.isEmpty() ? QString() : QStringLiteral(": ") + rejected));
        co_return true;
    }
    // Working again: a later sign-out is told again. An expired session is told once: it comes
    // back whenever Claude Code sits unused past its token's life, and running claude renews it.
    QStringList stopped = store_.stoppedMarks();
    if (stopped.removeIf([&id](const QString& mark) {
            return mark.section(u'.', 0, -2) == rawValue(id) &&
                   mark.section(u'.', -1) != rawValue(ProviderAvailability::Cause::sessionExpired);
        }) > 0) {
        store_.setStoppedMarks(stopped);
    }
    // Before the state changes, so whoever redraws on the change finds the reading.
    history_.record(*current);
    // Apart from the co_await: g++ 12 mishandles temporaries in an awaited call.
    std::optional<ProviderUsageSnapshot> previous = held(*state, id);
    const bool stateAlive = co_await take(std::move(previous), std::move(*current), state);
    co_return stateAlive;
}

QCoro::Task<bool> UsageCoordinator::announceResets(
    const QList<UsageEvent>& events, const std::optional<ProviderUsageSnapshot>& previous,
    const ProviderUsageSnapshot& current, QPointer<AppState> state) {
    // "Ready again" would be false while the weekly window of the same bucket is still spent: a
    // five-hour reset then goes untold, and the weekly reset's own announcement, now or later,
    // says it. Another bucket (another model's limits) holds nothing back.
    const auto resetOf = [&events](const UsageWindowSnapshot& window) {
        return std::any_of(events.cbegin(), events.cend(), [&window](const UsageEvent& event) {
            return event.kind == UsageEvent::Kind::resetConfirmed && event.windowID == window.id;
        });
    };
    const auto weeklyHolds = [&](const UsageWindowSnapshot& reset) {
        return std::any_of(current.windows.cbegin(), current.windows.cend(),
                           [&](const UsageWindowSnapshot& w) {
                               return w.kind == UsageWindowKind::weekly &&
                                      w.providerWindowID == reset.providerWindowID &&
                                      (w.state == UsageWindowState::exhausted || resetOf(w));
                           });
    };
    // The windows a block stops: the whole account's main bucket, or its own bucket.
    const auto coveredBy = [&current](const QString& bucket, const UsageWindowSnapshot& window) {
        return bucket.isEmpty() ? current.inMainBucket(window) : window.providerWindowID == bucket;
    };
    for (const UsageEvent& event : events) {
        if (event.kind == UsageEvent::Kind::blockLifted) {
            const QString bucket = event.blockBucket();
            // Not "ready again" while a spent window of what it blocked still stops use; nor
            // twice, when a reset of one of those windows is told in the same pass.
            const bool held = std::any_of(
                current.windows.cbegin(), current.windows.cend(),
                [&](const UsageWindowSnapshot& window) {
                    return coveredBy(bucket, window) &&
                           (window.state == UsageWindowState::exhausted || resetOf(window));
                });
            if (!held && !co_await announceLift(event, previous, current, state)) {
                co_return false;
            }
            continue;
        }
        if (event.kind != UsageEvent::Kind::resetConfirmed) {
            continue;
        }
        const auto sameWindow = [&](const UsageWindowSnapshot& window) {
            return window.id == event.windowID;
        };
        const auto now = std::find_if(current.windows.cbegin(), current.windows.cend(), sameWindow);
        const std::optional<UsageWindowKind> kind =
            now != current.windows.cend() ? std::optional(now->kind) : std::nullopt;
        if (kind == UsageWindowKind::fiveHour && weeklyHolds(*now)) {
            continue;
        }
        // Nor while a block stops the window: the block's end is told when it comes.
        if (now != current.windows.cend() && current.blockOf(*now)) {
            continue;
        }
        // The delivered key names a reset by the window's next reset time. A window that reports
        // none would give all its resets one key, and only the first would ever be announced:
        // name such a reset by the reset time that just passed, else by when it was seen.
        UsageEvent keyed = event;
        if (!keyed.resetAt && previous) {
            const auto before =
                std::find_if(previous->windows.cbegin(), previous->windows.cend(), sameWindow);
            if (before != previous->windows.cend() && before->resetAt) {
                keyed.resetAt = before->resetAt;
            } else if (now != current.windows.cend()) {
                keyed.resetAt = now->observedAt;
            }
        }
        // A reset already told (a stray reading made it look new again) is not told twice,
        // nor played; otherwise, whether it delivered or not, the clip starts anew.
        if (notifications_.wasAnnounced(keyed, true)) {
            continue;
        }
        // Built apart from the co_await: g++ 12 mishandles temporaries in an awaited call.
        const QString account = state->accountLabel(current.providerID);
        const bool silent = state->playsResetAlert();
        co_await notifications_.deliver(keyed, kind, account, {}, silent);
        if (!state) {
            co_return false;
        }
        state->playResetAlert();
    }
    co_return true;
}

QCoro::Task<bool> UsageCoordinator::tellStopped(ProviderID id, ProviderAvailability why,
                                                QPointer<AppState> state) {
    // Only a provider that showed usage stops; one never read says what to do on its card.
    const std::optional<ProviderUsageSnapshot> shown = held(*state, id);
    const QString mark = rawValue(id) + u'.' + rawValue(why.cause());
    QStringList marks = store_.stoppedMarks();
    if (!shown || shown->windows.isEmpty() || marks.contains(mark)) {
        co_return true;
    }
    // Marked once a server took it: one that was not up yet hears of it at the next refresh.
    const QString account = state->accountLabel(id);
    const bool told = co_await notifications_.tellStopped(id, why, account);
    if (told) {
        marks.append(mark);
        store_.setStoppedMarks(marks);
    }
    co_return static_cast<bool>(state);
}

QCoro::Task<bool> UsageCoordinator::announceLift(
    const UsageEvent& event, const std::optional<ProviderUsageSnapshot>& previous,
    const ProviderUsageSnapshot& current, QPointer<AppState> state) {
    if (!previous) {
        co_return true;
    }
    const std::optional<UsageBlock> before = previous->block(event.blockBucket());
    if (!before) {
        co_return true;
    }
    // Named by when it was first seen, else by when it was seen to lift: a block that comes
    // again later (credits topped up and spent again) is told again, once.
    UsageEvent keyed = event;
    if (!keyed.resetAt) {
        keyed.resetAt = current.observedAt;
    }
    if (notifications_.wasAnnounced(keyed, true)) {
        co_return true;
    }
    // Built apart from the co_await: g++ 12 mishandles temporaries in an awaited call.
    const QString account = state->accountLabel(current.providerID);
    const QString body = BlockText::liftedBody(*before);
    const bool silent = state->playsResetAlert();
    co_await notifications_.deliver(keyed, std::nullopt, account, body, silent);
    if (!state) {
        co_return false;
    }
    state->playResetAlert();
    co_return true;
}

QCoro::Task<bool> UsageCoordinator::warnNearLimits(const ProviderUsageSnapshot& current,
                                                   bool firstReading, QPointer<AppState> state) {
    const int threshold = state->limitWarningThreshold();
    const LimitWarningDetector::Result result =
        LimitWarningDetector::process(current, threshold, firstReading, store_.warningMarks());
    store_.setWarningMarks(result.marks);
    const QString account = state->accountLabel(current.providerID);
    for (const UsageWindowSnapshot& window : result.spent) {
        co_await notifications_.tellSpent(current.providerID, window, Instant::now(), account);
        if (!state) {
            co_return false;
        }
    }
    for (const UsageWindowSnapshot& window : result.warnings) {
        co_await notifications_.warn(current.providerID, window, Instant::now(), account);
        if (!state) {
            co_return false;
        }
    }
    co_return true;
}
