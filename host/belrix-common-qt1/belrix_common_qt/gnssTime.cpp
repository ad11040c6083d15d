#include "belrix_common_qt/gnssTime.h"

#include <iterator>

namespace belrix_common_qt {

namespace {

// UTC instants (seconds since 1970) from which GPS − UTC took the next whole second.
constexpr double LeapSecondSteps[] = {
    362793600.0,    // 1981-07-01
    394329600.0,    // 1982-07-01
    425865600.0,    // 1983-07-01
    489024000.0,    // 1985-07-01
    567993600.0,    // 1988-01-01
    631152000.0,    // 1990-01-01
    662688000.0,    // 1991-01-01
    709948800.0,    // 1992-07-01
    741484800.0,    // 1993-07-01
    773020800.0,    // 1994-07-01
    820454400.0,    // 1996-01-01
    867715200.0,    // 1997-07-01
    915148800.0,    // 1999-01-01
    1136073600.0,   // 2006-01-01
    1230768000.0,   // 2009-01-01
    1341100800.0,   // 2012-07-01
    1435708800.0,   // 2015-07-01
    1483228800.0,   // 2017-01-01
};

} // namespace

double gpsMinusUtc(double utc)
{
    int steps = 0;
    for (double const step : LeapSecondSteps) {
        if (utc < step)
            break;
        ++steps;
    }
    return double(steps);
}

double gpsTimeFromUtc(double utc) { return utc - GpsEpochUtc + gpsMinusUtc(utc); }

double utcFromGpsTime(double gps)
{
    // the offset at the UTC instant, found from the GPS side: at most one step apart
    double const guess = gps + GpsEpochUtc - gpsMinusUtc(gps + GpsEpochUtc);
    return gps + GpsEpochUtc - gpsMinusUtc(guess);
}

} // namespace belrix_common_qt
