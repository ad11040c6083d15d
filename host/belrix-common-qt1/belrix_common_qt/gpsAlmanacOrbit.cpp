#include "belrix_common_qt/gpsAlmanacOrbit.h"

#include "belrix_common_qt/gnssTime.h"

#include <algorithm>
#include <cmath>

namespace belrix_common_qt {

namespace {

constexpr double TwoPi = 6.283185307179586476925;

// The sine and cosine of |x| <= 0.1 by their series, to rounding; multiplications only, as
// this runs for every satellite and instant.
inline void smallSinCos(double x, double& s, double& c)
{
    double const x2 = x * x;
    if (x2 < 1.0e-8) {   // the next terms are below 1e-24
        s = x * (1.0 - x2 * (1.0 / 6.0));
        c = 1.0 - x2 * 0.5;
        return;
    }
    s = x * (1.0 + x2 * (-1.0 / 6.0 + x2 * (1.0 / 120.0 + x2 * (-1.0 / 5040.0 + x2 * (1.0 / 362880.0)))));
    c = 1.0 + x2 * (-0.5 + x2 * (1.0 / 24.0 + x2 * (-1.0 / 720.0 + x2 * (1.0 / 40320.0 + x2 * (-1.0 / 3628800.0)))));
}

// Turns (c, s), the cosine and sine of an angle, on by x.
inline void turn(double x, double& c, double& s)
{
    double sx, cx;
    if (std::fabs(x) <= 0.1) {
        smallSinCos(x, sx, cx);
    } else {
        sx = std::sin(x);
        cx = std::cos(x);
    }
    double const nextS = s * cx + c * sx;
    c = c * cx - s * sx;
    s = nextS;
}

} // namespace

gpsAlmanacOrbit_t::gpsAlmanacOrbit_t(almanacGps_t const& a)
{
    prn = a.prn;
    healthy = a.health == 0;
    reference = double(a.week) * SecondsPerGpsWeek + a.toa;
    semiMajorAxis = a.sqrtA * a.sqrtA;
    meanMotion = semiMajorAxis > 0.0 ? std::sqrt(EarthMu / (semiMajorAxis * semiMajorAxis * semiMajorAxis)) : 0.0;
    meanAnomaly = a.meanAnomaly;
    eccentricity = a.eccentricity;
    sqrtOneMinusE2 = std::sqrt(std::max(0.0, 1.0 - eccentricity * eccentricity));
    cosPerigee = std::cos(a.argumentOfPerigee);
    sinPerigee = std::sin(a.argumentOfPerigee);
    cosInclination = std::cos(a.inclination);
    sinInclination = std::sin(a.inclination);
    // the almanac gives the node at the start of its week; from there the earth turns with
    // GPS time, which the earth's angle of each instant takes off again
    double const node = std::fmod(a.rightAscension + EarthRotation * double(a.week) * SecondsPerGpsWeek, TwoPi);
    cosNode = std::cos(node);
    sinNode = std::sin(node);
    nodeRate = a.rateOfRightAscension;
}

almanacGps_t gpsAlmanacOrbit_t::referredTo(almanacGps_t const& almanac, unsigned int week, double toa)
{
    gpsAlmanacOrbit_t const orbit(almanac);
    double const weekStart = double(week) * SecondsPerGpsWeek;
    double const elapsed = weekStart + toa - orbit.reference;
    almanacGps_t a = almanac;
    a.week = week;
    a.toa = toa;
    // the mean anomaly runs on; the node precesses, and is counted from the new week's start
    a.meanAnomaly = std::remainder(almanac.meanAnomaly + orbit.meanMotion * elapsed, TwoPi);
    a.rightAscension = std::remainder(almanac.rightAscension + almanac.rateOfRightAscension * elapsed
                                          - EarthRotation * (weekStart - double(almanac.week) * SecondsPerGpsWeek),
                                      TwoPi);
    return a;
}

void gpsAlmanacOrbit_t::earthAngle(double gpsTime, double& cosEarth, double& sinEarth)
{
    double const angle = std::fmod(EarthRotation * gpsTime, TwoPi);
    cosEarth = std::cos(angle);
    sinEarth = std::sin(angle);
}

void gpsAlmanacOrbit_t::position(double gpsTime, double ecef[3]) const
{
    double cosEarth, sinEarth;
    earthAngle(gpsTime, cosEarth, sinEarth);
    position(gpsTime, cosEarth, sinEarth, ecef);
}

void gpsAlmanacOrbit_t::position(double gpsTime, double cosEarth, double sinEarth, double ecef[3]) const
{
    double const tk = gpsTime - reference;
    double const e = eccentricity;
    double const m = meanAnomaly + meanMotion * tk;
    // Kepler's equation. For the near-circular orbits of GPS, the series in e to the third
    // power leaves less than e^4 (6e-6 rad at e = 0.05), which one Newton step takes below
    // 1e-10 rad (a few millimetres) even with the step's 1 / (1 - e cos E) by its series to
    // the third power; otherwise Newton from E = M until a step is below 1e-5 rad. The sine
    // and cosine are turned along with E rather than evaluated again.
    double const sinM = std::sin(m);
    double const cosM = std::cos(m);
    double E = m;
    double sinE = sinM;
    double cosE = cosM;
    if (e <= 0.05) {
        double const sin2M = 2.0 * sinM * cosM;
        double const sin3M = sinM * (3.0 - 4.0 * sinM * sinM);
        double const first = e * sinM + 0.5 * e * e * sin2M + e * e * e * 0.125 * (3.0 * sin3M - sinM);
        E = m + first;
        turn(first, cosE, sinE);
        double const x = e * cosE;
        double const step = (m - E + e * sinE) * (1.0 + x * (1.0 + x * (1.0 + x)));
        turn(step, cosE, sinE);
    } else {
        for (int i = 0; i < 50; ++i) {
            double const step = (m - E + e * sinE) / (1.0 - e * cosE);
            E += step;
            turn(step, cosE, sinE);
            if (std::fabs(step) < 1.0e-5)
                break;
        }
    }
    // in the orbit's plane, x towards perigee: no true anomaly needed
    double const xPerigee = semiMajorAxis * (cosE - e);
    double const yPerigee = semiMajorAxis * sqrtOneMinusE2 * sinE;
    double const xPlane = xPerigee * cosPerigee - yPerigee * sinPerigee;
    double const yPlane = xPerigee * sinPerigee + yPerigee * cosPerigee;
    // the node: precessed since reference, then less the earth's angle now
    double cosO = cosNode;
    double sinO = sinNode;
    turn(nodeRate * tk, cosO, sinO);
    double const c = cosO * cosEarth + sinO * sinEarth;
    double const s = sinO * cosEarth - cosO * sinEarth;
    ecef[0] = xPlane * c - yPlane * cosInclination * s;
    ecef[1] = xPlane * s + yPlane * cosInclination * c;
    ecef[2] = yPlane * sinInclination;
}

} // namespace belrix_common_qt
