#include "forecastFixture.h"

#include "forecast/dlgSatelliteCalculation.h"
#include "forecast/dlgSatelliteCalculationConfig.h"
#include "forecast/dlgSatelliteForecast.h"

#include <belrix_common_qt/textFormat.h>
#include <belrix_common_qt_gui/forecastGraph.h>

#include <QtTest>
#include <QtWidgets>

using namespace orvane::qc;
using namespace forecastTest;
using belrix_common_qt::TimeFormatString;
using belrix_common_qt_gui::forecastGraph_t;
using belrix_common_qt_gui::guiSettings_t;

namespace {

// The forecast windows with their protected operations in reach.
template <typename window_t>
class exposed_t : public window_t
{
public:
    using window_t::window_t;
    using window_t::configSettings;
    using window_t::handleClockTimeout;
    using window_t::initialized;
    using window_t::setConfigSettings;
};
using forecast_t = exposed_t<dlgSatelliteForecast_t>;
using calculation_t = exposed_t<dlgSatelliteCalculation_t>;

QList<forecastGraph_t*> graphs(QWidget const& window) { return window.findChildren<forecastGraph_t*>(); }
QString label(QWidget const& window, char const* name) { return window.findChild<QLabel*>(name)->text(); }
QTimer* timer(QWidget const& window, char const* name) { return window.findChild<QTimer*>(name); }
void fire(QTimer* timer) { QMetaObject::invokeMethod(timer, "timeout"); }

// Runs the forecast loop, which waits for the event loop, to its end.
void finish(QWidget const& window)
{
    QTimer* slice = timer(window, "sliceTimer");
    for (int i = 0; i < 10000 && slice->isActive(); ++i)
        fire(slice);
    QVERIFY(!slice->isActive());
}

// The host's clock tick, and the loop it starts.
template <typename window_t>
void tick(window_t& window)
{
    window.handleClockTimeout();
    finish(window);
}

QString localTime(double utc)
{
    return QDateTime::fromSecsSinceEpoch(qint64(utc) + guiSettings_t::get()->utcOffset(), Qt::UTC)
        .toString(TimeFormatString);
}

// Gives graph i a plot of widths[i] samples across.
void setDataWidths(QWidget const& window, QList<int> const& widths)
{
    const QList<forecastGraph_t*> all = graphs(window);
    for (int i = 0; i < all.size(); ++i) {
        all[i]->resize(1000, 120);
        const int frame = 1000 - all[i]->dataWidth();
        all[i]->resize(widths.value(i, 10) + frame, 120);
    }
}

} // namespace

// Where the forecaster can forecast (from the span's start), and what the graphs then show.
struct validity_t { double validFrom, validUntil; bool almanac; int samples; QString message; };
Q_DECLARE_METATYPE(validity_t)

struct sampling_t { int hours; QList<int> widths; int step; };
Q_DECLARE_METATYPE(sampling_t)

struct waiting_t { double positionAge; bool height, initialized; };
Q_DECLARE_METATYPE(waiting_t)

class tst_dlgSatelliteForecast : public QObject
{
    Q_OBJECT

private slots:
    // The span is sampled at about the widest graph's width, never fewer than 60 samples.
    void samplingStepFollowsTheWidestGraph_data()
    {
        QTest::addColumn<sampling_t>("c");
        QTest::newRow("6 h on 500 points") << sampling_t{6, QList<int>{100, 300, 500, 20}, 43};
        QTest::newRow("6 h on graphs under 60 points") << sampling_t{6, QList<int>{40, 59, 10, 0}, 360};
        QTest::newRow("1 week on 500 points") << sampling_t{168, QList<int>{500, 500, 120, 500}, 1209};
    }
    void samplingStepFollowsTheWidestGraph()
    {
        QFETCH(sampling_t, c);
        fixture_t f;
        f.report();
        forecast_t window(f.context.get(), f.device.get());
        tick(window);
        QVERIFY(window.initialized());
        setDataWidths(window, c.widths);
        satelliteCalculationConfigSettings_t s = window.configSettings();
        s.durationHours = c.hours;
        f.forecaster.forecastTimes.clear();
        window.setConfigSettings(s);
        finish(window);

        QVector<double> const& times = f.forecaster.forecastTimes;
        const double start = double(s.startTime.toSecsSinceEpoch());
        const int span = c.hours * 3600;
        QCOMPARE(times.size(), (span + c.step - 1) / c.step);
        QCOMPARE(times.first(), start);
        QCOMPARE(times.at(1) - times.at(0), double(c.step));
        QVERIFY(times.last() < start + span);
        for (forecastGraph_t* graph : graphs(window)) {
            QCOMPARE(graph->points().size(), times.size());
            QCOMPARE(graph->endTime(), start + span);
        }
    }

    // The loop stops at the first time the forecaster cannot forecast; the window says why
    // it has nothing at all to show.
    void forecastStopsWhereTheAlmanacEnds_data()
    {
        QTest::addColumn<validity_t>("v");
        const double step = 360.0;   // 6 h on narrow graphs
        QTest::newRow("valid throughout") << validity_t{0.0, 1e9, true, 60, QString()};
        QTest::newRow("invalid after ten steps") << validity_t{0.0, 10 * step + 1, true, 11, QString()};
        QTest::newRow("start not covered") << validity_t{1.0, 1e9, true, 0, "not cover"};
        QTest::newRow("no almanac at all") << validity_t{1e9, 1e9, false, 0, "No almanac"};
    }
    void forecastStopsWhereTheAlmanacEnds()
    {
        QFETCH(validity_t, v);
        fixture_t f;
        if (!v.almanac)
            f.gps()->clear();
        const double start = double(qint64(T0 - 7200.0));
        f.forecaster.validFrom = start + v.validFrom;
        f.forecaster.validUntil = start + v.validUntil;
        f.report();
        forecast_t window(f.context.get(), f.device.get());
        setDataWidths(window, {});
        tick(window);
        for (forecastGraph_t* graph : graphs(window)) {
            QCOMPARE(graph->points().size(), v.samples);
            if (v.samples > 0)
                QCOMPARE(graph->points().last().time, start + (v.samples - 1) * 360.0);
            QVERIFY2(v.message.isEmpty() ? graph->message().isEmpty() : graph->message().contains(v.message),
                     qPrintable(graph->message()));
        }
    }

    // Nothing is drawn until latitude, longitude and height are all current; then the
    // labels show the inputs, the start in the user's local time.
    void forecastWaitsForACurrentPositionAndHeight_data()
    {
        QTest::addColumn<waiting_t>("w");
        QTest::newRow("position and height") << waiting_t{0.0, true, true};
        QTest::newRow("height never received") << waiting_t{0.0, false, false};
        QTest::newRow("position 4 s old") << waiting_t{4.0, true, false};
    }
    void forecastWaitsForACurrentPositionAndHeight()
    {
        QFETCH(waiting_t, w);
        fixture_t f;
        guiSettings_t::get()->setUtcOffset(3600);
        f.report(w.positionAge, w.height);
        forecast_t window(f.context.get(), f.device.get());
        tick(window);
        QCOMPARE(window.initialized(), w.initialized);
        QCOMPARE(f.forecaster.forecastTimes.isEmpty(), !w.initialized);
        if (!w.initialized) {
            QCOMPARE(label(window, "startTimeLabel"), QStringLiteral("--"));
            QVERIFY(graphs(window).first()->message().contains("Waiting"));
            return;
        }
        QCOMPARE(label(window, "heightLabel"), QStringLiteral("42.00 m"));
        QCOMPARE(label(window, "elevMaskLabel"), QStringLiteral("10"));
        QCOMPARE(label(window, "startTimeLabel"), localTime(T0 - 7200.0));
        QCOMPARE(label(window, "endTimeLabel"), localTime(T0 + 4 * 3600.0));
        QCOMPARE(f.forecaster.height, 42.0);
        QVERIFY(qAbs(f.forecaster.mask - 10.0 * belrix_common_qt::Pi / 180.0) < 1e-12);
    }

    // Before now the graphs show what the device reported, beside the forecast; every five
    // minutes the span moves with the present.
    void pastPartShowsWhatTheDeviceReported()
    {
        fixture_t f;
        f.report();
        forecast_t window(f.context.get(), f.device.get());
        f.data()->setSatellitesUsed({9u, T0});
        f.data()->setHdop({1.5f, T0});
        tick(window);
        belrix_common_qt::dataClock_t::setTime(T0 + 10.0);
        f.report();
        f.data()->setSatellitesUsed({11u, T0 + 10.0});
        tick(window);
        QTimer* refresh = timer(window, "refreshTimer");
        QVERIFY(refresh->isActive() && refresh->interval() == 300000);
        QCOMPARE(label(window, "startTimeLabel"), localTime(T0 - 7200.0));   // until the refresh
        fire(refresh);
        finish(window);
        QCOMPARE(label(window, "startTimeLabel"), localTime(T0 + 10.0 - 7200.0));
        const QList<forecastGraph_t*> all = graphs(window);
        QCOMPARE(all.at(0)->history(), (QVector<QPointF>{{T0, 9.0}, {T0 + 10.0, 11.0}}));
        QCOMPARE(all.at(1)->history().first(), QPointF(T0, 1.5));
        QVERIFY(std::isnan(all.at(1)->history().last().y()));   // HDOP stale by then
        QCOMPARE(all.at(0)->now(), T0 + 10.0);
    }

    // The calculation starts now for a day, draws the span chosen in its settings, and
    // recomputes it, once, after a resize.
    void calculationDrawsTheChosenSpan()
    {
        fixture_t f;
        f.report();
        calculation_t window(f.context.get(), f.device.get());
        setDataWidths(window, {});
        tick(window);
        QCOMPARE(label(window, "endTimeLabel"), localTime(T0 + 86400.0));
        QVERIFY(!timer(window, "refreshTimer")->isActive());   // a span of its own: no refresh
        auto* config = window.findChild<dlgSatelliteCalculationConfig_t*>();
        auto* duration = config->findChild<QComboBox*>("durationCombo");
        auto* buttons = config->findChild<QDialogButtonBox*>("buttonBox");
        window.findChild<QPushButton*>("settingsButton")->click();
        QVERIFY(config->isVisible());
        duration->setCurrentIndex(1);
        buttons->button(QDialogButtonBox::Ok)->click();
        finish(window);
        QCOMPARE(window.configSettings().durationHours, 168);
        QCOMPARE(label(window, "endTimeLabel"), localTime(T0 + 7 * 86400.0));
        QCOMPARE(f.forecaster.forecastTimes.last(), T0 + 59 * 10080.0);

        // abandoned edits are not shown again, and change nothing
        window.findChild<QPushButton*>("settingsButton")->click();
        duration->setCurrentIndex(0);
        buttons->button(QDialogButtonBox::Cancel)->click();
        window.findChild<QPushButton*>("settingsButton")->click();
        QCOMPARE(duration->currentIndex(), 1);

        // a drag of the window's edge recomputes once, half a second after it stops
        const int runs = f.forecaster.forecastTimes.size();
        for (int w = 750; w < 760; ++w) {
            QResizeEvent resize(QSize(w, 630), QSize(w - 1, 630));
            QApplication::sendEvent(&window, &resize);
        }
        QTimer* pending = timer(window, "resizeTimer");
        QVERIFY(pending->isActive() && pending->isSingleShot() && pending->interval() == 500);
        fire(pending);
        finish(window);
        QCOMPARE(f.forecaster.forecastTimes.size(), runs + 60);
        QCOMPARE(graphs(window).first()->endTime(), T0 + 7 * 86400.0);
    }
};

QTEST_MAIN(tst_dlgSatelliteForecast)
#include "tst_dlgSatelliteForecast.moc"
