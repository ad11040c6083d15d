#include <belrix_common_qt/geodesy.h>

#include <QtTest>

#include <cmath>
#include <limits>
#include <belrix_common_qt/navConstants.h>

using belrix_common_qt::calcBearing;
using belrix_common_qt::calcRange;
using belrix_common_qt::position_t;

Q_DECLARE_METATYPE(position_t)

namespace {

using belrix_common_qt::Pi;

position_t degrees(double lat, double lon) { return position_t(lat * Pi / 180.0, lon * Pi / 180.0); }

} // namespace

class tst_geodesy : public QObject
{
    Q_OBJECT

private slots:
    void publishedGeodesics_data();
    void publishedGeodesics();
    void bearingIsClockwiseFromNorth_data();
    void bearingIsClockwiseFromNorth();
    void coincidentPositions();
    void unusablePositionsGiveNaN_data();
    void unusablePositionsGiveNaN();
};

// Published WGS84 solutions (C. F. F. Karney, "Algorithms for geodesics", J. Geodesy 2013,
// worked examples; GeographicLib's documented examples), to the digits given there.
void tst_geodesy::publishedGeodesics_data()
{
    QTest::addColumn<double>("lat1");
    QTest::addColumn<double>("lon1");
    QTest::addColumn<double>("lat2");
    QTest::addColumn<double>("lon2");
    QTest::addColumn<double>("meters");
    QTest::addColumn<double>("meterTolerance");
    QTest::addColumn<double>("bearing");
    QTest::addColumn<double>("bearingTolerance");

    QTest::newRow("direct example 10000 km") << 40.0 << 0.0 << 41.79331020506 << 137.84490004377 << 10000000.0
                                             << 1e-4 << 30.0 << 1e-9;
    QTest::newRow("nearly antipodal") << -30.0 << 0.0 << 29.9 << 179.8 << 19989832.827610 << 1e-5 << 161.890524
                                      << 1e-6;
    QTest::newRow("short line") << -30.12345 << 0.0 << -30.12344 << 0.00005 << 4.944208 << 1e-6 << 77.043533542
                                << 1e-8;
    QTest::newRow("JFK to LHR") << 40.6 << -73.8 << 51.6 << -0.5 << 5551759.400319 << 1e-5 << 51.198882846 << 1e-8;
    QTest::newRow("quarter meridian") << 0.0 << 0.0 << 90.0 << 0.0 << 10001965.729 << 1e-3 << 0.0 << 1e-9;
    QTest::newRow("one degree of equator") << 0.0 << 0.0 << 0.0 << 1.0 << 111319.4908 << 1e-4 << 90.0 << 1e-9;
}

void tst_geodesy::publishedGeodesics()
{
    QFETCH(double, lat1);
    QFETCH(double, lon1);
    QFETCH(double, lat2);
    QFETCH(double, lon2);
    QFETCH(double, meters);
    QFETCH(double, meterTolerance);
    QFETCH(double, bearing);
    QFETCH(double, bearingTolerance);

    const double range = calcRange(degrees(lat1, lon1), degrees(lat2, lon2));
    QVERIFY2(std::fabs(range - meters) <= meterTolerance, qPrintable(QString::number(range, 'f', 6)));
    const double azimuth = calcBearing(degrees(lat1, lon1), degrees(lat2, lon2));
    QVERIFY2(std::fabs(azimuth - bearing) <= bearingTolerance, qPrintable(QString::number(azimuth, 'f', 9)));
}

void tst_geodesy::bearingIsClockwiseFromNorth_data()
{
    QTest::addColumn<double>("lat2");
    QTest::addColumn<double>("lon2");
    QTest::addColumn<double>("bearing");

    // from 57°N 11°E, a few hundred metres away; the bearing is in [0, 360)
    QTest::newRow("north") << 57.001 << 11.0 << 0.0;
    QTest::newRow("east") << 57.0 << 11.001 << 90.0;
    QTest::newRow("south") << 56.999 << 11.0 << 180.0;
    QTest::newRow("west") << 57.0 << 10.999 << 270.0;
    QTest::newRow("north-west stays below 360") << 57.001 << 10.9999 << 356.8;
}

void tst_geodesy::bearingIsClockwiseFromNorth()
{
    QFETCH(double, lat2);
    QFETCH(double, lon2);
    QFETCH(double, bearing);

    const double azimuth = calcBearing(degrees(57.0, 11.0), degrees(lat2, lon2));
    QVERIFY(azimuth >= 0.0 && azimuth < 360.0);
    QVERIFY2(std::fabs(azimuth - bearing) < 0.1, qPrintable(QString::number(azimuth, 'f', 4)));
}

void tst_geodesy::coincidentPositions()
{
    const position_t here = degrees(57.64, 11.31);
    QCOMPARE(calcRange(here, here), 0.0);
    QCOMPARE(calcBearing(here, here), 0.0);
}

void tst_geodesy::unusablePositionsGiveNaN_data()
{
    QTest::addColumn<position_t>("to");

    position_t latInvalid = degrees(57.0, 11.0);
    latInvalid.latValid = false;
    position_t lonInvalid = degrees(57.0, 11.0);
    lonInvalid.lonValid = false;
    QTest::newRow("latitude flag false") << latInvalid;
    QTest::newRow("longitude flag false") << lonInvalid;
    QTest::newRow("unset position") << position_t();
    QTest::newRow("latitude beyond the pole") << degrees(90.5, 11.0);
    QTest::newRow("longitude beyond 180") << degrees(57.0, 180.5);
    QTest::newRow("not a number") << position_t(std::numeric_limits<double>::quiet_NaN(), 0.2);
    QTest::newRow("infinite") << position_t(0.9, std::numeric_limits<double>::infinity());
}

void tst_geodesy::unusablePositionsGiveNaN()
{
    QFETCH(position_t, to);
    const position_t from = degrees(57.0, 11.0);
    QVERIFY(std::isnan(calcRange(from, to)));
    QVERIFY(std::isnan(calcBearing(from, to)));
    QVERIFY(std::isnan(calcRange(to, from)));
    QVERIFY(std::isnan(calcBearing(to, from)));
}

QTEST_GUILESS_MAIN(tst_geodesy)
#include "tst_geodesy.moc"
