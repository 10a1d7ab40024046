#include "ExecutableSearch.h"
#include "TestData.h"
#include "UsageFixtures.h"
#include "UsageJson.h"
#include "VantorError.h"

#include <QDir>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>
#include <limits>

using namespace UsageFixtures;

namespace {

const QDir data(QStringLiteral(VANTOR_TEST_DATA_DIR "/model"));

QByteArray fixture(const QString& path) {
    return TestData::read(data.filePath(path));
}

}  // namespace

class ModelTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Every file under reads/ holds the records of snapshots.json in another form that this or
    // a later version may write (nulls, unknown keys); every file under rejected/ is malformed,
    // and one bad element fails the whole list.
    void storedLists_data() {
        QTest::addColumn<QString>("path");
        for (const QString& folder : {QStringLiteral("reads"), QStringLiteral("rejected")}) {
            for (const QString& name : QDir(data.filePath(folder)).entryList(QDir::Files)) {
                QTest::newRow(qPrintable(folder + u'/' + name)) << folder + u'/' + name;
            }
        }
        QVERIFY(data.exists(QStringLiteral("rejected/empty.json")));
    }
    void storedLists() {
        QFETCH(QString, path);
        const auto plain = UsageJson::decodeSnapshots(fixture(QStringLiteral("snapshots.json")));
        QVERIFY(!plain.isEmpty());
        if (path.startsWith(QLatin1String("reads"))) {
            QCOMPARE(UsageJson::decodeSnapshots(fixture(path)), plain);
        } else {
            QVERIFY_THROWS_EXCEPTION(VantorError, UsageJson::decodeSnapshots(fixture(path)));
        }
    }

    // Instants from the system clock keep their full fraction, and numbers of every size come
    // back bit for bit; a number JSON cannot hold is refused rather than written.
    void roundTripIsExact() {
        auto* random = QRandomGenerator::global();
        for (int i = 0; i < 200; ++i) {
            const Instant now = Instant::now().addingSeconds(random->generateDouble() * 1e-3);
            auto codex = fullSnapshot(ProviderID::codex, now);
            codex.windows[1].usedPercent = random->generateDouble() * std::pow(10.0, i % 40 - 20);
            codex.windows[2].resetAt =
                Instant::fromReferenceSeconds(-random->generateDouble() * 1e9);
            const QList<ProviderUsageSnapshot> written{codex, snapshot({}, ProviderID::claude)};
            QCOMPARE(UsageJson::decodeSnapshots(UsageJson::encodeSnapshots(written)), written);
            // By turns a share and an instant that JSON cannot hold.
            UsageWindowSnapshot& bad = codex.windows[i / 2 % 4];
            if (i % 2 == 0) {
                bad.usedPercent = std::numeric_limits<double>::quiet_NaN();
            } else {
                bad.resetAt =
                    Instant::fromReferenceSeconds(std::numeric_limits<double>::infinity());
            }
            QVERIFY_THROWS_EXCEPTION(VantorError, UsageJson::encodeSnapshots({codex}));
        }
    }

    // availability.json pairs each value from the bus with what it reads as; null: refused.
    void availabilityReading_data() {
        QTest::addColumn<QJsonValue>("json");
        QTest::addColumn<QJsonValue>("expected");
        const QJsonObject cases = QJsonDocument::fromJson(fixture("availability.json")).object();
        for (auto it = cases.begin(); it != cases.end(); ++it) {
            QTest::newRow(qPrintable(it.key())) << it->toArray().at(0) << it->toArray().at(1);
        }
        QVERIFY(cases.size() > 5);
    }
    void availabilityReading() {
        QFETCH(QJsonValue, json);
        QFETCH(QJsonValue, expected);
        if (expected.isNull()) {
            QVERIFY_THROWS_EXCEPTION(VantorError, UsageJson::decodeAvailability(json));
        } else {
            QCOMPARE(UsageJson::encode(UsageJson::decodeAvailability(json)), expected.toObject());
        }
    }

    // The compact displays show the first window of the worst state.
    void summaryWindow_data() {
        // UsageWindowState of each window; 10 more for a window of another bucket.
        QTest::addColumn<QList<int>>("states");
        QTest::addColumn<int>("summary");  // index of the summary window, -1 for none
        QTest::newRow("first of two exhausted") << QList<int>{3, 2, 2} << 1;
        QTest::newRow("available beats unknown") << QList<int>{4, 0} << 1;
        QTest::newRow("nearing beats awaiting") << QList<int>{3, 4, 1, 0} << 2;
        QTest::newRow("awaiting beats available") << QList<int>{0, 3} << 1;
        QTest::newRow("none") << QList<int>{} << -1;
        QTest::newRow("another bucket's spent window") << QList<int>{0, 12} << 0;
    }
    void summaryWindow() {
        QFETCH(QList<int>, states);
        QFETCH(int, summary);
        QList<UsageWindowSnapshot> windows;
        for (const int state : states) {
            windows.append(window(QString::number(windows.size()), UsageWindowState(state % 10)));
            windows.last().providerWindowID =
                state >= 10 ? std::optional<QString>(QStringLiteral("spark")) : std::nullopt;
        }
        const auto chosen = snapshot(windows).summaryWindow();
        QCOMPARE(chosen ? chosen->id.toInt() : -1, summary);
    }

    // A PATH value ("~" the folder the program runs in, which holds bin/prog and prog, and
    // /abs/bin/prog) -> where prog is found: never through an empty or relative entry.
    void executableSearch_data() { TestData::rows("row", "model/executable-search.json"); }
    void executableSearch() {
        const auto row = TestData::fetch<QJsonObject>("row");
        QString path = row["path"].toString();
        QString found = row["found"].toString();
        QTemporaryDir home;
        for (const char* name : {"/prog", "/bin/prog", "/abs/bin/prog"}) {
            QVERIFY(TestData::write(home.path() + QLatin1String(name), "#!/bin/sh\n"));
            QVERIFY(QFile::setPermissions(home.path() + QLatin1String(name), QFile::ExeOwner));
        }
        const QString saved = QDir::currentPath();
        const QByteArray savedPath = qgetenv("PATH");
        QDir::setCurrent(home.path());
        qputenv("PATH", path.replace(u'~', home.path()).toUtf8());
        const QString result = ExecutableSearch::find(QStringLiteral("prog"));
        qputenv("PATH", savedPath);
        QDir::setCurrent(saved);
        QCOMPARE(result, found.replace(u'~', home.path()));
    }
};

QTEST_GUILESS_MAIN(ModelTest)
#include "tst_Model.moc"
