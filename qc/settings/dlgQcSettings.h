#pragma once

#include "orvane_qc_export.h"
#include "common/qcDeviceDialog.h"

namespace orvane {
namespace qc {

// The device's QC settings, edited in the editor that the device's GUI bundle provides.
// The window keeps no settings of its own: the data model holds and stores the record.
// Until the bundle offers an editor the window shows a blank page; it looks for the
// editor again on every Apply, Reset and update, also after the editor was destroyed.
class ORVANE_QC_EXPORT dlgQcSettings_t : public qcDeviceDialog_t
{
    Q_OBJECT
public:
    dlgQcSettings_t(orvane::context_t* context, QWidget* parent);
    ~dlgQcSettings_t() override;

public slots:
    void updateUi() override;
    void submit();
    void reset();
    void handleConfigWidgetDestroyed();

private:
    bool checkConfigWidget();

    class private_t;
    private_t* d;
};

} // namespace qc
} // namespace orvane
