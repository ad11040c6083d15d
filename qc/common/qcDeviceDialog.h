#pragma once

#include "orvane_qc_export.h"

#include <orvane/deviceDialog.h>

namespace orvane {
namespace qc {

// Common base of the QC device's windows.
class ORVANE_QC_EXPORT qcDeviceDialog_t : public orvane::deviceDialog_t
{
    Q_OBJECT
public:
    qcDeviceDialog_t(orvane::context_t* context, QWidget* parent);
    ~qcDeviceDialog_t() override;
};

} // namespace qc
} // namespace orvane
