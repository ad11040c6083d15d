#include "deviceLifecycle.h"

#include "configMigration.h"
#include "deviceFeed.h"
#include "simulation/simulation.h"
#include "simulation/simulationSource.h"
#include "sources/fileReplaySource.h"
#include "sources/nmeaRecorder.h"
#include "sources/sourceAddress.h"
#include "sources/sourceFactory.h"

#include <belrix_common_qt/dataClock.h>
#include <belrix_common_qt/deviceLogger.h>
#include <belrix_common_qt/qcSettingsBase.h>
#include <belrix_common_qt/remoteController.h>
#include <belrix_common_qt/remoteDevice.h>
#include <belrix_common_qt/remotePort.h>
#include <device/qcDevice.h>
#include <orvane/context.h>
#include <orvane/deviceStore.h>
#include <orvane/menuManager.h>
#include <orvane/orvaneDialog.h>
#include <tolvconfig/config.h>

#include <QAction>
#include <QLabel>
#include <QPointer>
#include <QStatusBar>

#include <algorithm>

namespace orvane {
namespace app {

namespace {
fileReplaySource_t* replayOf(deviceFeed_t const* feed)
{
    return feed ? qobject_cast<fileReplaySource_t*>(feed->source()) : nullptr;
}
} // namespace

class deviceLifecycle_t::private_t
{
public:
    orvane::context_t* context = nullptr;
    simulation_t* simulation = nullptr;
    tolvconfig::config_t* config = nullptr;
    bool headless = false;
    QString recordPath;
    QList<deviceConfig_t> deviceConfigs;
    QList<QPointer<orvane::device_t>> devices;
    unsigned int nextPortId = 1;

    bool simulationInUse() const { return simulation->receiverCount() + simulation->gyroCount() > 0; }
};

deviceLifecycle_t::deviceLifecycle_t(orvane::context_t* context, simulation_t* simulation, tolvconfig::config_t* config,
                                     QObject* parent)
    : QObject(parent), d(new private_t)
{
    d->context = context;
    d->simulation = simulation;
    d->config = config;
}

deviceLifecycle_t::~deviceLifecycle_t()
{
    clear();
    delete d;
}

void deviceLifecycle_t::setHeadless(bool headless) { d->headless = headless; }
void deviceLifecycle_t::setRecordPath(QString const& path) { d->recordPath = path; }

void deviceLifecycle_t::clear()
{
    for (auto const& device : d->devices)
        delete device.data();
    d->devices.clear();
    d->deviceConfigs.clear();
}

QList<orvane::device_t*> deviceLifecycle_t::create(QList<deviceConfig_t> const& declared, QStringList* problems)
{
    QList<orvane::device_t*> created;
    for (deviceConfig_t const& config : declared) {
        orvane::device_t* device = buildDevice(config, problems);
        d->deviceConfigs.append(config);
        d->devices.append(device);
        created.append(device);
    }
    return created;
}

void deviceLifecycle_t::loadSettings()
{
    for (orvane::device_t* device : devices())
        loadDeviceSettings(device);
}

void deviceLifecycle_t::startFeeds()
{
    assignDataClock();
    for (orvane::device_t* device : devices())
        startFeed(device);
    startSimulation();
}

QString deviceLifecycle_t::attachSource(orvane::device_t* device, deviceConfig_t const& declared)
{
    deviceFeed_t* f = feed(device);
    sourceAddress_t address;
    QString problem;
    nmeaSource_t* source = nullptr;
    bool const parsed = sourceAddress_t::parse(declared.source, &address, &problem);
    if (parsed)
        source = sourceFactory_t::create(address, d->simulation, device->portId(), &problem);
    device->port()->setSourceDescription(parsed ? address.description() : declared.source);
    if (auto* replay = qobject_cast<fileReplaySource_t*>(source)) {
        replay->setAllowMissingChecksum(declared.allowMissingChecksum);
        replay->setManualPacing(d->headless);
    }
    if (auto* simulated = qobject_cast<simulationSource_t*>(source)) {
        belrix_common_qt::remoteDevice_t* data = device->port()->device();
        connect(simulated, &simulationSource_t::correctionSignal, data, [data](double snr, double t) {
            data->setCorrSatSnr(belrix_common_qt::dataItem_t<float>(float(snr), t));
        });
    }
    f->setAllowMissingChecksum(declared.allowMissingChecksum);
    f->setSource(source);
    f->setProblem(problem);
    return problem;
}

orvane::device_t* deviceLifecycle_t::buildDevice(deviceConfig_t const& declared, QStringList* problems)
{
    unsigned int const portId = d->nextPortId++;
    auto* port = new belrix_common_qt::remotePort_t;
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
    connect(device, &orvane::device_t::configurationModified, this, &deviceLifecycle_t::configurationModified);
    for (orvane::orvaneDialog_t* dialog : device->dialogs())
        connect(dialog, &orvane::orvaneDialog_t::configurationModified, this, &deviceLifecycle_t::configurationModified);
    auto* rawNmea = new QAction(tr("Raw NMEA..."), device);
    rawNmea->setObjectName(QStringLiteral("rawNmeaAction"));
    connect(rawNmea, &QAction::triggered, this, [this, device] { emit rawNmeaRequested(device); });
    device->menuManager()->addMenuAction(QStringLiteral("View"), rawNmea);

    // the feed lives as long as the device, which may be rebuilt or removed while running
    auto* newFeed = new deviceFeed_t(port, d->context->controllerContext()->controller(), device);
    // named before the stored settings can start a log
    if (auto* logger = belrix_common_qt::deviceLogger_t::forDevice(port->device()))
        logger->setDeviceName(declared.name);
    showSourceState(device, newFeed);
    QString const problem = attachSource(device, declared);
    if (!problem.isEmpty() && problems)
        *problems << tr("The source of %1 cannot be used, so it stays disconnected: %2").arg(declared.name, problem);
    if (!d->recordPath.isEmpty()) {
        QString path = nmeaRecorder_t::pathForDevice(d->recordPath, declared.name);
        // two names may come to the same file name
        for (int n = 2; std::any_of(d->devices.begin(), d->devices.end(), [&](QPointer<orvane::device_t> const& other) {
                 deviceFeed_t const* f = feed(other.data());
                 return f && f->recordFile() == path;
             }); ++n)
            path = nmeaRecorder_t::pathForDevice(d->recordPath, declared.name + QString::number(n));
        QString error;
        if (!newFeed->setRecordFile(path, declared.name, &error) && problems)
            *problems << error;
    }
    return device;
}

void deviceLifecycle_t::showSourceState(orvane::device_t* device, deviceFeed_t* feed)
{
    auto* label = new QLabel;
    label->setObjectName(QStringLiteral("sourceStatusLabel"));
    label->setTextFormat(Qt::PlainText);   // a path or a server's words are never markup
    // a long error must not hold the window wide; what does not fit is in the tooltip
    label->setMinimumWidth(label->fontMetrics().averageCharWidth() * 12);
    device->statusBar()->addPermanentWidget(label);
    auto update = [label, feed] {
        QString const text = feed->stateText();
        label->setText(text);
        label->setToolTip(text);
    };
    connect(feed, &deviceFeed_t::statusChanged, label, update);
    update();
}

void deviceLifecycle_t::loadDeviceSettings(orvane::device_t* device)
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
    device->loadSettings(*d->config);
    for (orvane::orvaneDialog_t* dialog : device->dialogs())
        dialog->loadSettings(*d->config, -1);
}

void deviceLifecycle_t::startFeed(orvane::device_t* device)
{
    deviceFeed_t* f = feed(device);
    if (!f || !f->source())
        return;
    // headless runs are stepped by hand; live links would make them depend on the network
    if (d->headless && !qobject_cast<fileReplaySource_t*>(f->source())
        && !qobject_cast<simulationSource_t*>(f->source())) {
        f->setProblem(tr("Not started in a headless run"));
        return;
    }
    f->start();
}

void deviceLifecycle_t::assignDataClock()
{
    bool assigned = false;
    for (orvane::device_t* device : devices()) {
        if (fileReplaySource_t* replay = replayOf(feed(device))) {
            replay->setDrivesDataClock(!assigned);
            assigned = true;
        }
    }
}

void deviceLifecycle_t::startSimulation()
{
    // with no simulated device, the simulation's almanac must not mix with the receivers'
    if (!d->headless && !d->simulation->isRunning() && d->simulationInUse())
        d->simulation->start();
}

void deviceLifecycle_t::stepSources(double seconds)
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
    if (d->simulationInUse())
        d->simulation->step(belrix_common_qt::dataTimestamp());
}

deviceFeed_t* deviceLifecycle_t::feed(orvane::device_t* device)
{
    return device ? device->findChild<deviceFeed_t*>(QString(), Qt::FindDirectChildrenOnly) : nullptr;
}

QList<orvane::device_t*> deviceLifecycle_t::devices() const
{
    QList<orvane::device_t*> list;
    for (auto const& device : d->devices) {
        if (device)
            list.append(device.data());
    }
    return list;
}

QList<deviceConfig_t> deviceLifecycle_t::deviceConfigs() const { return d->deviceConfigs; }

int deviceLifecycle_t::indexOf(orvane::device_t* device) const { return d->devices.indexOf(device); }

QString deviceLifecycle_t::checkDevice(deviceConfig_t const& config, int index) const
{
    QString const nameProblem = deviceConfig_t::nameProblem(config.name.trimmed());
    if (!nameProblem.isEmpty())
        return nameProblem;
    for (int i = 0; i < d->deviceConfigs.size(); ++i) {
        if (i != index && d->deviceConfigs.at(i).name.compare(config.name.trimmed(), Qt::CaseInsensitive) == 0)
            return tr("Another device is already named \"%1\".").arg(config.name.trimmed());
    }
    QString error;
    if (!sourceAddress_t::parse(config.source, nullptr, &error))
        return error;
    return QString();
}

bool deviceLifecycle_t::addDevice(deviceConfig_t const& config, QString* error)
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
    emit listChanged();
    assignDataClock();
    startFeed(device);
    startSimulation();
    emit configurationModified();
    if (error)
        *error = problems.join(QLatin1Char('\n'));
    return true;
}

bool deviceLifecycle_t::changeDevice(int index, deviceConfig_t const& config, QString* error)
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
            device->saveSettings(*d->config);
            for (orvane::orvaneDialog_t* dialog : device->dialogs())
                dialog->saveSettings(*d->config, -1);
            configMigration_t::renameDevice(*d->config, device->outputKey(std::string()), old.name, declared.name);
            delete device.data();
        }
        orvane::device_t* rebuilt = buildDevice(declared, &problems);
        d->devices[index] = rebuilt;
        d->deviceConfigs[index] = declared;
        loadDeviceSettings(rebuilt);
        emit listChanged();
        assignDataClock();
        startFeed(rebuilt);
    } else {
        device->setDeviceColor(declared.color);
        d->deviceConfigs[index] = declared;
        if (declared.source != old.source || declared.allowMissingChecksum != old.allowMissingChecksum) {
            QString const why = attachSource(device, declared);
            if (!why.isEmpty())
                problems << why;
            assignDataClock();
            startFeed(device);
        }
        emit devicesChanged();
    }
    startSimulation();
    emit configurationModified();
    if (error)
        *error = problems.join(QLatin1Char('\n'));
    return true;
}

bool deviceLifecycle_t::removeDevice(int index)
{
    if (index < 0 || index >= d->deviceConfigs.size() || index >= d->devices.size())
        return false;
    QPointer<orvane::device_t> device = d->devices.takeAt(index);
    d->deviceConfigs.removeAt(index);
    if (device) {
        // its stored settings stay, should a device of that name come back
        device->saveSettings(*d->config);
        delete device.data();
    }
    emit listChanged();
    assignDataClock();
    emit configurationModified();
    return true;
}

} // namespace app
} // namespace orvane
