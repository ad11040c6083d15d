#pragma once

// What the QC tests build alike: a QC device made as the host makes one, and an answer to
// the modal warnings a rejected form raises.

#include "messageCatcher.h"

#include <device/qcDevice.h>

#include <belrix_common_qt/remoteDevice.h>
#include <belrix_common_qt/remotePort.h>
#include <belrix_common_qt_gui/orvaneDeviceGui.h>
#include <orvane/context.h>

#include <functional>
#include <memory>
#include <string>

namespace qcTest {

struct deviceSetup_t {
    int capabilities = 0;
    bool withPort = true;
    bool connected = false;
    bool qcQualityPanel = true;
    bool belrixReceiver = false;
    std::string type = "GNSS";
};

inline std::unique_ptr<orvane::qc::qcDevice_t> makeDevice(orvane::context_t* context, deviceSetup_t const& setup)
{
    std::unique_ptr<orvane::qc::qcDevice_t> device(
        new orvane::qc::qcDevice_t(context, QStringLiteral("GNSS 1"), nullptr));
    if (setup.withPort) {
        auto* port = new belrix_common_qt::remotePort_t;
        port->device()->setBelrixReceiver(setup.belrixReceiver);
        device->setPort(port);
    }
    device->deviceGui()->setHasQcQualityPanel(setup.qcQualityPanel);
    device->setDeviceCapabilities(setup.capabilities);
    device->setDeviceOldType(setup.type);
    device->initialize();
    if (setup.withPort && setup.connected)
        device->port()->setConnected(true);
    return device;
}

// Runs action, answering every warning it raises; returns their texts.
inline QStringList warningsOf(std::function<void()> const& action)
{
    messageCatcher_t catcher;
    action();
    return catcher.texts;
}

} // namespace qcTest
