#include "UsageFixtures.h"
#include "UsageJson.h"
#include "VantorError.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QRandomGenerator>
#include <QTest>

#include <cmath>
#include <limits>

using namespace UsageFixtures;

namespace {

QJsonObject parseObject(const char* json) {
    return QJsonDocument::fromJson(json).object();
}

// A complete stored window; rows change one member of it.
const char* const windowJson =
    R"({"id":"codex.codex.primary","providerID":"codex","kind":"fiveHour","label":"5h",)"
    R"("observedAt":786000000.25,"state":"available","usedPercent":42})";

QString decodeFailure(const std::function<void()>& decode) {
    try {
        decode();
    } catch (const VantorError& error) {
        return error.description();
    }
    return QStringLiteral("<decoded>");
}

}  // namespace

class UsageJsonTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // The stored form is read back by later versions: absent optionals are left out, and every
    // member of a full window is written.
    void storedMembers() {
        const QStringList keys =
            UsageJson::encode(window(QStringLiteral("w"), UsageWindowState::unknown)).keys();
        QCOMPARE(keys, (QStringList{QStringLiteral("id"), QStringLiteral("kind"),
                                    QStringLiteral("label"), QStringLiteral("observedAt"),
                                    QStringLiteral("providerID"), QStringLiteral("state")}));
        const QJsonObject full = UsageJson::encode(fullSnapshot(ProviderID::claude, t0));
        QCOMPARE(full.size(), 6);
        QCOMPARE(full.value(QStringLiteral("windows")).toArray().first().toObject().size(), 11);
    }

    void windowReading_data() {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QJsonValue>("value");  // Undefined removes the key
        QTest::addColumn<QString>("failure");   // empty: reads back equal to the base
        const QJsonValue removed(QJsonValue::Undefined);
        QTest::newRow("null optional is absent") << "usedPercent" << QJsonValue() << "";
        QTest::newRow("unknown key ignored") << "somethingNew" << QJsonValue(7) << "";
        QTest::newRow("missing label")
            << "label" << removed << "No value associated with key \"label\".";
        QTest::newRow("null required")
            << "label" << QJsonValue() << "Expected a value for key \"label\" but found null.";
        QTest::newRow("trailing blank in state")
            << "state" << QJsonValue("available ")
            << "Cannot initialize from invalid raw value \"available \".";
        QTest::newRow("state not a string")
            << "state" << QJsonValue(3) << "Expected a string but found a number instead.";
        QTest::newRow("instant as text")
            << "observedAt" << QJsonValue("now") << "Expected a number but found a string instead.";
        QTest::newRow("optional of wrong type")
            << "isActive" << QJsonValue(1) << "Expected a boolean but found a number instead.";
    }
    void windowReading() {
        QFETCH(QString, key);
        QFETCH(QJsonValue, value);
        QFETCH(QString, failure);
        QJsonObject base = parseObject(windowJson);
        const UsageWindowSnapshot expected = UsageJson::decodeWindow(base);
        QJsonObject changed = base;
        if (value.isUndefined()) {
            changed.remove(key);
        } else {
            changed.insert(key, value);
        }
        if (failure.isEmpty()) {
            auto withoutKey = expected;
            if (key == QStringLiteral("usedPercent")) {
                withoutKey.usedPercent.reset();
            }
            QCOMPARE(UsageJson::decodeWindow(changed), withoutKey);
        } else {
            QCOMPARE(decodeFailure([&] { UsageJson::decodeWindow(changed); }), failure);
        }
    }

    void roundTripIsExact() {
        // Instants from the system clock keep their full fraction, and numbers of every size
        // come back bit for bit.
        auto* random = QRandomGenerator::global();
        for (int i = 0; i < 200; ++i) {
            const Instant now = Instant::now().addingSeconds(random->generateDouble() * 1e-3);
            auto codex = fullSnapshot(ProviderID::codex, now);
            codex.windows[1].usedPercent = random->generateDouble() * std::pow(10.0, i % 40 - 20);
            codex.windows[2].resetAt =
                Instant::fromReferenceSeconds(-random->generateDouble() * 1e9);
            const QList<ProviderUsageSnapshot> written{codex, fullSnapshot(ProviderID::claude, now),
                                                       snapshot({}, ProviderID::claude)};
            const auto read = UsageJson::decodeSnapshots(UsageJson::encodeSnapshots(written));
            QCOMPARE(read, written);
        }
        QCOMPARE(UsageJson::encodeSnapshots({}), QByteArray("[]"));
    }

    void nonFiniteNumbersCannotBeWritten_data() {
        QTest::addColumn<double>("number");
        QTest::addColumn<int>("field");
        QTest::newRow("NaN used") << std::numeric_limits<double>::quiet_NaN() << 0;
        QTest::newRow("NaN reset") << std::numeric_limits<double>::quiet_NaN() << 1;
        QTest::newRow("-infinite observed") << -std::numeric_limits<double>::infinity() << 2;
    }
    void nonFiniteNumbersCannotBeWritten() {
        QFETCH(double, number);
        QFETCH(int, field);
        auto bad = fullSnapshot(ProviderID::codex, t0);
        switch (field) {
            case 0:
                bad.windows[3].usedPercent = number;
                break;
            case 1:
                bad.windows[3].resetAt = Instant::fromReferenceSeconds(number);
                break;
            default:
                bad.observedAt = Instant::fromReferenceSeconds(number);
        }
        QVERIFY_THROWS_EXCEPTION(VantorError, UsageJson::encodeSnapshots({bad}));
    }

    void snapshotListsFailAsAWhole_data() {
        QTest::addColumn<QByteArray>("json");
        QTest::newRow("not JSON") << QByteArray("[{");
        QTest::newRow("object keyed by provider")
            << QByteArray(R"({"codex":{"providerID":"codex"}})");
        QTest::newRow("one bad element")
            << QByteArray(R"([{"providerID":"codex","windows":[],"observedAt":1,)"
                          R"("sourceConfidence":"inferred"},{"providerID":"gemini","windows":[],)"
                          R"("observedAt":1,"sourceConfidence":"inferred"}])");
        QTest::newRow("windows not an array")
            << QByteArray(R"([{"providerID":"codex","windows":{},"observedAt":1,)"
                          R"("sourceConfidence":"inferred"}])");
        QTest::newRow("empty") << QByteArray();
    }
    void snapshotListsFailAsAWhole() {
        QFETCH(QByteArray, json);
        QVERIFY_THROWS_EXCEPTION(VantorError, UsageJson::decodeSnapshots(json));
    }

    void availabilityReading_data() {
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<QString>("expected");  // encoded form of the result, or the failure
        const QString wrongCount = QStringLiteral("Invalid number of keys found, expected one.");
        QTest::newRow("available") << QByteArray(R"({"available":{}})") << R"({"available":{}})";
        QTest::newRow("payload keys ignored")
            << QByteArray(R"({"notInstalled":{"x":1}})") << R"({"notInstalled":{}})";
        QTest::newRow("message") << QByteArray(R"({"temporarilyUnavailable":{"_0":"Later."}})")
                                 << R"({"temporarilyUnavailable":{"_0":"Later."}})";
        QTest::newRow("unknown key beside a case")
            << QByteArray(R"({"available":{},"extra":true})") << R"({"available":{}})";
        QTest::newRow("empty object") << QByteArray("{}") << wrongCount;
        QTest::newRow("two cases")
            << QByteArray(R"({"available":{},"unsupported":{}})") << wrongCount;
        QTest::newRow("only unknown keys") << QByteArray(R"({"ready":{}})") << wrongCount;
        QTest::newRow("message required") << QByteArray(R"({"temporarilyUnavailable":{}})")
                                          << "No value associated with key \"_0\".";
        QTest::newRow("payload not an object") << QByteArray(R"({"available":true})")
                                               << "Expected an object but found a boolean instead.";
    }
    void availabilityReading() {
        QFETCH(QByteArray, json);
        QFETCH(QString, expected);
        const QJsonObject object = QJsonDocument::fromJson(json).object();
        QString outcome;
        try {
            outcome = QString::fromUtf8(
                QJsonDocument(UsageJson::encode(UsageJson::decodeAvailability(object)))
                    .toJson(QJsonDocument::Compact));
        } catch (const VantorError& error) {
            outcome = error.description();
        }
        QCOMPARE(outcome, expected);
    }
};

QTEST_GUILESS_MAIN(UsageJsonTest)
#include "tst_UsageJson.moc"
