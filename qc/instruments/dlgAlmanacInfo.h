#pragma once

#include "orvane_qc_export.h"

#include <orvane/mainWindowDialog.h>

namespace orvane {
namespace qc {

// The application's almanac information as a window of its own.
class ORVANE_QC_EXPORT dlgAlmanacInfo_t : public orvane::mainWindowDialog_t
{
    Q_OBJECT
public:
    dlgAlmanacInfo_t(orvane::context_t* context, QWidget* parent);
    ~dlgAlmanacInfo_t() override;

private:
    class private_t;
    private_t* d;
};

} // namespace qc
} // namespace orvane
