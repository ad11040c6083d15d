#pragma once

#include <belrix_common_qt/almanacGlonass.h>
#include <belrix_common_qt/almanacGps.h>

#include <vector>

namespace orvane {
namespace app {

// The orbits the simulated GPS and GLONASS satellites fly, as an almanac written here so the
// simulation needs no file: 31 GPS satellites in six planes and 24 GLONASS satellites in
// three, with the spread of eccentricity, inclination, period and node drift that published
// almanacs show. The entries refer to the start of 2024; an upload for any later time is the
// same orbit referred to that time (gpsAlmanacOrbit_t::referredTo,
// glonassAlmanacOrbit_t::afterRevolutions), so every upload agrees with the sky.
class builtInAlmanac_t
{
public:
    builtInAlmanac_t();
    ~builtInAlmanac_t();
    builtInAlmanac_t(builtInAlmanac_t const&) = delete;
    builtInAlmanac_t& operator=(builtInAlmanac_t const&) = delete;

    std::vector<belrix_common_qt::almanacGps_t> const& gps() const;
    std::vector<belrix_common_qt::almanacGlonass_t> const& glonass() const;

    // Entry index of gps() as uploaded uploadsBack uploads (4096 s apart) before the newest one
    // at t, seconds since 1970 UTC.
    belrix_common_qt::almanacGps_t gpsUpload(std::size_t index, double t, int uploadsBack) const;
    // Entry index of glonass() as the almanac of daysBack days before the newest one at t:
    // each day's refers to the satellite's first ascending node pass of that Moscow day.
    belrix_common_qt::almanacGlonass_t glonassUpload(std::size_t index, double t, int daysBack) const;

private:
    class private_t;
    private_t* d;
};

} // namespace app
} // namespace orvane
