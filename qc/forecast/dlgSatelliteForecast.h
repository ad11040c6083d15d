#pragma once

#include "orvane_qc_export.h"
#include "common/qcDeviceDialog.h"
#include "forecast/satelliteCalculationConfigSettings.h"

namespace orvane {
namespace qc {

// How many satellites the device will see, and how its HDOP, VDOP and PDOP will develop,
// from two hours before the present to four hours after it, beside what the device really
// reported before now. It recomputes every five minutes, on "Refresh" and half a second
// after the last resize. The forecast runs from the event loop in short slices, so a slow
// forecaster never freezes the application.
class ORVANE_QC_EXPORT dlgSatelliteForecast_t : public qcDeviceDialog_t
{
    Q_OBJECT
public:
    dlgSatelliteForecast_t(orvane::context_t* context, QWidget* parent);
    ~dlgSatelliteForecast_t() override;

protected slots:
    void clear();
    void handleClockTimeout() override;
    // Takes the inputs, binds box i to forecaster graph i and runs the forecast.
    void setConfigSettings(orvane::qc::satelliteCalculationConfigSettings_t s);
    orvane::qc::satelliteCalculationConfigSettings_t configSettings() const;
    void updateSettingsInfo();
    // The forecast loop: once initialized, samples the span at about the widest graph's
    // data width (at least 60 samples) until its end or the first time the forecaster
    // cannot forecast.
    void updateGraphs();
    virtual void refresh();
    void updateResize();
    virtual void showConfigSettings();

protected:
    // Sets the inputs from the device's current position, height and elevation mask.
    virtual void initializeSettings();
    // The device's position, height and elevation mask as forecast inputs, from startOffset
    // seconds after the present for hours; true when latitude, longitude and height are
    // all current (false without a device).
    bool deviceSettings(satelliteCalculationConfigSettings_t& record, double startOffset, qint32 hours) const;
    void setInitalized(bool initialized);
    bool initialized() const;
    // Exactly one of "Settings" (v true) and "Refresh" (v false) is offered.
    void setSettingsButtonVisible(bool v);

    void resizeEvent(QResizeEvent* event) override;

private:
    class private_t;
    private_t* d;
};

} // namespace qc
} // namespace orvane
