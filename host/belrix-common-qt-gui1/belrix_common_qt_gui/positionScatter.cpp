#include "belrix_common_qt_gui/positionScatter.h"

#include <belrix_common_qt/navConstants.h>

#include <algorithm>
#include <cmath>
#include <deque>
#include <limits>

namespace belrix_common_qt_gui {

namespace {
constexpr double WgsA = 6378137.0;
constexpr double WgsE2 = 6.69437999014e-3;

struct sample_t {
    double time;
    double lat;
    double lon;
};

// a longitude difference brought into -pi..pi, so a spread across the date line stays small
double wrapped(double radians)
{
    return std::remainder(radians, 2.0 * belrix_common_qt::Pi);
}
} // namespace

class positionScatter_t::private_t
{
public:
    std::deque<sample_t> samples;
    // derived on each change: the window is small and read once a second
    double meanLat = 0.0, meanLon = 0.0;
    QVector<QPointF> offsets;
    double radius95 = 0.0;
    double largest = 0.0;

    void derive();
};

void positionScatter_t::private_t::derive()
{
    offsets.clear();
    radius95 = largest = 0.0;
    if (samples.empty())
        return;
    const double lon0 = samples.front().lon;
    double sumLat = 0.0, sumDLon = 0.0;
    for (sample_t const& s : samples) {
        sumLat += s.lat;
        sumDLon += wrapped(s.lon - lon0);
    }
    const double n = double(samples.size());
    meanLat = sumLat / n;
    meanLon = wrapped(lon0 + sumDLon / n);
    // radii of curvature of WGS84 at the mean latitude
    const double sinLat = std::sin(meanLat);
    const double w = std::sqrt(1.0 - WgsE2 * sinLat * sinLat);
    const double meridian = WgsA * (1.0 - WgsE2) / (w * w * w);
    const double parallel = WgsA / w * std::cos(meanLat);
    offsets.reserve(int(samples.size()));
    std::vector<double> distances;
    distances.reserve(samples.size());
    for (sample_t const& s : samples) {
        const QPointF p(wrapped(s.lon - meanLon) * parallel, (s.lat - meanLat) * meridian);
        offsets << p;
        distances.push_back(std::hypot(p.x(), p.y()));
    }
    largest = *std::max_element(distances.begin(), distances.end());
    if (distances.size() < 2)
        return;
    const std::size_t k = std::size_t(std::ceil(0.95 * double(distances.size()))) - 1;
    std::nth_element(distances.begin(), distances.begin() + std::ptrdiff_t(k), distances.end());
    radius95 = distances[k];
}

positionScatter_t::positionScatter_t() : d(new private_t) {}
positionScatter_t::~positionScatter_t() { delete d; }
positionScatter_t::positionScatter_t(positionScatter_t const& other) : d(new private_t(*other.d)) {}
positionScatter_t& positionScatter_t::operator=(positionScatter_t const& other)
{
    *d = *other.d;
    return *this;
}

void positionScatter_t::add(double time, double latitude, double longitude)
{
    if (!std::isfinite(time) || !std::isfinite(latitude) || !std::isfinite(longitude))
        return;
    if (!d->samples.empty() && time < d->samples.back().time)
        d->samples.clear();
    d->samples.push_back({time, latitude, longitude});
    while (d->samples.size() > std::size_t(MaxPoints) || d->samples.front().time < time - WindowSeconds)
        d->samples.pop_front();
    d->derive();
}

void positionScatter_t::expire(double time)
{
    const std::size_t before = d->samples.size();
    while (!d->samples.empty() && d->samples.front().time < time - WindowSeconds)
        d->samples.pop_front();
    if (d->samples.size() != before)
        d->derive();
}

void positionScatter_t::clear()
{
    d->samples.clear();
    d->derive();
}

int positionScatter_t::count() const { return int(d->samples.size()); }

double positionScatter_t::newestTime() const
{
    return d->samples.empty() ? std::numeric_limits<double>::quiet_NaN() : d->samples.back().time;
}

double positionScatter_t::meanLatitude() const { return d->meanLat; }
double positionScatter_t::meanLongitude() const { return d->meanLon; }
QVector<QPointF> positionScatter_t::offsets() const { return d->offsets; }
double positionScatter_t::radius95() const { return d->radius95; }
double positionScatter_t::largestOffset() const { return d->largest; }

} // namespace belrix_common_qt_gui
