#include "accuracyFixture.h"

#include "accuracy/dlgAllErrorEllipse.h"
#include "accuracy/dlgErrorEllipseConfig.h"

#include <belrix_common_qt_gui/errorEllipseWidget.h>

using namespace accuracyTest;
using namespace orvane::qc;
using belrix_common_qt_gui::errorEllipseWidget_t;

class tst_dlgAllErrorEllipse : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void init()
    {
        m_fleet.reset(new fleet_t);
        m_window.reset(new dlgAllErrorEllipse_t(m_fleet->context.get(), nullptr));
    }
    void cleanup()
    {
        m_window.reset();
        m_fleet.reset();
    }

    void plotsEveryReportingDevice_data();
    void plotsEveryReportingDevice();
    void storedSettings_data();
    void storedSettings();

private:
    errorEllipseWidget_t* plot() const { return m_window->findChild<errorEllipseWidget_t*>(); }

    std::unique_ptr<fleet_t> m_fleet;
    std::unique_ptr<dlgAllErrorEllipse_t> m_window;
};

void tst_dlgAllErrorEllipse::plotsEveryReportingDevice_data()
{
    QTest::addColumn<QString>("second");   // what is wrong with the second device
    QTest::addColumn<int>("ellipses");
    QTest::addColumn<double>("range");

    QTest::newRow("both report") << QString() << 2 << 50.0;
    QTest::newRow("no orientation") << "orientation" << 1 << 0.5;
    QTest::newRow("not an input") << "input" << 1 << 0.5;
    QTest::newRow("no port") << "port" << 1 << 0.5;
    QTest::newRow("stale statistics") << "stale" << 1 << 0.5;
    QTest::newRow("none report: the smallest range") << "none" << 0 << 0.01;
}

void tst_dlgAllErrorEllipse::plotsEveryReportingDevice()
{
    QFETCH(QString, second);
    QFETCH(int, ellipses);
    QFETCH(double, range);

    if (second != QLatin1String("none"))
        fleet_t::setStats(m_fleet->add("GNSS 1", 1, QColor("#d62728")), 0.5, 120.0f, 0.3f, 0.2f);
    orvane::device_t* other =
        m_fleet->add("GNSS 2", 2, QColor("#1f77b4"), orvane::capFullReceiver, second != QLatin1String("port"));
    if (second != QLatin1String("port") && second != QLatin1String("none"))
        fleet_t::setStats(other, second == QLatin1String("stale") ? 3.0 : 0.0, 0.0f, 40.0f, 20.0f,
                          second != QLatin1String("orientation"));
    if (second == QLatin1String("input"))
        other->remoteDevice()->setInput(false);

    m_window->handleClockTimeout();
    QCOMPARE(plot()->ellipses().size(), ellipses);
    if (ellipses > 0) {
        errorEllipseWidget_t::ellipse_t const first = plot()->ellipses().first();
        QCOMPARE(first.color, QColor("#d62728"));
        QVERIFY(close(first.orientation, 120.0, 1e-4));
        QVERIFY(close(first.semiMajor, 0.3, 1e-6));
        QCOMPARE(first.range, 1.0);   // scaled after the ellipses: they take it on the next tick
    }
    if (ellipses > 1)
        QCOMPARE(plot()->ellipses().at(1).color, QColor("#1f77b4"));
    // the largest ellipse sets the range, up or down
    QCOMPARE(m_window->configSettings().range, range);
    QCOMPARE(plot()->range(), range);
    m_window->handleClockTimeout();
    if (ellipses > 0)
        QCOMPARE(plot()->ellipses().first().range, range);
}

void tst_dlgAllErrorEllipse::storedSettings_data()
{
    QTest::addColumn<QString>("dropped");
    QTest::addColumn<bool>("loaded");

    QTest::newRow("every key") << QString() << true;
    QTest::newRow("no labels: nothing") << "labels" << false;
}

void tst_dlgAllErrorEllipse::storedSettings()
{
    QFETCH(QString, dropped);
    QFETCH(bool, loaded);

    errorEllipseConfigSettings_t stored;
    stored.range = 200.0;
    stored.autoScale = false;
    stored.labels = 2;
    m_window->setConfigSettings(stored);
    m_window->resize(450, 480);
    tolvconfig::config_t config;
    m_window->saveSettings(config, -1);
    QVERIFY(config.hasKey("dlgAllErrorEllipse.range"));
    if (!dropped.isEmpty())
        QVERIFY(config.removeValue(m_window->outputKey(dropped.toStdString(), -1)));

    dlgAllErrorEllipse_t other(m_fleet->context.get(), nullptr);
    other.loadSettings(config, -1);
    QCOMPARE(other.configSettings(), loaded ? stored : errorEllipseConfigSettings_t());
    QCOMPARE(other.size() == QSize(450, 480), loaded);
    // the settings dialog starts from the window's record, and OK hands it back
    QSignalSpy modified(&other, &orvane::orvaneDialog_t::configurationModified);
    other.findChild<QPushButton*>("settingsButton")->click();
    other.findChild<dlgErrorEllipseConfig_t*>()->submit();
    QCOMPARE(modified.size(), 1);
    QCOMPARE(other.configSettings(), loaded ? stored : errorEllipseConfigSettings_t());
    other.useDefaults();
    guiSettings_t::get()->setDistanceUnit(belrix_common_qt::distanceUnitUsSurveyFeet);
    QCOMPARE(label(&other, "rangeLabel"), QStringLiteral("(Auto) 3.28 ftUS"));
}

QTEST_MAIN(tst_dlgAllErrorEllipse)
#include "tst_dlgAllErrorEllipse.moc"
