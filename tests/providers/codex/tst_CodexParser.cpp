#include "CodexParser.h"

#include <QFile>
#include <QJsonDocument>
#include <QTest>

#include <limits>

namespace {

const Instant now = Instant::fromReferenceSeconds(820'000'000.0);

QJsonObject object(const char* json) {
    return QJsonDocument::fromJson(QByteArray(json)).object();
}

}  // namespace

class CodexParserTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void emptyResultIsAnAuthoritativeEmptySnapshot() {
        const ProviderUsageSnapshot snapshot = CodexParser::parse({}, now);
        QCOMPARE(snapshot.providerID, ProviderID::codex);
        QVERIFY(snapshot.windows.isEmpty());
        QCOMPARE(snapshot.ordinaryUsageAllowed, std::nullopt);
        QCOMPARE(snapshot.globalLimitReason, std::nullopt);
        QCOMPARE(snapshot.observedAt, now);
        QCOMPARE(snapshot.sourceConfidence, UsageSourceConfidence::authoritative);
    }

    void singleBucketWindowIsFilledCompletely() {
        const auto snapshot = CodexParser::parse(
            object(R"({"rateLimits":{"primary":{"usedPercent":12,"windowDurationMins":300,)"
                   R"("resetsAt":600}}})"),
            now);
        QCOMPARE(snapshot.windows.size(), 1);
        const UsageWindowSnapshot expected{.id = QStringLiteral("codex.default.primary"),
                                           .providerID = ProviderID::codex,
                                           .providerWindowID = QStringLiteral("default"),
                                           .kind = UsageWindowKind::fiveHour,
                                           .label = QStringLiteral("5 hour"),
                                           .usedPercent = 12.0,
                                           .resetAt = Instant::fromUnixSeconds(600),
                                           .observedAt = now,
                                           .state = UsageWindowState::available,
                                           .isActive = std::nullopt,
                                           .serverSeverity = std::nullopt};
        QCOMPARE(snapshot.windows.first(), expected);
    }

    // The result the real app-server gave for a signed-in account, unknown members and all.
    void recordedResultGivesEveryBucketInLimitIdOrder() {
        QFile file(QStringLiteral(VANTOR_CODEX_DATA_DIR "/rate-limits-logged-in.json"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const auto snapshot =
            CodexParser::parse(QJsonDocument::fromJson(file.readAll()).object(), now);
        QStringList ids;
        for (const auto& window : snapshot.windows) {
            ids.append(window.id);
        }
        QCOMPARE(ids, QStringList({QStringLiteral("codex.codex.primary"),
                                   QStringLiteral("codex.codex.secondary"),
                                   QStringLiteral("codex.codex_bengalfox.primary")}));
        QCOMPARE(snapshot.windows[1].kind, UsageWindowKind::weekly);
        QCOMPARE(snapshot.windows[1].usedPercent, 7.0);
        QCOMPARE(snapshot.windows[1].resetAt, Instant::fromUnixSeconds(1796635432));
        QCOMPARE(snapshot.windows[2].providerWindowID, QStringLiteral("codex_bengalfox"));
        QCOMPARE(snapshot.ordinaryUsageAllowed, std::nullopt);
        QCOMPARE(snapshot.globalLimitReason, std::nullopt);
    }

    void bucketChoice_data() {
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<QStringList>("ids");
        const QByteArray fallback = R"("rateLimits":{"primary":{"usedPercent":1}})";
        QTest::newRow("by-id empty falls back")
            << R"({"rateLimitsByLimitId":{},)" + fallback + '}'
            << QStringList{QStringLiteral("codex.default.primary")};
        QTest::newRow("by-id without objects falls back")
            << R"({"rateLimitsByLimitId":{"a":1,"b":null,"c":[]},)" + fallback + '}'
            << QStringList{QStringLiteral("codex.default.primary")};
        QTest::newRow("by-id not an object falls back")
            << R"({"rateLimitsByLimitId":[{"primary":{"usedPercent":1}}],)" + fallback + '}'
            << QStringList{QStringLiteral("codex.default.primary")};
        QTest::newRow("one object bucket ignores rateLimits")
            << R"({"rateLimitsByLimitId":{"x":1,"L":{"secondary":{"usedPercent":5}}},)" + fallback +
                   '}'
            << QStringList{QStringLiteral("codex.L.secondary")};
        QTest::newRow("buckets by ascending id, primary first")
            << QByteArray(R"({"rateLimitsByLimitId":{"zeta":{"secondary":{"usedPercent":2},)"
                          R"("primary":{"usedPercent":1}},"alpha":{"primary":{"usedPercent":3}}}})")
            << QStringList{QStringLiteral("codex.alpha.primary"),
                           QStringLiteral("codex.zeta.primary"),
                           QStringLiteral("codex.zeta.secondary")};
        QTest::newRow("rateLimits not an object")
            << QByteArray(R"({"rateLimits":"none"})") << QStringList{};
        QTest::newRow("window not an object")
            << QByteArray(R"({"rateLimits":{"primary":null,"secondary":[1]}})") << QStringList{};
    }
    void bucketChoice() {
        QFETCH(QByteArray, json);
        QFETCH(QStringList, ids);
        const auto snapshot = CodexParser::parse(QJsonDocument::fromJson(json).object(), now);
        QStringList found;
        for (const auto& window : snapshot.windows) {
            found.append(window.id);
            QCOMPARE(window.providerWindowID, window.id.section(u'.', 1, 1));
        }
        QCOMPARE(found, ids);
    }

    void windowFields_data() {
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<bool>("exists");
        QTest::addColumn<UsageWindowKind>("kind");
        QTest::addColumn<QString>("label");
        QTest::addColumn<double>("used");
        QTest::addColumn<UsageWindowState>("state");
        QTest::addColumn<bool>("hasReset");
        const auto fiveHour = UsageWindowKind::fiveHour;
        const auto other = UsageWindowKind::other;
        const QString fiveHourLabel = QStringLiteral("5 hour");
        const QString otherLabel = QStringLiteral("Additional limit");
        QTest::newRow("weekly") << QByteArray(R"({"usedPercent":5,"windowDurationMins":10080})")
                                << true << UsageWindowKind::weekly << QStringLiteral("Weekly")
                                << 5.0 << UsageWindowState::available << false;
        QTest::newRow("fraction above weekly truncates")
            << QByteArray(R"({"usedPercent":5,"windowDurationMins":10080.9})") << true
            << UsageWindowKind::weekly << QStringLiteral("Weekly") << 5.0
            << UsageWindowState::available << false;
        QTest::newRow("fraction below five hours is other")
            << QByteArray(R"({"usedPercent":5,"windowDurationMins":299.9})") << true << other
            << otherLabel << 5.0 << UsageWindowState::available << false;
        QTest::newRow("one day") << QByteArray(R"({"usedPercent":5,"windowDurationMins":1440})")
                                 << true << other << otherLabel << 5.0
                                 << UsageWindowState::available << false;
        QTest::newRow("duration null")
            << QByteArray(R"({"usedPercent":5,"windowDurationMins":null})") << true << other
            << otherLabel << 5.0 << UsageWindowState::available << false;
        QTest::newRow("duration beyond 64 bits")
            << QByteArray(R"({"usedPercent":5,"windowDurationMins":1e300})") << true << other
            << otherLabel << 5.0 << UsageWindowState::available << false;
        QTest::newRow("used as text drops the window")
            << QByteArray(R"({"usedPercent":"50","windowDurationMins":300})") << false << fiveHour
            << fiveHourLabel << 0.0 << UsageWindowState::available << false;
        QTest::newRow("used missing drops the window")
            << QByteArray(R"({"windowDurationMins":300})") << false << fiveHour << fiveHourLabel
            << 0.0 << UsageWindowState::available << false;
        QTest::newRow("used true is one")
            << QByteArray(R"({"usedPercent":true,"windowDurationMins":300})") << true << fiveHour
            << fiveHourLabel << 1.0 << UsageWindowState::available << false;
        QTest::newRow("89.99 available")
            << QByteArray(R"({"usedPercent":89.99,"windowDurationMins":300,"resetsAt":1.5})")
            << true << fiveHour << fiveHourLabel << 89.99 << UsageWindowState::available << true;
        QTest::newRow("90 nearing")
            << QByteArray(R"({"usedPercent":90,"windowDurationMins":300})") << true << fiveHour
            << fiveHourLabel << 90.0 << UsageWindowState::nearingLimit << false;
        QTest::newRow("100 exhausted")
            << QByteArray(R"({"usedPercent":100,"windowDurationMins":300})") << true << fiveHour
            << fiveHourLabel << 100.0 << UsageWindowState::exhausted << false;
        QTest::newRow("130 exhausted, not clamped")
            << QByteArray(R"({"usedPercent":130,"windowDurationMins":300})") << true << fiveHour
            << fiveHourLabel << 130.0 << UsageWindowState::exhausted << false;
        QTest::newRow("negative kept")
            << QByteArray(R"({"usedPercent":-4,"windowDurationMins":300})") << true << fiveHour
            << fiveHourLabel << -4.0 << UsageWindowState::available << false;
        QTest::newRow("reset as text keeps the window")
            << QByteArray(R"({"usedPercent":5,"windowDurationMins":300,"resetsAt":"600"})") << true
            << fiveHour << fiveHourLabel << 5.0 << UsageWindowState::available << false;
    }
    void windowFields() {
        QFETCH(QByteArray, json);
        QFETCH(bool, exists);
        const auto window =
            CodexParser::window(QJsonDocument::fromJson(json).object(), QStringLiteral("b"),
                                QStringLiteral("primary"), now);
        QCOMPARE(window.has_value(), exists);
        if (!exists) {
            return;
        }
        QFETCH(UsageWindowKind, kind);
        QFETCH(QString, label);
        QFETCH(double, used);
        QFETCH(UsageWindowState, state);
        QFETCH(bool, hasReset);
        QCOMPARE(window->kind, kind);
        QCOMPARE(window->label, label);
        QCOMPARE(window->usedPercent, used);
        QCOMPARE(window->state, state);
        QCOMPARE(window->resetAt.has_value(), hasReset);
        QCOMPARE(window->id, QStringLiteral("codex.b.primary"));
        QCOMPARE(window->observedAt, now);
    }

    void numbers_data() {
        QTest::addColumn<QJsonValue>("value");
        QTest::addColumn<std::optional<double>>("expected");
        QTest::newRow("integer") << QJsonValue(42) << std::optional<double>(42.0);
        QTest::newRow("fraction") << QJsonValue(0.25) << std::optional<double>(0.25);
        QTest::newRow("false") << QJsonValue(false) << std::optional<double>(0.0);
        QTest::newRow("text") << QJsonValue(QStringLiteral("42")) << std::optional<double>();
        QTest::newRow("null") << QJsonValue(QJsonValue::Null) << std::optional<double>();
        QTest::newRow("absent") << QJsonValue(QJsonValue::Undefined) << std::optional<double>();
        QTest::newRow("infinite") << QJsonValue(std::numeric_limits<double>::infinity())
                                  << std::optional<double>();
    }
    void numbers() {
        QFETCH(QJsonValue, value);
        QFETCH(std::optional<double>, expected);
        QCOMPARE(CodexParser::number(value), expected);
    }

    void topLevelMembers_data() {
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<std::optional<bool>>("allowed");
        QTest::addColumn<std::optional<QString>>("reason");
        const QByteArray buckets =
            R"("rateLimitsByLimitId":{"b":{"rateLimitReachedType":"second"},)"
            R"("a":{"rateLimitReachedType":"first"}})";
        QTest::newRow("false carried") << QByteArray(R"({"ordinaryUsageAllowed":false})")
                                       << std::optional<bool>(false) << std::optional<QString>();
        QTest::newRow("text is no value") << QByteArray(R"({"ordinaryUsageAllowed":"no"})")
                                          << std::optional<bool>() << std::optional<QString>();
        QTest::newRow("top-level reason wins")
            << R"({"rateLimitReachedType":"top",)" + buckets + '}' << std::optional<bool>()
            << std::optional<QString>(QStringLiteral("top"));
        QTest::newRow("non-text top-level falls to first bucket")
            << R"({"rateLimitReachedType":7,)" + buckets + '}' << std::optional<bool>()
            << std::optional<QString>(QStringLiteral("first"));
        QTest::newRow("single bucket reason")
            << QByteArray(R"({"rateLimits":{"rateLimitReachedType":"workspace"}})")
            << std::optional<bool>() << std::optional<QString>(QStringLiteral("workspace"));
        QTest::newRow("null everywhere")
            << QByteArray(
                   R"({"rateLimitReachedType":null,"rateLimits":{"rateLimitReachedType":null}})")
            << std::optional<bool>() << std::optional<QString>();
    }
    void topLevelMembers() {
        QFETCH(QByteArray, json);
        QFETCH(std::optional<bool>, allowed);
        QFETCH(std::optional<QString>, reason);
        const auto snapshot = CodexParser::parse(QJsonDocument::fromJson(json).object(), now);
        QCOMPARE(snapshot.ordinaryUsageAllowed, allowed);
        QCOMPARE(snapshot.globalLimitReason, reason);
    }
};

QTEST_GUILESS_MAIN(CodexParserTest)
#include "tst_CodexParser.moc"
