#pragma once

#include "orvane_qc_export.h"
#include "forecast/dlgSatelliteForecast.h"

namespace orvane {
namespace qc {

// The satellite forecast for a position, height, elevation mask, start and span (a day or
// a week) that the user chooses in its "Settings"; it starts from the device's position
// and the present, for one day.
class ORVANE_QC_EXPORT dlgSatelliteCalculation_t : public dlgSatelliteForecast_t
{
    Q_OBJECT
public:
    dlgSatelliteCalculation_t(orvane::context_t* context, QWidget* parent);
    ~dlgSatelliteCalculation_t() override;

protected:
    void initializeSettings() override;

private slots:
    void showConfigSettings() override;
    void getNewConfigSettings();
    // Draws the settings in use again, as after a resize.
    void refresh() override;

private:
    class private_t;
    private_t* d;
};

} // namespace qc
} // namespace orvane
