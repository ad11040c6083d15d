#include "simulation/nmeaEncoder.h"
#include "simulation/simulation.h"
#include "simulation/simulationCommon.h"

#include <belrix_common_qt/almMgrGlonass.h>
#include <belrix_common_qt/almMgrGps.h>
#include <belrix_common_qt/dataClock.h>
#include <belrix_common_qt/remoteController.h>
#include <belrix_common_qt/remoteDevice.h>
#include <belrix_common_qt/satForecaster.h>

#include <QtTest>

#include <cmath>
#include <limits>

using namespace belrix_common_qt;
using namespace orvane::app;

using satList_t = std::vector<std::pair<double, double>>;   // azimuth, elevation in degrees
Q_DECLARE_METATYPE(satList_t)

namespace {
constexpr double T0 = 1718000000.0;   // June 2024
constexpr double NaN = std::numeric_limits<double>::quiet_NaN();

// A corrected receiver, a code receiver with outages and a gyro.
void populate(simulation_t& sim, unsigned seed)
{
    for (bool corrected : {true, false}) {
        receiverProfile_t p;
        p.horizontalSigma = corrected ? 0.3 : 2.0;
        p.fixQuality = corrected ? fixQualityRtkFloat : fixQualityDgps;
        p.allConstellations = corrected;
        p.outageInterval = corrected ? 0.0 : 300.0;
        p.seed = corrected ? seed : 22;
        sim.addReceiver(p);
    }
    sim.addGyro();
}

// Everything the receivers and the gyro send, to compare two runs.
QByteArray snapshot(simulation_t const& sim)
{
    QByteArray s;
    for (int i = 0; i < sim.receiverCount(); ++i)
        s += nmeaEncoder_t::receiverEpoch(*sim.receiverState(i)).join();
    for (int i = 0; i < sim.gyroCount(); ++i)
        s += nmeaEncoder_t::heading(*sim.gyroState(i));
    return s;
}
} // namespace

// Satellites in view and the DOPs they give (0: no solution).
struct sky_t { satList_t sats; double hdop, vdop; };
Q_DECLARE_METATYPE(sky_t)

class tst_simulation : public QObject
{
    Q_OBJECT

private slots:
    // Any data time can be stepped to: a jump gives what steady steps give, and the seeds
    // alone tell one run from another.
    void sameSeedsGiveSameData_data()
    {
        QTest::addColumn<unsigned>("otherSeed");
        QTest::addColumn<bool>("jump");
        QTest::newRow("same seeds, steady steps") << 11u << false;
        QTest::newRow("same seeds, one jump on the data clock") << 11u << true;
        QTest::newRow("another seed") << 12u << false;
    }

    void sameSeedsGiveSameData()
    {
        QFETCH(unsigned, otherSeed);
        QFETCH(bool, jump);
        simulation_t sim(nullptr), other(nullptr);
        populate(sim, 11);
        populate(other, otherSeed);
        for (int i = 0; i <= 400; ++i) {
            sim.step(T0 + i);
            if (!jump)
                other.step(T0 + i);
        }
        dataClock_t::setTime(T0 + 400.0);
        other.stepNow();   // as the timer does
        dataClock_t::useSystemTime();
        QCOMPARE(snapshot(other) == snapshot(sim), otherSeed == 11u);
    }

    void dilutionOfPrecision_data()
    {
        QTest::addColumn<sky_t>("d");
        // zenith and n on the horizon: HDOP sqrt(4/n), VDOP sqrt((n+1)/n)
        QTest::newRow("zenith and four")
            << sky_t{satList_t{{0, 90}, {10, 0}, {100, 0}, {190, 0}, {280, 0}}, 1.0, std::sqrt(5.0 / 4.0)};
        QTest::newRow("one great circle")
            << sky_t{satList_t{{0, 10}, {0, 50}, {180, 20}, {180, 70}, {0, 90}}, 0.0, 0.0};
        QTest::newRow("not a number") << sky_t{satList_t{{0, 90}, {0, 10}, {120, 10}, {NaN, 10}}, 0.0, 0.0};
    }

    void dilutionOfPrecision()
    {
        QFETCH(sky_t, d);
        auto const dop = simulation_t::dilutionOfPrecision(d.sats);
        QCOMPARE(bool(dop), d.hdop > 0.0);
        QVERIFY(!dop || std::fabs(dop->hdop - d.hdop) + std::fabs(dop->vdop - d.vdop)
                               + std::fabs(dop->pdop - std::hypot(d.hdop, d.vdop)) < 1e-9);
    }

    // The receivers' satellites stand where the forecast from the almanac the simulation
    // publishes puts them, whenever the simulation runs: every upload describes the same orbits.
    void forecastFindsTheReceiversSatellites_data()
    {
        QTest::addColumn<double>("t");
        QTest::newRow("June 2024") << T0;
        QTest::newRow("a year and a day later") << T0 + 366.0 * 86400.0 + 3600.0;
        QTest::newRow("before the almanac's epoch") << T0 - 300.0 * 86400.0;
    }
    void forecastFindsTheReceiversSatellites()
    {
        QFETCH(double, t);
        remoteController_t controller;
        simulation_t sim(&controller);
        receiverProfile_t p;
        p.seed = 5;
        sim.addReceiver(p);
        sim.step(t);
        satForecaster_t forecaster(controller.almMgrGps(), controller.almMgrGlonass());
        position_t const ship = sim.shipPosition(t);
        forecaster.setPosition(ship.lat, ship.lon, sim::GeoidHeight + sim::AntennaHeight);
        forecaster.setElevationMask(0.0);
        forecaster.setForecastTime(t);
        satForecastOutput_t forecast;
        forecaster.forecast(forecast);
        QVERIFY(forecast.valid);
        int matched[3] = {};
        for (satelliteState_t const& seen : sim.receiverState(0)->satellites) {
            bool const glonass = seen.constellation == constellationGlonass;
            if (seen.constellation != constellationGps && !glonass)
                continue;
            int const prn = int(seen.number) - (glonass ? 64 : 0);
            auto const end = forecast.satellites.begin() + forecast.satelliteCount;
            auto const f = std::find_if(forecast.satellites.begin(), end, [&](auto const& s) {
                return s.constellation == seen.constellation && s.prn == prn;
            });
            QVERIFY2(f != end, qPrintable(QString::number(seen.number)));
            QVERIFY(std::fabs(f->elevation * RadToDeg - seen.elevation) < 1e-6);
            QVERIFY(std::fabs(std::remainder(f->azimuth * RadToDeg - seen.azimuth, 360.0)) < 1e-6);
            ++matched[seen.constellation];
        }
        QVERIFY(matched[constellationGps] >= 5 && matched[constellationGlonass] >= 4);
        QCOMPARE(forecast.satelliteCount, forecast.gpsSatellites + forecast.glonassSatellites);
    }

    void badInputIsHarmless()
    {
        simulation_t sim(nullptr);
        populate(sim, 11);
        for (double t : {NaN, std::numeric_limits<double>::infinity(), -1e300})
            sim.step(t);
        sim.stop();   // never started
        QVERIFY(!sim.isRunning());
        QVERIFY(!sim.receiverState(0) && !sim.receiverState(-1) && !sim.gyroState(5));
        QVERIFY(!sim.shipPosition(NaN).isValid());
        receiverProfile_t wild;
        wild.allConstellations = false;
        wild.horizontalSigma = NaN;
        wild.elevationMask = 400.0;   // clamped to 60: too few satellites for a fix
        int const rx = sim.addReceiver(wild);
        QCOMPARE(sim.profile(rx).elevationMask, 60.0);
        sim.step(T0);
        QVERIFY(std::isfinite(sim.receiverState(rx)->position.lat) && !sim.receiverState(rx)->hasFix);
    }
};

QTEST_GUILESS_MAIN(tst_simulation)
#include "tst_simulation.moc"
