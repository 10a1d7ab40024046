#include "SecretServiceKeychain.h"

#include <QCoroTask>
#include <QElapsedTimer>
#include <QTest>

// A process without any session bus (its own executable: the D-Bus libraries remember the bus
// address of their first connection for the life of the process).
class SecretServiceKeychainWithoutBusTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { qunsetenv("DBUS_SESSION_BUS_ADDRESS"); }

    void answersInBoundedTime() {
        SecretServiceKeychain keychain;
        for (int round = 0; round < 2; ++round) {
            QElapsedTimer clock;
            clock.start();
            QVERIFY(!QCoro::waitFor(keychain.secret(QStringLiteral("com.anthropic.claude-code"))));
            QVERIFY2(clock.elapsed() < 2100, qPrintable(QString::number(clock.elapsed())));
        }
    }
};

QTEST_GUILESS_MAIN(SecretServiceKeychainWithoutBusTest)
#include "tst_SecretServiceKeychainWithoutBus.moc"
