#include "belrix_common_qt/fixHistory.h"

#include <cmath>
#include <vector>

namespace belrix_common_qt {

class fixHistory_t::private_t
{
public:
    std::vector<fixSample_t> ring = std::vector<fixSample_t>(std::size_t(Capacity));
    int first = 0;   // index of the oldest in ring
    int count = 0;

    fixSample_t& sample(int i) { return ring[std::size_t((first + i) % Capacity)]; }
    fixSample_t* stepFor(double t);
};

namespace {
double stepOf(double t) { return std::floor(t / fixHistory_t::Step); }
}

// The sample of t's step, made when t opens a new one; null when the report is to be dropped.
fixSample_t* fixHistory_t::private_t::stepFor(double t)
{
    if (!std::isfinite(t))
        return nullptr;
    if (count > 0) {
        fixSample_t& newest = sample(count - 1);
        if (t <= newest.time - Span) {
            count = 0;   // a new timeline
        } else if (stepOf(t) <= stepOf(newest.time)) {
            for (int i = count - 1; i >= 0; --i) {
                fixSample_t& s = sample(i);
                if (stepOf(s.time) == stepOf(t)) {
                    s.time = std::fmax(s.time, t);
                    return &s;
                }
                if (stepOf(s.time) < stepOf(t))
                    break;
            }
            return nullptr;   // its step was never held or has gone
        }
    }
    if (count == Capacity) {
        first = (first + 1) % Capacity;
        --count;
    }
    fixSample_t& added = sample(count++);
    added = fixSample_t();
    added.time = t;
    // steps that fell out of the span while no report came
    while (count > 1 && sample(0).time <= t - Span) {
        first = (first + 1) % Capacity;
        --count;
    }
    return &sample(count - 1);
}

fixHistory_t::fixHistory_t() : d(new private_t) {}
fixHistory_t::~fixHistory_t() { delete d; }

int fixHistory_t::count() const { return d->count; }
fixSample_t const& fixHistory_t::at(int i) const { return d->sample(i); }

void fixHistory_t::addSatellitesUsed(double t, unsigned int satellites)
{
    if (fixSample_t* s = d->stepFor(t))
        s->satellitesUsed = int(satellites);
}

void fixHistory_t::addHdop(double t, float hdop)
{
    if (!std::isfinite(hdop))
        return;
    if (fixSample_t* s = d->stepFor(t))
        s->hdop = hdop;
}

void fixHistory_t::addVdop(double t, float vdop)
{
    if (!std::isfinite(vdop))
        return;
    if (fixSample_t* s = d->stepFor(t))
        s->vdop = vdop;
}

void fixHistory_t::addPdop(double t, float pdop)
{
    if (!std::isfinite(pdop))
        return;
    if (fixSample_t* s = d->stepFor(t))
        s->pdop = pdop;
}

void fixHistory_t::clear()
{
    d->first = 0;
    d->count = 0;
}

} // namespace belrix_common_qt
