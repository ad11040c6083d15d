#pragma once

// A receiver with a position, an almanac and a stand-in forecaster, for the forecast
// windows' tests: each test builds its own.

#include <belrix_common_qt/almMgrGps.h>
#include <belrix_common_qt/dataClock.h>
#include <belrix_common_qt/navConstants.h>
#include <belrix_common_qt/remoteController.h>
#include <belrix_common_qt/remoteDevice.h>
#include <belrix_common_qt/remotePort.h>
#include <belrix_common_qt/satForecaster.h>
#include <belrix_common_qt_gui/guiSettings.h>
#include <orvane/context.h>
#include <orvane/device.h>

#include <QVector>

#include <cmath>
#include <limits>
#include <memory>

namespace forecastTest {

constexpr double T0 = 1700000000.0;   // the data clock's "now": 2023-11-14 22:13:20 UTC

// Plausible answers in place of the orbit model: 3 to 12 satellites over six hours, DOPs
// following them (none below 4). It covers [validFrom, validUntil) and notes every time it
// forecast for.
class standInForecaster_t : public belrix_common_qt::satForecaster_t
{
public:
    double validFrom = 0.0;
    double validUntil = std::numeric_limits<double>::infinity();
    double height = 0.0, mask = 0.0, time = 0.0;
    mutable QVector<double> forecastTimes;

    void setPosition(double, double, double h) override { height = h; }
    void setElevationMask(double m) override { mask = m; }
    void setForecastTime(double t) override { time = t; }
    bool forecastTimeValid() const override { return time >= validFrom && time < validUntil; }
    void forecast(belrix_common_qt::satForecastOutput_t& output) const override
    {
        forecastTimes.append(time);
        output.valid = true;
        output.satellitesUsed = int(std::lround(7.5 + 4.5 * std::sin(time * 2.0 * belrix_common_qt::Pi / 21600.0)));
        if (output.satellitesUsed >= 4) {
            output.hdop = 9.0 / output.satellitesUsed;
            output.vdop = 1.6 * output.hdop;
            output.pdop = std::hypot(output.hdop, output.vdop);
        }
    }
};

class fixture_t
{
public:
    std::unique_ptr<orvane::context_t> context{new orvane::context_t};
    standInForecaster_t forecaster;
    std::unique_ptr<orvane::device_t> device;

    fixture_t()
    {
        belrix_common_qt::dataClock_t::setTime(T0);
        context->controllerContext()->setSatForecaster(&forecaster);
        device.reset(new orvane::device_t(context.get(), QStringLiteral("GNSS 1"), nullptr));
        device->setPort(new belrix_common_qt::remotePort_t);
        belrix_common_qt::almanacGps_t almanac;
        almanac.prn = 7;
        almanac.week = 2288;
        gps()->addAlmanac(almanac);
    }
    ~fixture_t()
    {
        device.reset();
        belrix_common_qt::dataClock_t::useSystemTime();
        belrix_common_qt_gui::guiSettings_t::get()->useDefaults();
    }

    belrix_common_qt::almMgrGps_t* gps() const { return context->controllerContext()->controller()->almMgrGps(); }
    belrix_common_qt::remoteDevice_t* data() const { return device->remoteDevice(); }

    // The receiver's position (57.6° N 11.1° E) as of age seconds ago, its height (42 m) now
    // unless told otherwise, and an elevation mask of 10°.
    void report(double positionAge = 0.0, bool height = true) const
    {
        const double now = belrix_common_qt::dataClock_t::now();
        const double rad = belrix_common_qt::Pi / 180.0;
        data()->setDisplayPosition({belrix_common_qt::position_t(57.6 * rad, 11.1 * rad), now - positionAge});
        if (height)
            data()->setEllipsoidalHeight({42.0, now});
        data()->setElevationMask(10.0);
    }
};

} // namespace forecastTest
