#include <belrix_common_qt/navConstants.h>
#include <belrix_common_qt/navSatNumbering.h>
#include <belrix_common_qt/remoteDevice.h>
#include <belrix_common_qt/remoteNavSat.h>
#include <belrix_common_qt_gui/dialogPage.h>
#include <belrix_common_qt_gui/polarMapping.h>
#include <belrix_common_qt_gui/positionScatter.h>
#include <belrix_common_qt_gui/rangeResidualGraph.h>
#include <belrix_common_qt_gui/skyPlotGraph.h>
#include <belrix_common_qt_gui/skyPlotWidget.h>
#include <belrix_common_qt_gui/timePlot.h>

#include <QtTest>

#include <cmath>
#include <random>

using namespace belrix_common_qt;
using namespace belrix_common_qt_gui;

namespace {

bool near(double a, double b, double tolerance = 1e-6) { return std::fabs(a - b) <= tolerance; }

// A satellite of the given number seen at time t.
remoteNavSat_t satellite(unsigned int number, double azimuth, double elevation, bool used, double t)
{
    remoteNavSat_t sat(number, navSatConstellation(number));
    sat.setAzimuth(dataItem_t<float>(float(azimuth), t));
    sat.setElevation(dataItem_t<float>(float(elevation), t));
    sat.setUsed(used);
    return sat;
}

// East and north metres from a point at 57° N as latitude and longitude in radians, on the
// WGS84 radii of curvature there.
QPointF positionAt(QPointF const& offset)
{
    const double lat0 = 57.0 * DegToRad, lon0 = 11.0 * DegToRad;
    const double e2 = 6.69437999014e-3, s = std::sin(lat0), w = std::sqrt(1.0 - e2 * s * s);
    const double meridian = 6378137.0 * (1.0 - e2) / (w * w * w);
    const double parallel = 6378137.0 / w * std::cos(lat0);
    return QPointF(lat0 + offset.y() / meridian, lon0 + offset.x() / parallel);
}

} // namespace

class tst_qcGraphs : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void skyPointsZenithAtCentreHorizonAtRim_data()
    {
        QTest::addColumn<double>("azimuth");
        QTest::addColumn<double>("elevation");
        QTest::addColumn<QPointF>("pixel");
        // centre (100, 100), horizon 90 px out: a pixel a degree from the zenith
        QTest::newRow("zenith") << 123.0 << 90.0 << QPointF(100, 100);
        QTest::newRow("north horizon") << 0.0 << 0.0 << QPointF(100, 10);
        QTest::newRow("east at 30") << 90.0 << 30.0 << QPointF(160, 100);
        QTest::newRow("south at 60") << 180.0 << 60.0 << QPointF(100, 130);
        QTest::newRow("below the horizon stays on the rim") << 270.0 << -5.0 << QPointF(10, 100);
    }
    void skyPointsZenithAtCentreHorizonAtRim()
    {
        QFETCH(double, azimuth);
        QFETCH(double, elevation);
        QFETCH(QPointF, pixel);
        const QPointF at = skyPlotWidget_t::skyPoint(polarMapping_t(QPointF(100, 100), 90.0, 90.0), azimuth, elevation);
        QVERIFY2(near(at.x(), pixel.x(), 1e-9) && near(at.y(), pixel.y(), 1e-9),
                 qPrintable(QStringLiteral("%1, %2").arg(at.x()).arg(at.y())));
    }

    // what the plot shows of each satellite, and that an old sky does not linger
    void skyPlotTakesTheCurrentSatellites()
    {
        remoteDevice_t device;
        device.setElevationMask(10.0);
        remoteNavSat_t used = satellite(7, 45.0, 50.0, true, 100.0);
        used.setFreq(0, dataItem_t<freq_t>(freq_t{1, 38.0f}, 100.0));
        used.setFreq(1, dataItem_t<freq_t>(freq_t{5, 44.0f}, 100.0));
        device.setNavSat(used);
        device.setNavSat(satellite(navSatNumber(constellationGalileo, 11), 200.0, 5.0, false, 100.0));
        device.setNavSat(satellite(navSatNumber(constellationGlonass, 3), 300.0, 70.0, true, 100.0 - 30.0));
        skyPlotGraph_t graph;
        graph.update(&device, 101.0);
        const QVector<skyPlotWidget_t::satellite_t> shown = graph.plot()->satellites();
        QCOMPARE(shown.size(), 2);
        QCOMPARE(shown[0].number, 7u);
        QVERIFY(shown[0].used && near(shown[0].azimuth, 45.0) && near(shown[0].elevation, 50.0));
        QVERIFY2(near(shown[0].level, 44.0), "the strongest signal");
        QCOMPARE(shown[1].constellation, constellationGalileo);
        QVERIFY(!shown[1].used && std::isnan(shown[1].level));
        QCOMPARE(graph.plot()->elevationMask(), 10.0);
        QVERIFY(graph.infoPage());
        graph.updateInfo();
        QVERIFY(graph.infoPage()->plainText().contains(QStringLiteral("2 in view, 1 used")));
    }

    void scatterHolds95PercentInItsCircle_data()
    {
        QTest::addColumn<int>("near1m");
        QTest::addColumn<int>("far10m");
        QTest::addColumn<double>("radius");
        // points at 1 m and at 10 m placed symmetrically, so the mean stays at the centre
        QTest::newRow("all close") << 8 << 0 << 1.0;
        QTest::newRow("2 of 20 far: the circle must take one") << 18 << 2 << 10.0;
        QTest::newRow("2 of 40 far: 95 % are close") << 38 << 2 << 1.0;
        QTest::newRow("one point") << 1 << 0 << 0.0;
    }
    void scatterHolds95PercentInItsCircle()
    {
        QFETCH(int, near1m);
        QFETCH(int, far10m);
        QFETCH(double, radius);
        QVector<QPointF> offsets;
        for (int i = 0; i < near1m; ++i) {
            const double a = 2.0 * Pi * i / near1m;
            offsets << (near1m == 1 ? QPointF() : QPointF(std::sin(a), std::cos(a)));
        }
        for (int i = 0; i < far10m; ++i)
            offsets << QPointF(0.0, i % 2 ? -10.0 : 10.0);
        positionScatter_t scatter;
        double t = 1000.0;
        for (QPointF const& offset : offsets) {
            const QPointF p = positionAt(offset);
            scatter.add(t++, p.x(), p.y());
        }
        QCOMPARE(scatter.count(), offsets.size());
        const QPointF mean = positionAt(QPointF());
        QVERIFY(near(scatter.meanLatitude(), mean.x(), 1e-10) && near(scatter.meanLongitude(), mean.y(), 1e-10));
        QVERIFY2(near(scatter.radius95(), radius, 1e-3), qPrintable(QString::number(scatter.radius95())));
        const QPointF last = scatter.offsets().last();
        QVERIFY(near(last.x(), offsets.last().x(), 1e-3) && near(last.y(), offsets.last().y(), 1e-3));
    }

    // Under way the scatter is the noise about the track, through turns; at rest about the mean.
    void scatterUnderWayMeasuresTheNoise_data()
    {
        QTest::addColumn<double>("turnRadius");   // metres; 0 for a straight course
        QTest::addColumn<bool>("underWay");
        QTest::addColumn<double>("low");
        QTest::addColumn<double>("high");
        // 0.5 m noise each way: 95 % of a 2-D normal lies within 2.45 sigma
        QTest::newRow("straight, from the track") << 0.0 << true << 1.0 << 1.5;
        QTest::newRow("a circle of 500 m, from the track") << 500.0 << true << 1.0 << 1.5;
        QTest::newRow("straight, from the mean: the track") << 0.0 << false << 1000.0 << 3000.0;
    }
    void scatterUnderWayMeasuresTheNoise()
    {
        QFETCH(double, turnRadius);
        QFETCH(bool, underWay);
        QFETCH(double, low);
        QFETCH(double, high);
        positionScatter_t scatter;
        scatter.setUnderWay(underWay);
        const double speed = 5.0;
        std::mt19937 random(7);
        std::normal_distribution<double> noise(0.0, 0.5);
        for (int i = 0; i < positionScatter_t::MaxPoints + 100; ++i) {   // the oldest drop out
            const double along = speed * i;
            const QPointF track = turnRadius > 0.0
                                      ? QPointF(turnRadius * std::sin(along / turnRadius),
                                                turnRadius * std::cos(along / turnRadius))
                                      : QPointF(0.6 * along, 0.8 * along);
            const QPointF p = positionAt(track + QPointF(noise(random), noise(random)));
            scatter.add(1000.0 + i, p.x(), p.y());
        }
        QVERIFY2(scatter.radius95() >= low && scatter.radius95() <= high, qPrintable(QString::number(scatter.radius95())));
        // the track refitted piece by piece as positions came and went is the track fitted whole
        const QVector<QPointF> incremental = scatter.offsets();
        scatter.setUnderWay(!underWay);
        scatter.setUnderWay(underWay);
        for (int i = 0; i < incremental.size(); ++i)
            QVERIFY(near(incremental[i].x(), scatter.offsets()[i].x(), 1e-6) && near(incremental[i].y(), scatter.offsets()[i].y(), 1e-6));
    }

    void scatterKeepsItsWindow_data()
    {
        QTest::addColumn<int>("seconds");    // one position a second
        QTest::addColumn<double>("expireAt");
        QTest::addColumn<int>("kept");
        QTest::newRow("the last MaxPoints") << positionScatter_t::MaxPoints + 50 << 0.0 << positionScatter_t::MaxPoints;
        QTest::newRow("the last 10 minutes") << 100 << 189.0 + positionScatter_t::WindowSeconds << 11;
        QTest::newRow("a replay started over") << -1 << 0.0 << 1;
    }
    void scatterKeepsItsWindow()
    {
        QFETCH(int, seconds);
        QFETCH(double, expireAt);
        QFETCH(int, kept);
        positionScatter_t scatter;
        const QPointF p = positionAt(QPointF());
        for (int i = 0; i < std::abs(seconds); ++i)
            scatter.add(100.0 + i, p.x(), p.y());
        if (seconds < 0) {
            scatter.add(200.0, p.x(), p.y());
            scatter.add(50.0, p.x(), p.y());
        }
        scatter.expire(expireAt);
        QCOMPARE(scatter.count(), kept);
    }

    // residuals keep to their satellites, and only current ones reach the legend
    void residualLegendListsTheCurrentSatellites()
    {
        remoteDevice_t device;
        remoteNavSat_t a = satellite(3, 10.0, 40.0, true, 100.0), b = satellite(70, 10.0, 40.0, true, 100.0);
        a.setRangeResidual(dataItem_t<float>(0.25f, 100.0));
        b.setRangeResidual(dataItem_t<float>(-1.5f, 100.0));
        device.setNavSat(a);
        device.setNavSat(b);
        rangeResidualGraph_t graph;
        graph.update(&device, 100.0);
        QCOMPARE(graph.legend(), QStringList({"G03 +0.25 m", "R06 -1.50 m"}));
        QVERIFY(near(graph.plot()->newestValue(0), std::sqrt((0.25 * 0.25 + 1.5 * 1.5) / 2.0)));
        a.setRangeResidual(dataItem_t<float>(0.5f, 120.0));
        device.setNavSat(a);
        graph.update(&device, 120.0);
        QCOMPARE(graph.legend(), QStringList({"G03 +0.50 m"}));
        QVERIFY2(near(graph.plot()->newestValue(0), 0.5), "the RMS of the newest epoch alone");
        graph.update(&device, 120.0 + rangeResidualGraph_t::SpanSeconds + 1.0);
        QVERIFY(graph.legend().isEmpty());
        QCOMPARE(graph.plot()->seriesCount(), 1);   // the RMS stays
    }
};

QTEST_MAIN(tst_qcGraphs)
#include "tst_qcGraphs.moc"
