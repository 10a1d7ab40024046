#include "MemoryDefaults.h"
#include "SnapshotStore.h"
#include "UsageFixtures.h"

#include <QTest>

#include <limits>

using namespace UsageFixtures;

class SnapshotStoreTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void emptyMapIsAnEmptyArray() {
        MemoryDefaults defaults;
        SnapshotStore store(defaults);
        QVERIFY(store.load().isEmpty());
        QVERIFY(!store.wasDelivered(QStringLiteral("codex|w|nil")));
        store.save({});
        QCOMPARE(defaults.value(SnapshotStore::snapshotKey), QVariant(QByteArray("[]")));
        QVERIFY(store.load().isEmpty());
    }

    void roundTripKeepsEachProvider() {
        MemoryDefaults defaults;
        SnapshotStore store(defaults);
        const SnapshotMap written{
            {ProviderID::codex, fullSnapshot(ProviderID::codex, t0)},
            {ProviderID::claude, fullSnapshot(ProviderID::claude, Instant::now())}};
        store.save(written);
        QCOMPARE(store.load(), written);
        // A second store over the same defaults sees the same values: nothing is cached.
        QCOMPARE(SnapshotStore(defaults).load(), written);
    }

    void unusableStoredValuesLoadEmptyAndStay_data() {
        QTest::addColumn<QVariant>("stored");
        QTest::newRow("not JSON") << QVariant(QByteArray("\xff\xfe garbage"));
        QTest::newRow("text instead of bytes") << QVariant(QStringLiteral("[]"));
        QTest::newRow("number") << QVariant(42);
    }
    void unusableStoredValuesLoadEmptyAndStay() {
        QFETCH(QVariant, stored);
        MemoryDefaults defaults;
        defaults.setValue(SnapshotStore::snapshotKey, stored);
        const SnapshotStore store(defaults);
        QVERIFY(store.load().isEmpty());
        QCOMPARE(defaults.value(SnapshotStore::snapshotKey), stored);
    }

    void duplicateProviderRecordsDoNotFail() {
        MemoryDefaults defaults;
        const QByteArray record =
            R"({"providerID":"codex","windows":[],"observedAt":%1,"sourceConfidence":"inferred"})";
        defaults.setValue(SnapshotStore::snapshotKey,
                          '[' + QByteArray(record).replace("%1", "1") + ',' +
                              QByteArray(record).replace("%1", "2") + ']');
        const SnapshotMap loaded = SnapshotStore(defaults).load();
        QCOMPARE(loaded.size(), 1);
        QCOMPARE(loaded.value(ProviderID::codex).observedAt, Instant::fromReferenceSeconds(2));
    }

    void unencodableSaveRemovesTheEntry() {
        MemoryDefaults defaults;
        SnapshotStore store(defaults);
        store.save({{ProviderID::codex, fullSnapshot(ProviderID::codex, t0)}});
        auto bad = fullSnapshot(ProviderID::claude, t0);
        bad.windows[0].usedPercent = std::numeric_limits<double>::quiet_NaN();
        store.save({{ProviderID::claude, bad}});
        QVERIFY(!defaults.contains(SnapshotStore::snapshotKey));
        QVERIFY(store.load().isEmpty());
    }

    void markingTwiceWritesOnce() {
        MemoryDefaults defaults;
        SnapshotStore store(defaults);
        store.markDelivered(QStringLiteral("k"));
        const int writes = defaults.writeCount();
        store.markDelivered(QStringLiteral("k"));
        QCOMPARE(defaults.writeCount(), writes);
        QCOMPARE(defaults.value(SnapshotStore::deliveredKey),
                 QVariant(QStringList{QStringLiteral("k")}));
    }

    void deliveredListKeepsNewest200() {
        MemoryDefaults defaults;
        SnapshotStore store(defaults);
        for (int i = 0; i <= 200; ++i) {
            store.markDelivered(QStringLiteral("key%1").arg(i));
        }
        const QStringList keys = defaults.value(SnapshotStore::deliveredKey).toStringList();
        QCOMPARE(keys.size(), 200);
        QCOMPARE(keys.first(), QStringLiteral("key1"));
        QCOMPARE(keys.last(), QStringLiteral("key200"));
        QVERIFY(!store.wasDelivered(QStringLiteral("key0")));
        QVERIFY(store.wasDelivered(QStringLiteral("key1")));
    }

    void wronglyTypedDeliveredListIsReplaced_data() {
        QTest::addColumn<QVariant>("stored");
        QTest::newRow("number") << QVariant(7);
        QTest::newRow("list with a number") << QVariant(QVariantList{QStringLiteral("k"), 3});
    }
    void wronglyTypedDeliveredListIsReplaced() {
        QFETCH(QVariant, stored);
        MemoryDefaults defaults;
        defaults.setValue(SnapshotStore::deliveredKey, stored);
        SnapshotStore store(defaults);
        QVERIFY(!store.wasDelivered(QStringLiteral("k")));
        store.markDelivered(QStringLiteral("new"));
        QCOMPARE(defaults.value(SnapshotStore::deliveredKey),
                 QVariant(QStringList{QStringLiteral("new")}));
    }
};

QTEST_GUILESS_MAIN(SnapshotStoreTest)
#include "tst_SnapshotStore.moc"
