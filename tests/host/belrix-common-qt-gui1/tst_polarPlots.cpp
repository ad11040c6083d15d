#include <belrix_common_qt/units.h>
#include <belrix_common_qt_gui/baseGraphWidget.h>
#include <belrix_common_qt_gui/errorEllipseWidget.h>
#include <belrix_common_qt_gui/guiSettings.h>
#include <belrix_common_qt_gui/polarMapping.h>
#include <belrix_common_qt_gui/positionComparisonWidget.h>

#include <QtTest>

#include <cmath>
#include <limits>
#include <memory>
#include <belrix_common_qt/navConstants.h>

using namespace belrix_common_qt_gui;
using belrix_common_qt::distanceUnit_t;

using belrix_common_qt::Pi;

namespace {

bool near(QPointF const& a, QPointF const& b, double tolerance = 1e-6)
{
    return std::fabs(a.x() - b.x()) <= tolerance && std::fabs(a.y() - b.y()) <= tolerance;
}

QString pointText(QPointF const& p) { return QStringLiteral("(%1, %2)").arg(p.x()).arg(p.y()); }

// Whether the colour at a widget point leans clearly towards the given primary.
bool tinted(QImage const& image, QPointF const& at, QColor const& towards)
{
    const QColor pixel = image.pixelColor(at.toPoint());
    const int own = towards == Qt::red ? pixel.red() : pixel.blue();
    const int other = pixel.green();
    return own - other > 25;
}

QImage render(QWidget& widget)
{
    return widget.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

} // namespace

class tst_polarPlots : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void cleanup() { guiSettings_t::get()->useDefaults(); }

    void bearingsRunClockwiseFromNorth_data();
    void bearingsRunClockwiseFromNorth();
    void fittedCircleKeepsTheMargin();
    void noScaleWithoutAPositiveRange_data();
    void noScaleWithoutAPositiveRange();
    void ellipseAxesLieAlongTheOrientation_data();
    void ellipseAxesLieAlongTheOrientation();
    void ringLabelsFollowTheUnit_data();
    void ringLabelsFollowTheUnit();
    void labelDecimals_data();
    void labelDecimals();

    void ellipsePlotHoldsWhatWasAdded();
    void positionsAreKeyedByName();
    void ellipseIsDrawnToScaleAtItsOrientation();
    void ellipseLargerThanThePlotIsClippedNotShrunk();
    void ellipseCarriesTheRangeItWasAddedWith();
    void pointBeyondThePlotSitsOnTheRim();
    void changedGraphColourReachesTheCachedGrid();
};

void tst_polarPlots::bearingsRunClockwiseFromNorth_data()
{
    QTest::addColumn<double>("meters");
    QTest::addColumn<double>("bearing");
    QTest::addColumn<QPointF>("pixel");

    // centre (100, 100), radius 80 px for 10 m: 8 px a metre, screen y downwards
    QTest::newRow("north is up") << 10.0 << 0.0 << QPointF(100, 20);
    QTest::newRow("east is right") << 10.0 << 90.0 << QPointF(180, 100);
    QTest::newRow("south is down") << 5.0 << 180.0 << QPointF(100, 140);
    QTest::newRow("west is left") << 5.0 << 270.0 << QPointF(60, 100);
    QTest::newRow("north-east") << std::sqrt(2.0) * 5.0 << 45.0 << QPointF(140, 60);
    QTest::newRow("negative bearing") << 10.0 << -90.0 << QPointF(20, 100);
    QTest::newRow("centre") << 0.0 << 123.0 << QPointF(100, 100);
}

void tst_polarPlots::bearingsRunClockwiseFromNorth()
{
    QFETCH(double, meters);
    QFETCH(double, bearing);
    QFETCH(QPointF, pixel);

    const polarMapping_t mapping(QPointF(100, 100), 80.0, 10.0);
    QVERIFY2(near(mapping.polarToPixel(meters, bearing), pixel, 1e-9),
             qPrintable(pointText(mapping.polarToPixel(meters, bearing))));
    QVERIFY(near(mapping.relativeToPixel(meters / 10.0, bearing), pixel, 1e-9));
    const double rad = bearing * Pi / 180.0;
    QVERIFY(near(mapping.toPixel(meters * std::sin(rad), meters * std::cos(rad)), pixel, 1e-9));
}

void tst_polarPlots::fittedCircleKeepsTheMargin()
{
    const polarMapping_t wide = polarMapping_t::fitted(QRectF(0, 0, 300, 200), 20.0, 5.0);
    QCOMPARE(wide.centre(), QPointF(150, 100));
    QCOMPARE(wide.radius(), 80.0);
    QCOMPARE(wide.pixelsPerMeter(), 16.0);
    // too small for the margin: no negative radius
    const polarMapping_t tiny = polarMapping_t::fitted(QRectF(0, 0, 10, 10), 20.0, 5.0);
    QCOMPARE(tiny.radius(), 0.0);
}

void tst_polarPlots::noScaleWithoutAPositiveRange_data()
{
    QTest::addColumn<double>("range");
    QTest::newRow("zero") << 0.0;
    QTest::newRow("negative") << -5.0;
    QTest::newRow("not a number") << std::numeric_limits<double>::quiet_NaN();
    QTest::newRow("infinite") << std::numeric_limits<double>::infinity();
}

void tst_polarPlots::noScaleWithoutAPositiveRange()
{
    QFETCH(double, range);
    const polarMapping_t mapping(QPointF(50, 50), 40.0, range);
    QCOMPARE(mapping.pixelsPerMeter(), 0.0);
    QVERIFY(near(mapping.polarToPixel(3.0, 45.0), QPointF(50, 50)));
}

void tst_polarPlots::ellipseAxesLieAlongTheOrientation_data()
{
    QTest::addColumn<double>("orientation");
    QTest::newRow("north") << 0.0;
    QTest::newRow("east") << 90.0;
    QTest::newRow("thirty degrees") << 30.0;
    QTest::newRow("north-west") << 315.0;
}

void tst_polarPlots::ellipseAxesLieAlongTheOrientation()
{
    QFETCH(double, orientation);
    const polarMapping_t mapping(QPointF(100, 100), 80.0, 10.0);
    const QPolygonF polygon = mapping.ellipse(orientation, 6.0, 2.0, 96);
    QCOMPARE(polygon.size(), 97);
    QVERIFY(near(polygon.first(), polygon.last()));
    // the semi-major axis ends at the orientation, the semi-minor 90° clockwise of it
    QVERIFY2(near(polygon.at(0), mapping.polarToPixel(6.0, orientation), 1e-9), qPrintable(pointText(polygon.at(0))));
    QVERIFY(near(polygon.at(24), mapping.polarToPixel(2.0, orientation + 90.0), 1e-9));
    QVERIFY(near(polygon.at(48), mapping.polarToPixel(6.0, orientation + 180.0), 1e-9));
    // every vertex lies on the ellipse
    const double theta = orientation * Pi / 180.0;
    for (QPointF const& p : polygon) {
        const double east = (p.x() - 100.0) / 8.0;
        const double north = (100.0 - p.y()) / 8.0;
        const double along = east * std::sin(theta) + north * std::cos(theta);
        const double across = east * std::cos(theta) - north * std::sin(theta);
        QVERIFY(std::fabs(along * along / 36.0 + across * across / 4.0 - 1.0) < 1e-9);
    }
}

void tst_polarPlots::ringLabelsFollowTheUnit_data()
{
    QTest::addColumn<double>("range");
    QTest::addColumn<int>("unit");
    QTest::addColumn<QStringList>("labels");

    QTest::newRow("1 m") << 1.0 << int(belrix_common_qt::distanceUnitMeters)
                         << QStringList{"0.25 m", "0.50 m", "0.75 m", "1.00 m"};
    QTest::newRow("100 m") << 100.0 << int(belrix_common_qt::distanceUnitMeters)
                           << QStringList{"25 m", "50 m", "75 m", "100 m"};
    QTest::newRow("0.02 m") << 0.02 << int(belrix_common_qt::distanceUnitMeters)
                            << QStringList{"0.005 m", "0.010 m", "0.015 m", "0.020 m"};
    QTest::newRow("10 m in feet") << 10.0 << int(belrix_common_qt::distanceUnitUsSurveyFeet)
                                  << QStringList{"8.20 ftUS", "16.40 ftUS", "24.61 ftUS", "32.81 ftUS"};
    QTest::newRow("no range") << 0.0 << int(belrix_common_qt::distanceUnitMeters) << QStringList{};
}

void tst_polarPlots::ringLabelsFollowTheUnit()
{
    QFETCH(double, range);
    QFETCH(int, unit);
    QFETCH(QStringList, labels);
    QCOMPARE(baseGraphWidget_t::ringLabels(range, distanceUnit_t(unit)), labels);
}

void tst_polarPlots::labelDecimals_data()
{
    QTest::addColumn<QVector<double>>("values");
    QTest::addColumn<int>("maxDecimals");
    QTest::addColumn<int>("decimals");

    QTest::newRow("whole numbers") << QVector<double>{5, 10, 15, 20} << 3 << 0;
    QTest::newRow("halves") << QVector<double>{0.5, 1.0, 1.5} << 3 << 1;
    QTest::newRow("quarters") << QVector<double>{0.25, 0.5, 0.75, 1.0} << 3 << 2;
    QTest::newRow("capped") << QVector<double>{0.123456} << 2 << 2;
    QTest::newRow("no values") << QVector<double>{} << 2 << 0;
    QTest::newRow("negative cap") << QVector<double>{0.5} << -1 << 0;
}

void tst_polarPlots::labelDecimals()
{
    QFETCH(QVector<double>, values);
    QFETCH(int, maxDecimals);
    QFETCH(int, decimals);
    QCOMPARE(polarMapping_t::labelDecimals(values, maxDecimals), decimals);
}

void tst_polarPlots::ellipsePlotHoldsWhatWasAdded()
{
    errorEllipseWidget_t plot;
    plot.addEllipse(45.0, 3.0, 1.0, 5.0, Qt::red);
    plot.addEllipse(10.0, 2.0, 2.0, 5.0, Qt::blue);
    QCOMPARE(plot.ellipses().size(), 2);
    QCOMPARE(plot.ellipses().at(1).color, QColor(Qt::blue));
    QCOMPARE(plot.ellipses().at(0).orientation, 45.0);
    plot.clear();
    QVERIFY(plot.ellipses().isEmpty());
}

void tst_polarPlots::positionsAreKeyedByName()
{
    positionComparisonWidget_t plot;
    plot.addPosition("A", 0.5, 10.0, Qt::red);
    plot.addPosition("B", 0.2, 20.0, Qt::blue);
    plot.addPosition("A", 0.7, 30.0, Qt::green);
    QCOMPARE(plot.positions().size(), 2);
    QCOMPARE(plot.positions().at(0).name, QStringLiteral("A"));
    QCOMPARE(plot.positions().at(0).relativeRange, 0.7);
    QCOMPARE(plot.positions().at(0).color, QColor(Qt::green));
    plot.removePosition("A");
    plot.removePosition("nobody");
    QCOMPARE(plot.positions().size(), 1);
    QVERIFY(plot.hasPosition("B"));
    QVERIFY(!plot.hasPosition("A"));
    // after a removal the remaining names still find their points
    plot.addPosition("B", 0.9, 40.0, Qt::blue);
    QCOMPARE(plot.positions().size(), 1);
    QCOMPARE(plot.positions().at(0).bearing, 40.0);
}

void tst_polarPlots::ellipseIsDrawnToScaleAtItsOrientation()
{
    errorEllipseWidget_t plot;
    plot.resize(240, 240);
    plot.setRange(10.0);
    plot.addEllipse(90.0, 8.0, 2.0, 10.0, Qt::red);   // long axis east-west
    const QImage image = render(plot);
    const polarMapping_t map = plot.mapping();
    QVERIFY(tinted(image, map.polarToPixel(6.0, 90.0), Qt::red));
    QVERIFY(tinted(image, map.polarToPixel(6.0, 270.0), Qt::red));
    QVERIFY(!tinted(image, map.polarToPixel(6.0, 0.0), Qt::red));
    QVERIFY(!tinted(image, map.polarToPixel(6.0, 180.0), Qt::red));
}

void tst_polarPlots::ellipseLargerThanThePlotIsClippedNotShrunk()
{
    errorEllipseWidget_t plot;
    plot.resize(240, 240);
    plot.setRange(10.0);
    plot.addEllipse(0.0, 30.0, 2.0, 10.0, Qt::red);   // three times the plot, north-south
    const QImage image = render(plot);
    const polarMapping_t map = plot.mapping();
    QVERIFY(tinted(image, map.polarToPixel(9.0, 0.0), Qt::red));
    // shrunk to fit, the ellipse would be 0.67 m wide; drawn to scale it is 4 m wide
    QVERIFY(tinted(image, map.polarToPixel(1.5, 90.0), Qt::red));
    QVERIFY(!tinted(image, map.polarToPixel(3.0, 90.0), Qt::red));
    // nothing beyond the rim
    QVERIFY(!tinted(image, map.relativeToPixel(1.08, 0.0), Qt::red));
}

void tst_polarPlots::ellipseCarriesTheRangeItWasAddedWith()
{
    errorEllipseWidget_t plot;
    plot.resize(240, 240);
    plot.setRange(10.0);
    // meant for a 5 m plot: it reaches the rim of this one
    plot.addEllipse(0.0, 4.5, 4.5, 5.0, Qt::red);
    const QImage image = render(plot);
    QVERIFY(tinted(image, plot.mapping().relativeToPixel(0.85, 45.0), Qt::red));
}

void tst_polarPlots::pointBeyondThePlotSitsOnTheRim()
{
    positionComparisonWidget_t plot;
    plot.resize(300, 300);
    plot.setRange(10.0);
    plot.addPosition("far", 3.0, 90.0, Qt::blue);
    plot.addPosition("near", 0.5, 180.0, Qt::red);
    const QImage image = render(plot);
    const polarMapping_t map = plot.mapping();
    QVERIFY(tinted(image, map.relativeToPixel(0.98, 90.0), Qt::blue));
    QVERIFY(!tinted(image, map.relativeToPixel(0.8, 90.0), Qt::blue));
    QVERIFY(tinted(image, map.relativeToPixel(0.5, 180.0), Qt::red));
}

void tst_polarPlots::changedGraphColourReachesTheCachedGrid()
{
    errorEllipseWidget_t plot;
    plot.resize(200, 200);
    const QPoint corner(3, 3);
    QCOMPARE(render(plot).pixel(corner), guiSettings_t::get()->effectiveBackgroundGraphColor().rgb());
    guiSettings_t::get()->setBackgroundGraphColor(QColor(10, 20, 30));
    QCOMPARE(render(plot).pixel(corner), QColor(10, 20, 30).rgb());
    guiSettings_t::get()->setDisplayMode(belrix_common_qt::displayModeNight);
    QCOMPARE(render(plot).pixel(corner), guiSettings_t::get()->effectiveBackgroundGraphColor().rgb());
}

QTEST_MAIN(tst_polarPlots)
#include "tst_polarPlots.moc"
