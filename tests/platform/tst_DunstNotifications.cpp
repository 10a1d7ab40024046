#include "DBusNotificationCenter.h"
#include "MemoryDefaults.h"
#include "NotificationManager.h"
#include "SnapshotStore.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

namespace {

// Ends a child process with the test; politely first, so Xvfb removes its lock file.
struct Child {
    QProcess process;
    ~Child() {
        if (process.state() != QProcess::NotRunning) {
            process.terminate();
            if (!process.waitForFinished(5'000)) {
                process.kill();
                process.waitForFinished();
            }
        }
    }
};

QByteArray dunstctl(const QStringList& arguments, const QProcessEnvironment& environment) {
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral("dunstctl"), arguments);
    process.waitForFinished(10'000);
    return process.readAllStandardOutput();
}

// dunstctl history prints the closed notifications as D-Bus typed JSON.
QString field(const QJsonObject& notification, const char* name) {
    return notification[QLatin1String(name)].toObject()[QLatin1String("data")].toString();
}

}  // namespace

// End to end against a real notification server: dunst on a virtual display, on this test's
// private session bus.
class DunstNotificationsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void realServerShowsTheReset() {
        if (QStandardPaths::findExecutable(QStringLiteral("Xvfb")).isEmpty() ||
            QStandardPaths::findExecutable(QStringLiteral("dunst")).isEmpty()) {
            QSKIP("Xvfb and dunst are not installed (scripts/install-deps installs them)");
        }
        Child display;
        display.process.start(QStringLiteral("Xvfb"),
                              {QStringLiteral("-displayfd"), QStringLiteral("1"),
                               QStringLiteral("-nolisten"), QStringLiteral("tcp")});
        QVERIFY(display.process.waitForReadyRead(10'000));
        const QString number =
            QString::fromLatin1(display.process.readAllStandardOutput()).trimmed();
        QVERIFY(!number.isEmpty());

        QTemporaryDir dir;
        const QString config = dir.filePath(QStringLiteral("dunstrc"));
        QFile(config).open(QIODevice::WriteOnly);
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("DISPLAY"), QLatin1Char(':') + number);
        Child dunst;
        dunst.process.setProcessEnvironment(environment);
        dunst.process.start(QStringLiteral("dunst"), {QStringLiteral("-config"), config});
        QTRY_VERIFY_WITH_TIMEOUT(QDBusConnection::sessionBus().interface()->isServiceRegistered(
                                     DBusNotificationCenter::serviceName),
                                 10'000);

        MemoryDefaults defaults;
        SnapshotStore store(defaults);
        DBusNotificationCenter center;
        NotificationManager manager(store, center);
        const UsageEvent reset = UsageEvent::resetConfirmed(
            ProviderID::codex, QStringLiteral("codex.codex.secondary"), Instant::now());
        QVERIFY(QCoro::waitFor(manager.deliver(reset, UsageWindowKind::weekly)));
        QVERIFY(store.wasDelivered(NotificationManager::eventKey(reset)));

        QCOMPARE(
            dunstctl({QStringLiteral("count"), QStringLiteral("displayed")}, environment).trimmed(),
            QByteArray("1"));
        dunstctl({QStringLiteral("close-all")}, environment);
        const QJsonArray history =
            QJsonDocument::fromJson(dunstctl({QStringLiteral("history")}, environment))
                .object()[QLatin1String("data")]
                .toArray()
                .first()
                .toArray();
        QCOMPARE(history.size(), 1);
        const QJsonObject shown = history.first().toObject();
        QCOMPARE(field(shown, "appname"), QStringLiteral("Vantor"));
        QCOMPARE(field(shown, "summary"), QStringLiteral("Codex is ready again"));
        QCOMPARE(field(shown, "body"), QStringLiteral("Your weekly usage is available again."));
    }
};

QTEST_GUILESS_MAIN(DunstNotificationsTest)
#include "tst_DunstNotifications.moc"
