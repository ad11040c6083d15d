#include "sources/nmeaLineSplitter.h"

#include <QtTest>

using orvane::app::nmeaLineSplitter_t;

// Reads fed to a splitter of 64 bytes a line, the lines and rest it gives, and the bytes it drops.
struct split_t { QList<QByteArray> reads, lines; QByteArray rest; int discarded; };
Q_DECLARE_METATYPE(split_t)

class tst_nmeaLineSplitter : public QObject
{
    Q_OBJECT

private slots:
    // Lines come out whole whatever the reads; one over the limit is cut there and the rest
    // dropped until it ends.
    void splitsWhateverTheReads_data()
    {
        QTest::addColumn<split_t>("r");
        QByteArray const limit(64, 'x');
        QTest::newRow("crlf")
            << split_t{QList<QByteArray>{"$A*00\r\n$B*00\r\n"}, QList<QByteArray>{"$A*00", "$B*00"}, QByteArray(), 0};
        QTest::newRow("cr alone")
            << split_t{QList<QByteArray>{"$A\r$B\r"}, QList<QByteArray>{"$A", "$B"}, QByteArray(), 0};
        QTest::newRow("blank lines")
            << split_t{QList<QByteArray>{"\r\n\r\n$A\n\n\n"}, QList<QByteArray>{"$A"}, QByteArray(), 0};
        QTest::newRow("partial across reads")
            << split_t{{"$GPG", "GA,1,2", "*3F\r", "\n$GPR", "MC"}, {"$GPGGA,1,2*3F"}, "$GPRMC", 0};
        QTest::newRow("nul bytes dropped")
            << split_t{QList<QByteArray>{QByteArray("\0\0$A\0B\n", 7)}, QList<QByteArray>{"$AB"}, QByteArray(), 0};
        QTest::newRow("exactly the limit")
            << split_t{QList<QByteArray>{limit + "\n"}, QList<QByteArray>{limit}, QByteArray(), 0};
        QTest::newRow("one over")
            << split_t{QList<QByteArray>{limit + "y\r\n$B\n"}, QList<QByteArray>{limit, "$B"}, QByteArray(), 1};
        QTest::newRow("garbage across reads")
            << split_t{{limit + limit, limit, "xx\n$B\n$C"}, {limit, "$B"}, "$C", 130};
    }

    void splitsWhateverTheReads()
    {
        QFETCH(split_t, r);
        nmeaLineSplitter_t splitter(64);
        QList<QByteArray> got;
        for (QByteArray const& read : r.reads)
            got += splitter.feed(read);
        QCOMPARE(got, r.lines);
        QCOMPARE(splitter.flush(), r.rest);
        QVERIFY(splitter.flush().isEmpty());
        QCOMPARE(splitter.overlongLines(), r.discarded ? 1u : 0u);
        QCOMPARE(splitter.discardedBytes(), std::uint64_t(r.discarded));
    }
};

QTEST_GUILESS_MAIN(tst_nmeaLineSplitter)
#include "tst_nmeaLineSplitter.moc"
