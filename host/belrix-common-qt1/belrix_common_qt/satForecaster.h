#pragma once

#include "belrix_common_qt_export.h"
#include "belrix_common_qt/satForecastOutput.h"

namespace belrix_common_qt {

class almMgrGps_t;
class almMgrGlonass_t;

// Predicts the satellites in view and their geometry for an observer and a time, from the
// application's GPS and GLONASS almanacs. The operations are virtual so that a test or an
// integrating host can put another forecaster in its place; the base is usable as it stands.
class BELRIX_COMMON_QT_EXPORT satForecaster_t
{
public:
    satForecaster_t();
    // Reads the almanacs of these managers (either may be null); they must outlive the forecaster.
    satForecaster_t(almMgrGps_t const* gps, almMgrGlonass_t const* glonass);
    virtual ~satForecaster_t();
    satForecaster_t(satForecaster_t const&) = delete;
    satForecaster_t& operator=(satForecaster_t const&) = delete;

    // Observer on WGS84: latitude and longitude in radians, ellipsoidal height in metres.
    virtual void setPosition(double lat, double lon, double height);
    // Radians above the horizon.
    virtual void setElevationMask(double mask);
    // Seconds since 1970-01-01 UTC.
    virtual void setForecastTime(double t);
    // False when no almanac covers the time set.
    virtual bool forecastTimeValid() const;
    // Fills output for the time and observer set; output.valid false when it cannot.
    virtual void forecast(satForecastOutput_t& output) const;

private:
    class private_t;
    private_t* d;
};

} // namespace belrix_common_qt
