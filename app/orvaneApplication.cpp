#include "orvaneApplication.h"

#include "alarmMonitor.h"
#include "alarmSounds.h"
#include "alarmStateReader.h"
#include "deviceConfig.h"
#include "deviceFeed.h"
#include "dlgDeviceConfig.h"
#include "dlgRawNmea.h"
#include "fileReplaySource.h"
#include "nmeaRecorder.h"
#include "simulationSource.h"
#include "sourceFactory.h"
#include "fixesWindow.h"
#include "mainWindow.h"
#include "simulation.h"
#include "soundEffectPlayer.h"

#include <belrix_common_qt/dataClock.h>
#include <belrix_common_qt/qcSettingsBase.h>
#include <belrix_common_qt/remoteDevice.h>
#include <belrix_common_qt/remotePort.h>
#include <accuracy/dlgAllErrorEllipse.h>
#include <accuracy/dlgPositionComparison.h>
#include <device/qcDevice.h>
#include <settings/dlgGeneralSettings.h>
#include <settings/displayModeRule.h>
#include <orvane/context.h>
#include <orvane/deviceStore.h>
#include <orvane/menuManager.h>
#include <orvane/fixes/fixManager.h>
#include <orvane/orvaneDialog.h>
#include <orvane/orvanePage.h>
#include <orvane/orvanePageGroup.h>
#include <tolvconfig/config.h>

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <QPointer>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cmath>
#include <memory>
#include <cstdio>

namespace orvane {
namespace app {

namespace {
constexpr int ClockIntervalMs = 1000;
constexpr int SaveDelayMs = 2000;

QString fileNamePart(QString text)
{
    text = text.toLower();
    text.replace(QRegularExpression(QStringLiteral("[^a-z0-9]+")), QStringLiteral("-"));
    while (text.startsWith(QLatin1Char('-')))
        text.remove(0, 1);
    while (text.endsWith(QLatin1Char('-')))
        text.chop(1);
    return text.isEmpty() ? QStringLiteral("window") : text;
}

bool holdsKeysOf(tolvconfig::config_t const& config, std::string const& prefix)
{
    for (std::string const& key : config.keys()) {
        if (key.compare(0, prefix.size(), prefix) == 0)
            return true;
    }
    return false;
}

fileReplaySource_t* replayOf(deviceFeed_t const* feed)
{
    return feed ? qobject_cast<fileReplaySource_t*>(feed->source()) : nullptr;
}
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
    QList<deviceConfig_t> deviceConfigs;
    QList<QPointer<orvane::device_t>> devices;
    unsigned int nextPortId = 1;
    QList<QPointer<orvane::orvaneDialog_t>> applicationWindows;
    QTimer clock;
    QTimer saveTimer;
    bool snapshotMode = false;
    soundEffectPlayer_t* player = nullptr;
    alarmStateReader_t* alarmStates = nullptr;
    alarmMonitor_t* alarms = nullptr;
    QPointer<orvane::qc::dlgGeneralSettings_t> generalSettings;
    std::unique_ptr<QTemporaryDir> snapshotFixes;   // snapshots record into a store of their own

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
    d->simulation = new simulation_t(d->context->controllerContext()->controller(), this);
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
    for (auto const& device : d->devices)
        delete device.data();
    for (auto const& window : d->applicationWindows)
        delete window.data();
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

    // The fix store is open before any device can record a man-overboard fix.
    auto* fixStore = orvane::fixes::fixManager_t::instance();
    connect(fixStore, &orvane::fixes::fixManager_t::storeProblem, this,
            [this](QString const& message) { d->report(message, d->mainWindow); });
    connect(fixStore, &orvane::fixes::fixManager_t::fixAdded, d->mainWindow,
            [this](orvane::fixes::fix_t const& fix) { d->mainWindow->showMessage(fixesWindow_t::fixSummary(fix)); });
    QString fixesPath = d->options.fixesPath;
    if (fixesPath.isEmpty() && d->snapshotMode) {
        d->snapshotFixes.reset(new QTemporaryDir);
        fixesPath = d->snapshotFixes->filePath(QStringLiteral("fixes.journal"));
    }
    fixStore->open(fixesPath.isEmpty() ? orvane::fixes::fixManager_t::defaultPath() : fixesPath);

    QStringList problems;
    if (deviceConfigList_t::isDeclared(d->config))
        d->deviceConfigs = deviceConfigList_t::load(d->config, &problems);
    else
        d->deviceConfigs = deviceConfigList_t::simulationDevices();
    if (!problems.isEmpty())
        d->report(problems.join(QLatin1Char('\n')), d->mainWindow);

    QList<orvane::device_t*> created;
    for (deviceConfig_t const& declared : d->deviceConfigs) {
        orvane::device_t* device = buildDevice(declared, &problems);
        d->devices.append(device);
        created.append(device);
    }
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

    for (orvane::device_t* device : created)
        loadDeviceSettings(device);
    for (auto const& window : d->applicationWindows) {
        window->useDefaults();
        // Loading general settings that were never stored would turn both alarms on, every
        // second: a first start keeps the defaults instead.
        if (window == d->generalSettings && !holdsKeysOf(d->config, window->outputKey("", -1)))
            continue;
        window->loadSettings(d->config, -1);
    }
    // The built-in simulation compares its receivers against the first one until the user
    // configures another centre.
    if (!deviceConfigList_t::isDeclared(d->config)) {
        for (auto const& window : d->applicationWindows) {
            auto* comparison = qobject_cast<orvane::qc::dlgPositionComparison_t*>(window.data());
            if (!comparison)
                continue;
            orvane::qc::positionComparisonConfigSettings_t settings = comparison->configSettings();
            if (settings.activeDevice || settings.center.isValid())
                continue;
            for (orvane::device_t* device : created) {
                if (device->deviceCapabilities() & orvane::capPositions) {
                    settings.activeDevice = device;
                    comparison->setConfigSettings(settings);
                    break;
                }
            }
        }
    }

    d->mainWindow->setDevices(created);
    // --night chooses the night look as "Night" in the general settings would, so every
    // window follows through the one path; it is stored only if something is saved later
    if (d->options.night && d->generalSettings) {
        orvane::qc::displayModeRule_t rule = d->generalSettings->displayModeRule();
        rule.autoMode = false;
        rule.manualMode = belrix_common_qt::displayModeNight;
        d->generalSettings->setDisplayModeRule(rule);
    }
    assignDataClock();
    if (d->snapshotMode) {
        belrix_common_qt::dataClock_t::setTime(std::floor(belrix_common_qt::dataClock_t::now()));
        for (orvane::device_t* device : created)
            startFeed(device);
        return true;
    }

    for (orvane::device_t* device : created)
        startFeed(device);
    // with no simulated device, the simulation's almanac must not mix with the receivers'
    if (d->simulation->receiverCount() + d->simulation->gyroCount() > 0)
        d->simulation->start();
    d->clock.start();
    connect(qApp, &QApplication::aboutToQuit, this, &orvaneApplication_t::saveConfiguration);
    d->mainWindow->show();
    if (errorMessage)
        errorMessage->clear();
    return true;
}

int orvaneApplication_t::runSnapshots()
{
    QDir dir(d->options.snapshotDir);
    if (!dir.mkpath(QStringLiteral("."))) {
        std::fprintf(stderr, "orvane: cannot create the snapshot folder %s\n", qPrintable(d->options.snapshotDir));
        return 1;
    }
    // Headless, nobody can answer a window's warning: print it and close it.
    QTimer dismisser;
    dismisser.setInterval(50);
    connect(&dismisser, &QTimer::timeout, this, [] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            std::fprintf(stderr, "orvane: %s: %s\n", qPrintable(box->windowTitle()), qPrintable(box->text()));
            box->done(QMessageBox::Ok);
        }
    });
    dismisser.start();
    const int steps = int(std::ceil(d->options.runFor));
    for (int i = 0; i < steps; ++i) {
        stepSources(1.0);
        tick();
        QApplication::processEvents();
    }

    struct shot_t {
        QString file;
        QWidget* widget;
    };
    QList<shot_t> shots;
    shots.append({QStringLiteral("main-window.png"), d->mainWindow});
    for (auto const& device : d->devices) {
        if (!device)
            continue;
        const QString base = QStringLiteral("device-") + fileNamePart(device->deviceName());
        shots.append({base + QStringLiteral(".png"), device.data()});
        for (orvane::orvanePage_t* page : device->pageGroup()->pages()) {
            if (page->widget())
                shots.append({base + QLatin1Char('-') + fileNamePart(page->title()) + QStringLiteral(".png"), page->widget()});
        }
        if (deviceFeed_t* f = feed(device.data())) {
            auto* raw = device->findChild<dlgRawNmea_t*>(QString(), Qt::FindDirectChildrenOnly);
            shots.append({base + QStringLiteral("-raw-nmea.png"), raw ? raw : new dlgRawNmea_t(f, device->deviceName(), device.data())});
        }
    }
    for (auto const& window : d->applicationWindows) {
        if (window)
            shots.append({QStringLiteral("window-") + fileNamePart(window->windowTitle()) + QStringLiteral(".png"), window.data()});
    }

    for (shot_t const& shot : shots)
        shot.widget->show();
    // one more tick so windows that draw on the clock have their data on screen
    QApplication::processEvents();
    tick();
    QApplication::processEvents();

    int failures = 0;
    for (shot_t const& shot : shots) {
        const QString path = dir.filePath(shot.file);
        if (!shot.widget->grab().save(path, "PNG")) {
            std::fprintf(stderr, "orvane: could not write %s\n", qPrintable(path));
            ++failures;
        }
    }
    std::printf("orvane: wrote %d snapshots after %g s of data time to %s\n", int(shots.size()) - failures,
                d->options.runFor, qPrintable(QDir::toNativeSeparators(dir.absolutePath())));
    return failures == 0 ? 0 : 1;
}

void orvaneApplication_t::createApplicationWindows()
{
    // One line per application-wide window, in the order of the "Windows" menu.
    d->generalSettings = new orvane::qc::dlgGeneralSettings_t(d->context, d->mainWindow);
    addApplicationWindow(d->generalSettings);
    addApplicationWindow(new orvane::qc::dlgAllErrorEllipse_t(d->context, d->mainWindow));
    addApplicationWindow(new orvane::qc::dlgPositionComparison_t(d->context, d->mainWindow));
    addApplicationWindow(new fixesWindow_t(d->context, d->mainWindow));
}

void orvaneApplication_t::addApplicationWindow(orvane::orvaneDialog_t* window)
{
    d->applicationWindows.append(window);
    d->mainWindow->addWindow(window->windowTitle(), window);
}

orvane::device_t* orvaneApplication_t::buildDevice(deviceConfig_t const& declared, QStringList* problems)
{
    unsigned int const portId = d->nextPortId++;
    auto* port = new belrix_common_qt::remotePort_t;
    sourceAddress_t address;
    QString problem;
    nmeaSource_t* source = nullptr;
    if (!sourceAddress_t::parse(declared.source, &address, &problem)) {
        port->setSourceDescription(declared.source);
    } else {
        port->setSourceDescription(address.description());
        source = sourceFactory_t::create(address, d->simulation, portId, &problem);
    }

    auto* device = new orvane::qc::qcDevice_t(d->context, declared.name, this);
    device->setPort(port);
    device->setPortId(portId);
    device->setDeviceColor(declared.color);
    device->setDeviceDescription(declared.name);
    device->setDeviceCapabilities(declared.capabilities);
    device->setDeviceOldType(declared.type);
    device->setCanLogData(true);
    device->initialize();
    orvane::deviceStore_t::instance()->addDevice(device);
    connect(device, &orvane::device_t::configurationModified, this, &orvaneApplication_t::scheduleSave);
    for (orvane::orvaneDialog_t* dialog : device->dialogs())
        connect(dialog, &orvane::orvaneDialog_t::configurationModified, this, &orvaneApplication_t::scheduleSave);
    auto* rawNmea = new QAction(tr("Raw NMEA..."), device);
    rawNmea->setObjectName(QStringLiteral("rawNmeaAction"));
    connect(rawNmea, &QAction::triggered, this, [this, device] { showRawNmea(device); });
    device->menuManager()->addMenuAction(QStringLiteral("View"), rawNmea);

    // the feed lives as long as the device, which may be rebuilt or removed while running
    auto* newFeed = new deviceFeed_t(port, d->context->controllerContext()->controller(), device);
    newFeed->setAllowMissingChecksum(declared.allowMissingChecksum);
    if (auto* replay = qobject_cast<fileReplaySource_t*>(source)) {
        replay->setAllowMissingChecksum(declared.allowMissingChecksum);
        replay->setManualPacing(d->snapshotMode);
    }
    if (auto* simulated = qobject_cast<simulationSource_t*>(source)) {
        belrix_common_qt::remoteDevice_t* data = port->device();
        connect(simulated, &simulationSource_t::correctionSignal, data, [data](double snr, double t) {
            data->setCorrSatSnr(belrix_common_qt::dataItem_t<float>(float(snr), t));
        });
    }
    newFeed->setSource(source);
    if (!problem.isEmpty()) {
        newFeed->setProblem(problem);
        if (problems)
            *problems << tr("The source of %1 cannot be used, so it stays disconnected: %2").arg(declared.name, problem);
    }
    if (!d->options.recordPath.isEmpty()) {
        QString path = nmeaRecorder_t::pathForDevice(d->options.recordPath, declared.name);
        // two names may come to the same file name
        for (int n = 2; std::any_of(d->devices.begin(), d->devices.end(), [&](QPointer<orvane::device_t> const& other) {
                 deviceFeed_t const* f = feed(other.data());
                 return f && f->recordFile() == path;
             }); ++n)
            path = nmeaRecorder_t::pathForDevice(d->options.recordPath, declared.name + QString::number(n));
        QString error;
        if (!newFeed->setRecordFile(path, declared.name, &error) && problems)
            *problems << error;
    }
    return device;
}

void orvaneApplication_t::loadDeviceSettings(orvane::device_t* device)
{
    // Defaults first, so a configuration that lacks a key leaves a sensible value.
    device->useDefaults();
    for (orvane::orvaneDialog_t* dialog : device->dialogs())
        dialog->useDefaults();
    // a simulated receiver's residuals are scaled to its own range noise
    deviceFeed_t const* f = feed(device);
    if (auto* simulated = f ? qobject_cast<simulationSource_t*>(f->source()) : nullptr) {
        if (simulated->kind() == simulationSource_t::kindReceiver && device->remoteDevice())
            device->remoteDevice()->qcSettings()->setAprioriSigma(
                simulation_t::nominalRangeSigma(d->simulation->profile(simulated->index())));
    }
    device->loadSettings(d->config);
    for (orvane::orvaneDialog_t* dialog : device->dialogs())
        dialog->loadSettings(d->config, -1);
}

void orvaneApplication_t::startFeed(orvane::device_t* device)
{
    deviceFeed_t* f = feed(device);
    if (!f || !f->source())
        return;
    // headless runs are stepped by hand; live links would make them depend on the network
    if (d->snapshotMode && !qobject_cast<fileReplaySource_t*>(f->source())
        && !qobject_cast<simulationSource_t*>(f->source())) {
        f->setProblem(tr("Not started in a headless run"));
        return;
    }
    f->start();
}

void orvaneApplication_t::assignDataClock()
{
    bool assigned = false;
    for (orvane::device_t* device : devices()) {
        if (fileReplaySource_t* replay = replayOf(feed(device))) {
            replay->setDrivesDataClock(!assigned);
            assigned = true;
        }
    }
}

void orvaneApplication_t::stepSources(double seconds)
{
    bool replayClock = false;
    for (orvane::device_t* device : devices()) {
        fileReplaySource_t const* replay = replayOf(feed(device));
        replayClock = replayClock || (replay && replay->drivesDataClock() && replay->isConnected());
    }
    if (!replayClock)
        belrix_common_qt::dataClock_t::advance(seconds);
    for (orvane::device_t* device : devices()) {
        if (deviceFeed_t* f = feed(device); f && f->source())
            f->source()->advance(seconds);
    }
    if (d->simulation->receiverCount() + d->simulation->gyroCount() > 0)
        d->simulation->step(belrix_common_qt::dataTimestamp());
}

deviceFeed_t* orvaneApplication_t::feed(orvane::device_t* device) const
{
    return device ? device->findChild<deviceFeed_t*>(QString(), Qt::FindDirectChildrenOnly) : nullptr;
}

QList<deviceConfig_t> orvaneApplication_t::deviceConfigs() const { return d->deviceConfigs; }

QString orvaneApplication_t::checkDevice(deviceConfig_t const& config, int index) const
{
    if (config.name.trimmed().isEmpty())
        return tr("A device needs a name.");
    for (int i = 0; i < d->deviceConfigs.size(); ++i) {
        if (i != index && d->deviceConfigs.at(i).name.compare(config.name.trimmed(), Qt::CaseInsensitive) == 0)
            return tr("Another device is already named \"%1\".").arg(config.name.trimmed());
    }
    QString error;
    if (!sourceAddress_t::parse(config.source, nullptr, &error))
        return error;
    return QString();
}

bool orvaneApplication_t::addDevice(deviceConfig_t const& config, QString* error)
{
    QString const problem = checkDevice(config, -1);
    if (!problem.isEmpty()) {
        if (error)
            *error = problem;
        return false;
    }
    deviceConfig_t declared = config;
    declared.name = declared.name.trimmed();
    QStringList problems;
    orvane::device_t* device = buildDevice(declared, &problems);
    d->deviceConfigs.append(declared);
    d->devices.append(device);
    loadDeviceSettings(device);
    d->mainWindow->setDevices(devices());
    assignDataClock();
    startFeed(device);
    if (!d->snapshotMode && !d->simulation->isRunning() && d->simulation->receiverCount() + d->simulation->gyroCount() > 0)
        d->simulation->start();
    scheduleSave();
    if (error)
        *error = problems.join(QLatin1Char('\n'));
    return true;
}

bool orvaneApplication_t::changeDevice(int index, deviceConfig_t const& config, QString* error)
{
    if (index < 0 || index >= d->deviceConfigs.size() || index >= d->devices.size()) {
        if (error)
            *error = tr("There is no such device.");
        return false;
    }
    QString const problem = checkDevice(config, index);
    if (!problem.isEmpty()) {
        if (error)
            *error = problem;
        return false;
    }
    deviceConfig_t declared = config;
    declared.name = declared.name.trimmed();
    deviceConfig_t const old = d->deviceConfigs.at(index);
    QPointer<orvane::device_t> device = d->devices.at(index);
    QStringList problems;
    bool const rebuild = !device || declared.name != old.name || declared.type != old.type
                         || declared.capabilities != old.capabilities;
    if (rebuild) {
        // what the device and its windows keep goes with it, under its new name
        if (device) {
            device->saveSettings(d->config);
            for (orvane::orvaneDialog_t* dialog : device->dialogs())
                dialog->saveSettings(d->config, -1);
            std::string const oldPrefix = device->outputKey(std::string());
            std::string const oldTail = old.name.toStdString() + ".";
            if (declared.name != old.name && oldPrefix.size() >= oldTail.size()
                && oldPrefix.compare(oldPrefix.size() - oldTail.size(), oldTail.size(), oldTail) == 0) {
                std::string const newPrefix =
                    oldPrefix.substr(0, oldPrefix.size() - oldTail.size()) + declared.name.toStdString() + ".";
                for (std::string const& key : d->config.keys()) {
                    if (key.compare(0, oldPrefix.size(), oldPrefix) != 0)
                        continue;
                    std::string value;
                    d->config.getValue(key, value);
                    d->config.removeValue(key);
                    d->config.setValue(newPrefix + key.substr(oldPrefix.size()), value);
                }
            }
            delete device.data();
        }
        orvane::device_t* rebuilt = buildDevice(declared, &problems);
        d->devices[index] = rebuilt;
        d->deviceConfigs[index] = declared;
        loadDeviceSettings(rebuilt);
        d->mainWindow->setDevices(devices());
        assignDataClock();
        startFeed(rebuilt);
    } else {
        device->setDeviceColor(declared.color);
        d->deviceConfigs[index] = declared;
        if (declared.source != old.source || declared.allowMissingChecksum != old.allowMissingChecksum) {
            deviceFeed_t* f = feed(device);
            sourceAddress_t address;
            QString why;
            nmeaSource_t* source = nullptr;
            if (sourceAddress_t::parse(declared.source, &address, &why))
                source = sourceFactory_t::create(address, d->simulation, device->portId(), &why);
            if (auto* replay = qobject_cast<fileReplaySource_t*>(source)) {
                replay->setAllowMissingChecksum(declared.allowMissingChecksum);
                replay->setManualPacing(d->snapshotMode);
            }
            if (auto* simulated = qobject_cast<simulationSource_t*>(source)) {
                belrix_common_qt::remoteDevice_t* data = device->remoteDevice();
                connect(simulated, &simulationSource_t::correctionSignal, data, [data](double snr, double t) {
                    data->setCorrSatSnr(belrix_common_qt::dataItem_t<float>(float(snr), t));
                });
            }
            f->setAllowMissingChecksum(declared.allowMissingChecksum);
            f->setSource(source);
            f->setProblem(why);
            if (!why.isEmpty())
                problems << why;
            device->port()->setSourceDescription(source ? address.description() : declared.source);
            assignDataClock();
            startFeed(device);
        }
        d->mainWindow->updateDevices();
    }
    if (!d->snapshotMode && !d->simulation->isRunning() && d->simulation->receiverCount() + d->simulation->gyroCount() > 0)
        d->simulation->start();
    scheduleSave();
    if (error)
        *error = problems.join(QLatin1Char('\n'));
    return true;
}

bool orvaneApplication_t::removeDevice(int index)
{
    if (index < 0 || index >= d->deviceConfigs.size() || index >= d->devices.size())
        return false;
    QPointer<orvane::device_t> device = d->devices.takeAt(index);
    d->deviceConfigs.removeAt(index);
    if (device) {
        // its stored settings stay, should a device of that name come back
        device->saveSettings(d->config);
        delete device.data();
    }
    d->mainWindow->setDevices(devices());
    assignDataClock();
    scheduleSave();
    return true;
}

void orvaneApplication_t::openDeviceDialog(orvane::device_t* device)
{
    int const index = d->devices.indexOf(device);
    dlgDeviceConfig_t dialog(d->mainWindow);
    QStringList taken;
    for (int i = 0; i < d->deviceConfigs.size(); ++i) {
        if (i != index)
            taken << d->deviceConfigs.at(i).name;
    }
    dialog.setTakenNames(taken);
    if (index >= 0 && index < d->deviceConfigs.size()) {
        dialog.setConfig(d->deviceConfigs.at(index));
    } else {
        deviceConfig_t fresh;
        fresh.capabilities = deviceConfigList_t::simulationDevices().first().capabilities;
        int n = d->deviceConfigs.size() + 1;
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
    int const index = d->devices.indexOf(device);
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

QList<orvane::device_t*> orvaneApplication_t::devices() const
{
    QList<orvane::device_t*> list;
    for (auto const& device : d->devices) {
        if (device)
            list.append(device.data());
    }
    return list;
}

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
    // Start from what was read so keys of windows not built in this run survive.
    tolvconfig::config_t config = d->config;
    deviceConfigList_t::save(config, d->deviceConfigs);
    for (orvane::device_t* device : devices()) {
        device->saveSettings(config);
        for (orvane::orvaneDialog_t* dialog : device->dialogs())
            dialog->saveSettings(config, -1);
    }
    for (orvane::orvaneDialog_t* window : applicationWindows())
        window->saveSettings(config, -1);
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
