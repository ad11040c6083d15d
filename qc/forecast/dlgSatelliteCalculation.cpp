#include "forecast/dlgSatelliteCalculation.h"

#include "forecast/dlgSatelliteCalculationConfig.h"

namespace orvane {
namespace qc {

class dlgSatelliteCalculation_t::private_t
{
public:
    dlgSatelliteCalculationConfig_t* configDialog = nullptr;   // child of the window
};

dlgSatelliteCalculation_t::dlgSatelliteCalculation_t(orvane::context_t* context, QWidget* parent)
    : dlgSatelliteForecast_t(context, parent), d(new private_t)
{
    // The forecast's form names the window after itself; a name of its own keeps the two
    // windows of one device from sharing configuration keys.
    setObjectName(QStringLiteral("dlgSatelliteCalculation"));
    d->configDialog = new dlgSatelliteCalculationConfig_t(this);
    setWindowTitle(tr("Satellite Calculation"));
    connect(d->configDialog, &QDialog::accepted, this, &dlgSatelliteCalculation_t::getNewConfigSettings);
    setSettingsButtonVisible(true);
}

dlgSatelliteCalculation_t::~dlgSatelliteCalculation_t() { delete d; }

void dlgSatelliteCalculation_t::initializeSettings()
{
    if (!remoteDevice())
        return;
    satelliteCalculationConfigSettings_t record;
    const bool known = deviceSettings(record, 0.0, 24);
    setConfigSettings(record);
    setInitalized(known);
    if (initialized())
        updateGraphs();
}

void dlgSatelliteCalculation_t::showConfigSettings()
{
    d->configDialog->setConfigSettings(configSettings());
    d->configDialog->show();
}

void dlgSatelliteCalculation_t::getNewConfigSettings() { setConfigSettings(d->configDialog->newConfigSettings()); }

void dlgSatelliteCalculation_t::refresh()
{
    setConfigSettings(configSettings());
    updateGraphs();
}

} // namespace qc
} // namespace orvane
