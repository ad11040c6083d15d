#include "simulation/simulation.h"

#include "belrix_common_qt/almMgrGlonass.h"
#include "belrix_common_qt/almMgrGps.h"
#include "belrix_common_qt/dataClock.h"
#include "belrix_common_qt/remoteController.h"
#include "belrix_common_qt/remoteDevice.h"

#include <QSignalSpy>
#include <QtTest>

#include <cmath>
#include <limits>
#include <belrix_common_qt/navConstants.h>

using namespace belrix_common_qt;
using orvane::app::gyroState_t;
using orvane::app::receiverProfile_t;
using orvane::app::receiverState_t;
using orvane::app::satelliteState_t;
using orvane::app::simulation_t;

using satList_t = std::vector<std::pair<double, double>>;   // azimuth, elevation in degrees
Q_DECLARE_METATYPE(satList_t)

namespace {

constexpr double T0 = 1718000000.0;   // June 2024
constexpr double knot = 1852.0 / 3600.0;

// East and north metres from a to b on the WGS84 ellipsoid, fine over a few kilometres.
void offset(position_t const& a, position_t const& b, double& east, double& north)
{
    double const e2 = 0.00669437999014, s = std::sin(a.lat);
    double const w = 1.0 - e2 * s * s;
    north = (b.lat - a.lat) * 6378137.0 * (1.0 - e2) / std::pow(w, 1.5);
    east = (b.lon - a.lon) * 6378137.0 / std::sqrt(w) * std::cos(a.lat);
}

double distance(position_t const& a, position_t const& b)
{
    double east = 0.0, north = 0.0;
    offset(a, b, east, north);
    return std::hypot(east, north);
}

receiverProfile_t profileA()
{
    receiverProfile_t p;
    p.horizontalSigma = 0.3;
    p.belrix = true;
    p.sbas = false;
    p.fixQuality = fixQualityRtkFloat;
    p.seed = 11;
    p.outageInterval = 0.0;
    return p;
}

receiverProfile_t profileB()
{
    receiverProfile_t p;
    p.horizontalSigma = 2.0;
    p.allConstellations = false;
    p.seed = 22;
    return p;
}

// Everything a receiver reports, in full precision, to compare two runs.
QString snapshot(receiverState_t const* state)
{
    if (!state)
        return QStringLiteral("none");
    QStringList s;
    auto num = [](double v) { return QString::number(v, 'g', 17); };
    s << num(state->position.lat) << num(state->position.lon) << num(state->ellipsoidalHeight) << num(state->course)
      << num(state->dop.hdop) << num(state->correctionSnr.value_or(-1.0)) << num(state->correctionAge.value_or(-1.0))
      << num(state->semiMajor) << num(state->unitVariance) << QString::number(state->fixQuality);
    for (satelliteState_t const& sat : state->satellites)
        s << QString::number(sat.number) << num(sat.snr) << num(sat.azimuth) << QString::number(sat.used)
          << num(sat.residual);
    return s.join(QLatin1Char(' '));
}

QString snapshot(gyroState_t const* state) { return state ? QString::number(state->heading, 'g', 17) : QString(); }

bool hasStrongSbas(receiverState_t const* state)
{
    for (satelliteState_t const& sat : state->satellites)
        if (sat.constellation == constellationSbas && sat.snr >= 1.0)
            return true;
    return false;
}

// Residuals of a least-squares solution are orthogonal to every column of its design: here
// east, north, up and one clock per time system.
double worstOrthogonality(receiverState_t const* state)
{
    double sums[7] = {};
    for (satelliteState_t const& sat : state->satellites) {
        if (!sat.used)
            continue;
        double const az = sat.azimuth * Pi / 180.0, el = sat.elevation * Pi / 180.0;
        sums[0] += std::cos(el) * std::sin(az) * sat.residual;
        sums[1] += std::cos(el) * std::cos(az) * sat.residual;
        sums[2] += std::sin(el) * sat.residual;
        int const clock = sat.constellation == constellationGlonass ? 4
                          : sat.constellation == constellationGalileo ? 5
                          : sat.constellation == constellationBeidou  ? 6
                                                                      : 3;
        sums[clock] += sat.residual;
    }
    double worst = 0.0;
    for (double v : sums)
        worst = std::max(worst, std::fabs(v));
    return worst;
}

} // namespace

class tst_simulation : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void sameSeedsAndTimesGiveSameData();
    void jumpGivesSameDataAsSteadySteps();
    void shipSpeedAndContinuity_data();
    void shipSpeedAndContinuity();
    void shipStaysAtSea();
    void betterReceiverScattersLess();
    void antennaFollowsLeverArm();
    void gyroHeadingInRange();
    void errorStatisticsConsistent_data();
    void errorStatisticsConsistent();
    void degradedPeriodShows();
    void satelliteView();
    void elevationMaskLimitsTheSolution_data();
    void elevationMaskLimitsTheSolution();
    void dilutionOfPrecision_data();
    void dilutionOfPrecision();
    void degenerateGeometryHasNoDop_data();
    void degenerateGeometryHasNoDop();
    void almanacs();
    void startAndStop();
    void badInputIsHarmless();

private:
    QObject* root = nullptr;
    remoteController_t* controller = nullptr;
    simulation_t* sim = nullptr;
    int a = -1;
    int b = -1;
    int gyro = -1;

    receiverState_t const* stateA() const { return sim->receiverState(a); }
    receiverState_t const* stateB() const { return sim->receiverState(b); }

    simulation_t* makeSimulation()
    {
        auto* s = new simulation_t(new remoteController_t(root), root);
        s->addReceiver(profileA());
        s->addReceiver(profileB());
        s->addGyro();
        return s;
    }
};

void tst_simulation::init()
{
    root = new QObject;
    controller = new remoteController_t(root);
    sim = new simulation_t(controller, root);
    a = sim->addReceiver(profileA());
    b = sim->addReceiver(profileB());
    gyro = sim->addGyro();
}

void tst_simulation::cleanup()
{
    delete root;
    root = nullptr;
    dataClock_t::useSystemTime();
}

void tst_simulation::sameSeedsAndTimesGiveSameData()
{
    simulation_t* other = makeSimulation();
    for (double t : {T0, T0 + 1.0, T0 + 2.0, T0 + 500.0, T0 + 501.0}) {
        sim->step(t);
        other->step(t);
        QCOMPARE(snapshot(other->receiverState(0)), snapshot(stateA()));
        QCOMPARE(snapshot(other->receiverState(1)), snapshot(stateB()));
        QCOMPARE(snapshot(other->gyroState(0)), snapshot(sim->gyroState(gyro)));
    }
    QVERIFY(snapshot(stateA()) != snapshot(stateB()));
}

void tst_simulation::jumpGivesSameDataAsSteadySteps()
{
    simulation_t* other = makeSimulation();
    for (int i = 0; i <= 40; ++i)
        sim->step(T0 + i);
    other->step(T0 + 40.0);
    QCOMPARE(snapshot(other->receiverState(0)), snapshot(stateA()));
    QCOMPARE(snapshot(other->receiverState(1)), snapshot(stateB()));
}

void tst_simulation::shipSpeedAndContinuity_data()
{
    QTest::addColumn<double>("start");
    QTest::newRow("now") << T0;
    QTest::newRow("an hour on") << T0 + 3600.0;
    QTest::newRow("in a turn") << T0 + 1234.5;
    QTest::newRow("a year on") << T0 + 365.0 * 86400.0;
    QTest::newRow("before the epoch of the track") << 1.6e9;
}

void tst_simulation::shipSpeedAndContinuity()
{
    QFETCH(double, start);
    position_t previous = sim->shipPosition(start);
    QVERIFY(previous.isValid());
    for (int i = 1; i <= 60; ++i) {
        position_t const p = sim->shipPosition(start + i);
        double const step = distance(previous, p);
        QVERIFY2(step > 9.5 * knot && step < 10.5 * knot, qPrintable(QString::number(step)));
        previous = p;
    }
    double const speed = distance(sim->shipPosition(start), previous) / 60.0 / knot;
    QVERIFY2(speed > 9.5 && speed < 10.5, qPrintable(QString::number(speed)));
}

void tst_simulation::shipStaysAtSea()
{
    // open Kattegat between the Swedish archipelago (east of 11.55 E) and Laeso (south of 57.35 N)
    for (double t = T0; t < T0 + 4.0 * 3600.0; t += 30.0) {
        position_t const p = sim->shipPosition(t);
        double const lat = p.lat * 180.0 / Pi, lon = p.lon * 180.0 / Pi;
        QVERIFY2(lat > 57.45 && lat < 57.75 && lon > 10.95 && lon < 11.5,
                 qPrintable(QStringLiteral("%1 %2").arg(lat).arg(lon)));
    }
}

void tst_simulation::betterReceiverScattersLess()
{
    double sumA = 0.0, sumB = 0.0;
    position_t lastA;
    int const n = 600;
    for (int i = 0; i < n; ++i) {
        double const t = T0 + i;
        sim->step(t);
        position_t const truth = sim->shipPosition(t);
        position_t const pa = stateA()->position;
        sumA += std::pow(distance(truth, pa), 2);
        sumB += std::pow(distance(truth, stateB()->position), 2);
        if (i > 0)
            QVERIFY(std::fabs(distance(lastA, pa) - distance(sim->shipPosition(t - 1), truth)) < 1.0);
        lastA = pa;
    }
    double const rmsA = std::sqrt(sumA / n), rmsB = std::sqrt(sumB / n);
    QVERIFY2(rmsA > 0.1 && rmsA < 1.0, qPrintable(QString::number(rmsA)));
    QVERIFY2(rmsB > 1.0 && rmsB < 8.0, qPrintable(QString::number(rmsB)));
    QVERIFY(rmsA * 2.0 < rmsB);
}

void tst_simulation::antennaFollowsLeverArm()
{
    receiverProfile_t p = profileA();
    p.antennaOffsetForward = 40.0;
    p.antennaOffsetStarboard = -6.0;
    int const bow = sim->addReceiver(p);
    for (double t = T0; t < T0 + 9000.0; t += 450.0) {
        sim->step(t);
        // same seed, so the noise cancels and only the lever arm remains
        double east = 0.0, north = 0.0;
        offset(stateA()->position, sim->receiverState(bow)->position, east, north);
        double const h = sim->shipHeading(t) * Pi / 180.0;
        QVERIFY(std::fabs(east - (40.0 * std::sin(h) - 6.0 * std::cos(h))) < 0.05);
        QVERIFY(std::fabs(north - (40.0 * std::cos(h) + 6.0 * std::sin(h))) < 0.05);
    }
}

void tst_simulation::gyroHeadingInRange()
{
    double lowest = 360.0, highest = 0.0;
    for (double t = T0; t < T0 + 9200.0; t += 7.0) {
        sim->step(t);
        gyroState_t const* heading = sim->gyroState(gyro);
        QVERIFY(heading);
        QCOMPARE(heading->time, t);
        QVERIFY(heading->heading >= 0.0 && heading->heading < 360.0);
        double const error = std::remainder(heading->heading - sim->shipHeading(t), 360.0);
        QVERIFY2(std::fabs(error) < 0.3, qPrintable(QString::number(error)));
        // the bow points near the course made good: drift and yaw stay within a few degrees
        double const yaw = std::remainder(heading->heading - stateA()->course, 360.0);
        QVERIFY2(std::fabs(yaw) < 8.0, qPrintable(QString::number(yaw)));
        lowest = std::min(lowest, heading->heading);
        highest = std::max(highest, heading->heading);
    }
    // one loop turns through every heading, across north too
    QVERIFY(lowest < 5.0 && highest > 355.0);
}

void tst_simulation::errorStatisticsConsistent_data()
{
    QTest::addColumn<bool>("receiverA");
    QTest::newRow("receiver A") << true;
    QTest::newRow("receiver B") << false;
}

void tst_simulation::errorStatisticsConsistent()
{
    QFETCH(bool, receiverA);
    int const rx = receiverA ? a : b;
    double const sigma = simulation_t::nominalRangeSigma(sim->profile(rx));
    double unitVarianceSum = 0.0;
    for (int i = 0; i < 600; ++i) {
        sim->step(T0 + i);
        receiverState_t const* s = sim->receiverState(rx);
        QVERIFY(s && s->hasFix);
        QVERIFY(s->semiMajor >= s->semiMinor && s->semiMinor > 0.0 && s->rangeRms > 0.0 && s->heightError > 0.0);
        QVERIFY(s->orientation >= 0.0 && s->orientation < 180.0);
        // the axes and the lat/lon errors are two views of one covariance
        double const trace = std::pow(s->semiMajor, 2) + std::pow(s->semiMinor, 2);
        QVERIFY(std::fabs(std::pow(s->latitudeError, 2) + std::pow(s->longitudeError, 2) - trace) < 1e-9 * trace);
        // and follow the satellite geometry: height against horizontal as VDOP against HDOP
        double const dopRatio = s->dop.vdop / s->dop.hdop;
        QVERIFY(std::fabs(s->heightError / std::sqrt(trace) - dopRatio) < 1e-9 * dopRatio);
        // the residuals are those of a solution, and their size is the unit variance
        double sumSquares = 0.0;
        int used = 0;
        QSet<int> systems;
        for (satelliteState_t const& sat : s->satellites) {
            if (!sat.used) {
                QCOMPARE(sat.residual, 0.0);
                continue;
            }
            ++used;
            systems.insert(sat.constellation);
            sumSquares += sat.residual * sat.residual;
        }
        QVERIFY2(worstOrthogonality(s) < 1e-9 * std::sqrt(sumSquares) + 1e-12, qPrintable(QString::number(i)));
        int const redundancy = used - 3 - int(systems.size());
        QVERIFY(redundancy > 0);
        QVERIFY(std::fabs(sumSquares / (redundancy * sigma * sigma) - s->unitVariance) < 1e-9 * s->unitVariance);
        unitVarianceSum += s->unitVariance;
    }
    if (receiverA)
        QVERIFY(unitVarianceSum / 600.0 > 0.8 && unitVarianceSum / 600.0 < 1.2);
}

void tst_simulation::degradedPeriodShows()
{
    int degraded = 0, normal = 0;
    double hdopDegraded = 0.0, hdopNormal = 0.0, unitVarianceNormal = 0.0, oldestCorrection = 0.0;
    for (int i = 0; i < 900; ++i) {
        sim->step(T0 + i);
        receiverState_t const* sb = stateB();
        QVERIFY(!hasStrongSbas(stateA()));
        QVERIFY(sb->correctionSnr && sb->correctionAge);
        if (sb->fixQuality == fixQualityGps) {
            ++degraded;
            hdopDegraded += sb->dop.hdop;
            QVERIFY(!hasStrongSbas(sb));
            QVERIFY(*sb->correctionSnr <= 1.0);
            QVERIFY(sb->unitVariance > 4.0);
            oldestCorrection = std::max(oldestCorrection, *sb->correctionAge);
        } else {
            ++normal;
            QCOMPARE(sb->fixQuality, int(fixQualityDgps));
            hdopNormal += sb->dop.hdop;
            unitVarianceNormal += sb->unitVariance;
            QVERIFY(hasStrongSbas(sb));
            QVERIFY(*sb->correctionSnr > 38.0 && *sb->correctionSnr < 47.0);
            QVERIFY(*sb->correctionAge >= 1.0 && *sb->correctionAge <= 9.0);
        }
        QCOMPARE(stateA()->fixQuality, int(fixQualityRtkFloat));
    }
    // one outage of 20 to 40 s in each 300 s
    QVERIFY2(degraded >= 40 && degraded <= 120, qPrintable(QString::number(degraded)));
    QVERIFY(hdopDegraded / degraded > 1.2 * hdopNormal / normal);
    QVERIFY(oldestCorrection > 15.0);
    QVERIFY(unitVarianceNormal / normal > 0.8 && unitVarianceNormal / normal < 1.2);
}

void tst_simulation::satelliteView()
{
    sim->step(T0);
    receiverState_t const* sa = stateA();
    QMap<int, int> perConstellation;
    QMap<int, int> usedPerConstellation;
    satList_t used;
    std::map<unsigned int, double> azimuths;
    unsigned int previous = 0;
    for (satelliteState_t const& sat : sa->satellites) {
        unsigned int const n = sat.number;
        QVERIFY(n > previous);   // in number order
        previous = n;
        ++perConstellation[sat.constellation];
        switch (sat.constellation) {
        case constellationGps: QVERIFY(n >= 1 && n <= 32); break;
        case constellationGlonass: QVERIFY(n >= 65 && n <= 96); break;
        case constellationGalileo: QVERIFY(n >= 301 && n <= 336); break;
        case constellationBeidou: QVERIFY(n >= 401 && n <= 463); break;
        default: QFAIL("unexpected constellation");
        }
        QVERIFY(sat.azimuth >= 0.0 && sat.azimuth < 360.0);
        QVERIFY(sat.elevation > 0.0 && sat.elevation <= 90.0);
        QVERIFY(sat.snr > 20.0 && sat.snr < 55.0);
        QCOMPARE(sat.signalId, sat.constellation == constellationGalileo ? 7u : 1u);
        if (sat.used) {
            QVERIFY(sat.elevation >= sim->profile(a).elevationMask);
            used.emplace_back(sat.azimuth, sat.elevation);
            ++usedPerConstellation[sat.constellation];
        }
        azimuths[n] = sat.azimuth;
    }
    QCOMPARE(perConstellation.size(), 4);
    for (int count : perConstellation)
        QVERIFY(count >= 4 && count <= 16);
    for (int count : usedPerConstellation)
        QVERIFY(count <= 12);
    QCOMPARE(sa->satellitesUsed, unsigned(used.size()));
    auto const dop = simulation_t::dilutionOfPrecision(used);
    QVERIFY(dop);
    QVERIFY(std::fabs(dop->hdop - sa->dop.hdop) < 1e-9 && std::fabs(dop->pdop - sa->dop.pdop) < 1e-9);
    QVERIFY(sa->dop.hdop > 0.3 && sa->dop.hdop < 1.5);
    // the simpler receiver sees GPS, GLONASS and SBAS only, so fewer satellites and a weaker geometry
    for (satelliteState_t const& sat : stateB()->satellites) {
        constellation_t const c = sat.constellation;
        QVERIFY(c == constellationGps || c == constellationGlonass || c == constellationSbas);
    }
    QVERIFY(stateB()->satellitesUsed < sa->satellitesUsed);
    QVERIFY(stateB()->dop.hdop > sa->dop.hdop);
    // a minute on, the satellites have moved, but less than a degree or two
    sim->step(T0 + 60.0);
    int moved = 0;
    for (satelliteState_t const& sat : stateA()->satellites) {
        auto const before = azimuths.find(sat.number);
        if (before == azimuths.end())
            continue;
        double const change = std::fabs(std::remainder(sat.azimuth - before->second, 360.0));
        moved += change > 0.0;
        QVERIFY(change < 3.0 || sat.elevation > 80.0);
    }
    QVERIFY(moved > 20);
}

void tst_simulation::elevationMaskLimitsTheSolution_data()
{
    QTest::addColumn<double>("mask");
    QTest::newRow("default") << 5.0;
    QTest::newRow("high") << 25.0;
    QTest::newRow("out of range") << 400.0;
}

void tst_simulation::elevationMaskLimitsTheSolution()
{
    QFETCH(double, mask);
    receiverProfile_t p = profileA();
    p.elevationMask = mask;
    int const rx = sim->addReceiver(p);
    double const applied = sim->profile(rx).elevationMask;
    QVERIFY(applied >= 0.0 && applied <= 60.0);
    for (double t = T0; t < T0 + 3600.0; t += 600.0) {
        sim->step(t);
        for (satelliteState_t const& sat : sim->receiverState(rx)->satellites)
            QVERIFY(!sat.used || sat.elevation >= applied);
    }
}

void tst_simulation::dilutionOfPrecision_data()
{
    QTest::addColumn<int>("horizon");
    QTest::addColumn<double>("rotation");
    QTest::newRow("zenith and three on the horizon") << 3 << 0.0;
    QTest::newRow("zenith and three turned") << 3 << 37.0;
    QTest::newRow("zenith and four on the horizon") << 4 << 10.0;
    QTest::newRow("zenith and eight on the horizon") << 8 << 200.0;
}

void tst_simulation::dilutionOfPrecision()
{
    QFETCH(int, horizon);
    QFETCH(double, rotation);
    satList_t sats{{123.0, 90.0}};
    for (int i = 0; i < horizon; ++i)
        sats.emplace_back(rotation + 360.0 * i / horizon, 0.0);
    // A^T A: east and north each sum sin^2 or cos^2 of the ring to n/2 and decouple; up and clock
    // form [[1, 1], [1, n + 1]], whose inverse is [[n + 1, -1], [-1, 1]] / n.
    double const n = horizon;
    auto const dop = simulation_t::dilutionOfPrecision(sats);
    QVERIFY(dop);
    QVERIFY(std::fabs(dop->hdop - std::sqrt(4.0 / n)) < 1e-9);
    QVERIFY(std::fabs(dop->vdop - std::sqrt((n + 1.0) / n)) < 1e-9);
    QVERIFY(std::fabs(dop->pdop - std::sqrt((n + 5.0) / n)) < 1e-9);
}

void tst_simulation::degenerateGeometryHasNoDop_data()
{
    QTest::addColumn<satList_t>("sats");
    QTest::newRow("three satellites") << satList_t{{0, 90}, {0, 10}, {120, 10}};
    QTest::newRow("four in one direction") << satList_t{{45, 30}, {45, 30}, {45, 30}, {45, 30}};
    QTest::newRow("all on one great circle") << satList_t{{0, 10}, {0, 50}, {180, 20}, {180, 70}, {0, 90}};
    double const nan = std::numeric_limits<double>::quiet_NaN();
    QTest::newRow("not a number") << satList_t{{0, 90}, {0, 10}, {120, 10}, {nan, 10}};
}

void tst_simulation::degenerateGeometryHasNoDop()
{
    QFETCH(satList_t, sats);
    QVERIFY(!simulation_t::dilutionOfPrecision(sats));
}

void tst_simulation::almanacs()
{
    QSignalSpy updates(controller->almMgrGps(), &almMgrGps_t::almanacUpdated);
    sim->step(T0);
    almMgrGps_t const* gps = controller->almMgrGps();
    QCOMPARE(gps->num(), 31u);
    QCOMPARE(controller->almMgrGlonass()->num(), 24u);
    almMgrGlonass_t const* glonass = controller->almMgrGlonass();
    QVERIFY(gps->oldest() <= gps->newest() && glonass->oldest() <= glonass->newest());
    QVERIFY(gps->newest() <= T0 + 60.0 && gps->oldest() > T0 - 8.0 * 86400.0);
    QVERIFY(glonass->newest() <= T0 && glonass->oldest() > T0 - 3.0 * 86400.0);
    for (almanacGps_t const& e : gps->entries()) {
        QVERIFY(std::fabs(e.sqrtA - 5153.6) < 5.0);
        QVERIFY(e.inclination > 0.93 && e.inclination < 0.99);
        QVERIFY(e.eccentricity > 0.0 && e.eccentricity < 0.03);
        QVERIFY(std::fmod(e.toa, 4096.0) == 0.0 && e.toa < 604800.0);
    }
    unsigned int const newest = gps->newest();
    int const seeded = updates.count();
    for (double t = T0; t <= T0 + 4.0 * 3600.0; t += 60.0)
        sim->step(t);
    QCOMPARE(gps->num(), 31u);
    QVERIFY(updates.count() >= seeded + 20);
    QVERIFY(gps->newest() > newest);
    // what the receivers broadcast is the controller's almanac
    std::vector<almanacGps_t> const broadcast = sim->gpsAlmanac();
    std::vector<almanacGps_t> const held = gps->entries();
    QCOMPARE(broadcast.size(), held.size());
    for (std::size_t i = 0; i < held.size(); ++i) {
        QCOMPARE(broadcast[i].prn, held[i].prn);
        QCOMPARE(broadcast[i].referenceTime(), held[i].referenceTime());
    }
}

void tst_simulation::startAndStop()
{
    QSignalSpy steps(sim, &simulation_t::stepped);
    dataClock_t::setTime(T0);
    sim->start();
    QVERIFY(sim->isRunning());
    QCOMPARE(steps.count(), 1);
    QCOMPARE(steps.at(0).at(0).toDouble(), T0);
    QCOMPARE(stateB()->time, T0);
    dataClock_t::setTime(T0 + 1.0);
    QTRY_COMPARE_WITH_TIMEOUT(stateB()->time, T0 + 1.0, 3000);
    sim->stop();
    QVERIFY(!sim->isRunning());
    int const count = steps.count();
    QTest::qWait(1200);
    QCOMPARE(steps.count(), count);
}

void tst_simulation::badInputIsHarmless()
{
    QSignalSpy steps(sim, &simulation_t::stepped);
    sim->step(std::numeric_limits<double>::quiet_NaN());
    sim->step(std::numeric_limits<double>::infinity());
    sim->step(-1e300);
    QCOMPARE(steps.count(), 0);
    QVERIFY(!stateA());
    QVERIFY(!sim->receiverState(-1) && !sim->receiverState(99) && !sim->gyroState(5));
    QVERIFY(!sim->shipPosition(std::numeric_limits<double>::quiet_NaN()).isValid());
    receiverProfile_t wild = profileB();
    wild.horizontalSigma = std::numeric_limits<double>::quiet_NaN();
    wild.antennaOffsetForward = std::numeric_limits<double>::infinity();
    wild.elevationMask = std::numeric_limits<double>::quiet_NaN();
    wild.outageInterval = 1.0;
    int const rx = sim->addReceiver(wild);
    for (int i = 0; i < 200; ++i)
        sim->step(T0 + i);
    position_t const p = sim->receiverState(rx)->position;
    QVERIFY(std::isfinite(p.lat) && std::isfinite(p.lon));
    QVERIFY(distance(p, sim->shipPosition(T0 + 199.0)) < 50.0);
}

QTEST_MAIN(tst_simulation)
#include "tst_simulation.moc"
