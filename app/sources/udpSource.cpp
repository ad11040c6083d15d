#include "udpSource.h"

#include <belrix_common_qt/dataClock.h>

#include <QHostAddress>
#include <QTimer>
#include <QUdpSocket>

#include <algorithm>

namespace orvane {
namespace app {

namespace {
constexpr int MaxDatagramsPerPass = 256;
}

class udpSource_t::private_t
{
public:
    quint16 port = DefaultPort;
    QString address;
    QUdpSocket* socket = nullptr;
    QTimer silenceTimer;
    QTimer rebindTimer;
    bool running = false;
};

udpSource_t::udpSource_t(quint16 port, QString const& address, QObject* parent) : nmeaSource_t(parent), d(new private_t)
{
    d->port = port;
    d->address = address;
    d->socket = new QUdpSocket(this);
    d->silenceTimer.setSingleShot(true);
    d->silenceTimer.setInterval(DefaultSilenceTimeoutMs);
    d->rebindTimer.setSingleShot(true);
    d->rebindTimer.setInterval(RebindIntervalMs);
    connect(&d->silenceTimer, &QTimer::timeout, this, [this] {
        setConnected(false);
        setStatus(tr("No datagrams for %1 s").arg(d->silenceTimer.interval() / 1000.0));
    });
    connect(&d->rebindTimer, &QTimer::timeout, this, &udpSource_t::bindNow);
    connect(d->socket, &QUdpSocket::readyRead, this, &udpSource_t::handleReadyRead);
}

udpSource_t::~udpSource_t()
{
    d->socket->disconnect(this);
    delete d;
}

void udpSource_t::start()
{
    if (d->running)
        return;
    d->running = true;
    bindNow();
}

void udpSource_t::stop()
{
    d->running = false;
    d->rebindTimer.stop();
    d->silenceTimer.stop();
    d->socket->close();
    resetPartialLine();
    setStatus(QString());
    setConnected(false);
}

QString udpSource_t::description() const
{
    return d->address.isEmpty() ? tr("UDP port %1").arg(d->port) : tr("UDP %1 port %2").arg(d->address).arg(d->port);
}

void udpSource_t::setSilenceTimeout(int ms) { d->silenceTimer.setInterval(std::max(ms, 1)); }

quint16 udpSource_t::boundPort() const { return d->socket->localPort(); }

void udpSource_t::bindNow()
{
    if (!d->running)
        return;
    QHostAddress const address = d->address.isEmpty() ? QHostAddress(QHostAddress::Any) : QHostAddress(d->address);
    // other programs on the bridge often listen to the same broadcasts
    if (d->socket->bind(address, d->port, QUdpSocket::ShareAddress | QUdpSocket::ReuseAddressHint)) {
        setStatus(tr("Waiting for datagrams"));
        return;
    }
    setStatus(tr("Cannot listen on port %1: %2; trying again in %3 s")
                  .arg(d->port)
                  .arg(d->socket->errorString())
                  .arg(RebindIntervalMs / 1000));
    d->socket->close();
    d->rebindTimer.start();
}

void udpSource_t::handleReadyRead()
{
    // a flood on this port must leave the others their turn: take a batch, then come back
    int batch = 0;
    while (d->socket->hasPendingDatagrams()) {
        if (++batch > MaxDatagramsPerPass) {
            QTimer::singleShot(0, this, &udpSource_t::handleReadyRead);
            return;
        }
        qint64 const size = d->socket->pendingDatagramSize();
        QByteArray datagram(int(std::max<qint64>(size, 0)), '\0');
        qint64 const read = d->socket->readDatagram(datagram.data(), datagram.size());
        if (read < 0)
            break;
        datagram.truncate(int(read));
        if (!d->running)
            continue;
        d->silenceTimer.start();
        setStatus(QString());
        setConnected(true);
        double const now = belrix_common_qt::dataTimestamp();
        receiveBytes(datagram, now);
        endPartialLine(now);
    }
}

} // namespace app
} // namespace orvane
