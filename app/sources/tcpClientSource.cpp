#include "tcpClientSource.h"

#include <belrix_common_qt/dataClock.h>

#include <QTcpSocket>
#include <QTimer>

#include <algorithm>

namespace orvane {
namespace app {

namespace {
// Bounds what one busy link can take in before the rest of the application gets a turn.
constexpr qint64 ReadBufferSize = 64 * 1024;
}

class tcpClientSource_t::private_t
{
public:
    QString host;
    quint16 port = 0;
    QTcpSocket* socket = nullptr;
    QTimer retryTimer;
    QTimer silenceTimer;
    int firstDelay = DefaultFirstDelayMs;
    int maxDelay = DefaultMaxDelayMs;
    int nextDelay = DefaultFirstDelayMs;
    bool running = false;
};

tcpClientSource_t::tcpClientSource_t(QString const& host, quint16 port, QObject* parent)
    : nmeaSource_t(parent), d(new private_t)
{
    d->host = host;
    d->port = port;
    d->socket = new QTcpSocket(this);
    d->socket->setReadBufferSize(ReadBufferSize);
    d->retryTimer.setSingleShot(true);
    d->silenceTimer.setSingleShot(true);
    d->silenceTimer.setInterval(DefaultSilenceTimeoutMs);
    connect(&d->retryTimer, &QTimer::timeout, this, &tcpClientSource_t::connectNow);
    connect(&d->silenceTimer, &QTimer::timeout, this, [this] {
        handleLost(tr("No data for %1 s").arg(d->silenceTimer.interval() / 1000.0));
    });
    // the delay starts over only once data came: a server that accepts and closes at once
    // is backed off like one that refuses
    connect(d->socket, &QTcpSocket::connected, this, [this] {
        resetPartialLine();
        setStatus(QString());
        setConnected(true);
        if (d->silenceTimer.interval() > 0)
            d->silenceTimer.start();
        handleConnected(d->socket);
    });
    connect(d->socket, &QTcpSocket::readyRead, this, &tcpClientSource_t::handleReadyRead);
    connect(d->socket, &QTcpSocket::disconnected, this, [this] { handleLost(tr("The link was closed")); });
    connect(d->socket, &QTcpSocket::errorOccurred, this, [this] { handleLost(d->socket->errorString()); });
}

tcpClientSource_t::~tcpClientSource_t()
{
    // the socket is a child, but its signals must not reach a half-destroyed source
    d->socket->disconnect(this);
    delete d;
}

void tcpClientSource_t::start()
{
    if (d->running)
        return;
    d->running = true;
    d->nextDelay = d->firstDelay;
    connectNow();
}

void tcpClientSource_t::stop()
{
    d->running = false;
    d->retryTimer.stop();
    d->silenceTimer.stop();
    d->socket->abort();
    resetPartialLine();
    setStatus(QString());
    setConnected(false);
}

QString tcpClientSource_t::description() const
{
    QString const host = d->host.contains(QLatin1Char(':')) ? QLatin1Char('[') + d->host + QLatin1Char(']') : d->host;
    return tr("TCP client %1:%2").arg(host).arg(d->port);
}

QString tcpClientSource_t::host() const { return d->host; }
quint16 tcpClientSource_t::port() const { return d->port; }

void tcpClientSource_t::setReconnectDelays(int firstMs, int maxMs)
{
    d->firstDelay = std::max(firstMs, 1);
    d->maxDelay = std::max(maxMs, d->firstDelay);
    d->nextDelay = d->firstDelay;
}

void tcpClientSource_t::setSilenceTimeout(int ms)
{
    d->silenceTimer.setInterval(std::max(ms, 0));
    if (ms <= 0)
        d->silenceTimer.stop();
}

int tcpClientSource_t::currentDelay() const { return d->retryTimer.isActive() ? d->retryTimer.interval() : 0; }

void tcpClientSource_t::handleConnected(QTcpSocket*) {}

void tcpClientSource_t::connectNow()
{
    if (!d->running)
        return;
    d->socket->abort();
    setStatus(tr("Connecting"));
    d->socket->connectToHost(d->host, d->port);
}

void tcpClientSource_t::retryNow()
{
    d->retryTimer.stop();
    connectNow();
}

void tcpClientSource_t::handleReadyRead()
{
    if (d->silenceTimer.interval() > 0)
        d->silenceTimer.start();
    double const now = belrix_common_qt::dataTimestamp();
    QByteArray const data = d->socket->readAll();
    if (!data.isEmpty())
        d->nextDelay = d->firstDelay;
    receiveBytes(data, now);
}

void tcpClientSource_t::handleLost(QString const& why)
{
    d->silenceTimer.stop();
    setConnected(false);
    resetPartialLine();
    // a refused attempt reports an error and nothing else; a dropped link reports both
    if (!d->running || d->retryTimer.isActive())
        return;
    if (d->socket->state() != QAbstractSocket::UnconnectedState) {
        QSignalBlocker blocker(d->socket);
        d->socket->abort();
    }
    int const delay = d->nextDelay;
    d->nextDelay = std::min(d->nextDelay * 2, d->maxDelay);
    setStatus(tr("%1; trying again in %2 s").arg(why).arg(delay / 1000.0));
    d->retryTimer.start(delay);
}

} // namespace app
} // namespace orvane
