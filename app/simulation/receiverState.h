#pragma once

#include <belrix_common_qt/constellation.h>
#include <belrix_common_qt/position.h>

#include <optional>
#include <vector>

namespace orvane {
namespace app {

// Dilution of precision of a satellite geometry.
struct dop_t {
    double hdop = 0.0;
    double vdop = 0.0;
    double pdop = 0.0;
};

// One satellite as a receiver sees it.
struct satelliteState_t {
    unsigned int number = 0;   // the data model's numbering (navSatNumbering.h)
    belrix_common_qt::constellation_t constellation = belrix_common_qt::constellationUnknown;
    double azimuth = 0.0;      // degrees from true north
    double elevation = 0.0;    // degrees
    double snr = 0.0;          // dB-Hz; 0 while the signal is not tracked
    unsigned int signalId = 1; // NMEA 4.10 signal identifier
    bool used = false;         // in the position solution
    double residual = 0.0;     // metres, of the solution's range to it; 0 when not used
};

// What a GNSS receiver knows at one moment, in the units of its NMEA output's data. The
// simulation computes it; the NMEA encoder writes it as sentences.
struct receiverState_t {
    double time = 0.0;                       // seconds since 1970-01-01 UTC
    bool hasFix = false;                     // false: too few satellites for a position
    int fixQuality = 0;                      // GGA quality indicator
    belrix_common_qt::position_t position;   // radians, WGS84
    double ellipsoidalHeight = 0.0;          // metres
    double geoidSeparation = 0.0;            // metres, ellipsoid above geoid
    double speed = 0.0;                      // metres per second over ground
    double course = 0.0;                     // degrees true over ground
    unsigned int satellitesUsed = 0;
    dop_t dop;
    std::vector<satelliteState_t> satellites;   // in number order, each above the horizon

    // GST: 1-sigma errors in metres, orientation of the semi-major axis in degrees from north
    double rangeRms = 0.0;
    double semiMajor = 0.0;
    double semiMinor = 0.0;
    double orientation = 0.0;
    double latitudeError = 0.0;
    double longitudeError = 0.0;
    double heightError = 0.0;
    // the residuals' sum of squares over the redundancy, in units of rangeRms squared
    double unitVariance = 0.0;

    std::optional<double> correctionAge;     // seconds since the last correction message
    std::optional<double> correctionSnr;     // dB-Hz of the L-band correction signal
    std::optional<double> heading;           // degrees true, [0, 360), of a GNSS compass with a fix
};

// A gyro compass's heading.
struct gyroState_t {
    double time = 0.0;
    double heading = 0.0;   // degrees true, [0, 360)
};

} // namespace app
} // namespace orvane
