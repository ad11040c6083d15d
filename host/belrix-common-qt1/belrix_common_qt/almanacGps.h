#pragma once

#include "belrix_common_qt/gnssTime.h"

namespace belrix_common_qt {

// One GPS almanac entry (IS-GPS-200 almanac page), angles in radians, semi-circles converted.
struct almanacGps_t {
    unsigned int prn = 0;
    unsigned int health = 0;      // 0: usable
    unsigned int week = 0;        // full GPS week number
    double toa = 0.0;             // seconds of the week
    double eccentricity = 0.0;
    double inclination = 0.0;     // radians, including the 0.3 semi-circle reference
    double rateOfRightAscension = 0.0;   // radians/s
    double sqrtA = 0.0;           // sqrt(m)
    double rightAscension = 0.0;  // radians at week epoch
    double argumentOfPerigee = 0.0;
    double meanAnomaly = 0.0;
    double af0 = 0.0;             // s
    double af1 = 0.0;             // s/s

    // Reference time of the entry, seconds since 1970-01-01 UTC.
    double referenceTime() const { return utcFromGpsTime(double(week) * SecondsPerGpsWeek + toa); }
};

} // namespace belrix_common_qt
