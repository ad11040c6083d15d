#include "instruments/dlgTapeDisplay.h"

#include "ui_dlgTapeDisplay.h"

#include <belrix_common_qt/dataClock.h>
#include <belrix_common_qt/remoteDevice.h>

namespace orvane {
namespace qc {

class dlgTapeDisplay_t::private_t
{
public:
    Ui::dlgTapeDisplay ui;
};

dlgTapeDisplay_t::dlgTapeDisplay_t(orvane::context_t* context, QWidget* parent)
    : qcDeviceDialog_t(context, parent), d(new private_t)
{
    setIsWindow(true);
    d->ui.setupUi(this);
    d->ui.headingStatusWidget->handleNewDeviceColor(deviceColor());
}

dlgTapeDisplay_t::~dlgTapeDisplay_t() { delete d; }

void dlgTapeDisplay_t::updateDeviceColor() { d->ui.headingStatusWidget->handleNewDeviceColor(deviceColor()); }

void dlgTapeDisplay_t::handleClockTimeout()
{
    // without a data model the tape keeps what it showed last
    belrix_common_qt::remoteDevice_t const* data = remoteDevice();
    if (!data)
        return;
    const double now = belrix_common_qt::dataTimestamp();
    if (!belrix_common_qt::isItemCurrent(data->heading(), now)) {
        d->ui.headingStatusWidget->clear();
        return;
    }
    // the data model's rate follows the configured sample size and prefers a gyro's own
    if (belrix_common_qt::isItemCurrent(data->rateOfTurn(), now))
        d->ui.headingStatusWidget->setRateOfTurn(data->rateOfTurn().value());
    else
        d->ui.headingStatusWidget->clearRateOfTurn();
    d->ui.headingStatusWidget->setHeading(data->heading().value());
}

} // namespace qc
} // namespace orvane
