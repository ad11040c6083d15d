#pragma once

#include "orvane_qc_export.h"
#include "device/qcDeviceDialog.h"

namespace orvane {
namespace qc {

// The thresholds by which the device's quality displays grade their values, edited in the
// editor that the device's GUI bundle provides.
class ORVANE_QC_EXPORT dlgQualityDisplayConfiguration_t : public qcDeviceDialog_t
{
    Q_OBJECT
public:
    dlgQualityDisplayConfiguration_t(orvane::context_t* context, QWidget* parent);
    ~dlgQualityDisplayConfiguration_t() override;

private:
    class private_t;
    private_t* d;
};

} // namespace qc
} // namespace orvane
