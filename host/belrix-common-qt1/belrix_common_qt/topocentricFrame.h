#pragma once

#include "belrix_common_qt_export.h"

#include <cmath>

namespace belrix_common_qt {

// An observer on the WGS84 ellipsoid and its local east-north-up axes, to turn earth-fixed
// satellite positions into directions in the observer's sky.
struct BELRIX_COMMON_QT_EXPORT topocentricFrame_t {
    double origin[3] = {0.0, 0.0, 0.0};   // earth-fixed, metres
    double east[3] = {0.0, 1.0, 0.0};
    double north[3] = {0.0, 0.0, 1.0};
    double up[3] = {1.0, 0.0, 0.0};

    topocentricFrame_t() = default;
    // Latitude and longitude in radians, ellipsoidal height in metres.
    topocentricFrame_t(double latitude, double longitude, double height);

    // The unit vector from the observer towards ecef, in east, north, up; false when ecef is
    // the observer's own place. Inline: a forecast calls it for every satellite and instant.
    bool lineOfSight(double const ecef[3], double enu[3]) const
    {
        double const dx = ecef[0] - origin[0];
        double const dy = ecef[1] - origin[1];
        double const dz = ecef[2] - origin[2];
        double const range = std::sqrt(dx * dx + dy * dy + dz * dz);
        if (!(range > 0.0))
            return false;
        double const inverse = 1.0 / range;
        enu[0] = (east[0] * dx + east[1] * dy + east[2] * dz) * inverse;
        enu[1] = (north[0] * dx + north[1] * dy + north[2] * dz) * inverse;
        enu[2] = (up[0] * dx + up[1] * dy + up[2] * dz) * inverse;
        return true;
    }

    // lineOfSight, only when ecef stands at or above the elevation whose sine is given: the
    // test needs no square root, so the many satellites below the mask cost less.
    bool lineOfSightAbove(double const ecef[3], double sinElevation, double enu[3]) const
    {
        double const dx = ecef[0] - origin[0];
        double const dy = ecef[1] - origin[1];
        double const dz = ecef[2] - origin[2];
        double const height = up[0] * dx + up[1] * dy + up[2] * dz;
        double const range2 = dx * dx + dy * dy + dz * dz;
        double const bound = sinElevation * sinElevation * range2;
        bool const above = sinElevation >= 0.0 ? height >= 0.0 && height * height >= bound
                                               : height >= 0.0 || height * height <= bound;
        if (!above || !(range2 > 0.0))
            return false;
        double const inverse = 1.0 / std::sqrt(range2);
        enu[0] = (east[0] * dx + east[1] * dy + east[2] * dz) * inverse;
        enu[1] = (north[0] * dx + north[1] * dy + north[2] * dz) * inverse;
        enu[2] = height * inverse;
        return true;
    }
};

} // namespace belrix_common_qt
