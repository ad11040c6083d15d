#include "forecast/dlgSatelliteCalculation.h"

namespace orvane {
namespace qc {

class dlgSatelliteCalculation_t::private_t
{
public:
};

dlgSatelliteCalculation_t::dlgSatelliteCalculation_t(orvane::context_t* context, QWidget* parent)
    : dlgSatelliteForecast_t(context, parent), d(new private_t)
{
    // The forecast's form names the window after itself; a name of its own keeps the two
    // windows of one device from sharing configuration keys.
    setObjectName(QStringLiteral("dlgSatelliteCalculation"));
    setWindowTitle(tr("Satellite Calculation"));
    setSettingsButtonVisible(true);
}

dlgSatelliteCalculation_t::~dlgSatelliteCalculation_t() { delete d; }

} // namespace qc
} // namespace orvane
