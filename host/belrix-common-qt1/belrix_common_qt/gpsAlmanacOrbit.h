#pragma once

#include "belrix_common_qt_export.h"
#include "belrix_common_qt/almanacGps.h"

namespace belrix_common_qt {

// A GPS satellite's orbit as its almanac describes it: the Keplerian model of the GPS user
// algorithm (IS-GPS-200, the ephemeris algorithm with the almanac's terms and no harmonic
// corrections), in WGS84 earth-fixed coordinates. The constants are worked out once, and the
// earth's turn is shared by all satellites of an instant, so that a position costs one
// sine-cosine pair (of the mean anomaly); the small angles after it go by their series.
struct BELRIX_COMMON_QT_EXPORT gpsAlmanacOrbit_t {
    static constexpr double EarthMu = 3.986005e14;            // m^3/s^2, as the interface fixes it
    static constexpr double EarthRotation = 7.2921151467e-5;  // rad/s

    unsigned int prn = 0;
    bool healthy = false;
    double reference = 0.0;        // seconds since the GPS epoch, GPS time: week and toa
    double semiMajorAxis = 0.0;
    double meanMotion = 0.0;
    double meanAnomaly = 0.0;      // at reference
    double eccentricity = 0.0;
    double sqrtOneMinusE2 = 1.0;
    double cosPerigee = 1.0;
    double sinPerigee = 0.0;
    double cosInclination = 1.0;
    double sinInclination = 0.0;
    double cosNode = 1.0;          // of the node's longitude at reference less the earth's
    double sinNode = 0.0;          // angle then: the node as if the earth had not turned
    double nodeRate = 0.0;         // precession of the node, rad/s

    gpsAlmanacOrbit_t() = default;
    explicit gpsAlmanacOrbit_t(almanacGps_t const& almanac);

    // Earth-fixed position in metres at gpsTime, seconds since the GPS epoch in GPS time.
    void position(double gpsTime, double ecef[3]) const;
    // The same with the earth's angle at gpsTime given (earthAngle), as many satellites share it.
    void position(double gpsTime, double cosEarth, double sinEarth, double ecef[3]) const;
    static void earthAngle(double gpsTime, double& cosEarth, double& sinEarth);

    // The same orbit's almanac referred to another week and time of applicability: in this
    // model every position it gives is the original's.
    static almanacGps_t referredTo(almanacGps_t const& almanac, unsigned int week, double toa);
};

} // namespace belrix_common_qt
