#include "DefaultsClaudePauseStore.h"
#include "MemoryDefaults.h"
#include "QSettingsDefaults.h"

#include <QTemporaryDir>
#include <QTest>

#include <limits>

class DefaultsClaudePauseStoreTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void reading_data() {
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<double>("seconds");  // NaN: nothing usable
        const double none = std::numeric_limits<double>::quiet_NaN();
        QTest::newRow("nothing") << QVariant() << none;
        QTest::newRow("number") << QVariant(812345678.25) << 812345678.25;
        QTest::newRow("text, as the INI file gives it")
            << QVariant(QStringLiteral("812345678.25")) << 812345678.25;
        QTest::newRow("hand-edited garbage") << QVariant(QStringLiteral("tomorrow")) << none;
        QTest::newRow("not finite") << QVariant(QStringLiteral("inf")) << none;
        QTest::newRow("bytes") << QVariant(QByteArray("812345678")) << none;
    }

    void reading() {
        QFETCH(QVariant, stored);
        QFETCH(double, seconds);
        MemoryDefaults defaults;
        if (stored.isValid()) {
            defaults.setValue(DefaultsClaudePauseStore::key, stored);
        }
        const auto until = DefaultsClaudePauseStore(defaults).pausedUntil();
        if (std::isnan(seconds)) {
            QVERIFY(!until);
        } else {
            QCOMPARE(until, Instant::fromReferenceSeconds(seconds));
        }
    }

    void survivesARestartThroughTheSettingsFile() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("vantor.conf"));
        const Instant until = Instant::now().addingSeconds(1234.5678);
        {
            QSettingsDefaults defaults(path);
            DefaultsClaudePauseStore(defaults).setPausedUntil(until);
        }
        const QString copy = path + QStringLiteral(".next");
        QVERIFY(QFile::copy(path, copy));
        QSettingsDefaults reopened(copy);
        QCOMPARE(DefaultsClaudePauseStore(reopened).pausedUntil(), until);
    }
};

QTEST_GUILESS_MAIN(DefaultsClaudePauseStoreTest)
#include "tst_DefaultsClaudePauseStore.moc"
