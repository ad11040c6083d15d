#include "orvane/deviceStore.h"

#include "orvane/device.h"

namespace orvane {

class deviceStore_t::private_t
{
public:
    QList<device_t*> devices;
};

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
    // Only the address is compared once the device is being destroyed.
    connect(device, &QObject::destroyed, this, [this, device] {
        if (d->devices.removeAll(device) > 0)
            emit deviceRemoved();
    });
    emit deviceAdded(device);
}

void deviceStore_t::removeDevice(device_t* device)
{
    if (d->devices.removeAll(device) == 0)
        return;
    disconnect(device, &QObject::destroyed, this, nullptr);
    emit deviceRemoved();
}

} // namespace orvane
