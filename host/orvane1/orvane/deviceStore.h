#pragma once

#include "orvane_export.h"

#include <QList>
#include <QObject>

namespace orvane {

class device_t;

// Every device of the application, in the host's order; one per process. It publishes
// each device's port identifier, description and capabilities to the controller of the
// device's context (remoteController_t::devices()) when a device comes, goes or is
// renamed; identity set after addDevice is not followed.
class ORVANE_EXPORT deviceStore_t : public QObject
{
    Q_OBJECT
public:
    static deviceStore_t* instance();

    QList<device_t*> devices() const;
    device_t* deviceForPortId(unsigned int portId) const;

    // A device leaves the store by itself when it is destroyed.
    void addDevice(device_t* device);
    void removeDevice(device_t* device);

signals:
    void deviceAdded(orvane::device_t* device);
    void deviceRemoved();

private:
    deviceStore_t();
    ~deviceStore_t() override;

    class private_t;
    private_t* d;
};

} // namespace orvane
