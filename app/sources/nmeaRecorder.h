#pragma once

#include <QByteArray>
#include <QString>

namespace orvane {
namespace app {

// Keeps a device's lines as they arrive, for replay later. One line per received line:
// the arrival time in seconds since 1970-01-01 UTC with milliseconds, a space, and the line
// as received ("1718000000.250 $GNGGA,...*5C"). Lines starting with '#' are comments.
class nmeaRecorder_t
{
public:
    nmeaRecorder_t();
    ~nmeaRecorder_t();
    nmeaRecorder_t(nmeaRecorder_t const&) = delete;
    nmeaRecorder_t& operator=(nmeaRecorder_t const&) = delete;

    // Starts a new file (an existing one is replaced) with a comment naming the device.
    bool open(QString const& path, QString const& deviceName, QString* error = nullptr);
    void close();
    bool isOpen() const;
    QString path() const;

    void record(QByteArray const& line, double arrival);
    // Written lines reach the disk at least once a second anyway.
    void flush();

    static QByteArray formatLine(QByteArray const& line, double arrival);
    // False for a line that is not in this format (a plain NMEA log's line).
    static bool parseLine(QByteArray const& recorded, QByteArray* line, double* arrival);
    // The file of one device when one --record path serves them all: "capture.nmea" and
    // "GNSS 1" give "capture-gnss-1.nmea".
    static QString pathForDevice(QString const& path, QString const& deviceName);

private:
    class private_t;
    private_t* d;
};

} // namespace app
} // namespace orvane
