// The satellite forecast against an independent computation of the same model and against
// real receivers' own reports of where their satellites stood.

#include "allocationCounter.h"

#include <belrix_common_qt/almMgrGlonass.h>
#include <belrix_common_qt/almMgrGps.h>
#include <belrix_common_qt/almanacFileReader.h>
#include <belrix_common_qt/constellation.h>
#include <belrix_common_qt/navConstants.h>
#include <belrix_common_qt/nmeaParser.h>
#include <belrix_common_qt/satForecaster.h>

#include <QtTest>

#include "testData.h"

#include <cmath>

using namespace belrix_common_qt;

namespace {

// Loads an almanac file into the managers; rollover resolved around the given time.
bool load(QString const& path, double around, almMgrGps_t& gps, almMgrGlonass_t& glonass)
{
    almanacFileReader_t reader;
    reader.setRolloverReference(around);
    if (!reader.read(path)) {
        qWarning("%s", qPrintable(reader.errorString()));
        return false;
    }
    for (almanacGps_t const& a : reader.gps())
        gps.addAlmanac(a);
    for (almanacGlonass_t const& a : reader.glonass())
        glonass.addAlmanac(a);
    return true;
}

// One satellite (PRN, or GLONASS slot) as a receiver reported it in GSV, with the time of the epoch.
struct sighting_t { double time; constellation_t constellation; int prn; double azimuth, elevation; };

// Every GPS and GLONASS satellite of every GSV in the capture, timed by the RMC or ZDA before it.
QVector<sighting_t> sightings(QString const& path)
{
    QVector<sighting_t> list;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return list;
    nmeaParser_t parser;
    nmeaSentence_t s;
    double time = -1.0;
    for (QByteArray const& line : file.readAll().split('\n')) {
        if (parser.parse(line.constData(), std::size_t(line.size()), s) != nmeaAccepted)
            continue;
        std::optional<nmeaDate_t> const date = s.type == nmeaTypeRmc ? s.rmc.date : s.zda.date;
        std::optional<double> const clock = s.type == nmeaTypeRmc ? s.rmc.time : s.zda.time;
        if ((s.type == nmeaTypeRmc || s.type == nmeaTypeZda) && date && clock)
            time = utcSeconds(date->year, date->month, date->day) + *clock;
        if (s.type != nmeaTypeGsv || time < 0.0)
            continue;
        for (int k = 0; k < s.gsv.satelliteCount; ++k) {
            nmeaGsvSatellite_t const& sat = s.gsv.satellites[k];
            int const id = sat.id;
            bool const gps = id >= 1 && id <= 32 && s.system != nmeaSystemGlonass;
            bool const glonass = id >= 65 && id <= 88;   // slot + 64, under any talker
            if ((gps || glonass) && sat.azimuth && sat.elevation)
                list.push_back({time, gps ? constellationGps : constellationGlonass, gps ? id : id - 64,
                                *sat.azimuth, *sat.elevation});
        }
    }
    return list;
}

} // namespace

struct validity_t { bool withGps, withGlonass; double offsetDays; bool valid; };
Q_DECLARE_METATYPE(validity_t)

// An almanac and a capture of the same days, where the receiver stood, and how closely the
// directions must agree over at least so many distinct satellites.
struct pairing_t { QString almanac, capture; double latitude, longitude, height;
                   int constellation; double maximumDegrees; int satellites; };
Q_DECLARE_METATYPE(pairing_t)

class tst_satForecaster : public QObject
{
    Q_OBJECT

private slots:
    // 500 instants over a week: the same satellites above the mask and the same DOPs as the
    // reference written apart in Python (tools/forecast_reference.py), with nothing allocated
    // once the forecaster has read the almanac.
    void matchesIndependentReference()
    {
        QString const almanac = sharedDataPath(QStringLiteral("almanac/gps/yuma_wk0819_toa319488_2015-05-06_gpstk.txt"));
        if (almanac.isEmpty())
            QSKIP("shared almanac data not present");
        QFile reference(QStringLiteral(ORVANE_TEST_DATA "/forecast_reference_yuma819.txt"));
        QVERIFY(reference.open(QIODevice::ReadOnly | QIODevice::Text));

        almMgrGps_t gps;
        almMgrGlonass_t glonass;
        QVERIFY(load(almanac, utcSeconds(2015, 5, 6), gps, glonass));
        satForecaster_t forecaster(&gps, &glonass);
        forecaster.setPosition(57.0 * DegToRad, 2.0 * DegToRad, 50.0);
        forecaster.setElevationMask(10.0 * DegToRad);
        satForecastOutput_t output;
        forecaster.setForecastTime(utcSeconds(2015, 5, 6));
        forecaster.forecast(output);   // reads the almanac

        int rows = 0;
        while (!reference.atEnd()) {
            QByteArray const line = reference.readLine().trimmed();
            if (line.isEmpty() || line.startsWith('#'))
                continue;
            QList<QByteArray> const f = line.split(' ');
            QCOMPARE(f.size(), 5);
            double const t = f[0].toDouble();
            forecaster.setForecastTime(t);
            QVERIFY(forecaster.forecastTimeValid());
            long const before = allocationCount();
            forecaster.forecast(output);
            QCOMPARE(allocationCount() - before, 0L);
            QVERIFY(output.valid);
            QCOMPARE(output.gpsSatellites, f[1].toInt());
            double const actual[3] = {output.hdop, output.vdop, output.pdop};
            for (int k = 0; k < 3; ++k) {
                double const expected = f[2 + k].toDouble();   // "nan" reads as NaN
                QVERIFY(std::isnan(expected) ? std::isnan(actual[k])
                                             : std::fabs(actual[k] - expected) < 1e-8 * expected);
            }
            ++rows;
        }
        QCOMPARE(rows, 500);
    }

    // Within the limit of an entry's reference time the forecast is made, beyond it not; a
    // GLONASS almanac alone is enough.
    void validOnlyNearTheAlmanac_data()
    {
        QTest::addColumn<validity_t>("v");
        QTest::newRow("no almanac") << validity_t{false, false, 0.0, false};
        QTest::newRow("GPS, at the reference") << validity_t{true, false, 0.0, true};
        QTest::newRow("GPS, 29.9 days after") << validity_t{true, false, 29.9, true};
        QTest::newRow("GPS, 30.1 days after") << validity_t{true, false, 30.1, false};
        QTest::newRow("GPS, 30.1 days before") << validity_t{true, false, -30.1, false};
        QTest::newRow("GLONASS alone, 29.9 days before") << validity_t{false, true, -29.9, true};
        QTest::newRow("GLONASS alone, 30.1 days after") << validity_t{false, true, 30.1, false};
    }
    void validOnlyNearTheAlmanac()
    {
        QFETCH(validity_t, v);
        double const reference = utcSeconds(2020, 3, 1, 12);
        almMgrGps_t gps;
        almMgrGlonass_t glonass;
        if (v.withGps) {
            almanacGps_t a;
            a.prn = 5;
            a.week = 2095;   // 2020-03-01
            a.toa = 43200.0 + 18.0;   // noon UTC in GPS time
            a.sqrtA = 5153.6;
            a.inclination = 0.96;
            gps.addAlmanac(a);
            QCOMPARE(a.referenceTime(), reference);
        }
        if (v.withGlonass) {
            almanacGlonass_t a;
            a.slot = 3;
            a.referenceTime = reference;
            a.deltaT = -2655.0;
            glonass.addAlmanac(a);
        }
        satForecaster_t forecaster(&gps, &glonass);
        forecaster.setPosition(0.5, 0.1, 0.0);
        forecaster.setForecastTime(reference + v.offsetDays * 86400.0);
        QCOMPARE(forecaster.forecastTimeValid(), v.valid);
        satForecastOutput_t output;
        forecaster.forecast(output);
        QCOMPARE(output.valid, v.valid);
    }

    // Each constellation brings its own receiver clock: one GLONASS satellite beside GPS only
    // fixes that clock and leaves the DOPs as GPS alone gives them; more can only lower them.
    void oneClockPerConstellation()
    {
        QString const gpsFile = sharedDataPath(QStringLiteral("almanac/gps/gps_iac_MCCJ_180913_wk2018_toa589824_2018-09-15.agp"));
        QString const glonassFile = sharedDataPath(QStringLiteral("almanac/glonass/glonass_iac_MCCJ_180913.agl"));
        if (gpsFile.isEmpty() || glonassFile.isEmpty())
            QSKIP("shared almanac data not present");
        double const start = utcSeconds(2018, 9, 14);
        almMgrGps_t gps;
        almMgrGlonass_t glonass;
        almMgrGlonass_t oneGlonass;
        QVERIFY(load(gpsFile, start, gps, glonass));
        QVERIFY(load(glonassFile, start, gps, glonass));
        oneGlonass.addAlmanac(glonass.entries().front());
        satForecaster_t gpsOnly(&gps, nullptr);
        satForecaster_t withOne(&gps, &oneGlonass);
        satForecaster_t withAll(&gps, &glonass);
        int instantsWithOne = 0;
        for (double t = start; t < start + 86400.0; t += 600.0) {
            satForecastOutput_t alone, one, all;
            for (auto run : {std::make_pair(&gpsOnly, &alone), std::make_pair(&withOne, &one),
                             std::make_pair(&withAll, &all)}) {
                run.first->setPosition(52.85 * DegToRad, 5.314 * DegToRad, 50.0);
                run.first->setElevationMask(10.0 * DegToRad);
                run.first->setForecastTime(t);
                run.first->forecast(*run.second);
            }
            QCOMPARE(all.gpsSatellites, alone.gpsSatellites);
            QCOMPARE(all.satellitesUsed, all.gpsSatellites + all.glonassSatellites);
            QVERIFY(all.glonassSatellites > 1);
            QVERIFY(all.pdop < alone.pdop && all.hdop < alone.hdop && all.vdop < alone.vdop);
            if (one.glonassSatellites == 1) {
                ++instantsWithOne;
                QVERIFY(std::fabs(one.pdop - alone.pdop) < 1e-9 * alone.pdop);
                QVERIFY(std::fabs(one.hdop - alone.hdop) < 1e-9 * alone.hdop);
            }
        }
        QVERIFY(instantsWithOne > 10);
    }

    // Almanacs against captures of the same days: the directions the receivers reported in
    // GSV and the forecast for each report's own time agree within what was found when the
    // pairs were chosen (which grows with the almanac's age), give or take the half degree of
    // the reports' whole degrees. Those figures compared one time of each capture with its
    // last reports, so they carry up to a minute of motion either way.
    void agreesWithReceivers_data()
    {
        QTest::addColumn<pairing_t>("row");

        QString const yuma866 = QStringLiteral("almanac/gps/yuma_wk0866_toa589824_2016-04-02_orekit.alm");
        QString const yuma862 = QStringLiteral("almanac/gps/yuma_wk0862_toa319488_2016-03-02_orekit.alm");
        QString const sem862 = QStringLiteral("almanac/gps/sem_wk0862_toa319488_2016-03-02_orekit.al3");
        QString const rx210 = QStringLiteral("nmea/gpsd/rx210.log");
        QString const skytraq = QStringLiteral("nmea/gpsd/skytraq-dgps.log");
        QString const isync = QStringLiteral("nmea/gpsd/isync.log");
        QString const zeus = QStringLiteral("nmea/gpsd/bundg_zeus_9.log");
        int const gps = constellationGps;
        QTest::newRow("YUMA +1 day, Langen") << pairing_t{yuma866, rx210, 50.0025, 8.6438, 150.0, gps, 0.8, 8};
        QTest::newRow("YUMA +5 days, Bend") << pairing_t{yuma866, skytraq, 44.0688, -121.3145, 1122.0, gps, 1.9, 8};
        QTest::newRow("YUMA -28 days, Chicago") << pairing_t{yuma862, isync, 41.898, -87.644, 184.0, gps, 1.1, 10};
        QTest::newRow("SEM -28 days, Chicago") << pairing_t{sem862, isync, 41.898, -87.644, 184.0, gps, 1.1, 10};
        QTest::newRow("YUMA +32 days, Langen") << pairing_t{yuma862, rx210, 50.0025, 8.6438, 150.0, gps, 3.3, 8};
        QTest::newRow("YUMA +36 days, Bend") << pairing_t{yuma862, skytraq, 44.0688, -121.3145, 1122.0, gps, 2.4, 8};
        QTest::newRow(".agp -14 days, IJsselmeer")
            << pairing_t{QStringLiteral("almanac/gps/gps_iac_MCCJ_180901_wk2017_toa147456_2018-09-03.agp"), zeus, 52.850,
                         5.314, 50.0, gps, 1.0, 9};
        QTest::newRow(".agl -24 days, IJsselmeer")
            << pairing_t{QStringLiteral("almanac/glonass/glonass_iac_MCCJ_180913.agl"), zeus, 52.850, 5.314, 50.0,
                         int(constellationGlonass), 0.9, 3};
    }
    void agreesWithReceivers()
    {
        QFETCH(pairing_t, row);
        QString const almanacPath = sharedDataPath(row.almanac);
        QString const capturePath = sharedDataPath(row.capture);
        if (almanacPath.isEmpty() || capturePath.isEmpty())
            QSKIP("shared almanac or capture not present");
        QVector<sighting_t> const seen = sightings(capturePath);
        QVERIFY(!seen.isEmpty());

        almMgrGps_t gps;
        almMgrGlonass_t glonass;
        QVERIFY(load(almanacPath, seen.front().time, gps, glonass));
        satForecaster_t forecaster(&gps, &glonass);
        forecaster.setMaximumAlmanacAge(40.0 * 86400.0);   // the month-old pairs too
        forecaster.setPosition(row.latitude * DegToRad, row.longitude * DegToRad, row.height);
        forecaster.setElevationMask(-90.0 * DegToRad);
        QSet<int> compared;
        double worst = 0.0;
        for (sighting_t const& s : seen) {
            if (s.constellation != row.constellation)
                continue;
            forecaster.setForecastTime(s.time);
            satForecastOutput_t output;
            forecaster.forecast(output);
            QVERIFY(output.valid);
            for (int k = 0; k < output.satelliteCount; ++k) {
                satForecastOutput_t::satellite_t const& f = output.satellites[std::size_t(k)];
                if (f.constellation != row.constellation || f.prn != s.prn)
                    continue;
                // the angle between the two directions: near the zenith azimuth alone says little
                double const e1 = f.elevation, e2 = s.elevation * DegToRad;
                double const cosine = std::sin(e1) * std::sin(e2)
                                      + std::cos(e1) * std::cos(e2) * std::cos(f.azimuth - s.azimuth * DegToRad);
                worst = std::fmax(worst, std::acos(std::fmin(1.0, cosine)) * RadToDeg);
                compared.insert(s.prn);
            }
        }
        QVERIFY2(compared.size() >= row.satellites, qPrintable(QString::number(compared.size())));
        QVERIFY2(worst <= row.maximumDegrees + 0.5, qPrintable(QString::number(worst)));   // reports in whole degrees
    }
};

QTEST_GUILESS_MAIN(tst_satForecaster)
#include "tst_satForecaster.moc"
