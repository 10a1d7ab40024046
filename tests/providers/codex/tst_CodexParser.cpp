#include "CodexParser.h"

#include <QFile>
#include <QJsonDocument>
#include <QTest>

#include <limits>

namespace {

const Instant now = Instant::fromReferenceSeconds(820'000'000.0);

ProviderUsageSnapshot parse(const QByteArray& json) {
    return CodexParser::parse(QJsonDocument::fromJson(json).object(), now);
}

QStringList ids(const ProviderUsageSnapshot& snapshot) {
    QStringList found;
    for (const auto& window : snapshot.windows) {
        found.append(window.id);
    }
    return found;
}

}  // namespace

class CodexParserTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void singleBucketWindowIsFilledCompletely() {
        const auto snapshot = parse(R"({"rateLimits":{"primary":{"usedPercent":12,)"
                                    R"("windowDurationMins":300,"resetsAt":600}}})");
        QCOMPARE(snapshot.sourceConfidence, UsageSourceConfidence::authoritative);
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
        const auto snapshot = parse(file.readAll());
        QCOMPARE(ids(snapshot), QStringList({QStringLiteral("codex.codex.primary"),
                                             QStringLiteral("codex.codex.secondary"),
                                             QStringLiteral("codex.codex_bengalfox.primary")}));
        QCOMPARE(snapshot.windows[1].kind, UsageWindowKind::weekly);
        QCOMPARE(snapshot.windows[1].resetAt, Instant::fromUnixSeconds(1796635432));
        QCOMPARE(snapshot.windows[2].providerWindowID, QStringLiteral("codex_bengalfox"));
    }

    void bucketChoice_data() {
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<QStringList>("ids");
        const QByteArray fallback = R"("rateLimits":{"primary":{"usedPercent":1}})";
        const QStringList fallen{QStringLiteral("codex.default.primary")};
        QTest::newRow("by-id empty") << R"({"rateLimitsByLimitId":{},)" + fallback + '}' << fallen;
        QTest::newRow("by-id without objects")
            << R"({"rateLimitsByLimitId":{"a":1,"b":null,"c":[]},)" + fallback + '}' << fallen;
        QTest::newRow("by-id not an object")
            << R"({"rateLimitsByLimitId":[{"primary":{"usedPercent":1}}],)" + fallback + '}'
            << fallen;
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
        const auto snapshot = parse(json);
        for (const auto& window : snapshot.windows) {
            QCOMPARE(window.providerWindowID, window.id.section(u'.', 1, 1));
        }
        QCOMPARE(::ids(snapshot), ids);
    }

    // "kind|label|used|state|reset?" of the one window, or empty when it is dropped.
    void windowFields_data() {
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<QString>("window");
        // usedPercent (left out when null), windowDurationMins, then any further members.
        const auto row = [](const char* name, const char* used, const char* minutes,
                            const char* window, const char* more = "") {
            QTest::newRow(name) << (used ? "{\"usedPercent\":" + QByteArray(used) + ',' : "{") +
                                       "\"windowDurationMins\":" + minutes + more + '}'
                                << QString::fromUtf8(window);
        };
        const char* other = "other|Additional limit|5|available|";
        row("weekly", "5", "10080", "weekly|Weekly|5|available|");
        row("fraction above weekly truncates", "5", "10080.9", "weekly|Weekly|5|available|");
        row("fraction below five hours", "5", "299.9", other);
        row("duration null", "5", "null", other);
        row("duration beyond 64 bits", "5", "1e300", other);
        row("used as text drops the window", "\"50\"", "300", "");
        row("used missing drops the window", nullptr, "300", "");
        row("used true is one", "true", "300", "fiveHour|5 hour|1|available|");
        row("89.99 available", "89.99", "300", "fiveHour|5 hour|89.99|available|reset",
            ",\"resetsAt\":1.5");
        row("90 nearing", "90", "300", "fiveHour|5 hour|90|nearingLimit|");
        row("100 exhausted", "100", "300", "fiveHour|5 hour|100|exhausted|");
        row("130 exhausted, not clamped", "130", "300", "fiveHour|5 hour|130|exhausted|");
        row("reset as text keeps the window", "-4", "300", "fiveHour|5 hour|-4|available|",
            ",\"resetsAt\":\"600\"");
    }
    void windowFields() {
        QFETCH(QByteArray, json);
        QFETCH(QString, window);
        const auto found = CodexParser::window(QJsonDocument::fromJson(json).object(),
                                               QStringLiteral("b"), QStringLiteral("primary"), now);
        const QString described =
            found ? QStringList{rawValue(found->kind), found->label,
                                QString::number(*found->usedPercent), rawValue(found->state),
                                found->resetAt ? QStringLiteral("reset") : QString()}
                        .join(u'|')
                  : QString();
        QCOMPARE(described, window);
        QVERIFY(!found || found->id == QStringLiteral("codex.b.primary"));
    }

    void numbers_data() {
        QTest::addColumn<QJsonValue>("value");
        QTest::addColumn<std::optional<double>>("expected");
        QTest::newRow("fraction") << QJsonValue(0.25) << std::optional<double>(0.25);
        QTest::newRow("false") << QJsonValue(false) << std::optional<double>(0.0);
        QTest::newRow("text") << QJsonValue(QStringLiteral("42")) << std::optional<double>();
        QTest::newRow("null") << QJsonValue(QJsonValue::Null) << std::optional<double>();
        QTest::newRow("infinite") << QJsonValue(std::numeric_limits<double>::infinity())
                                  << std::optional<double>();
    }
    void numbers() {
        QFETCH(QJsonValue, value);
        QFETCH(std::optional<double>, expected);
        QCOMPARE(CodexParser::number(value), expected);
    }

    // "allowed|reason", empty where there is no value.
    void topLevelMembers_data() {
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<QString>("members");
        const QByteArray buckets =
            R"("rateLimitsByLimitId":{"b":{"rateLimitReachedType":"second"},)"
            R"("a":{"rateLimitReachedType":"first"}})";
        QTest::newRow("empty") << QByteArray("{}") << "|";
        QTest::newRow("false carried")
            << QByteArray(R"({"ordinaryUsageAllowed":false})") << "false|";
        QTest::newRow("text is no value") << QByteArray(R"({"ordinaryUsageAllowed":"no"})") << "|";
        QTest::newRow("top-level reason wins")
            << R"({"rateLimitReachedType":"top",)" + buckets + '}' << "|top";
        QTest::newRow("non-text top-level falls to first bucket")
            << R"({"rateLimitReachedType":7,)" + buckets + '}' << "|first";
        QTest::newRow("single bucket reason")
            << QByteArray(R"({"rateLimits":{"rateLimitReachedType":"workspace"}})") << "|workspace";
    }
    void topLevelMembers() {
        QFETCH(QByteArray, json);
        QFETCH(QString, members);
        const auto snapshot = parse(json);
        const auto allowed = snapshot.ordinaryUsageAllowed;
        QCOMPARE((allowed ? QString::fromLatin1(*allowed ? "true" : "false") : QString()) + u'|' +
                     snapshot.globalLimitReason.value_or(QString()),
                 members);
    }
};

QTEST_GUILESS_MAIN(CodexParserTest)
#include "tst_CodexParser.moc"
