#pragma once

#include "belrix_common_qt_export.h"

namespace belrix_common_qt {

// Time scales of the satellite systems, as seconds since 1970-01-01 UTC (the data time).
// GPS time runs without leap seconds from its start, 1980-01-06 00:00:00 UTC; GLONASS time is
// UTC(SU) + 3 h and steps with UTC, so GLONASS almanac times convert to UTC by the offset alone.

constexpr double GpsEpochUtc = 315964800.0;       // 1980-01-06 00:00:00 UTC
constexpr double SecondsPerGpsWeek = 604800.0;
constexpr double GlonassTimeOffset = 10800.0;     // GLONASS time − UTC

// GPS − UTC in whole seconds at a UTC instant: 0 before 1981-07-01, 18 since 2017-01-01.
// The table ends there; a later leap second needs a new row.
BELRIX_COMMON_QT_EXPORT double gpsMinusUtc(double utc);
// Seconds since the GPS epoch in GPS time, from UTC.
BELRIX_COMMON_QT_EXPORT double gpsTimeFromUtc(double utc);
// UTC from seconds since the GPS epoch in GPS time.
BELRIX_COMMON_QT_EXPORT double utcFromGpsTime(double gps);

} // namespace belrix_common_qt
