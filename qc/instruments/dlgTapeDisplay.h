#pragma once

#include "orvane_qc_export.h"
#include "common/qcDeviceDialog.h"

namespace orvane {
namespace qc {

// The device's heading as a heading tape with its rate of turn, shown while the heading is
// current.
class ORVANE_QC_EXPORT dlgTapeDisplay_t : public qcDeviceDialog_t
{
    Q_OBJECT
public:
    dlgTapeDisplay_t(orvane::context_t* context, QWidget* parent);
    ~dlgTapeDisplay_t() override;

private slots:
    void updateDeviceColor() override;
    void handleClockTimeout() override;

private:
    class private_t;
    private_t* d;
};

} // namespace qc
} // namespace orvane
