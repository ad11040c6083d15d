#include "simulation/nmeaEncoder.h"
#include "simulation/simulation.h"

#include <belrix_common_qt/navConstants.h>
#include <belrix_common_qt/nmeaDecoder.h>
#include <belrix_common_qt/remoteDevice.h>
#include <belrix_common_qt/remoteNavSat.h>

#include <QtTest>

#include <cmath>
#include <tuple>

using namespace orvane::app;
using namespace belrix_common_qt;

static constexpr double T0 = 1718000000.0;

class tst_nmeaEncoder : public QObject
{
    Q_OBJECT

private slots:
    void fields_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("checksum") << nmeaEncoder_t::sentence("GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W")
                                  << QByteArray("$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W*6A");
        QTest::newRow("empty sentence") << nmeaEncoder_t::sentence(QByteArray()) << QByteArray("$*00");
        QTest::newRow("latitude south") << nmeaEncoder_t::latitude(-45.877591500 * Pi / 180.0) << QByteArray("4552.6554900,S");
        QTest::newRow("minutes round up to the next degree")
            << nmeaEncoder_t::latitude((58.0 - 1e-12) * Pi / 180.0) << QByteArray("5800.0000000,N");
        QTest::newRow("longitude west") << nmeaEncoder_t::longitude(-4.25 * Pi / 180.0) << QByteArray("00415.0000000,W");
        QTest::newRow("time of day") << nmeaEncoder_t::timeOfDay(T0 + 0.25) << QByteArray("061320.25");
        QTest::newRow("rounds into the next day") << nmeaEncoder_t::timeOfDay(1717545600.0 - 0.001) << QByteArray("000000.00");
    }

    void fields()
    {
        QFETCH(QByteArray, text);
        QFETCH(QByteArray, expected);
        QCOMPARE(text, expected);
    }

    void decoderSeesWhatTheSimulationComputed_data()
    {
        QTest::addColumn<bool>("corrected");
        QTest::newRow("corrected receiver, four systems") << true;
        QTest::newRow("code receiver with outages") << false;
    }

    void decoderSeesWhatTheSimulationComputed()
    {
        QFETCH(bool, corrected);
        receiverProfile_t p;
        p.seed = corrected ? 11 : 22;
        p.horizontalSigma = corrected ? 0.3 : 1.8;
        p.fixQuality = corrected ? fixQualityRtkFloat : fixQualityDgps;
        p.allConstellations = corrected;
        p.outageInterval = corrected ? 0.0 : 300.0;
        p.headingBaseline = corrected ? 2.0 : 0.0;   // a GNSS compass
        simulation_t sim(nullptr);
        int const rx = sim.addReceiver(p);
        remoteDevice_t device;
        nmeaDecoder_t decoder(&device);
        QSet<QByteArray> types;
        for (double t = T0; t < T0 + 600.0; t += 13.0) {
            sim.step(t);
            receiverState_t const& s = *sim.receiverState(rx);
            QList<QByteArray> const lines = nmeaEncoder_t::receiverEpoch(s);
            for (QByteArray const& line : lines) {
                types.insert(line.mid(3, 3));
                decoder.decodeLine(line.constData(), std::size_t(line.size()), t);
            }
            QCOMPARE(device.fixQuality().value(), s.fixQuality);
            QCOMPARE(device.satellitesUsed().value(), s.satellitesUsed);
            QCOMPARE(bool(s.heading), corrected && s.hasFix);
            if (s.heading)
                QVERIFY(std::fabs(std::remainder(device.heading().value() - *s.heading, 360.0)) <= 0.006);
            pseudorangeStats_t const g = device.pseudorangeStats().value();
            QVERIFY(g.semiMajor && g.orientation && g.heightError);
            double const course = std::remainder(device.courseOverGround().value() - s.course, 360.0);
            for (auto [got, want, tolerance] : {std::tuple{device.inputPosition().value().lat, s.position.lat, 1e-9},
                                                {device.inputPosition().value().lon, s.position.lon, 1e-9},
                                                {device.ellipsoidalHeight().value(), s.ellipsoidalHeight, 0.002},
                                                {device.speedOverGround().value(), s.speed, 0.001},
                                                {course, 0.0, 0.006},
                                                {device.hdop().value(), s.dop.hdop, 0.006},
                                                {device.vdop().value(), s.dop.vdop, 0.006},
                                                {device.correctionAge().value(), *s.correctionAge, 0.051},
                                                {*g.semiMajor, s.semiMajor, 0.0006},
                                                {*g.orientation * 180.0 / Pi, s.orientation, 0.06},
                                                {*g.heightError, s.heightError, 0.0006},
                                                {*device.receiverIntegrity().value().latError, s.latitudeError, 0.006}})
                QVERIFY2(std::fabs(got - want) <= tolerance, qPrintable(QStringLiteral("%1 %2").arg(got).arg(want)));
            // every satellite, and whether it was used
            std::map<unsigned int, remoteNavSat_t const*> const sats = device.allNavSats();
            QCOMPARE(sats.size(), s.satellites.size());
            for (satelliteState_t const& sat : s.satellites)
                QCOMPARE(sats.at(sat.number)->isUsed(), sat.used);
        }
        QCOMPARE(decoder.counters().badChecksum + decoder.counters().malformed + decoder.counters().unknown, 0u);
        QSet<QByteArray> expected{"RMC", "GGA", "GSA", "GSV", "GRS", "GST", "GBS", "ZDA"};
        if (corrected)
            expected.insert("HDT");
        QCOMPARE(types, expected);
    }
};

QTEST_GUILESS_MAIN(tst_nmeaEncoder)
#include "tst_nmeaEncoder.moc"
