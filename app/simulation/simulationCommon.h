#pragma once

#include <belrix_common_qt/navConstants.h>

#include <array>
#include <cmath>
#include <cstdint>

// What the track, the sky and the receivers' errors share: the data time they count from, the
// earth they stand on and the noise that is a pure function of its key.
namespace orvane {
namespace app {
namespace sim {

using belrix_common_qt::DegToRad;
using belrix_common_qt::Pi;
using belrix_common_qt::RadToDeg;

constexpr double TwoPi = 2.0 * Pi;

constexpr double EarthA = 6378137.0;   // WGS84
constexpr double EarthF = 1.0 / 298.257223563;
constexpr double EarthE2 = EarthF * (2.0 - EarthF);
constexpr double EarthRotation = 7.2921151467e-5;   // rad/s

// Phases of the track, the orbits and the noise count from here, to keep the products small.
constexpr double Epoch = 1704067200.0;      // 2024-01-01 00:00 UTC

constexpr double GeoidHeight = 38.0;
constexpr double AntennaHeight = 25.0;      // above the waterline
constexpr double DefaultElevationMask = 5.0;

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
    channelHeading,
};

inline std::uint64_t mix(std::uint64_t x)
{
    x += 0x9e3779b97f4a7c15ull;
    x = (x ^ (x >> 30)) * 0xbf58476d1ce4e5b9ull;
    x = (x ^ (x >> 27)) * 0x94d049bb133111ebull;
    return x ^ (x >> 31);
}

inline std::uint64_t key(std::uint64_t a, std::uint64_t b, std::uint64_t c = 0, std::uint64_t d = 0)
{
    return mix(mix(mix(mix(a) ^ b) ^ c) ^ d);
}

// In (0, 1), never the ends, so logarithms and tangents stay finite.
inline double uniform(std::uint64_t k) { return (double(k >> 11) + 0.5) / 9007199254740992.0; }

inline double gaussian(std::uint64_t k)
{
    double const u1 = uniform(k);
    double const u2 = uniform(mix(k ^ 0x5851f42d4c957f2dull));
    return std::sqrt(-2.0 * std::log(u1)) * std::cos(TwoPi * u2);
}

inline std::uint64_t wholeSecond(double t) { return std::uint64_t(std::int64_t(std::floor(t))); }

// Sinusoids whose frequencies follow a Cauchy distribution add up to the exponential
// autocorrelation of a first-order Gauss-Markov process, yet remain a pure function of time,
// so that any time can be stepped to. Unit variance.
inline double markov(std::uint64_t k, double tau, double correlationTime, int terms)
{
    double sum = 0.0;
    for (int i = 0; i < terms; ++i) {
        double const omega = std::tan(Pi * (uniform(key(k, std::uint64_t(i), 1)) - 0.5)) / correlationTime;
        double const phase = TwoPi * uniform(key(k, std::uint64_t(i), 2));
        sum += std::cos(std::fmod(omega * tau, TwoPi) + phase);
    }
    return sum * std::sqrt(2.0 / terms);
}

inline double wrapTwoPi(double a)
{
    a = std::fmod(a, TwoPi);
    return a < 0.0 ? a + TwoPi : a;
}

inline double wrapPi(double a) { return wrapTwoPi(a + Pi) - Pi; }

// Degrees in [0, 360) that stay below 360 once narrowed to float.
inline float degrees360(double radians)
{
    float const deg = float(wrapTwoPi(radians) * RadToDeg);
    return deg >= 360.0f ? 0.0f : deg;
}

inline double meridianRadius(double lat)
{
    double const s = std::sin(lat);
    return EarthA * (1.0 - EarthE2) / std::pow(1.0 - EarthE2 * s * s, 1.5);
}

inline double primeVerticalRadius(double lat)
{
    double const s = std::sin(lat);
    return EarthA / std::sqrt(1.0 - EarthE2 * s * s);
}

using vector3_t = std::array<double, 3>;

} // namespace sim
} // namespace app
} // namespace orvane
