#pragma once

#include <belrix_common_qt/almanacGlonass.h>
#include <belrix_common_qt/almanacGps.h>
#include <belrix_common_qt/constellation.h>
#include <belrix_common_qt/position.h>

#include <vector>

namespace orvane {
namespace app {

// A satellite of the sky: GPS and GLONASS fly the built-in almanac's orbits (almanac is
// the entry's index); the others circular orbits, or fixed over the equator when meanMotion is 0.
struct orbit_t {
    unsigned int number = 0;   // the data model's numbering
    unsigned int prn = 0;      // within its constellation; the slot for GLONASS
    belrix_common_qt::constellation_t constellation = belrix_common_qt::constellationUnknown;
    double radius = 0.0;
    double inclination = 0.0;
    double node = 0.0;         // inertial right ascension of the ascending node
    double phase = 0.0;        // argument of latitude at the simulation's epoch
    double meanMotion = 0.0;   // rad/s
    double longitude = 0.0;    // geostationary satellites only
    int almanac = -1;          // GPS and GLONASS: the entry of builtInAlmanac_t
};

// Where a satellite stands in one observer's sky, in radians.
struct skyView_t {
    double azimuth = 0.0;
    double elevation = 0.0;
};

// The constellations the receivers see: GPS and GLONASS on the orbits of the built-in
// almanac, positioned by the same almanac models as the forecast, so that forecast, receivers
// and almanac agree; Galileo and BeiDou on Walker-like circular orbits, and the EGNOS
// satellites.
class satelliteSky_t
{
public:
    satelliteSky_t();
    ~satelliteSky_t();
    satelliteSky_t(satelliteSky_t const&) = delete;
    satelliteSky_t& operator=(satelliteSky_t const&) = delete;

    std::vector<orbit_t> const& orbits() const;
    // Every satellite in orbits() order as seen from place, height metres above the
    // ellipsoid, at data time t: the geometric direction, as the forecast gives it.
    std::vector<skyView_t> view(belrix_common_qt::position_t const& place, double height, double t) const;

    // The almanac of an upload uploadsBack (GPS, 4096 s apart) or daysBack (GLONASS) before
    // the newest at t; o must be a GPS or GLONASS satellite.
    belrix_common_qt::almanacGps_t gpsAlmanac(orbit_t const& o, double t, int uploadsBack) const;
    belrix_common_qt::almanacGlonass_t glonassAlmanac(orbit_t const& o, double t, int daysBack) const;

private:
    class private_t;
    private_t* d;
};

} // namespace app
} // namespace orvane
