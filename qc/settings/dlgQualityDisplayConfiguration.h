#pragma once

#include "orvane_qc_export.h"
#include "common/qcDeviceDialog.h"

namespace belrix_common_qt_gui {
class qualityConfigWidget_t;
}

namespace orvane {
namespace qc {

// The thresholds by which the device's quality displays grade their values, edited in the
// editor that the device's GUI bundle provides. The host holds the record; loading copies
// values stored under the window's eighteen per-device keys into it when the store has them.
class ORVANE_QC_EXPORT dlgQualityDisplayConfiguration_t : public qcDeviceDialog_t
{
    Q_OBJECT
public:
    dlgQualityDisplayConfiguration_t(orvane::context_t* context, QWidget* parent);
    ~dlgQualityDisplayConfiguration_t() override;

public slots:
    void loadSettings(tolvconfig::config_t& config, int index) override;
    void useDefaults() override;
    void updateUi() override;
    void submit();
    void reset();

private:
    belrix_common_qt_gui::qualityConfigWidget_t* activeConfigWidget() const;

    class private_t;
    private_t* d;
};

} // namespace qc
} // namespace orvane
