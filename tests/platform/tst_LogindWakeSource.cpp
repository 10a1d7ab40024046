#include "LogindWakeSource.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QSignalSpy>
#include <QTest>

namespace {

QDBusMessage prepareForSleep(bool suspending) {
    QDBusMessage signal = QDBusMessage::createSignal(
        QStringLiteral("/org/freedesktop/login1"), QStringLiteral("org.freedesktop.login1.Manager"),
        QStringLiteral("PrepareForSleep"));
    signal << suspending;
    return signal;
}

}  // namespace

// The test's private session bus stands in for the system bus; a second connection plays
// logind and a third an impostor.
class LogindWakeSourceTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void resumeFromLogindIsAWake() {
        QDBusConnection logind =
            QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("logind"));
        QDBusConnection impostor =
            QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("impostor"));
        QVERIFY(logind.registerService(QStringLiteral("org.freedesktop.login1")));
        LogindWakeSource source(QDBusConnection::sessionBus());
        QSignalSpy woke(&source, &WakeSource::woke);
        QVERIFY(impostor.send(prepareForSleep(false)));
        QVERIFY(logind.send(prepareForSleep(true)));
        QVERIFY(logind.send(prepareForSleep(false)));
        QVERIFY(woke.wait());
        // One more round trip through the bus, so anything still queued has arrived.
        QVERIFY(QDBusConnection::sessionBus().interface()->isServiceRegistered(
            QStringLiteral("org.freedesktop.login1")));
        QCoreApplication::processEvents();
        QCOMPARE(woke.count(), 1);
        QDBusConnection::disconnectFromBus(QStringLiteral("logind"));
        QDBusConnection::disconnectFromBus(QStringLiteral("impostor"));
    }

    void withoutASystemBusNothingHappens() {
        const QDBusConnection none = QDBusConnection::connectToBus(
            QStringLiteral("unix:path=/nonexistent/system_bus_socket"), QStringLiteral("none"));
        QVERIFY(!none.isConnected());
        LogindWakeSource source(none);
        QSignalSpy woke(&source, &WakeSource::woke);
        QVERIFY(!woke.wait(200));
    }
};

QTEST_GUILESS_MAIN(LogindWakeSourceTest)
#include "tst_LogindWakeSource.moc"
