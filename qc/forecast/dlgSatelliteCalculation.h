#pragma once

#include "orvane_qc_export.h"
#include "forecast/dlgSatelliteForecast.h"

namespace orvane {
namespace qc {

// The satellite forecast for a position, start time and span that the user chooses.
class ORVANE_QC_EXPORT dlgSatelliteCalculation_t : public dlgSatelliteForecast_t
{
    Q_OBJECT
public:
    dlgSatelliteCalculation_t(orvane::context_t* context, QWidget* parent);
    ~dlgSatelliteCalculation_t() override;

private:
    class private_t;
    private_t* d;
};

} // namespace qc
} // namespace orvane
