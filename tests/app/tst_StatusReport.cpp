#include "StatusReport.h"
#include "UsageFixtures.h"
#include "UsageJson.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

using namespace UsageFixtures;

Q_DECLARE_METATYPE(StatusReport)

namespace {

const Instant now = t0;
const Instant inTwelveMinutes = t0.addingSeconds(12 * 60);

StatusReport report(SnapshotMap snapshots, AvailabilityMap availability = {}) {
    return StatusReport{std::move(snapshots), std::move(availability)};
}

}  // namespace

class StatusReportTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void lines_data() {
        QTest::addColumn<StatusReport>("report");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("waybar");
        QTest::newRow("nothing known")
            << report({}) << QStringLiteral("Codex: Not detected\nClaude Code: Not detected")
            << QByteArray(
                   "{\"class\":\"unavailable\",\"text\":\"Vantor\","
                   "\"tooltip\":\"Codex: Not detected\\nClaude "
                   "Code: Not detected\"}");
        QTest::newRow("headline window, and an availability instead of a snapshot")
            << report({{ProviderID::codex,
                        snapshot({window(QStringLiteral("codex.5h"), UsageWindowState::available,
                                         42, inTwelveMinutes)})}},
                      {{ProviderID::codex, ProviderAvailability::available()},
                       {ProviderID::claude, ProviderAvailability::notAuthenticated()}})
            << QStringLiteral("Codex: 5h 58% left, resets 12 min\nClaude Code: Sign in required")
            << QByteArray(
                   "{\"class\":\"normal\",\"percentage\":58,\"text\":\"Codex 58%\","
                   "\"tooltip\":\"Codex: 5h 58% left, resets 12 min\\nClaude Code: Sign in "
                   "required\"}");
        QTest::newRow("the worst window leads; use beyond the limit shows nothing left")
            << report(
                   {{ProviderID::codex,
                     snapshot(
                         {window(QStringLiteral("codex.a"), UsageWindowState::available, 5),
                          window(QStringLiteral("codex.b"), UsageWindowState::exhausted, 130)})},
                    {ProviderID::claude,
                     snapshot({window(QStringLiteral("claude.x"), UsageWindowState::unknown)},
                              ProviderID::claude)}},
                   {{ProviderID::claude, ProviderAvailability::temporarilyUnavailable(
                                             QStringLiteral("Usage data couldn't be refreshed."))}})
            << QStringLiteral("Codex: 5h 0% left\nClaude Code: 5h use unknown")
            << QByteArray(
                   "{\"class\":\"exhausted\",\"percentage\":0,\"text\":\"Codex 0%\","
                   "\"tooltip\":\"Codex: 5h 0% left\\nClaude Code: 5h use unknown\"}");
        QTest::newRow("an availability message stands in for an empty snapshot")
            << report(
                   {{ProviderID::codex, snapshot({})}},
                   {{ProviderID::codex, ProviderAvailability::temporarilyUnavailable(
                                            QStringLiteral("Usage data couldn't be refreshed."))},
                    {ProviderID::claude, ProviderAvailability::requiresProPlan()}})
            << QStringLiteral(
                   "Codex: Usage data couldn't be refreshed.\nClaude Code: Upgrade to Pro")
            << QByteArray(
                   "{\"class\":\"unavailable\",\"text\":\"Vantor\",\"tooltip\":\"Codex: Usage "
                   "data couldn't be refreshed.\\nClaude Code: Upgrade to Pro\"}");
    }
    void lines() {
        QFETCH(StatusReport, report);
        QFETCH(QString, text);
        QFETCH(QByteArray, waybar);
        const QLocale locale(QLocale::English, QLocale::UnitedStates);
        QCOMPARE(report.text(now, locale), text);
        QCOMPARE(report.waybar(now, locale), waybar);
    }

    // The JSON holds the records in their stored form, so a script can decode them back.
    void jsonRoundTrips() {
        const ProviderUsageSnapshot codex = snapshot(
            {window(QStringLiteral("codex.5h"), UsageWindowState::available, 42, inTwelveMinutes)});
        const StatusReport status =
            report({{ProviderID::codex, codex}},
                   {{ProviderID::claude, ProviderAvailability::notInstalled()}});
        const QJsonObject object = QJsonDocument::fromJson(status.json()).object();
        QCOMPARE(object.keys(),
                 (QStringList{QStringLiteral("availability"), QStringLiteral("snapshots")}));
        const QJsonArray snapshots = object.value(QStringLiteral("snapshots")).toArray();
        QCOMPARE(snapshots.size(), 1);
        QCOMPARE(UsageJson::decodeSnapshot(snapshots.at(0)), codex);
        const QJsonObject availability = object.value(QStringLiteral("availability")).toObject();
        QCOMPARE(availability.keys(), QStringList{QStringLiteral("claude")});
        QCOMPARE(UsageJson::decodeAvailability(availability.value(QStringLiteral("claude"))),
                 ProviderAvailability::notInstalled());
    }
};

QTEST_GUILESS_MAIN(StatusReportTest)
#include "tst_StatusReport.moc"
