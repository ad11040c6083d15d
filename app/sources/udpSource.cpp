#include "udpSource.h"

#include <belrix_common_qt/dataClock.h>

#include <QFile>
#include <QHostAddress>
#include <QTimer>
#include <QUdpSocket>
#include <QVariant>

#include <algorithm>
#include <climits>

#ifdef Q_OS_LINUX
#include <sys/stat.h>
#endif

namespace orvane {
namespace app {

namespace {
constexpr int MaxDatagramsPerPass = 256;
// The largest UDP payload over IPv4; a datagram never has to be cut to fit.
constexpr int MaxDatagramSize = 65536;

// What the system dropped for this socket because its queue was full. Only Linux tells, in its
// socket tables (the last column, "drops"); elsewhere the count stays 0.
quint64 systemDrops(qintptr descriptor)
{
#ifdef Q_OS_LINUX
    struct stat info;
    if (descriptor < 0 || ::fstat(int(descriptor), &info) != 0)
        return 0;
    QByteArray const inode = QByteArray::number(quint64(info.st_ino));
    for (char const* table : {"/proc/net/udp", "/proc/net/udp6"}) {
        QFile file(QString::fromLatin1(table));
        if (!file.open(QIODevice::ReadOnly))
            continue;
        for (QByteArray const& line : file.readAll().split('\n')) {
            QList<QByteArray> const fields = line.simplified().split(' ');
            if (fields.size() >= 13 && fields.at(9) == inode)
                return fields.at(12).toULongLong();
        }
    }
#else
    Q_UNUSED(descriptor);
#endif
    return 0;
}
} // namespace

class udpSource_t::private_t
{
public:
    quint16 port = DefaultPort;
    QString address;
    QUdpSocket* socket = nullptr;
    QByteArray buffer = QByteArray(MaxDatagramSize, '\0');
    QTimer silenceTimer;
    QTimer rebindTimer;
    QTimer drainTimer;
    bool running = false;
    quint64 unreadable = 0;
    quint64 droppedBefore = 0;   // by the sockets closed before this one

    void closeSocket()
    {
        droppedBefore += systemDrops(socket->socketDescriptor());
        socket->close();
    }
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
    d->drainTimer.setSingleShot(true);
    d->drainTimer.setInterval(0);
    connect(&d->silenceTimer, &QTimer::timeout, this, [this] {
        setConnected(false);
        updateStatus(tr("No datagrams for %1 s").arg(d->silenceTimer.interval() / 1000.0));
    });
    connect(&d->rebindTimer, &QTimer::timeout, this, &udpSource_t::bindNow);
    connect(&d->drainTimer, &QTimer::timeout, this, &udpSource_t::handleReadyRead);
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
    d->drainTimer.stop();
    d->closeSocket();
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

quint64 udpSource_t::droppedDatagrams() const
{
    return d->unreadable + d->droppedBefore + systemDrops(d->socket->socketDescriptor());
}

void udpSource_t::bindNow()
{
    if (!d->running)
        return;
    QHostAddress const address = d->address.isEmpty() ? QHostAddress(QHostAddress::Any) : QHostAddress(d->address);
    // other programs on the bridge often listen to the same broadcasts
    if (d->socket->bind(address, d->port, QUdpSocket::ShareAddress | QUdpSocket::ReuseAddressHint)) {
        // the default queue holds a few hundred datagrams: a fraction of a second of a busy multiplexer
        d->socket->setSocketOption(QAbstractSocket::ReceiveBufferSizeSocketOption, QVariant(ReceiveBufferBytes));
        updateStatus(tr("Waiting for datagrams"));
        return;
    }
    setStatus(tr("Cannot listen on port %1: %2; trying again in %3 s")
                  .arg(d->port)
                  .arg(d->socket->errorString())
                  .arg(RebindIntervalMs / 1000));
    d->closeSocket();
    d->rebindTimer.start();
}

void udpSource_t::handleReadyRead()
{
    // a flood on this port must leave the windows their turn: take a pass, then come back
    int taken = 0;
    while (d->running && taken < MaxDatagramsPerPass && d->socket->hasPendingDatagrams()) {
        ++taken;
        qint64 const read = d->socket->readDatagram(d->buffer.data(), d->buffer.size());
        if (read < 0) {
            // the socket's notifier brings the next one
            ++d->unreadable;
            break;
        }
        double const now = belrix_common_qt::dataTimestamp();
        receiveBytes(d->buffer.constData(), read, now);
        endPartialLine(now);
    }
    if (!d->running || taken == 0)
        return;
    if (taken == MaxDatagramsPerPass && d->socket->hasPendingDatagrams())
        d->drainTimer.start();
    d->silenceTimer.start();
    setConnected(true);
    updateStatus(QString());
}

void udpSource_t::updateStatus(QString const& state)
{
    quint64 const dropped = droppedDatagrams();
    if (dropped == 0) {
        setStatus(state);
        return;
    }
    QString const lost = tr("%n datagram(s) dropped", nullptr, int(std::min<quint64>(dropped, INT_MAX)));
    setStatus(state.isEmpty() ? lost : state + QStringLiteral("; ") + lost);
}

} // namespace app
} // namespace orvane
