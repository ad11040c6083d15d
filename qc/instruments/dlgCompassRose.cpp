#include "instruments/dlgCompassRose.h"

#include "ui_dlgCompassRose.h"

#include <belrix_common_qt/dataClock.h>
#include <belrix_common_qt/remoteDevice.h>

namespace orvane {
namespace qc {

class dlgCompassRose_t::private_t
{
public:
    Ui::dlgCompassRose ui;
};

dlgCompassRose_t::dlgCompassRose_t(orvane::context_t* context, QWidget* parent)
    : qcDeviceDialog_t(context, parent), d(new private_t)
{
    setIsWindow(true);
    d->ui.setupUi(this);
    d->ui.compassRoseStatusWidget->handleNewDeviceColor(deviceColor());
}

dlgCompassRose_t::~dlgCompassRose_t() { delete d; }

void dlgCompassRose_t::updateDeviceColor() { d->ui.compassRoseStatusWidget->handleNewDeviceColor(deviceColor()); }

void dlgCompassRose_t::handleClockTimeout()
{
    // without a data model the rose keeps what it showed last
    belrix_common_qt::remoteDevice_t const* data = remoteDevice();
    if (!data)
        return;
    if (belrix_common_qt::isItemCurrent(data->heading(), belrix_common_qt::dataTimestamp()))
        d->ui.compassRoseStatusWidget->setHeading(data->heading().value());
    else
        d->ui.compassRoseStatusWidget->clear();
}

} // namespace qc
} // namespace orvane
