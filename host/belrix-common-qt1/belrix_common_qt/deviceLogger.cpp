#include "belrix_common_qt/deviceLogger.h"

#include "belrix_common_qt/csvFields.h"
#include "belrix_common_qt/dataClock.h"
#include "belrix_common_qt/logFile.h"
#include "belrix_common_qt/remoteDevice.h"

#include <QDir>
#include <QPointer>
#include <QTimer>

#include <cmath>

namespace belrix_common_qt {

namespace {
constexpr int ChannelCount = 2;
// How often a running CSV log looks for an epoch that has gone quiet.
constexpr int QuietCheckMs = 500;

bool known(logChannelType_t channel) { return int(channel) >= 0 && int(channel) < ChannelCount; }
} // namespace

class deviceLogger_t::private_t
{
public:
    QPointer<remoteDevice_t> device;
    QString deviceName;
    logFile_t files[ChannelCount];
    QString errors[ChannelCount];
    logCfg_t running[ChannelCount];
    std::uint32_t mask = 0xffffffffu;
    bool epochOpen = false;   // data taken since the last row
    double lastData = 0.0;    // data time of the open epoch's last data
    QTimer* quietTimer = nullptr;
    bool failing = false;   // the logger itself sets a failed channel inactive
};

deviceLogger_t* deviceLogger_t::forDevice(remoteDevice_t* device)
{
    if (!device)
        return nullptr;
    if (auto* logger = device->findChild<deviceLogger_t*>(QString(), Qt::FindDirectChildrenOnly))
        return logger;
    return new deviceLogger_t(device);
}

deviceLogger_t::deviceLogger_t(remoteDevice_t* device) : QObject(device), d(new private_t)
{
    setObjectName(QStringLiteral("deviceLogger"));
    d->device = device;
    d->quietTimer = new QTimer(this);
    d->quietTimer->setObjectName(QStringLiteral("epochQuietTimer"));
    d->quietTimer->setInterval(QuietCheckMs);
    connect(d->quietTimer, &QTimer::timeout, this, &deviceLogger_t::checkQuiet);
    connect(device, &remoteDevice_t::logCfgUpdated, this, &deviceLogger_t::apply);
    connect(device, &remoteDevice_t::epochEnded, this, &deviceLogger_t::writeEpoch);
    for (int c = 0; c < ChannelCount; ++c)
        if (logCfg_t const* cfg = device->logCfg(logChannelType_t(c)))
            apply(logChannelType_t(c), cfg);
}

deviceLogger_t::~deviceLogger_t()
{
    writeEpoch();
    delete d;
}

void deviceLogger_t::setDeviceName(QString const& name) { d->deviceName = name; }
QString deviceLogger_t::deviceName() const { return d->deviceName; }

void deviceLogger_t::apply(logChannelType_t channel, logCfg_t const* cfg)
{
    if (d->failing || !known(channel))
        return;
    logFile_t& file = d->files[channel];
    // the same configuration again (settings loaded anew) goes on in the same file
    if (cfg && cfg->active && file.isActive() && *cfg == d->running[channel])
        return;
    if (channel == logChannelExternal) {
        d->quietTimer->stop();
        // the open epoch goes to the file its row belongs in; a failure has stopped the log
        if (!writeEpoch())
            return;
    }
    file.stop();
    d->errors[channel].clear();
    if (cfg && cfg->active && d->device) {
        QString pattern = QString::fromStdString(cfg->pattern).trimmed();
        if (pattern.isEmpty())
            pattern = defaultPattern(channel);
        file.setMode(cfg->mode);
        file.setAge(cfg->age);
        if (channel == logChannelExternal) {
            csvOutputCfg_t const* fields = d->device->csvOutputCfg();
            d->mask = fields ? fields->mask : 0xffffffffu;
            file.setHeader(csvFields_t::header(d->mask));
        } else {
            file.setHeader("# orvane recording of " + d->deviceName.toUtf8().replace('\n', ' ').replace('\r', ' ')
                           + "\n# arrival time (UTC seconds since 1970), a space, the line as received");
        }
        d->running[channel] = *cfg;
        if (!file.start(QString::fromStdString(cfg->path), pattern, d->deviceName, dataClock_t::now())) {
            fail(channel);
            return;
        }
        if (channel == logChannelExternal)
            d->quietTimer->start();
    }
    emit statusChanged(channel);
}

void deviceLogger_t::fail(logChannelType_t channel)
{
    d->errors[channel] = d->files[channel].errorString();
    if (channel == logChannelExternal)
        d->quietTimer->stop();
    qWarning("orvane: logging of %s stopped: %s", qPrintable(d->deviceName), qPrintable(d->errors[channel]));
    if (d->device) {
        if (logCfg_t const* cfg = d->device->logCfg(channel)) {
            logCfg_t stopped = *cfg;
            stopped.active = false;
            d->failing = true;
            d->device->setLogCfg(channel, stopped);
            d->failing = false;
        }
    }
    emit statusChanged(channel);
}

void deviceLogger_t::writeRaw(QByteArray const& line, double arrival)
{
    logFile_t& file = d->files[logChannelRaw];
    if (file.isActive() && !file.writeLine(rawLine(line, arrival), arrival))
        fail(logChannelRaw);
}

void deviceLogger_t::dataTaken(double dataTime)
{
    if (!d->files[logChannelExternal].isActive())
        return;
    d->epochOpen = true;
    d->lastData = dataTime;
}

bool deviceLogger_t::writeEpoch()
{
    if (!d->epochOpen)
        return true;
    d->epochOpen = false;
    logFile_t& file = d->files[logChannelExternal];
    if (!file.isActive() || !d->device)
        return true;
    if (file.writeLine(csvFields_t::row(*d->device, d->mask, d->lastData), d->lastData))
        return true;
    fail(logChannelExternal);
    return false;
}

void deviceLogger_t::checkQuiet()
{
    // a replay may also have been wound back
    if (d->epochOpen && !(std::fabs(dataClock_t::now() - d->lastData) <= EpochQuietTime))
        writeEpoch();
}

bool deviceLogger_t::isLogging(logChannelType_t channel) const
{
    return known(channel) && d->files[channel].isActive();
}

QString deviceLogger_t::fileName(logChannelType_t channel) const
{
    return known(channel) ? d->files[channel].fileName() : QString();
}

qint64 deviceLogger_t::bytesWritten(logChannelType_t channel) const
{
    return known(channel) ? d->files[channel].bytesWritten() : 0;
}

QString deviceLogger_t::errorString(logChannelType_t channel) const
{
    return known(channel) ? d->errors[channel] : QString();
}

QString deviceLogger_t::status(logChannelType_t channel) const
{
    if (isLogging(channel))
        return tr("Logging to %1, %2 bytes written")
            .arg(QDir::toNativeSeparators(fileName(channel)))
            .arg(bytesWritten(channel));
    if (!errorString(channel).isEmpty())
        return tr("Logging stopped: %1").arg(errorString(channel));
    return tr("Not logging");
}

QByteArray deviceLogger_t::rawLine(QByteArray const& line, double arrival)
{
    if (!std::isfinite(arrival))
        arrival = 0.0;
    QByteArray text = QByteArray::number(arrival, 'f', 3) + ' ' + line;
    // a line never holds its own end; keep the file one record per line whatever comes
    text.replace('\r', ' ').replace('\n', ' ');
    return text;
}

QString deviceLogger_t::defaultPattern(logChannelType_t channel)
{
    return channel == logChannelExternal ? QStringLiteral("{device}_{date}.csv") : QStringLiteral("{device}_{date}.nmea");
}

} // namespace belrix_common_qt
