#pragma once

#include "orvane_qc_export.h"
#include "common/qcDeviceDialog.h"

#include <belrix_common_qt_gui/deviceGraphSettings.h>

namespace orvane {
namespace qc {

// Live time-series graphs of the device's quality data, stacked above one time ruler. The
// user chooses the quantities and their order; the choice is stored per device as
// "graph_type_0", "graph_type_1", ... Until the device offers a graph set the window shows
// nothing and reads no settings.
class ORVANE_QC_EXPORT dlgGraphs_t : public qcDeviceDialog_t
{
    Q_OBJECT
public:
    dlgGraphs_t(orvane::context_t* context, QWidget* parent);
    ~dlgGraphs_t() override;

protected:
    void resizeEvent(QResizeEvent* event) override;

public slots:
    void saveSettings(tolvconfig::config_t& config, int index) override;
    void loadSettings(tolvconfig::config_t& config, int index) override;
    void useDefaults() override;
    void handleClockTimeout() override;

private slots:
    void clear();
    void initializeGraphIds();
    void showConfigSettings();
    void getNewConfigSettings();
    void setConfigSettings(belrix_common_qt_gui::deviceGraphSettings_t settings);
    void updateResize();
    void handleGraphSetDestroyed();

private:
    bool checkGraphSet();

    class private_t;
    private_t* d;
};

} // namespace qc
} // namespace orvane
