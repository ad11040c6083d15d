#include "application/deviceConfig.h"
#include "application/orvaneApplication.h"
#include "windows/fixesWindow.h"
#include "windows/mainWindow.h"

#include <belrix_common_qt/dataClock.h>
#include <belrix_common_qt/navConstants.h>
#include <belrix_common_qt/remoteController.h>
#include <belrix_common_qt/textFormat.h>
#include <belrix_common_qt_gui/guiSettings.h>
#include <belrix_common_qt_gui/styleManager.h>
#include <orvane/context.h>
#include <orvane/device.h>
#include <orvane/fixes/fixManager.h>
#include <orvane/orvanePage.h>
#include <orvane/orvanePageGroup.h>
#include <settings/dlgGeneralSettings.h>
#include <tolvconfig/config.h>

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QLabel>
#include <QStatusBar>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <QtTest>

#include <memory>

using namespace belrix_common_qt;
using belrix_common_qt_gui::guiSettings_t;
using orvane::app::deviceConfig_t;
using orvane::app::deviceConfigList_t;
using orvane::app::fixesWindow_t;
using orvane::app::orvaneApplication_t;
using orvane::fixes::fixManager_t;

namespace {
template <typename window_t>
window_t* windowOf(orvaneApplication_t const& app)
{
    for (orvane::orvaneDialog_t* window : app.applicationWindows()) {
        if (auto* found = qobject_cast<window_t*>(window))
            return found;
    }
    return nullptr;
}

QString cell(fixesWindow_t* window, int row, int column)
{
    return window->findChild<QTableWidget*>(QStringLiteral("fixTable"))->item(row, column)->text();
}

int rows(fixesWindow_t* window) { return window->findChild<QTableWidget*>(QStringLiteral("fixTable"))->rowCount(); }

QStringList pageTitles(orvane::device_t* device)
{
    QStringList titles;
    for (orvane::orvanePage_t* page : device->pageGroup()->pages())
        titles << page->title();
    return titles;
}

bool pressF10(orvane::device_t* device)
{
    device->showDevice();
    if (!QTest::qWaitForWindowActive(device))
        return false;
    QTest::keyClick(device, Qt::Key_F10);
    return true;
}
} // namespace

class tst_application : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    QString path(QString const& name) const { return m_dir->filePath(name); }

    // A temporary configuration and fix store; headless runs write snapshots and show no message boxes.
    orvaneApplication_t::options_t options(bool headless = true) const
    {
        orvaneApplication_t::options_t o;
        o.configPath = path(QStringLiteral("orvane.conf"));
        o.fixesPath = path(QStringLiteral("fixes.journal"));
        if (headless) {
            o.snapshotDir = path(QStringLiteral("snapshots"));
            o.runFor = 3;
        }
        return o;
    }

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void init()
    {
        m_dir.reset(new QTemporaryDir);
        guiSettings_t::get()->useDefaults();
        belrix_common_qt_gui::styleManager_t::get()->setGlobalTags({});
    }
    void cleanup() { dataClock_t::useSystemTime(); }

    void snapshotsOfEveryWindow()
    {
        orvaneApplication_t::options_t o = options();
        o.fixesPath.clear();
        o.recordPath = path(QStringLiteral("rec/capture.nmea"));
        orvaneApplication_t app(o);
        QVERIFY(app.start());
        QVERIFY(fixManager_t::instance()->path() != fixManager_t::defaultPath());   // never the user's store
        QCOMPARE(app.runSnapshots(), 0);
        for (char const* file : {"main-window.png", "device-gnss-1.png", "device-gyro.png", "window-fixes.png",
                                    "device-gnss-1-error-ellipse-plot.png", "device-gyro-compass-rose.png"}) {
            QImage const image(QDir(o.snapshotDir).filePath(file));
            QVERIFY2(image.width() > 100 && image.height() > 100, qPrintable(file));
        }
        QVERIFY(!QFile::exists(QDir(o.snapshotDir).filePath("device-gyro-tape-display.png")));
        for (orvane::device_t* device : app.devices())
            QVERIFY2(device->isConnected(), qPrintable(device->deviceName()));
        QVERIFY(QFile::exists(path(QStringLiteral("rec/capture-gyro.nmea"))));   // every device's stream is kept
        // the alarm sounds are seeded, and a first start leaves the quality alarm off
        QString const sounds = app.context()->soundsDir();
        QVERIFY(QFileInfo(QDir(sounds).filePath("quality_alarm.wav")).size() > 44);
        QCOMPARE(guiSettings_t::get()->generalAlertSoundSettings().file, QDir(sounds).filePath("general_alarm.wav"));
        QVERIFY(!guiSettings_t::get()->qualityAlertSoundSettings().enabled);
    }

    void capabilitiesChooseTheDeviceWindows()
    {
        deviceConfig_t bare;
        bare.name = "Log Port";
        bare.capabilities = 0;
        deviceConfig_t gyro;
        gyro.name = "Gyro";
        gyro.type = deviceNameGyro;
        gyro.capabilities = 0x200;
        gyro.color = QColor("#2ca02c");
        gyro.source = "simulation:gyro";
        tolvconfig::config_t config;
        deviceConfigList_t::save(config, {bare, gyro});
        QVERIFY(config.save(options().configPath));

        orvaneApplication_t app(options());
        QVERIFY(app.start());
        QCOMPARE(app.devices().size(), 2);
        QVERIFY(pageTitles(app.devices().at(0)).filter(QRegularExpression("Plot|Graphs|Fix|Compass|Tape|Settings")).isEmpty());
        QStringList const gyroPages = pageTitles(app.devices().at(1));
        QCOMPARE(gyroPages.filter("Compass Rose...").size(), 1);
        QVERIFY(gyroPages.filter("Tape Display...").isEmpty());
        QCOMPARE(app.devices().at(1)->deviceColor(), QColor("#2ca02c"));
        QVERIFY(app.devices().at(0)->deviceColor().isValid());
    }

    void settingsSurviveARestart()
    {
        {
            orvaneApplication_t app(options(false));
            QVERIFY(app.start());
            app.devices().at(0)->resize(700, 610);
            guiSettings_t::get()->setUtcOffset(3600);
            app.context()->controllerContext()->controller()->setRotSampleSize(9);
            orvane::qc::displayModeRule_t rule;
            rule.manualMode = displayModeNight;
            windowOf<orvane::qc::dlgGeneralSettings_t>(app)->setDisplayModeRule(rule);
            QVERIFY(app.saveConfiguration());
        }
        guiSettings_t::get()->useDefaults();
        tolvconfig::config_t config;
        QVERIFY(config.load(options().configPath).ok());
        QCOMPARE(deviceConfigList_t::load(config), deviceConfigList_t::simulationDevices());

        orvaneApplication_t again(options(false));
        QVERIFY(again.start());
        QCOMPARE(again.devices().at(0)->size(), QSize(700, 610));
        QCOMPARE(guiSettings_t::get()->utcOffset(), 3600);
        QCOMPARE(guiSettings_t::get()->displayMode(), displayModeNight);
        QCOMPARE(again.context()->controllerContext()->controller()->rotSampleSize(), 9u);
    }

    void olderKeyNamesAreRead()
    {
        tolvconfig::config_t config;
        config.setValue("dlgGeneralSettings.speed_units", speedUnitString(speedUnitKilometersPerHour).toStdString());
        config.setValue("dlgGeneralSettings.night_start_time", "21:30");
        QVERIFY(config.save(options().configPath));
        orvaneApplication_t app(options());
        QVERIFY(app.start());
        QCOMPARE(guiSettings_t::get()->speedUnit(), speedUnitKilometersPerHour);
        QCOMPARE(windowOf<orvane::qc::dlgGeneralSettings_t>(app)->displayModeRule().nightStartMinute, 30u);
    }

    void damagedConfigurationIsKeptAndDefaultsUsed()
    {
        QFile file(options().configPath);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("{\"format\": \"orvane-configuration\", \"values\": {");
        file.close();
        orvaneApplication_t app(options());
        QVERIFY(app.start());
        QCOMPARE(app.devices().size(), 3);
        QCOMPARE(QDir(m_dir->path()).entryList({"orvane.conf.corrupt-*"}).size(), 1);
    }

    void nightOptionTurnsEveryWindowAtOnce()
    {
        orvaneApplication_t::options_t o = options();
        o.night = true;
        orvaneApplication_t app(o);
        QVERIFY(app.start());
        QCOMPARE(guiSettings_t::get()->displayMode(), displayModeNight);
        QVERIFY(belrix_common_qt_gui::styleManager_t::get()->hasGlobalTag(guiSettings_t::nightModeTag));
        QCOMPARE(QApplication::palette().color(QPalette::Active, QPalette::Window), QColor("#999999"));
        // chosen as "Night" in the window, not by the clock
        QVERIFY(!windowOf<orvane::qc::dlgGeneralSettings_t>(app)->displayModeRule().autoMode);
    }

    void manOverboardIsShownAndExported()
    {
        {
            orvaneApplication_t app(options(false));
            QVERIFY(app.start());
            fixesWindow_t* window = windowOf<fixesWindow_t>(app);
            QCOMPARE(rows(window), 0);
            orvane::device_t* receiver = app.devices().first();
            QVERIFY(pressF10(receiver));
            QCOMPARE(rows(window), 1);
            QCOMPARE(cell(window, 0, fixesWindow_t::columnType), QStringLiteral("Man Overboard"));
            QCOMPARE(cell(window, 0, fixesWindow_t::columnDevice), receiver->deviceDescription());
            QString const status = app.mainWindow()->statusBar()->currentMessage();
            QVERIFY2(status.startsWith("Man Overboard recorded from " + receiver->deviceDescription()), qPrintable(status));
            // the newest first, in the user's lat/lon format as it changes
            QVERIFY(pressF10(app.devices().at(1)));
            QCOMPARE(rows(window), 2);
            QCOMPARE(cell(window, 0, fixesWindow_t::columnDevice), app.devices().at(1)->deviceDescription());
            guiSettings_t::get()->setLatLonFormat(latLonFormatDegreesMinutesSeconds);
            latLonStringOptions_t latLon;
            latLon.format = latLonFormatDegreesMinutesSeconds;
            QCOMPARE(cell(window, 0, fixesWindow_t::columnLatitude),
                     latitudeString(fixManager_t::instance()->fixes().last().coord.lat, latLon));
        }
        // started again on the same store, the application shows the fixes and exports them
        orvaneApplication_t app(options());
        QVERIFY(app.start());
        fixesWindow_t* window = windowOf<fixesWindow_t>(app);
        QCOMPARE(rows(window), 2);
        QVERIFY(!window->findChild<QLabel*>(QStringLiteral("problemLabel"))->isVisibleTo(window));
        QVERIFY(window->exportGpxTo(path("fixes.gpx")));
        QFile gpx(path("fixes.gpx"));
        QVERIFY(gpx.open(QIODevice::ReadOnly));
        QXmlStreamReader xml(&gpx);
        QStringList names;
        while (!xml.atEnd()) {
            if (xml.readNext() != QXmlStreamReader::StartElement)
                continue;
            if (xml.name() == QLatin1String("wpt")) {
                double const lat = xml.attributes().value("lat").toDouble();   // the simulated vessel is in the Kattegat
                QVERIFY2(lat > 56.0 && lat < 59.0, qPrintable(QString::number(lat)));
            } else if (xml.name() == QLatin1String("name")) {
                names << xml.readElementText();
            }
        }
        QVERIFY(!xml.hasError());
        QCOMPARE(names, QStringList({"Fixes", "MOB 1", "MOB 2"}));
    }

    void damagedStoreIsReported_data()
    {
        QTest::addColumn<QByteArray>("journal");
        QTest::addColumn<int>("fixes");
        QTest::addColumn<QString>("problem");
        QByteArray const good = "{\"id\":1,\"port\":1,\"time\":1796498625.5,\"type\":1,\"lon\":0.2,\"lat\":1.0,"
                                "\"height\":12.5,\"description\":\"Man Overboard - 2026-12-05 19:23:45.000\"}\n";
        QTest::newRow("truncated last record") << good + "{\"id\":2,\"port\":1,\"ti" << 1 << "damaged record";
        QTest::newRow("store is a folder") << QByteArray() << 0 << "is a folder";
    }

    void damagedStoreIsReported()
    {
        QFETCH(QByteArray, journal);
        QFETCH(int, fixes);
        QFETCH(QString, problem);
        QFile file(options().fixesPath);
        QVERIFY(journal.isEmpty() ? QDir().mkpath(file.fileName())
                                  : file.open(QIODevice::WriteOnly) && file.write(journal) == journal.size());
        file.close();
        orvaneApplication_t app(options());
        QVERIFY(app.start());
        fixesWindow_t* window = windowOf<fixesWindow_t>(app);
        QCOMPARE(rows(window), fixes);
        auto* label = window->findChild<QLabel*>(QStringLiteral("problemLabel"));
        QVERIFY(label->isVisibleTo(window));
        QVERIFY2(label->text().contains(problem), qPrintable(label->text()));
    }
};

QTEST_MAIN(tst_application)
#include "tst_application.moc"
