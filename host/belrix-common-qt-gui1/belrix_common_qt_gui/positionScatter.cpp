#include "belrix_common_qt_gui/positionScatter.h"

#include <belrix_common_qt/navConstants.h>

#include <GeographicLib/LocalCartesian.hpp>

#include <algorithm>
#include <cmath>
#include <deque>
#include <limits>
#include <utility>

namespace belrix_common_qt_gui {

using belrix_common_qt::DegToRad;
using belrix_common_qt::RadToDeg;

namespace {
// Beyond this from the anchor, its tangent plane falls metres below the ellipsoid.
constexpr double MaxAnchorDistance = 5000.0;

struct sample_t {
    double time;
    double lat;
    double lon;
    double east = 0.0;    // metres in the local frame
    double north = 0.0;
    double up = 0.0;
    double trackEast = 0.0;   // the fitted track at this time, under way
    double trackNorth = 0.0;
};

} // namespace

// Positions are kept as metres east and north of an anchor, converted once as they arrive, so
// that each second's new scatter costs additions rather than trigonometry; under way only the
// track about the newest and the oldest positions is fitted again.
class positionScatter_t::private_t
{
public:
    std::deque<sample_t> samples;
    GeographicLib::LocalCartesian frame;   // east, north, up at the anchor
    // the track is to be fitted again from this index to the end, and up to this time at the front
    std::size_t fitFrom = 0;
    double fitUntil = -std::numeric_limits<double>::infinity();
    // derived on each change: read once a second
    double meanLat = 0.0, meanLon = 0.0;
    QVector<QPointF> offsets;
    std::vector<double> distances;
    double radius95 = 0.0;
    double largest = 0.0;
    bool underWay = false;

    void anchorAt(double lat, double lon);
    void toLocal(sample_t& s) const
    {
        frame.Forward(s.lat * RadToDeg, s.lon * RadToDeg, 0.0, s.east, s.north, s.up);
    }
    void refitAll()
    {
        fitFrom = 0;
        fitUntil = std::numeric_limits<double>::infinity();
    }
    void fit(std::size_t begin, std::size_t end);
    void derive();
};

void positionScatter_t::private_t::anchorAt(double lat, double lon)
{
    frame.Reset(lat * RadToDeg, lon * RadToDeg, 0.0);
    for (sample_t& s : samples)
        toLocal(s);
    refitAll();
}

// The track at each sample of [begin, end): a parabola in time fitted by least squares to the
// positions within TrackHalfWindow of it, which follows a steady turn as well as a straight
// course. Running sums of powers of time over a sliding window keep this linear in the count;
// they are moved to each sample's own time before solving, so the fitted track there is the
// constant term.
void positionScatter_t::private_t::fit(std::size_t begin, std::size_t end)
{
    const std::size_t n = samples.size();
    if (begin >= end)
        return;
    std::size_t lo = begin;
    while (lo > 0 && samples[lo - 1].time >= samples[begin].time - TrackHalfWindow)
        --lo;
    const double t0 = samples[lo].time;
    double s[5] = {}, x[3] = {}, y[3] = {};
    auto account = [&](std::size_t j, double sign) {
        const double u = samples[j].time - t0;
        double power = sign;
        for (int k = 0; k < 5; ++k, power *= u) {
            s[k] += power;
            if (k < 3) {
                x[k] += power * samples[j].east;
                y[k] += power * samples[j].north;
            }
        }
    };
    std::size_t hi = lo;   // the window is [lo, hi)
    for (std::size_t i = begin; i < end; ++i) {
        sample_t& si = samples[i];
        while (hi < n && samples[hi].time <= si.time + TrackHalfWindow)
            account(hi++, 1.0);
        while (samples[lo].time < si.time - TrackHalfWindow)
            account(lo++, -1.0);
        // the sums about this sample's time
        const double c = si.time - t0, c2 = c * c, c3 = c2 * c, c4 = c2 * c2;
        const double m0 = s[0], m1 = s[1] - c * s[0], m2 = s[2] - 2 * c * s[1] + c2 * s[0];
        const double m3 = s[3] - 3 * c * s[2] + 3 * c2 * s[1] - c3 * s[0];
        const double m4 = s[4] - 4 * c * s[3] + 6 * c2 * s[2] - 4 * c3 * s[1] + c4 * s[0];
        const double x0 = x[0], x1 = x[1] - c * x[0], x2 = x[2] - 2 * c * x[1] + c2 * x[0];
        const double y0 = y[0], y1 = y[1] - c * y[0], y2 = y[2] - 2 * c * y[1] + c2 * y[0];
        const double det = m0 * (m2 * m4 - m3 * m3) - m1 * (m1 * m4 - m3 * m2) + m2 * (m1 * m3 - m2 * m2);
        si.trackEast = x0 / m0;   // too few positions for a parabola: their mean
        si.trackNorth = y0 / m0;
        if (m0 >= 5.0 && det > 1e-9 * m0 * m2 * m4) {
            auto constantTerm = [&](double b0, double b1, double b2) {
                return (b0 * (m2 * m4 - m3 * m3) - m1 * (b1 * m4 - m3 * b2) + m2 * (b1 * m3 - m2 * b2)) / det;
            };
            si.trackEast = constantTerm(x0, x1, x2);
            si.trackNorth = constantTerm(y0, y1, y2);
        }
    }
}

void positionScatter_t::private_t::derive()
{
    offsets.clear();
    distances.clear();
    radius95 = largest = 0.0;
    const std::size_t n = samples.size();
    if (n == 0) {
        refitAll();
        return;
    }
    double sumEast = 0.0, sumNorth = 0.0, sumUp = 0.0;
    for (sample_t const& s : samples) {
        sumEast += s.east;
        sumNorth += s.north;
        sumUp += s.up;
    }
    const double meanEast = sumEast / double(n), meanNorth = sumNorth / double(n);
    double height = 0.0;
    frame.Reverse(meanEast, meanNorth, sumUp / double(n), meanLat, meanLon, height);
    meanLat *= DegToRad;
    meanLon *= DegToRad;
    if (underWay) {
        std::size_t front = 0;
        while (front < n && samples[front].time <= fitUntil)
            ++front;
        const std::size_t back = std::min(fitFrom, n);
        if (front >= back) {
            fit(0, n);
        } else {
            fit(0, front);
            fit(back, n);
        }
    }
    fitFrom = n;
    fitUntil = -std::numeric_limits<double>::infinity();
    offsets.reserve(int(n));
    distances.reserve(n);
    for (sample_t const& s : samples) {
        const QPointF p = underWay ? QPointF(s.east - s.trackEast, s.north - s.trackNorth)
                                   : QPointF(s.east - meanEast, s.north - meanNorth);
        offsets << p;
        distances.push_back(std::sqrt(p.x() * p.x() + p.y() * p.y()));
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
    sample_t s{time, latitude, longitude};
    if (d->samples.empty()) {
        d->anchorAt(latitude, longitude);
    } else {
        d->toLocal(s);
        if (std::fabs(s.east) > MaxAnchorDistance || std::fabs(s.north) > MaxAnchorDistance) {
            d->samples.push_back(s);
            d->anchorAt(latitude, longitude);
            d->samples.pop_back();
            d->toLocal(s);
        }
    }
    d->samples.push_back(s);
    // the new position changes the track of the last half window
    std::size_t first = d->samples.size() - 1;
    while (first > 0 && d->samples[first - 1].time >= time - TrackHalfWindow)
        --first;
    d->fitFrom = std::min(d->fitFrom, first);
    dropOld(time);
    d->derive();
}

void positionScatter_t::dropOld(double time)
{
    while (!d->samples.empty()
           && (d->samples.size() > std::size_t(MaxPoints) || d->samples.front().time < time - WindowSeconds)) {
        // the oldest position leaves the track of the first half window
        d->fitUntil = std::max(d->fitUntil, d->samples.front().time + TrackHalfWindow);
        d->samples.pop_front();
        if (d->fitFrom > 0 && d->fitFrom <= d->samples.size())
            --d->fitFrom;
    }
}

void positionScatter_t::expire(double time)
{
    const std::size_t before = d->samples.size();
    dropOld(time);
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
    d->refitAll();
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
