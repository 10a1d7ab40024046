#include "QSettingsDefaults.h"
#include "SnapshotStore.h"
#include "UsageFixtures.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace UsageFixtures;

namespace {

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeFile(const QString& path, const QByteArray& content) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(content);
}

// QSettings caches a parsed file per path inside one process; a copy under a new name is
// read from disk, as the next launch would read it.
QString asNextLaunch(const QString& path) {
    static int generation = 0;
    const QString copy = path + QStringLiteral(".launch%1").arg(++generation);
    QFile::copy(path, copy);
    return copy;
}

}  // namespace

class QSettingsDefaultsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void livesUnderTheXdgConfigHome() {
        QCOMPARE(QSettingsDefaults::standardFilePath(),
                 qEnvironmentVariable("XDG_CONFIG_HOME") + QStringLiteral("/vantor/vantor.conf"));
        QSettingsDefaults defaults;
        SnapshotStore(defaults).save({});
        const QByteArray text = readFile(QSettingsDefaults::standardFilePath());
        QVERIFY2(text.contains("usageSnapshots=@ByteArray([])"), text.constData());
    }

    void valuesSurviveARestart() {
        const int deliveredCount = 3;
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("vantor.conf"));
        const SnapshotMap written{
            {ProviderID::codex, fullSnapshot(ProviderID::codex, Instant::now())},
            {ProviderID::claude, fullSnapshot(ProviderID::claude, t0)}};
        {
            QSettingsDefaults defaults(path);
            SnapshotStore store(defaults);
            store.save(written);
            for (int i = 0; i < deliveredCount; ++i) {
                store.markDelivered(QStringLiteral("codex|codex.codex.primary|%1.5").arg(i));
            }
        }
        QSettingsDefaults reopened(asNextLaunch(path));
        SnapshotStore store(reopened);
        QCOMPARE(store.load(), written);
        for (int i = 0; i < deliveredCount; ++i) {
            QVERIFY(store.wasDelivered(QStringLiteral("codex|codex.codex.primary|%1.5").arg(i)));
        }
        QVERIFY(!store.wasDelivered(QStringLiteral("codex")));
    }

    void unwritableFileLosesNothingInMemory() {
        QTemporaryDir dir;
        // A plain file where the folder should be: not even root can create the settings file.
        writeFile(dir.filePath(QStringLiteral("blocked")), "not a folder");
        QSettingsDefaults defaults(dir.filePath(QStringLiteral("blocked/vantor.conf")));
        SnapshotStore store(defaults);
        const SnapshotMap written{{ProviderID::codex, fullSnapshot(ProviderID::codex, t0)}};
        store.save(written);
        store.markDelivered(QStringLiteral("k"));
        QCOMPARE(defaults.status(), QSettings::AccessError);
        QCOMPARE(store.load(), written);
        QVERIFY(store.wasDelivered(QStringLiteral("k")));
    }

    void corruptFileIsKeptUntilTheNextSave_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("bad JSON in a byte value")
            << QByteArray("[General]\nusageSnapshots=@ByteArray([{\"providerID\":)\n");
        QTest::newRow("binary garbage") << QByteArray("\x00\xff[[[\n=\n\x01usageSnapshots", 22);
    }
    void corruptFileIsKeptUntilTheNextSave() {
        QFETCH(QByteArray, content);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("vantor.conf"));
        writeFile(path, content);
        QSettingsDefaults defaults(path);
        SnapshotStore store(defaults);
        const QVariant before = defaults.value(SnapshotStore::snapshotKey);
        QVERIFY(store.load().isEmpty());
        QVERIFY(!store.wasDelivered(QStringLiteral("k")));
        store.markDelivered(QStringLiteral("k"));
        QCOMPARE(defaults.value(SnapshotStore::snapshotKey), before);

        const SnapshotMap written{{ProviderID::claude, fullSnapshot(ProviderID::claude, t0)}};
        store.save(written);
        QSettingsDefaults nextLaunch(asNextLaunch(path));
        const SnapshotStore next(nextLaunch);
        QCOMPARE(next.load(), written);
        QVERIFY(next.wasDelivered(QStringLiteral("k")));
    }
};

QTEST_GUILESS_MAIN(QSettingsDefaultsTest)
#include "tst_QSettingsDefaults.moc"
