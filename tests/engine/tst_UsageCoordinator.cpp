#include "AppState.h"
#include "FakeNotificationCenter.h"
#include "FakeSoundPlayer.h"
#include "FakeUsageProvider.h"
#include "MemoryDefaults.h"
#include "QSettingsDefaults.h"
#include "RecordingLogSink.h"
#include "SnapshotStore.h"
#include "UsageCoordinator.h"
#include "UsageFixtures.h"
#include "VantorError.h"
#include "WakeSource.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <stdexcept>

using namespace UsageFixtures;
using namespace std::chrono_literals;

namespace {

const QString fiveHourID = QStringLiteral("codex.codex.primary");
const QString weeklyID = QStringLiteral("codex.codex.secondary");
const Instant firstReset = t0.addingSeconds(3600);
const Instant nextReset = firstReset.addingSeconds(18000);

UsageWindowSnapshot codexWindow(const QString& id, UsageWindowState state, double used,
                                Instant resetAt) {
    UsageWindowSnapshot result = window(id, state, used, resetAt);
    if (id == weeklyID) {
        result.kind = UsageWindowKind::weekly;
    }
    return result;
}

ProviderUsageSnapshot exhausted(QList<QString> ids = {fiveHourID}) {
    QList<UsageWindowSnapshot> windows;
    for (const QString& id : ids) {
        windows.append(codexWindow(id, UsageWindowState::exhausted, 100.0, firstReset));
    }
    return snapshot(windows);
}

ProviderUsageSnapshot availableAgain(QList<QString> ids = {fiveHourID}) {
    QList<UsageWindowSnapshot> windows;
    for (const QString& id : ids) {
        windows.append(codexWindow(id, UsageWindowState::available, 2.0, nextReset));
    }
    return snapshot(windows);
}

ProviderUsageSnapshot claudeSnapshot() {
    return snapshot({window(QStringLiteral("claude.five_hour"), UsageWindowState::available, 10.0,
                            firstReset, ProviderID::claude)},
                    ProviderID::claude);
}

std::optional<ProviderAvailability> availabilityOf(const AppState& state, ProviderID provider) {
    const auto found = state.availability().constFind(provider);
    return found == state.availability().cend() ? std::nullopt : std::optional(*found);
}

// One launch of the engine over the given defaults: two fake providers, a recording
// notification centre and log, a wake source the test can fire, and a clock it can advance.
struct Launch {
    explicit Launch(UserDefaults& defaults, std::chrono::milliseconds interval = 1h) {
        auto codexProvider = std::make_unique<FakeUsageProvider>(ProviderID::codex);
        auto claudeProvider = std::make_unique<FakeUsageProvider>(ProviderID::claude);
        codex = codexProvider.get();
        claude = claudeProvider.get();
        claude->answer(claudeSnapshot());
        std::vector<std::unique_ptr<UsageProvider>> providers;
        providers.push_back(std::move(codexProvider));
        providers.push_back(std::move(claudeProvider));
        state = std::make_unique<AppState>(
            defaults, std::make_unique<ResetAlertAudioManager>(FakeSoundPlayer::factory(sound)));
        coordinator = std::make_unique<UsageCoordinator>(
            std::move(providers),
            UsageCoordinator::Services{.defaults = defaults,
                                       .notificationCenter = center,
                                       .log = log,
                                       .wakeSource = &wake},
            interval, [this] { return clock; });
    }

    void refresh() { QCoro::waitFor(coordinator->refresh(*state)); }

    FakeNotificationCenter center;
    RecordingLogSink log;
    std::shared_ptr<FakeSoundPlayer::Recording> sound =
        std::make_shared<FakeSoundPlayer::Recording>();
    WakeSource wake;
    std::chrono::milliseconds clock{1'000'000};
    FakeUsageProvider* codex = nullptr;
    FakeUsageProvider* claude = nullptr;
    std::unique_ptr<AppState> state;
    std::unique_ptr<UsageCoordinator> coordinator;
};

}  // namespace

class UsageCoordinatorTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void resetIsAnnouncedOnceAndNotAfterARestart() {
        MemoryDefaults defaults;
        {
            Launch launch(defaults);
            launch.codex->answer(exhausted());
            launch.codex->answer(availableAgain());
            launch.refresh();
            QVERIFY(launch.center.added().isEmpty());
            launch.refresh();
            QCOMPARE(launch.center.added().size(), 1);
            QCOMPARE(launch.sound->clips.size(), 1);
            // The same answer again is no news.
            launch.refresh();
            QCOMPARE(launch.center.added().size(), 1);
            QCOMPARE(launch.sound->clips.size(), 1);
        }
        Launch next(defaults);
        next.codex->answer(availableAgain());
        QSignalSpy finished(next.coordinator.get(), &UsageCoordinator::refreshFinished);
        next.coordinator->start(*next.state);
        QVERIFY(finished.wait());
        QCOMPARE(next.codex->fetchCalls(), 1);
        QVERIFY(next.center.added().isEmpty());
        QVERIFY(next.sound->clips.isEmpty());
    }

    // A window that reports no next reset time still has each of its resets announced: the
    // first is named by the reset time that passed, the second, which had none, by when it
    // was seen.
    void resetsWithoutANextResetTimeAreEachAnnounced() {
        MemoryDefaults defaults;
        Launch launch(defaults);
        const std::optional<Instant> passed[] = {firstReset, std::nullopt};
        for (int cycle = 0; cycle < 2; ++cycle) {
            UsageWindowSnapshot after = window(fiveHourID, UsageWindowState::available, 0.0);
            after.observedAt = t0.addingSeconds(86400.0 * (cycle + 1));
            launch.codex->answer(
                snapshot({window(fiveHourID, UsageWindowState::exhausted, 100.0, passed[cycle])}));
            launch.codex->answer(snapshot({after}));
        }
        // The provider keeps giving its last answer; five refreshes walk through all four.
        for (int i = 0; i < 5; ++i) {
            launch.refresh();
        }
        QCOMPARE(launch.center.added().size(), 2);
    }

    void clipPlaysEvenWhenTheNotificationFails() {
        MemoryDefaults defaults;
        Launch launch(defaults);
        launch.center.setAddFails(true);
        launch.codex->answer(exhausted());
        launch.codex->answer(availableAgain());
        launch.refresh();
        launch.refresh();
        QCOMPARE(launch.center.addCalls(), 1);
        QCOMPARE(launch.sound->clips.size(), 1);
        // The reset is not reported again, so it is not tried again either.
        launch.center.setAddFails(false);
        launch.refresh();
        QCOMPARE(launch.center.addCalls(), 1);
        QCOMPARE(launch.sound->clips.size(), 1);
    }

    void twoResetsInOneRefreshAreEachAnnounced() {
        MemoryDefaults defaults;
        Launch launch(defaults);
        launch.codex->answer(exhausted({fiveHourID, weeklyID}));
        launch.codex->answer(availableAgain({fiveHourID, weeklyID}));
        launch.refresh();
        launch.refresh();
        QCOMPARE(launch.center.added().size(), 2);
        QCOMPARE(launch.center.added()[0].body,
                 QStringLiteral("Your 5-hour usage limit has reset."));
        QCOMPARE(launch.center.added()[1].body,
                 QStringLiteral("Your weekly usage is available again."));
        // Each reset starts the clip anew, stopping the one before.
        QCOMPARE(launch.sound->clips.size(), 2);
        QCOMPARE(
            launch.sound->calls.mid(launch.sound->calls.indexOf(QStringLiteral("play"))),
            (QStringList{QStringLiteral("play"), QStringLiteral("stop"), QStringLiteral("play")}));
        QCOMPARE(SnapshotStore(defaults).load().value(ProviderID::codex),
                 availableAgain({fiveHourID, weeklyID}));
    }

    void failingProviderKeepsItsLastSnapshot_data() {
        QTest::addColumn<QString>("failure");
        QTest::newRow("provider error") << QStringLiteral("providerError");
        QTest::newRow("standard exception") << QStringLiteral("runtimeError");
        QTest::newRow("not an exception class") << QStringLiteral("int");
        QTest::newRow("availability throws") << QStringLiteral("availability");
        QTest::newRow("hangs until its own limit") << QStringLiteral("timeout");
    }
    void failingProviderKeepsItsLastSnapshot() {
        QFETCH(QString, failure);
        MemoryDefaults defaults;
        SnapshotStore(defaults).save({{ProviderID::codex, exhausted()}});
        Launch launch(defaults);
        launch.state->setSnapshots(SnapshotStore(defaults).load());
        if (failure == QLatin1String("providerError")) {
            launch.codex->fail(VantorError(ProviderError::malformedResponse));
        } else if (failure == QLatin1String("runtimeError")) {
            launch.codex->fail(std::runtime_error("broken pipe"));
        } else if (failure == QLatin1String("int")) {
            launch.codex->fail(42);
        } else if (failure == QLatin1String("availability")) {
            launch.codex->setAvailabilityThrows(true);
        } else {
            launch.codex->setDelay(300ms);
            launch.codex->fail(VantorError(ProviderError::requestTimedOut));
        }
        launch.refresh();
        QCOMPARE(availabilityOf(*launch.state, ProviderID::codex),
                 ProviderAvailability::temporarilyUnavailable(
                     QStringLiteral("Usage data couldn't be refreshed.")));
        QCOMPARE(launch.state->snapshots().value(ProviderID::codex), exhausted());
        QCOMPARE(SnapshotStore(defaults).load().value(ProviderID::codex), exhausted());
        QCOMPARE(launch.log.lines().size(), 1);
        QCOMPARE(launch.log.lines()[0].priority, LogSink::Priority::error);
        // The other provider is refreshed all the same.
        QCOMPARE(launch.claude->fetchCalls(), 1);
        QCOMPARE(availabilityOf(*launch.state, ProviderID::claude),
                 ProviderAvailability::available());
        QCOMPARE(launch.state->snapshots().value(ProviderID::claude), claudeSnapshot());
        QVERIFY(!launch.state->isRefreshing());
    }

    void emptySnapshotIsStoredAndDerivesNothing() {
        MemoryDefaults defaults;
        Launch launch(defaults);
        launch.codex->answer(exhausted());
        launch.codex->answer(snapshot({}));
        launch.refresh();
        launch.refresh();
        QCOMPARE(launch.state->snapshots().value(ProviderID::codex), snapshot({}));
        QCOMPARE(SnapshotStore(defaults).load().value(ProviderID::codex), snapshot({}));
        QCOMPARE(launch.center.addCalls(), 0);
    }

    void refreshWhileOneRunsReturnsAtOnce() {
        MemoryDefaults defaults;
        Launch launch(defaults);
        launch.codex->answer(exhausted());
        launch.codex->setDelay(100ms);
        QSignalSpy refreshing(launch.state.get(), &AppState::isRefreshingChanged);
        QCoro::Task<> first = launch.coordinator->refresh(*launch.state);
        QVERIFY(launch.state->isRefreshing());
        QCoro::Task<> second = launch.coordinator->refresh(*launch.state);
        QVERIFY(second.isReady());
        QVERIFY(!first.isReady());
        QCoro::waitFor(first);
        QCOMPARE(launch.codex->fetchCalls(), 1);
        QCOMPARE(launch.claude->fetchCalls(), 1);
        QCOMPARE(refreshing.count(), 2);
        QVERIFY(!launch.state->isRefreshing());
        QVERIFY(!launch.coordinator->isRefreshRunning());
    }

    void pollsFollowTheIntervalAndNeverOverlap() {
        MemoryDefaults defaults;
        Launch launch(defaults, 20ms);
        launch.codex->answer(exhausted());
        launch.codex->setDelay(60ms);
        launch.coordinator->start(*launch.state);
        // A user refresh while the first poll runs, and polls falling due while fetches run.
        QCoro::waitFor(launch.coordinator->refresh(*launch.state));
        QTRY_VERIFY(launch.codex->fetchCalls() >= 4);
        QCOMPARE(launch.codex->mostFetchesAtOnce(), 1);
        QTRY_COMPARE(launch.codex->fetchesRunning(), 0);
        launch.coordinator.reset();
    }

    void startLoadsTheStoreOnceAndSkipsUnavailableProviders() {
        MemoryDefaults defaults;
        SnapshotStore(defaults).save({{ProviderID::codex, exhausted()}});
        Launch launch(defaults);
        launch.codex->setAvailability(ProviderAvailability::notInstalled());
        QSignalSpy finished(launch.coordinator.get(), &UsageCoordinator::refreshFinished);
        launch.coordinator->start(*launch.state);
        launch.coordinator->start(*launch.state);
        // Nothing runs before start returns to the event loop.
        QVERIFY(launch.state->snapshots().isEmpty());
        QVERIFY(finished.wait());
        QCoreApplication::processEvents();
        // The providers answer at once, so a second poll loop would have refreshed again.
        QCOMPARE(finished.count(), 1);
        QCOMPARE(launch.claude->fetchCalls(), 1);
        QCOMPARE(launch.codex->fetchCalls(), 0);
        QCOMPARE(availabilityOf(*launch.state, ProviderID::codex),
                 ProviderAvailability::notInstalled());
        // The stored snapshot of the provider not asked stays in the state and the store.
        QCOMPARE(launch.state->snapshots().value(ProviderID::codex), exhausted());
        QCOMPARE(SnapshotStore(defaults).load().value(ProviderID::codex), exhausted());
        QVERIFY(launch.log.lines().isEmpty());
    }

    void wakeRefreshesAndKeepsAPollThatFellDue_data() {
        QTest::addColumn<int>("asleepMs");
        QTest::addColumn<int>("fetches");
        // A long interval: only the wake and a poll it brought forward can refresh.
        QTest::newRow("short nap: wake refresh only, poll still ahead") << 1'000 << 2;
        QTest::newRow("poll nearly due: wake refresh, then the poll") << 9'900 << 3;
        QTest::newRow("poll overdue: it runs at once, the wake joins it") << 20'000 << 2;
    }
    void wakeRefreshesAndKeepsAPollThatFellDue() {
        QFETCH(int, asleepMs);
        QFETCH(int, fetches);
        MemoryDefaults defaults;
        Launch launch(defaults, 10s);
        launch.codex->answer(exhausted());
        QSignalSpy finished(launch.coordinator.get(), &UsageCoordinator::refreshFinished);
        launch.coordinator->start(*launch.state);
        QVERIFY(finished.wait());
        launch.clock += std::chrono::milliseconds(asleepMs);
        Q_EMIT launch.wake.woke();
        QTRY_COMPARE_WITH_TIMEOUT(launch.codex->fetchCalls(), fetches, 3000);
        QTRY_VERIFY(!launch.coordinator->isRefreshRunning());
        // Nothing further within a fraction of the interval.
        QVERIFY(!finished.wait(300));
        QCOMPARE(launch.codex->fetchCalls(), fetches);
    }

    void unwritableOrCorruptSettingsFileDoesNotStopRefreshing_data() {
        QTest::addColumn<bool>("unwritable");
        QTest::newRow("folder cannot be made") << true;
        QTest::newRow("corrupt file") << false;
    }
    void unwritableOrCorruptSettingsFileDoesNotStopRefreshing() {
        QFETCH(bool, unwritable);
        QTemporaryDir dir;
        QString path = dir.filePath(QStringLiteral("vantor.conf"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(unwritable ? QByteArray("x")
                              : QByteArray("\x00\xff[usageSnapshots\n=@ByteArray(\n", 32));
        file.close();
        if (unwritable) {
            // A regular file where the folder should be.
            path += QStringLiteral("/vantor.conf");
        }
        QSettingsDefaults defaults(path);
        Launch launch(defaults);
        launch.codex->answer(exhausted());
        launch.codex->answer(availableAgain());
        launch.refresh();
        launch.refresh();
        QCOMPARE(launch.state->snapshots().value(ProviderID::codex), availableAgain());
        QCOMPARE(launch.center.added().size(), 1);
        launch.refresh();
        QCOMPARE(launch.center.added().size(), 1);
    }
};

QTEST_GUILESS_MAIN(UsageCoordinatorTest)
#include "tst_UsageCoordinator.moc"
