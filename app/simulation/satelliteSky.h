#pragma once

#include <belrix_common_qt/almanacGlonass.h>
#include <belrix_common_qt/almanacGps.h>
#include <belrix_common_qt/constellation.h>
#include <belrix_common_qt/position.h>

#include <vector>

namespace orvane {
namespace app {

// A satellite on a circular orbit, or fixed over the equator when meanMotion is 0.
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
};

// Where a satellite stands in one observer's sky, in radians.
struct skyView_t {
    double azimuth = 0.0;
    double elevation = 0.0;
};

// The constellations the receivers see: GPS, GLONASS, Galileo and BeiDou on Walker-like
// circular orbits, and the EGNOS satellites; with the almanacs that describe those orbits.
class satelliteSky_t
{
public:
    satelliteSky_t();

    std::vector<orbit_t> const& orbits() const;
    // Every satellite in orbits() order as seen from place, height metres above the
    // ellipsoid, at data time t.
    std::vector<skyView_t> view(belrix_common_qt::position_t const& place, double height, double t) const;

    // The almanac of an upload weeksBack (GPS) or daysBack (GLONASS) before the newest at t.
    static belrix_common_qt::almanacGps_t gpsAlmanac(orbit_t const& o, double t, int weeksBack);
    static belrix_common_qt::almanacGlonass_t glonassAlmanac(orbit_t const& o, double t, int daysBack);

private:
    std::vector<orbit_t> m_orbits;
};

} // namespace app
} // namespace orvane
