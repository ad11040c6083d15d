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

} // namespace belrix_common_qt
