#include "CodexLineReader.h"

#include <QTest>

using Lines = QList<QByteArray>;

class CodexLineReaderTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // The same stream must give the same lines however the pipe happens to chunk it.
    void chunking_data() {
        QTest::addColumn<QList<QByteArray>>("chunks");
        QTest::addColumn<Lines>("lines");
        QTest::addColumn<qsizetype>("pending");
        QTest::newRow("one line") << QList<QByteArray>{"{\"id\":1}\n"} << Lines{"{\"id\":1}"}
                                  << qsizetype(0);
        QTest::newRow("split over three chunks")
            << QList<QByteArray>{"{\"i", "d\":", "1}\n"} << Lines{"{\"id\":1}"} << qsizetype(0);
        QTest::newRow("two in one chunk")
            << QList<QByteArray>{"a\nb\n"} << Lines{"a", "b"} << qsizetype(0);
        QTest::newRow("tail waits") << QList<QByteArray>{"a\nbc"} << Lines{"a"} << qsizetype(2);
        QTest::newRow("line feed alone finishes the tail")
            << QList<QByteArray>{"ab", "\n"} << Lines{"ab"} << qsizetype(0);
        QTest::newRow("empty lines are lines")
            << QList<QByteArray>{"\n\na\n"} << Lines{"", "", "a"} << qsizetype(0);
        QTest::newRow("carriage return stays")
            << QList<QByteArray>{"a\r\n"} << Lines{"a\r"} << qsizetype(0);
        QTest::newRow("empty chunk")
            << QList<QByteArray>{"", "a", "", "\n"} << Lines{"a"} << qsizetype(0);
        QTest::newRow("nul bytes kept") << QList<QByteArray>{QByteArray("a\0b\n", 4)}
                                        << Lines{QByteArray("a\0b", 3)} << qsizetype(0);
    }
    void chunking() {
        QFETCH(QList<QByteArray>, chunks);
        QFETCH(Lines, lines);
        QFETCH(qsizetype, pending);
        CodexLineReader reader;
        Lines found;
        for (const QByteArray& chunk : chunks) {
            found += reader.feed(chunk);
        }
        QCOMPARE(found, lines);
        QCOMPARE(reader.pendingSize(), pending);
    }

    void overLongLinesAreDropped_data() {
        QTest::addColumn<QList<QByteArray>>("chunks");
        QTest::addColumn<Lines>("lines");
        // With a limit of 4 bytes.
        QTest::newRow("exactly the limit is kept")
            << QList<QByteArray>{"abcd\nx\n"} << Lines{"abcd", "x"};
        QTest::newRow("one over is dropped") << QList<QByteArray>{"abcde\nx\n"} << Lines{"x"};
        QTest::newRow("dropped across chunks")
            << QList<QByteArray>{"ab", "cde", "fgh", "ij\nx", "\n"} << Lines{"x"};
        QTest::newRow("limit reached by the tail")
            << QList<QByteArray>{"ok\nabc", "de", "\nyz\n"} << Lines{"ok", "yz"};
        QTest::newRow("long chunk without line feed then short line")
            << QList<QByteArray>{QByteArray(100, 'z'), "\n", "s\n"} << Lines{"s"};
    }
    void overLongLinesAreDropped() {
        QFETCH(QList<QByteArray>, chunks);
        QFETCH(Lines, lines);
        CodexLineReader reader(4);
        Lines found;
        for (const QByteArray& chunk : chunks) {
            found += reader.feed(chunk);
            QVERIFY(reader.pendingSize() <= 4);
        }
        QCOMPARE(found, lines);
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
