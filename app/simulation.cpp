#include "simulation.h"

#include "belrix_common_qt/almMgrGlonass.h"
#include "belrix_common_qt/almMgrGps.h"
#include "belrix_common_qt/dataClock.h"
#include "belrix_common_qt/remoteController.h"
#include "belrix_common_qt/remoteDevice.h"

#include <QPointer>
#include <QTimer>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <map>
#include <belrix_common_qt/navConstants.h>

using namespace belrix_common_qt;

namespace orvane {
namespace app {

namespace {

constexpr double TwoPi = 2.0 * Pi;

constexpr double EarthA = 6378137.0;   // WGS84
constexpr double EarthF = 1.0 / 298.257223563;
constexpr double EarthE2 = EarthF * (2.0 - EarthF);
constexpr double EarthRotation = 7.2921151467e-5;   // rad/s
constexpr double EarthMu = 3.986004418e14;          // m^3/s^2

constexpr double Knot = 1852.0 / 3600.0;

// Phases of the track, the orbits and the noise count from here, to keep the products small.
constexpr double Epoch = 1704067200.0;      // 2024-01-01 00:00 UTC
constexpr double GpsEpoch = 315964800.0;    // 1980-01-06 00:00 UTC
constexpr double GpsLeapSeconds = 18.0;
constexpr double J2000 = 946728000.0;       // 2000-01-01 12:00 UTC
constexpr double GmstAtJ2000 = 280.46061837 * DegToRad;
constexpr double LatestTime = 1.0e11;       // beyond it the hashes of whole seconds overflow

// The loop runs in open water west of Gothenburg, clear of the archipelago and of Laeso.
constexpr double CentreLat = 57.60 * DegToRad;
constexpr double CentreLon = 11.25 * DegToRad;
constexpr double GeoidHeight = 38.0;
constexpr double AntennaHeight = 25.0;      // above the waterline

constexpr double DefaultElevationMask = 5.0;
constexpr double DegradedElevationMask = 15.0;
// Geometry at which a receiver's noise equals its profile sigma; worse geometry scales it up.
constexpr double ReferenceHdop = 0.5;
constexpr double MinimumOutageInterval = 90.0;

// Noise channels, so that no two quantities share a random stream.
enum channel_t : std::uint64_t {
    channelEast = 1,
    channelNorth,
    channelUp,
    channelCorrelationTime,
    channelSpeed,
    channelCourse,
    channelRms,
    channelScale,
    channelUnitVariance,
    channelCorrectionSnr,
    channelCorrectionMessage,
    channelSignal,
    channelSignalOffset,
    channelOutage,
    channelGyro,
    channelAlmanac,
    channelOrbit,
    channelResidual,
};

std::uint64_t mix(std::uint64_t x)
{
    x += 0x9e3779b97f4a7c15ull;
    x = (x ^ (x >> 30)) * 0xbf58476d1ce4e5b9ull;
    x = (x ^ (x >> 27)) * 0x94d049bb133111ebull;
    return x ^ (x >> 31);
}

std::uint64_t key(std::uint64_t a, std::uint64_t b, std::uint64_t c = 0, std::uint64_t d = 0)
{
    return mix(mix(mix(mix(a) ^ b) ^ c) ^ d);
}

// In (0, 1), never the ends, so logarithms and tangents stay finite.
double uniform(std::uint64_t k) { return (double(k >> 11) + 0.5) / 9007199254740992.0; }

double gaussian(std::uint64_t k)
{
    double const u1 = uniform(k);
    double const u2 = uniform(mix(k ^ 0x5851f42d4c957f2dull));
    return std::sqrt(-2.0 * std::log(u1)) * std::cos(TwoPi * u2);
}

std::uint64_t wholeSecond(double t) { return std::uint64_t(std::int64_t(std::floor(t))); }

// Sinusoids whose frequencies follow a Cauchy distribution add up to the exponential
// autocorrelation of a first-order Gauss-Markov process, yet remain a pure function of time,
// so that any time can be stepped to. Unit variance.
double markov(std::uint64_t k, double tau, double correlationTime, int terms)
{
    double sum = 0.0;
    for (int i = 0; i < terms; ++i) {
        double const omega = std::tan(Pi * (uniform(key(k, std::uint64_t(i), 1)) - 0.5)) / correlationTime;
        double const phase = TwoPi * uniform(key(k, std::uint64_t(i), 2));
        sum += std::cos(std::fmod(omega * tau, TwoPi) + phase);
    }
    return sum * std::sqrt(2.0 / terms);
}

double wrapTwoPi(double a)
{
    a = std::fmod(a, TwoPi);
    return a < 0.0 ? a + TwoPi : a;
}

double wrapPi(double a) { return wrapTwoPi(a + Pi) - Pi; }

// Degrees in [0, 360) that stay below 360 once narrowed to float.
float degrees360(double radians)
{
    float const deg = float(wrapTwoPi(radians) * RadToDeg);
    return deg >= 360.0f ? 0.0f : deg;
}

double meridianRadius(double lat)
{
    double const s = std::sin(lat);
    return EarthA * (1.0 - EarthE2) / std::pow(1.0 - EarthE2 * s * s, 1.5);
}

double primeVerticalRadius(double lat)
{
    double const s = std::sin(lat);
    return EarthA / std::sqrt(1.0 - EarthE2 * s * s);
}

using vector3_t = std::array<double, 3>;

vector3_t toEcef(double lat, double lon, double height)
{
    double const n = primeVerticalRadius(lat);
    return {(n + height) * std::cos(lat) * std::cos(lon), (n + height) * std::cos(lat) * std::sin(lon),
            (n * (1.0 - EarthE2) + height) * std::sin(lat)};
}

double gmst(double t) { return wrapTwoPi(GmstAtJ2000 + EarthRotation * std::fmod(t - J2000, 86400.0 * 36525.0)); }

// A satellite on a circular orbit, or fixed over the equator when meanMotion is 0.
struct orbit_t {
    unsigned int number = 0;   // NMEA numbering
    unsigned int prn = 0;      // within its constellation; the slot for GLONASS
    constellation_t constellation = constellationUnknown;
    double radius = 0.0;
    double inclination = 0.0;
    double node = 0.0;         // inertial right ascension of the ascending node
    double phase = 0.0;        // argument of latitude at Epoch
    double meanMotion = 0.0;   // rad/s
    double longitude = 0.0;    // geostationary satellites only
};

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

std::vector<orbit_t> makeSky()
{
    std::vector<orbit_t> sats;
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
    return sats;
}

// Gauss-Jordan with partial pivoting; false for a singular matrix.
bool invert4(double m[4][4], double inv[4][4])
{
    double scale = 0.0;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) {
            inv[i][j] = i == j ? 1.0 : 0.0;
            scale = std::max(scale, std::fabs(m[i][j]));
        }
    if (!(scale > 0.0) || !std::isfinite(scale))
        return false;
    for (int c = 0; c < 4; ++c) {
        int pivot = c;
        for (int r = c + 1; r < 4; ++r)
            if (std::fabs(m[r][c]) > std::fabs(m[pivot][c]))
                pivot = r;
        if (std::fabs(m[pivot][c]) < 1e-10 * scale)
            return false;
        for (int j = 0; j < 4; ++j) {
            std::swap(m[c][j], m[pivot][j]);
            std::swap(inv[c][j], inv[pivot][j]);
        }
        double const p = m[c][c];
        for (int j = 0; j < 4; ++j) {
            m[c][j] /= p;
            inv[c][j] /= p;
        }
        for (int r = 0; r < 4; ++r) {
            if (r == c)
                continue;
            double const f = m[r][c];
            for (int j = 0; j < 4; ++j) {
                m[r][j] -= f * m[c][j];
                inv[r][j] -= f * inv[c][j];
            }
        }
    }
    return true;
}

// (A^T A)^-1 for rows (east, north, up, 1) of unit lines of sight.
bool cofactor(std::vector<vector3_t> const& lineOfSight, double q[4][4])
{
    if (lineOfSight.size() < 4)
        return false;
    double normal[4][4] = {};
    for (vector3_t const& l : lineOfSight) {
        double const row[4] = {l[0], l[1], l[2], 1.0};
        for (int i = 0; i < 4; ++i)
            for (int j = 0; j < 4; ++j)
                normal[i][j] += row[i] * row[j];
    }
    return invert4(normal, q);
}

vector3_t lineOfSight(double azimuth, double elevation)
{
    return {std::cos(elevation) * std::sin(azimuth), std::cos(elevation) * std::cos(azimuth), std::sin(elevation)};
}

// The loop, in metres east and north of its centre: an oval with a gentle S in its legs,
// turning to port at up to 8 degrees a minute. Walked at constant speed by arc length.
class track_t
{
public:
    track_t()
    {
        m_length.resize(Cells + 1, 0.0);
        double const h = TwoPi / Cells;
        for (int i = 0; i < Cells; ++i) {
            double const a = i * h;
            double const simpson = (speed(a) + 4.0 * speed(a + h / 2) + speed(a + h)) * h / 6.0;
            m_length[std::size_t(i) + 1] = m_length[std::size_t(i)] + simpson;
        }
    }

    double length() const { return m_length.back(); }

    // Curve parameter at arc length s in [0, length()).
    double parameterAt(double s) const
    {
        auto it = std::upper_bound(m_length.begin(), m_length.end(), s);
        std::size_t const i = std::size_t(std::clamp<std::ptrdiff_t>(it - m_length.begin() - 1, 0, Cells - 1));
        double const f = (s - m_length[i]) / (m_length[i + 1] - m_length[i]);
        return (double(i) + f) * TwoPi / Cells;
    }

    static void point(double a, double& east, double& north)
    {
        east = SemiAxisEast * std::cos(a) + Skew * std::sin(2.0 * a);
        north = SemiAxisNorth * std::sin(a) + Wiggle * std::sin(3.0 * a);
    }

    static double course(double a)
    {
        double const de = -SemiAxisEast * std::sin(a) + 2.0 * Skew * std::cos(2.0 * a);
        double const dn = SemiAxisNorth * std::cos(a) + 3.0 * Wiggle * std::cos(3.0 * a);
        return wrapTwoPi(std::atan2(de, dn));
    }

private:
    static constexpr int Cells = 4096;
    static constexpr double SemiAxisEast = 9000.0;
    static constexpr double SemiAxisNorth = 5000.0;
    static constexpr double Skew = 900.0;
    static constexpr double Wiggle = 700.0;

    static double speed(double a)
    {
        double const de = -SemiAxisEast * std::sin(a) + 2.0 * Skew * std::cos(2.0 * a);
        double const dn = SemiAxisNorth * std::cos(a) + 3.0 * Wiggle * std::cos(3.0 * a);
        return std::hypot(de, dn);
    }

    std::vector<double> m_length;
};

struct shipState_t {
    double east = 0.0;    // metres from the loop's centre
    double north = 0.0;
    double course = 0.0;  // radians over ground
    double heading = 0.0; // radians true
};

// Metres from the loop's centre to latitude and longitude.
position_t toPosition(double east, double north)
{
    double const lat = CentreLat + north / meridianRadius(CentreLat);
    double const lon = CentreLon + east / (primeVerticalRadius(lat) * std::cos(lat));
    return position_t(lat, lon);
}

// A position moved by a few metres, in the tangent plane at that position.
position_t displaced(position_t const& p, double east, double north)
{
    double const lat = p.lat + north / meridianRadius(p.lat);
    return position_t(lat, p.lon + east / (primeVerticalRadius(p.lat) * std::cos(p.lat)));
}

struct outage_t {
    bool active = false;
    double weight = 0.0;   // 0..1, how far the noise has grown towards its degraded size
    double start = 0.0;    // data time
    std::uint64_t id = 0;
};

outage_t outageAt(receiverProfile_t const& profile, double t)
{
    outage_t o;
    if (!(profile.outageInterval > 0.0) || !std::isfinite(profile.outageInterval))
        return o;
    double const interval = std::max(profile.outageInterval, MinimumOutageInterval);
    double const tau = t - Epoch;
    double const slot = std::floor(tau / interval);
    for (double k = slot - 1.0; k <= slot; k += 1.0) {
        std::uint64_t const id = key(profile.seed, channelOutage, wholeSecond(k));
        double const start = k * interval + 10.0 + uniform(id) * (interval - 60.0);
        double const end = start + 20.0 + 20.0 * uniform(mix(id));
        if (tau >= start && tau < end) {
            o.active = true;
            o.start = start + Epoch;
            o.id = id;
        }
        // the receiver's filter lets the error grow over a few seconds and settle more slowly
        double w = 0.0;
        if (tau >= start && tau < start + 5.0)
            w = (tau - start) / 5.0;
        else if (tau >= start + 5.0 && tau < end)
            w = 1.0;
        else if (tau >= end && tau < end + 15.0)
            w = 1.0 - (tau - end) / 15.0;
        o.weight = std::max(o.weight, w);
    }
    return o;
}

struct skyView_t {
    double azimuth = 0.0;     // radians
    double elevation = 0.0;
};

// A receiver's error covariance now: metres squared east, north and their covariance; metres up
// and of the range errors.
struct errorModel_t {
    double east = 0.0;
    double north = 0.0;
    double eastNorth = 0.0;
    double up = 0.0;
    double uere = 0.0;
};

// Receivers keep one clock per time system: GPS with SBAS and QZSS, GLONASS, Galileo, BeiDou.
int timeSystem(constellation_t constellation)
{
    switch (constellation) {
    case constellationGlonass: return 1;
    case constellationGalileo: return 2;
    case constellationBeidou: return 3;
    default: return 0;
    }
}

constexpr std::size_t MaxUsedPerSystem = 12;

// Removes from v its least-squares fit by the columns of the n x k design (row-major), leaving
// the residuals; false when the columns do not fix every unknown.
bool project(std::vector<double> const& design, int k, std::vector<double>& v)
{
    std::size_t const n = v.size();
    std::vector<double> normal(std::size_t(k * k), 0.0), rhs(std::size_t(k), 0.0);
    for (std::size_t i = 0; i < n; ++i) {
        double const* row = &design[i * std::size_t(k)];
        for (int a = 0; a < k; ++a) {
            rhs[std::size_t(a)] += row[a] * v[i];
            for (int b = 0; b < k; ++b)
                normal[std::size_t(a * k + b)] += row[a] * row[b];
        }
    }
    // Gauss-Jordan with partial pivoting on the normal equations
    double scale = 0.0;
    for (double x : normal)
        scale = std::max(scale, std::fabs(x));
    if (!(scale > 0.0))
        return false;
    for (int c = 0; c < k; ++c) {
        int pivot = c;
        for (int r = c + 1; r < k; ++r)
            if (std::fabs(normal[std::size_t(r * k + c)]) > std::fabs(normal[std::size_t(pivot * k + c)]))
                pivot = r;
        if (std::fabs(normal[std::size_t(pivot * k + c)]) < 1e-10 * scale)
            return false;
        for (int j = 0; j < k; ++j)
            std::swap(normal[std::size_t(c * k + j)], normal[std::size_t(pivot * k + j)]);
        std::swap(rhs[std::size_t(c)], rhs[std::size_t(pivot)]);
        double const p = normal[std::size_t(c * k + c)];
        for (int j = 0; j < k; ++j)
            normal[std::size_t(c * k + j)] /= p;
        rhs[std::size_t(c)] /= p;
        for (int r = 0; r < k; ++r) {
            if (r == c)
                continue;
            double const f = normal[std::size_t(r * k + c)];
            for (int j = 0; j < k; ++j)
                normal[std::size_t(r * k + j)] -= f * normal[std::size_t(c * k + j)];
            rhs[std::size_t(r)] -= f * rhs[std::size_t(c)];
        }
    }
    for (std::size_t i = 0; i < n; ++i) {
        double const* row = &design[i * std::size_t(k)];
        for (int a = 0; a < k; ++a)
            v[i] -= row[a] * rhs[std::size_t(a)];
    }
    return true;
}

struct receiver_t {
    receiverProfile_t profile;
    receiverState_t state;
    bool stepped = false;
};

struct gyro_t {
    unsigned int seed = 0;
    gyroState_t state;
    bool stepped = false;
};

constexpr int GloFrequencyChannels[24] = {1, -4, 5, 6, 1, -4, 5, 6, -2, -7, 0, -1,
                                          -2, -7, 0, -1, 4, -3, 3, 2, 4, -3, 3, 2};

} // namespace

class simulation_t::private_t
{
public:
    QPointer<remoteController_t> controller;
    std::vector<receiver_t> receivers;
    std::vector<gyro_t> gyros;
    std::vector<orbit_t> sky = makeSky();
    track_t track;
    QTimer* timer = nullptr;
    bool almanacSeeded = false;
    double lastRefreshSlot = 0.0;
    std::map<unsigned int, almanacGps_t> broadcastGps;   // the newest entry of each satellite

    shipState_t ship(double t) const;
    void antenna(receiverProfile_t const& profile, double t, double& east, double& north) const;
    void updateAlmanacs(double t);
    void publish(almanacGps_t const& almanac);
    void publish(almanacGlonass_t const& almanac);
    almanacGps_t gpsAlmanac(orbit_t const& o, double t, int weeksBack) const;
    almanacGlonass_t glonassAlmanac(orbit_t const& o, double t, int daysBack) const;
    void computeReceiver(receiver_t& rx, double t, shipState_t const& ship, std::vector<skyView_t> const& view) const;
    // The lines of sight of the satellites in the solution, and where each stands in the state.
    std::vector<vector3_t> computeSatellites(receiver_t& rx, double t, outage_t const& outage,
                                             std::vector<skyView_t> const& view, std::vector<std::size_t>& usedIndex) const;
    void computePosition(receiver_t& rx, double t, shipState_t const& ship, errorModel_t const& error) const;
    void computeStatistics(receiver_t& rx, double t, outage_t const& outage, std::vector<vector3_t> const& used,
                           std::vector<std::size_t> const& usedIndex, errorModel_t const& error) const;
    void computeCorrections(receiver_t& rx, double t, outage_t const& outage) const;
    void computeGyro(gyro_t& gyro, double t, shipState_t const& ship) const;
};

shipState_t simulation_t::private_t::ship(double t) const
{
    double const tau = t - Epoch;
    // a little speed variation, as from the swell and the engine governor
    double const speed = 10.0 * Knot;
    double const speedSwing = 0.2 * Knot;
    double const speedPeriod = 1500.0;
    double const distance =
        speed * tau + speedSwing * speedPeriod / TwoPi * (1.0 - std::cos(TwoPi * tau / speedPeriod));
    double s = std::fmod(distance, track.length());
    if (s < 0.0)
        s += track.length();
    double const a = track.parameterAt(s);
    shipState_t state;
    track_t::point(a, state.east, state.north);
    state.course = track_t::course(a);
    // the set of the coastal current makes the bow point up-current of the track
    double const currentSet = 15.0 * DegToRad;
    double const currentSpeed = 0.6 * Knot;
    double const drift = std::asin(currentSpeed * std::sin(currentSet - state.course) / speed);
    double const yaw = 1.1 * std::sin(TwoPi * tau / 9.6) + 0.6 * std::sin(TwoPi * tau / 14.2 + 0.9);
    state.heading = wrapTwoPi(state.course - drift + yaw * DegToRad);
    return state;
}

void simulation_t::private_t::antenna(receiverProfile_t const& profile, double t, double& east, double& north) const
{
    shipState_t const s = ship(t);
    double const sh = std::sin(s.heading), ch = std::cos(s.heading);
    east = s.east + profile.antennaOffsetForward * sh + profile.antennaOffsetStarboard * ch;
    north = s.north + profile.antennaOffsetForward * ch - profile.antennaOffsetStarboard * sh;
}

almanacGps_t simulation_t::private_t::gpsAlmanac(orbit_t const& o, double t, int weeksBack) const
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

almanacGlonass_t simulation_t::private_t::glonassAlmanac(orbit_t const& o, double t, int daysBack) const
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

void simulation_t::private_t::publish(almanacGps_t const& almanac)
{
    auto it = broadcastGps.find(almanac.prn);
    if (it == broadcastGps.end() || it->second.referenceTime() <= almanac.referenceTime())
        broadcastGps[almanac.prn] = almanac;
    if (controller)
        controller->almMgrGps()->addAlmanac(almanac);
}

void simulation_t::private_t::publish(almanacGlonass_t const& almanac)
{
    if (controller)
        controller->almMgrGlonass()->addAlmanac(almanac);
}

void simulation_t::private_t::updateAlmanacs(double t)
{
    std::vector<orbit_t const*> gps, glonass;
    for (orbit_t const& o : sky) {
        if (o.constellation == constellationGps)
            gps.push_back(&o);
        else if (o.constellation == constellationGlonass)
            glonass.push_back(&o);
    }
    double const slot = std::floor((t - Epoch) / 600.0);
    if (!almanacSeeded) {
        // entries from a few earlier uploads, so that oldest and newest differ from the start
        for (orbit_t const* o : gps)
            publish(gpsAlmanac(*o, t, int(key(channelAlmanac, o->number) % 3)));
        for (orbit_t const* o : glonass)
            publish(glonassAlmanac(*o, t, int(key(channelAlmanac, o->number) % 2)));
        almanacSeeded = true;
        lastRefreshSlot = slot;
        return;
    }
    if (slot == lastRefreshSlot)
        return;
    lastRefreshSlot = slot;
    std::size_t const n = std::size_t(std::fabs(std::fmod(slot, 7919.0)));
    publish(gpsAlmanac(*gps[n % gps.size()], t, 0));
    publish(glonassAlmanac(*glonass[n % glonass.size()], t, 0));
}

std::vector<vector3_t> simulation_t::private_t::computeSatellites(receiver_t& rx, double t, outage_t const& outage,
                                                                  std::vector<skyView_t> const& view,
                                                                  std::vector<std::size_t>& usedIndex) const
{
    receiverProfile_t const& p = rx.profile;
    std::vector<satelliteState_t>& sats = rx.state.satellites;
    sats.clear();
    usedIndex.clear();
    std::uint64_t const second = wholeSecond(t);
    double mask = p.elevationMask;
    if (!std::isfinite(mask) || mask < 0.0)
        mask = DefaultElevationMask;
    if (outage.active)
        mask = std::max(mask, DegradedElevationMask);
    // the superstructure in the way of one sector of the sky
    double const blockedAzimuth = TwoPi * uniform(key(outage.id, 1));
    bool const sbasLost = uniform(key(outage.id, 2)) < 0.5;
    double const receiverOffset = -1.0 + 2.5 * uniform(key(p.seed, channelSignalOffset));
    std::vector<skyView_t const*> view_;
    for (std::size_t i = 0; i < sky.size(); ++i) {
        orbit_t const& o = sky[i];
        skyView_t const& v = view[i];
        bool const sbas = o.constellation == constellationSbas;
        double const elevationDeg = v.elevation * RadToDeg;
        bool const tracked = sbas ? p.sbas && !(outage.active && sbasLost)
                                  : p.allConstellations || o.constellation == constellationGps
                                        || o.constellation == constellationGlonass;
        if (elevationDeg <= 0.0 || !tracked)
            continue;
        double level = 30.0 + 18.0 * (1.0 - std::exp(-elevationDeg / 20.0)) + receiverOffset
                       + 1.5 * markov(key(p.seed, channelSignal, o.number), t - Epoch, 60.0, 4)
                       + 0.4 * gaussian(key(p.seed, channelSignal, o.number, second));
        switch (o.constellation) {
        case constellationGlonass: level -= 1.5; break;
        case constellationGalileo: level += 1.0; break;
        case constellationBeidou: level -= 0.5; break;
        case constellationSbas: level -= 3.0; break;
        default: break;
        }
        if (outage.active) {
            if (sbas)
                level = 0.0;
            else if (elevationDeg < 40.0 && std::fabs(wrapPi(v.azimuth - blockedAzimuth)) < 75.0 * DegToRad)
                level -= 18.0;
            else if (elevationDeg < DegradedElevationMask)
                level -= 6.0;
        }
        if (!sbas && level < 20.0)
            continue;
        satelliteState_t sat;
        sat.number = o.number;
        sat.constellation = o.constellation;
        sat.azimuth = wrapTwoPi(v.azimuth) * RadToDeg;
        if (sat.azimuth >= 360.0)
            sat.azimuth = 0.0;
        sat.elevation = elevationDeg;
        sat.signalId = o.constellation == constellationGalileo ? 7 : 1;   // E1 or L1 C/A, B1I
        sat.snr = std::max(level, 0.0);
        sat.used = !sbas && elevationDeg >= mask && level >= 28.0;
        sats.push_back(sat);
        view_.push_back(&v);
    }
    // like most receivers, at most twelve satellites of a system in the solution: the highest
    std::map<int, std::vector<std::size_t>> bySystem;
    for (std::size_t i = 0; i < sats.size(); ++i)
        if (sats[i].used)
            bySystem[timeSystem(sats[i].constellation)].push_back(i);
    for (auto& entry : bySystem) {
        std::vector<std::size_t>& list = entry.second;
        if (list.size() <= MaxUsedPerSystem)
            continue;
        std::sort(list.begin(), list.end(),
                  [&](std::size_t a, std::size_t b) { return sats[a].elevation > sats[b].elevation; });
        for (std::size_t k = MaxUsedPerSystem; k < list.size(); ++k)
            sats[list[k]].used = false;
    }
    std::vector<vector3_t> used;
    for (std::size_t i = 0; i < sats.size(); ++i) {
        if (!sats[i].used)
            continue;
        usedIndex.push_back(i);
        used.push_back(lineOfSight(view_[i]->azimuth, view_[i]->elevation));
    }
    return used;
}

void simulation_t::private_t::computePosition(receiver_t& rx, double t, shipState_t const& ship,
                                              errorModel_t const& error) const
{
    receiverProfile_t const& p = rx.profile;
    receiverState_t& state = rx.state;
    double const tau = t - Epoch;
    std::uint64_t const second = wholeSecond(t);
    // noise shaped by the covariance, so that the scatter follows the reported ellipse
    double const l11 = std::sqrt(error.east);
    double const l21 = error.eastNorth / l11;
    double const l22 = std::sqrt(std::max(error.north - l21 * l21, 0.0));
    double const correlation = 30.0 + 30.0 * uniform(key(p.seed, channelCorrelationTime));
    auto unitNoise = [&](channel_t channel) {
        return 0.95 * markov(key(p.seed, channel), tau, correlation, 24) + 0.3 * gaussian(key(p.seed, channel, second));
    };
    double const gEast = unitNoise(channelEast), gNorth = unitNoise(channelNorth), gUp = unitNoise(channelUp);
    double east = 0.0, north = 0.0;
    antenna(p, t, east, north);
    state.position = displaced(toPosition(ship.east, ship.north), east - ship.east + l11 * gEast,
                               north - ship.north + l21 * gEast + l22 * gNorth);
    double const heave = 0.3 * std::sin(TwoPi * tau / 7.3) + 0.2 * std::sin(TwoPi * tau / 11.1 + 1.3);
    double const tide = 0.1 * std::sin(TwoPi * tau / 44714.0);
    state.geoidSeparation = GeoidHeight;
    state.ellipsoidalHeight = GeoidHeight + AntennaHeight + heave + tide + error.up * gUp;

    // the antenna's own velocity: the yaw swings a lever arm across the track
    double eastBefore = 0.0, northBefore = 0.0, eastAfter = 0.0, northAfter = 0.0;
    antenna(p, t - 0.5, eastBefore, northBefore);
    antenna(p, t + 0.5, eastAfter, northAfter);
    double const vEast = eastAfter - eastBefore, vNorth = northAfter - northBefore;
    double const speed = std::hypot(vEast, vNorth);
    double const velocitySigma = 0.02 + 0.01 * p.horizontalSigma;
    state.speed = std::max(0.0, speed + velocitySigma * gaussian(key(p.seed, channelSpeed, second)));
    double const cogNoise = velocitySigma / std::max(speed, 0.5) * gaussian(key(p.seed, channelCourse, second));
    state.course = degrees360(std::atan2(vEast, vNorth) + cogNoise);
}

void simulation_t::private_t::computeStatistics(receiver_t& rx, double t, outage_t const& outage,
                                                std::vector<vector3_t> const& used,
                                                std::vector<std::size_t> const& usedIndex, errorModel_t const& error) const
{
    receiverState_t& state = rx.state;
    std::uint64_t const seed = rx.profile.seed;
    std::uint64_t const second = wholeSecond(t);
    // one jitter for the axes and the errors keeps them two views of one covariance
    double const jitter = 1.0 + 0.04 * gaussian(key(seed, channelScale, second));
    double const half = 0.5 * (error.east + error.north);
    double const spread = std::sqrt(0.25 * std::pow(error.east - error.north, 2) + error.eastNorth * error.eastNorth);
    double orientation = 0.5 * std::atan2(2.0 * error.eastNorth, error.north - error.east);
    if (orientation < 0.0)
        orientation += Pi;
    state.rangeRms = error.uere * (1.0 + 0.1 * gaussian(key(seed, channelRms, second)));
    state.semiMajor = jitter * std::sqrt(half + spread);
    state.semiMinor = jitter * std::sqrt(std::max(half - spread, 1e-6));
    state.orientation = std::min(orientation * RadToDeg, 180.0);
    if (state.orientation >= 180.0)
        state.orientation = 0.0;
    state.latitudeError = jitter * std::sqrt(error.north);
    state.longitudeError = jitter * std::sqrt(error.east);
    state.heightError = jitter * error.up;

    // Range errors projected onto what a solution with one clock per time system cannot absorb
    // are its residuals; their sum of squares over the redundancy, in units of the receiver's
    // nominal range noise, is a chi-square-like unit variance, far off while uncorrected.
    std::size_t const n = used.size();
    int column[4] = {-1, -1, -1, -1};
    int unknowns = 3;
    for (std::size_t i = 0; i < n; ++i) {
        int& c = column[timeSystem(state.satellites[usedIndex[i]].constellation)];
        if (c < 0)
            c = unknowns++;
    }
    std::vector<double> design(n * std::size_t(unknowns), 0.0);
    std::vector<double> residual(n, 0.0);
    for (std::size_t i = 0; i < n; ++i) {
        double* row = &design[i * std::size_t(unknowns)];
        row[0] = used[i][0];
        row[1] = used[i][1];
        row[2] = used[i][2];
        row[column[timeSystem(state.satellites[usedIndex[i]].constellation)]] = 1.0;
        residual[i] = gaussian(key(seed, channelResidual, second, state.satellites[usedIndex[i]].number));
    }
    int const redundancy = int(n) - unknowns;
    bool const solvable = redundancy > 0 && project(design, unknowns, residual);
    double sumSquares = 0.0;
    for (double r : residual)
        sumSquares += r * r;
    double unitVariance = solvable && sumSquares > 0.0 ? sumSquares / redundancy : 1.0;
    if (outage.active)
        unitVariance = 4.0 + unitVariance * (2.0 + 3.0 * uniform(key(seed, channelUnitVariance, second)));
    double const nominal = simulation_t::nominalRangeSigma(rx.profile);
    double const scale = solvable && sumSquares > 0.0 ? nominal * std::sqrt(unitVariance * redundancy / sumSquares) : 0.0;
    for (std::size_t i = 0; i < n; ++i)
        state.satellites[usedIndex[i]].residual = residual[i] * scale;
    state.unitVariance = unitVariance;
}

void simulation_t::private_t::computeCorrections(receiver_t& rx, double t, outage_t const& outage) const
{
    receiverProfile_t const& p = rx.profile;
    receiverState_t& state = rx.state;
    state.correctionSnr.reset();
    state.correctionAge.reset();
    if (p.correctionService) {
        double const snr = outage.active ? 0.0
                                         : 42.5 + 1.2 * markov(key(p.seed, channelCorrectionSnr), t - Epoch, 40.0, 8)
                                               + 0.3 * gaussian(key(p.seed, channelCorrectionSnr, wholeSecond(t)));
        state.correctionSnr = std::clamp(snr, 0.0, 50.0);
    }
    if (p.correctionService || p.sbas) {
        // L-band messages every 5 to 7 s, SBAS every 1 to 2 s; none heard during an outage
        double const period = p.correctionService ? 5.0 : 1.0;
        double const lateness = p.correctionService ? 2.0 : 1.0;
        double const heard = outage.active ? outage.start : t;
        auto messageTime = [&](double slot) {
            return Epoch + slot * period + lateness * uniform(key(p.seed, channelCorrectionMessage, wholeSecond(slot)));
        };
        double const slot = std::floor((heard - Epoch) / period);
        double message = messageTime(slot);
        if (message > heard)
            message = messageTime(slot - 1.0);
        state.correctionAge = 1.0 + t - message;
    }
    int fix = p.fixQuality;
    if (outage.active && fix > fixQualityGps)
        fix = fixQualityGps;
    state.fixQuality = fix;
}

void simulation_t::private_t::computeReceiver(receiver_t& rx, double t, shipState_t const& ship,
                                              std::vector<skyView_t> const& view) const
{
    receiverState_t& state = rx.state;
    state = receiverState_t();
    state.time = t;
    outage_t const outage = outageAt(rx.profile, t);
    std::vector<std::size_t> usedIndex;
    std::vector<vector3_t> const used = computeSatellites(rx, t, outage, view, usedIndex);
    state.satellitesUsed = unsigned(used.size());
    computeCorrections(rx, t, outage);
    double q[4][4];
    if (!cofactor(used, q)) {
        state.hasFix = false;
        state.fixQuality = fixQualityInvalid;
        for (satelliteState_t& sat : state.satellites)
            sat.used = false;
        state.satellitesUsed = 0;
    } else {
        state.hasFix = true;
        state.dop.hdop = std::sqrt(q[0][0] + q[1][1]);
        state.dop.vdop = std::sqrt(q[2][2]);
        state.dop.pdop = std::sqrt(q[0][0] + q[1][1] + q[2][2]);

        // without corrections the receiver falls back to an autonomous fix of a few metres
        double const sigma = rx.profile.horizontalSigma;
        double const sigmaNow = sigma + outage.weight * (std::max(1.5 * sigma, 2.0) - sigma);
        errorModel_t error;
        error.uere = sigmaNow * std::sqrt(2.0) / ReferenceHdop;
        error.east = error.uere * error.uere * q[0][0];
        error.north = error.uere * error.uere * q[1][1];
        error.eastNorth = error.uere * error.uere * q[0][1];
        error.up = error.uere * std::sqrt(q[2][2]);
        computePosition(rx, t, ship, error);
        computeStatistics(rx, t, outage, used, usedIndex, error);
    }
    std::sort(state.satellites.begin(), state.satellites.end(),
              [](satelliteState_t const& a, satelliteState_t const& b) { return a.number < b.number; });
}

void simulation_t::private_t::computeGyro(gyro_t& gyro, double t, shipState_t const& ship) const
{
    double const error = 0.04 * markov(key(gyro.seed, channelGyro), t - Epoch, 300.0, 8)
                         + 0.03 * gaussian(key(gyro.seed, channelGyro, wholeSecond(t)));
    gyro.state.time = t;
    gyro.state.heading = degrees360(ship.heading + error * DegToRad);
}

simulation_t::simulation_t(remoteController_t* controller, QObject* parent) : QObject(parent), d(new private_t)
{
    d->controller = controller;
    d->timer = new QTimer(this);
    d->timer->setInterval(1000);
    connect(d->timer, &QTimer::timeout, this, [this] { step(dataTimestamp()); });
}

simulation_t::~simulation_t() { delete d; }

int simulation_t::addReceiver(receiverProfile_t const& profile)
{
    receiver_t rx;
    rx.profile = profile;
    // a profile from a configuration file may hold anything
    if (!std::isfinite(rx.profile.horizontalSigma) || rx.profile.horizontalSigma <= 0.0)
        rx.profile.horizontalSigma = receiverProfile_t().horizontalSigma;
    rx.profile.horizontalSigma = std::clamp(rx.profile.horizontalSigma, 0.01, 100.0);
    if (!std::isfinite(rx.profile.antennaOffsetForward))
        rx.profile.antennaOffsetForward = 0.0;
    if (!std::isfinite(rx.profile.antennaOffsetStarboard))
        rx.profile.antennaOffsetStarboard = 0.0;
    rx.profile.antennaOffsetForward = std::clamp(rx.profile.antennaOffsetForward, -500.0, 500.0);
    rx.profile.antennaOffsetStarboard = std::clamp(rx.profile.antennaOffsetStarboard, -500.0, 500.0);
    if (!std::isfinite(rx.profile.elevationMask))
        rx.profile.elevationMask = DefaultElevationMask;
    rx.profile.elevationMask = std::clamp(rx.profile.elevationMask, 0.0, 60.0);
    d->receivers.push_back(rx);
    return int(d->receivers.size()) - 1;
}

int simulation_t::addGyro()
{
    gyro_t gyro;
    gyro.seed = 7001u + unsigned(d->gyros.size());
    d->gyros.push_back(gyro);
    return int(d->gyros.size()) - 1;
}

double simulation_t::nominalRangeSigma(receiverProfile_t const& profile)
{
    double const sigma = std::isfinite(profile.horizontalSigma) && profile.horizontalSigma > 0.0
                             ? std::clamp(profile.horizontalSigma, 0.01, 100.0)
                             : receiverProfile_t().horizontalSigma;
    return sigma * std::sqrt(2.0) / ReferenceHdop;
}

int simulation_t::receiverCount() const { return int(d->receivers.size()); }
int simulation_t::gyroCount() const { return int(d->gyros.size()); }

receiverProfile_t simulation_t::profile(int receiver) const
{
    if (receiver < 0 || receiver >= receiverCount())
        return receiverProfile_t();
    return d->receivers[std::size_t(receiver)].profile;
}

receiverState_t const* simulation_t::receiverState(int receiver) const
{
    if (receiver < 0 || receiver >= receiverCount() || !d->receivers[std::size_t(receiver)].stepped)
        return nullptr;
    return &d->receivers[std::size_t(receiver)].state;
}

gyroState_t const* simulation_t::gyroState(int gyro) const
{
    if (gyro < 0 || gyro >= gyroCount() || !d->gyros[std::size_t(gyro)].stepped)
        return nullptr;
    return &d->gyros[std::size_t(gyro)].state;
}

std::vector<almanacGps_t> simulation_t::gpsAlmanac() const
{
    std::vector<almanacGps_t> list;
    for (auto const& entry : d->broadcastGps)
        list.push_back(entry.second);
    return list;
}

void simulation_t::step(double t)
{
    if (!std::isfinite(t) || std::fabs(t) > LatestTime)
        return;
    d->updateAlmanacs(t);
    shipState_t const ship = d->ship(t);
    position_t const reference = toPosition(ship.east, ship.north);
    vector3_t const origin = toEcef(reference.lat, reference.lon, GeoidHeight + AntennaHeight);
    double const sLat = std::sin(reference.lat), cLat = std::cos(reference.lat);
    double const sLon = std::sin(reference.lon), cLon = std::cos(reference.lon);
    std::vector<skyView_t> view(d->sky.size());
    for (std::size_t i = 0; i < d->sky.size(); ++i) {
        vector3_t const sat = satelliteEcef(d->sky[i], t);
        double const dx = sat[0] - origin[0], dy = sat[1] - origin[1], dz = sat[2] - origin[2];
        double const east = -sLon * dx + cLon * dy;
        double const north = -sLat * cLon * dx - sLat * sLon * dy + cLat * dz;
        double const up = cLat * cLon * dx + cLat * sLon * dy + sLat * dz;
        view[i].azimuth = wrapTwoPi(std::atan2(east, north));
        view[i].elevation = std::atan2(up, std::hypot(east, north));
    }
    for (receiver_t& rx : d->receivers) {
        d->computeReceiver(rx, t, ship, view);
        rx.stepped = true;
    }
    for (gyro_t& gyro : d->gyros) {
        d->computeGyro(gyro, t, ship);
        gyro.stepped = true;
    }
    emit stepped(t);
}

void simulation_t::start()
{
    step(dataTimestamp());
    d->timer->start();
}

void simulation_t::stop() { d->timer->stop(); }

bool simulation_t::isRunning() const { return d->timer->isActive(); }

position_t simulation_t::shipPosition(double t) const
{
    if (!std::isfinite(t) || std::fabs(t) > LatestTime)
        return position_t();
    shipState_t const s = d->ship(t);
    return toPosition(s.east, s.north);
}

double simulation_t::shipHeading(double t) const
{
    if (!std::isfinite(t) || std::fabs(t) > LatestTime)
        return 0.0;
    double const heading = wrapTwoPi(d->ship(t).heading) * RadToDeg;
    return heading < 360.0 ? heading : 0.0;
}

std::optional<dop_t> simulation_t::dilutionOfPrecision(std::vector<std::pair<double, double>> const& azimuthElevation)
{
    std::vector<vector3_t> lines;
    for (auto const& ae : azimuthElevation) {
        if (!std::isfinite(ae.first) || !std::isfinite(ae.second))
            return std::nullopt;
        lines.push_back(lineOfSight(ae.first * DegToRad, ae.second * DegToRad));
    }
    double q[4][4];
    if (!cofactor(lines, q))
        return std::nullopt;
    dop_t dop;
    dop.hdop = std::sqrt(q[0][0] + q[1][1]);
    dop.vdop = std::sqrt(q[2][2]);
    dop.pdop = std::sqrt(q[0][0] + q[1][1] + q[2][2]);
    return dop;
}

} // namespace app
} // namespace orvane
