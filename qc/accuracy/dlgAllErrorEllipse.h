#pragma once

#include "orvane_qc_export.h"
#include "accuracy/errorEllipseConfigSettings.h"

#include <orvane/mainWindowDialog.h>

namespace orvane {
namespace qc {

// Every device's current horizontal error ellipse on one plot, each in its device's
// colour, from the receivers' pseudorange statistics. The host creates it once.
class ORVANE_QC_EXPORT dlgAllErrorEllipse_t : public orvane::mainWindowDialog_t
{
    Q_OBJECT
public:
    dlgAllErrorEllipse_t(orvane::context_t* context, QWidget* parent);
    ~dlgAllErrorEllipse_t() override;

    errorEllipseConfigSettings_t configSettings() const;

    void saveSettings(tolvconfig::config_t& config, int index) override;
    void loadSettings(tolvconfig::config_t& config, int index) override;
    void useDefaults() override;

public slots:
    void handleClockTimeout() override;
    void updateRange();
    void showConfigSettings();
    void getNewConfigSettings();
    void setConfigSettings(orvane::qc::errorEllipseConfigSettings_t settings);

private:
    class private_t;
    private_t* d;
};

} // namespace qc
} // namespace orvane
