#include "simulation.h"

#include "belrix_common_qt/almMgrGlonass.h"
#include "belrix_common_qt/almMgrGps.h"
#include "belrix_common_qt/dataClock.h"
#include "belrix_common_qt/qcDataStore.h"
#include "belrix_common_qt/remoteController.h"
#include "belrix_common_qt/remoteDevice.h"
#include "belrix_common_qt/remoteNavSat.h"
#include "belrix_common_qt/remotePort.h"

#include <QSignalSpy>
#include <QtTest>

#include <cmath>
#include <limits>

using namespace belrix_common_qt;
using orvane::app::receiverProfile_t;
using orvane::app::simulation_t;

using satList_t = std::vector<std::pair<double, double>>;   // azimuth, elevation in degrees
Q_DECLARE_METATYPE(satList_t)

namespace {

constexpr double pi = 3.14159265358979323846;
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

// Everything a display reads of a device, in full precision, to compare two runs.
QString snapshot(remoteDevice_t const* device)
{
    QStringList s;
    auto num = [](double v) { return QString::number(v, 'g', 17); };
    s << num(device->inputPosition().value().lat) << num(device->inputPosition().value().lon)
      << num(device->ellipsoidalHeight().value()) << num(device->courseOverGround().value())
      << num(device->hdop().value()) << num(device->corrSatSnr().value()) << num(device->correctionAge().value())
      << num(*device->pseudorangeStats().value().semiMajor) << num(device->heading().value());
    for (auto const& entry : device->allNavSats())
        s << QString::number(entry.first) << num(entry.second->freq(0)->value().level)
          << num(entry.second->azimuth().value()) << QString::number(entry.second->isUsed());
    if (!device->qcDataStore()->summary().empty())
        s << num(device->qcDataStore()->summary().back().summary.unitVariance);
    return s.join(QLatin1Char(' '));
}

bool hasStrongSbas(remoteDevice_t const* device)
{
    for (auto const& entry : device->allNavSats())
        if (entry.second->constellation() == constellationSbas && entry.second->freq(0)
            && entry.second->freq(0)->value().level >= 1.0f)
            return true;
    return false;
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
    remotePort_t* portA = nullptr;
    remotePort_t* portB = nullptr;
    remotePort_t* portGyro = nullptr;
    simulation_t* sim = nullptr;

    simulation_t* makeSimulation(remotePort_t** a, remotePort_t** b, remotePort_t** gyro)
    {
        auto* s = new simulation_t(new remoteController_t(root), root);
        *a = new remotePort_t(root);
        *b = new remotePort_t(root);
        *gyro = new remotePort_t(root);
        s->addReceiver(*a, profileA());
        s->addReceiver(*b, profileB());
        s->addGyro(*gyro);
        return s;
    }
};

void tst_simulation::init()
{
    root = new QObject;
    controller = new remoteController_t(root);
    portA = new remotePort_t(root);
    portB = new remotePort_t(root);
    portGyro = new remotePort_t(root);
    sim = new simulation_t(controller, root);
    sim->addReceiver(portA, profileA());
    sim->addReceiver(portB, profileB());
    sim->addGyro(portGyro);
}

void tst_simulation::cleanup()
{
    delete root;
    root = nullptr;
    dataClock_t::useSystemTime();
}

void tst_simulation::sameSeedsAndTimesGiveSameData()
{
    remotePort_t *a = nullptr, *b = nullptr, *gyro = nullptr;
    simulation_t* other = makeSimulation(&a, &b, &gyro);
    for (double t : {T0, T0 + 1.0, T0 + 2.0, T0 + 500.0, T0 + 501.0}) {
        sim->step(t);
        other->step(t);
        QCOMPARE(snapshot(a->device()), snapshot(portA->device()));
        QCOMPARE(snapshot(b->device()), snapshot(portB->device()));
        QCOMPARE(snapshot(gyro->device()), snapshot(portGyro->device()));
    }
    QVERIFY(snapshot(portA->device()) != snapshot(portB->device()));
}

void tst_simulation::jumpGivesSameDataAsSteadySteps()
{
    remotePort_t *a = nullptr, *b = nullptr, *gyro = nullptr;
    simulation_t* other = makeSimulation(&a, &b, &gyro);
    for (int i = 0; i <= 40; ++i)
        sim->step(T0 + i);
    other->step(T0 + 40.0);
    QCOMPARE(snapshot(a->device()), snapshot(portA->device()));
    QCOMPARE(snapshot(b->device()), snapshot(portB->device()));
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
        double const lat = p.lat * 180.0 / pi, lon = p.lon * 180.0 / pi;
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
        position_t const a = portA->device()->inputPosition().value();
        sumA += std::pow(distance(truth, a), 2);
        sumB += std::pow(distance(truth, portB->device()->inputPosition().value()), 2);
        if (i > 0)
            QVERIFY(std::fabs(distance(lastA, a) - distance(sim->shipPosition(t - 1), truth)) < 1.0);
        lastA = a;
    }
    double const rmsA = std::sqrt(sumA / n), rmsB = std::sqrt(sumB / n);
    QVERIFY2(rmsA > 0.1 && rmsA < 1.0, qPrintable(QString::number(rmsA)));
    QVERIFY2(rmsB > 1.0 && rmsB < 8.0, qPrintable(QString::number(rmsB)));
    QVERIFY(rmsA * 2.0 < rmsB);
}

void tst_simulation::antennaFollowsLeverArm()
{
    remotePort_t* bow = new remotePort_t(root);
    receiverProfile_t p = profileA();
    p.antennaOffsetForward = 40.0;
    p.antennaOffsetStarboard = -6.0;
    sim->addReceiver(bow, p);
    for (double t = T0; t < T0 + 9000.0; t += 450.0) {
        sim->step(t);
        // same seed, so the noise cancels and only the lever arm remains
        double east = 0.0, north = 0.0;
        offset(portA->device()->inputPosition().value(), bow->device()->inputPosition().value(), east, north);
        double const h = sim->shipHeading(t) * pi / 180.0;
        QVERIFY(std::fabs(east - (40.0 * std::sin(h) - 6.0 * std::cos(h))) < 0.05);
        QVERIFY(std::fabs(north - (40.0 * std::cos(h) + 6.0 * std::sin(h))) < 0.05);
    }
}

void tst_simulation::gyroHeadingInRange()
{
    double lowest = 360.0, highest = 0.0;
    for (double t = T0; t < T0 + 9200.0; t += 7.0) {
        sim->step(t);
        dataItem_t<float> const& heading = portGyro->device()->heading();
        QVERIFY(heading.isValid());
        QCOMPARE(heading.timestamp(), t);
        QVERIFY(heading.value() >= 0.0f && heading.value() < 360.0f);
        double const error = std::remainder(heading.value() - sim->shipHeading(t), 360.0);
        QVERIFY2(std::fabs(error) < 0.3, qPrintable(QString::number(error)));
        // the bow points near the course made good: drift and yaw stay within a few degrees
        double const yaw = std::remainder(heading.value() - portA->device()->courseOverGround().value(), 360.0);
        QVERIFY2(std::fabs(yaw) < 8.0, qPrintable(QString::number(yaw)));
        lowest = std::min(lowest, double(heading.value()));
        highest = std::max(highest, double(heading.value()));
    }
    // one loop turns through every heading, across north too
    QVERIFY(lowest < 5.0 && highest > 355.0);
    QVERIFY(!portA->device()->heading().isValid());
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
    remoteDevice_t const* device = (receiverA ? portA : portB)->device();
    for (int i = 0; i < 600; ++i) {
        sim->step(T0 + i);
        pseudorangeStats_t const s = device->pseudorangeStats().value();
        QVERIFY(s.rms && s.semiMajor && s.semiMinor && s.orientation && s.latError && s.lonError && s.heightError);
        QVERIFY(*s.semiMajor >= *s.semiMinor && *s.semiMinor > 0.0f && *s.rms > 0.0f && *s.heightError > 0.0f);
        QVERIFY(*s.orientation >= 0.0f && *s.orientation < pi);
        // the axes and the lat/lon errors are two views of one covariance
        double const trace = std::pow(*s.semiMajor, 2) + std::pow(*s.semiMinor, 2);
        QVERIFY(std::fabs(std::pow(*s.latError, 2) + std::pow(*s.lonError, 2) - trace) < 1e-3 * trace);
        // and follow the satellite geometry: height against horizontal as VDOP against HDOP
        double const dopRatio = device->vdop().value() / device->hdop().value();
        QVERIFY(std::fabs(*s.heightError / std::sqrt(trace) - dopRatio) < 1e-3 * dopRatio);
        qcSummary_t const q = device->qcDataStore()->summary().back().summary;
        QVERIFY(q.unitVariance > 0.0f);
        QVERIFY(std::fabs(q.semiMajor - *s.semiMajor * std::sqrt(q.unitVariance)) < 1e-4 * q.semiMajor);
        QVERIFY(std::fabs(q.heightError - *s.heightError * std::sqrt(q.unitVariance)) < 1e-4 * q.heightError);
    }
    QCOMPARE(device->qcDataStore()->summary().size(), std::size_t(600));
}

void tst_simulation::degradedPeriodShows()
{
    remoteDevice_t const* b = portB->device();
    int degraded = 0, normal = 0;
    double hdopDegraded = 0.0, hdopNormal = 0.0, unitVarianceNormal = 0.0, oldestCorrection = 0.0;
    for (int i = 0; i < 900; ++i) {
        sim->step(T0 + i);
        QVERIFY(!hasStrongSbas(portA->device()));
        if (b->fixQuality().value() == fixQualityGps) {
            ++degraded;
            hdopDegraded += b->hdop().value();
            QVERIFY(!hasStrongSbas(b));
            QVERIFY(b->corrSatSnr().value() <= 1.0f);
            QVERIFY(b->qcDataStore()->summary().back().summary.unitVariance > 4.0f);
            oldestCorrection = std::max(oldestCorrection, double(b->correctionAge().value()));
        } else {
            ++normal;
            QCOMPARE(b->fixQuality().value(), int(fixQualityDgps));
            hdopNormal += b->hdop().value();
            unitVarianceNormal += b->qcDataStore()->summary().back().summary.unitVariance;
            QVERIFY(hasStrongSbas(b));
            QVERIFY(b->corrSatSnr().value() > 38.0f && b->corrSatSnr().value() < 47.0f);
            QVERIFY(b->correctionAge().value() >= 1.0f && b->correctionAge().value() <= 9.0f);
        }
        QCOMPARE(portA->device()->fixQuality().value(), int(fixQualityRtkFloat));
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
    remoteDevice_t const* a = portA->device();
    QMap<int, int> perConstellation;
    satList_t used;
    std::map<unsigned int, float> azimuths;
    for (auto const& entry : a->allNavSats()) {
        remoteNavSat_t const* sat = entry.second;
        unsigned int const n = entry.first;
        ++perConstellation[sat->constellation()];
        switch (sat->constellation()) {
        case constellationGps: QVERIFY(n >= 1 && n <= 32); break;
        case constellationGlonass: QVERIFY(n >= 65 && n <= 96); break;
        case constellationGalileo: QVERIFY(n >= 301 && n <= 336); break;
        case constellationBeidou: QVERIFY(n >= 401 && n <= 463); break;
        default: QFAIL("unexpected constellation");
        }
        QVERIFY(sat->azimuth().value() >= 0.0f && sat->azimuth().value() < 360.0f);
        QVERIFY(sat->elevation().value() > 0.0f && sat->elevation().value() <= 90.0f);
        QVERIFY(sat->freq(0)->value().level > 20.0f && sat->freq(0)->value().level < 55.0f);
        if (sat->isUsed()) {
            QVERIFY(sat->elevation().value() >= a->elevationMask());
            used.emplace_back(sat->azimuth().value(), sat->elevation().value());
        }
        azimuths[n] = sat->azimuth().value();
    }
    QCOMPARE(perConstellation.size(), 4);
    for (int count : perConstellation)
        QVERIFY(count >= 4 && count <= 16);
    QCOMPARE(a->satellitesUsed().value(), unsigned(used.size()));
    auto const dop = simulation_t::dilutionOfPrecision(used);
    QVERIFY(dop);
    QVERIFY(std::fabs(dop->hdop - a->hdop().value()) < 1e-3 && std::fabs(dop->pdop - a->pdop().value()) < 1e-3);
    QVERIFY(a->hdop().value() > 0.3f && a->hdop().value() < 1.5f);
    // the simpler receiver sees GPS, GLONASS and SBAS only, so fewer satellites and a weaker geometry
    for (auto const& entry : portB->device()->allNavSats()) {
        constellation_t const c = entry.second->constellation();
        QVERIFY(c == constellationGps || c == constellationGlonass || c == constellationSbas);
    }
    QVERIFY(portB->device()->satellitesUsed().value() < a->satellitesUsed().value());
    QVERIFY(portB->device()->hdop().value() > a->hdop().value());
    // a minute on, the satellites have moved, but less than a degree or two
    sim->step(T0 + 60.0);
    int moved = 0;
    for (auto const& entry : a->allNavSats()) {
        auto const before = azimuths.find(entry.first);
        if (before == azimuths.end())
            continue;
        double const change = std::fabs(std::remainder(entry.second->azimuth().value() - before->second, 360.0));
        moved += change > 0.0;
        QVERIFY(change < 3.0 || entry.second->elevation().value() > 80.0f);
    }
    QVERIFY(moved > 20);
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
}

void tst_simulation::startAndStop()
{
    dataClock_t::setTime(T0);
    sim->start();
    QVERIFY(portA->isConnected() && portB->isConnected() && portGyro->isConnected());
    QVERIFY(portB->device()->inputPosition().isValid());
    QCOMPARE(portB->device()->inputPosition().timestamp(), T0);
    dataClock_t::setTime(T0 + 1.0);
    QTRY_COMPARE_WITH_TIMEOUT(portB->device()->inputPosition().timestamp(), T0 + 1.0, 3000);
    sim->stop();
    QVERIFY(!portA->isConnected() && !portGyro->isConnected());
}

void tst_simulation::badInputIsHarmless()
{
    sim->step(std::numeric_limits<double>::quiet_NaN());
    sim->step(std::numeric_limits<double>::infinity());
    sim->step(-1e300);
    QVERIFY(!portA->device()->inputPosition().isValid());
    QVERIFY(!sim->shipPosition(std::numeric_limits<double>::quiet_NaN()).isValid());
    sim->addReceiver(nullptr, profileA());
    sim->addGyro(nullptr);
    receiverProfile_t wild = profileB();
    wild.horizontalSigma = std::numeric_limits<double>::quiet_NaN();
    wild.antennaOffsetForward = std::numeric_limits<double>::infinity();
    wild.outageInterval = 1.0;
    remotePort_t* port = new remotePort_t(root);
    sim->addReceiver(port, wild);
    delete portB;
    portB = nullptr;
    for (int i = 0; i < 200; ++i)
        sim->step(T0 + i);
    position_t const p = port->device()->inputPosition().value();
    QVERIFY(std::isfinite(p.lat) && std::isfinite(p.lon));
    QVERIFY(distance(p, sim->shipPosition(T0 + 199.0)) < 50.0);
}

QTEST_MAIN(tst_simulation)
#include "tst_simulation.moc"
