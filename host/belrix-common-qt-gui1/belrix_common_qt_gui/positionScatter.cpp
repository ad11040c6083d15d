#include "belrix_common_qt_gui/positionScatter.h"

#include <belrix_common_qt/navConstants.h>

#include <algorithm>
#include <cmath>
#include <deque>
#include <limits>
#include <utility>

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
    bool underWay = false;

    void derive();
    void subtractTrack();
};

// Each offset less the track at its time: a parabola in time fitted by least squares to the
// offsets within TrackHalfWindow of it, which follows a steady turn as well as a straight
// course. Running sums of powers of time over a sliding window keep this linear in the count;
// they are moved to each sample's own time before solving, so the fitted track there is the
// constant term.
void positionScatter_t::private_t::subtractTrack()
{
    const std::size_t n = samples.size();
    if (n < 3)
        return;
    const double t0 = samples.front().time;
    QVector<QPointF> const along = offsets;
    double s[5] = {}, x[3] = {}, y[3] = {};
    auto account = [&](std::size_t j, double sign) {
        const double u = samples[j].time - t0;
        const QPointF p = along[int(j)];
        double power = sign;
        for (int k = 0; k < 5; ++k, power *= u) {
            s[k] += power;
            if (k < 3) {
                x[k] += power * p.x();
                y[k] += power * p.y();
            }
        }
    };
    std::size_t lo = 0, hi = 0;   // the window is [lo, hi)
    for (std::size_t i = 0; i < n; ++i) {
        const double ti = samples[i].time;
        while (hi < n && samples[hi].time <= ti + TrackHalfWindow)
            account(hi++, 1.0);
        while (samples[lo].time < ti - TrackHalfWindow)
            account(lo++, -1.0);
        // the sums about this sample's time
        const double c = ti - t0, c2 = c * c, c3 = c2 * c, c4 = c2 * c2;
        const double m0 = s[0], m1 = s[1] - c * s[0], m2 = s[2] - 2 * c * s[1] + c2 * s[0];
        const double m3 = s[3] - 3 * c * s[2] + 3 * c2 * s[1] - c3 * s[0];
        const double m4 = s[4] - 4 * c * s[3] + 6 * c2 * s[2] - 4 * c3 * s[1] + c4 * s[0];
        const double x0 = x[0], x1 = x[1] - c * x[0], x2 = x[2] - 2 * c * x[1] + c2 * x[0];
        const double y0 = y[0], y1 = y[1] - c * y[0], y2 = y[2] - 2 * c * y[1] + c2 * y[0];
        const double det = m0 * (m2 * m4 - m3 * m3) - m1 * (m1 * m4 - m3 * m2) + m2 * (m1 * m3 - m2 * m2);
        QPointF track(x0 / m0, y0 / m0);   // too few positions for a parabola: their mean
        if (m0 >= 5.0 && det > 1e-9 * m0 * m2 * m4) {
            auto constantTerm = [&](double b0, double b1, double b2) {
                return (b0 * (m2 * m4 - m3 * m3) - m1 * (b1 * m4 - m3 * b2) + m2 * (b1 * m3 - m2 * b2)) / det;
            };
            track = QPointF(constantTerm(x0, x1, x2), constantTerm(y0, y1, y2));
        }
        offsets[int(i)] = along[int(i)] - track;
    }
}

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
    for (sample_t const& s : samples)
        offsets << QPointF(wrapped(s.lon - meanLon) * parallel, (s.lat - meanLat) * meridian);
    if (underWay)
        subtractTrack();
    for (QPointF const& p : std::as_const(offsets))
        distances.push_back(std::hypot(p.x(), p.y()));
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

void positionScatter_t::setUnderWay(bool underWay)
{
    if (underWay == d->underWay)
        return;
    d->underWay = underWay;
    d->derive();
}

bool positionScatter_t::underWay() const { return d->underWay; }

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
