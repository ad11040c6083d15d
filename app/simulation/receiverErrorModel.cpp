#include "receiverErrorModel.h"

#include "satelliteSky.h"
#include "shipTrack.h"
#include "simulationCommon.h"

#include <belrix_common_qt/remoteDevice.h>

#include <algorithm>
#include <cmath>
#include <map>

using namespace belrix_common_qt;

namespace orvane {
namespace app {

using namespace sim;

namespace {

constexpr double DegradedElevationMask = 15.0;
// Geometry at which a receiver's noise equals its profile sigma; worse geometry scales it up.
constexpr double ReferenceHdop = 0.5;
constexpr double MinimumOutageInterval = 90.0;

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

// A receiver's error covariance now: metres squared east, north and their covariance; metres up
// and of the range errors.
struct errorCovariance_t {
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

// The receiver being computed: its profile and the state that grows step by step.
struct receiver_t {
    receiverProfile_t const& profile;
    receiverState_t& state;
};

// The lines of sight of the satellites in the solution, and where each stands in the state.
std::vector<vector3_t> computeSatellites(receiver_t& rx, double t, outage_t const& outage,
                                         std::vector<orbit_t> const& sky, std::vector<skyView_t> const& view,
                                         std::vector<std::size_t>& usedIndex)
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

void computePosition(receiver_t& rx, double t, shipTrack_t const& track, shipState_t const& ship,
                     errorCovariance_t const& error)
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
    track.antenna(p.antennaOffsetForward, p.antennaOffsetStarboard, t, east, north);
    state.position = shipTrack_t::displaced(shipTrack_t::toPosition(ship.east, ship.north), east - ship.east + l11 * gEast,
                               north - ship.north + l21 * gEast + l22 * gNorth);
    double const heave = 0.3 * std::sin(TwoPi * tau / 7.3) + 0.2 * std::sin(TwoPi * tau / 11.1 + 1.3);
    double const tide = 0.1 * std::sin(TwoPi * tau / 44714.0);
    state.geoidSeparation = GeoidHeight;
    state.ellipsoidalHeight = GeoidHeight + AntennaHeight + heave + tide + error.up * gUp;

    // the antenna's own velocity: the yaw swings a lever arm across the track
    double eastBefore = 0.0, northBefore = 0.0, eastAfter = 0.0, northAfter = 0.0;
    track.antenna(p.antennaOffsetForward, p.antennaOffsetStarboard, t - 0.5, eastBefore, northBefore);
    track.antenna(p.antennaOffsetForward, p.antennaOffsetStarboard, t + 0.5, eastAfter, northAfter);
    double const vEast = eastAfter - eastBefore, vNorth = northAfter - northBefore;
    double const speed = std::hypot(vEast, vNorth);
    double const velocitySigma = 0.02 + 0.01 * p.horizontalSigma;
    state.speed = std::max(0.0, speed + velocitySigma * gaussian(key(p.seed, channelSpeed, second)));
    double const cogNoise = velocitySigma / std::max(speed, 0.5) * gaussian(key(p.seed, channelCourse, second));
    state.course = degrees360(std::atan2(vEast, vNorth) + cogNoise);
}

void computeStatistics(receiver_t& rx, double t, outage_t const& outage, std::vector<vector3_t> const& used,
                       std::vector<std::size_t> const& usedIndex, errorCovariance_t const& error)
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
    double const nominal = receiverErrorModel_t::nominalRangeSigma(rx.profile);
    double const scale = solvable && sumSquares > 0.0 ? nominal * std::sqrt(unitVariance * redundancy / sumSquares) : 0.0;
    for (std::size_t i = 0; i < n; ++i)
        state.satellites[usedIndex[i]].residual = residual[i] * scale;
    state.unitVariance = unitVariance;
}

void computeCorrections(receiver_t& rx, double t, outage_t const& outage)
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

// A GNSS compass: two antennas' carrier phases give the heading to about the position noise
// over the baseline, worse while the receiver is degraded.
void computeHeading(receiver_t& rx, double t, shipState_t const& ship, double sigma)
{
    receiverProfile_t const& p = rx.profile;
    if (p.headingBaseline <= 0.0)
        return;
    double const sigmaDegrees = std::clamp(sigma / p.headingBaseline * 0.1, 0.01, 5.0) * 180.0 / Pi;
    double const error = sigmaDegrees * (0.7 * markov(key(p.seed, channelHeading), t - Epoch, 60.0, 8)
                                         + 0.7 * gaussian(key(p.seed, channelHeading, wholeSecond(t))));
    double const degrees = std::fmod(ship.heading * 180.0 / Pi + error + 720.0, 360.0);
    rx.state.heading = degrees >= 360.0 ? 0.0 : degrees;
}

} // namespace

receiverErrorModel_t::receiverErrorModel_t(receiverProfile_t const& profile) : m_profile(profile)
{
    receiverProfile_t& p = m_profile;
    if (!std::isfinite(p.horizontalSigma) || p.horizontalSigma <= 0.0)
        p.horizontalSigma = receiverProfile_t().horizontalSigma;
    p.horizontalSigma = std::clamp(p.horizontalSigma, 0.01, 100.0);
    if (!std::isfinite(p.antennaOffsetForward))
        p.antennaOffsetForward = 0.0;
    if (!std::isfinite(p.antennaOffsetStarboard))
        p.antennaOffsetStarboard = 0.0;
    p.antennaOffsetForward = std::clamp(p.antennaOffsetForward, -500.0, 500.0);
    p.antennaOffsetStarboard = std::clamp(p.antennaOffsetStarboard, -500.0, 500.0);
    if (!std::isfinite(p.elevationMask))
        p.elevationMask = DefaultElevationMask;
    p.elevationMask = std::clamp(p.elevationMask, 0.0, 60.0);
    if (!std::isfinite(p.headingBaseline))
        p.headingBaseline = 0.0;
    p.headingBaseline = std::clamp(p.headingBaseline, 0.0, 100.0);
}

receiverProfile_t const& receiverErrorModel_t::profile() const { return m_profile; }

receiverState_t receiverErrorModel_t::stateAt(double t, shipTrack_t const& track, shipState_t const& ship,
                                              satelliteSky_t const& sky, std::vector<skyView_t> const& view) const
{
    receiverState_t state;
    receiver_t rx{m_profile, state};
    state.time = t;
    outage_t const outage = outageAt(rx.profile, t);
    std::vector<std::size_t> usedIndex;
    std::vector<vector3_t> const used = computeSatellites(rx, t, outage, sky.orbits(), view, usedIndex);
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
        errorCovariance_t error;
        error.uere = sigmaNow * std::sqrt(2.0) / ReferenceHdop;
        error.east = error.uere * error.uere * q[0][0];
        error.north = error.uere * error.uere * q[1][1];
        error.eastNorth = error.uere * error.uere * q[0][1];
        error.up = error.uere * std::sqrt(q[2][2]);
        computePosition(rx, t, track, ship, error);
        computeStatistics(rx, t, outage, used, usedIndex, error);
        computeHeading(rx, t, ship, sigmaNow);
    }
    std::sort(state.satellites.begin(), state.satellites.end(),
              [](satelliteState_t const& a, satelliteState_t const& b) { return a.number < b.number; });
    return state;
}

double receiverErrorModel_t::nominalRangeSigma(receiverProfile_t const& profile)
{
    double const sigma = std::isfinite(profile.horizontalSigma) && profile.horizontalSigma > 0.0
                             ? std::clamp(profile.horizontalSigma, 0.01, 100.0)
                             : receiverProfile_t().horizontalSigma;
    return sigma * std::sqrt(2.0) / ReferenceHdop;
}

std::optional<dop_t> receiverErrorModel_t::dilutionOfPrecision(std::vector<std::pair<double, double>> const& azimuthElevation)
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
