#include "JournalLogSink.h"

#include <QTest>

class JournalLogSinkTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void fieldsNameTheSubsystemAndCategory_data() {
        QTest::addColumn<LogSink::Priority>("priority");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QByteArrayList>("fields");
        QTest::newRow("refresh failure")
            << LogSink::Priority::error << QStringLiteral("Refresh failed for codex")
            << QByteArrayList{"MESSAGE=Refresh failed for codex", "PRIORITY=3",
                              "SYSLOG_IDENTIFIER=vantor", "VANTOR_SUBSYSTEM=com.quorvel.vantor",
                              "VANTOR_CATEGORY=refresh"};
        // A newline may not end a field early: the binary-safe form keeps it in the message.
        QTest::newRow("notice with text beyond ASCII")
            << LogSink::Priority::notice << QString::fromUtf8("Ünïcode\nsecond line")
            << QByteArrayList{"MESSAGE=Ünïcode\nsecond line", "PRIORITY=5",
                              "SYSLOG_IDENTIFIER=vantor", "VANTOR_SUBSYSTEM=com.quorvel.vantor",
                              "VANTOR_CATEGORY=refresh"};
    }
    void fieldsNameTheSubsystemAndCategory() {
        QFETCH(LogSink::Priority, priority);
        QFETCH(QString, message);
        QFETCH(QByteArrayList, fields);
        QCOMPARE(JournalLogSink::fields(priority, QStringLiteral("refresh"), message), fields);
        // Without a journal (as in this test's sandbox) writing is silent.
        JournalLogSink().write(priority, QStringLiteral("refresh"), message);
    }
};

QTEST_GUILESS_MAIN(JournalLogSinkTest)
#include "tst_JournalLogSink.moc"
