#pragma once

#include <array>
#include <limits>

namespace belrix_common_qt {

// What the forecaster predicts for one instant: the satellites above the elevation mask and
// the dilutions of precision of their geometry. Fixed-size, so a forecast loop allocates nothing.
struct satForecastOutput_t {
    static constexpr int MaxSatellites = 64;

    struct satellite_t {
        int constellation = 0;   // constellation_t
        int prn = 0;             // GPS PRN 1-32, GLONASS slot 1-24
        double azimuth = 0.0;    // radians from true north, clockwise, [0, 2π)
        double elevation = 0.0;  // radians above the observer's horizon
    };

    bool valid = false;          // a forecast was made for the time
    int satellitesUsed = 0;      // above the mask, every constellation; == satelliteCount
    int gpsSatellites = 0;
    int glonassSatellites = 0;
    // NaN when the geometry does not give one (too few satellites for the unknowns)
    double hdop = std::numeric_limits<double>::quiet_NaN();
    double vdop = std::numeric_limits<double>::quiet_NaN();
    double pdop = std::numeric_limits<double>::quiet_NaN();
    int satelliteCount = 0;      // entries of satellites in use
    std::array<satellite_t, MaxSatellites> satellites{};
};

} // namespace belrix_common_qt
