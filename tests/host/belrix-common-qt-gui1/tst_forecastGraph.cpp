#include <belrix_common_qt/satForecastOutput.h>
#include <belrix_common_qt_gui/forecastGraph.h>
#include <belrix_common_qt_gui/forecastScale.h>
#include <belrix_common_qt_gui/guiSettings.h>
#include <belrix_common_qt_gui/hdopForecasterGraph.h>
#include <belrix_common_qt_gui/numSatsForecasterGraph.h>
#include <belrix_common_qt_gui/pdopForecasterGraph.h>
#include <belrix_common_qt_gui/qualitySettings.h>
#include <belrix_common_qt_gui/vdopForecasterGraph.h>

#include <QtTest>

#include <cmath>
#include <memory>

using namespace belrix_common_qt_gui;
using belrix_common_qt::satForecastOutput_t;

Q_DECLARE_METATYPE(belrix_common_qt_gui::quality_t)

namespace {
constexpr double T0 = 1700000000.0;   // 2023-11-14 22:13:20 UTC
const double NaN = std::nan("");
} // namespace

struct ticks_t { int offset; double step, first; };   // first: local seconds into the day of T0
Q_DECLARE_METATYPE(ticks_t)

struct graded_t { int type; bool valid; double value; bool withSettings; quality_t quality; };   // value: satellites or DOP
Q_DECLARE_METATYPE(graded_t)

class tst_forecastGraph : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void cleanup() { guiSettings_t::get()->useDefaults(); }

    // Ticks fall on round local times, so an operator east or west of Greenwich reads whole hours.
    void timeTicksFallOnLocalRoundTimes_data()
    {
        QTest::addColumn<ticks_t>("t");
        QTest::newRow("UTC+1, hours") << ticks_t{3600, 3600.0, 24.0 * 3600};        // 23:13 local: 00:00 next
        QTest::newRow("UTC-5:30, hours") << ticks_t{-19800, 3600.0, 17.0 * 3600};   // 16:43 local
        QTest::newRow("UTC-5:30, days") << ticks_t{-19800, 86400.0, 24.0 * 3600};
    }
    void timeTicksFallOnLocalRoundTimes()
    {
        QFETCH(ticks_t, t);
        const QVector<double> ticks = forecastScale_t::timeTicks(T0, T0 + 3.0 * 86400, t.step, t.offset);
        QVERIFY(!ticks.isEmpty());
        const double localDayStart = std::floor((T0 + t.offset) / 86400.0) * 86400.0;
        QCOMPARE(ticks.first() + t.offset - localDayStart, t.first);
        QVERIFY(ticks.first() >= T0 && ticks.last() <= T0 + 3.0 * 86400);
        for (int i = 1; i < ticks.size(); ++i)
            QCOMPARE(ticks.at(i) - ticks.at(i - 1), t.step);
    }

    // Each sample is graded by the device's thresholds; no value from a valid forecast is bad.
    void samplesAreGradedByTheDeviceThresholds_data()
    {
        QTest::addColumn<graded_t>("g");
        // defaults: satellites good above 6, bad below 4; HDOP 2/4, VDOP 3/5, PDOP 4/6
        QTest::newRow("8 satellites") << graded_t{forecasterNumSats, true, 8.0, true, qualityGood};
        QTest::newRow("5 satellites") << graded_t{forecasterNumSats, true, 5.0, true, qualityMarginal};
        QTest::newRow("3 satellites") << graded_t{forecasterNumSats, true, 3.0, true, qualityBad};
        QTest::newRow("HDOP 1.5") << graded_t{forecasterHdop, true, 1.5, true, qualityGood};
        QTest::newRow("VDOP 4") << graded_t{forecasterVdop, true, 4.0, true, qualityMarginal};
        QTest::newRow("PDOP 6.5") << graded_t{forecasterPdop, true, 6.5, true, qualityBad};
        QTest::newRow("no HDOP: too few satellites") << graded_t{forecasterHdop, true, NaN, true, qualityBad};
        QTest::newRow("no forecast") << graded_t{forecasterPdop, false, NaN, true, qualityOff};
        QTest::newRow("no thresholds") << graded_t{forecasterHdop, true, 9.0, false, qualityOff};
    }
    void samplesAreGradedByTheDeviceThresholds()
    {
        QFETCH(graded_t, g);
        std::unique_ptr<forecasterGraph_t> series;
        switch (g.type) {
        case forecasterNumSats: series.reset(new numSatsForecasterGraph_t); break;
        case forecasterHdop: series.reset(new hdopForecasterGraph_t); break;
        case forecasterVdop: series.reset(new vdopForecasterGraph_t); break;
        default: series.reset(new pdopForecasterGraph_t); break;
        }
        forecastGraph_t graph;
        series->setGraph(&graph);
        satForecastOutput_t output;
        output.valid = g.valid;
        output.satellitesUsed = std::isnan(g.value) ? 3 : int(g.value);
        output.hdop = output.vdop = output.pdop = g.value;
        qualitySettings_t settings;
        series->addPointNow(T0, output, g.withSettings ? &settings : nullptr);
        QCOMPARE(graph.points().size(), 1);
        QCOMPARE(graph.points().first().quality, g.quality);
        if (g.valid && std::isfinite(g.value))
            QCOMPARE(graph.points().first().value, g.value);
        if (g.withSettings && g.valid && g.type == forecasterHdop)
            QVERIFY(graph.goodThreshold() == 2.0 && graph.badThreshold() == 4.0);
        series->clear();
        QVERIFY(graph.points().isEmpty());
    }

    // What only pixels show: a column in its quality's colour where its sample lies, and the
    // message in place of the graph, in both looks.
    void columnsShowTheirQualityAndAMessageReplacesThem_data()
    {
        QTest::addColumn<bool>("night");
        QTest::newRow("day") << false;
        QTest::newRow("night") << true;
    }
    void columnsShowTheirQualityAndAMessageReplacesThem()
    {
        QFETCH(bool, night);
        guiSettings_t::get()->setDisplayMode(night ? belrix_common_qt::displayModeNight
                                                   : belrix_common_qt::displayModeDay);
        forecastGraph_t graph;
        graph.resize(400, 160);
        graph.setForecasterType(forecasterNumSats);
        graph.timeBounds(T0, T0 + 3600.0);
        graph.addPoint(T0, 10.0, qualityGood);
        graph.addPoint(T0 + 1800.0, 10.0, qualityBad);
        const forecastScale_t map = graph.scale();
        const QPoint early(int(map.timeToX(T0 + 900.0)), int(map.plot().bottom() - 3));
        const QPoint late(int(map.timeToX(T0 + 2700.0)), early.y());
        auto colourAt = [&graph](QPoint const& at) { return graph.grab().toImage().pixelColor(at); };
        const QColor good = colourAt(early);
        const QColor bad = colourAt(late);
        QVERIFY2(good.green() > good.red() + 30, qPrintable(good.name()));
        QVERIFY2(bad.red() > bad.green() + 30, qPrintable(bad.name()));

        graph.setMessage(QStringLiteral("No almanac"));
        const QColor background = guiSettings_t::get()->effectiveBackgroundGraphColor();
        QCOMPARE(colourAt(early).rgb(), background.rgb());
        QCOMPARE(colourAt(late).rgb(), background.rgb());
    }
};

QTEST_MAIN(tst_forecastGraph)
#include "tst_forecastGraph.moc"
