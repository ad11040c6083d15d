#pragma once

#include "belrix_common_qt_export.h"

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
    // the observer's own place.
    bool lineOfSight(double const ecef[3], double enu[3]) const;
};

} // namespace belrix_common_qt
