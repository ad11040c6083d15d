#pragma once

#include "orvane_qc_export.h"
#include "common/qcDeviceDialog.h"

namespace orvane {
namespace qc {

// Live time-series graphs of the device's quality data, stacked above one time ruler.
class ORVANE_QC_EXPORT dlgGraphs_t : public qcDeviceDialog_t
{
    Q_OBJECT
public:
    dlgGraphs_t(orvane::context_t* context, QWidget* parent);
    ~dlgGraphs_t() override;

private:
    class private_t;
    private_t* d;
};

} // namespace qc
} // namespace orvane
