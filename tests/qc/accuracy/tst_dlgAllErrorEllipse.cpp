#include "accuracyFixture.h"

#include "accuracy/dlgAllErrorEllipse.h"

#include <belrix_common_qt_gui/errorEllipseWidget.h>
#include <belrix_common_qt_gui/guiSettings.h>
#include <tolvconfig/config.h>

#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QtTest>

using namespace orvane::qc;
using namespace accuracyTest;
using belrix_common_qt_gui::errorEllipseWidget_t;
using belrix_common_qt_gui::guiSettings_t;

class tst_dlgAllErrorEllipse : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void init();
    void cleanup();

    void form();
    void everyReportingDeviceInItsColour();
    void devicesLeftOut_data();
    void devicesLeftOut();
    void emptyPlotShrinksToTheSmallestRange();
    void rangeReachesTheEllipsesOnTheNextTick();
    void rangeCaptionFollowsTheDistanceUnit();
    void loadingNeedsEveryKey_data();
    void loadingNeedsEveryKey();

private:
    QString rangeCaption() const { return m_window->findChild<QLabel*>("rangeLabel")->text(); }
    errorEllipseWidget_t* plot() const { return m_window->findChild<errorEllipseWidget_t*>("errorEllipseWidget"); }

    std::unique_ptr<fleet_t> m_fleet;
    std::unique_ptr<dlgAllErrorEllipse_t> m_window;
};

void tst_dlgAllErrorEllipse::init()
{
    m_fleet.reset(new fleet_t);
    m_window.reset(new dlgAllErrorEllipse_t(m_fleet->context.get(), nullptr));
}

void tst_dlgAllErrorEllipse::cleanup()
{
    m_window.reset();
    m_fleet.reset();
    guiSettings_t::get()->useDefaults();
}

void tst_dlgAllErrorEllipse::form()
{
    QCOMPARE(m_window->objectName(), QStringLiteral("dlgAllErrorEllipse"));
    QCOMPARE(m_window->windowTitle(), QStringLiteral("All Error Ellipses"));
    QCOMPARE(m_window->size(), QSize(389, 403));
    QCOMPARE(m_window->findChild<QLabel*>("label")->text(), QStringLiteral("Range:"));
    QCOMPARE(rangeCaption(), QStringLiteral("(Auto) 1.00 m"));
    auto* box = m_window->findChild<QDialogButtonBox*>("buttonBox");
    QCOMPARE(box->buttons().size(), 1);
    QCOMPARE(box->buttons().first()->text(), QStringLiteral("Settings"));
    QCOMPARE(QString::fromStdString(m_window->outputKey("range", -1)), QStringLiteral("dlgAllErrorEllipse.range"));
}

void tst_dlgAllErrorEllipse::everyReportingDeviceInItsColour()
{
    orvane::device_t* first = m_fleet->add("GNSS 1", 1, 0x5f, QColor("#1f77b4"));
    orvane::device_t* second = m_fleet->add("GNSS 2", 2, 0x5f, QColor("#d62728"));
    fleet_t::setStats(first, 0.5, 10.0f, 0.4f, 0.2f);
    fleet_t::setStats(second, 1.0, 120.0f, 6.0f, 2.0f);
    m_window->handleClockTimeout();

    const QList<errorEllipseWidget_t::ellipse_t> ellipses = plot()->ellipses();
    QCOMPARE(ellipses.size(), 2);
    QCOMPARE(ellipses.at(0).color, QColor("#1f77b4"));
    QCOMPARE(ellipses.at(1).color, QColor("#d62728"));
    QVERIFY(close(ellipses.at(1).orientation, 120.0, 1e-4));
    // the first entry strictly greater than the larger semi-major axis
    QCOMPARE(m_window->configSettings().range, 10.0);
    QCOMPARE(rangeCaption(), QStringLiteral("(Auto) 10.00 m"));
}

void tst_dlgAllErrorEllipse::devicesLeftOut_data()
{
    QTest::addColumn<QString>("why");
    QTest::newRow("no orientation") << "orientation";
    QTest::newRow("not an input") << "input";
    QTest::newRow("no port") << "port";
    QTest::newRow("stale statistics") << "stale";
}

void tst_dlgAllErrorEllipse::devicesLeftOut()
{
    QFETCH(QString, why);
    orvane::device_t* good = m_fleet->add("GNSS 1", 1);
    fleet_t::setStats(good, 0.0, 0.0f, 0.3f, 0.2f);
    orvane::device_t* left = m_fleet->add("GNSS 2", 2, 0x5f, Qt::red, why != QLatin1String("port"));
    if (why == QLatin1String("orientation"))
        fleet_t::setStats(left, 0.0, 0.0f, 40.0f, 20.0f, false);
    else if (why == QLatin1String("input")) {
        fleet_t::setStats(left, 0.0, 0.0f, 40.0f, 20.0f);
        left->remoteDevice()->setInput(false);
    } else if (why == QLatin1String("stale"))
        fleet_t::setStats(left, 3.0, 0.0f, 40.0f, 20.0f);

    m_window->handleClockTimeout();
    QCOMPARE(plot()->ellipses().size(), 1);
    // nor does it count for scaling
    QCOMPARE(m_window->configSettings().range, 0.5);
}

void tst_dlgAllErrorEllipse::emptyPlotShrinksToTheSmallestRange()
{
    errorEllipseConfigSettings_t settings;
    settings.range = 500.0;
    m_window->setConfigSettings(settings);
    m_window->handleClockTimeout();
    QVERIFY(plot()->ellipses().isEmpty());
    QCOMPARE(rangeCaption(), QStringLiteral("(Auto) 0.01 m"));

    settings.autoScale = false;
    m_window->setConfigSettings(settings);
    m_window->handleClockTimeout();
    QCOMPARE(rangeCaption(), QStringLiteral("500.00 m"));
}

void tst_dlgAllErrorEllipse::rangeReachesTheEllipsesOnTheNextTick()
{
    orvane::device_t* gnss = m_fleet->add("GNSS 1", 1);
    fleet_t::setStats(gnss, 0.0, 0.0f, 3.0f, 1.0f);
    m_window->handleClockTimeout();
    QCOMPARE(plot()->ellipses().first().range, 1.0);   // the range before this tick's scaling
    QCOMPARE(plot()->range(), 5.0);
    m_window->handleClockTimeout();
    QCOMPARE(plot()->ellipses().first().range, 5.0);
}

void tst_dlgAllErrorEllipse::rangeCaptionFollowsTheDistanceUnit()
{
    guiSettings_t::get()->setDistanceUnit(belrix_common_qt::distanceUnitUsSurveyFeet);
    QCOMPARE(rangeCaption(), QStringLiteral("(Auto) 3.28 ftUS"));
}

void tst_dlgAllErrorEllipse::loadingNeedsEveryKey_data()
{
    QTest::addColumn<QString>("dropped");
    QTest::addColumn<bool>("loaded");

    QTest::newRow("all keys") << QString() << true;
    QTest::newRow("no range") << "range" << false;
    QTest::newRow("no auto_scale") << "auto_scale" << false;
    QTest::newRow("no labels") << "labels" << false;
}

void tst_dlgAllErrorEllipse::loadingNeedsEveryKey()
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
    if (!dropped.isEmpty())
        QVERIFY(config.removeValue(m_window->outputKey(dropped.toStdString(), -1)));

    dlgAllErrorEllipse_t other(m_fleet->context.get(), nullptr);
    other.loadSettings(config, -1);
    QCOMPARE(other.configSettings() == stored, loaded);
    QCOMPARE(other.configSettings() == errorEllipseConfigSettings_t(), !loaded);
    QCOMPARE(other.size() == QSize(450, 480), loaded);
}

QTEST_MAIN(tst_dlgAllErrorEllipse)
#include "tst_dlgAllErrorEllipse.moc"
