#include "satelliteSky.h"

#include "simulationCommon.h"

#include <algorithm>
#include <cmath>

using namespace belrix_common_qt;

namespace orvane {
namespace app {

using namespace sim;

namespace {

constexpr double EarthMu = 3.986004418e14;          // m^3/s^2
constexpr double GpsEpoch = 315964800.0;    // 1980-01-06 00:00 UTC
constexpr double GpsLeapSeconds = 18.0;
constexpr double J2000 = 946728000.0;       // 2000-01-01 12:00 UTC
constexpr double GmstAtJ2000 = 280.46061837 * DegToRad;

constexpr int GloFrequencyChannels[24] = {1, -4, 5, 6, 1, -4, 5, 6, -2, -7, 0, -1,
                                          -2, -7, 0, -1, 4, -3, 3, 2, 4, -3, 3, 2};

vector3_t toEcef(double lat, double lon, double height)
{
    double const n = primeVerticalRadius(lat);
    return {(n + height) * std::cos(lat) * std::cos(lon), (n + height) * std::cos(lat) * std::sin(lon),
            (n * (1.0 - EarthE2) + height) * std::sin(lat)};
}

double gmst(double t) { return wrapTwoPi(GmstAtJ2000 + EarthRotation * std::fmod(t - J2000, 86400.0 * 36525.0)); }

double argumentOfLatitude(orbit_t const& o, double t)
{
    return wrapTwoPi(o.phase + std::fmod(o.meanMotion * (t - Epoch), TwoPi));
}

vector3_t satelliteEcef(orbit_t const& o, double t)
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

satelliteSky_t::satelliteSky_t()
{
    std::vector<orbit_t>& sats = m_orbits;
    addConstellation(sats, constellationGps, range(1, 32, {31}), 0, 6, 26559.7e3, 55.0, 17.0);
    addConstellation(sats, constellationGlonass, range(1, 24), 64, 3, 25508.2e3, 64.8, 251.0);
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

std::vector<orbit_t> const& satelliteSky_t::orbits() const { return m_orbits; }

std::vector<skyView_t> satelliteSky_t::view(position_t const& place, double height, double t) const
{
    vector3_t const origin = toEcef(place.lat, place.lon, height);
    double const sLat = std::sin(place.lat), cLat = std::cos(place.lat);
    double const sLon = std::sin(place.lon), cLon = std::cos(place.lon);
    std::vector<skyView_t> view(m_orbits.size());
    for (std::size_t i = 0; i < m_orbits.size(); ++i) {
        vector3_t const sat = satelliteEcef(m_orbits[i], t);
        double const dx = sat[0] - origin[0], dy = sat[1] - origin[1], dz = sat[2] - origin[2];
        double const east = -sLon * dx + cLon * dy;
        double const north = -sLat * cLon * dx - sLat * sLon * dy + cLat * dz;
        double const up = cLat * cLon * dx + cLat * sLon * dy + sLat * dz;
        view[i].azimuth = wrapTwoPi(std::atan2(east, north));
        view[i].elevation = std::atan2(up, std::hypot(east, north));
    }
    return view;
}

almanacGps_t satelliteSky_t::gpsAlmanac(orbit_t const& o, double t, int weeksBack)
{
    constexpr double Week = 604800.0;
    constexpr double ToaStep = 4096.0;
    constexpr int ToaPerWeek = 148;   // 0 .. 602112
    double const gpsTime = std::max(0.0, t - GpsEpoch + GpsLeapSeconds);
    double week = std::floor(gpsTime / Week);
    int toaIndex = int(std::floor((gpsTime - week * Week) / ToaStep)) - weeksBack;
    while (toaIndex < 0 && week > 0.0) {
        week -= 1.0;
        toaIndex += ToaPerWeek;
    }
    toaIndex = std::max(toaIndex, 0);
    std::uint64_t const k = key(channelAlmanac, constellationGps, o.prn);
    almanacGps_t a;
    a.prn = o.prn;
    a.week = unsigned(week);
    a.toa = toaIndex * ToaStep;
    double const reference = GpsEpoch - GpsLeapSeconds + week * Week + a.toa;
    a.eccentricity = 0.001 + 0.019 * uniform(key(k, 1));
    a.inclination = o.inclination;
    a.rateOfRightAscension = -8.0e-9 + 0.6e-9 * (uniform(key(k, 2)) - 0.5);
    a.sqrtA = std::sqrt(o.radius + 30.0e3 * (uniform(key(k, 3)) - 0.5));
    // longitude of the node at the week's start, as the almanac counts it
    a.rightAscension = wrapPi(o.node - gmst(reference) + EarthRotation * a.toa);
    a.argumentOfPerigee = wrapPi(TwoPi * uniform(key(k, 4)));
    a.meanAnomaly = wrapPi(argumentOfLatitude(o, reference) - a.argumentOfPerigee);
    a.af0 = 6.0e-4 * (uniform(key(k, 5)) - 0.5);
    a.af1 = 2.0e-11 * (uniform(key(k, 6)) - 0.5);
    return a;
}

almanacGlonass_t satelliteSky_t::glonassAlmanac(orbit_t const& o, double t, int daysBack)
{
    constexpr double Day = 86400.0;
    constexpr double Moscow = 3.0 * 3600.0;
    double dayStart = std::floor((t + Moscow) / Day) * Day - Moscow - daysBack * Day;
    double toNode = wrapTwoPi(-argumentOfLatitude(o, dayStart)) / o.meanMotion;
    if (dayStart + toNode > t) {
        // today's first pass is still to come: the newest almanac is yesterday's
        dayStart -= Day;
        toNode = wrapTwoPi(-argumentOfLatitude(o, dayStart)) / o.meanMotion;
    }
    std::uint64_t const k = key(channelAlmanac, constellationGlonass, o.prn);
    almanacGlonass_t a;
    a.slot = o.prn;
    a.frequencyChannel = GloFrequencyChannels[(o.prn - 1) % 24];
    a.referenceTime = dayStart + toNode;
    a.lambda = wrapPi(o.node - gmst(a.referenceTime));
    a.deltaInclination = o.inclination - 63.0 * DegToRad;
    a.eccentricity = 0.0001 + 0.0019 * uniform(key(k, 1));
    a.argumentOfPerigee = wrapPi(TwoPi * uniform(key(k, 2)));
    a.deltaT = TwoPi / o.meanMotion - 43200.0;
    a.deltaTDot = 1.0e-3 * (uniform(key(k, 3)) - 0.5);
    a.tau = 2.0e-4 * (uniform(key(k, 4)) - 0.5);
    return a;
}

} // namespace app
} // namespace orvane
