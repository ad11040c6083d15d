#include "application/orvaneApplication.h"

#include <belrix_common_qt/remoteController.h>
#include <belrix_common_qt_gui/guiSettings.h>
#include <belrix_common_qt_gui/styleManager.h>
#include <orvane/context.h>
#include <orvane/orvaneDialog.h>
#include <settings/dlgGeneralSettings.h>
#include <tolvconfig/config.h>

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using namespace belrix_common_qt;
using belrix_common_qt_gui::guiSettings_t;
using orvane::app::orvaneApplication_t;

namespace {
orvane::qc::dlgGeneralSettings_t* generalSettings(orvaneApplication_t const& app)
{
    for (orvane::orvaneDialog_t* window : app.applicationWindows()) {
        if (auto* settings = qobject_cast<orvane::qc::dlgGeneralSettings_t*>(window))
            return settings;
    }
    return nullptr;
}
} // namespace

class tst_generalSettingsApp : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    QString path(QString const& name) const { return QDir(m_dir->path()).filePath(name); }

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void init()
    {
        m_dir.reset(new QTemporaryDir);
        guiSettings_t::get()->useDefaults();
        belrix_common_qt_gui::styleManager_t::get()->setGlobalTags({});
    }

    void applicationOffersTheWindowAndItsSounds()
    {
        orvaneApplication_t::options_t options;
        options.snapshotDir = path("snapshots");
        orvaneApplication_t app(options);
        QVERIFY(app.start());
        QVERIFY(generalSettings(app));
        const QString sounds = app.context()->soundsDir();
        QVERIFY(QFileInfo(QDir(sounds).filePath("general_alarm.wav")).size() > 44);
        QVERIFY(QFileInfo(QDir(sounds).filePath("quality_alarm.wav")).size() > 44);
        // a first start keeps the defaults: the quality alarm off
        QVERIFY(!guiSettings_t::get()->qualityAlertSoundSettings().enabled);
        QCOMPARE(guiSettings_t::get()->generalAlertSoundSettings().file, QDir(sounds).filePath("general_alarm.wav"));
    }

    void olderKeyNamesAreRead()
    {
        tolvconfig::config_t config;
        config.setValue("dlgGeneralSettings.distance_units", distanceUnitString(distanceUnitUsSurveyFeet).toStdString());
        config.setValue("dlgGeneralSettings.speed_units", speedUnitString(speedUnitKilometersPerHour).toStdString());
        config.setValue("dlgGeneralSettings.lat_lon_units", latLonFormatString(latLonFormatDegrees).toStdString());
        config.setValue("dlgGeneralSettings.day_start_time", "05:00");
        config.setValue("dlgGeneralSettings.night_start_time", "21:30");
        QVERIFY(config.save(path("orvane.conf")));

        orvaneApplication_t::options_t options;
        options.configPath = path("orvane.conf");
        options.snapshotDir = path("snapshots");
        orvaneApplication_t app(options);
        QVERIFY(app.start());
        QCOMPARE(guiSettings_t::get()->distanceUnit(), distanceUnitUsSurveyFeet);
        QCOMPARE(guiSettings_t::get()->speedUnit(), speedUnitKilometersPerHour);
        QCOMPARE(guiSettings_t::get()->latLonFormat(), latLonFormatDegrees);
        QCOMPARE(generalSettings(app)->displayModeRule().dayStartHour, 5u);
        QCOMPARE(generalSettings(app)->displayModeRule().nightStartMinute, 30u);
    }

    void settingsSurviveARestart()
    {
        orvaneApplication_t::options_t options;
        options.configPath = path("orvane.conf");
        {
            orvaneApplication_t app(options);
            QVERIFY(app.start());
            guiSettings_t::get()->setUtcOffset(3600);
            guiSettings_t::get()->setSpeedUnit(speedUnitMetersPerSecond);
            app.context()->controllerContext()->controller()->setRotSampleSize(9);
            orvane::qc::displayModeRule_t rule;
            rule.manualMode = displayModeNight;
            generalSettings(app)->setDisplayModeRule(rule);
            QVERIFY(app.saveConfiguration());
        }
        guiSettings_t::get()->useDefaults();

        orvaneApplication_t again(options);
        QVERIFY(again.start());
        QCOMPARE(guiSettings_t::get()->utcOffset(), 3600);
        QCOMPARE(guiSettings_t::get()->speedUnit(), speedUnitMetersPerSecond);
        QCOMPARE(guiSettings_t::get()->displayMode(), displayModeNight);
        QCOMPARE(again.context()->controllerContext()->controller()->rotSampleSize(), 9u);
    }

    void nightOptionTurnsEveryWindowAtOnce()
    {
        orvaneApplication_t::options_t options;
        options.snapshotDir = path("snapshots");
        options.night = true;
        orvaneApplication_t app(options);
        QVERIFY(app.start());
        QCOMPARE(guiSettings_t::get()->displayMode(), displayModeNight);
        QVERIFY(belrix_common_qt_gui::styleManager_t::get()->hasGlobalTag(guiSettings_t::nightModeTag));
        QCOMPARE(QApplication::palette().color(QPalette::Active, QPalette::Window), QColor("#999999"));
        // chosen as "Night" in the window, not by the clock
        QVERIFY(!generalSettings(app)->displayModeRule().autoMode);
    }
};

QTEST_MAIN(tst_generalSettingsApp)
#include "tst_generalSettingsApp.moc"
