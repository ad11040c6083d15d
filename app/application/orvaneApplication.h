#pragma once

#include "deviceConfig.h"

#include <QObject>
#include <QString>

namespace orvane {

class context_t;
class device_t;
class orvaneDialog_t;

namespace app {

class deviceFeed_t;
class mainWindow_t;

// The host application: devices from the configuration (or the built-in simulation), the
// one-second clock, and saving the configuration when windows change it. The devices' life
// is deviceLifecycle_t's, reading the configuration configMigration_t's and the headless run
// snapshotRunner_t's.
class orvaneApplication_t : public QObject
{
    Q_OBJECT
public:
    struct options_t {
        QString configPath;          // empty: the per-user default
        QString snapshotDir;         // non-empty: run headless and write snapshots
        double runFor = 10.0;        // seconds of data time before the snapshots
        QString fixesPath;           // the fix store; empty: the per-user default (a fresh one for snapshots)
        bool night = false;          // start with the night look
        QString recordPath;          // non-empty: each device's lines are kept in a file named after it
        QString almanacDir;          // almanac files; empty: the per-user default (none for snapshots)
    };

    explicit orvaneApplication_t(options_t const& options, QObject* parent = nullptr);
    ~orvaneApplication_t() override;

    static QString defaultConfigPath();

    // Builds everything; false with a message when the application cannot start.
    bool start(QString* errorMessage = nullptr);
    // Runs the snapshot mode; returns the process exit code.
    int runSnapshots();

    QList<orvane::device_t*> devices() const;
    QList<orvane::orvaneDialog_t*> applicationWindows() const;
    mainWindow_t* mainWindow() const;
    orvane::context_t* context() const;

    // The device list and its editing, applied at once: a device whose name, type or
    // capabilities change is built again, otherwise only its colour or source changes; the
    // configuration is saved a moment later. False, with the reason, when refused.
    QList<deviceConfig_t> deviceConfigs() const;
    bool addDevice(deviceConfig_t const& config, QString* error = nullptr);
    bool changeDevice(int index, deviceConfig_t const& config, QString* error = nullptr);
    bool removeDevice(int index);
    // Where the device's data comes from; null for a device of another application.
    deviceFeed_t* feed(orvane::device_t* device) const;

public slots:
    // The device dialog, for a new device when device is null.
    void openDeviceDialog(orvane::device_t* device = nullptr);
    void confirmRemoveDevice(orvane::device_t* device);
    void showRawNmea(orvane::device_t* device);

    void tick();
    bool saveConfiguration();
    // Saves a moment later, so a burst of changes is written once.
    void scheduleSave();

private:
    void createApplicationWindows();
    // The window is the application's from here on; the main window offers it.
    void addApplicationWindow(orvane::orvaneDialog_t* window);

    class private_t;
    private_t* d;
};

} // namespace app
} // namespace orvane
