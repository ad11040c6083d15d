#include "orvane/deviceStore.h"

#include "orvane/context.h"
#include "orvane/device.h"

#include <belrix_common_qt/remoteController.h>

#include <QHash>
#include <QPointer>

namespace orvane {

class deviceStore_t::private_t
{
public:
    QList<device_t*> devices;
    // Each device's context's controller, kept apart because a device being destroyed can
    // no longer be asked for it.
    QHash<device_t*, QPointer<belrix_common_qt::remoteController_t>> controllers;

    // The navigation side's selectors list devices from the controller; keep it current.
    void publish(belrix_common_qt::remoteController_t* controller) const
    {
        if (!controller)
            return;
        belrix_common_qt::deviceEntryList_t entries;
        for (device_t* device : devices) {
            if (controllers.value(device) == controller)
                entries.append({device->portId(), device->deviceDescription(), device->deviceCapabilities()});
        }
        controller->setDevices(entries);
    }
};

namespace {
belrix_common_qt::remoteController_t* controllerOf(device_t* device)
{
    context_t* context = device->context();
    return context && context->controllerContext() ? context->controllerContext()->controller() : nullptr;
}
} // namespace

deviceStore_t* deviceStore_t::instance()
{
    static deviceStore_t* store = new deviceStore_t;
    return store;
}

deviceStore_t::deviceStore_t() : d(new private_t) {}
deviceStore_t::~deviceStore_t() { delete d; }

QList<device_t*> deviceStore_t::devices() const { return d->devices; }

device_t* deviceStore_t::deviceForPortId(unsigned int portId) const
{
    for (device_t* device : d->devices) {
        if (device->portId() == portId)
            return device;
    }
    return nullptr;
}

void deviceStore_t::addDevice(device_t* device)
{
    if (!device || d->devices.contains(device))
        return;
    d->devices.append(device);
    d->controllers.insert(device, controllerOf(device));
    connect(device, &device_t::deviceDescriptionChanged, this, [this, device] {
        d->publish(d->controllers.value(device));
    });
    d->publish(d->controllers.value(device));
    emit deviceAdded(device);
}

void deviceStore_t::removeDevice(device_t* device)
{
    if (d->devices.removeAll(device) == 0)
        return;
    disconnect(device, nullptr, this, nullptr);
    d->publish(d->controllers.take(device));
    emit deviceRemoved();
}

} // namespace orvane
