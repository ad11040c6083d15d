#pragma once

#include <orvane/orvaneMainWindow.h>

class QAction;

namespace orvane {

class device_t;

namespace app {

// The application's main window: every device with its colour, type, source and whether
// it is connected; opens device windows and the application-wide windows.
class mainWindow_t : public orvane::orvaneMainWindow_t
{
    Q_OBJECT
public:
    explicit mainWindow_t(QWidget* parent = nullptr);
    ~mainWindow_t() override;

    void setDevices(QList<orvane::device_t*> const& devices);
    // Adds an entry to the "Windows" menu that opens the window.
    QAction* addWindow(QString const& title, QWidget* window);
    void setConfigPath(QString const& path);

public slots:
    // Refreshes the device rows and the data time shown in the status bar.
    void updateDevices();
    void showMessage(QString const& message, int timeoutMs = 10000);

    // The device of the selected row; null when none is selected.
    orvane::device_t* selectedDevice() const;

signals:
    void saveRequested();
    void addDeviceRequested();
    void editDeviceRequested(orvane::device_t* device);
    void removeDeviceRequested(orvane::device_t* device);
    void rawNmeaRequested(orvane::device_t* device);

private slots:
    void openSelectedDevice();

private:
    class private_t;
    private_t* d;
};

} // namespace app
} // namespace orvane
