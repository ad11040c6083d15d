#include "belrix_common_qt/satForecaster.h"

#include "belrix_common_qt/almMgrGlonass.h"
#include "belrix_common_qt/almMgrGps.h"
#include "belrix_common_qt/constellation.h"
#include "belrix_common_qt/glonassAlmanacOrbit.h"
#include "belrix_common_qt/gnssTime.h"
#include "belrix_common_qt/gpsAlmanacOrbit.h"
#include "belrix_common_qt/navConstants.h"
#include "belrix_common_qt/topocentricFrame.h"

#include <cmath>
#include <limits>
#include <vector>

namespace belrix_common_qt {

namespace {

constexpr int MaxUnknowns = 5;   // east, north, up, GPS clock, GLONASS clock
constexpr double Unknown = std::numeric_limits<double>::quiet_NaN();

// Sums of the outer products of the design rows, upper triangle only.
struct normalSums_t {
    double n[MaxUnknowns][MaxUnknowns] = {};

    void add(double const enu[3], int clock)
    {
        double const row[MaxUnknowns] = {enu[0], enu[1], enu[2], clock == 0 ? 1.0 : 0.0, clock == 1 ? 1.0 : 0.0};
        for (int r = 0; r < 3; ++r)
            for (int c = r; c < MaxUnknowns; ++c)
                n[r][c] += row[r] * row[c];
        n[3][3] += row[3];
        n[4][4] += row[4];
    }
};

// HDOP, VDOP and PDOP from the normal matrix over the unknowns listed, by its Cholesky factor
// L: the diagonal of the inverse is the column sums of squares of L's inverse. False when a
// pivot vanishes against the matrix's scale: the geometry does not determine the unknowns.
template <int N>
bool dilutions(normalSums_t const& sums, int const (&unknowns)[N], satForecastOutput_t& output)
{
    double l[N][N] = {};
    double scale = 0.0;
    for (int r = 0; r < N; ++r) {
        for (int c = 0; c <= r; ++c)
            l[r][c] = sums.n[unknowns[c]][unknowns[r]];
        scale = std::fmax(scale, l[r][r]);
    }
    for (int j = 0; j < N; ++j) {
        double pivot = l[j][j];
        for (int k = 0; k < j; ++k)
            pivot -= l[j][k] * l[j][k];
        if (!(pivot > 1.0e-12 * scale))
            return false;
        l[j][j] = std::sqrt(pivot);
        for (int i = j + 1; i < N; ++i) {
            double v = l[i][j];
            for (int k = 0; k < j; ++k)
                v -= l[i][k] * l[j][k];
            l[i][j] = v / l[j][j];
        }
    }
    double inverse[N][N] = {};
    for (int i = 0; i < N; ++i) {
        inverse[i][i] = 1.0 / l[i][i];
        for (int j = 0; j < i; ++j) {
            double v = 0.0;
            for (int k = j; k < i; ++k)
                v += l[i][k] * inverse[k][j];
            inverse[i][j] = -v / l[i][i];
        }
    }
    double q[3] = {};
    for (int j = 0; j < 3; ++j)
        for (int i = j; i < N; ++i)
            q[j] += inverse[i][j] * inverse[i][j];
    output.hdop = std::sqrt(q[0] + q[1]);
    output.vdop = std::sqrt(q[2]);
    output.pdop = std::sqrt(q[0] + q[1] + q[2]);
    return true;
}

} // namespace

class satForecaster_t::private_t
{
public:
    almMgrGps_t const* gps = nullptr;
    almMgrGlonass_t const* glonass = nullptr;
    double lat = 0.0;
    double lon = 0.0;
    double height = 0.0;
    double mask = 0.0;
    double sinMask = 0.0;
    double time = 0.0;
    double maximumAge = DefaultMaximumAlmanacAge;
    topocentricFrame_t frame{0.0, 0.0, 0.0};

    std::vector<gpsAlmanacOrbit_t> gpsOrbits;
    std::vector<glonassAlmanacOrbit_t> glonassOrbits;
    bool loaded = false;
    unsigned int gpsRevision = 0;
    unsigned int glonassRevision = 0;

    void refresh();
    bool gpsUsable(gpsAlmanacOrbit_t const& orbit, double gpsTime) const
    {
        return std::fabs(gpsTime - orbit.reference) <= maximumAge;
    }
    bool glonassUsable(glonassAlmanacOrbit_t const& orbit, double utc) const
    {
        return std::fabs(utc - orbit.almanac.referenceTime) <= maximumAge;
    }
};

// Rebuilds the orbits when a manager has changed since the last look.
void satForecaster_t::private_t::refresh()
{
    unsigned int const gpsNow = gps ? gps->revision() : 0;
    unsigned int const glonassNow = glonass ? glonass->revision() : 0;
    if (loaded && gpsNow == gpsRevision && glonassNow == glonassRevision)
        return;
    gpsOrbits.clear();
    if (gps) {
        for (almanacGps_t const& a : gps->entries())
            gpsOrbits.emplace_back(a);
    }
    glonassOrbits.clear();
    if (glonass) {
        for (almanacGlonass_t const& a : glonass->entries())
            glonassOrbits.emplace_back(a);
    }
    gpsRevision = gpsNow;
    glonassRevision = glonassNow;
    loaded = true;
}

satForecaster_t::satForecaster_t() : d(new private_t) {}

satForecaster_t::satForecaster_t(almMgrGps_t const* gps, almMgrGlonass_t const* glonass) : d(new private_t)
{
    d->gps = gps;
    d->glonass = glonass;
}

satForecaster_t::~satForecaster_t() { delete d; }

void satForecaster_t::setPosition(double lat, double lon, double height)
{
    if (lat == d->lat && lon == d->lon && height == d->height)
        return;
    d->lat = lat;
    d->lon = lon;
    d->height = height;
    d->frame = topocentricFrame_t(lat, lon, height);
}

void satForecaster_t::setElevationMask(double mask)
{
    d->mask = mask;
    d->sinMask = std::sin(mask);
}

void satForecaster_t::setForecastTime(double t) { d->time = t; }

void satForecaster_t::setMaximumAlmanacAge(double seconds) { d->maximumAge = seconds; }
double satForecaster_t::maximumAlmanacAge() const { return d->maximumAge; }

bool satForecaster_t::forecastTimeValid() const
{
    if (!std::isfinite(d->time))
        return false;
    d->refresh();
    double const gpsTime = gpsTimeFromUtc(d->time);
    for (gpsAlmanacOrbit_t const& orbit : d->gpsOrbits) {
        if (d->gpsUsable(orbit, gpsTime))
            return true;
    }
    for (glonassAlmanacOrbit_t const& orbit : d->glonassOrbits) {
        if (d->glonassUsable(orbit, d->time))
            return true;
    }
    return false;
}

void satForecaster_t::forecast(satForecastOutput_t& output) const
{
    // as a fresh output, but without rewriting the whole satellite list at every instant
    output.valid = false;
    output.satellitesUsed = 0;
    output.gpsSatellites = 0;
    output.glonassSatellites = 0;
    output.hdop = Unknown;
    output.vdop = Unknown;
    output.pdop = Unknown;
    output.satelliteCount = 0;
    if (!forecastTimeValid() || !std::isfinite(d->lat) || !std::isfinite(d->lon) || !std::isfinite(d->height)
        || !std::isfinite(d->mask))
        return;
    output.valid = true;

    normalSums_t sums;
    auto take = [&](double const ecef[3], constellation_t constellation, unsigned int number) {
        double enu[3];
        if (!d->frame.lineOfSightAbove(ecef, d->sinMask, enu))
            return;
        int const clock = constellation == constellationGps ? 0 : 1;
        sums.add(enu, clock);
        ++output.satellitesUsed;
        ++(clock == 0 ? output.gpsSatellites : output.glonassSatellites);
        if (output.satelliteCount >= satForecastOutput_t::MaxSatellites)
            return;
        satForecastOutput_t::satellite_t& sat = output.satellites[std::size_t(output.satelliteCount++)];
        sat.constellation = constellation;
        sat.prn = int(number);
        double azimuth = std::atan2(enu[0], enu[1]);
        if (azimuth < 0.0)
            azimuth += 2.0 * Pi;
        sat.azimuth = azimuth < 2.0 * Pi ? azimuth : 0.0;
        sat.elevation = std::asin(std::fmin(1.0, enu[2]));
    };

    double const gpsTime = gpsTimeFromUtc(d->time);
    double cosEarth, sinEarth;
    gpsAlmanacOrbit_t::earthAngle(gpsTime, cosEarth, sinEarth);
    double ecef[3];
    for (gpsAlmanacOrbit_t const& orbit : d->gpsOrbits) {
        if (!orbit.healthy || !d->gpsUsable(orbit, gpsTime))
            continue;
        orbit.position(gpsTime, cosEarth, sinEarth, ecef);
        take(ecef, constellationGps, orbit.prn);
    }
    for (glonassAlmanacOrbit_t const& orbit : d->glonassOrbits) {
        if (!orbit.healthy || !d->glonassUsable(orbit, d->time))
            continue;
        orbit.position(d->time, ecef);
        take(ecef, constellationGlonass, orbit.slot);
    }
    // a satellite list longer than the output holds still counts in the geometry
    output.satellitesUsed = output.gpsSatellites + output.glonassSatellites;

    bool solved = false;
    if (output.gpsSatellites > 0 && output.glonassSatellites > 0) {
        static constexpr int both[] = {0, 1, 2, 3, 4};
        solved = output.satellitesUsed >= 5 && dilutions(sums, both, output);
    } else if (output.gpsSatellites > 0) {
        static constexpr int gpsOnly[] = {0, 1, 2, 3};
        solved = output.satellitesUsed >= 4 && dilutions(sums, gpsOnly, output);
    } else if (output.glonassSatellites > 0) {
        static constexpr int glonassOnly[] = {0, 1, 2, 4};
        solved = output.satellitesUsed >= 4 && dilutions(sums, glonassOnly, output);
    }
    if (!solved) {
        output.hdop = Unknown;
        output.vdop = Unknown;
        output.pdop = Unknown;
    }
}

} // namespace belrix_common_qt
