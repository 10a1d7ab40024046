#include "FakeLoginItemService.h"
#include "LaunchAtLoginController.h"
#include "MemoryDefaults.h"
#include "VantorError.h"

#include <QTest>

using Status = LoginItemService::Status;
Q_DECLARE_METATYPE(Status)

class LaunchAtLoginControllerTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void firstLaunch_data() {
        QTest::addColumn<bool>("installed");
        QTest::addColumn<Status>("status");
        QTest::addColumn<bool>("refuses");
        QTest::addColumn<QVariant>("stored");  // what the key holds before
        QTest::addColumn<QStringList>("calls");
        QTest::addColumn<bool>("configured");
        const QStringList reg{QStringLiteral("register")};
        QTest::newRow("installed, not registered")
            << true << Status::notRegistered << false << QVariant() << reg << true;
        QTest::newRow("build tree")
            << false << Status::notRegistered << false << QVariant() << QStringList() << false;
        QTest::newRow("awaiting approval counts as configured")
            << true << Status::requiresApproval << false << QVariant() << QStringList() << true;
        QTest::newRow("refused, retried next launch")
            << true << Status::notRegistered << true << QVariant() << reg << false;
        QTest::newRow("key of any type stops it")
            << true << Status::notRegistered << false << QVariant(QStringLiteral("no"))
            << QStringList() << true;
    }
    void firstLaunch() {
        QFETCH(bool, installed);
        QFETCH(Status, status);
        QFETCH(bool, refuses);
        QFETCH(QVariant, stored);
        QFETCH(QStringList, calls);
        QFETCH(bool, configured);
        FakeLoginItemService item;
        item.installed = installed;
        item.currentStatus = status;
        item.refuses = refuses;
        MemoryDefaults defaults;
        if (stored.isValid()) {
            defaults.setValue(LaunchAtLoginController::configuredKey, stored);
        }
        LaunchAtLoginController::enableByDefaultIfNeeded(item, defaults);
        QCOMPARE(item.calls, calls);
        QCOMPARE(defaults.contains(LaunchAtLoginController::configuredKey), configured);
        // The second launch does nothing at all.
        const int writes = defaults.writeCount();
        item.calls.clear();
        if (configured) {
            LaunchAtLoginController::enableByDefaultIfNeeded(item, defaults);
            QCOMPARE(item.calls, QStringList());
            QCOMPARE(defaults.writeCount(), writes);
        }
    }

    void switchFollowsTheUser_data() {
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<Status>("status");
        QTest::addColumn<QStringList>("calls");
        QTest::newRow("on while enabled") << true << Status::enabled << QStringList();
        QTest::newRow("on while off")
            << true << Status::notRegistered << QStringList{QStringLiteral("register")};
        QTest::newRow("off while awaiting approval")
            << false << Status::requiresApproval << QStringList{QStringLiteral("unregister")};
        QTest::newRow("off while off") << false << Status::notRegistered << QStringList();
    }
    void switchFollowsTheUser() {
        QFETCH(bool, enabled);
        QFETCH(Status, status);
        QFETCH(QStringList, calls);
        FakeLoginItemService item;
        item.currentStatus = status;
        MemoryDefaults defaults;
        LaunchAtLoginController::setEnabled(enabled, item, defaults);
        QCOMPARE(item.calls, calls);
        QCOMPARE(defaults.value(LaunchAtLoginController::configuredKey), QVariant(true));
    }

    void refusedSwitchThrowsAndStoresNothing() {
        FakeLoginItemService item;
        item.refuses = true;
        MemoryDefaults defaults;
        QVERIFY_THROWS_EXCEPTION(VantorError,
                                 LaunchAtLoginController::setEnabled(true, item, defaults));
        QVERIFY(!defaults.contains(LaunchAtLoginController::configuredKey));
        QVERIFY(!LaunchAtLoginController::isEnabled(item));
    }
};

QTEST_GUILESS_MAIN(LaunchAtLoginControllerTest)
#include "tst_LaunchAtLoginController.moc"
