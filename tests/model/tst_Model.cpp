#include "UsageFixtures.h"
#include "UsageJson.h"
#include "VantorError.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QRandomGenerator>
#include <QTest>

#include <cmath>
#include <limits>

using namespace UsageFixtures;

namespace {

const QDir data(QStringLiteral(VANTOR_MODEL_DATA_DIR));

// What a stored list reads as: its records written anew, or the decoder's complaint.
QString readBack(const QString& path) {
    QFile file(data.filePath(path));
    if (!file.open(QIODevice::ReadOnly)) {
        return QStringLiteral("<no fixture>");
    }
    try {
        return QString::fromUtf8(
            UsageJson::encodeSnapshots(UsageJson::decodeSnapshots(file.readAll())));
    } catch (const VantorError& error) {
        return error.domain();
    }
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
        const QString plain = readBack(QStringLiteral("snapshots.json"));
        QVERIFY(plain.startsWith(u'['));
        QCOMPARE(readBack(path),
                 path.startsWith(QLatin1String("reads")) ? plain : UsageJson::decodingErrorDomain);
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
            const QList<ProviderUsageSnapshot> written{codex, fullSnapshot(ProviderID::claude, now),
                                                       snapshot({}, ProviderID::claude)};
            QCOMPARE(UsageJson::decodeSnapshots(UsageJson::encodeSnapshots(written)), written);
            auto bad = codex;
            bad.windows[i % 4].usedPercent = std::numeric_limits<double>::quiet_NaN();
            bad.windows[(i + 1) % 4].resetAt =
                Instant::fromReferenceSeconds(std::numeric_limits<double>::infinity());
            QVERIFY_THROWS_EXCEPTION(VantorError, UsageJson::encodeSnapshots({bad}));
        }
    }

    void availabilityReading_data() {
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<QString>("expected");  // the result written anew; empty when refused
        QTest::newRow("payload keys ignored")
            << QByteArray(R"({"notInstalled":{"x":1}})") << R"({"notInstalled":{}})";
        QTest::newRow("message") << QByteArray(R"({"temporarilyUnavailable":{"_0":"Later."}})")
                                 << R"({"temporarilyUnavailable":{"_0":"Later."}})";
        QTest::newRow("unknown key beside a case")
            << QByteArray(R"({"available":{},"extra":true})") << R"({"available":{}})";
        QTest::newRow("no case") << QByteArray("{}") << "";
        QTest::newRow("two cases") << QByteArray(R"({"available":{},"unsupported":{}})") << "";
        QTest::newRow("message missing") << QByteArray(R"({"temporarilyUnavailable":{}})") << "";
        QTest::newRow("payload not an object") << QByteArray(R"({"available":true})") << "";
    }
    void availabilityReading() {
        QFETCH(QByteArray, json);
        QFETCH(QString, expected);
        QString outcome;
        try {
            const auto read = UsageJson::decodeAvailability(QJsonDocument::fromJson(json).object());
            outcome = QString::fromUtf8(
                QJsonDocument(UsageJson::encode(read)).toJson(QJsonDocument::Compact));
        } catch (const VantorError&) {
        }
        QCOMPARE(outcome, expected);
    }

    // The compact displays show the first window of the worst state, its use clamped.
    void summaryWindow_data() {
        QTest::addColumn<QList<int>>("states");  // UsageWindowState of each window
        QTest::addColumn<int>("summary");        // index of the summary window, -1 for none
        QTest::newRow("first of two exhausted") << QList<int>{3, 2, 2} << 1;
        QTest::newRow("available beats unknown") << QList<int>{4, 0} << 1;
        QTest::newRow("nearing beats awaiting") << QList<int>{3, 4, 1, 0} << 2;
        QTest::newRow("awaiting beats available") << QList<int>{0, 3} << 1;
        QTest::newRow("none") << QList<int>{} << -1;
    }
    void summaryWindow() {
        QFETCH(QList<int>, states);
        QFETCH(int, summary);
        QList<UsageWindowSnapshot> windows;
        for (int i = 0; i < states.size(); ++i) {
            // Used -10, 50, 110 ...: the display clamps to 0...100.
            windows.append(window(QString::number(i), UsageWindowState(states[i]), 60.0 * i - 10));
        }
        const auto chosen = snapshot(windows).summaryWindow();
        QCOMPARE(chosen ? chosen->id.toInt() : -1, summary);
        if (chosen) {
            QCOMPARE(*chosen->displayPercent(), std::clamp(60.0 * summary - 10, 0.0, 100.0));
        }
    }
};

QTEST_GUILESS_MAIN(ModelTest)
#include "tst_Model.moc"
