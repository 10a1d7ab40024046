#include "FakeNotificationCenter.h"
#include "MemoryDefaults.h"
#include "NotificationManager.h"
#include "SnapshotStore.h"

#include <QRegularExpression>
#include <QTest>

#include <limits>

using Status = NotificationCenter::AuthorizationStatus;

namespace {

// 2026-05-09T06:13:20Z, a whole number of Unix seconds.
const Instant resetTime = Instant::fromUnixSeconds(1778307200.0);

UsageEvent reset(ProviderID provider, const QString& windowID,
                 std::optional<Instant> at = resetTime) {
    return UsageEvent::resetConfirmed(provider, windowID, at);
}

}  // namespace

class NotificationManagerTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void onlyConfirmedResetsAreAnnounced_data() {
        QTest::addColumn<UsageEvent>("event");
        const QString window = QStringLiteral("codex.primary");
        QTest::newRow("limit reached") << UsageEvent::limitReached(ProviderID::codex, window);
        QTest::newRow("nearing limit") << UsageEvent::nearingLimit(ProviderID::codex, window);
        QTest::newRow("unavailable") << UsageEvent::providerUnavailable(ProviderID::claude);
        QTest::newRow("recovered") << UsageEvent::providerRecovered(ProviderID::claude);
    }
    void onlyConfirmedResetsAreAnnounced() {
        QFETCH(UsageEvent, event);
        MemoryDefaults defaults;
        SnapshotStore store(defaults);
        FakeNotificationCenter center;
        NotificationManager manager(store, center);
        QVERIFY(!QCoro::waitFor(manager.deliver(event)));
        QCOMPARE(center.statusReads(), 0);
        QCOMPARE(center.addCalls(), 0);
        QCOMPARE(defaults.writeCount(), 0);
    }

    void keyCarriesTheResetTimeInFixedNotation_data() {
        QTest::addColumn<UsageEvent>("event");
        QTest::addColumn<QString>("key");
        const QString w = QStringLiteral("w");
        QTest::newRow("whole seconds") << reset(ProviderID::codex, QStringLiteral("codex.primary"))
                                       << QStringLiteral("codex.codex.primary.1778307200.0");
        QTest::newRow("fraction") << reset(ProviderID::claude, QStringLiteral("claude.five_hour"),
                                           Instant::fromUnixSeconds(1778307200.5))
                                  << QStringLiteral("claude.claude.five_hour.1778307200.5");
        QTest::newRow("no reset time")
            << reset(ProviderID::claude, QStringLiteral("claude.seven_day"), std::nullopt)
            << QStringLiteral("claude.claude.seven_day.0.0");
        QTest::newRow("before 1970")
            << reset(ProviderID::codex, w, Instant::fromUnixSeconds(-86400.25))
            << QStringLiteral("codex.w.-86400.25");
        // Where the default formatting of a double switches to exponent form.
        QTest::newRow("far future") << reset(ProviderID::codex, w, Instant::fromUnixSeconds(1e21))
                                    << QStringLiteral("codex.w.1000000000000000000000.0");
        // No literal to compare: the number must only read back as the same double.
        QTest::newRow("clock fraction")
            << reset(ProviderID::codex, w, Instant::fromReferenceSeconds(800000000.123456789))
            << QString();
        QTest::newRow("one third")
            << reset(ProviderID::codex, w, Instant::fromReferenceSeconds(1.0 / 3.0)) << QString();
        QTest::newRow("largest double")
            << reset(ProviderID::codex, w,
                     Instant::fromReferenceSeconds(std::numeric_limits<double>::max()))
            << QString();
    }
    void keyCarriesTheResetTimeInFixedNotation() {
        QFETCH(UsageEvent, event);
        QFETCH(QString, key);
        const QString built = NotificationManager::eventKey(event);
        if (!key.isEmpty()) {
            QCOMPARE(built, key);
        }
        const QString prefix =
            rawValue(event.provider) + QLatin1Char('.') + event.windowID + QLatin1Char('.');
        QVERIFY(built.startsWith(prefix));
        const QString number = built.mid(prefix.size());
        QVERIFY2(!number.contains(QLatin1Char('e')) && number.contains(QLatin1Char('.')),
                 qPrintable(number));
        bool ok = false;
        QCOMPARE(number.toDouble(&ok), event.resetAt ? event.resetAt->unixSeconds() : 0.0);
        QVERIFY(ok);
    }

    void titleByProviderBodyByWindow_data() {
        QTest::addColumn<ProviderID>("provider");
        QTest::addColumn<QString>("windowID");
        QTest::addColumn<std::optional<UsageWindowKind>>("kind");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("body");
        const QString codex = QStringLiteral("Codex is ready again");
        const QString claude = QStringLiteral("Claude is ready again");
        const QString weekly = QStringLiteral("Your weekly usage is available again.");
        const QString fiveHour = QStringLiteral("Your 5-hour usage limit has reset.");
        using K = std::optional<UsageWindowKind>;
        QTest::newRow("claude five-hour")
            << ProviderID::claude << QStringLiteral("claude.five_hour")
            << K(UsageWindowKind::fiveHour) << claude << fiveHour;
        // Neither provider puts "week" into its weekly identifiers: the kind tells.
        QTest::newRow("claude weekly by kind")
            << ProviderID::claude << QStringLiteral("claude.seven_day")
            << K(UsageWindowKind::weekly) << claude << weekly;
        QTest::newRow("codex weekly by kind")
            << ProviderID::codex << QStringLiteral("codex.codex.secondary")
            << K(UsageWindowKind::weekly) << codex << weekly;
        QTest::newRow("model weekly by kind")
            << ProviderID::claude << QStringLiteral("claude.seven_day_opus")
            << K(UsageWindowKind::modelWeekly) << claude << weekly;
        QTest::newRow("week in any case") << ProviderID::codex << QStringLiteral("codex.WeEk.limit")
                                          << K(UsageWindowKind::other) << codex << weekly;
        QTest::newRow("kind unknown, identifier decides")
            << ProviderID::claude << QStringLiteral("claude.seven_day") << K() << claude
            << fiveHour;
    }
    void titleByProviderBodyByWindow() {
        QFETCH(ProviderID, provider);
        QFETCH(QString, windowID);
        QFETCH(std::optional<UsageWindowKind>, kind);
        QFETCH(QString, title);
        QFETCH(QString, body);
        MemoryDefaults defaults;
        SnapshotStore store(defaults);
        FakeNotificationCenter center;
        NotificationManager manager(store, center);
        const UsageEvent event = reset(provider, windowID);
        QVERIFY(QCoro::waitFor(manager.deliver(event, kind)));
        QCOMPARE(center.added().size(), 1);
        QCOMPARE(center.added()[0].identifier, NotificationManager::eventKey(event));
        QCOMPARE(center.added()[0].title, title);
        QCOMPARE(center.added()[0].body, body);
        QVERIFY(store.wasDelivered(NotificationManager::eventKey(event)));
    }

    void eachResetIsAnnouncedOnceAcrossLaunches() {
        MemoryDefaults defaults;
        FakeNotificationCenter center;
        const UsageEvent first = reset(ProviderID::codex, QStringLiteral("codex.primary"));
        {
            SnapshotStore store(defaults);
            NotificationManager manager(store, center);
            QVERIFY(QCoro::waitFor(manager.deliver(first)));
            QVERIFY(!QCoro::waitFor(manager.deliver(first)));
        }
        QCOMPARE(center.statusReads(), 1);
        // The next launch: new store and manager over the same defaults.
        SnapshotStore store(defaults);
        NotificationManager manager(store, center);
        QVERIFY(!QCoro::waitFor(manager.deliver(first)));
        // The same window at its next reset time is a new reset.
        QVERIFY(QCoro::waitFor(manager.deliver(reset(
            ProviderID::codex, QStringLiteral("codex.primary"), resetTime.addingSeconds(18000)))));
        QCOMPARE(center.added().size(), 2);
        QCOMPARE(center.statusReads(), 2);
    }

    void permissionDecides_data() {
        QTest::addColumn<Status>("status");
        QTest::addColumn<std::optional<Status>>("afterRequest");
        QTest::addColumn<bool>("posted");
        QTest::addColumn<int>("requests");
        QTest::newRow("authorized") << Status::authorized << std::optional<Status>() << true << 0;
        QTest::newRow("denied") << Status::denied << std::optional<Status>() << false << 0;
        QTest::newRow("provisional")
            << Status::provisional << std::optional<Status>() << false << 0;
        QTest::newRow("ephemeral") << Status::ephemeral << std::optional<Status>() << false << 0;
        QTest::newRow("undetermined, granted")
            << Status::notDetermined << std::optional(Status::authorized) << true << 1;
        QTest::newRow("undetermined, refused")
            << Status::notDetermined << std::optional(Status::denied) << false << 1;
    }
    void permissionDecides() {
        QFETCH(Status, status);
        QFETCH(std::optional<Status>, afterRequest);
        QFETCH(bool, posted);
        QFETCH(int, requests);
        MemoryDefaults defaults;
        SnapshotStore store(defaults);
        FakeNotificationCenter center;
        center.setStatus(status);
        if (afterRequest) {
            center.setStatusAfterRequest(*afterRequest);
        }
        NotificationManager manager(store, center);
        const UsageEvent event = reset(ProviderID::claude, QStringLiteral("claude.five_hour"));
        QCOMPARE(QCoro::waitFor(manager.deliver(event)), posted);
        QCOMPARE(store.wasDelivered(NotificationManager::eventKey(event)), posted);
        QCOMPARE(QCoro::waitFor(manager.sendTestNotification()), posted);
        QCOMPARE(center.added().size(), posted ? 2 : 0);
        // Asked once at most: the first answer is remembered by the centre.
        QCOMPARE(center.authorizationRequests(), requests);
    }

    void failedDeliveryIsTriedAgain() {
        MemoryDefaults defaults;
        SnapshotStore store(defaults);
        FakeNotificationCenter center;
        center.setAddFails(true);
        NotificationManager manager(store, center);
        const UsageEvent event = reset(ProviderID::codex, QStringLiteral("codex.primary"));
        QVERIFY(!QCoro::waitFor(manager.deliver(event)));
        QVERIFY(!store.wasDelivered(NotificationManager::eventKey(event)));
        QVERIFY(!QCoro::waitFor(manager.sendTestNotification()));
        center.setAddFails(false);
        QVERIFY(QCoro::waitFor(manager.deliver(event)));
        QCOMPARE(center.added().size(), 1);
    }

    void testNotificationIsFreshAndNotRecorded() {
        MemoryDefaults defaults;
        SnapshotStore store(defaults);
        FakeNotificationCenter center;
        NotificationManager manager(store, center);
        QVERIFY(QCoro::waitFor(manager.sendTestNotification()));
        QVERIFY(QCoro::waitFor(manager.sendTestNotification()));
        QCOMPARE(center.added().size(), 2);
        const QRegularExpression identifier(
            QStringLiteral("^com\\.quorvel\\.vantor\\.test\\.[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-["
                           "0-9A-F]{4}-[0-9A-F]{12}$"));
        for (const auto& request : center.added()) {
            QVERIFY2(identifier.match(request.identifier).hasMatch(),
                     qPrintable(request.identifier));
            QCOMPARE(request.title, QStringLiteral("Vantor"));
            QCOMPARE(request.body,
                     QString::fromUtf8("Test notification \u2014 your alerts are ready."));
        }
        QVERIFY(center.added()[0].identifier != center.added()[1].identifier);
        QCOMPARE(defaults.writeCount(), 0);
    }
};

QTEST_GUILESS_MAIN(NotificationManagerTest)
#include "tst_NotificationManager.moc"
