#pragma once

#include "belrix_common_qt_export.h"
#include "belrix_common_qt/almanacGlonass.h"
#include "belrix_common_qt/almanacGps.h"

#include <QString>

#include <vector>

class QByteArray;

namespace belrix_common_qt {

// Reads one almanac file. The format is told from the content, whatever the file's name:
// - YUMA (GPS): blocks of "Name: value" lines, angles in radians;
// - SEM (GPS): a count and name line, a week and time of applicability line, then one record
//   per satellite, angles in semi-circles, inclination as an offset from 0.3 semi-circles;
// - the GLONASS information centre's ".agl" (GLONASS) and ".agp" (GPS) files: three lines per
//   satellite, angles in semi-circles, GLONASS times of day in Moscow time (UTC + 3 h).
// YUMA and SEM give the week modulo 1024; it is taken as the latest full week that does not
// lie more than four weeks after the rollover reference (the current time unless set).
//
// A file is taken whole or not at all: the first fault ends the reading with a message that
// names the file and the line, and no entry of that file is kept.
class BELRIX_COMMON_QT_EXPORT almanacFileReader_t
{
public:
    enum format_t { formatUnknown, formatYuma, formatSem, formatGlonassAgl, formatGpsAgp };

    almanacFileReader_t();
    ~almanacFileReader_t();
    almanacFileReader_t(almanacFileReader_t const&) = delete;
    almanacFileReader_t& operator=(almanacFileReader_t const&) = delete;

    // Seconds since 1970-01-01 UTC; 0 or less: the current time at each read.
    void setRolloverReference(double utc);

    // False, with errorString(), when the file cannot be read or holds a fault.
    bool read(QString const& path);
    // The same on content already read; name is what the messages call it.
    bool readData(QByteArray const& data, QString const& name);

    format_t format() const;
    std::vector<almanacGps_t> const& gps() const;
    std::vector<almanacGlonass_t> const& glonass() const;
    // "file:line: what is wrong", or empty after a good read.
    QString errorString() const;

    static QString formatName(format_t format);

private:
    class private_t;
    private_t* d;
};

} // namespace belrix_common_qt
