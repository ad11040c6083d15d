#include "serialSource.h"

#include <belrix_common_qt/dataClock.h>

#include <QSerialPort>
#include <QTimer>

#include <algorithm>

namespace orvane {
namespace app {

namespace {
constexpr qint64 ReadBufferSize = 64 * 1024;

QSerialPort::Parity parityFromText(QString const& text)
{
    if (text == QLatin1String("even"))
        return QSerialPort::EvenParity;
    if (text == QLatin1String("odd"))
        return QSerialPort::OddParity;
    if (text == QLatin1String("mark"))
        return QSerialPort::MarkParity;
    if (text == QLatin1String("space"))
        return QSerialPort::SpaceParity;
    return QSerialPort::NoParity;
}
} // namespace

class serialSource_t::private_t
{
public:
    QString portName;
    int baudRate = 4800;
    QString parity;
    QSerialPort* port = nullptr;
    QTimer retryTimer;
    bool running = false;
};

serialSource_t::serialSource_t(QString const& portName, int baudRate, QString const& parity, QObject* parent)
    : nmeaSource_t(parent), d(new private_t)
{
    d->portName = portName;
    d->baudRate = baudRate;
    d->parity = parity;
    d->port = new QSerialPort(this);
    d->port->setReadBufferSize(ReadBufferSize);
    d->retryTimer.setSingleShot(true);
    d->retryTimer.setInterval(DefaultRetryIntervalMs);
    connect(&d->retryTimer, &QTimer::timeout, this, &serialSource_t::openNow);
    connect(d->port, &QSerialPort::readyRead, this, &serialSource_t::handleReadyRead);
    connect(d->port, &QSerialPort::errorOccurred, this, [this](QSerialPort::SerialPortError error) {
        // a removed adapter reports a resource error; read and parity slips are the line's noise
        if (error == QSerialPort::ResourceError || error == QSerialPort::PermissionError
            || error == QSerialPort::DeviceNotFoundError)
            handleLost(d->port->errorString());
    });
}

serialSource_t::~serialSource_t()
{
    d->port->disconnect(this);
    delete d;
}

void serialSource_t::start()
{
    if (d->running)
        return;
    d->running = true;
    openNow();
}

void serialSource_t::stop()
{
    d->running = false;
    d->retryTimer.stop();
    if (d->port->isOpen())
        d->port->close();
    resetPartialLine();
    setStatus(QString());
    setConnected(false);
}

QString serialSource_t::description() const
{
    return tr("Serial %1, %2 baud, parity %3").arg(d->portName).arg(d->baudRate).arg(d->parity);
}

void serialSource_t::setRetryInterval(int ms) { d->retryTimer.setInterval(std::max(ms, 1)); }

void serialSource_t::openNow()
{
    if (!d->running)
        return;
    if (d->port->isOpen())
        d->port->close();
    d->port->setPortName(d->portName);
    if (!d->port->open(QIODevice::ReadOnly)) {
        handleLost(d->port->errorString());
        return;
    }
    bool const configured = d->port->setBaudRate(d->baudRate) && d->port->setDataBits(QSerialPort::Data8)
                            && d->port->setParity(parityFromText(d->parity))
                            && d->port->setStopBits(QSerialPort::OneStop)
                            && d->port->setFlowControl(QSerialPort::NoFlowControl);
    if (!configured) {
        handleLost(tr("Cannot set %1 baud, parity %2: %3").arg(d->baudRate).arg(d->parity, d->port->errorString()));
        return;
    }
    resetPartialLine();
    setStatus(QString());
    setConnected(true);
}

void serialSource_t::handleReadyRead()
{
    double const now = belrix_common_qt::dataTimestamp();
    receiveBytes(d->port->readAll(), now);
}

void serialSource_t::handleLost(QString const& why)
{
    setConnected(false);
    resetPartialLine();
    if (!d->running || d->retryTimer.isActive())
        return;
    if (d->port->isOpen()) {
        QSignalBlocker blocker(d->port);
        d->port->close();
    }
    setStatus(tr("%1; trying again in %2 s").arg(why).arg(d->retryTimer.interval() / 1000.0));
    d->retryTimer.start();
}

} // namespace app
} // namespace orvane
