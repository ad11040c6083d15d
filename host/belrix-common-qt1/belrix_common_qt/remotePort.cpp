#include "belrix_common_qt/remotePort.h"

#include "belrix_common_qt/remoteDevice.h"

namespace belrix_common_qt {

class remotePort_t::private_t
{
public:
    remoteDevice_t* device = nullptr;
    bool connected = false;
    QString source;
};

remotePort_t::remotePort_t(QObject* parent) : QObject(parent), d(new private_t)
{
    d->device = new remoteDevice_t(this);
}

remotePort_t::~remotePort_t() { delete d; }

remoteDevice_t* remotePort_t::device() const { return d->device; }
bool remotePort_t::isConnected() const { return d->connected; }
QString remotePort_t::sourceDescription() const { return d->source; }
void remotePort_t::setSourceDescription(QString const& text) { d->source = text; }

void remotePort_t::setConnected(bool connected)
{
    if (d->connected == connected)
        return;
    d->connected = connected;
    emit connectionChanged(connected);
}

} // namespace belrix_common_qt
