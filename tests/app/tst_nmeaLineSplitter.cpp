#include "sources/nmeaLineSplitter.h"

#include <QtTest>

using orvane::app::nmeaLineSplitter_t;

class tst_nmeaLineSplitter : public QObject
{
    Q_OBJECT

private slots:
    // Lines come out whole whatever the reads; one over the limit is cut there and the rest
    // dropped until it ends.
    void splitsWhateverTheReads_data()
    {
        QTest::addColumn<QList<QByteArray>>("reads");
        QTest::addColumn<QList<QByteArray>>("lines");
        QTest::addColumn<QByteArray>("rest");
        QTest::addColumn<int>("discarded");
        QByteArray const limit(64, 'x');
        QTest::newRow("crlf") << QList<QByteArray>{"$A*00\r\n$B*00\r\n"} << QList<QByteArray>{"$A*00", "$B*00"}
                              << QByteArray() << 0;
        QTest::newRow("cr alone") << QList<QByteArray>{"$A\r$B\r"} << QList<QByteArray>{"$A", "$B"} << QByteArray() << 0;
        QTest::newRow("blank lines") << QList<QByteArray>{"\r\n\r\n$A\n\n\n"} << QList<QByteArray>{"$A"} << QByteArray() << 0;
        QTest::newRow("partial across reads")
            << QList<QByteArray>{"$GPG", "GA,1,2", "*3F\r", "\n$GPR", "MC"} << QList<QByteArray>{"$GPGGA,1,2*3F"}
            << QByteArray("$GPRMC") << 0;
        QTest::newRow("nul bytes dropped") << QList<QByteArray>{QByteArray("\0\0$A\0B\n", 7)}
                                           << QList<QByteArray>{"$AB"} << QByteArray() << 0;
        QTest::newRow("exactly the limit") << QList<QByteArray>{limit + "\n"} << QList<QByteArray>{limit} << QByteArray() << 0;
        QTest::newRow("one over") << QList<QByteArray>{limit + "y\r\n$B\n"} << QList<QByteArray>{limit, "$B"}
                                  << QByteArray() << 1;
        QTest::newRow("garbage across reads") << QList<QByteArray>{limit + limit, limit, "xx\n$B\n$C"}
                                              << QList<QByteArray>{limit, "$B"} << QByteArray("$C") << 130;
    }

    void splitsWhateverTheReads()
    {
        QFETCH(QList<QByteArray>, reads);
        QFETCH(QList<QByteArray>, lines);
        QFETCH(QByteArray, rest);
        QFETCH(int, discarded);
        nmeaLineSplitter_t splitter(64);
        QList<QByteArray> got;
        for (QByteArray const& read : reads)
            got += splitter.feed(read);
        QCOMPARE(got, lines);
        QCOMPARE(splitter.flush(), rest);
        QVERIFY(splitter.flush().isEmpty());
        QCOMPARE(splitter.overlongLines(), discarded ? 1u : 0u);
        QCOMPARE(splitter.discardedBytes(), std::uint64_t(discarded));
    }
};

QTEST_GUILESS_MAIN(tst_nmeaLineSplitter)
#include "tst_nmeaLineSplitter.moc"
