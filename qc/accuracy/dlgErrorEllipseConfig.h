#pragma once

#include "orvane_qc_export.h"
#include "accuracy/errorEllipseConfigSettings.h"

#include <QDialog>

namespace orvane {
namespace qc {

// Edits an error ellipse plot's settings. Its owner hands it a copy with
// setConfigSettings, shows it without modality and takes newConfigSettings() back on
// accepted(); Cancel only hides it.
class ORVANE_QC_EXPORT dlgErrorEllipseConfig_t : public QDialog
{
    Q_OBJECT
public:
    explicit dlgErrorEllipseConfig_t(QWidget* parent);
    ~dlgErrorEllipseConfig_t() override;

    void setConfigSettings(errorEllipseConfigSettings_t const& settings);
    errorEllipseConfigSettings_t newConfigSettings() const;

public slots:
    void submit();
    void updateRange();
    void checkAutoScale();

private:
    class private_t;
    private_t* d;
};

} // namespace qc
} // namespace orvane
