#include <belrix_common_qt/navConstants.h>
#include <belrix_common_qt/units.h>
#include <belrix_common_qt_gui/baseGraphWidget.h>
#include <belrix_common_qt_gui/errorEllipseWidget.h>
#include <belrix_common_qt_gui/guiSettings.h>
#include <belrix_common_qt_gui/polarMapping.h>
#include <belrix_common_qt_gui/positionComparisonWidget.h>

#include <QtTest>

#include <cmath>

using namespace belrix_common_qt_gui;
using belrix_common_qt::DegToRad;
using belrix_common_qt::distanceUnit_t;

namespace {

bool near(QPointF const& a, QPointF const& b, double tolerance = 1e-9)
{
    return std::fabs(a.x() - b.x()) <= tolerance && std::fabs(a.y() - b.y()) <= tolerance;
}

// Whether the colour at a point of the rendered widget leans clearly towards red or blue.
bool tinted(QWidget& widget, QPointF const& at, QColor const& towards)
{
    const QColor pixel = widget.grab().toImage().pixelColor(at.toPoint());
    return (towards == Qt::red ? pixel.red() : pixel.blue()) - pixel.green() > 25;
}

// An ellipse added to a 10 m plot, and a point of it (relative to the plot's radius) that is
// red or not.
struct drawn_t { double orientation, semiMajor, addedRange, relative, bearing; bool red; };

} // namespace

Q_DECLARE_METATYPE(drawn_t)

struct polar_t { double range, meters, bearing; QPointF pixel; };
Q_DECLARE_METATYPE(polar_t)

struct rings_t { double range; int unit; QStringList labels; };
Q_DECLARE_METATYPE(rings_t)

class tst_polarPlots : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { guiSettings_t::get()->useDefaults(); }

    void bearingsRunClockwiseFromNorth_data()
    {
        QTest::addColumn<polar_t>("p");
        // centre (100, 100), radius 80 px for 10 m: 8 px a metre, screen y downwards
        QTest::newRow("north is up") << polar_t{10.0, 10.0, 0.0, QPointF(100, 20)};
        QTest::newRow("east is right") << polar_t{10.0, 10.0, 90.0, QPointF(180, 100)};
        QTest::newRow("south-west") << polar_t{10.0, std::sqrt(2.0) * 5.0, 225.0, QPointF(60, 140)};
        QTest::newRow("no range") << polar_t{0.0, 3.0, 45.0, QPointF(100, 100)};
        QTest::newRow("NaN range") << polar_t{std::nan(""), 3.0, 45.0, QPointF(100, 100)};
    }
    void bearingsRunClockwiseFromNorth()
    {
        QFETCH(polar_t, p);
        const polarMapping_t mapping(QPointF(100, 100), 80.0, p.range);
        const QPointF got = mapping.polarToPixel(p.meters, p.bearing);
        QVERIFY2(near(got, p.pixel), qPrintable(QStringLiteral("(%1, %2)").arg(got.x()).arg(got.y())));
        const double rad = p.bearing * DegToRad;
        QVERIFY(near(mapping.toPixel(p.meters * std::sin(rad), p.meters * std::cos(rad)), p.pixel));
        if (p.range == 10.0)
            QVERIFY(near(mapping.relativeToPixel(p.meters / 10.0, p.bearing), p.pixel));
    }

    void fittedCircleKeepsTheMargin()
    {
        const polarMapping_t wide = polarMapping_t::fitted(QRectF(0, 0, 300, 200), 20.0, 5.0);
        QCOMPARE(wide.centre(), QPointF(150, 100));
        QCOMPARE(wide.radius(), 80.0);
        QCOMPARE(wide.pixelsPerMeter(), 16.0);
        QCOMPARE(polarMapping_t::fitted(QRectF(0, 0, 10, 10), 20.0, 5.0).radius(), 0.0);
    }

    void ellipseAxesLieAlongTheOrientation()
    {
        const double orientation = 30.0;
        const polarMapping_t mapping(QPointF(100, 100), 80.0, 10.0);
        const QPolygonF polygon = mapping.ellipse(orientation, 6.0, 2.0, 96);
        QCOMPARE(polygon.size(), 97);
        QVERIFY(near(polygon.first(), polygon.last()));
        // the semi-major axis ends at the orientation, the semi-minor 90° clockwise of it
        QVERIFY(near(polygon.at(0), mapping.polarToPixel(6.0, orientation)));
        QVERIFY(near(polygon.at(24), mapping.polarToPixel(2.0, orientation + 90.0)));
        const double theta = orientation * DegToRad;
        for (QPointF const& p : polygon) {
            const double east = (p.x() - 100.0) / 8.0;
            const double north = (100.0 - p.y()) / 8.0;
            const double along = east * std::sin(theta) + north * std::cos(theta);
            const double across = east * std::cos(theta) - north * std::sin(theta);
            QVERIFY(std::fabs(along * along / 36.0 + across * across / 4.0 - 1.0) < 1e-9);
        }
    }

    void ringLabels_data()
    {
        QTest::addColumn<rings_t>("r");
        const int m = belrix_common_qt::distanceUnitMeters;
        QTest::newRow("1 m") << rings_t{1.0, m, QStringList{"0.25 m", "0.50 m", "0.75 m", "1.00 m"}};
        QTest::newRow("100 m") << rings_t{100.0, m, QStringList{"25 m", "50 m", "75 m", "100 m"}};
        QTest::newRow("0.02 m") << rings_t{0.02, m, QStringList{"0.005 m", "0.010 m", "0.015 m", "0.020 m"}};
        QTest::newRow("10 m in feet")
            << rings_t{10.0, int(belrix_common_qt::distanceUnitUsSurveyFeet),
                       {"8.20 ftUS", "16.40 ftUS", "24.61 ftUS", "32.81 ftUS"}};
        QTest::newRow("no range") << rings_t{0.0, m, QStringList{}};
    }
    void ringLabels()
    {
        QFETCH(rings_t, r);
        QCOMPARE(baseGraphWidget_t::ringLabels(r.range, distanceUnit_t(r.unit)), r.labels);
    }

    void ellipseIsDrawnToScale_data()
    {
        QTest::addColumn<drawn_t>("d");
        QTest::newRow("along the long axis") << drawn_t{90.0, 8.0, 10.0, 0.6, 270.0, true};
        QTest::newRow("across the long axis") << drawn_t{90.0, 8.0, 10.0, 0.6, 0.0, false};
        // shrunk to fit, it would be 0.67 m wide; drawn to scale it is 4 m wide
        QTest::newRow("clipped, not shrunk") << drawn_t{0.0, 30.0, 10.0, 0.15, 90.0, true};
        QTest::newRow("beside the clipped one") << drawn_t{0.0, 30.0, 10.0, 0.3, 90.0, false};
        QTest::newRow("nothing beyond the rim") << drawn_t{0.0, 30.0, 10.0, 1.08, 0.0, false};
        QTest::newRow("scaled by its own range") << drawn_t{0.0, 4.5, 5.0, 0.85, 45.0, true};
    }
    void ellipseIsDrawnToScale()
    {
        QFETCH(drawn_t, d);
        errorEllipseWidget_t plot;
        plot.resize(240, 240);
        plot.setRange(10.0);
        const double semiMinor = d.addedRange == 10.0 ? 2.0 : d.semiMajor;
        plot.addEllipse(d.orientation, d.semiMajor, semiMinor, d.addedRange, Qt::red);
        QCOMPARE(plot.ellipses().size(), 1);
        const QPointF at = plot.mapping().relativeToPixel(d.relative, d.bearing);
        QCOMPARE(tinted(plot, at, Qt::red), d.red);
        plot.clear();
        QVERIFY(!tinted(plot, at, Qt::red));
    }

    void positionsAreKeyedByNameAndKeptInside()
    {
        positionComparisonWidget_t plot;
        plot.resize(300, 300);
        plot.setRange(10.0);
        plot.addPosition("far", 0.5, 10.0, Qt::red);
        plot.addPosition("near", 0.5, 180.0, Qt::red);
        plot.addPosition("far", 3.0, 90.0, Qt::blue);   // replaces the first
        QCOMPARE(plot.positions().size(), 2);
        QCOMPARE(plot.positions().at(0).name, QStringLiteral("far"));
        const polarMapping_t map = plot.mapping();
        QVERIFY(tinted(plot, map.relativeToPixel(0.98, 90.0), Qt::blue));   // on the rim
        QVERIFY(!tinted(plot, map.relativeToPixel(0.8, 90.0), Qt::blue));
        QVERIFY(tinted(plot, map.relativeToPixel(0.5, 180.0), Qt::red));
        QVERIFY(!tinted(plot, map.relativeToPixel(0.5, 10.0), Qt::red));
        plot.removePosition("far");
        plot.removePosition("nobody");
        plot.addPosition("near", 0.9, 40.0, Qt::blue);   // the remaining name still finds its point
        QVERIFY(!plot.hasPosition("far") && plot.positions().size() == 1 && plot.positions().at(0).bearing == 40.0);
    }

    void changedGraphColourReachesTheCachedGrid()
    {
        errorEllipseWidget_t plot;
        plot.resize(200, 200);
        auto corner = [&plot] { return plot.grab().toImage().pixelColor(3, 3).rgb(); };
        QCOMPARE(corner(), guiSettings_t::get()->effectiveBackgroundGraphColor().rgb());
        guiSettings_t::get()->setBackgroundGraphColor(QColor(10, 20, 30));
        QCOMPARE(corner(), QColor(10, 20, 30).rgb());
        guiSettings_t::get()->setDisplayMode(belrix_common_qt::displayModeNight);
        QCOMPARE(corner(), guiSettings_t::get()->effectiveBackgroundGraphColor().rgb());
    }
};

QTEST_MAIN(tst_polarPlots)
#include "tst_polarPlots.moc"
