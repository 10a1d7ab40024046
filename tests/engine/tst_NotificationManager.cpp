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

// A manager over fresh defaults and a recording centre.
struct Rig {
    MemoryDefaults defaults;
    SnapshotStore store{defaults};
    FakeNotificationCenter center;
    NotificationManager manager{store, center};
};

}  // namespace

class NotificationManagerTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void onlyConfirmedResetsAreAnnounced_data() {
        QTest::addColumn<UsageEvent>("event");
        const QString window = QStringLiteral("codex.primary");
        QTest::newRow("limit reached") << UsageEvent::limitReached(ProviderID::codex, window);
        QTest::newRow("recovered") << UsageEvent::providerRecovered(ProviderID::claude);
    }
    void onlyConfirmedResetsAreAnnounced() {
        QFETCH(UsageEvent, event);
        Rig rig;
        QVERIFY(!QCoro::waitFor(rig.manager.deliver(event)));
        QCOMPARE(rig.center.statusReads() + rig.center.addCalls() + rig.defaults.writeCount(), 0);
    }

    void keyCarriesTheResetTimeInFixedNotation_data() {
        QTest::addColumn<UsageEvent>("event");
        QTest::addColumn<QString>("key");  // empty: the number must only read back the same
        const auto row = [](const char* name, std::optional<Instant> at, const char* key) {
            QTest::newRow(name) << reset(ProviderID::codex, QStringLiteral("w"), at)
                                << QString::fromLatin1(key);
        };
        row("whole seconds", resetTime, "codex.w.1778307200.0");
        row("fraction", Instant::fromUnixSeconds(1778307200.5), "codex.w.1778307200.5");
        row("no reset time", std::nullopt, "codex.w.0.0");
        row("before 1970", Instant::fromUnixSeconds(-86400.25), "codex.w.-86400.25");
        // Where the default formatting of a double switches to exponent form.
        row("far future", Instant::fromUnixSeconds(1e21), "codex.w.1000000000000000000000.0");
        row("clock fraction", Instant::fromReferenceSeconds(800000000.123456789), "");
        row("one third", Instant::fromReferenceSeconds(1.0 / 3.0), "");
        row("largest double", Instant::fromReferenceSeconds(std::numeric_limits<double>::max()),
            "");
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
        const auto row = [](const char* name, ProviderID provider, const char* windowID,
                            std::optional<UsageWindowKind> kind, bool weekly) {
            QTest::newRow(name) << provider << QString::fromLatin1(windowID) << kind
                                << QStringLiteral("%1 is ready again")
                                       .arg(QLatin1String(provider == ProviderID::codex ? "Codex"
                                                                                        : "Claude"))
                                << (weekly ? QStringLiteral("Your weekly usage is available again.")
                                           : QStringLiteral("Your 5-hour usage limit has reset."));
        };
        using K = UsageWindowKind;
        row("claude five-hour", ProviderID::claude, "claude.five_hour", K::fiveHour, false);
        // Neither provider puts "week" into its weekly identifiers: the kind tells.
        row("codex weekly by kind", ProviderID::codex, "codex.codex.secondary", K::weekly, true);
        row("model weekly by kind", ProviderID::claude, "claude.seven_day_opus", K::modelWeekly,
            true);
        row("week in any case", ProviderID::codex, "codex.WeEk.limit", K::other, true);
        row("kind unknown, identifier decides", ProviderID::claude, "claude.seven_day",
            std::nullopt, false);
    }
    void titleByProviderBodyByWindow() {
        QFETCH(ProviderID, provider);
        QFETCH(QString, windowID);
        QFETCH(std::optional<UsageWindowKind>, kind);
        QFETCH(QString, title);
        QFETCH(QString, body);
        Rig rig;
        const UsageEvent event = reset(provider, windowID);
        QVERIFY(QCoro::waitFor(rig.manager.deliver(event, kind)));
        QCOMPARE(rig.center.added().size(), 1);
        QCOMPARE(rig.center.added()[0].identifier, NotificationManager::eventKey(event));
        QCOMPARE(rig.center.added()[0].title + u'|' + rig.center.added()[0].body,
                 title + u'|' + body);
        QVERIFY(rig.store.wasDelivered(NotificationManager::eventKey(event)));
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
        Rig rig;
        rig.center.setStatus(status);
        if (afterRequest) {
            rig.center.setStatusAfterRequest(*afterRequest);
        }
        const UsageEvent event = reset(ProviderID::claude, QStringLiteral("claude.five_hour"));
        QCOMPARE(QCoro::waitFor(rig.manager.deliver(event)), posted);
        QCOMPARE(rig.store.wasDelivered(NotificationManager::eventKey(event)), posted);
        QCOMPARE(QCoro::waitFor(rig.manager.sendTestNotification()), posted);
        QCOMPARE(rig.center.added().size(), posted ? 2 : 0);
        // Asked once at most: the first answer is remembered by the centre.
        QCOMPARE(rig.center.authorizationRequests(), requests);
    }

    void failedDeliveryIsTriedAgain() {
        Rig rig;
        rig.center.setAddFails(true);
        const UsageEvent event = reset(ProviderID::codex, QStringLiteral("codex.primary"));
        QVERIFY(!QCoro::waitFor(rig.manager.deliver(event)));
        QVERIFY(!rig.store.wasDelivered(NotificationManager::eventKey(event)));
        QVERIFY(!QCoro::waitFor(rig.manager.sendTestNotification()));
        rig.center.setAddFails(false);
        QVERIFY(QCoro::waitFor(rig.manager.deliver(event)));
        QCOMPARE(rig.center.added().size(), 1);
    }

    void testNotificationIsFreshAndNotRecorded() {
        Rig rig;
        QVERIFY(QCoro::waitFor(rig.manager.sendTestNotification()));
        QVERIFY(QCoro::waitFor(rig.manager.sendTestNotification()));
        QCOMPARE(rig.center.added().size(), 2);
        const QRegularExpression identifier(
            QStringLiteral("^com\\.quorvel\\.vantor\\.test\\.[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-["
                           "0-9A-F]{4}-[0-9A-F]{12}$"));
        for (const auto& request : rig.center.added()) {
            QVERIFY2(identifier.match(request.identifier).hasMatch(),
                     qPrintable(request.identifier));
        }
        QVERIFY(rig.center.added()[0].identifier != rig.center.added()[1].identifier);
        QCOMPARE(rig.defaults.writeCount(), 0);
    }
};

QTEST_GUILESS_MAIN(NotificationManagerTest)
#include "tst_NotificationManager.moc"
