#pragma once

#include "belrix_common_qt_export.h"
#include "belrix_common_qt/logCfg.h"

#include <QByteArray>
#include <QObject>
#include <QString>

namespace belrix_common_qt {

class remoteDevice_t;

// Logs one device's data as its log configurations say: channel 0 (raw) keeps every received
// line with its arrival time, channel 1 (external) one CSV row of the chosen fields per epoch.
// Setting a channel's configuration on the device starts or stops it. A failure stops that
// channel of this device only: its configuration is set inactive and status() says why.
//
// A row describes one epoch whole: it is written when the epoch has ended, never while its
// later sentences may still come. An epoch that has taken data ends when the device's source
// says so (remoteDevice_t::endEpoch, before it sets the first item of the next epoch), when
// the data clock has gone EpochQuietTime past its last data, when the CSV log stops or
// changes, and when the device goes. Its cells are judged at the data time of its last data.
class BELRIX_COMMON_QT_EXPORT deviceLogger_t : public QObject
{
    Q_OBJECT
public:
    // The device's logger, made on first use as a child of the device.
    static deviceLogger_t* forDevice(remoteDevice_t* device);
    ~deviceLogger_t() override;

    // The name that {device} in a file name pattern stands for.
    void setDeviceName(QString const& name);
    QString deviceName() const;

    // A received line, with the data time it arrived at.
    void writeRaw(QByteArray const& line, double arrival);
    // After the device's source has set items at this data time: the open epoch has data.
    void dataTaken(double dataTime);

    bool isLogging(logChannelType_t channel) const;
    QString fileName(logChannelType_t channel) const;
    qint64 bytesWritten(logChannelType_t channel) const;
    // Why the channel stopped on its own; empty otherwise.
    QString errorString(logChannelType_t channel) const;
    // One line for the user: where it logs and how much, or why it stopped.
    QString status(logChannelType_t channel) const;

    // The raw format: arrival time in seconds since 1970 UTC with milliseconds, a space, the
    // line as received, without line ends of its own.
    static QByteArray rawLine(QByteArray const& line, double arrival);
    static QString defaultPattern(logChannelType_t channel);

signals:
    void statusChanged(belrix_common_qt::logChannelType_t channel);

private:
    explicit deviceLogger_t(remoteDevice_t* device);
    void apply(belrix_common_qt::logChannelType_t channel, belrix_common_qt::logCfg_t const* cfg);
    bool writeEpoch();   // false when the log failed
    void checkQuiet();
    void fail(logChannelType_t channel);

    class private_t;
    private_t* d;
};

} // namespace belrix_common_qt
