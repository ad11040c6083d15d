#include "belrix_common_qt/geodesy.h"

#include <GeographicLib/Geodesic.hpp>

#include <cmath>
#include <limits>
#include "belrix_common_qt/navConstants.h"

namespace belrix_common_qt {

namespace {


bool usable(position_t const& p)
{
    return p.latValid && p.lonValid && std::isfinite(p.lat) && std::isfinite(p.lon) && std::fabs(p.lat) <= Pi / 2
        && std::fabs(p.lon) <= Pi;
}

// One inverse solution gives both results; the geodesic object is built once.
bool inverse(position_t const& from, position_t const& to, double& meters, double& azimuth)
{
    if (!usable(from) || !usable(to))
        return false;
    static GeographicLib::Geodesic const& wgs84 = GeographicLib::Geodesic::WGS84();
    double backAzimuth = 0.0;
    wgs84.Inverse(from.lat * RadToDeg, from.lon * RadToDeg, to.lat * RadToDeg,
                  to.lon * RadToDeg, meters, azimuth, backAzimuth);
    return std::isfinite(meters) && std::isfinite(azimuth);
}

} // namespace

double calcRange(position_t const& from, position_t const& to)
{
    double meters = 0.0;
    double azimuth = 0.0;
    if (!inverse(from, to, meters, azimuth))
        return std::numeric_limits<double>::quiet_NaN();
    return meters;
}

double calcBearing(position_t const& from, position_t const& to)
{
    double meters = 0.0;
    double azimuth = 0.0;
    if (!inverse(from, to, meters, azimuth))
        return std::numeric_limits<double>::quiet_NaN();
    if (meters == 0.0)
        return 0.0;
    double bearing = std::fmod(azimuth, 360.0);
    if (bearing < 0.0)
        bearing += 360.0;
    // -0.0 or a value a hair below 360 that rounds up would print as "360.0°"
    if (bearing >= 360.0 || bearing == 0.0)
        bearing = 0.0;
    return bearing;
}

} // namespace belrix_common_qt
