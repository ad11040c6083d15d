#pragma once

// Devices with data for the accuracy windows' tests: each test builds its own fleet.

#include "messageCatcher.h"

#include <belrix_common_qt/dataClock.h>
#include <belrix_common_qt/navConstants.h>
#include <belrix_common_qt/remoteDevice.h>
#include <belrix_common_qt/remotePort.h>
#include <belrix_common_qt/textFormat.h>
#include <belrix_common_qt_gui/guiSettings.h>
#include <orvane/context.h>
#include <orvane/device.h>
#include <orvane/deviceStore.h>
#include <tolvconfig/config.h>

#include <QtTest>
#include <QtWidgets>

#include <cmath>
#include <memory>

namespace accuracyTest {

using belrix_common_qt::NoDataString;
using belrix_common_qt::Pi;
using belrix_common_qt_gui::guiSettings_t;
constexpr double T0 = 1700000000.0;   // data time of the tests' "now"

inline bool close(double a, double b, double tolerance = 1e-9) { return std::fabs(a - b) <= tolerance; }

inline belrix_common_qt::position_t degrees(double lat, double lon)
{
    return belrix_common_qt::position_t(lat * Pi / 180.0, lon * Pi / 180.0);
}

inline QString label(QObject const* window, char const* name) { return window->findChild<QLabel*>(name)->text(); }

// The application's devices, in the device store while the fleet lives; the data clock
// stands at T0 and the display settings are the defaults again afterwards.
class fleet_t
{
public:
    fleet_t() : context(new orvane::context_t) { belrix_common_qt::dataClock_t::setTime(T0); }
    ~fleet_t()
    {
        qDeleteAll(devices);
        belrix_common_qt::dataClock_t::useSystemTime();
        belrix_common_qt_gui::guiSettings_t::get()->useDefaults();
    }

    orvane::device_t* add(QString const& name, unsigned int portId, QColor const& colour = QColor("#1f77b4"),
                          int capabilities = orvane::capFullReceiver, bool withPort = true)
    {
        auto* device = new orvane::device_t(context.get(), name, nullptr);
        if (withPort)
            device->setPort(new belrix_common_qt::remotePort_t);
        device->setPortId(portId);
        device->setDeviceColor(colour);
        device->setDeviceDescription(name);
        device->setDeviceCapabilities(capabilities);
        orvane::deviceStore_t::instance()->addDevice(device);
        devices.append(device);
        return device;
    }

    static void setStats(orvane::device_t* device, double age, float orientationDegrees, float semiMajor,
                         float semiMinor, bool withOrientation = true)
    {
        belrix_common_qt::pseudorangeStats_t stats;
        stats.semiMajor = semiMajor;
        stats.semiMinor = semiMinor;
        if (withOrientation)
            stats.orientation = float(orientationDegrees * Pi / 180.0);
        stats.latError = 0.31f;
        device->remoteDevice()->setPseudorangeStats({stats, T0 - age});
    }

    static void setPosition(orvane::device_t* device, belrix_common_qt::position_t const& position, double age = 0.0)
    {
        device->remoteDevice()->setDisplayPosition({position, T0 - age});
    }

    std::unique_ptr<orvane::context_t> context;
    QList<orvane::device_t*> devices;
};

} // namespace accuracyTest
