#include "ResetDetector.h"
#include "UsageFixtures.h"

#include <QTest>

using namespace UsageFixtures;
using State = UsageWindowState;
using Events = QList<UsageEvent>;
using MaybeSnapshot = std::optional<ProviderUsageSnapshot>;

Q_DECLARE_METATYPE(UsageWindowSnapshot)
Q_DECLARE_METATYPE(UsageEvent)

namespace {
const Instant resetT = t0.addingSeconds(3600);
const Instant resetLater = resetT.addingSeconds(5 * 3600);
const QString w = QStringLiteral("codex.codex.primary");
}  // namespace

class ResetDetectorTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void windowTransitions_data() {
        QTest::addColumn<UsageWindowSnapshot>("before");
        QTest::addColumn<UsageWindowSnapshot>("after");
        QTest::addColumn<bool>("everyReset");
        QTest::addColumn<Events>("expected");
        const auto reset = [](std::optional<Instant> at) {
            return Events{UsageEvent::resetConfirmed(ProviderID::codex, w, at)};
        };
        const Events none;
        QTest::newRow("later reset time")
            << window(w, State::exhausted, 100, resetT)
            << window(w, State::available, 4, resetLater) << false << reset(resetLater);
        QTest::newRow("drop of 20, same reset")
            << window(w, State::exhausted, 100, resetT) << window(w, State::available, 80, resetT)
            << false << none;
        QTest::newRow("drop of exactly 30")
            << window(w, State::exhausted, 100, resetT) << window(w, State::available, 70, resetT)
            << false << reset(resetT);
        QTest::newRow("no reset times, drop 40")
            << window(w, State::exhausted, 100) << window(w, State::available, 60) << false
            << reset(std::nullopt);
        QTest::newRow("absent old use counts as 0")
            << window(w, State::exhausted) << window(w, State::available, 10, resetT) << false
            << none;
        QTest::newRow("available without use")
            << window(w, State::exhausted, 100, resetT)
            << window(w, State::available, {}, resetLater) << false << none;
        QTest::newRow("exhausted to nearing")
            << window(w, State::exhausted, 100, resetT)
            << window(w, State::nearingLimit, 92, resetLater) << false
            << Events{UsageEvent::nearingLimit(ProviderID::codex, w)};
        QTest::newRow("available to exhausted")
            << window(w, State::available, 5) << window(w, State::exhausted, 100) << false
            << Events{UsageEvent::limitReached(ProviderID::codex, w)};
        QTest::newRow("exhausted stays exhausted")
            << window(w, State::exhausted, 100, resetT)
            << window(w, State::exhausted, 100, resetLater) << false << none;
        QTest::newRow("available reset, not every reset")
            << window(w, State::available, 80, resetT) << window(w, State::available, 5, resetLater)
            << false << none;
        QTest::newRow("available reset, every reset")
            << window(w, State::available, 80, resetT) << window(w, State::available, 5, resetLater)
            << true << reset(resetLater);
        QTest::newRow("earlier reset time, small drop")
            << window(w, State::exhausted, 100, resetLater)
            << window(w, State::available, 90, resetT) << false << none;

        auto inactive = window(w, State::exhausted, 100, resetT);
        inactive.isActive = false;
        auto active = window(w, State::available, 95, resetT);
        active.isActive = true;
        QTest::newRow("turned active") << inactive << active << false << reset(resetT);
        auto unknownActivity = active;
        unknownActivity.isActive.reset();
        QTest::newRow("activity unknown") << inactive << unknownActivity << false << none;
    }
    void windowTransitions() {
        QFETCH(UsageWindowSnapshot, before);
        QFETCH(UsageWindowSnapshot, after);
        QFETCH(bool, everyReset);
        QFETCH(Events, expected);
        const ResetDetector detector;
        const auto events = detector.process(snapshot({before}), snapshot({after}), everyReset);
        QCOMPARE(events, expected);
        // Pure: asking again gives the same answer.
        QCOMPARE(detector.process(snapshot({before}), snapshot({after}), everyReset), events);
    }

    void recovery_data() {
        QTest::addColumn<int>("before");
        QTest::addColumn<int>("after");
        QTest::addColumn<bool>("recovered");
        const int unavailable = static_cast<int>(UsageSourceConfidence::unavailable);
        const int internal = static_cast<int>(UsageSourceConfidence::providerInternal);
        QTest::newRow("unavailable to data") << unavailable << internal << true;
        QTest::newRow("both unavailable") << unavailable << unavailable << false;
        QTest::newRow("data to unavailable") << internal << unavailable << false;
    }
    void recovery() {
        QFETCH(int, before);
        QFETCH(int, after);
        QFETCH(bool, recovered);
        const auto previous =
            snapshot({}, ProviderID::claude, static_cast<UsageSourceConfidence>(before));
        const auto current = snapshot({window(w, State::available, 3)}, ProviderID::claude,
                                      static_cast<UsageSourceConfidence>(after));
        const Events expected =
            recovered ? Events{UsageEvent::providerRecovered(ProviderID::claude)} : Events{};
        QCOMPARE(ResetDetector().process(previous, current, false), expected);
    }

    void firstSnapshotYieldsNothing() {
        const auto current = snapshot({window(w, State::exhausted, 100)}, ProviderID::codex,
                                      UsageSourceConfidence::providerInternal);
        QCOMPARE(ResetDetector().process(MaybeSnapshot(), current, true), Events{});
    }

    void eventsFollowCurrentOrderAfterRecovery() {
        const QString a = QStringLiteral("a"), b = QStringLiteral("b"), c = QStringLiteral("c");
        const auto previous =
            snapshot({window(b, State::exhausted, 100), window(a, State::available, 10),
                      window(a, State::exhausted, 100)},
                     ProviderID::claude, UsageSourceConfidence::unavailable);
        const auto current =
            snapshot({window(a, State::exhausted, 100), window(c, State::exhausted, 100),
                      window(b, State::available, 0)},
                     ProviderID::claude, UsageSourceConfidence::providerInternal);
        // Only the first previous window with id "a" counts; "c" has no predecessor.
        const Events expected{UsageEvent::providerRecovered(ProviderID::claude),
                              UsageEvent::limitReached(ProviderID::claude, a),
                              UsageEvent::resetConfirmed(ProviderID::claude, b, std::nullopt)};
        QCOMPARE(ResetDetector().process(previous, current, false), expected);
    }
};

QTEST_GUILESS_MAIN(ResetDetectorTest)
#include "tst_ResetDetector.moc"
