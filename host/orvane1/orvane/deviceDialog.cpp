#include "orvane/deviceDialog.h"

#include "orvane/device.h"

#include <QPointer>

namespace orvane {

class deviceDialog_t::private_t
{
public:
    context_t* context = nullptr;
    QPointer<device_t> device;
    QString baseTitle;
};

deviceDialog_t::deviceDialog_t(context_t* context, QWidget* parent) : orvaneDialog_t(parent), d(new private_t)
{
    d->context = context;
    for (QObject* p = parent; p; p = p->parent()) {
        if (auto* dev = qobject_cast<device_t*>(p)) {
            d->device = dev;
            break;
        }
    }
    if (d->device) {
        connect(d->device.data(), &device_t::deviceColorChanged, this, &deviceDialog_t::updateDeviceColor);
        connect(d->device.data(), &device_t::deviceDescriptionChanged, this, &deviceDialog_t::updateDeviceName);
    }
}

deviceDialog_t::~deviceDialog_t() { delete d; }

context_t* deviceDialog_t::context() const { return d->context; }
device_t* deviceDialog_t::device() const { return d->device.data(); }

belrix_common_qt::remoteDevice_t* deviceDialog_t::remoteDevice() const
{
    return d->device ? d->device->remoteDevice() : nullptr;
}

belrix_common_qt_gui::orvaneDeviceGui_t* deviceDialog_t::deviceGui() const
{
    return d->device ? d->device->deviceGui() : nullptr;
}

QColor deviceDialog_t::deviceColor() const { return d->device ? d->device->deviceColor() : QColor(); }
int deviceDialog_t::deviceCapabilities() const { return d->device ? d->device->deviceCapabilities() : 0; }

belrix_common_qt_gui::qualitySettings_t* deviceDialog_t::deviceQualitySettings() const
{
    return d->device ? d->device->deviceQualitySettings() : nullptr;
}

std::string deviceDialog_t::outputKey(std::string const& name) const { return outputKey(name, -1); }

std::string deviceDialog_t::outputKey(std::string const& name, int index) const
{
    const std::string key = orvaneDialog_t::outputKey(name, index);
    return d->device ? d->device->outputKey(key) : key;
}

void deviceDialog_t::updateDeviceColor() {}

void deviceDialog_t::updateDeviceName() { updateWindowTitle(); }

void deviceDialog_t::updateWindowTitle()
{
    if (d->baseTitle.isEmpty())
        d->baseTitle = windowTitle();
    if (d->device && !d->device->deviceDescription().isEmpty())
        setWindowTitle(d->device->deviceDescription() + QStringLiteral(" - ") + d->baseTitle);
}

} // namespace orvane
