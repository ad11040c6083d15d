#pragma once

#include "orvane_qc_export.h"
#include "common/qcDeviceDialog.h"

namespace orvane {
namespace qc {

// How many satellites the device will see, and how its HDOP, VDOP and PDOP will develop,
// from two hours before the present to four hours after it.
class ORVANE_QC_EXPORT dlgSatelliteForecast_t : public qcDeviceDialog_t
{
    Q_OBJECT
public:
    dlgSatelliteForecast_t(orvane::context_t* context, QWidget* parent);
    ~dlgSatelliteForecast_t() override;

protected:
    // Exactly one of "Settings" (v true) and "Refresh" (v false) is offered.
    void setSettingsButtonVisible(bool v);

private:
    class private_t;
    private_t* d;
};

} // namespace qc
} // namespace orvane
