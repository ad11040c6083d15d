#pragma once

#include <QByteArray>
#include <QString>

namespace orvane {
namespace app {

// The format of recordings, which deviceLogger_t's raw channel writes and a replay reads. One
// line per received line: the arrival time in seconds since 1970-01-01 UTC with milliseconds,
// a space, and the line as received ("1718000000.250 $GNGGA,...*5C"). Lines starting with '#'
// are comments.
class nmeaRecorder_t
{
public:
    static QByteArray formatLine(QByteArray const& line, double arrival);
    // False for a line that is not in this format (a plain NMEA log's line).
    static bool parseLine(QByteArray const& recorded, QByteArray* line, double* arrival);
    // The file of one device when one --record path serves them all: "capture.nmea" and
    // "GNSS 1" give "capture-gnss-1.nmea".
    static QString pathForDevice(QString const& path, QString const& deviceName);
};

} // namespace app
} // namespace orvane
