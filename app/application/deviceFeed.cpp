#include "deviceFeed.h"

#include "sources/nmeaLineSplitter.h"
#include "sources/nmeaSource.h"

#include <belrix_common_qt/deviceLogger.h>
#include <belrix_common_qt/remoteDevice.h>
#include <belrix_common_qt/remotePort.h>

#include <QDir>
#include <QFileInfo>

#include <QPointer>

#include <algorithm>
#include <cstdint>
#include <deque>
#include <memory>

namespace orvane {
namespace app {

class deviceFeed_t::private_t
{
public:
    QPointer<belrix_common_qt::remotePort_t> port;
    std::unique_ptr<belrix_common_qt::nmeaDecoder_t> decoder;
    nmeaSource_t* source = nullptr;
    QPointer<belrix_common_qt::deviceLogger_t> logger;
    QString problem;
    std::deque<rawLine_t> history;
    int historySize = DefaultHistorySize;
    quint64 sequence = 0;
    quint64 overlongBase = 0;   // the source's count when the counters were last reset
};

deviceFeed_t::deviceFeed_t(belrix_common_qt::remotePort_t* port, belrix_common_qt::remoteController_t* controller,
                           QObject* parent)
    : QObject(parent), d(new private_t)
{
    d->port = port;
    d->decoder = std::make_unique<belrix_common_qt::nmeaDecoder_t>(port ? port->device() : nullptr, controller);
    d->logger = belrix_common_qt::deviceLogger_t::forDevice(port ? port->device() : nullptr);
    if (d->logger)
        connect(d->logger, &belrix_common_qt::deviceLogger_t::statusChanged, this, &deviceFeed_t::statusChanged);
}

deviceFeed_t::~deviceFeed_t()
{
    if (d->source) {
        d->source->disconnect(this);
        d->source->stop();
    }
    delete d;
}

belrix_common_qt::remotePort_t* deviceFeed_t::port() const { return d->port; }

void deviceFeed_t::setSource(nmeaSource_t* source)
{
    if (source == d->source)
        return;
    if (d->source) {
        d->source->disconnect(this);
        d->source->stop();
        delete d->source;
        d->source = nullptr;
    }
    d->source = source;
    d->overlongBase = 0;
    if (d->port)
        d->port->setConnected(false);
    if (!source) {
        emit statusChanged();
        return;
    }
    source->setParent(this);
    connect(source, &nmeaSource_t::lineReceived, this, &deviceFeed_t::handleLine);
    connect(source, &nmeaSource_t::connectionChanged, this, [this](bool connected) {
        if (d->port)
            d->port->setConnected(connected);
        emit statusChanged();
    });
    connect(source, &nmeaSource_t::statusChanged, this, &deviceFeed_t::statusChanged);
    emit statusChanged();
}

nmeaSource_t* deviceFeed_t::source() const { return d->source; }

void deviceFeed_t::start()
{
    if (d->source)
        d->source->start();
}

void deviceFeed_t::stop()
{
    if (d->source)
        d->source->stop();
}

void deviceFeed_t::setAllowMissingChecksum(bool allow) { d->decoder->setAllowMissingChecksum(allow); }
bool deviceFeed_t::allowMissingChecksum() const { return d->decoder->allowMissingChecksum(); }

bool deviceFeed_t::setRecordFile(QString const& path, QString const& deviceName, QString* error)
{
    belrix_common_qt::remoteDevice_t* device = d->port ? d->port->device() : nullptr;
    if (!d->logger || !device)
        return path.isEmpty();
    d->logger->setDeviceName(deviceName);
    belrix_common_qt::logCfg_t cfg;
    if (belrix_common_qt::logCfg_t const* current = device->logCfg(belrix_common_qt::logChannelRaw))
        cfg = *current;
    if (path.isEmpty()) {
        if (cfg.active) {
            cfg.active = false;
            device->setLogCfg(belrix_common_qt::logChannelRaw, cfg);
        }
        return true;
    }
    // one file, no day's rotation: the name is the user's
    QFileInfo const info(path);
    cfg.active = true;
    cfg.mode = 0;
    cfg.path = QDir::cleanPath(info.absolutePath()).toStdString();
    cfg.pattern = info.fileName().toStdString();
    device->setLogCfg(belrix_common_qt::logChannelRaw, cfg);
    if (d->logger->isLogging(belrix_common_qt::logChannelRaw))
        return true;
    if (error)
        *error = d->logger->errorString(belrix_common_qt::logChannelRaw);
    return false;
}

QString deviceFeed_t::recordFile() const
{
    return d->logger && d->logger->isLogging(belrix_common_qt::logChannelRaw) ? d->logger->fileName(belrix_common_qt::logChannelRaw)
                                                                              : QString();
}

void deviceFeed_t::setProblem(QString const& problem)
{
    if (d->problem == problem)
        return;
    d->problem = problem;
    emit statusChanged();
}

QString deviceFeed_t::statusText() const
{
    if (!d->problem.isEmpty())
        return d->problem;
    QString status = d->source ? d->source->status() : QString();
    // a log that stopped must not go unseen: the device runs on, unlogged
    if (d->logger)
        for (auto channel : {belrix_common_qt::logChannelRaw, belrix_common_qt::logChannelExternal})
            if (!d->logger->isLogging(channel) && !d->logger->errorString(channel).isEmpty())
                status += (status.isEmpty() ? QString() : QStringLiteral("; "))
                          + tr("logging stopped: %1").arg(d->logger->errorString(channel));
    return status;
}

QString deviceFeed_t::stateText() const
{
    QString const status = statusText();
    QString const state = d->port && d->port->isConnected() ? tr("Connected") : tr("Not connected");
    return status.isEmpty() ? state : state + QStringLiteral(": ") + status;
}

belrix_common_qt::nmeaCounters_t deviceFeed_t::counters() const { return d->decoder->counters(); }

quint64 deviceFeed_t::overlongLines() const
{
    return d->source ? d->source->splitter().overlongLines() - std::min<quint64>(d->overlongBase, d->source->splitter().overlongLines())
                     : 0;
}

void deviceFeed_t::resetCounters()
{
    d->decoder->resetCounters();
    d->overlongBase = d->source ? d->source->splitter().overlongLines() : 0;
}

QList<rawLine_t> deviceFeed_t::recentLines() const
{
    QList<rawLine_t> list;
    list.reserve(int(d->history.size()));
    for (rawLine_t const& line : d->history)
        list.append(line);
    return list;
}

quint64 deviceFeed_t::lastSequence() const { return d->sequence; }

void deviceFeed_t::setHistorySize(int lines)
{
    d->historySize = std::max(lines, 1);
    while (int(d->history.size()) > d->historySize)
        d->history.pop_front();
}

int deviceFeed_t::historySize() const { return d->historySize; }

void deviceFeed_t::handleLine(QByteArray const& line, double dataTime)
{
    if (d->logger)
        d->logger->writeRaw(line, dataTime);
    rawLine_t raw;
    raw.sequence = ++d->sequence;
    raw.time = dataTime;
    raw.text = line;
    std::uint64_t const accepted = d->decoder->counters().accepted;
    raw.result = d->decoder->decodeLine(line.constData(), std::size_t(line.size()), dataTime);
    if (d->logger && d->decoder->counters().accepted != accepted)
        d->logger->dataTaken(dataTime);
    d->history.push_back(raw);
    if (int(d->history.size()) > d->historySize)
        d->history.pop_front();
}

} // namespace app
} // namespace orvane
