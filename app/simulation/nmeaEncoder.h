#pragma once

#include "receiverState.h"

#include <belrix_common_qt/almanacGps.h>

#include <QByteArray>
#include <QList>

#include <vector>

namespace orvane {
namespace app {

// Writes NMEA 0183 (4.11) sentences: whole lines with '$' and checksum, without line end.
class nmeaEncoder_t
{
public:
    // "$" + body + "*" + the checksum in two upper-case hex digits.
    static QByteArray sentence(QByteArray const& body);

    // One epoch of a receiver: RMC, GGA, a GSA per system, the GSV groups, a GRS per system,
    // GST, GBS, HDT (a GNSS compass) and ZDA. GSA, GRS and GBS name their system (NMEA 4.11), GSV its signal (4.10).
    static QList<QByteArray> receiverEpoch(receiverState_t const& state);
    // HEHDT.
    static QByteArray heading(gyroState_t const& state);
    // GPALM pages, one per entry.
    static QList<QByteArray> almanac(std::vector<belrix_common_qt::almanacGps_t> const& entries);

    static QByteArray timeOfDay(double t);   // hhmmss.ss
    static QByteArray latitude(double radians);    // ddmm.mmmmmmm,N
    static QByteArray longitude(double radians);   // dddmm.mmmmmmm,E
};

} // namespace app
} // namespace orvane
