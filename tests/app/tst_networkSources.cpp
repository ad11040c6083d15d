#include "sources/gpsdSource.h"
#include "simulation/nmeaEncoder.h"
#include "sources/serialSource.h"
#include "sources/tcpClientSource.h"
#include "sources/udpSource.h"

#include <QHostAddress>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QUdpSocket>
#include <QtTest>

#ifdef Q_OS_LINUX
#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>
#endif

using namespace orvane::app;

namespace {
QByteArray hdt(double heading) { return nmeaEncoder_t::sentence("HEHDT," + QByteArray::number(heading, 'f', 1) + ",T"); }

QStringList received(QSignalSpy const& spy)
{
    QStringList lines;
    for (QList<QVariant> const& args : spy)
        lines << QString::fromLatin1(args.at(0).toByteArray());
    return lines;
}

// The peer of the next connection the server takes; the events run meanwhile, so the
// source's own timers work as they do in the application.
QTcpSocket* accept(QTcpServer& server)
{
    if (!QTest::qWaitFor([&] { return server.hasPendingConnections(); }, 5000))
        return nullptr;
    return server.nextPendingConnection();
}
} // namespace

class tst_networkSources : public QObject
{
    Q_OBJECT

private slots:
    void tcpDeliversLinesAcrossReads()
    {
        QTcpServer server;
        QVERIFY(server.listen(QHostAddress::LocalHost, 0));
        tcpClientSource_t source(QStringLiteral("127.0.0.1"), server.serverPort());
        QSignalSpy lines(&source, &nmeaSource_t::lineReceived);
        source.start();
        QTcpSocket* peer = accept(server);
        QVERIFY(peer);
        QTRY_VERIFY(source.isConnected());
        QByteArray const first = hdt(1.5), second = hdt(2.5);
        peer->write(first + "\r\n" + second.left(5));
        peer->flush();
        QTRY_COMPARE(lines.count(), 1);
        peer->write(second.mid(5) + "\r\n");
        QTRY_COMPARE(lines.count(), 2);
        QCOMPARE(received(lines), (QStringList{QString::fromLatin1(first), QString::fromLatin1(second)}));
        source.stop();
        QVERIFY(!source.isConnected());
    }

    void tcpReconnectsWhenTheSenderComesBack()
    {
        QTcpServer server;
        QVERIFY(server.listen(QHostAddress::LocalHost, 0));
        quint16 const port = server.serverPort();
        tcpClientSource_t source(QStringLiteral("127.0.0.1"), port);
        source.setReconnectDelays(20, 80);
        QSignalSpy lines(&source, &nmeaSource_t::lineReceived);
        QSignalSpy connection(&source, &nmeaSource_t::connectionChanged);
        source.start();
        QTcpSocket* peer = accept(server);
        QVERIFY(peer);
        QTRY_VERIFY(source.isConnected());
        // the sender dies in the middle of a line and stays away: attempts are refused
        peer->write("$GPGGA,123519,48");
        peer->flush();
        QTest::qWait(50);
        delete peer;
        server.close();
        QTRY_VERIFY(!source.isConnected());
        QVERIFY(!source.status().isEmpty());
        // the delay doubles up to its limit
        QTRY_COMPARE(source.currentDelay(), 80);

        QVERIFY(server.listen(QHostAddress::LocalHost, port));
        peer = accept(server);
        QVERIFY(peer);
        QTRY_VERIFY(source.isConnected());
        QCOMPARE(source.currentDelay(), 0);
        QVERIFY(source.status().isEmpty());
        // the half line of the lost link is not glued to the first line of the new one
        QByteArray const line = hdt(3.0);
        peer->write(line + "\r\n");
        QTRY_COMPARE(lines.count(), 1);
        QCOMPARE(lines.at(0).at(0).toByteArray(), line);
        QVERIFY(connection.count() >= 3);   // up, down, up
        QCOMPARE(connection.last().at(0).toBool(), true);
    }

    void tcpDropsASilentLink()
    {
        QTcpServer server;
        QVERIFY(server.listen(QHostAddress::LocalHost, 0));
        tcpClientSource_t source(QStringLiteral("127.0.0.1"), server.serverPort());
        source.setReconnectDelays(20, 20);
        source.setSilenceTimeout(150);
        source.start();
        QTcpSocket* first = accept(server);
        QVERIFY(first);
        // the sender says nothing, as one that lost power without closing
        QTcpSocket* second = accept(server);
        QVERIFY(second);
        QTRY_VERIFY(source.isConnected());
    }

    void tcpUnreachableHostKeepsTrying()
    {
        QTcpServer server;
        QVERIFY(server.listen(QHostAddress::LocalHost, 0));
        quint16 const port = server.serverPort();
        server.close();
        tcpClientSource_t source(QStringLiteral("127.0.0.1"), port);
        source.setReconnectDelays(10, 40);
        QSignalSpy status(&source, &nmeaSource_t::statusChanged);
        source.start();
        QTRY_VERIFY(status.count() >= 4);
        QVERIFY(!source.isConnected());
        source.stop();
        QCOMPARE(source.currentDelay(), 0);
    }

    void udpTakesDatagramsOnLoopback()
    {
        udpSource_t source(0, QStringLiteral("127.0.0.1"));
        source.setSilenceTimeout(200);
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
        QTRY_COMPARE(lines.count(), 3);
        QCOMPARE(received(lines), (QStringList{QString::fromLatin1(a), QString::fromLatin1(b), QString::fromLatin1(c)}));
        QVERIFY(source.isConnected());
        // silence: UDP has no link to lose, so the source stops counting as connected
        QTRY_VERIFY(!source.isConnected());
        QCOMPARE(connection.count(), 2);
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
        QVERIFY(peer);
        QTRY_VERIFY(peer->canReadLine());
        QByteArray const request = peer->readLine();
        QVERIFY(request.startsWith("?WATCH={"));
        QVERIFY(request.contains("\"enable\":true"));
        QVERIFY(request.contains("\"raw\":1"));
        QVERIFY(request.contains("\"device\":\"/dev/ttyUSB0\""));
        QByteArray const nmea = hdt(45.0);
        peer->write("{\"class\":\"VERSION\",\"release\":\"3.22\"}\r\n" + nmea
                    + "\r\n{\"class\":\"DEVICES\",\"devices\":[]}\r\n");
        QTRY_COMPARE(lines.count(), 1);
        QTest::qWait(50);
        QCOMPARE(lines.count(), 1);
        QCOMPARE(lines.at(0).at(0).toByteArray(), nmea);
    }

    void serialReadsAndSurvivesTheLineGoing()
    {
#ifdef Q_OS_LINUX
        int const master = posix_openpt(O_RDWR | O_NOCTTY);
        if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0)
            QSKIP("no pseudo terminal here");
        QString const slave = QString::fromLocal8Bit(ptsname(master));
        serialSource_t source(slave, 4800);
        source.setRetryInterval(50);
        QSignalSpy lines(&source, &nmeaSource_t::lineReceived);
        source.start();
        if (!source.isConnected()) {
            ::close(master);
            QSKIP(qPrintable(QStringLiteral("the pseudo terminal cannot be opened as a port: ") + source.status()));
        }
        QByteArray const line = hdt(90.0);
        QByteArray const data = line + "\r\n" + QByteArray("\x00\xff garbage", 10) + "\r\n";
        QCOMPARE(::write(master, data.constData(), size_t(data.size())), ssize_t(data.size()));
        QTRY_COMPARE(lines.count(), 2);
        QCOMPARE(lines.at(0).at(0).toByteArray(), line);
        source.stop();
        ::close(master);
        QVERIFY(!source.isConnected());
#else
        QSKIP("pseudo terminals are a Linux test");
#endif
    }

    void serialMissingPortIsTriedAgain()
    {
        serialSource_t source(QStringLiteral("/dev/orvane-no-such-port"), 4800);
        source.setRetryInterval(30);
        QSignalSpy status(&source, &nmeaSource_t::statusChanged);
        source.start();
        QVERIFY(!source.isConnected());
        QVERIFY(!source.status().isEmpty());
        source.stop();
        QVERIFY(source.status().isEmpty());
    }
};

QTEST_GUILESS_MAIN(tst_networkSources)
#include "tst_networkSources.moc"
