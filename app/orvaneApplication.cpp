#include "orvaneApplication.h"

#include "deviceConfig.h"
#include "mainWindow.h"
#include "simulation.h"

#include <belrix_common_qt/dataClock.h>
#include <belrix_common_qt/remotePort.h>
#include <device/qcDevice.h>
#include <orvane/context.h>
#include <orvane/deviceStore.h>
#include <orvane/orvaneDialog.h>
#include <orvane/orvanePage.h>
#include <orvane/orvanePageGroup.h>
#include <tolvconfig/config.h>

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <QPointer>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTimer>

#include <cmath>
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

receiverProfile_t profileFor(QString const& which, unsigned seed)
{
    receiverProfile_t profile;
    profile.seed = seed;
    if (which == QLatin1String("receiver-a")) {
        profile.horizontalSigma = 0.3;
        profile.antennaOffsetForward = 12.0;
        profile.antennaOffsetStarboard = -1.5;
        profile.belrix = true;
        profile.fixQuality = 5;
        profile.outageInterval = 0.0;
    } else {
        profile.horizontalSigma = 1.8;
        profile.antennaOffsetForward = 10.0;
        profile.antennaOffsetStarboard = 2.0;
        profile.fixQuality = 2;
        profile.allConstellations = false;
    }
    return profile;
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
    QList<QPointer<orvane::orvaneDialog_t>> applicationWindows;
    QTimer clock;
    QTimer saveTimer;
    bool snapshotMode = false;

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

    if (!d->configPath.isEmpty()) {
        const tolvconfig::loadResult_t result = d->config.load(d->configPath);
        if (!result.ok())
            d->report(result.message, d->mainWindow);
    }

    QStringList problems;
    if (deviceConfigList_t::isDeclared(d->config))
        d->deviceConfigs = deviceConfigList_t::load(d->config, &problems);
    else
        d->deviceConfigs = deviceConfigList_t::simulationDevices();
    if (!problems.isEmpty())
        d->report(problems.join(QLatin1Char('\n')), d->mainWindow);

    QList<orvane::device_t*> created;
    unsigned int portId = 1;
    for (deviceConfig_t const& declared : d->deviceConfigs) {
        auto* port = new belrix_common_qt::remotePort_t;
        const QString kind = declared.source.section(QLatin1Char(':'), 0, 0);
        const QString detail = declared.source.section(QLatin1Char(':'), 1);
        if (kind == QLatin1String("simulation")) {
            port->setSourceDescription(tr("Simulation (%1)").arg(detail));
            if (detail == QLatin1String("gyro"))
                d->simulation->addGyro(port);
            else
                d->simulation->addReceiver(port, profileFor(detail, portId));
        } else {
            port->setSourceDescription(declared.source.isEmpty() ? tr("No source") : declared.source);
            if (!declared.source.isEmpty())
                problems << tr("The source \"%1\" of %2 is not supported by this version; the device stays "
                               "disconnected.").arg(declared.source, declared.name);
        }

        auto* device = new orvane::qc::qcDevice_t(d->context, declared.name, this);
        device->setPort(port);
        device->setPortId(portId++);
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
        // Snapshots step the simulation by hand instead of starting it.
        if (d->snapshotMode && kind == QLatin1String("simulation"))
            port->setConnected(true);
        d->devices.append(device);
        created.append(device);
    }
    if (!problems.isEmpty())
        d->report(problems.join(QLatin1Char('\n')), d->mainWindow);

    createApplicationWindows();
    for (auto const& window : d->applicationWindows)
        connect(window.data(), &orvane::orvaneDialog_t::configurationModified, this, &orvaneApplication_t::scheduleSave);

    // Defaults first, so a configuration that lacks a key leaves a sensible value.
    for (orvane::device_t* device : created) {
        device->useDefaults();
        for (orvane::orvaneDialog_t* dialog : device->dialogs())
            dialog->useDefaults();
        device->loadSettings(d->config);
        for (orvane::orvaneDialog_t* dialog : device->dialogs())
            dialog->loadSettings(d->config, -1);
    }
    for (auto const& window : d->applicationWindows) {
        window->useDefaults();
        window->loadSettings(d->config, -1);
    }

    d->mainWindow->setDevices(created);
    if (d->snapshotMode) {
        belrix_common_qt::dataClock_t::setTime(std::floor(belrix_common_qt::dataClock_t::now()));
        return true;
    }

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
    const int steps = int(std::ceil(d->options.runFor));
    for (int i = 0; i < steps; ++i) {
        belrix_common_qt::dataClock_t::advance(1.0);
        d->simulation->step(belrix_common_qt::dataTimestamp());
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
}

void orvaneApplication_t::addApplicationWindow(orvane::orvaneDialog_t* window)
{
    d->applicationWindows.append(window);
    d->mainWindow->addWindow(window->windowTitle(), window);
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
