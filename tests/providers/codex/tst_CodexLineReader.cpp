#include "CodexLineReader.h"

#include <QTest>

using Lines = QList<QByteArray>;

class CodexLineReaderTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // The same stream must give the same lines however the pipe happens to chunk it, and a line
    // over the limit is dropped whole without being held.
    void chunking_data() {
        QTest::addColumn<qsizetype>("limit");
        QTest::addColumn<QList<QByteArray>>("chunks");
        QTest::addColumn<Lines>("lines");
        QTest::addColumn<qsizetype>("pending");
        using Chunks = QList<QByteArray>;
        const qsizetype none = 0;
        const qsizetype usual = CodexLineReader::defaultMaxLineLength;
        QTest::newRow("split over three chunks")
            << usual << Chunks{"{\"i", "d\":", "1}\n"} << Lines{"{\"id\":1}"} << none;
        QTest::newRow("two in one chunk") << usual << Chunks{"a\nb\n"} << Lines{"a", "b"} << none;
        QTest::newRow("tail waits") << usual << Chunks{"a\nbc"} << Lines{"a"} << qsizetype(2);
        QTest::newRow("line feed alone") << usual << Chunks{"ab", "\n"} << Lines{"ab"} << none;
        QTest::newRow("empty lines are lines")
            << usual << Chunks{"\n\na\n"} << Lines{"", "", "a"} << none;
        QTest::newRow("carriage return stays") << usual << Chunks{"a\r\n"} << Lines{"a\r"} << none;
        QTest::newRow("empty chunk") << usual << Chunks{"", "a", "", "\n"} << Lines{"a"} << none;
        QTest::newRow("nul bytes kept")
            << usual << Chunks{QByteArray("a\0b\n", 4)} << Lines{QByteArray("a\0b", 3)} << none;
        const qsizetype four = 4;
        QTest::newRow("exactly the limit")
            << four << Chunks{"abcd\nx\n"} << Lines{"abcd", "x"} << none;
        QTest::newRow("one over") << four << Chunks{"abcde\nx\n"} << Lines{"x"} << none;
        QTest::newRow("dropped across chunks")
            << four << Chunks{"ab", "cde", "fgh", "ij\nx", "\n"} << Lines{"x"} << none;
        QTest::newRow("limit reached by the tail")
            << four << Chunks{"ok\nabc", "de", "\nyz\n"} << Lines{"ok", "yz"} << none;
        QTest::newRow("long chunk without line feed")
            << four << Chunks{QByteArray(100, 'z'), "\n", "s\n"} << Lines{"s"} << none;
    }
    void chunking() {
        QFETCH(qsizetype, limit);
        QFETCH(QList<QByteArray>, chunks);
        QFETCH(Lines, lines);
        QFETCH(qsizetype, pending);
        CodexLineReader reader(limit);
        Lines found;
        for (const QByteArray& chunk : chunks) {
            found += reader.feed(chunk);
            QVERIFY(reader.pendingSize() <= limit);
        }
        QCOMPARE(found, lines);
        QCOMPARE(reader.pendingSize(), pending);
        QVERIFY(!reader.isDiscarding());
    }

    void defaultLimitIsEightMebibytes() {
        CodexLineReader reader;
        const QByteArray block(1024 * 1024, 'x');
        for (int i = 0; i < 9; ++i) {
            QVERIFY(reader.feed(block).isEmpty());
        }
        QVERIFY(reader.isDiscarding());
        QCOMPARE(reader.pendingSize(), 0);
        QCOMPARE(reader.feed("\n{}\n"), Lines{"{}"});
    }
};

QTEST_GUILESS_MAIN(CodexLineReaderTest)
#include "tst_CodexLineReader.moc"
