#include "belrix_common_qt/glonassAlmanacOrbit.h"

#include "belrix_common_qt/navConstants.h"

#include <cmath>

namespace belrix_common_qt {

namespace {

constexpr double TwoPi = 2.0 * Pi;

// The short-period perturbations of the elements by the second zonal harmonic at mean
// argument of latitude L, for a, h = e sin ω, l = e cos ω, the node, the inclination and L.
struct perturbation_t {
    double a = 0.0;
    double h = 0.0;
    double l = 0.0;
    double node = 0.0;
    double inclination = 0.0;
    double latitude = 0.0;
};

perturbation_t perturbation(double a, double i, double h, double l, double L)
{
    double const ratio = glonassAlmanacOrbit_t::EarthRadius / a;
    double const B = 1.5 * glonassAlmanacOrbit_t::J2 * ratio * ratio;
    double const sinI = std::sin(i);
    double const cosI = std::cos(i);
    double const sin2I = sinI * sinI;
    double const cos2I = cosI * cosI;
    double const k = 1.0 - 1.5 * sin2I;
    // the multiples of L from L by the angle sums
    double const s1 = std::sin(L), c1 = std::cos(L);
    double const s2 = 2.0 * s1 * c1, c2 = c1 * c1 - s1 * s1;
    double const s3 = s2 * c1 + c2 * s1, c3 = c2 * c1 - s2 * s1;
    double const s4 = 2.0 * s2 * c2, c4 = c2 * c2 - s2 * s2;

    // the node's term appears again in the argument of latitude's
    double const nodeTerm = 3.5 * l * s1 - 2.5 * h * c1 - 0.5 * s2 - 7.0 / 6.0 * l * s3 + 7.0 / 6.0 * h * c3;

    perturbation_t p;
    p.a = a * (2.0 * B * k * (l * c1 + h * s1)
               + B * sin2I * (0.5 * h * s1 - 0.5 * l * c1 + c2 + 3.5 * l * c3 + 3.5 * h * s3));
    p.h = B * k * (s1 + 1.5 * l * s2 - 1.5 * h * c2)
          - 0.25 * B * sin2I * (s1 - 7.0 / 3.0 * s3 + 5.0 * l * s2 - 8.5 * l * s4 + 8.5 * h * c4 + h * c2)
          - 0.5 * B * cos2I * l * s2;
    p.l = B * k * (c1 + 1.5 * l * c2 + 1.5 * h * s2)
          - 0.25 * B * sin2I * (-c1 - 7.0 / 3.0 * c3 - 5.0 * h * s2 - 8.5 * l * c4 - 8.5 * h * s4 + l * c2)
          + 0.5 * B * cos2I * h * s2;
    p.node = -B * cosI * nodeTerm;
    p.inclination = 0.5 * B * sinI * cosI * (-l * c1 + h * s1 + c2 + 7.0 / 3.0 * l * c3 + 7.0 / 3.0 * h * s3);
    p.latitude = 2.0 * B * k * (1.75 * l * s1 - 1.75 * h * c1)
                 + 3.0 * B * sin2I * (-7.0 / 24.0 * h * c1 - 7.0 / 24.0 * l * s1 - 49.0 / 72.0 * h * c3
                                      + 49.0 / 72.0 * l * s3 + 0.25 * s2)
                 + B * cos2I * nodeTerm;
    return p;
}

double wrapPi(double angle) { return angle - TwoPi * std::floor((angle + Pi) / TwoPi); }

} // namespace

glonassAlmanacOrbit_t::glonassAlmanacOrbit_t(almanacGlonass_t const& a)
    : slot(a.slot), healthy(a.health == 0), almanac(a), inclination(MeanInclination + a.deltaInclination)
{
}

namespace {

// The secular part of the model for revolution w after the reference pass: its draconic
// period, mean motion, semi-major axis and the rates of node and perigee.
struct secular_t {
    double draconic = 0.0;
    double n = 0.0;
    double a = 0.0;
    double nodeRate = 0.0;
    double perigeeRate = 0.0;
};

secular_t secular(almanacGlonass_t const& A, double inclination, double w)
{
    using orbit = glonassAlmanacOrbit_t;
    secular_t s;
    double const e = A.eccentricity;
    s.draconic = orbit::MeanDraconicPeriod + A.deltaT + (2.0 * w + 1.0) * A.deltaTDot;
    s.n = TwoPi / s.draconic;
    // the semi-major axis whose osculating period gives this draconic period
    double const oneMinusE2 = 1.0 - e * e;
    double const sin2I = std::sin(inclination) * std::sin(inclination);
    double const onePlusECosW = 1.0 + e * std::cos(A.argumentOfPerigee);
    double const shape = (2.0 - 2.5 * sin2I) * oneMinusE2 * std::sqrt(oneMinusE2) / (onePlusECosW * onePlusECosW)
                         + onePlusECosW * onePlusECosW * onePlusECosW / oneMinusE2;
    double osculating = s.draconic;
    for (int k = 0; k < 20; ++k) {
        double const x = osculating / TwoPi;
        double const next = std::cbrt(orbit::EarthMu * x * x);
        double const ratio = orbit::EarthRadius / (next * oneMinusE2);
        osculating = s.draconic / (1.0 - 1.5 * orbit::J2 * ratio * ratio * shape);
        bool const done = std::fabs(next - s.a) < 0.01;
        s.a = next;
        if (done)
            break;
    }
    double const ratio = orbit::EarthRadius / (s.a * oneMinusE2);
    s.nodeRate = -1.5 * orbit::J2 * s.n * ratio * ratio * std::cos(inclination);
    s.perigeeRate = 0.75 * orbit::J2 * s.n * ratio * ratio * (5.0 * std::cos(inclination) * std::cos(inclination) - 1.0);
    return s;
}

} // namespace

double glonassAlmanacOrbit_t::period() const { return secular(almanac, inclination, 0.0).draconic; }

almanacGlonass_t glonassAlmanacOrbit_t::afterRevolutions(int revolutions) const
{
    double const w = revolutions;
    double const elapsed = (MeanDraconicPeriod + almanac.deltaT) * w + almanac.deltaTDot * w * w;
    secular_t const s = secular(almanac, inclination, 0.0);
    almanacGlonass_t a = almanac;
    a.referenceTime = almanac.referenceTime + elapsed;
    a.deltaT = almanac.deltaT + 2.0 * w * almanac.deltaTDot;
    a.lambda = wrapPi(almanac.lambda + (s.nodeRate - EarthRotation) * elapsed);
    a.argumentOfPerigee = wrapPi(almanac.argumentOfPerigee + s.perigeeRate * elapsed);
    return a;
}

void glonassAlmanacOrbit_t::position(double utc, double ecef[3]) const
{
    almanacGlonass_t const& A = almanac;
    double const dt = utc - A.referenceTime;
    double const e = A.eccentricity;
    double const i = inclination;
    double const period = MeanDraconicPeriod + A.deltaT;
    // whole revolutions since the reference node pass; floor keeps times before it continuous
    double const w = std::floor(dt / period);
    secular_t const s = secular(A, i, w);
    double const n = s.n;
    double const a = s.a;
    double const node = A.lambda + (s.nodeRate - EarthRotation) * dt;
    double const perigee = wrapPi(A.argumentOfPerigee + s.perigeeRate * dt);

    // mean argument of latitude at the node pass, then now
    double const e0 = -2.0 * std::atan2(std::sqrt(1.0 - e) * std::sin(perigee / 2.0),
                                        std::sqrt(1.0 + e) * std::cos(perigee / 2.0));
    double const l1 = perigee + e0 - e * std::sin(e0);
    double const l2 = l1 + n * (dt - period * w - A.deltaTDot * w * w);

    double const h = e * std::sin(perigee);
    double const l = e * std::cos(perigee);
    perturbation_t const p1 = perturbation(a, i, h, l, l1);
    perturbation_t const p2 = perturbation(a, i, h, l, l2);
    double const aK = a + p2.a - p1.a;
    double const hK = h + p2.h - p1.h;
    double const lK = l + p2.l - p1.l;
    double const nodeK = node + p2.node - p1.node;
    double const iK = i + p2.inclination - p1.inclination;
    double const latitudeK = l2 + p2.latitude - p1.latitude;

    double const eK = std::sqrt(hK * hK + lK * lK);
    double const perigeeK = eK > 0.0 ? std::atan2(hK, lK) : 0.0;
    double const m = wrapPi(latitudeK - perigeeK);
    double E = m;
    for (int k = 0; k < 30; ++k) {
        double const step = (m - E + eK * std::sin(E)) / (1.0 - eK * std::cos(E));
        E += step;
        if (std::fabs(step) < 1.0e-12)
            break;
    }
    double const v = std::atan2(std::sqrt(1.0 - eK * eK) * std::sin(E), std::cos(E) - eK);
    double const u = v + perigeeK;
    double const r = aK * (1.0 - eK * std::cos(E));
    double const cosU = std::cos(u), sinU = std::sin(u);
    double const cosN = std::cos(nodeK), sinN = std::sin(nodeK);
    double const cosI = std::cos(iK), sinI = std::sin(iK);
    ecef[0] = r * (cosN * cosU - sinN * sinU * cosI);
    ecef[1] = r * (sinN * cosU + cosN * sinU * cosI);
    ecef[2] = r * sinU * sinI;
}

} // namespace belrix_common_qt
