#include "alarmStateReader.h"

#include <belrix_common_qt/remoteDevice.h>
#include <belrix_common_qt_gui/qcQualityPanel.h>
#include <orvane/device.h>

#include <QHash>

#include <algorithm>
#include <memory>

namespace orvane {
namespace app {

using belrix_common_qt_gui::qcQualityPanel_t;

namespace {
constexpr int QcCapability = orvane::capQc;
}

class alarmStateReader_t::private_t
{
public:
    QHash<orvane::device_t*, std::shared_ptr<qcQualityPanel_t>> graders;

    qcQualityPanel_t* grader(orvane::device_t* device, QObject* owner)
    {
        auto it = graders.find(device);
        if (it != graders.end())
            return it->get();
        std::shared_ptr<qcQualityPanel_t> panel(new qcQualityPanel_t);
        graders.insert(device, panel);
        QObject::connect(device, &QObject::destroyed, owner, [this, device] { graders.remove(device); });
        return panel.get();
    }
};

alarmStateReader_t::alarmStateReader_t(QObject* parent) : QObject(parent), d(new private_t) {}

alarmStateReader_t::~alarmStateReader_t() { delete d; }

alarmDeviceState_t alarmStateReader_t::state(orvane::device_t* device, double now)
{
    alarmDeviceState_t state;
    if (!device)
        return state;
    state.name = device->deviceName();
    state.connected = device->isConnected();
    belrix_common_qt::remoteDevice_t const* remote = device->remoteDevice();
    if (!remote)
        return state;

    for (auto const* item : {&remote->inputPosition(), &remote->displayPosition()}) {
        if (item->isValid()) {
            state.lastDataTime = state.hasData ? std::max(state.lastDataTime, item->timestamp()) : item->timestamp();
            state.hasData = true;
        }
    }
    if (remote->heading().isValid()) {
        state.lastDataTime = state.hasData ? std::max(state.lastDataTime, remote->heading().timestamp())
                                           : remote->heading().timestamp();
        state.hasData = true;
    }

    if (device->deviceCapabilities() & QcCapability) {
        qcQualityPanel_t* panel = d->grader(device, this);
        panel->setQualitySettings(device->deviceQualitySettings());
        panel->updateData(now, remote);
        for (int row = 0; row < qcQualityPanel_t::rowCount; ++row) {
            if (panel->quality(qcQualityPanel_t::row_t(row)) == belrix_common_qt_gui::qualityBad)
                state.qualityBad = true;
        }
    }
    return state;
}

QList<alarmDeviceState_t> alarmStateReader_t::states(QList<orvane::device_t*> const& devices, double now)
{
    QList<alarmDeviceState_t> list;
    for (orvane::device_t* device : devices)
        list.append(state(device, now));
    return list;
}

} // namespace app
} // namespace orvane
