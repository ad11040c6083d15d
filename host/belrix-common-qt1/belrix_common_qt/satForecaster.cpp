#include "belrix_common_qt/satForecaster.h"

namespace belrix_common_qt {

class satForecaster_t::private_t
{
public:
    almMgrGps_t const* gps = nullptr;
    almMgrGlonass_t const* glonass = nullptr;
    double lat = 0.0;
    double lon = 0.0;
    double height = 0.0;
    double mask = 0.0;
    double time = 0.0;
};

satForecaster_t::satForecaster_t() : d(new private_t) {}

satForecaster_t::satForecaster_t(almMgrGps_t const* gps, almMgrGlonass_t const* glonass) : d(new private_t)
{
    d->gps = gps;
    d->glonass = glonass;
}

satForecaster_t::~satForecaster_t() { delete d; }

void satForecaster_t::setPosition(double lat, double lon, double height)
{
    d->lat = lat;
    d->lon = lon;
    d->height = height;
}

void satForecaster_t::setElevationMask(double mask) { d->mask = mask; }
void satForecaster_t::setForecastTime(double t) { d->time = t; }

// the orbit model comes with the almanac readers; until then nothing can be forecast
bool satForecaster_t::forecastTimeValid() const { return false; }

void satForecaster_t::forecast(satForecastOutput_t& output) const { output = satForecastOutput_t(); }

} // namespace belrix_common_qt
