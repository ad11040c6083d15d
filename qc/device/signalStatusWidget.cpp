#include "device/signalStatusWidget.h"

#include "ui_signalStatusWidget.h"

#include <belrix_common_qt/constellation.h>
#include <belrix_common_qt/remoteDevice.h>
#include <belrix_common_qt_gui/qualityLight.h>
#include <orvane/device.h>

namespace orvane {
namespace qc {

using belrix_common_qt_gui::qualityLight_t;

class signalStatusWidget_t::private_t
{
public:
    Ui::signalStatusWidget ui;
    qualityLight_t* sbasLight = nullptr;
    qualityLight_t* veskLight = nullptr;
};

signalStatusWidget_t::signalStatusWidget_t(QWidget* parent) : QWidget(parent), d(new private_t)
{
    d->ui.setupUi(this);
    d->sbasLight = new qualityLight_t(d->ui.sbasLightLabel, this);
    d->veskLight = new qualityLight_t(d->ui.veskLightLabel, this);

    // Outside a device, or before it has a data source, the service gets its general name.
    bool belrixReceiver = false;
    if (auto* device = qobject_cast<orvane::device_t*>(parent)) {
        if (belrix_common_qt::remoteDevice_t* data = device->remoteDevice())
            belrixReceiver = data->belrixReceiver();
    }
    d->ui.veskLabel->setText(belrix_common_qt::toString(belrix_common_qt::constellationCorrection, belrixReceiver));
    clear();
}

signalStatusWidget_t::~signalStatusWidget_t() { delete d; }

void signalStatusWidget_t::setSbasSignalAvailable(bool available_)
{
    d->sbasLight->setQuality(available_ ? belrix_common_qt_gui::qualityGood : belrix_common_qt_gui::qualityOff);
}

void signalStatusWidget_t::setVeskSignalAvailable(bool available_)
{
    d->veskLight->setQuality(available_ ? belrix_common_qt_gui::qualityGood : belrix_common_qt_gui::qualityOff);
}

void signalStatusWidget_t::clear()
{
    d->sbasLight->setQuality(belrix_common_qt_gui::qualityOff);
    d->veskLight->setQuality(belrix_common_qt_gui::qualityOff);
}

} // namespace qc
} // namespace orvane
