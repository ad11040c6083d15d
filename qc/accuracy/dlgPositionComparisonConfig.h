#pragma once

#include "orvane_qc_export.h"
#include "accuracy/positionComparisonConfigSettings.h"

#include <QDialog>

namespace orvane {
class context_t;

namespace qc {

// Edits the position comparison's settings: an active device or a fixed centre typed in
// the display datum, and the plot range. OK checks the centre and reports every fault
// at once, staying open; a clean OK hides the dialog and signals accepted(), on which
// the owner takes newConfigSettings().
class ORVANE_QC_EXPORT dlgPositionComparisonConfig_t : public QDialog
{
    Q_OBJECT
public:
    dlgPositionComparisonConfig_t(orvane::context_t* context, QWidget* parent);
    ~dlgPositionComparisonConfig_t() override;

    void setConfigSettings(positionComparisonConfigSettings_t const& settings);
    positionComparisonConfigSettings_t newConfigSettings() const;

public slots:
    void resetActiveDevice();
    void checkActiveDevice(uint portId);
    void submit();
    void updateRange();
    void checkAutoScale();

private:
    class private_t;
    private_t* d;
};

} // namespace qc
} // namespace orvane
