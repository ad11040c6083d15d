#include "shipTrack.h"

#include "simulationCommon.h"

#include <algorithm>
#include <cmath>

using namespace belrix_common_qt;

namespace orvane {
namespace app {

using namespace sim;

namespace {

constexpr double Knot = 1852.0 / 3600.0;

// The loop runs in open water west of Gothenburg, clear of the archipelago and of Laeso.
constexpr double CentreLat = 57.60 * DegToRad;
constexpr double CentreLon = 11.25 * DegToRad;

// The loop, in metres east and north of its centre: an oval with a gentle S in its legs,
// turning to port at up to 8 degrees a minute. Walked at constant speed by arc length.
constexpr int Cells = 4096;
constexpr double SemiAxisEast = 9000.0;
constexpr double SemiAxisNorth = 5000.0;
constexpr double Skew = 900.0;
constexpr double Wiggle = 700.0;

void point(double a, double& east, double& north)
{
    east = SemiAxisEast * std::cos(a) + Skew * std::sin(2.0 * a);
    north = SemiAxisNorth * std::sin(a) + Wiggle * std::sin(3.0 * a);
}

double course(double a)
{
    double const de = -SemiAxisEast * std::sin(a) + 2.0 * Skew * std::cos(2.0 * a);
    double const dn = SemiAxisNorth * std::cos(a) + 3.0 * Wiggle * std::cos(3.0 * a);
    return wrapTwoPi(std::atan2(de, dn));
}

double curveSpeed(double a)
{
    double const de = -SemiAxisEast * std::sin(a) + 2.0 * Skew * std::cos(2.0 * a);
    double const dn = SemiAxisNorth * std::cos(a) + 3.0 * Wiggle * std::cos(3.0 * a);
    return std::hypot(de, dn);
}

} // namespace

shipTrack_t::shipTrack_t()
{
    m_length.resize(Cells + 1, 0.0);
    double const h = TwoPi / Cells;
    for (int i = 0; i < Cells; ++i) {
        double const a = i * h;
        double const simpson = (curveSpeed(a) + 4.0 * curveSpeed(a + h / 2) + curveSpeed(a + h)) * h / 6.0;
        m_length[std::size_t(i) + 1] = m_length[std::size_t(i)] + simpson;
    }
}

// Curve parameter at arc length s in [0, length()).
double shipTrack_t::parameterAt(double s) const
{
    auto it = std::upper_bound(m_length.begin(), m_length.end(), s);
    std::size_t const i = std::size_t(std::clamp<std::ptrdiff_t>(it - m_length.begin() - 1, 0, Cells - 1));
    double const f = (s - m_length[i]) / (m_length[i + 1] - m_length[i]);
    return (double(i) + f) * TwoPi / Cells;
}

shipState_t shipTrack_t::at(double t) const
{
    double const tau = t - Epoch;
    // a little speed variation, as from the swell and the engine governor
    double const speed = 10.0 * Knot;
    double const speedSwing = 0.2 * Knot;
    double const speedPeriod = 1500.0;
    double const distance =
        speed * tau + speedSwing * speedPeriod / TwoPi * (1.0 - std::cos(TwoPi * tau / speedPeriod));
    double s = std::fmod(distance, length());
    if (s < 0.0)
        s += length();
    double const a = parameterAt(s);
    shipState_t state;
    point(a, state.east, state.north);
    state.course = course(a);
    // the set of the coastal current makes the bow point up-current of the track
    double const currentSet = 15.0 * DegToRad;
    double const currentSpeed = 0.6 * Knot;
    double const drift = std::asin(currentSpeed * std::sin(currentSet - state.course) / speed);
    double const yaw = 1.1 * std::sin(TwoPi * tau / 9.6) + 0.6 * std::sin(TwoPi * tau / 14.2 + 0.9);
    state.heading = wrapTwoPi(state.course - drift + yaw * DegToRad);
    return state;
}

void shipTrack_t::antenna(double forward, double starboard, double t, double& east, double& north) const
{
    shipState_t const s = at(t);
    double const sh = std::sin(s.heading), ch = std::cos(s.heading);
    east = s.east + forward * sh + starboard * ch;
    north = s.north + forward * ch - starboard * sh;
}

position_t shipTrack_t::toPosition(double east, double north)
{
    double const lat = CentreLat + north / meridianRadius(CentreLat);
    double const lon = CentreLon + east / (primeVerticalRadius(lat) * std::cos(lat));
    return position_t(lat, lon);
}

position_t shipTrack_t::displaced(position_t const& p, double east, double north)
{
    double const lat = p.lat + north / meridianRadius(p.lat);
    return position_t(lat, p.lon + east / (primeVerticalRadius(p.lat) * std::cos(p.lat)));
}

} // namespace app
} // namespace orvane
