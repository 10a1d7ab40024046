#include "ProviderUsageSnapshot.h"
#include "UsageFixtures.h"
#include "UsageWindowKind.h"

#include <QTest>

using namespace UsageFixtures;
using State = UsageWindowState;

class UsageRecordsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void displayPercentClamps_data() {
        QTest::addColumn<double>("used");
        QTest::addColumn<double>("shown");
        QTest::newRow("below zero") << -5.0 << 0.0;
        QTest::newRow("inside") << 42.5 << 42.5;
        QTest::newRow("over") << 130.0 << 100.0;
    }
    void displayPercentClamps() {
        QFETCH(double, used);
        QFETCH(double, shown);
        QCOMPARE(window(QStringLiteral("w"), State::available, used).displayPercent(), shown);
    }

    void summaryWindowPicksFirstOfBestState_data() {
        QTest::addColumn<QList<int>>("states");
        QTest::addColumn<int>("expectedIndex");
        auto s = [](State state) { return static_cast<int>(state); };
        QTest::newRow("first of two exhausted")
            << QList<int>{s(State::available), s(State::exhausted), s(State::exhausted)} << 1;
        QTest::newRow("available beats unknown")
            << QList<int>{s(State::unknown), s(State::available)} << 1;
        QTest::newRow("nearing beats awaiting")
            << QList<int>{s(State::nearingLimit), s(State::awaitingResetConfirmation)} << 0;
        QTest::newRow("awaiting beats available")
            << QList<int>{s(State::available), s(State::awaitingResetConfirmation)} << 1;
        QTest::newRow("none") << QList<int>{} << -1;
    }
    void summaryWindowPicksFirstOfBestState() {
        QFETCH(QList<int>, states);
        QFETCH(int, expectedIndex);
        QList<UsageWindowSnapshot> windows;
        for (int i = 0; i < states.size(); ++i) {
            windows.append(window(QString::number(i), static_cast<State>(states[i]), 10.0 * i));
        }
        const auto summary = snapshot(windows).summaryWindow();
        if (expectedIndex < 0) {
            QVERIFY(!summary.has_value());
        } else {
            QVERIFY(summary.has_value());
            QCOMPARE(summary->id, QString::number(expectedIndex));
        }
    }

    void rawValuesAreExactCaseNames_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("kind");
        QTest::newRow("exact") << QStringLiteral("fiveHour") << 0;
        QTest::newRow("other letter case") << QStringLiteral("FiveHour") << -1;
        QTest::newRow("trailing blank") << QStringLiteral("weekly ") << -1;
    }
    void rawValuesAreExactCaseNames() {
        QFETCH(QString, text);
        QFETCH(int, kind);
        const auto parsed = fromRawValue<UsageWindowKind>(text);
        QCOMPARE(parsed.has_value(), kind >= 0);
        if (parsed) {
            QCOMPARE(static_cast<int>(*parsed), kind);
            QCOMPARE(rawValue(*parsed), text);
        }
    }

    void instantsConvertBetweenEpochs() {
        const Instant instant = Instant::fromUnixSeconds(1796552632);
        QCOMPARE(instant.secondsSinceReferenceDate(), 1796552632.0 - 978307200.0);
        QCOMPARE(instant.toDateTime(), QDateTime(QDate(2026, 12, 6), QTime(10, 23, 52), Qt::UTC));
        QCOMPARE(Instant::fromDateTime(instant.toDateTime()), instant);
        QVERIFY(!Instant::fromReferenceSeconds(std::numeric_limits<double>::quiet_NaN())
                     .toDateTime()
                     .isValid());
    }
};

QTEST_GUILESS_MAIN(UsageRecordsTest)
#include "tst_UsageRecords.moc"
