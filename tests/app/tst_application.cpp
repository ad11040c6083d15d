#include "messageCatcher.h"
#include "testFiles.h"

#include "alarms/fixConfirmation.h"
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

#include <QAction>
#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QStatusBar>
#include <QTableWidget>
#include <QtTest>

#include <csignal>
#include <memory>

using namespace belrix_common_qt;
using belrix_common_qt_gui::guiSettings_t;
using namespace orvane::app;
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

// The fix confirmation a window shows, empty when it shows none; never cut short.
QString confirmationIn(QMainWindow* window)
{
    auto* label = window->statusBar()->findChild<QLabel*>(fixConfirmation_t::labelName());
    QCoreApplication::processEvents();   // the status bar grows to the label's lines
    if (!label || !label->isVisibleTo(window))
        return QString();
    if (label->width() < label->sizeHint().width() || label->height() < label->sizeHint().height())
        return QStringLiteral("cut: ") + label->text();
    return label->text();
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
        // the general alarm's default sound is in the folder the application seeds
        QVERIFY(QFile::exists(guiSettings_t::get()->generalAlertSoundSettings().file));
    }

    void declaredDeviceTakesItsCapabilities()
    {
        deviceConfig_t bare;
        bare.name = "Log Port";
        bare.capabilities = 0;
        tolvconfig::config_t config;
        deviceConfigList_t::save(config, {bare});
        QVERIFY(config.save(options().configPath));
        orvaneApplication_t app(options());
        QVERIFY(app.start());
        QCOMPARE(app.devices().size(), 1);
        for (orvane::orvanePage_t* page : app.devices().first()->pageGroup()->pages())
            QVERIFY2(!page->title().contains(QRegularExpression("Plot|Graphs|Fix|Compass|Tape|Settings")),
                     qPrintable(page->title()));
        QVERIFY(app.devices().first()->deviceColor().isValid());   // one of its own when none is declared
    }

    // a shutdown signal ends the run as closing it does, saved; --night is this run's alone
    void settingsSurviveARestart()
    {
        orvaneApplication_t::options_t o = options(false);
        o.night = true;
        {
            orvaneApplication_t app(o);
            QVERIFY(app.start());
            QFile::remove(o.configPath);
            app.devices().at(0)->resize(700, 610);
            guiSettings_t::get()->setUtcOffset(7200);
            app.context()->controllerContext()->controller()->setRotSampleSize(9);
            ::raise(SIGTERM);
            QVERIFY(QTest::qWaitFor([&] { return QFile::exists(o.configPath); }, 5000));
        }
        guiSettings_t::get()->useDefaults();
        orvaneApplication_t again(options(false));
        QVERIFY(again.start());
        QCOMPARE(again.devices().at(0)->size(), QSize(700, 610));
        QCOMPARE(guiSettings_t::get()->utcOffset(), 7200);
        QCOMPARE(again.context()->controllerContext()->controller()->rotSampleSize(), 9u);
        QCOMPARE(guiSettings_t::get()->displayMode(), displayModeDay);
    }

    void damagedConfigurationFallsBackToDefaults()
    {
        QVERIFY(writeFile(options().configPath, "{\"format\": \"orvane-configuration\", \"values\": {"));
        orvaneApplication_t app(options());
        QVERIFY(app.start());
        QCOMPARE(app.devices().size(), 3);
    }

    // --night turns every window, chosen as "Night" in the window rather than by the clock, and
    // then no window may glare: nearly every pixel is at most as light as the night palette's
    // lightest colour. By day again, every window and icon is as it was.
    void nightOptionTurnsEveryWindowDark()
    {
        orvaneApplication_t::options_t o = options();
        o.night = true;
        orvaneApplication_t app(o);
        QVERIFY(app.start());
        QCOMPARE(guiSettings_t::get()->displayMode(), displayModeNight);
        QVERIFY(!windowOf<orvane::qc::dlgGeneralSettings_t>(app)->displayModeRule().autoMode);
        QCOMPARE(app.runSnapshots(), 0);
        QStringList glaring;
        QDir const dir(o.snapshotDir);
        const QStringList files = dir.entryList({"*.png"});
        QVERIFY(files.size() > 20);
        for (QString const& file : files) {
            QImage const image = QImage(dir.filePath(file)).convertToFormat(QImage::Format_RGB32);
            qint64 bright = 0;
            for (int y = 0; y < image.height(); ++y) {
                auto const* line = reinterpret_cast<QRgb const*>(image.constScanLine(y));
                for (int x = 0; x < image.width(); ++x)
                    bright += qGray(line[x]) > 0xbb ? 1 : 0;
            }
            double const share = double(bright) / (double(image.width()) * image.height());
            if (share > 0.02)
                glaring << QStringLiteral("%1 %2%").arg(file).arg(share * 100.0, 0, 'f', 1);
        }
        QVERIFY2(glaring.isEmpty(), qPrintable(glaring.join(", ")));

        orvane::device_t* receiver = app.devices().first();
        QAction* manOverboard = nullptr;
        for (QAction* action : receiver->findChildren<QAction*>())
            manOverboard = action->text() == "Man Overboard" ? action : manOverboard;
        QVERIFY(manOverboard);
        qint64 const nightIcon = manOverboard->icon().cacheKey();
        guiSettings_t::get()->setDisplayMode(displayModeDay);
        QVERIFY(manOverboard->icon().cacheKey() != nightIcon);
        QCOMPARE(app.mainWindow()->styleSheet(), QString());
        QCOMPARE(receiver->styleSheet(), QString());
    }

    // one writer per configuration file: the second program saves nothing over the first's
    void configurationInUseIsNotSaved()
    {
        orvaneApplication_t::options_t const o = options(false);
        QLockFile other(o.configPath + QStringLiteral(".lock"));
        QVERIFY(other.tryLock(0));
        messageCatcher_t catcher;
        orvaneApplication_t app(o);
        QVERIFY(app.start());
        QVERIFY(!app.saveConfiguration());
        QVERIFY(!QFile::exists(o.configPath));
    }

    // the user's devices are never replaced by a save when their count could not be read
    void unreadableDeviceListIsKept()
    {
        tolvconfig::config_t declared;
        declared.setValue("devices.count", "two");
        declared.setValue("devices.0.name", "Bridge GNSS");
        QVERIFY(declared.save(options().configPath));
        orvaneApplication_t app(options());
        QVERIFY(app.start());
        QVERIFY(app.devices().isEmpty());
        QVERIFY(app.saveConfiguration());
        tolvconfig::config_t saved;
        QVERIFY(saved.load(options().configPath).ok());
        std::string count, name;
        QVERIFY(saved.getValue("devices.count", count) && saved.getValue("devices.0.name", name));
        QCOMPARE(QString::fromStdString(count + "/" + name), QStringLiteral("two/Bridge GNSS"));
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
            // confirmed in full where it was taken and in the main window
            QString const status = confirmationIn(app.mainWindow());
            QVERIFY2(status.startsWith("Man Overboard recorded from " + receiver->deviceDescription()), qPrintable(status));
            QVERIFY2(status.contains(cell(window, 0, fixesWindow_t::columnLatitude) + " ")
                         && status.endsWith("\n" + cell(window, 0, fixesWindow_t::columnTime)),
                     qPrintable(status));
            QCOMPARE(confirmationIn(receiver), status);
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
        QVERIFY(gpx.open(QIODevice::ReadOnly) && gpx.readAll().contains("MOB 2"));
    }

    // a store another program holds: the fix is kept, said so, and saved once the store is free
    void manOverboardHeldUntilStoreIsFree()
    {
        QLockFile other(options().fixesPath + QStringLiteral(".lock"));
        QVERIFY(other.tryLock(0));
        messageCatcher_t catcher;   // the warning that the store is in use
        orvaneApplication_t app(options(false));
        QVERIFY(app.start());
        orvane::device_t* receiver = app.devices().first();
        QVERIFY(pressF10(receiver));
        fixesWindow_t* window = windowOf<fixesWindow_t>(app);
        QCOMPARE(cell(window, 0, fixesWindow_t::columnType), QStringLiteral("Man Overboard - NOT SAVED YET"));
        QString const status = confirmationIn(receiver);
        QVERIFY2(status.contains("NOT SAVED YET") && status.contains(cell(window, 0, fixesWindow_t::columnLongitude))
                     && !status.startsWith("cut"),
                 qPrintable(status));
        other.unlock();
        QVERIFY(fixManager_t::instance()->writeUnsaved());
        QCOMPARE(cell(window, 0, fixesWindow_t::columnType), QStringLiteral("Man Overboard"));
        QVERIFY(confirmationIn(receiver).startsWith("Now saved: Man Overboard"));
    }

    void damagedStoreIsReported()
    {
        QVERIFY(QDir().mkpath(options().fixesPath));
        orvaneApplication_t app(options());
        QVERIFY(app.start());
        auto* label = windowOf<fixesWindow_t>(app)->findChild<QLabel*>(QStringLiteral("problemLabel"));
        QVERIFY(label->isVisibleTo(label->window()));
        QVERIFY2(label->text().contains("folder"), qPrintable(label->text()));
    }
};

QTEST_MAIN(tst_application)
#include "tst_application.moc"
