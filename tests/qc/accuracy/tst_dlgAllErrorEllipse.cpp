#include "accuracyFixture.h"

#include "accuracy/dlgAllErrorEllipse.h"
#include "accuracy/dlgErrorEllipseConfig.h"

#include <belrix_common_qt_gui/errorEllipseWidget.h>

using namespace accuracyTest;
using namespace orvane::qc;
using belrix_common_qt_gui::errorEllipseWidget_t;

// What is wrong with the second device, and what the plot then shows.
struct fleetCase_t { QString second; int ellipses; double range; };
Q_DECLARE_METATYPE(fleetCase_t)

class tst_dlgAllErrorEllipse : public QObject
{
    Q_OBJECT

private slots:

    void plotsEveryReportingDevice_data()
    {
        QTest::addColumn<fleetCase_t>("c");
        QTest::newRow("both report") << fleetCase_t{QString(), 2, 50.0};
        QTest::newRow("no orientation") << fleetCase_t{"orientation", 1, 0.5};
        QTest::newRow("not an input") << fleetCase_t{"input", 1, 0.5};
        QTest::newRow("no port") << fleetCase_t{"port", 1, 0.5};
        QTest::newRow("none report: the smallest range") << fleetCase_t{"none", 0, 0.01};
    }

    void plotsEveryReportingDevice()
    {
        QFETCH(fleetCase_t, c);
        fleet_t fleet;
        dlgAllErrorEllipse_t window(fleet.context.get(), nullptr);
        auto* plot = window.findChild<errorEllipseWidget_t*>();
        if (c.second != QLatin1String("none"))
            fleet_t::setStats(fleet.add("GNSS 1", 1, QColor("#d62728")), 0.5, 120.0f, 0.3f, 0.2f);
        orvane::device_t* other =
            fleet.add("GNSS 2", 2, QColor("#1f77b4"), orvane::capFullReceiver, c.second != QLatin1String("port"));
        if (c.second != QLatin1String("port") && c.second != QLatin1String("none"))
            fleet_t::setStats(other, 0.0, 0.0f, 40.0f, 20.0f, c.second != QLatin1String("orientation"));
        if (c.second == QLatin1String("input"))
            other->remoteDevice()->setInput(false);

        window.handleClockTimeout();
        QCOMPARE(plot->ellipses().size(), c.ellipses);
        if (c.ellipses > 0) {
            errorEllipseWidget_t::ellipse_t const first = plot->ellipses().first();
            QCOMPARE(first.color, QColor("#d62728"));
            QVERIFY(close(first.orientation, 120.0, 1e-4));
            QVERIFY(close(first.semiMajor, 0.3, 1e-6));
            QCOMPARE(first.range, 1.0);   // scaled after the ellipses: they take it on the next tick
        }
        // the largest ellipse sets the range, up or down
        QCOMPARE(window.configSettings().range, c.range);
        window.handleClockTimeout();
        if (c.ellipses > 0)
            QCOMPARE(plot->ellipses().first().range, c.range);
    }

    void storedSettingsReachTheDialogAndBack()
    {
        fleet_t fleet;
        dlgAllErrorEllipse_t window(fleet.context.get(), nullptr);
        errorEllipseConfigSettings_t stored;
        stored.range = 200.0;
        stored.autoScale = false;
        stored.labels = 2;
        window.setConfigSettings(stored);
        tolvconfig::config_t config;
        window.saveSettings(config, -1);
        dlgAllErrorEllipse_t other(fleet.context.get(), nullptr);
        other.loadSettings(config, -1);
        QSignalSpy modified(&other, &orvane::orvaneDialog_t::configurationModified);
        other.findChild<QPushButton*>("settingsButton")->click();
        other.findChild<dlgErrorEllipseConfig_t*>()->submit();
        QCOMPARE(modified.size(), 1);
        QCOMPARE(other.configSettings(), stored);
    }
};

QTEST_MAIN(tst_dlgAllErrorEllipse)
#include "tst_dlgAllErrorEllipse.moc"
