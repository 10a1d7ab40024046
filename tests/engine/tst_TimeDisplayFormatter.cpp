#include "TimeDisplayFormatter.h"

#include <QTest>
#include <QTimeZone>

// The test runs with TZ=America/New_York (see CMakeLists.txt), so local times are fixed.
namespace {
QDateTime local(int month, int day, int hour, int minute, int second = 0) {
    return QDateTime(QDate(2026, month, day), QTime(hour, minute, second),
                     QTimeZone("America/New_York"));
}
}  // namespace

class TimeDisplayFormatterTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void resetText_data() {
        QTest::addColumn<QDateTime>("now");
        QTest::addColumn<QDateTime>("reset");
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("expected");
        // Thursday, 10 December 2026, 14:00.
        const QDateTime now = local(12, 10, 14, 0);
        const QString us = QStringLiteral("en_US");
        const QString nnbsp = QString(QChar(0x202F));
        QTest::newRow("1 ms ahead") << now << now.addMSecs(1) << us << "1 min";
        QTest::newRow("59:01 ahead") << now << now.addSecs(59 * 60 + 1) << us << "60 min";
        QTest::newRow("minutes ignore locale") << now << now.addSecs(720) << "ja_JP"
                                               << "12 min";
        QTest::newRow("one hour ahead") << now << now.addSecs(3600) << us << "3:00" + nnbsp + "PM";
        QTest::newRow("right now") << now << now << us << "2:00" + nnbsp + "PM";
        QTest::newRow("earlier today") << now << local(12, 10, 9, 5) << us << "9:05" + nnbsp + "AM";
        QTest::newRow("past midnight, 40 min")
            << local(12, 10, 23, 50) << local(12, 11, 0, 30) << us << "40 min";
        QTest::newRow("tomorrow") << now << local(12, 11, 9, 0) << us
                                  << "Tomorrow, 9:00" + nnbsp + "AM";
        QTest::newRow("tomorrow, 24 h clock") << now << local(12, 11, 17, 0) << "fr_FR"
                                              << "Tomorrow, 17:00";
        QTest::newRow("in two days") << now << local(12, 12, 8, 0) << us << "Saturday";
        QTest::newRow("in six days") << now << local(12, 16, 23, 59) << us << "Wednesday";
        QTest::newRow("weekday in German") << now << local(12, 12, 8, 0) << "de_DE"
                                           << "Samstag";
        QTest::newRow("six days ago") << now << local(12, 4, 18, 0) << us << "Friday";
        QTest::newRow("in seven days")
            << now << local(12, 17, 17, 0) << us << "Dec 17, 5:00" + nnbsp + "PM";
        QTest::newRow("French month form") << now << local(12, 17, 17, 0) << "fr_FR"
                                           << "17 déc., 17:00";
        QTest::newRow("three weeks ago")
            << now << local(11, 19, 8, 30) << us << "Nov 19, 8:30" + nnbsp + "AM";
        // Across the change to summer time the calendar day, not 24 hours, decides.
        QTest::newRow("tomorrow across DST")
            << local(3, 7, 23, 0) << local(3, 8, 23, 0) << us << "Tomorrow, 11:00" + nnbsp + "PM";
    }
    void resetText() {
        QFETCH(QDateTime, now);
        QFETCH(QDateTime, reset);
        QFETCH(QString, locale);
        QFETCH(QString, expected);
        const QString text = TimeDisplayFormatter().resetText(
            Instant::fromDateTime(reset), Instant::fromDateTime(now), QLocale(locale));
        QCOMPARE(text, expected);
    }

    void fractionalSecondsRoundMinutesUp() {
        const Instant now = Instant::fromDateTime(local(12, 10, 14, 0));
        const TimeDisplayFormatter formatter;
        QCOMPARE(formatter.resetText(now.addingSeconds(60.000001), now, QLocale(QLocale::English)),
                 QStringLiteral("2 min"));
        QCOMPARE(formatter.resetText(now.addingSeconds(3599.999), now, QLocale(QLocale::English)),
                 QStringLiteral("60 min"));
    }
};

QTEST_GUILESS_MAIN(TimeDisplayFormatterTest)
#include "tst_TimeDisplayFormatter.moc"
