#pragma once

#include <QObject>
#include <QString>

namespace orvane {

class context_t;
class device_t;
class orvaneDialog_t;

namespace app {

class mainWindow_t;

// The host application: devices from the configuration (or the built-in simulation), the
// one-second clock, and saving the configuration when windows change it.
class orvaneApplication_t : public QObject
{
    Q_OBJECT
public:
    struct options_t {
        QString configPath;          // empty: the per-user default
        QString snapshotDir;         // non-empty: run headless and write snapshots
        double runFor = 10.0;        // seconds of data time before the snapshots
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

public slots:
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
