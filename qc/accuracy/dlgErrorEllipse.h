#pragma once

#include "orvane_qc_export.h"
#include "device/qcDeviceDialog.h"

namespace orvane {
namespace qc {

// A device's horizontal error ellipse, drawn from the receiver's pseudorange statistics
// (NMEA) or from its newest QC summary (IMCA), with the errors listed beside the plot.
class ORVANE_QC_EXPORT dlgErrorEllipse_t : public qcDeviceDialog_t
{
    Q_OBJECT
public:
    dlgErrorEllipse_t(orvane::context_t* context, QWidget* parent);
    ~dlgErrorEllipse_t() override;

private:
    class private_t;
    private_t* d;
};

} // namespace qc
} // namespace orvane
