#include "UsageFixtures.h"
#include "UsageJson.h"
#include "VantorError.h"

#include <QFile>
#include <QJsonDocument>
#include <QRandomGenerator>
#include <QTest>

#include <cmath>
#include <limits>

using namespace UsageFixtures;

namespace {

QByteArray stored(const QString& name) {
    QFile file(QStringLiteral(VANTOR_MODEL_DATA_DIR "/") + name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing fixture>");
}

// What a stored list reads as: its records re-encoded, or the decoder's complaint.
QString readBack(const QByteArray& json) {
    try {
        return QString::fromUtf8(UsageJson::encodeSnapshots(UsageJson::decodeSnapshots(json)));
    } catch (const VantorError& error) {
        return error.description();
    }
}

}  // namespace

class ModelTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Lists stored by this and later versions: nulls and unknown keys read as the plain form,
    // anything malformed fails the whole list.
    void storedListReading_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("failure");  // empty: reads as snapshots.json does
        QTest::newRow("null optionals") << "null-optionals.json"
                                        << "";
        QTest::newRow("unknown key") << "unknown-key.json"
                                     << "";
        QTest::newRow("missing label") << "missing-label.json"
                                       << "No value associated with key \"label\".";
        QTest::newRow("null label") << "null-label.json"
                                    << "Expected a value for key \"label\" but found null.";
        QTest::newRow("trailing blank in a raw value")
            << "state-trailing-blank.json"
            << "Cannot initialize from invalid raw value \"available \".";
        QTest::newRow("state as number") << "state-number.json"
                                         << "Expected a string but found a number instead.";
        QTest::newRow("instant as text") << "instant-as-text.json"
                                         << "Expected a number but found a string instead.";
        QTest::newRow("optional of wrong type") << "optional-wrong-type.json"
                                                << "Expected a boolean but found a number instead.";
        QTest::newRow("one bad element") << "one-bad-element.json"
                                         << "Cannot initialize from invalid raw value \"gemini\".";
        QTest::newRow("object keyed by provider")
            << "keyed-by-provider.json"
            << "Expected an array but found an object instead.";
        QTest::newRow("windows not an array") << "windows-not-an-array.json"
                                              << "Expected an array but found an object instead.";
        QTest::newRow("truncated")
            << "truncated.json"
            << "The given data was not valid JSON: unterminated object at offset 2.";
        QTest::newRow("empty") << "empty.json"
                               << "The given data was not valid JSON: illegal value at offset 0.";
    }
    void storedListReading() {
        QFETCH(QString, file);
        QFETCH(QString, failure);
        const QString plain = readBack(stored(QStringLiteral("snapshots.json")));
        QVERIFY(plain.startsWith(u'['));
        QCOMPARE(readBack(stored(file)), failure.isEmpty() ? plain : failure);
    }

    // Instants from the system clock keep their full fraction, and numbers of every size come
    // back bit for bit.
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
        }
    }

    void nonFiniteNumbersAreNotWritten_data() {
        QTest::addColumn<int>("field");
        QTest::addColumn<double>("number");
        QTest::newRow("NaN used") << 0 << std::numeric_limits<double>::quiet_NaN();
        QTest::newRow("infinite reset") << 1 << std::numeric_limits<double>::infinity();
        QTest::newRow("-infinite observed") << 2 << -std::numeric_limits<double>::infinity();
    }
    void nonFiniteNumbersAreNotWritten() {
        QFETCH(int, field);
        QFETCH(double, number);
        auto bad = fullSnapshot(ProviderID::codex, t0);
        if (field == 0) {
            bad.windows[3].usedPercent = number;
        } else if (field == 1) {
            bad.windows[3].resetAt = Instant::fromReferenceSeconds(number);
        } else {
            bad.observedAt = Instant::fromReferenceSeconds(number);
        }
        QVERIFY_THROWS_EXCEPTION(VantorError, UsageJson::encodeSnapshots({bad}));
    }

    void availabilityReading_data() {
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<QString>("expected");  // the result re-encoded, or the failure
        const QString wrongCount = QStringLiteral("Invalid number of keys found, expected one.");
        QTest::newRow("payload keys ignored")
            << QByteArray(R"({"notInstalled":{"x":1}})") << R"({"notInstalled":{}})";
        QTest::newRow("message") << QByteArray(R"({"temporarilyUnavailable":{"_0":"Later."}})")
                                 << R"({"temporarilyUnavailable":{"_0":"Later."}})";
        QTest::newRow("unknown key beside a case")
            << QByteArray(R"({"available":{},"extra":true})") << R"({"available":{}})";
        QTest::newRow("empty object") << QByteArray("{}") << wrongCount;
        QTest::newRow("two cases")
            << QByteArray(R"({"available":{},"unsupported":{}})") << wrongCount;
        QTest::newRow("message required") << QByteArray(R"({"temporarilyUnavailable":{}})")
                                          << "No value associated with key \"_0\".";
        QTest::newRow("payload not an object") << QByteArray(R"({"available":true})")
                                               << "Expected an object but found a boolean instead.";
    }
    void availabilityReading() {
        QFETCH(QByteArray, json);
        QFETCH(QString, expected);
        QString outcome;
        try {
            const auto read = UsageJson::decodeAvailability(QJsonDocument::fromJson(json).object());
            outcome = QString::fromUtf8(
                QJsonDocument(UsageJson::encode(read)).toJson(QJsonDocument::Compact));
        } catch (const VantorError& error) {
            outcome = error.description();
        }
        QCOMPARE(outcome, expected);
    }

    // The compact displays show the first window of the worst state, its use clamped.
    void summaryWindow_data() {
        QTest::addColumn<QList<int>>("states");  // UsageWindowState per window, used 10 * index
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
