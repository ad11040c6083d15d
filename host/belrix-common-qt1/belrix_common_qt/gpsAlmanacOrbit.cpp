#include "belrix_common_qt/gpsAlmanacOrbit.h"

#include "belrix_common_qt/gnssTime.h"

#include <algorithm>
#include <cmath>

namespace belrix_common_qt {

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
    // the almanac gives the node at the start of its week; the earth turns on until toa
    node = a.rightAscension - EarthRotation * a.toa;
    nodeRate = a.rateOfRightAscension - EarthRotation;
}

void gpsAlmanacOrbit_t::position(double gpsTime, double ecef[3]) const
{
    double const tk = gpsTime - reference;
    double const e = eccentricity;
    double const m = meanAnomaly + meanMotion * tk;
    // Newton on Kepler's equation from E = M. Once a step is below 1e-5 rad the next would be
    // below e/2 · 1e-10, so the last step is taken on the sine and cosine by their series
    // instead of evaluating them again.
    double E = m;
    double sinE = std::sin(E);
    double cosE = std::cos(E);
    for (int i = 0; i < 30; ++i) {
        double const step = (m - E + e * sinE) / (1.0 - e * cosE);
        E += step;
        if (std::fabs(step) < 1.0e-5) {
            double const s = step - step * step * step / 6.0;
            double const c = 1.0 - step * step / 2.0;
            double const sinNext = sinE * c + cosE * s;
            cosE = cosE * c - sinE * s;
            sinE = sinNext;
            break;
        }
        sinE = std::sin(E);
        cosE = std::cos(E);
    }
    double const denominator = 1.0 - e * cosE;
    double const sinV = sqrtOneMinusE2 * sinE / denominator;
    double const cosV = (cosE - e) / denominator;
    double const cosU = cosV * cosPerigee - sinV * sinPerigee;
    double const sinU = sinV * cosPerigee + cosV * sinPerigee;
    double const r = semiMajorAxis * denominator;
    double const xPlane = r * cosU;
    double const yPlane = r * sinU;
    double const omega = node + nodeRate * tk;
    double const cosO = std::cos(omega);
    double const sinO = std::sin(omega);
    ecef[0] = xPlane * cosO - yPlane * cosInclination * sinO;
    ecef[1] = xPlane * sinO + yPlane * cosInclination * cosO;
    ecef[2] = yPlane * sinInclination;
}

} // namespace belrix_common_qt
