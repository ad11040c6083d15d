#include <belrix_common_qt/geodesy.h>
#include <belrix_common_qt/navConstants.h>

#include <QtTest>

#include <cmath>
#include <limits>

using namespace belrix_common_qt;

Q_DECLARE_METATYPE(belrix_common_qt::position_t)

namespace {

position_t degrees(double lat, double lon) { return position_t(lat * DegToRad, lon * DegToRad); }

struct geodesic_t {
    position_t from;
    position_t to;
    double meters;
    double meterTolerance;
    double bearing;   // degrees
    double bearingTolerance;
};

} // namespace

Q_DECLARE_METATYPE(geodesic_t)

class tst_geodesy : public QObject
{
    Q_OBJECT

private slots:
    // Published WGS84 solutions (C. F. F. Karney, "Algorithms for geodesics", J. Geodesy 2013,
    // worked examples; GeographicLib's documented examples), to the digits given there, and
    // short lines from 57°N 11°E for the quadrants of the bearing, which stays in [0, 360).
    void rangeAndBearing_data()
    {
        QTest::addColumn<geodesic_t>("g");
        QTest::newRow("direct example 10000 km")
            << geodesic_t{degrees(40.0, 0.0), degrees(41.79331020506, 137.84490004377), 10000000.0, 1e-4, 30.0, 1e-9};
        QTest::newRow("nearly antipodal")
            << geodesic_t{degrees(-30.0, 0.0), degrees(29.9, 179.8), 19989832.827610, 1e-5, 161.890524, 1e-6};
        QTest::newRow("short line")
            << geodesic_t{degrees(-30.12345, 0.0), degrees(-30.12344, 0.00005), 4.944208, 1e-6, 77.043533542, 1e-8};
        QTest::newRow("JFK to LHR")
            << geodesic_t{degrees(40.6, -73.8), degrees(51.6, -0.5), 5551759.400319, 1e-5, 51.198882846, 1e-8};
        QTest::newRow("quarter meridian")
            << geodesic_t{degrees(0.0, 0.0), degrees(90.0, 0.0), 10001965.729, 1e-3, 0.0, 1e-9};
        QTest::newRow("one degree of equator")
            << geodesic_t{degrees(0.0, 0.0), degrees(0.0, 1.0), 111319.4908, 1e-4, 90.0, 1e-9};
        QTest::newRow("due south") << geodesic_t{degrees(57.0, 11.0), degrees(56.999, 11.0), 111.4, 0.1, 180.0, 1e-6};
        QTest::newRow("due west") << geodesic_t{degrees(57.0, 11.0), degrees(57.0, 10.999), 60.7, 0.1, 270.0, 1e-3};
        QTest::newRow("north-west stays below 360")
            << geodesic_t{degrees(57.0, 11.0), degrees(57.001, 10.9999), 111.6, 0.1, 356.8, 0.1};
        QTest::newRow("coincident") << geodesic_t{degrees(57.64, 11.31), degrees(57.64, 11.31), 0.0, 0.0, 0.0, 0.0};
    }

    void rangeAndBearing()
    {
        QFETCH(geodesic_t, g);
        double const range = calcRange(g.from, g.to);
        QVERIFY2(std::fabs(range - g.meters) <= g.meterTolerance, qPrintable(QString::number(range, 'f', 6)));
        double const azimuth = calcBearing(g.from, g.to);
        QVERIFY(azimuth >= 0.0 && azimuth < 360.0);
        QVERIFY2(std::fabs(azimuth - g.bearing) <= g.bearingTolerance, qPrintable(QString::number(azimuth, 'f', 9)));
    }

    void unusablePositionsGiveNaN_data()
    {
        QTest::addColumn<position_t>("to");
        position_t latInvalid = degrees(57.0, 11.0);
        latInvalid.latValid = false;
        position_t lonInvalid = degrees(57.0, 11.0);
        lonInvalid.lonValid = false;
        QTest::newRow("latitude flag false") << latInvalid;
        QTest::newRow("longitude flag false") << lonInvalid;
        QTest::newRow("latitude beyond the pole") << degrees(90.5, 11.0);
        QTest::newRow("longitude beyond 180") << degrees(57.0, 180.5);
        QTest::newRow("not a number") << position_t(std::numeric_limits<double>::quiet_NaN(), 0.2);
        QTest::newRow("infinite") << position_t(0.9, std::numeric_limits<double>::infinity());
    }

    void unusablePositionsGiveNaN()
    {
        QFETCH(position_t, to);
        position_t const from = degrees(57.0, 11.0);
        QVERIFY(std::isnan(calcRange(from, to)) && std::isnan(calcBearing(from, to)));
        QVERIFY(std::isnan(calcRange(to, from)) && std::isnan(calcBearing(to, from)));
    }
};

QTEST_GUILESS_MAIN(tst_geodesy)
#include "tst_geodesy.moc"
