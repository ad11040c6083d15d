#pragma once

namespace belrix_common_qt {

// One GLONASS almanac entry (ICD GLONASS), angles in radians.
struct almanacGlonass_t {
    unsigned int slot = 0;
    int frequencyChannel = 0;
    unsigned int health = 0;      // 0: usable, as for GPS
    double referenceTime = 0.0;   // seconds since 1970-01-01 UTC of the ascending node pass
    double lambda = 0.0;          // longitude of the first ascending node, radians
    double deltaInclination = 0.0;
    double eccentricity = 0.0;
    double argumentOfPerigee = 0.0;
    double deltaT = 0.0;          // s per orbit
    double deltaTDot = 0.0;
    double tau = 0.0;             // clock offset, s
};

} // namespace belrix_common_qt
