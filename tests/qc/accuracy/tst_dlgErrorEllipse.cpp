#include "accuracyFixture.h"

#include "accuracy/dlgErrorEllipse.h"
#include "accuracy/dlgErrorEllipseConfig.h"

#include <belrix_common_qt/textFormat.h>
#include <belrix_common_qt_gui/distanceEdit.h>
#include <belrix_common_qt_gui/errorEllipseWidget.h>
#include <belrix_common_qt_gui/guiSettings.h>
#include <orvane/splitter.h>
#include <tolvconfig/config.h>
#include <tolvconfig/configCodec.h>

#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

using namespace orvane::qc;
using namespace accuracyTest;
using belrix_common_qt::NoDataString;
using belrix_common_qt_gui::distanceEdit_t;
using belrix_common_qt_gui::errorEllipseWidget_t;
using belrix_common_qt_gui::guiSettings_t;

class tst_dlgErrorEllipse : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void init();
    void cleanup();

    void freshWindowReadsNmea();
    void toggleShowsImcaAtOnce_data();
    void toggleShowsImcaAtOnce();
    void nmeaTickDrawsTheEllipseInTheDeviceColour();
    void statisticsMustBeRecent_data();
    void statisticsMustBeRecent();
    void errorsWithoutAnOrientation();
    void autoScaleFollowsTheEllipseBothWays();
    void withoutAutoScaleTheEllipseIsPassedUnchanged();
    void noDataModelOrNoInputChangesNothing();
    void rangeCaptionFollowsTheDistanceUnit();

    void configDialogGreysTheRangeWhileAuto();
    void configDialogStoresMetres();
    void configDialogCancelOnlyHides();

    void settingsRoundTrip();
    void loadingGatedByKeys_data();
    void loadingGatedByKeys();
    void splitterLoadsEvenWhenTheRecordDoesNot();

private:
    dlgErrorEllipse_t* window() const { return m_window; }
    QString label(char const* name) const { return m_window->findChild<QLabel*>(name)->text(); }
    errorEllipseWidget_t* plot() const { return m_window->findChild<errorEllipseWidget_t*>("errorEllipseWidget"); }
    dlgErrorEllipseConfig_t* configDialog() const { return m_window->findChild<dlgErrorEllipseConfig_t*>(); }
    void addSummary(double age, float unitVariance = 1.25f);

    std::unique_ptr<fleet_t> m_fleet;
    orvane::device_t* m_device = nullptr;
    dlgErrorEllipse_t* m_window = nullptr;
};

void tst_dlgErrorEllipse::init()
{
    m_fleet.reset(new fleet_t);
    m_device = m_fleet->add("GNSS 1", 1, 0x5f, QColor("#d62728"));
    m_window = new dlgErrorEllipse_t(m_fleet->context.get(), m_device);
}

void tst_dlgErrorEllipse::cleanup()
{
    m_fleet.reset();   // the window goes with its device
    m_window = nullptr;
    guiSettings_t::get()->useDefaults();
}

void tst_dlgErrorEllipse::addSummary(double age, float unitVariance)
{
    belrix_common_qt::qcSummary_t summary;
    summary.unitVariance = unitVariance;
    summary.semiMajor = 3.0f;
    summary.semiMinor = 1.0f;
    summary.orientation = float(Pi / 2.0);
    summary.latError = 1.111f;
    summary.lonError = 2.222f;
    summary.heightError = 3.333f;
    m_device->remoteDevice()->qcDataStore()->addSummary(T0 - age, summary);
}

void tst_dlgErrorEllipse::freshWindowReadsNmea()
{
    QVERIFY(window()->raimMode());
    QCOMPARE(label("modeLabel"), QStringLiteral("NMEA"));
    QCOMPARE(label("unitVarianceLabel"), QStringLiteral("N/A"));
    QCOMPARE(label("rangeLabel"), QStringLiteral("(Auto) 1.00 m"));
    QCOMPARE(window()->configSettings(), errorEllipseConfigSettings_t());
}

void tst_dlgErrorEllipse::toggleShowsImcaAtOnce_data()
{
    QTest::addColumn<bool>("withSummary");
    QTest::newRow("summary present") << true;
    QTest::newRow("no summary") << false;
}

void tst_dlgErrorEllipse::toggleShowsImcaAtOnce()
{
    QFETCH(bool, withSummary);
    if (withSummary)
        addSummary(1.0);
    QSignalSpy modified(window(), &orvane::orvaneDialog_t::configurationModified);
    window()->findChild<QPushButton*>("toggleButton")->click();

    QVERIFY(!window()->raimMode());
    QCOMPARE(modified.size(), 1);
    QCOMPARE(label("modeLabel"), QStringLiteral("IMCA"));
    if (withSummary) {
        QCOMPARE(label("unitVarianceLabel"), QStringLiteral("1.25"));
        QCOMPARE(label("latErrorLabel"), QStringLiteral("1.11"));
        QCOMPARE(label("heightErrorLabel"), QStringLiteral("3.33"));
        QCOMPARE(plot()->ellipses().size(), 1);
        QVERIFY(close(plot()->ellipses().first().orientation, 90.0, 1e-4));
        QCOMPARE(window()->configSettings().range, 5.0);
    } else {
        for (char const* name : {"unitVarianceLabel", "latErrorLabel", "lonErrorLabel", "heightErrorLabel"})
            QCOMPARE(label(name), NoDataString);
        QVERIFY(plot()->ellipses().isEmpty());
    }

    window()->toggle();
    QCOMPARE(label("modeLabel"), QStringLiteral("NMEA"));
    QCOMPARE(label("unitVarianceLabel"), QStringLiteral("N/A"));
}

void tst_dlgErrorEllipse::nmeaTickDrawsTheEllipseInTheDeviceColour()
{
    fleet_t::setStats(m_device, 1.0, 30.0f, 2.5f, 1.5f);
    window()->handleClockTimeout();
    QCOMPARE(plot()->ellipses().size(), 1);
    errorEllipseWidget_t::ellipse_t const ellipse = plot()->ellipses().first();
    QVERIFY(close(ellipse.orientation, 30.0, 1e-4));
    QVERIFY(close(ellipse.semiMajor, 2.5, 1e-6));
    QVERIFY(close(ellipse.semiMinor, 1.5, 1e-6));
    QCOMPARE(ellipse.range, 5.0);   // scaled before the ellipse was added
    QCOMPARE(ellipse.color, QColor("#d62728"));
    QCOMPARE(plot()->range(), 5.0);
    QCOMPARE(label("rangeLabel"), QStringLiteral("(Auto) 5.00 m"));
    QCOMPARE(label("latErrorLabel"), QStringLiteral("0.31"));
    QCOMPARE(label("lonErrorLabel"), QStringLiteral("0.42"));
    QCOMPARE(label("heightErrorLabel"), QStringLiteral("0.75"));
    QCOMPARE(label("unitVarianceLabel"), QStringLiteral("N/A"));

    // the next tick starts from an empty plot
    window()->handleClockTimeout();
    QCOMPARE(plot()->ellipses().size(), 1);
}

void tst_dlgErrorEllipse::statisticsMustBeRecent_data()
{
    QTest::addColumn<double>("age");
    QTest::addColumn<bool>("drawn");

    QTest::newRow("fresh") << 0.0 << true;
    QTest::newRow("2.9 s") << 2.9 << true;
    QTest::newRow("exactly 3 s") << 3.0 << false;
    QTest::newRow("3.5 s") << 3.5 << false;
    QTest::newRow("from the future") << -3.5 << false;
}

void tst_dlgErrorEllipse::statisticsMustBeRecent()
{
    QFETCH(double, age);
    QFETCH(bool, drawn);
    fleet_t::setStats(m_device, 0.0, 0.0f, 0.5f, 0.5f);
    window()->handleClockTimeout();
    QCOMPARE(plot()->ellipses().size(), 1);

    fleet_t::setStats(m_device, age, 10.0f, 0.5f, 0.5f);
    window()->handleClockTimeout();
    QCOMPARE(plot()->ellipses().size(), drawn ? 1 : 0);
    // stale errors are not left standing beside an empty plot
    QCOMPARE(label("latErrorLabel"), drawn ? QStringLiteral("0.31") : NoDataString);
}

void tst_dlgErrorEllipse::errorsWithoutAnOrientation()
{
    fleet_t::setStats(m_device, 0.0, 0.0f, 2.0f, 1.0f, false);
    belrix_common_qt::pseudorangeStats_t stats = m_device->remoteDevice()->pseudorangeStats().value();
    stats.lonError.reset();
    m_device->remoteDevice()->setPseudorangeStats({stats, T0});
    window()->handleClockTimeout();
    QVERIFY(plot()->ellipses().isEmpty());
    QCOMPARE(label("latErrorLabel"), QStringLiteral("0.31"));
    QCOMPARE(label("lonErrorLabel"), NoDataString);
    QCOMPARE(window()->configSettings().range, 1.0);   // no ellipse, no scaling
}

void tst_dlgErrorEllipse::autoScaleFollowsTheEllipseBothWays()
{
    fleet_t::setStats(m_device, 0.0, 0.0f, 50.0f, 10.0f);   // at a table entry: the next one up
    window()->handleClockTimeout();
    QCOMPARE(window()->configSettings().range, 100.0);
    fleet_t::setStats(m_device, 0.0, 0.0f, 0.3f, 0.1f);
    window()->handleClockTimeout();
    QCOMPARE(window()->configSettings().range, 0.5);
    QCOMPARE(plot()->range(), 0.5);
    fleet_t::setStats(m_device, 0.0, 0.0f, 1.0e6f, 10.0f);   // beyond the table
    window()->handleClockTimeout();
    QCOMPARE(window()->configSettings().range, 100000.0);
}

void tst_dlgErrorEllipse::withoutAutoScaleTheEllipseIsPassedUnchanged()
{
    errorEllipseConfigSettings_t fixed;
    fixed.range = 2.0;
    fixed.autoScale = false;
    fixed.labels = 1;
    window()->setConfigSettings(fixed);
    QCOMPARE(label("rangeLabel"), QStringLiteral("2.00 m"));
    QCOMPARE(plot()->graphLabelType(), 1);

    fleet_t::setStats(m_device, 0.0, 0.0f, 7.0f, 3.0f);
    window()->handleClockTimeout();
    QCOMPARE(window()->configSettings().range, 2.0);
    QCOMPARE(plot()->ellipses().first().semiMajor, 7.0);
    QCOMPARE(plot()->ellipses().first().range, 2.0);
}

void tst_dlgErrorEllipse::noDataModelOrNoInputChangesNothing()
{
    fleet_t::setStats(m_device, 0.0, 0.0f, 2.0f, 1.0f);
    window()->handleClockTimeout();
    m_device->remoteDevice()->setInput(false);
    m_device->remoteDevice()->setPseudorangeStats({});
    window()->handleClockTimeout();
    QVERIFY(plot()->ellipses().isEmpty());
    QCOMPARE(label("latErrorLabel"), QStringLiteral("0.31"));

    orvane::device_t* bare = m_fleet->add("Bare", 2, 0x8, Qt::black, false);
    auto* other = new dlgErrorEllipse_t(m_fleet->context.get(), bare);
    other->setRaimMode(false);
    QCOMPARE(other->findChild<QLabel*>("latErrorLabel")->text(), QStringLiteral("--"));
}

void tst_dlgErrorEllipse::rangeCaptionFollowsTheDistanceUnit()
{
    guiSettings_t::get()->setDistanceUnit(belrix_common_qt::distanceUnitUsSurveyFeet);
    QCOMPARE(label("rangeLabel"), QStringLiteral("(Auto) 3.28 ftUS"));
}

void tst_dlgErrorEllipse::configDialogGreysTheRangeWhileAuto()
{
    fleet_t::setStats(m_device, 0.0, 0.0f, 3.0f, 1.0f);
    window()->handleClockTimeout();   // auto scale chose 5 m
    dlgErrorEllipseConfig_t* config = configDialog();
    QCOMPARE(config->objectName(), QStringLiteral("dlgErrorEllipseConfig"));
    QCOMPARE(config->windowTitle(), QStringLiteral("Error Ellipses Config"));
    QCOMPARE(config->size(), QSize(389, 165));
    window()->findChild<QPushButton*>("settingsButton")->click();
    QVERIFY(config->isVisible());
    auto* rangeEdit = config->findChild<distanceEdit_t*>("rangeEdit");
    auto* autoCombo = config->findChild<QComboBox*>("autoCombo");
    QCOMPARE(autoCombo->currentIndex(), 1);
    QVERIFY(!rangeEdit->isEnabled());
    QCOMPARE(rangeEdit->meters(), 5.0);
    autoCombo->setCurrentIndex(0);
    QVERIFY(rangeEdit->isEnabled());
    autoCombo->setCurrentIndex(1);

    // OK with auto range on still stores the range shown
    QSignalSpy modified(window(), &orvane::orvaneDialog_t::configurationModified);
    config->findChild<QComboBox*>("labelsCombo")->setCurrentIndex(2);
    config->findChild<QDialogButtonBox*>("buttonBox")->button(QDialogButtonBox::Ok)->click();
    QVERIFY(!config->isVisible());
    QCOMPARE(modified.size(), 1);
    QCOMPARE(window()->configSettings().range, 5.0);
    QCOMPARE(window()->configSettings().labels, 2);
    QCOMPARE(plot()->graphLabelType(), 2);
}

void tst_dlgErrorEllipse::configDialogStoresMetres()
{
    guiSettings_t::get()->setDistanceUnit(belrix_common_qt::distanceUnitUsSurveyFeet);
    window()->showConfigSettings();
    dlgErrorEllipseConfig_t* config = configDialog();
    config->findChild<QComboBox*>("autoCombo")->setCurrentIndex(0);
    config->findChild<distanceEdit_t*>("rangeEdit")->setValue(100.0);   // typed: 100 ftUS
    config->submit();
    QVERIFY(close(window()->configSettings().range, 30.48006096, 1e-6));
    QVERIFY(!window()->configSettings().autoScale);

    guiSettings_t::get()->setDistanceUnit(belrix_common_qt::distanceUnitMeters);
    window()->showConfigSettings();
    QCOMPARE(config->findChild<distanceEdit_t*>("rangeEdit")->value(), 30.48);
}

void tst_dlgErrorEllipse::configDialogCancelOnlyHides()
{
    window()->showConfigSettings();
    dlgErrorEllipseConfig_t* config = configDialog();
    config->findChild<QComboBox*>("labelsCombo")->setCurrentIndex(1);
    QSignalSpy modified(window(), &orvane::orvaneDialog_t::configurationModified);
    config->findChild<QDialogButtonBox*>("buttonBox")->button(QDialogButtonBox::Cancel)->click();
    QVERIFY(!config->isVisible());
    QCOMPARE(modified.size(), 0);
    QCOMPARE(window()->configSettings().labels, 0);
    // the next showing starts from the window's record again
    window()->showConfigSettings();
    QCOMPARE(config->findChild<QComboBox*>("labelsCombo")->currentIndex(), 0);
}

void tst_dlgErrorEllipse::settingsRoundTrip()
{
    errorEllipseConfigSettings_t settings;
    settings.range = 20.0;
    settings.autoScale = false;
    settings.labels = 1;
    window()->setConfigSettings(settings);
    window()->toggle();   // the data mode is not stored
    tolvconfig::config_t config;
    window()->saveSettings(config, -1);
    QVERIFY(config.hasKey(window()->outputKey("range")));
    QVERIFY(config.hasKey(window()->outputKey("splitter_state")));
    QVERIFY(QString::fromStdString(window()->outputKey("range")).startsWith(QStringLiteral("device.GNSS 1.")));

    auto* other = new dlgErrorEllipse_t(m_fleet->context.get(), m_device);
    other->loadSettings(config, -1);
    QCOMPARE(other->configSettings(), settings);
    QVERIFY(other->raimMode());
    QCOMPARE(other->findChild<QLabel*>("rangeLabel")->text(), QStringLiteral("20.00 m"));

    other->useDefaults();
    QCOMPARE(other->configSettings(), errorEllipseConfigSettings_t());
}

void tst_dlgErrorEllipse::loadingGatedByKeys_data()
{
    QTest::addColumn<QString>("dropped");
    QTest::addColumn<bool>("loaded");
    QTest::addColumn<int>("labels");

    QTest::newRow("no range") << "range" << false << 2;
    QTest::newRow("no auto_scale") << "auto_scale" << false << 2;
    QTest::newRow("no labels: loads without labels") << "labels" << true << 0;
}

void tst_dlgErrorEllipse::loadingGatedByKeys()
{
    QFETCH(QString, dropped);
    QFETCH(bool, loaded);
    QFETCH(int, labels);

    errorEllipseConfigSettings_t stored;
    stored.range = 50.0;
    stored.autoScale = false;
    stored.labels = 1;
    window()->setConfigSettings(stored);
    window()->resize(600, 500);
    tolvconfig::config_t config;
    window()->saveSettings(config, -1);
    config.removeValue(window()->outputKey(dropped.toStdString()));

    auto* other = new dlgErrorEllipse_t(m_fleet->context.get(), m_device);
    errorEllipseConfigSettings_t before;
    before.labels = 2;
    other->setConfigSettings(before);
    other->loadSettings(config, -1);
    QCOMPARE(other->configSettings().range, loaded ? 50.0 : 1.0);
    QCOMPARE(other->configSettings().autoScale, !loaded);
    QCOMPARE(other->configSettings().labels, labels);
    // the window's own geometry is loaded only with the record
    QCOMPARE(other->size() == QSize(600, 500), loaded);
}

void tst_dlgErrorEllipse::splitterLoadsEvenWhenTheRecordDoesNot()
{
    window()->show();
    auto* splitter = window()->findChild<orvane::splitter_t*>("splitter");
    QVERIFY(splitter);
    QCOMPARE(splitter->count(), 2);
    QVERIFY(splitter->isCollapsible(0));
    QVERIFY(!splitter->isCollapsible(1));
    splitter->setSizes({60, 400});
    const QList<int> sizes = splitter->sizes();
    tolvconfig::config_t config;
    window()->saveSettings(config, -1);
    config.removeValue(window()->outputKey("range"));

    auto* other = new dlgErrorEllipse_t(m_fleet->context.get(), m_device);
    other->resize(window()->size());
    other->show();
    other->loadSettings(config, -1);
    QCOMPARE(other->findChild<orvane::splitter_t*>("splitter")->sizes(), sizes);
}

QTEST_MAIN(tst_dlgErrorEllipse)
#include "tst_dlgErrorEllipse.moc"
