#pragma once

#include "orvane_export.h"
#include "orvane/orvaneMainWindow.h"

#include <belrix_common_qt/logCfg.h>

#include <QColor>
#include <QList>

#include <string>
#include <vector>

class QDockWidget;
class QToolBar;

namespace belrix_common_qt {
class remoteDevice_t;
class remotePort_t;
}
namespace belrix_common_qt_gui {
class orvaneDeviceGui_t;
class qualitySettings_t;
}
namespace tolvconfig {
class config_t;
}

namespace orvane {

// Bits of a device's capability mask: what the device offers, and so which windows,
// panels and actions it gets.
enum deviceCapability_t : int {
    capSignalStatus = 0x1,
    capPositions = 0x2,            // man overboard, take fix, position comparison
    capDeviceGraphs = 0x4,         // also quality display configuration
    capErrorEllipse = 0x8,
    capQc = 0x10,                  // QC settings, QC graphs, QC quality panel
    capSatellites = 0x40,          // satellite forecast and calculation
    capDeviceGraphsAlt = 0x100,    // an older bit for device graphs
    capHeading = 0x200,            // compass rose and heading tape
    capSignalStatusAlt = 0x40000,  // an older bit for the signal status panel
    capFullReceiver = capSignalStatus | capPositions | capDeviceGraphs | capErrorEllipse | capQc | capSatellites,
};

class context_t;
class dlgLogData_t;
class menuManager_t;
class orvaneDialog_t;
class orvanePageGroup_t;

// One monitored device, shown as a main window of its own. The host sets its identity,
// then calls initialize(), which runs the builders in order: makeDialogs, makeActions,
// makeConnections, buildMenus, buildToolBar, makeDockWidget.
class ORVANE_EXPORT device_t : public orvaneMainWindow_t
{
    Q_OBJECT
public:
    device_t(context_t* context, QString name, QObject* parent);
    ~device_t() override;

    context_t* context() const;
    QString deviceName() const;

    belrix_common_qt::remotePort_t* port() const;
    belrix_common_qt::remoteDevice_t* remoteDevice() const;   // null while there is no source
    unsigned int portId() const;
    QColor deviceColor() const;
    QString deviceDescription() const;
    int deviceCapabilities() const;
    std::string deviceOldType() const;
    bool canLogData() const;
    bool isConnected() const;

    // Identity, set by the host before initialize().
    void setPort(belrix_common_qt::remotePort_t* port);   // the device takes it
    void setPortId(unsigned int portId);
    void setDeviceColor(QColor const& color);
    void setDeviceDescription(QString const& description);
    void setDeviceCapabilities(int capabilities);
    void setDeviceOldType(std::string const& type);
    void setCanLogData(bool canLog);

    orvanePageGroup_t* pageGroup() const;
    menuManager_t* menuManager() const;
    QToolBar* toolBar() const;
    std::vector<QDockWidget*>& dockWidgets();
    belrix_common_qt_gui::orvaneDeviceGui_t* deviceGui() const;
    belrix_common_qt_gui::qualitySettings_t* deviceQualitySettings() const;
    // The device's windows, for the host's clock and settings.
    QList<orvaneDialog_t*> dialogs() const;

    // "device.<name>.<key>"
    virtual std::string outputKey(std::string const& name) const;

public slots:
    virtual void saveSettings(tolvconfig::config_t& config);
    virtual void loadSettings(tolvconfig::config_t& config);
    virtual bool canCloseAll();
    virtual void closeAll();
    virtual void updateWindowTitle();
    // One tick of the host's clock: ages the device's panels and ticks its windows.
    virtual void handleClockTimeout();
    virtual void initialize();
    virtual void showDevice();
    virtual void hideDevice();
    virtual void raiseDevice();
    virtual void useDefaults();
    virtual void enableMenu(bool connected);
    virtual void handleLogCfgUpdated(belrix_common_qt::logChannelType_t channel,
                                     belrix_common_qt::logCfg_t const* cfg);
    virtual void ageData();
    virtual void updateDockWidgetName();
    void saveSnapshotAs();

signals:
    void configurationModified();
    void deviceColorChanged(QColor const& color);
    void deviceDescriptionChanged(QString const& description);
    void connectionChanged(bool connected);

protected:
    virtual void createLogDataDialog();
    virtual dlgLogData_t* dlgLogData();
    virtual void makeDialogs();
    virtual void makeActions();
    virtual void makeConnections();
    virtual void makePortConnections(belrix_common_qt::remoteDevice_t* device);
    virtual void buildMenus();
    virtual void buildToolBar();
    virtual void makeDockWidget();

    void closeEvent(QCloseEvent* event) override;

private:
    class private_t;
    private_t* d;
};

} // namespace orvane
