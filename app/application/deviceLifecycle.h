#pragma once

#include "deviceConfig.h"

#include <QObject>
#include <QString>
#include <QStringList>

namespace tolvconfig {
class config_t;
}

namespace orvane {

class context_t;
class device_t;

namespace app {

class deviceFeed_t;
class simulation_t;

// The application's devices from their declarations: each with its port, its feed and the
// source its address names, built again, changed in place or removed as the list is edited.
class deviceLifecycle_t : public QObject
{
    Q_OBJECT
public:
    // config: the configuration the devices' settings are loaded from and renamed in.
    deviceLifecycle_t(orvane::context_t* context, simulation_t* simulation, tolvconfig::config_t* config,
                      QObject* parent = nullptr);
    ~deviceLifecycle_t() override;

    // Headless runs step their replays by hand and open no live links.
    void setHeadless(bool headless);
    // Non-empty: each device's lines are kept in a file named after it.
    void setRecordPath(QString const& path);

    // Builds the declared devices with their settings; what prevents a source from working
    // goes to problems, and that device stays disconnected.
    QList<orvane::device_t*> create(QList<deviceConfig_t> const& declared, QStringList* problems);
    // Defaults, then what the configuration holds for each device and its windows.
    void loadSettings();
    // Starts the devices' sources, and the simulation when a device uses it and the run is live.
    void startFeeds();

    QList<orvane::device_t*> devices() const;
    QList<deviceConfig_t> deviceConfigs() const;
    int indexOf(orvane::device_t* device) const;
    // Where the device's data comes from; null for a device of another application.
    static deviceFeed_t* feed(orvane::device_t* device);

    // As orvaneApplication_t's: a device whose name, type or capabilities change is built
    // again, otherwise only its colour or source changes.
    bool addDevice(deviceConfig_t const& config, QString* error = nullptr);
    bool changeDevice(int index, deviceConfig_t const& config, QString* error = nullptr);
    bool removeDevice(int index);
    // Deletes every device before the windows they point to go.
    void clear();

    // Headless runs step the clock, the replays and the simulation by hand.
    void stepSources(double seconds);

signals:
    void configurationModified();
    void listChanged();        // devices came or went
    void devicesChanged();     // a device changed in place
    void rawNmeaRequested(orvane::device_t* device);

private:
    orvane::device_t* buildDevice(deviceConfig_t const& declared, QStringList* problems);
    // The one place a device's source is made from its address and joined to its feed;
    // returns why it cannot be used, or nothing.
    QString attachSource(orvane::device_t* device, deviceConfig_t const& declared);
    // The feed's state, kept in a permanent label of the device window's status bar.
    static void showSourceState(orvane::device_t* device, deviceFeed_t* feed);
    void loadDeviceSettings(orvane::device_t* device);
    void startFeed(orvane::device_t* device);
    // The first replayed device sets the data clock; no other does.
    void assignDataClock();
    void startSimulation();
    QString checkDevice(deviceConfig_t const& config, int index) const;

    class private_t;
    private_t* d;
};

} // namespace app
} // namespace orvane
