#pragma once

#include "orvane_qc_export.h"
#include "device/qcDeviceDialog.h"

namespace orvane {
namespace qc {

// The device's QC settings, edited in the editor that the device's GUI bundle provides.
class ORVANE_QC_EXPORT dlgQcSettings_t : public qcDeviceDialog_t
{
    Q_OBJECT
public:
    dlgQcSettings_t(orvane::context_t* context, QWidget* parent);
    ~dlgQcSettings_t() override;

private:
    class private_t;
    private_t* d;
};

} // namespace qc
} // namespace orvane
