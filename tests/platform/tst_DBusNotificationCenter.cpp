#include "DBusNotificationCenter.h"
#include "MemoryDefaults.h"
#include "NotificationManager.h"
#include "SnapshotStore.h"
#include "VantorError.h"

#include <QDBusConnection>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using Status = NotificationCenter::AuthorizationStatus;

namespace {

const UsageEvent claudeWeeklyReset = UsageEvent::resetConfirmed(
    ProviderID::claude, QStringLiteral("claude.seven_day"), Instant::fromUnixSeconds(1778307200.5));

// QCoro::waitFor never returns from a task that throws: the exception is caught here.
QCoro::Task<bool> addThrows(NotificationCenter& center, NotificationCenter::Request request) {
    try {
        co_await center.add(std::move(request));
    } catch (const VantorError&) {
        co_return true;
    }
    co_return false;
}

// The fake notification server as a child process on this test's private bus; ended with
// the object.
class ServerProcess {
public:
    bool start(const QString& mode) {
        process_.setProgram(QStringLiteral(VANTOR_FAKE_NOTIFICATION_SERVER));
        process_.setArguments({mode, recordPath()});
        process_.start();
        // "ready" means it owns the name.
        return process_.waitForReadyRead(10'000) && process_.readAll().startsWith("ready");
    }

    ~ServerProcess() {
        if (process_.state() != QProcess::NotRunning) {
            process_.kill();
            process_.waitForFinished();
        }
    }

    QList<QJsonObject> calls() const {
        QFile file(recordPath());
        QList<QJsonObject> result;
        if (file.open(QIODevice::ReadOnly)) {
            for (const QByteArray& line : file.readAll().split('\n')) {
                if (!line.isEmpty()) {
                    result.append(QJsonDocument::fromJson(line).object());
                }
            }
        }
        return result;
    }

private:
    QString recordPath() const { return dir_.filePath(QStringLiteral("calls.jsonl")); }

    QTemporaryDir dir_;
    QProcess process_;
};

}  // namespace

class DBusNotificationCenterTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void withoutAServerAlertsAreDenied() {
        MemoryDefaults defaults;
        SnapshotStore store(defaults);
        DBusNotificationCenter center;
        NotificationManager manager(store, center);
        QCOMPARE(QCoro::waitFor(manager.authorizationStatus()), Status::denied);
        QVERIFY(!QCoro::waitFor(manager.deliver(claudeWeeklyReset, UsageWindowKind::weekly)));
        QVERIFY(!QCoro::waitFor(manager.sendTestNotification()));
        QCOMPARE(defaults.writeCount(), 0);
    }

    void withoutABusAlertsAreDenied() {
        DBusNotificationCenter center(QDBusConnection::connectToBus(
            QStringLiteral("unix:path=/nonexistent/bus"), QStringLiteral("no bus")));
        QCOMPARE(QCoro::waitFor(center.authorizationStatus()), Status::denied);
        NotificationCenter::Request request{.identifier = QStringLiteral("x"),
                                            .title = QStringLiteral("t"),
                                            .body = QStringLiteral("b")};
        const bool threw = QCoro::waitFor(addThrows(center, std::move(request)));
        QVERIFY(threw);
    }

    void acceptedNotificationsCarryTitleBodyAndIdentity() {
        ServerProcess server;
        QVERIFY(server.start(QStringLiteral("accept")));
        MemoryDefaults defaults;
        SnapshotStore store(defaults);
        DBusNotificationCenter center;
        NotificationManager manager(store, center);
        QCOMPARE(QCoro::waitFor(manager.authorizationStatus()), Status::authorized);
        QVERIFY(QCoro::waitFor(manager.deliver(claudeWeeklyReset, UsageWindowKind::weekly)));
        QVERIFY(store.wasDelivered(QStringLiteral("claude.claude.seven_day.1778307200.5")));
        QVERIFY(!QCoro::waitFor(manager.deliver(claudeWeeklyReset, UsageWindowKind::weekly)));
        QVERIFY(QCoro::waitFor(manager.sendTestNotification()));

        const QList<QJsonObject> calls = server.calls();
        QCOMPARE(calls.size(), 2);
        QCOMPARE(calls[0][QLatin1String("summary")].toString(),
                 QStringLiteral("Claude is ready again"));
        // Title and body only: no sound, no category, no image.
        const QJsonObject hints = calls[0][QLatin1String("hints")].toObject();
        QCOMPARE(hints.keys(), (QStringList{QStringLiteral("desktop-entry"),
                                            QStringLiteral("x-vantor-identifier")}));
        QCOMPARE(hints[QLatin1String("x-vantor-identifier")].toString(),
                 QStringLiteral("claude.claude.seven_day.1778307200.5"));
        QVERIFY(calls[1][QLatin1String("hints")]
                    .toObject()[QLatin1String("x-vantor-identifier")]
                    .toString()
                    .startsWith(QLatin1String("com.quorvel.vantor.test.")));
    }

    void failedNotificationsAreNotRecorded_data() {
        QTest::addColumn<QString>("mode");
        QTest::newRow("server refuses") << QStringLiteral("refuse");
        QTest::newRow("reply of the wrong type") << QStringLiteral("garble");
        QTest::newRow("never answers") << QStringLiteral("hang");
        QTest::newRow("quits mid-call") << QStringLiteral("vanish");
    }
    void failedNotificationsAreNotRecorded() {
        QFETCH(QString, mode);
        ServerProcess server;
        QVERIFY(server.start(mode));
        MemoryDefaults defaults;
        SnapshotStore store(defaults);
        DBusNotificationCenter center;
        NotificationManager manager(store, center);
        QElapsedTimer elapsed;
        elapsed.start();
        QVERIFY(!QCoro::waitFor(manager.deliver(claudeWeeklyReset)));
        // Bounded by the centre's own time limit, far below the bus's default of 25 s.
        QVERIFY2(elapsed.elapsed() < 2 * DBusNotificationCenter::defaultTimeoutMs,
                 qPrintable(QString::number(elapsed.elapsed())));
        QCOMPARE(server.calls().size(), 1);
        QCOMPARE(defaults.writeCount(), 0);
    }
};

QTEST_GUILESS_MAIN(DBusNotificationCenterTest)
#include "tst_DBusNotificationCenter.moc"
