#pragma once

#include "orvane_qc_export.h"
#include "forecast/satelliteCalculationConfigSettings.h"

#include <QDialog>

namespace orvane {
namespace qc {

// Edits the observer, elevation mask, start and span of a satellite calculation. Its owner
// hands it a copy with setConfigSettings, shows it without modality and takes
// newConfigSettings() back on accepted(); Cancel only hides it. The start is shown in the
// user's local time (guiSettings_t's UTC offset) and kept in UTC.
class ORVANE_QC_EXPORT dlgSatelliteCalculationConfig_t : public QDialog
{
    Q_OBJECT
public:
    explicit dlgSatelliteCalculationConfig_t(QWidget* parent = nullptr);
    ~dlgSatelliteCalculationConfig_t() override;

    void setConfigSettings(satelliteCalculationConfigSettings_t const& settings);
    satelliteCalculationConfigSettings_t newConfigSettings() const;

private slots:
    void submit();
    // Takes the owning window's device position and height, where they are current.
    void useCurrentPosition();
    void useCurrentTime();

private:
    class private_t;
    private_t* d;
};

} // namespace qc
} // namespace orvane
