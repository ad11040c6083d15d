#include <belrix_common_qt_gui/timePlot.h>
#include <belrix_common_qt_gui/timePlotScale.h>

#include <QtTest>

#include <cmath>

using namespace belrix_common_qt_gui;

namespace {
constexpr double T0 = 1700000000.0;
bool near(double a, double b) { return std::abs(a - b) < 1e-6; }
} // namespace

struct mapped_t { double time, value, x, y; };
Q_DECLARE_METATYPE(mapped_t)

struct range_t { double old, recent; bool symmetric; double bottom, top; };
Q_DECLARE_METATYPE(range_t)

class tst_timePlot : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    // Pixels and data time / value map both ways; values beyond the range stick to the plot's edge.
    void scaleMapsBothWaysAndClamps_data()
    {
        QTest::addColumn<mapped_t>("m");
        // plot x 50..350, y 10..110; span 600 s ending at T0; values -5..5
        QTest::newRow("now, top") << mapped_t{T0, 5.0, 350.0, 10.0};
        QTest::newRow("span ago, bottom") << mapped_t{T0 - 600, -5.0, 50.0, 110.0};
        QTest::newRow("middle, zero") << mapped_t{T0 - 300, 0.0, 200.0, 60.0};
        QTest::newRow("above top clamps") << mapped_t{T0 - 150, 9.0, 275.0, 10.0};
        QTest::newRow("below bottom clamps") << mapped_t{T0 - 450, -70.0, 125.0, 110.0};
    }
    void scaleMapsBothWaysAndClamps()
    {
        QFETCH(mapped_t, m);
        const timePlotScale_t s(QRectF(50, 10, 300, 100), T0, 600.0, -5.0, 5.0);
        QVERIFY(near(s.timeToX(m.time), m.x) && near(s.xToTime(m.x), m.time));
        QVERIFY(near(s.valueToY(m.value), m.y));
        if (m.value >= s.bottom() && m.value <= s.top())
            QVERIFY(near(s.yToValue(m.y), m.value));
    }

    // Degenerate scales give edges rather than NaN or infinities that would break painting.
    void degenerateScaleStaysOnThePlot()
    {
        const timePlotScale_t s(QRectF(0, 0, 100, 50), T0, 0.0, 3.0, 3.0);
        QCOMPARE(s.timeToX(T0 - 10), 100.0);
        QCOMPARE(s.valueToY(3.0), 50.0);
        QCOMPARE(s.valueToY(std::nan("")), 50.0);
        QVERIFY(std::isfinite(timePlotScale_t().xToTime(5.0)));
    }

    // A series never holds more than MaxSamples, keeps the newest, and starts again when time runs back.
    void historyIsBounded()
    {
        timePlot_t plot;
        const int s = plot.addSeries(QStringLiteral("a"), Qt::red);
        for (int i = 0; i < timePlot_t::MaxSamples + 300; ++i)
            plot.addSample(s, T0 + i, i);
        QCOMPARE(plot.sampleCount(s), timePlot_t::MaxSamples);
        QCOMPARE(plot.newestValue(s), double(timePlot_t::MaxSamples + 299));
        plot.addSample(s, T0, 7.0);
        QCOMPARE(plot.sampleCount(s), 1);
        plot.clear();
        QCOMPARE(plot.sampleCount(s), 0);
        QCOMPARE(plot.seriesCount(), 1);
    }

    // Auto range: a round top over what is in view (older samples do not count), never below the floor.
    void autoRangeFollowsTheSamplesInView_data()
    {
        QTest::addColumn<range_t>("r");
        QTest::newRow("floor wins") << range_t{0.0, 0.3, false, 0.0, 2.0};
        QTest::newRow("rounds up") << range_t{0.0, 3.3, false, 0.0, 4.0};
        QTest::newRow("older than span ignored") << range_t{90.0, 1.0, false, 0.0, 2.0};
        QTest::newRow("round value gets headroom") << range_t{0.0, 20.0, false, 0.0, 25.0};
        QTest::newRow("symmetric") << range_t{0.0, -7.0, true, -8.0, 8.0};
    }
    void autoRangeFollowsTheSamplesInView()
    {
        QFETCH(range_t, r);
        timePlot_t plot;
        plot.resize(600, 120);
        plot.setAutoRange(2.0, r.symmetric);
        const int s = plot.addSeries(QString(), Qt::blue);
        plot.addSample(s, T0 - 2000, r.old);
        plot.addSample(s, T0 - 10, r.recent);
        plot.setNow(T0);
        QCOMPARE(plot.scale().bottom(), r.bottom);
        QCOMPARE(plot.scale().top(), r.top);
    }
};

QTEST_MAIN(tst_timePlot)
#include "tst_timePlot.moc"
