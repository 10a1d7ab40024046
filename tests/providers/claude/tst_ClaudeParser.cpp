#include "ClaudeParser.h"
#include "VantorError.h"

#include <QFile>
#include <QJsonParseError>
#include <QTest>

#include <cmath>

namespace {

const Instant now = Instant::fromReferenceSeconds(800'000'000.0);
constexpr double noReset = std::numeric_limits<double>::quiet_NaN();

// "id kind label used state" for each window, in order, so rows compare in one line.
QStringList describe(const ProviderUsageSnapshot& snapshot) {
    QStringList lines;
    for (const UsageWindowSnapshot& w : snapshot.windows) {
        lines.append(QStringLiteral("%1 %2 %3 %4 %5")
                         .arg(w.id, rawValue(w.kind), w.label,
                              QString::number(w.usedPercent.value_or(-1)), rawValue(w.state)));
    }
    return lines;
}

QString failure(const QByteArray& body) {
    try {
        ClaudeParser::parse(body, now);
    } catch (const VantorError& error) {
        return error.domain() + QLatin1Char('/') + QString::number(error.code());
    }
    return QStringLiteral("<parsed>");
}

}  // namespace

class ClaudeParserTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void namedWindows() {
        const auto snapshot = ClaudeParser::parse(
            R"({"five_hour":{"utilization":42.5,"resets_at":"2025-06-01T12:00:00Z"},)"
            R"("seven_day":{"utilization":91}})",
            now);
        QCOMPARE(snapshot.sourceConfidence, UsageSourceConfidence::providerInternal);
        QCOMPARE(describe(snapshot),
                 (QStringList{QStringLiteral("claude.five_hour fiveHour 5 hour 42.5 available"),
                              QStringLiteral("claude.seven_day weekly Weekly 91 nearingLimit")}));
        const UsageWindowSnapshot& five = snapshot.windows.at(0);
        QCOMPARE(five.resetAt, Instant::fromUnixSeconds(1748779200.0));
        QCOMPARE(five.observedAt, now);
        QVERIFY(!snapshot.windows.at(1).resetAt);
    }

    // The body the real endpoint sends: microseconds, "+00:00", null windows and extras.
    void recordedBody() {
        QFile file(QStringLiteral(CLAUDE_TEST_DATA "/usage-response.json"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const auto snapshot = ClaudeParser::parse(file.readAll(), now);
        QCOMPARE(describe(snapshot),
                 (QStringList{QStringLiteral("claude.five_hour fiveHour 5 hour 37 available"),
                              QStringLiteral("claude.seven_day weekly Weekly 26 available")}));
        QCOMPARE(snapshot.windows.at(0).resetAt, Instant::fromUnixSeconds(1773118799.0));
        QVERIFY(std::abs(snapshot.windows.at(1).resetAt->unixSeconds() - 1773586799.771647) < 1e-6);
    }

    void resetTime_data() {
        QTest::addColumn<QByteArray>("members");
        QTest::addColumn<double>("unixSeconds");
        const auto row = [](const char* name, const QByteArray& members, double seconds) {
            QTest::newRow(name) << members << seconds;
        };
        const auto at = [](const char* text) {
            return "\"resets_at\":\"" + QByteArray(text) + "\"";
        };
        const double noon = 1748779200.0;  // 2025-06-01T12:00:00Z
        row("milliseconds", at("2025-06-01T12:00:00.250Z"), noon + 0.25);
        row("microseconds, +00:00", at("2025-06-01T12:00:00.000000+00:00"), noon);
        row("many digits", at("2025-06-01T12:00:00.5000000000000001Z"), noon + 0.5);
        row("positive offset", at("2025-06-01T14:30:00+02:30"), noon);
        row("negative offset", at("2025-06-01T07:00:00-05:00"), noon);
        row("unix seconds", R"("resets_at":90.5)", 90.5);
        row("resetsAt stands in", R"("resetsAt":"2025-06-01T12:00:00Z")", noon);
        row("null hides resetsAt", R"("resets_at":null,"resetsAt":"2025-06-01T12:00:00Z")",
            noReset);
        row("no reset", R"("other":1)", noReset);
        row("boolean", R"("resets_at":true)", noReset);
        row("no zone", at("2025-06-01T12:00:00"), noReset);
        row("space for T", at("2025-06-01 12:00:00Z"), noReset);
        row("offset without colon", at("2025-06-01T12:00:00+0000"), noReset);
        row("dot without digits", at("2025-06-01T12:00:00.Z"), noReset);
        row("30 February", at("2025-02-30T12:00:00Z"), noReset);
        row("hour 24", at("2025-06-01T24:00:00Z"), noReset);
        row("offset hour 24", at("2025-06-01T12:00:00+24:00"), noReset);
        row("trailing text", at("2025-06-01T12:00:00Z "), noReset);
        row("non-ASCII digit", at("2025-06-01T12:00:0\\u0661Z"), noReset);
    }

    void resetTime() {
        QFETCH(QByteArray, members);
        QFETCH(double, unixSeconds);
        const auto snapshot =
            ClaudeParser::parse(R"({"five_hour":{"utilization":1,)" + members + "}}", now);
        QCOMPARE(snapshot.windows.size(), 1);  // an unusable reset never drops the window
        const std::optional<Instant> resetAt = snapshot.windows.at(0).resetAt;
        if (std::isnan(unixSeconds)) {
            QVERIFY2(!resetAt, qPrintable(QString::number(resetAt->unixSeconds(), 'f')));
        } else {
            QVERIFY(resetAt);
            QVERIFY2(std::abs(resetAt->unixSeconds() - unixSeconds) < 1e-6,
                     qPrintable(QString::number(resetAt->unixSeconds(), 'f')));
        }
    }

    void usedPercent_data() {
        QTest::addColumn<QByteArray>("utilization");
        QTest::addColumn<QString>("state");  // empty: no window
        QTest::newRow("just below nearing") << QByteArray("89.999") << "available";
        QTest::newRow("nearing at 90") << QByteArray("90") << "nearingLimit";
        QTest::newRow("exhausted at 100") << QByteArray("100.0") << "exhausted";
        QTest::newRow("above 100 kept") << QByteArray("137.5") << "exhausted";
        QTest::newRow("negative kept") << QByteArray("-3") << "available";
        QTest::newRow("null") << QByteArray("null") << "";
        QTest::newRow("text") << QByteArray(R"("50")") << "";
    }

    void usedPercent() {
        QFETCH(QByteArray, utilization);
        QFETCH(QString, state);
        const auto snapshot =
            ClaudeParser::parse(R"({"seven_day":{"utilization":)" + utilization + "}}", now);
        if (state.isEmpty()) {
            QVERIFY(snapshot.windows.isEmpty());
            QCOMPARE(snapshot.sourceConfidence, UsageSourceConfidence::unavailable);
            return;
        }
        QCOMPARE(snapshot.windows.size(), 1);
        QCOMPARE(rawValue(snapshot.windows.at(0).state), state);
        QCOMPARE(*snapshot.windows.at(0).usedPercent, utilization.toDouble());
    }

    void windowShapes_data() {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QStringList>("windows");
        QTest::newRow("limits win over named members")
            << QByteArray(R"({"limits":[{"utilization":10,"window_duration_mins":300},)"
                          R"({"percent":50},)"
                          R"({"utilization":100,"window_duration_mins":10080}],)"
                          R"("five_hour":{"utilization":1}})")
            << QStringList{QStringLiteral("claude.limit.0 fiveHour 5 hour 10 available"),
                           QStringLiteral("claude.limit.2 other Additional limit 100 exhausted")};
        QTest::newRow("duration must be the number 300")
            << QByteArray(R"({"limits":[{"utilization":1,"window_duration_mins":"300"},)"
                          R"({"utilization":2,"window_duration_mins":300.5},)"
                          R"({"utilization":3,"window_duration_mins":300.0}]})")
            << QStringList{QStringLiteral("claude.limit.0 other Additional limit 1 available"),
                           QStringLiteral("claude.limit.1 other Additional limit 2 available"),
                           QStringLiteral("claude.limit.2 fiveHour 5 hour 3 available")};
        QTest::newRow("empty limits fall back")
            << QByteArray(R"({"limits":[],"seven_day":{"utilization":5}})")
            << QStringList{QStringLiteral("claude.seven_day weekly Weekly 5 available")};
        // The shape the endpoint uses for "limits" today: rows with "percent".
        QTest::newRow("limits without utilization fall back")
            << QByteArray(R"({"limits":[{"percent":80}],"five_hour":{"utilization":6}})")
            << QStringList{QStringLiteral("claude.five_hour fiveHour 5 hour 6 available")};
        QTest::newRow("limits of numbers ignored")
            << QByteArray(R"({"limits":[{"utilization":9},3],"five_hour":{"utilization":7}})")
            << QStringList{QStringLiteral("claude.five_hour fiveHour 5 hour 7 available")};
        QTest::newRow("limits not an array")
            << QByteArray(R"({"limits":{"utilization":9},"seven_day":{"utilization":8}})")
            << QStringList{QStringLiteral("claude.seven_day weekly Weekly 8 available")};
        QTest::newRow("null and wrongly typed windows")
            << QByteArray(R"({"five_hour":null,"seven_day":[{"utilization":8}]})") << QStringList{};
        QTest::newRow("empty object") << QByteArray("{}") << QStringList{};
    }

    void windowShapes() {
        QFETCH(QByteArray, body);
        QFETCH(QStringList, windows);
        const auto snapshot = ClaudeParser::parse(body, now);
        QCOMPARE(describe(snapshot), windows);
        QCOMPARE(snapshot.sourceConfidence, windows.isEmpty()
                                                ? UsageSourceConfidence::unavailable
                                                : UsageSourceConfidence::providerInternal);
    }

    void unusableBodies_data() {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QString>("failure");
        const QString malformed = QStringLiteral("ProviderError/%1")
                                      .arg(static_cast<int>(ProviderError::malformedResponse));
        QTest::newRow("array") << QByteArray(R"([{"five_hour":{"utilization":1}}])") << malformed;
        QTest::newRow("empty body")
            << QByteArray()
            << QStringLiteral("QJsonParseError/%1").arg(QJsonParseError::IllegalValue);
        QTest::newRow("HTML error page")
            << QByteArray("<html>Bad gateway</html>")
            << QStringLiteral("QJsonParseError/%1").arg(QJsonParseError::IllegalValue);
        QTest::newRow("cut short")
            << QByteArray(R"({"five_hour":{"utilization":1})")
            << QStringLiteral("QJsonParseError/%1").arg(QJsonParseError::UnterminatedObject);
    }

    void unusableBodies() {
        QFETCH(QByteArray, body);
        QFETCH(QString, failure);
        QCOMPARE(::failure(body), failure);
    }
};

QTEST_GUILESS_MAIN(ClaudeParserTest)
#include "tst_ClaudeParser.moc"
