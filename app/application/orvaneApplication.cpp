#include "orvaneApplication.h"

#include "alarms/alarmMonitor.h"
#include "alarms/alarmSounds.h"
#include "alarms/alarmStateReader.h"
#include "alarms/fixConfirmation.h"
#include "alarms/soundEffectPlayer.h"
#include "configMigration.h"
#include "deviceConfig.h"
#include "deviceFeed.h"
#include "deviceLifecycle.h"
#include "forecastEngine.h"
#include "shutdownSignals.h"
#include "simulation/simulation.h"
#include "snapshotRunner.h"
#include "sources/sourceAddress.h"
#include "windows/dlgDeviceConfig.h"
#include "windows/dlgRawNmea.h"
#include "windows/fixesWindow.h"
#include "windows/mainWindow.h"
#include "windows/nightLook.h"

#include <belrix_common_qt/almanacFolder.h>
#include <belrix_common_qt/dataClock.h>
#include <belrix_common_qt/remoteController.h>
#include <belrix_common_qt_gui/guiSettings.h>
#include <accuracy/dlgAllErrorEllipse.h>
#include <accuracy/dlgPositionComparison.h>
#include <instruments/dlgAlmanacInfo.h>
#include <settings/dlgGeneralSettings.h>
#include <settings/displayModeRule.h>
#include <orvane/context.h>
#include <orvane/device.h>
#include <orvane/fixes/fixManager.h>
#include <orvane/orvaneDialog.h>
#include <tolvconfig/config.h>

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QMessageBox>
#include <QPointer>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>

#include <cmath>
#include <cstdio>
#include <memory>

namespace orvane {
namespace app {

namespace {
constexpr int ClockIntervalMs = 1000;
constexpr int SaveDelayMs = 2000;
} // namespace

class orvaneApplication_t::private_t
{
public:
    options_t options;
    QString configPath;
    tolvconfig::config_t config;
    orvane::context_t* context = nullptr;
    mainWindow_t* mainWindow = nullptr;
    simulation_t* simulation = nullptr;
    forecastEngine_t* forecast = nullptr;
    deviceLifecycle_t* devices = nullptr;
    QList<QPointer<orvane::orvaneDialog_t>> applicationWindows;
    QTimer clock;
    QTimer saveTimer;
    bool snapshotMode = false;
    soundEffectPlayer_t* player = nullptr;
    alarmStateReader_t* alarmStates = nullptr;
    alarmMonitor_t* alarms = nullptr;
    QPointer<orvane::qc::dlgGeneralSettings_t> generalSettings;
    std::unique_ptr<QTemporaryDir> snapshotFixes;   // snapshots record into a store of their own
    bool nightForced = false;        // --night: for this run only, never written
    std::unique_ptr<QLockFile> configLock;   // one writer per configuration file
    QString configHeldBy;            // who has it, when another program does
    bool deviceListKept = false;     // a declared list we could not read: never saved over

    void report(QString const& message, QWidget* parent)
    {
        std::fprintf(stderr, "orvane: %s\n", qPrintable(message));
        if (!snapshotMode)
            QMessageBox::warning(parent, QStringLiteral("orvane"), message);
    }
};

orvaneApplication_t::orvaneApplication_t(options_t const& options, QObject* parent) : QObject(parent), d(new private_t)
{
    d->options = options;
    d->snapshotMode = !options.snapshotDir.isEmpty();
    d->configPath = options.configPath.isEmpty() && !d->snapshotMode ? defaultConfigPath() : options.configPath;
    d->context = new orvane::context_t(this);
    d->forecast = new forecastEngine_t(d->context, this);
    d->simulation = new simulation_t(d->context->controllerContext()->controller(), this);
    d->devices = new deviceLifecycle_t(d->context, d->simulation, &d->config, this);
    d->devices->setHeadless(d->snapshotMode);
    d->devices->setRecordPath(options.recordPath);
    connect(d->devices, &deviceLifecycle_t::configurationModified, this, &orvaneApplication_t::scheduleSave);
    connect(d->devices, &deviceLifecycle_t::rawNmeaRequested, this, &orvaneApplication_t::showRawNmea);
    connect(d->devices, &deviceLifecycle_t::listChanged, this, [this] {
        d->deviceListKept = false;   // the user has edited it: theirs to save
        if (d->mainWindow)
            d->mainWindow->setDevices(devices());
    });
    connect(d->devices, &deviceLifecycle_t::devicesChanged, this, [this] {
        if (d->mainWindow)
            d->mainWindow->updateDevices();
    });
    d->player = new soundEffectPlayer_t(this);
    d->alarmStates = new alarmStateReader_t(this);
    // snapshots run silent
    d->alarms = new alarmMonitor_t(d->snapshotMode ? nullptr : d->player, this);
    d->clock.setInterval(ClockIntervalMs);
    connect(&d->clock, &QTimer::timeout, this, &orvaneApplication_t::tick);
    d->saveTimer.setSingleShot(true);
    d->saveTimer.setInterval(SaveDelayMs);
    connect(&d->saveTimer, &QTimer::timeout, this, &orvaneApplication_t::saveConfiguration);
}

orvaneApplication_t::~orvaneApplication_t()
{
    // Windows go before the context they point to.
    delete d->mainWindow;
    d->mainWindow = nullptr;
    d->devices->clear();
    for (auto const& window : d->applicationWindows)
        delete window.data();
    // lets another program have the store; a fix that still cannot be saved goes to the log
    auto* store = orvane::fixes::fixManager_t::instance();
    const QString problem = store->errorString();
    for (orvane::fixes::fix_t const& fix : store->close())
        std::fprintf(stderr, "orvane: LOST at exit: %s\n", qPrintable(fixConfirmation_t::message(fix, problem)));
    delete d;
}

QString orvaneApplication_t::defaultConfigPath()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation))
        .filePath(QStringLiteral("orvane.conf"));
}

bool orvaneApplication_t::start(QString* errorMessage)
{
    d->mainWindow = new mainWindow_t;
    d->mainWindow->setConfigPath(d->configPath);
    connect(d->mainWindow, &mainWindow_t::saveRequested, this, &orvaneApplication_t::saveConfiguration);
    connect(d->mainWindow, &mainWindow_t::addDeviceRequested, this, [this] { openDeviceDialog(nullptr); });
    connect(d->mainWindow, &mainWindow_t::editDeviceRequested, this, &orvaneApplication_t::openDeviceDialog);
    connect(d->mainWindow, &mainWindow_t::removeDeviceRequested, this, &orvaneApplication_t::confirmRemoveDevice);
    connect(d->mainWindow, &mainWindow_t::rawNmeaRequested, this, &orvaneApplication_t::showRawNmea);

    if (!d->configPath.isEmpty()) {
        const tolvconfig::loadResult_t result = d->config.load(d->configPath);
        if (!result.ok())
            d->report(result.message, d->mainWindow);
    }
    // a second program on the same file would overwrite the first one's changes, and its own
    if (!d->configPath.isEmpty() && !d->snapshotMode) {
        QDir().mkpath(QFileInfo(d->configPath).absolutePath());
        d->configLock = std::make_unique<QLockFile>(d->configPath + QStringLiteral(".lock"));
        d->configLock->setStaleLockTime(0);   // a crashed program's lock goes with its process
        if (!d->configLock->tryLock(0) && d->configLock->error() == QLockFile::LockFailedError) {
            qint64 pid = 0;
            QString host, application;
            d->configHeldBy = d->configLock->getLockInfo(&pid, &host, &application)
                                  ? tr("%1 (process %2 on %3)").arg(application, QString::number(pid), host)
                                  : tr("another program");
            d->configLock.reset();
            d->report(tr("The configuration %1 is in use by %2. This program runs with it but saves nothing "
                         "into it; start it again once that program has ended to keep changes.")
                          .arg(QDir::toNativeSeparators(d->configPath), d->configHeldBy),
                      d->mainWindow);
        }
    }

    // The fix store is open before any device can record a man-overboard fix.
    auto* fixStore = orvane::fixes::fixManager_t::instance();
    connect(fixStore, &orvane::fixes::fixManager_t::storeProblem, this,
            [this](QString const& message) { d->report(message, d->mainWindow); });
    auto* confirmation = new fixConfirmation_t(d->snapshotMode ? nullptr : d->player,
                                               d->context->soundFilePath(alarmSounds_t::fixRecordedName()),
                                               d->mainWindow, this);
    connect(fixStore, &orvane::fixes::fixManager_t::fixAdded, confirmation, &fixConfirmation_t::confirm);
    connect(fixStore, &orvane::fixes::fixManager_t::fixSaved, confirmation, &fixConfirmation_t::confirmSaved);
    // not modal: the navigator must be able to go on working, and to read the position off it
    connect(confirmation, &fixConfirmation_t::unsavedFix, d->mainWindow, [this](QString const& message) {
        std::fprintf(stderr, "orvane: %s\n", qPrintable(message));
        if (d->snapshotMode)
            return;
        auto* box = new QMessageBox(QMessageBox::Warning, tr("Fix not saved"), message, QMessageBox::Ok,
                                    d->mainWindow);
        box->setAttribute(Qt::WA_DeleteOnClose);
        box->setModal(false);
        box->show();
    });
    QString fixesPath = d->options.fixesPath;
    if (fixesPath.isEmpty() && d->snapshotMode) {
        d->snapshotFixes.reset(new QTemporaryDir);
        fixesPath = d->snapshotFixes->filePath(QStringLiteral("fixes.journal"));
    }
    fixStore->open(fixesPath.isEmpty() ? orvane::fixes::fixManager_t::defaultPath() : fixesPath);

    // snapshots stay reproducible: the per-user almanacs only when asked for
    connect(d->forecast, &forecastEngine_t::almanacProblem, d->mainWindow, [this](QString const& message) {
        std::fprintf(stderr, "orvane: almanac not read: %s\n", qPrintable(message));
        d->mainWindow->showMessage(tr("Almanac not read: %1").arg(message));
    });
    d->forecast->setAlmanacFolder(!d->options.almanacDir.isEmpty() ? d->options.almanacDir
                                  : d->snapshotMode                ? QString()
                                                                   : belrix_common_qt::almanacFolder_t::defaultPath());

    QStringList problems;
    const QList<deviceConfig_t> declared = configMigration_t::devices(d->config, &problems);
    d->deviceListKept = deviceConfigList_t::isDeclared(d->config) && !deviceConfigList_t::isReadable(d->config);
    if (!problems.isEmpty())
        d->report(problems.join(QLatin1Char('\n')), d->mainWindow);
    problems.clear();
    const QList<orvane::device_t*> created = d->devices->create(declared, &problems);
    if (!problems.isEmpty())
        d->report(problems.join(QLatin1Char('\n')), d->mainWindow);

    // The alarm sounds are in place before the general settings window lists them.
    const QStringList soundProblems = alarmSounds_t::seed(d->context->soundsDir());
    if (!soundProblems.isEmpty())
        d->report(soundProblems.join(QLatin1Char('\n')), d->mainWindow);
    connect(d->alarms, &alarmMonitor_t::alarmSounded, d->mainWindow,
            [this](alarmMonitor_t::alarm_t alarm, QStringList const& names) {
                d->mainWindow->showMessage((alarm == alarmMonitor_t::qualityAlarm ? tr("Quality alarm: %1")
                                                                                 : tr("Data lost: %1"))
                                               .arg(names.join(QStringLiteral(", "))));
            });
    createApplicationWindows();
    for (auto const& window : d->applicationWindows)
        connect(window.data(), &orvane::orvaneDialog_t::configurationModified, this, &orvaneApplication_t::scheduleSave);

    d->devices->loadSettings();
    for (auto const& window : d->applicationWindows) {
        window->useDefaults();
        // Loading general settings that were never stored would turn both alarms on, every
        // second: a first start keeps the defaults instead.
        if (window == d->generalSettings && !configMigration_t::holdsKeysOf(d->config, window->outputKey("", -1)))
            continue;
        window->loadSettings(d->config, -1);
    }
    if (!deviceConfigList_t::isDeclared(d->config))
        configMigration_t::compareWithFirstReceiver(applicationWindows(), created);

    d->mainWindow->setDevices(created);
    // connected after the settings window, so the night palette is in place when it is used
    auto* night = new nightLook_t(this);
    auto* gui = belrix_common_qt_gui::guiSettings_t::get();
    connect(gui, &belrix_common_qt_gui::guiSettings_t::displayModeChanged, night,
            [night](belrix_common_qt::displayMode_t mode) { night->setNight(mode == belrix_common_qt::displayModeNight); });
    night->setNight(gui->displayMode() == belrix_common_qt::displayModeNight);
    // --night chooses the night look as "Night" in the general settings would, so every
    // window follows through the one path; it is stored only if something is saved later
    if (d->options.night && d->generalSettings) {
        orvane::qc::displayModeRule_t rule = d->generalSettings->displayModeRule();
        rule.autoMode = false;
        rule.manualMode = belrix_common_qt::displayModeNight;
        d->generalSettings->setDisplayModeRule(rule);
        d->nightForced = true;
        connect(d->generalSettings, &orvane::orvaneDialog_t::configurationModified, this,
                [this] { d->nightForced = false; });
    }
    if (d->snapshotMode) {
        belrix_common_qt::dataClock_t::setTime(std::floor(belrix_common_qt::dataClock_t::now()));
        d->devices->startFeeds();
        return true;
    }

    d->devices->startFeeds();
    d->clock.start();
    connect(qApp, &QApplication::aboutToQuit, this, &orvaneApplication_t::saveConfiguration);
    // a shutdown of the bridge computer or Ctrl+C ends the program as closing it does
    auto* shutdown = new shutdownSignals_t(this);
    connect(shutdown, &shutdownSignals_t::shutdownRequested, this, [this] {
        saveConfiguration();
        QCoreApplication::quit();
    });
    d->mainWindow->show();
    if (errorMessage)
        errorMessage->clear();
    return true;
}

int orvaneApplication_t::runSnapshots()
{
    return snapshotRunner_t(this, d->devices).run(d->options.snapshotDir, d->options.runFor);
}

void orvaneApplication_t::createApplicationWindows()
{
    // One line per application-wide window, in the order of the "Windows" menu.
    d->generalSettings = new orvane::qc::dlgGeneralSettings_t(d->context, d->mainWindow);
    addApplicationWindow(d->generalSettings);
    addApplicationWindow(new orvane::qc::dlgAllErrorEllipse_t(d->context, d->mainWindow));
    addApplicationWindow(new orvane::qc::dlgPositionComparison_t(d->context, d->mainWindow));
    addApplicationWindow(new orvane::qc::dlgAlmanacInfo_t(d->context, d->mainWindow));
    addApplicationWindow(new fixesWindow_t(d->context, d->mainWindow));
}

void orvaneApplication_t::addApplicationWindow(orvane::orvaneDialog_t* window)
{
    d->applicationWindows.append(window);
    d->mainWindow->addWindow(window->windowTitle(), window);
}

deviceFeed_t* orvaneApplication_t::feed(orvane::device_t* device) const { return deviceLifecycle_t::feed(device); }

QList<deviceConfig_t> orvaneApplication_t::deviceConfigs() const { return d->devices->deviceConfigs(); }

bool orvaneApplication_t::addDevice(deviceConfig_t const& config, QString* error)
{
    return d->devices->addDevice(config, error);
}

bool orvaneApplication_t::changeDevice(int index, deviceConfig_t const& config, QString* error)
{
    return d->devices->changeDevice(index, config, error);
}

bool orvaneApplication_t::removeDevice(int index) { return d->devices->removeDevice(index); }

void orvaneApplication_t::openDeviceDialog(orvane::device_t* device)
{
    const QList<deviceConfig_t> configs = deviceConfigs();
    int const index = d->devices->indexOf(device);
    dlgDeviceConfig_t dialog(d->mainWindow);
    QStringList taken;
    for (int i = 0; i < configs.size(); ++i) {
        if (i != index)
            taken << configs.at(i).name;
    }
    dialog.setTakenNames(taken);
    if (index >= 0 && index < configs.size()) {
        dialog.setConfig(configs.at(index));
    } else {
        deviceConfig_t fresh;
        fresh.capabilities = deviceConfigList_t::simulationDevices().first().capabilities;
        int n = configs.size() + 1;
        while (taken.contains(tr("Device %1").arg(n), Qt::CaseInsensitive))
            ++n;
        fresh.name = tr("Device %1").arg(n);
        fresh.color = QColor::fromHsv((n * 67) % 360, 160, 200);
        fresh.source = QStringLiteral("udp:%1").arg(sourceAddress_t::DefaultUdpPort);
        dialog.setConfig(fresh);
    }
    if (dialog.exec() != QDialog::Accepted)
        return;
    QString message;
    bool const ok = index >= 0 ? changeDevice(index, dialog.config(), &message) : addDevice(dialog.config(), &message);
    if (!message.isEmpty())
        d->report(message, d->mainWindow);
    if (ok)
        d->mainWindow->showMessage(tr("Device %1 applied").arg(dialog.config().name));
}

void orvaneApplication_t::confirmRemoveDevice(orvane::device_t* device)
{
    int const index = d->devices->indexOf(device);
    if (index < 0)
        return;
    if (!d->snapshotMode
        && QMessageBox::question(d->mainWindow, tr("Remove Device"),
                                 tr("Remove the device \"%1\"? Its windows close; its stored settings stay in the "
                                    "configuration.")
                                     .arg(device->deviceName()))
               != QMessageBox::Yes)
        return;
    removeDevice(index);
}

void orvaneApplication_t::showRawNmea(orvane::device_t* device)
{
    deviceFeed_t* f = feed(device);
    if (!f)
        return;
    auto* view = device->findChild<dlgRawNmea_t*>(QString(), Qt::FindDirectChildrenOnly);
    if (!view)
        view = new dlgRawNmea_t(f, device->deviceName(), device);
    view->show();
    view->raise();
    view->activateWindow();
}

QList<orvane::device_t*> orvaneApplication_t::devices() const { return d->devices->devices(); }

QList<orvane::orvaneDialog_t*> orvaneApplication_t::applicationWindows() const
{
    QList<orvane::orvaneDialog_t*> list;
    for (auto const& window : d->applicationWindows) {
        if (window)
            list.append(window.data());
    }
    return list;
}

mainWindow_t* orvaneApplication_t::mainWindow() const { return d->mainWindow; }
orvane::context_t* orvaneApplication_t::context() const { return d->context; }

void orvaneApplication_t::tick()
{
    for (orvane::device_t* device : devices())
        device->handleClockTimeout();
    for (orvane::orvaneDialog_t* window : applicationWindows())
        window->handleClockTimeout();
    if (d->mainWindow)
        d->mainWindow->updateDevices();
    const double now = belrix_common_qt::dataTimestamp();
    d->alarms->update(now, d->alarmStates->states(devices(), now));
}

bool orvaneApplication_t::saveConfiguration()
{
    d->saveTimer.stop();
    if (d->configPath.isEmpty())
        return false;
    if (!d->configHeldBy.isEmpty()) {
        if (d->mainWindow)
            d->mainWindow->showMessage(tr("Configuration not saved: %1 is in use by %2")
                                           .arg(QDir::toNativeSeparators(d->configPath), d->configHeldBy));
        return false;
    }
    // Start from what was read so keys of windows not built in this run survive.
    tolvconfig::config_t config = d->config;
    if (!d->deviceListKept)
        deviceConfigList_t::save(config, deviceConfigs());
    for (orvane::device_t* device : devices()) {
        device->saveSettings(config);
        for (orvane::orvaneDialog_t* dialog : device->dialogs())
            dialog->saveSettings(config, -1);
    }
    for (orvane::orvaneDialog_t* window : applicationWindows())
        window->saveSettings(config, -1);
    // the display mode --night chose is this run's, unless the user has chosen since
    if (d->nightForced && d->generalSettings) {
        std::string const key = d->generalSettings->outputKey("display_mode", -1);
        std::string stored;
        if (d->config.getValue(key, stored))
            config.setValue(key, stored);
        else
            config.removeValue(key);
    }
    QString error;
    if (!config.save(d->configPath, &error)) {
        std::fprintf(stderr, "orvane: %s\n", qPrintable(error));
        if (d->mainWindow)
            d->mainWindow->showMessage(error);
        return false;
    }
    d->config = config;
    if (d->mainWindow)
        d->mainWindow->showMessage(tr("Configuration saved to %1").arg(QDir::toNativeSeparators(d->configPath)));
    return true;
}

void orvaneApplication_t::scheduleSave()
{
    if (!d->snapshotMode)
        d->saveTimer.start();
}

} // namespace app
} // namespace orvane
