#include "belrix_common_qt/topocentricFrame.h"

#include "belrix_common_qt/navConstants.h"

#include <GeographicLib/Geocentric.hpp>

#include <cmath>

namespace belrix_common_qt {

topocentricFrame_t::topocentricFrame_t(double latitude, double longitude, double height)
{
    GeographicLib::Geocentric::WGS84().Forward(latitude * RadToDeg, longitude * RadToDeg, height, origin[0],
                                               origin[1], origin[2]);
    // the axes of the geodetic normal: up is perpendicular to the ellipsoid, not towards the centre
    double const sinLat = std::sin(latitude), cosLat = std::cos(latitude);
    double const sinLon = std::sin(longitude), cosLon = std::cos(longitude);
    double const e[3] = {-sinLon, cosLon, 0.0};
    double const n[3] = {-sinLat * cosLon, -sinLat * sinLon, cosLat};
    double const u[3] = {cosLat * cosLon, cosLat * sinLon, sinLat};
    for (int k = 0; k < 3; ++k) {
        east[k] = e[k];
        north[k] = n[k];
        up[k] = u[k];
    }
}

bool topocentricFrame_t::lineOfSight(double const ecef[3], double enu[3]) const
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

} // namespace belrix_common_qt
