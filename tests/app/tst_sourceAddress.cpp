#include "sources/sourceAddress.h"

#include <QtTest>

using orvane::app::sourceAddress_t;

Q_DECLARE_METATYPE(sourceAddress_t)

namespace {
sourceAddress_t make(sourceAddress_t::kind_t kind)
{
    sourceAddress_t s;
    s.kind = kind;
    return s;
}
} // namespace

class tst_sourceAddress : public QObject
{
    Q_OBJECT

private slots:
    void readsDeclaredSources_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<sourceAddress_t>("expected");

        QTest::newRow("nothing") << QString() << sourceAddress_t();
        sourceAddress_t s = make(sourceAddress_t::kindSimulation);
        s.simulated = "gyro";
        QTest::newRow("simulated gyro") << "simulation:gyro" << s;
        s = make(sourceAddress_t::kindFile);
        s.path = "/data/a log.nmea";
        s.rate = 2.5;
        s.loop = true;
        QTest::newRow("file faster and looping") << "file:/data/a log.nmea?rate=2.5&loop=1" << s;
        s = make(sourceAddress_t::kindFile);
        s.path = "C:/logs/x.nmea";
        QTest::newRow("windows path") << "file:C:/logs/x.nmea" << s;
        s = make(sourceAddress_t::kindTcp);
        s.host = "192.168.1.20";
        s.port = 4001;
        QTest::newRow("tcp") << "tcp:192.168.1.20:4001" << s;
        s.host = "::1";
        QTest::newRow("tcp over ipv6") << "tcp:[::1]:4001" << s;
        s = make(sourceAddress_t::kindUdp);
        s.port = 10110;
        QTest::newRow("udp default port") << "udp:" << s;
        s.port = 2000;
        s.host = "127.0.0.1";
        QTest::newRow("udp on one address") << "udp:127.0.0.1:2000" << s;
        s = make(sourceAddress_t::kindSerial);
        s.device = "/dev/ttyUSB0";
        s.baudRate = 38400;
        s.parity = "even";
        QTest::newRow("serial options") << "serial:/dev/ttyUSB0?baud=38400&parity=EVEN" << s;
        s = make(sourceAddress_t::kindGpsd);
        s.host = "localhost";
        s.port = 2947;
        QTest::newRow("gpsd defaults") << "gpsd:" << s;
        s.host = "chart";
        s.port = 3000;
        s.device = "/dev/ttyS1";
        QTest::newRow("gpsd of one device") << "gpsd:chart:3000?device=/dev/ttyS1" << s;
    }

    void readsDeclaredSources()
    {
        QFETCH(QString, text);
        QFETCH(sourceAddress_t, expected);
        sourceAddress_t address;
        QString error;
        QVERIFY2(sourceAddress_t::parse(text, &address, &error), qPrintable(error));
        QVERIFY(address == expected);
        // what is written reads back the same
        sourceAddress_t again;
        QVERIFY(sourceAddress_t::parse(address.toString(), &again));
        QVERIFY(again == address);
        QVERIFY(!address.description().isEmpty());
    }

    void refusesWhatCannotWork_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("unknown kind") << "bluetooth:00:11";
        QTest::newRow("file without path") << "file:?rate=2";
        QTest::newRow("rate zero") << "file:/a?rate=0";
        QTest::newRow("loop neither 1 nor 0") << "file:/a?loop=maybe";
        QTest::newRow("unknown option") << "file:/a?speed=2";
        QTest::newRow("tcp without port") << "tcp:10.0.0.1";
        QTest::newRow("tcp port too high") << "tcp:host:65536";
        QTest::newRow("unclosed bracket") << "tcp:[::1:4001";
        QTest::newRow("udp on a name") << "udp:bridge:10110";
        QTest::newRow("serial baud too low") << "serial:/dev/ttyS0?baud=10";
        QTest::newRow("serial parity") << "serial:/dev/ttyS0?parity=sometimes";
    }

    void refusesWhatCannotWork()
    {
        QFETCH(QString, text);
        sourceAddress_t address;
        address.kind = sourceAddress_t::kindUdp;
        QString error;
        QVERIFY(!sourceAddress_t::parse(text, &address, &error));
        QVERIFY(!error.isEmpty());
        QCOMPARE(address.kind, sourceAddress_t::kindUdp);   // untouched
    }
};

QTEST_GUILESS_MAIN(tst_sourceAddress)
#include "tst_sourceAddress.moc"
