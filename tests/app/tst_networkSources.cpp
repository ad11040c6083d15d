#include "simulation/nmeaEncoder.h"
#include "sources/gpsdSource.h"
#include "sources/serialSource.h"
#include "sources/tcpClientSource.h"
#include "sources/udpSource.h"

#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>
#include <QUdpSocket>
#include <QtTest>

using namespace orvane::app;

namespace {
QByteArray hdt(double heading) { return nmeaEncoder_t::sentence("HEHDT," + QByteArray::number(heading, 'f', 1) + ",T"); }

QList<QByteArray> received(QSignalSpy const& spy)
{
    QList<QByteArray> lines;
    for (QList<QVariant> const& args : spy)
        lines << args.at(0).toByteArray();
    return lines;
}

// Every wait is for a local socket's event, which comes at once; the bound only stops a hang.
template <typename condition_t>
bool soon(condition_t condition)
{
    return QTest::qWaitFor(condition, 5000);
}

QTcpSocket* accept(QTcpServer& server)
{
    return soon([&] { return server.hasPendingConnections(); }) ? server.nextPendingConnection() : nullptr;
}

// Delays long enough that no retry comes by itself while a test runs.
constexpr int FirstDelay = 60000;
constexpr int MaxDelay = 4 * FirstDelay;
} // namespace

class tst_networkSources : public QObject
{
    Q_OBJECT

private slots:
    void tcpReconnectsWithGrowingDelays()
    {
        QTcpServer server;
        QVERIFY(server.listen(QHostAddress::LocalHost, 0));
        quint16 const port = server.serverPort();
        tcpClientSource_t source(QStringLiteral("127.0.0.1"), port);
        source.setReconnectDelays(FirstDelay, MaxDelay);
        QSignalSpy lines(&source, &nmeaSource_t::lineReceived);
        source.start();
        QTcpSocket* peer = accept(server);
        QVERIFY(peer && soon([&] { return source.isConnected(); }));
        peer->write(hdt(1.5) + "\r\n");
        QVERIFY(soon([&] { return lines.count() == 1; }));

        // the sender dies in the middle of a line and stays away: attempts are refused
        peer->write("$GPGGA,123519,48");
        QVERIFY(soon([&] { return peer->bytesToWrite() == 0; }));
        delete peer;
        server.close();
        QVERIFY(soon([&] { return !source.isConnected(); }));
        QCOMPARE(source.currentDelay(), FirstDelay);
        QVERIFY(!source.status().isEmpty());
        for (int expected : {2 * FirstDelay, MaxDelay, MaxDelay}) {
            source.retryNow();
            QVERIFY2(soon([&] { return source.currentDelay() == expected; }), qPrintable(QString::number(expected)));
        }

        QVERIFY(server.listen(QHostAddress::LocalHost, port));
        source.retryNow();
        peer = accept(server);
        QVERIFY(peer && soon([&] { return source.isConnected(); }));
        QCOMPARE(source.currentDelay(), 0);
        // the half line of the lost link is not glued to the first line of the new one
        QByteArray const line = hdt(3.0);
        peer->write(line + "\r\n");
        QVERIFY(soon([&] { return lines.count() == 2; }));
        QCOMPARE(lines.last().at(0).toByteArray(), line);
    }

    // a server that takes the link and closes it at once is backed off like one that refuses
    void tcpBacksOffAnAcceptAndClose()
    {
        QTcpServer server;
        QVERIFY(server.listen(QHostAddress::LocalHost, 0));
        connect(&server, &QTcpServer::newConnection, &server, [&] { delete server.nextPendingConnection(); });
        tcpClientSource_t source(QStringLiteral("127.0.0.1"), server.serverPort());
        source.setReconnectDelays(FirstDelay, MaxDelay);
        source.start();
        for (int expected : {FirstDelay, 2 * FirstDelay, MaxDelay}) {
            QVERIFY2(soon([&] { return source.currentDelay() == expected; }), qPrintable(QString::number(expected)));
            source.retryNow();
        }
    }

    void tcpDropsASilentLink()
    {
        QTcpServer server;
        QVERIFY(server.listen(QHostAddress::LocalHost, 0));
        tcpClientSource_t source(QStringLiteral("127.0.0.1"), server.serverPort());
        source.setReconnectDelays(1, 1);
        source.setSilenceTimeout(1);
        source.start();
        // the sender says nothing, as one that lost power without closing: a second link comes
        QVERIFY(accept(server));
        QVERIFY(accept(server));
    }

    void udpTakesDatagramsAndCountsSilenceAsLoss()
    {
        udpSource_t source(0, QStringLiteral("127.0.0.1"));
        source.setSilenceTimeout(1);
        QSignalSpy lines(&source, &nmeaSource_t::lineReceived);
        QSignalSpy connection(&source, &nmeaSource_t::connectionChanged);
        source.start();
        QVERIFY(source.boundPort() != 0);
        QVERIFY(!source.isConnected());
        QUdpSocket sender;
        QByteArray const a = hdt(10.0), b = hdt(20.0), c = hdt(30.0);
        // two lines in one datagram, and a last line without its line end
        sender.writeDatagram(a + "\r\n" + b + "\r\n", QHostAddress::LocalHost, source.boundPort());
        sender.writeDatagram(c, QHostAddress::LocalHost, source.boundPort());
        QVERIFY(soon([&] { return lines.count() == 3 && connection.count() == 2; }));
        QCOMPARE(received(lines), (QList<QByteArray>{a, b, c}));
        QCOMPARE(connection.first().at(0).toBool(), true);
        QCOMPARE(connection.last().at(0).toBool(), false);
    }

    // a flood larger than the socket's queue leaves the port listening, and every datagram is
    // either handed on or counted as dropped
    void udpKeepsListeningThroughAFlood()
    {
#ifndef Q_OS_LINUX
        QSKIP("only Linux tells what it dropped");
#endif
        udpSource_t source(0, QStringLiteral("127.0.0.1"));
        quint64 floodLines = 0;
        QList<QByteArray> after;
        QByteArray const flood = hdt(1.0);
        connect(&source, &nmeaSource_t::lineReceived, this, [&](QByteArray const& line) {
            if (line == flood)
                ++floodLines;
            else
                after << line;
        });
        source.start();
        QUdpSocket sender;
        quint64 sent = 0;
        while (sent < 100000) {
            bool const written = sender.writeDatagram(flood, QHostAddress::LocalHost, source.boundPort()) == flood.size();
            sent += written;
            // the reader gets its turn now and then, as a busy window would give it
            if (!written || sent % 20000 == 0)
                QCoreApplication::processEvents();
        }
        QVERIFY(soon([&] { return floodLines + source.droppedDatagrams() == sent; }));
        QVERIFY(floodLines > 0 && source.droppedDatagrams() > 0);
        QVERIFY2(source.status().contains(QString::number(source.droppedDatagrams())), qPrintable(source.status()));
        QList<QByteArray> const next{hdt(2.0), hdt(3.0), hdt(4.0)};
        for (QByteArray const& line : next)
            sender.writeDatagram(line, QHostAddress::LocalHost, source.boundPort());
        QVERIFY(soon([&] { return after.size() == next.size(); }));
        QCOMPARE(after, next);
    }

    void udpPortInUseIsReported()
    {
        QUdpSocket holder;
        QVERIFY(holder.bind(QHostAddress(QHostAddress::LocalHost), 0));   // exclusive
        udpSource_t source(holder.localPort(), QStringLiteral("127.0.0.1"));
        source.start();
        QVERIFY(!source.isConnected());
        QVERIFY(source.status().contains(QString::number(holder.localPort())));
    }

    void gpsdGivesOnlyTheDevicesNmea()
    {
        QTcpServer server;
        QVERIFY(server.listen(QHostAddress::LocalHost, 0));
        gpsdSource_t source(QStringLiteral("127.0.0.1"), server.serverPort(), QStringLiteral("/dev/ttyUSB0"));
        QSignalSpy lines(&source, &nmeaSource_t::lineReceived);
        source.start();
        QTcpSocket* peer = accept(server);
        QVERIFY(peer && soon([&] { return peer->canReadLine(); }));
        QByteArray const request = peer->readLine();
        QVERIFY(request.startsWith("?WATCH={") && request.contains("\"raw\":1") && request.contains("/dev/ttyUSB0"));
        QByteArray const a = hdt(45.0), b = hdt(46.0);
        peer->write("{\"class\":\"VERSION\",\"release\":\"3.22\"}\r\n" + a
                    + "\r\n{\"class\":\"DEVICES\",\"devices\":[]}\r\n" + b + "\r\n");
        QVERIFY(soon([&] { return lines.count() == 2; }));
        QCOMPARE(received(lines), (QList<QByteArray>{a, b}));
    }

    void serialReportsAMissingPort()
    {
        serialSource_t missing(QStringLiteral("/dev/orvane-no-such-port"), 4800);
        missing.start();
        QVERIFY(!missing.isConnected());
        QVERIFY(!missing.status().isEmpty());
        missing.stop();
        QVERIFY(missing.status().isEmpty());
    }
};

QTEST_GUILESS_MAIN(tst_networkSources)
#include "tst_networkSources.moc"
