#pragma once

#include "orvane_qc_export.h"
#include "accuracy/errorEllipseConfigSettings.h"
#include "common/qcDeviceDialog.h"

namespace orvane {
namespace qc {

// A device's horizontal error ellipse, drawn from the receiver's pseudorange statistics
// (NMEA) or from its newest QC summary (IMCA), with the errors listed beside the plot.
// The plot is cleared on every clock tick, so it shows nothing once the data stop
// being current.
class ORVANE_QC_EXPORT dlgErrorEllipse_t : public qcDeviceDialog_t
{
    Q_OBJECT
public:
    dlgErrorEllipse_t(orvane::context_t* context, QWidget* parent);
    ~dlgErrorEllipse_t() override;

    errorEllipseConfigSettings_t configSettings() const;
    // true while the window reads the pseudorange statistics (NMEA), false for QC
    // summaries (IMCA).
    bool raimMode() const;

    void saveSettings(tolvconfig::config_t& config, int index) override;
    void loadSettings(tolvconfig::config_t& config, int index) override;
    void useDefaults() override;

public slots:
    void setRaimMode(bool flag);
    void handleClockTimeout() override;
    void updateDataRaim();
    void updateDataUkooa();
    void updateRange();
    void showConfigSettings();
    void getNewConfigSettings();
    void setConfigSettings(orvane::qc::errorEllipseConfigSettings_t settings);
    void toggle();

private:
    class private_t;
    private_t* d;
};

} // namespace qc
} // namespace orvane
