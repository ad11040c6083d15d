#include "belrix_common_qt/rateOfTurnCalculator.h"

#include <cmath>
#include <vector>

namespace belrix_common_qt {

namespace {
struct sample_t {
    double t;
    double heading;   // unwrapped: continuous across north
};

double wrap180(double degrees)
{
    double d = std::fmod(degrees, 360.0);
    if (d > 180.0)
        d -= 360.0;
    else if (d <= -180.0)
        d += 360.0;
    return d;
}
} // namespace

class rateOfTurnCalculator_t::private_t
{
public:
    unsigned int sampleSize = DefaultSampleSize;
    // A vector kept at its capacity: headings arrive every second and must not allocate.
    std::vector<sample_t> samples;
    double lastRaw = 0.0;

    void trim()
    {
        if (samples.size() > sampleSize)
            samples.erase(samples.begin(), samples.begin() + std::ptrdiff_t(samples.size() - sampleSize));
    }
};

rateOfTurnCalculator_t::rateOfTurnCalculator_t(unsigned int sampleSize) : d(new private_t)
{
    setSampleSize(sampleSize);
}

rateOfTurnCalculator_t::~rateOfTurnCalculator_t() { delete d; }
rateOfTurnCalculator_t::rateOfTurnCalculator_t(rateOfTurnCalculator_t const& other) : d(new private_t(*other.d)) {}

rateOfTurnCalculator_t& rateOfTurnCalculator_t::operator=(rateOfTurnCalculator_t const& other)
{
    *d = *other.d;
    return *this;
}

void rateOfTurnCalculator_t::setSampleSize(unsigned int size)
{
    d->sampleSize = size == 0 ? DefaultSampleSize : (size < 2 ? 2 : size);
    d->trim();
    d->samples.reserve(d->sampleSize + 1);
}

unsigned int rateOfTurnCalculator_t::sampleSize() const { return d->sampleSize; }

void rateOfTurnCalculator_t::clear() { d->samples.clear(); }

bool rateOfTurnCalculator_t::addHeading(double t, double degrees, double& degreesPerMinute)
{
    if (!std::isfinite(t) || !std::isfinite(degrees))
        return false;
    if (!d->samples.empty()) {
        sample_t& last = d->samples.back();
        if (t < last.t || t - last.t > MaxGapSeconds) {
            d->samples.clear();
        } else if (t == last.t) {
            // the same instant reported again: the later report wins
            last.heading += wrap180(degrees - d->lastRaw);
            d->lastRaw = degrees;
        }
    }
    if (d->samples.empty())
        d->samples.push_back({t, degrees});
    else if (t != d->samples.back().t)
        d->samples.push_back({t, d->samples.back().heading + wrap180(degrees - d->lastRaw)});
    d->lastRaw = degrees;
    d->trim();

    const std::size_t n = d->samples.size();
    if (n < 2)
        return false;
    double meanT = 0.0;
    double meanH = 0.0;
    for (sample_t const& s : d->samples) {
        meanT += s.t;
        meanH += s.heading;
    }
    meanT /= double(n);
    meanH /= double(n);
    double stt = 0.0;
    double sth = 0.0;
    for (sample_t const& s : d->samples) {
        stt += (s.t - meanT) * (s.t - meanT);
        sth += (s.t - meanT) * (s.heading - meanH);
    }
    if (!(stt > 0.0))
        return false;
    degreesPerMinute = sth / stt * 60.0;
    return true;
}

} // namespace belrix_common_qt
