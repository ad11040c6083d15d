#include <belrix_common_qt/geodesy.h>
#include <belrix_common_qt/navConstants.h>

#include <QtTest>

#include <cmath>
#include <limits>

using namespace belrix_common_qt;

namespace {

position_t degrees(double lat, double lon) { return position_t(lat * DegToRad, lon * DegToRad); }

struct geodesic_t {
    position_t from, to;
    double meters, meterTolerance, bearing /* degrees */, bearingTolerance;
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
        QTest::newRow("due west") << geodesic_t{degrees(57.0, 11.0), degrees(57.0, 10.999), 60.7, 0.1, 270.0, 1e-3};
        QTest::newRow("north-west stays below 360")
            << geodesic_t{degrees(57.0, 11.0), degrees(57.001, 10.9999), 111.6, 0.1, 356.8, 0.1};
        // unusable positions at either end give NaN for both
        double const nan = std::numeric_limits<double>::quiet_NaN();
        QTest::newRow("flags false") << geodesic_t{degrees(57.0, 11.0), position_t(), nan, 0.0, nan, 0.0};
        QTest::newRow("latitude not a number") << geodesic_t{position_t(nan, 0.2), degrees(57.0, 11.0), nan, 0.0, nan, 0.0};
        QTest::newRow("coincident") << geodesic_t{degrees(57.64, 11.31), degrees(57.64, 11.31), 0.0, 0.0, 0.0, 0.0};
    }

    void rangeAndBearing()
    {
        QFETCH(geodesic_t, g);
        double const range = calcRange(g.from, g.to);
        double const azimuth = calcBearing(g.from, g.to);
        if (std::isnan(g.meters))
            QVERIFY(std::isnan(range) && std::isnan(azimuth));
        else
            QVERIFY2(std::fabs(range - g.meters) <= g.meterTolerance && azimuth >= 0.0 && azimuth < 360.0,
                     qPrintable(QString::number(range, 'f', 6)));
        QVERIFY2(std::isnan(g.meters) || std::fabs(azimuth - g.bearing) <= g.bearingTolerance, qPrintable(QString::number(azimuth, 'f', 9)));
    }
};

QTEST_GUILESS_MAIN(tst_geodesy)
#include "tst_geodesy.moc"
