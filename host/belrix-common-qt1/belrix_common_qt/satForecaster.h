#pragma once

#include "belrix_common_qt_export.h"
#include "belrix_common_qt/satForecastOutput.h"

namespace belrix_common_qt {

class almMgrGps_t;
class almMgrGlonass_t;

// Predicts the satellites in view and their geometry for an observer and a time, from the
// application's GPS and GLONASS almanacs. The operations are virtual so that a test or an
// integrating host can put another forecaster in its place; the base is usable as it stands.
//
// Model. Each satellite's position comes from its almanac entry: the Keplerian almanac model
// of the GPS user algorithm for GPS (gpsAlmanacOrbit_t) and the almanac algorithm of the GLONASS
// interface document for GLONASS (glonassAlmanacOrbit_t). The direction is the geometric one
// at the instant: no light time, no earth rotation during the signal's flight, no atmospheric
// refraction. The observer stands on WGS84. Satellites flagged unhealthy in the almanac are
// left out. A satellite counts when its elevation is at or above the mask.
//
// Dilutions of precision come from the unit lines of sight of the satellites above the mask,
// with east, north, up and one receiver clock offset per constellation in use (so GPS together
// with GLONASS has five unknowns and needs five satellites); they are NaN when the satellites
// are fewer than the unknowns or their geometry does not determine them.
//
// Time. The forecast time is UTC; GPS entries are placed in GPS time (UTC plus the leap
// seconds of gnssTime.h), GLONASS entries carry UTC already (GLONASS time is UTC(SU) + 3 h).
//
// Validity. An almanac entry is used only within maximumAlmanacAge() of its reference time,
// 30 days by default: measured against receivers' own sky reports, almanac directions were
// within about 1° for a few days and 3° after a month, which still places a satellite's rise
// and set within a few minutes; beyond that the error grows with unmodelled forces and with
// satellite repositioning, and the almanac has usually been replaced weeks before.
//
// The orbits are rebuilt only when a manager's contents change, so a forecast loop over many
// times allocates nothing.
class BELRIX_COMMON_QT_EXPORT satForecaster_t
{
public:
    static constexpr double DefaultMaximumAlmanacAge = 30.0 * 86400.0;   // seconds

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
    // False when no almanac entry lies within maximumAlmanacAge() of the time set.
    virtual bool forecastTimeValid() const;
    // Fills output for the time and observer set; output.valid false when it cannot.
    virtual void forecast(satForecastOutput_t& output) const;

    // Seconds an entry may lie before or after the forecast time and still be used.
    void setMaximumAlmanacAge(double seconds);
    double maximumAlmanacAge() const;

private:
    class private_t;
    private_t* d;
};

} // namespace belrix_common_qt
