#include "satelliteSky.h"

#include "builtInAlmanac.h"
#include "simulationCommon.h"

#include <belrix_common_qt/glonassAlmanacOrbit.h>
#include <belrix_common_qt/gnssTime.h>
#include <belrix_common_qt/gpsAlmanacOrbit.h>
#include <belrix_common_qt/topocentricFrame.h>

#include <algorithm>
#include <cmath>

using namespace belrix_common_qt;

namespace orvane {
namespace app {

using namespace sim;

namespace {

constexpr double EarthMu = 3.986004418e14;          // m^3/s^2
constexpr double J2000 = 946728000.0;       // 2000-01-01 12:00 UTC
constexpr double GmstAtJ2000 = 280.46061837 * DegToRad;

double gmst(double t) { return wrapTwoPi(GmstAtJ2000 + EarthRotation * std::fmod(t - J2000, 86400.0 * 36525.0)); }

double argumentOfLatitude(orbit_t const& o, double t)
{
    return wrapTwoPi(o.phase + std::fmod(o.meanMotion * (t - Epoch), TwoPi));
}

vector3_t circularEcef(orbit_t const& o, double t)
{
    if (o.meanMotion == 0.0)
        return {o.radius * std::cos(o.longitude), o.radius * std::sin(o.longitude), 0.0};
    double const u = argumentOfLatitude(o, t);
    double const node = o.node - gmst(t);
    double const cu = std::cos(u), su = std::sin(u), ci = std::cos(o.inclination);
    double const cn = std::cos(node), sn = std::sin(node);
    return {o.radius * (cn * cu - sn * su * ci), o.radius * (sn * cu + cn * su * ci),
            o.radius * su * std::sin(o.inclination)};
}

// Spreads satellites over planes with a Walker-like phasing between planes.
void addConstellation(std::vector<orbit_t>& sats, constellation_t constellation, std::vector<unsigned int> const& prns,
                      unsigned int numberBase, int planes, double radius, double inclinationDeg, double nodeOffsetDeg)
{
    int const count = int(prns.size());
    for (int i = 0; i < count; ++i) {
        int const plane = i % planes;
        int const inPlane = (count - plane + planes - 1) / planes;
        int const slot = i / planes;
        std::uint64_t const k = key(channelOrbit, std::uint64_t(constellation), prns[std::size_t(i)]);
        orbit_t o;
        o.prn = prns[std::size_t(i)];
        o.number = numberBase + o.prn;
        o.constellation = constellation;
        o.radius = radius;
        o.inclination = (inclinationDeg + 1.6 * (uniform(k) - 0.5)) * DegToRad;
        o.node = (nodeOffsetDeg + plane * 360.0 / planes) * DegToRad;
        o.phase = wrapTwoPi(TwoPi * (double(slot) / inPlane + double(plane) / count) + 0.1 * (uniform(mix(k)) - 0.5));
        o.meanMotion = std::sqrt(EarthMu / (radius * radius * radius));
        sats.push_back(o);
    }
}

std::vector<unsigned int> range(unsigned int first, unsigned int last, std::vector<unsigned int> const& skip = {})
{
    std::vector<unsigned int> list;
    for (unsigned int i = first; i <= last; ++i)
        if (std::find(skip.begin(), skip.end(), i) == skip.end())
            list.push_back(i);
    return list;
}

} // namespace

class satelliteSky_t::private_t
{
public:
    std::vector<orbit_t> orbits;
    builtInAlmanac_t almanac;
    std::vector<gpsAlmanacOrbit_t> gps;
    std::vector<glonassAlmanacOrbit_t> glonass;
};

satelliteSky_t::satelliteSky_t() : d(new private_t)
{
    std::vector<orbit_t>& sats = d->orbits;
    for (almanacGps_t const& a : d->almanac.gps()) {
        orbit_t o;
        o.prn = a.prn;
        o.number = a.prn;
        o.constellation = constellationGps;
        o.almanac = int(d->gps.size());
        d->gps.emplace_back(a);
        sats.push_back(o);
    }
    for (almanacGlonass_t const& a : d->almanac.glonass()) {
        orbit_t o;
        o.prn = a.slot;
        o.number = 64 + a.slot;
        o.constellation = constellationGlonass;
        o.almanac = int(d->glonass.size());
        d->glonass.emplace_back(a);
        sats.push_back(o);
    }
    addConstellation(sats, constellationGalileo, range(1, 36, {6, 16, 17, 20, 22, 23, 28, 29, 32, 35}), 300, 3,
                     29599.8e3, 56.0, 83.0);
    addConstellation(sats, constellationBeidou, range(19, 46, {31, 38, 39, 40}), 400, 3, 27906.1e3, 55.0, 140.0);
    // EGNOS, low in the south as seen from Scandinavia.
    struct geo_t { unsigned int prn; double longitudeDeg; };
    for (geo_t const g : {geo_t{123, 31.5}, geo_t{126, 25.0}, geo_t{136, 5.0}}) {
        orbit_t o;
        o.prn = g.prn;
        o.number = g.prn - 87;
        o.constellation = constellationSbas;
        o.radius = 42164.2e3;
        o.longitude = g.longitudeDeg * DegToRad;
        sats.push_back(o);
    }
}

satelliteSky_t::~satelliteSky_t() { delete d; }

std::vector<orbit_t> const& satelliteSky_t::orbits() const { return d->orbits; }

std::vector<skyView_t> satelliteSky_t::view(position_t const& place, double height, double t) const
{
    topocentricFrame_t const frame(place.lat, place.lon, height);
    double const gpsTime = gpsTimeFromUtc(t);
    double cosEarth = 1.0, sinEarth = 0.0;
    gpsAlmanacOrbit_t::earthAngle(gpsTime, cosEarth, sinEarth);
    std::vector<skyView_t> view(d->orbits.size());
    for (std::size_t i = 0; i < d->orbits.size(); ++i) {
        orbit_t const& o = d->orbits[i];
        double ecef[3];
        if (o.constellation == constellationGps) {
            d->gps[std::size_t(o.almanac)].position(gpsTime, cosEarth, sinEarth, ecef);
        } else if (o.constellation == constellationGlonass) {
            d->glonass[std::size_t(o.almanac)].position(t, ecef);
        } else {
            vector3_t const p = circularEcef(o, t);
            std::copy(p.begin(), p.end(), ecef);
        }
        double enu[3];
        if (!frame.lineOfSight(ecef, enu))
            continue;
        view[i].azimuth = wrapTwoPi(std::atan2(enu[0], enu[1]));
        view[i].elevation = std::asin(std::fmax(-1.0, std::fmin(1.0, enu[2])));
    }
    return view;
}

almanacGps_t satelliteSky_t::gpsAlmanac(orbit_t const& o, double t, int uploadsBack) const
{
    return d->almanac.gpsUpload(std::size_t(std::max(o.almanac, 0)), t, uploadsBack);
}

almanacGlonass_t satelliteSky_t::glonassAlmanac(orbit_t const& o, double t, int daysBack) const
{
    return d->almanac.glonassUpload(std::size_t(std::max(o.almanac, 0)), t, daysBack);
}

} // namespace app
} // namespace orvane
