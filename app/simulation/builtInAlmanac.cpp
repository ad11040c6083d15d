#include "builtInAlmanac.h"

#include "simulationCommon.h"

#include <belrix_common_qt/constellation.h>
#include <belrix_common_qt/glonassAlmanacOrbit.h>
#include <belrix_common_qt/gnssTime.h>
#include <belrix_common_qt/gpsAlmanacOrbit.h>

#include <algorithm>
#include <cmath>

using namespace belrix_common_qt;

namespace orvane {
namespace app {

using namespace sim;

namespace {

constexpr double Day = 86400.0;
constexpr double MoscowOffset = 3.0 * 3600.0;
constexpr double ToaStep = 4096.0;
constexpr int ToaPerWeek = 148;   // 0 .. 602112

constexpr int GloFrequencyChannels[24] = {1, -4, 5, 6, 1, -4, 5, 6, -2, -7, 0, -1,
                                          -2, -7, 0, -1, 4, -3, 3, 2, 4, -3, 3, 2};

// Six planes 60° apart, the satellites of a plane spread unevenly as in the real constellation.
std::vector<almanacGps_t> makeGps()
{
    double const gpsEpoch = gpsTimeFromUtc(Epoch);
    unsigned int const week = unsigned(std::floor(gpsEpoch / SecondsPerGpsWeek));
    std::vector<unsigned int> prns;
    for (unsigned int prn = 1; prn <= 32; ++prn) {
        if (prn != 31)
            prns.push_back(prn);
    }
    int const planes = 6;
    int const count = int(prns.size());
    std::vector<almanacGps_t> list;
    for (int i = 0; i < count; ++i) {
        int const plane = i % planes;
        int const inPlane = (count - plane + planes - 1) / planes;
        int const slot = i / planes;
        std::uint64_t const k = key(channelAlmanac, constellationGps, prns[std::size_t(i)]);
        almanacGps_t a;
        a.prn = prns[std::size_t(i)];
        a.week = week;
        a.toa = 0.0;
        a.eccentricity = 0.001 + 0.019 * uniform(key(k, 1));
        a.inclination = (55.0 + 1.6 * (uniform(key(k, 2)) - 0.5)) * DegToRad;
        a.rateOfRightAscension = -8.0e-9 + 0.6e-9 * (uniform(key(k, 3)) - 0.5);
        a.sqrtA = std::sqrt(26559.7e3 + 30.0e3 * (uniform(key(k, 4)) - 0.5));
        a.rightAscension = wrapPi((17.0 + plane * 360.0 / planes) * DegToRad);
        a.argumentOfPerigee = wrapPi(TwoPi * uniform(key(k, 5)));
        double const latitude = TwoPi * (double(slot) / inPlane + double(plane) / count) + 0.1 * (uniform(key(k, 6)) - 0.5);
        a.meanAnomaly = wrapPi(latitude - a.argumentOfPerigee);
        a.af0 = 6.0e-4 * (uniform(key(k, 7)) - 0.5);
        a.af1 = 2.0e-11 * (uniform(key(k, 8)) - 0.5);
        list.push_back(a);
    }
    return list;
}

// Three planes 120° apart with eight satellites 45° apart in each, the planes shifted by 15°;
// each entry refers to its satellite's first ascending node pass after the epoch.
std::vector<almanacGlonass_t> makeGlonass()
{
    std::vector<almanacGlonass_t> list;
    for (unsigned int slot = 1; slot <= 24; ++slot) {
        int const plane = int(slot - 1) / 8;
        int const inPlane = int(slot - 1) % 8;
        std::uint64_t const k = key(channelAlmanac, constellationGlonass, slot);
        almanacGlonass_t a;
        a.slot = slot;
        a.frequencyChannel = GloFrequencyChannels[slot - 1];
        a.deltaInclination = (1.8 + 0.6 * (uniform(key(k, 1)) - 0.5)) * DegToRad;   // about 64.8°
        a.eccentricity = 0.0001 + 0.0019 * uniform(key(k, 2));
        a.argumentOfPerigee = wrapPi(TwoPi * uniform(key(k, 3)));
        a.deltaT = -2655.7 + 0.6 * (uniform(key(k, 4)) - 0.5);   // 11 h 15 min 44 s in all
        a.deltaTDot = 0.0;   // a steady period keeps every day's upload on one orbit
        a.tau = 2.0e-4 * (uniform(key(k, 5)) - 0.5);
        double const latitude = (45.0 * inPlane + 15.0 * plane) * DegToRad + 0.02 * (uniform(key(k, 6)) - 0.5);
        double const period = glonassAlmanacOrbit_t::MeanDraconicPeriod + a.deltaT;
        double const toNode = wrapTwoPi(-latitude) / TwoPi * period;
        a.referenceTime = Epoch + toNode;
        // planes 120° apart among the stars, so the node's longitude on the earth counts the
        // earth's turn until the pass
        a.lambda = wrapPi((251.0 + 120.0 * plane) * DegToRad - glonassAlmanacOrbit_t::EarthRotation * toNode);
        list.push_back(a);
    }
    return list;
}

} // namespace

class builtInAlmanac_t::private_t
{
public:
    std::vector<almanacGps_t> gps = makeGps();
    std::vector<almanacGlonass_t> glonass = makeGlonass();
};

builtInAlmanac_t::builtInAlmanac_t() : d(new private_t) {}
builtInAlmanac_t::~builtInAlmanac_t() { delete d; }

std::vector<almanacGps_t> const& builtInAlmanac_t::gps() const { return d->gps; }
std::vector<almanacGlonass_t> const& builtInAlmanac_t::glonass() const { return d->glonass; }

almanacGps_t builtInAlmanac_t::gpsUpload(std::size_t index, double t, int uploadsBack) const
{
    double const gpsTime = std::max(0.0, gpsTimeFromUtc(t));
    double week = std::floor(gpsTime / SecondsPerGpsWeek);
    int toaIndex = int(std::floor((gpsTime - week * SecondsPerGpsWeek) / ToaStep)) - uploadsBack;
    while (toaIndex < 0 && week > 0.0) {
        week -= 1.0;
        toaIndex += ToaPerWeek;
    }
    toaIndex = std::max(toaIndex, 0);
    return gpsAlmanacOrbit_t::referredTo(d->gps.at(index), unsigned(week), toaIndex * ToaStep);
}

almanacGlonass_t builtInAlmanac_t::glonassUpload(std::size_t index, double t, int daysBack) const
{
    glonassAlmanacOrbit_t const orbit(d->glonass.at(index));
    double const period = orbit.period();
    double dayStart = std::floor((t + MoscowOffset) / Day) * Day - MoscowOffset - daysBack * Day;
    // the first pass of that day; when it is still to come, the newest almanac is the day before's
    double revolutions = std::ceil((dayStart - orbit.almanac.referenceTime) / period);
    if (orbit.almanac.referenceTime + revolutions * period > t) {
        dayStart -= Day;
        revolutions = std::ceil((dayStart - orbit.almanac.referenceTime) / period);
    }
    return orbit.afterRevolutions(int(revolutions));
}

} // namespace app
} // namespace orvane
