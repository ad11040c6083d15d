#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

namespace orvane {
namespace app {

class nmeaLineSplitter_t;

// Where a device's NMEA text comes from: a file, a network link, a serial port or the
// simulation. A source hands on whole lines, each stamped with its data time, and says
// whether it is connected; what the lines mean is the decoder's business.
class nmeaSource_t : public QObject
{
    Q_OBJECT
public:
    explicit nmeaSource_t(QObject* parent = nullptr);
    ~nmeaSource_t() override;

    virtual void start() = 0;
    virtual void stop() = 0;
    // Headless runs step their sources by hand instead of waiting for timers: a replay moves
    // on by that much playback time. Live sources have nothing to step.
    virtual void advance(double seconds);
    // What feeds the device, for the device list, e.g. "TCP client 10.0.0.5:4001".
    virtual QString description() const = 0;

    bool isConnected() const;
    // Why the source delivers nothing, for the user; empty while all is well.
    QString status() const;
    // Garbage counts of the line splitting.
    nmeaLineSplitter_t const& splitter() const;

signals:
    void lineReceived(QByteArray const& line, double dataTime);
    void connectionChanged(bool connected);
    void statusChanged(QString const& status);

protected:
    void setConnected(bool connected);
    void setStatus(QString const& status);
    // Bytes as they arrive, cut into lines stamped with dataTime.
    void receiveBytes(char const* data, qsizetype size, double dataTime);
    void receiveBytes(QByteArray const& data, double dataTime) { receiveBytes(data.constData(), data.size(), dataTime); }
    // Ends the unfinished line, as at the end of a datagram.
    void endPartialLine(double dataTime);
    // Forgets the unfinished line, as when a link is made again.
    void resetPartialLine();
    void setMaxLineLength(int length);
    // For sources that hold lines back before handing them on (replay).
    nmeaLineSplitter_t& lineSplitter();
    // Lines that are not the device's NMEA (gpsd's own reports) are dropped here.
    virtual bool acceptsLine(QByteArray const& line) const;
    void emitLine(QByteArray const& line, double dataTime);

private:
    class private_t;
    private_t* d;
};

} // namespace app
} // namespace orvane
