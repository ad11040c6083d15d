#include "sources/nmeaLineSplitter.h"

#include <QtTest>

using orvane::app::nmeaLineSplitter_t;

class tst_nmeaLineSplitter : public QObject
{
    Q_OBJECT

private slots:
    void splitsWhateverTheReads_data()
    {
        QTest::addColumn<QList<QByteArray>>("reads");
        QTest::addColumn<QList<QByteArray>>("lines");
        QTest::addColumn<QByteArray>("rest");
        QTest::newRow("crlf") << QList<QByteArray>{"$A*00\r\n$B*00\r\n"} << QList<QByteArray>{"$A*00", "$B*00"}
                              << QByteArray();
        QTest::newRow("cr alone") << QList<QByteArray>{"$A\r$B\r"} << QList<QByteArray>{"$A", "$B"} << QByteArray();
        QTest::newRow("blank lines") << QList<QByteArray>{"\r\n\r\n$A\n\n\n"} << QList<QByteArray>{"$A"} << QByteArray();
        QTest::newRow("partial across reads")
            << QList<QByteArray>{"$GPG", "GA,1,2", "*3F\r", "\n$GPR", "MC"} << QList<QByteArray>{"$GPGGA,1,2*3F"}
            << QByteArray("$GPRMC");
        QTest::newRow("nul bytes dropped") << QList<QByteArray>{QByteArray("\0\0$A\0B\n", 7)}
                                           << QList<QByteArray>{"$AB"} << QByteArray();
    }

    void splitsWhateverTheReads()
    {
        QFETCH(QList<QByteArray>, reads);
        QFETCH(QList<QByteArray>, lines);
        QFETCH(QByteArray, rest);
        nmeaLineSplitter_t splitter;
        QList<QByteArray> got;
        for (QByteArray const& read : reads)
            got += splitter.feed(read);
        QCOMPARE(got, lines);
        QCOMPARE(splitter.flush(), rest);
        QVERIFY(splitter.flush().isEmpty());
    }

    void overlongGarbageIsBounded_data()
    {
        QTest::addColumn<int>("total");
        QTest::addColumn<int>("chunk");
        QTest::newRow("just over the limit in one read") << 65 << 1000;
        QTest::newRow("a megabyte in small reads") << 1024 * 1024 << 7;
    }

    void overlongGarbageIsBounded()
    {
        QFETCH(int, total);
        QFETCH(int, chunk);
        nmeaLineSplitter_t splitter(64);
        QList<QByteArray> lines;
        QByteArray const block(std::min(chunk, total), 'x');
        for (int sent = 0; sent < total; sent += int(block.size()))
            lines += splitter.feed(block.left(std::min(int(block.size()), total - sent)));
        // one line cut at the limit, the rest dropped until the line ends
        QCOMPARE(lines.size(), 1);
        QCOMPARE(lines.first().size(), 64);
        QCOMPARE(splitter.overlongLines(), 1u);
        QCOMPARE(splitter.discardedBytes(), std::uint64_t(total - 64));
        // the next line after the garbage comes through whole
        lines = splitter.feed(QByteArray("xx\r\n$GPHDT,1.0,T*1F\r\n"));
        QCOMPARE(lines, QList<QByteArray>{"$GPHDT,1.0,T*1F"});
    }

    void lineOfExactlyTheLimitIsWhole()
    {
        nmeaLineSplitter_t splitter;
        QByteArray const line(1024, 'a');
        QCOMPARE(splitter.feed(line + "\n"), QList<QByteArray>{line});
        QCOMPARE(splitter.overlongLines(), 0u);
        QCOMPARE(splitter.feed(line + "b\n"), QList<QByteArray>{line});
        QCOMPARE(splitter.overlongLines(), 1u);
        QCOMPARE(splitter.discardedBytes(), 1u);
        // a reset forgets the partial line
        splitter.feed(QByteArray("$GPGGA,half"));
        splitter.reset();
        QCOMPARE(splitter.feed(QByteArray("$B\n")), QList<QByteArray>{"$B"});
    }

};

QTEST_GUILESS_MAIN(tst_nmeaLineSplitter)
#include "tst_nmeaLineSplitter.moc"
