#include "belrix_common_qt/almMgrGps.h"

#include <algorithm>
#include <cmath>
#include <map>

namespace belrix_common_qt {

namespace {
double referenceTimeOf(almanacGps_t const& a) { return a.referenceTime(); }
unsigned int toSeconds(double t) { return t <= 0.0 || !std::isfinite(t) ? 0u : unsigned(std::min(t, 4294967295.0)); }
}

class almMgrGps_t::private_t
{
public:
    std::map<unsigned int, almanacGps_t> entries;
    unsigned int revision = 0;
};

almMgrGps_t::almMgrGps_t(QObject* parent) : QObject(parent), d(new private_t) {}
almMgrGps_t::~almMgrGps_t() { delete d; }

unsigned int almMgrGps_t::revision() const { return d->revision; }

unsigned int almMgrGps_t::num() const { return unsigned(d->entries.size()); }

unsigned int almMgrGps_t::oldest() const
{
    if (d->entries.empty())
        return 0;
    double t = referenceTimeOf(d->entries.begin()->second);
    for (auto const& e : d->entries)
        t = std::min(t, referenceTimeOf(e.second));
    return toSeconds(t);
}

unsigned int almMgrGps_t::newest() const
{
    if (d->entries.empty())
        return 0;
    double t = referenceTimeOf(d->entries.begin()->second);
    for (auto const& e : d->entries)
        t = std::max(t, referenceTimeOf(e.second));
    return toSeconds(t);
}

std::vector<almanacGps_t> almMgrGps_t::entries() const
{
    std::vector<almanacGps_t> list;
    for (auto const& e : d->entries)
        list.push_back(e.second);
    return list;
}

void almMgrGps_t::addAlmanac(almanacGps_t const& almanac)
{
    auto it = d->entries.find(almanac.prn);
    if (it != d->entries.end() && referenceTimeOf(it->second) > referenceTimeOf(almanac))
        return;
    d->entries[almanac.prn] = almanac;
    ++d->revision;
    emit almanacUpdated(almanac);
}

void almMgrGps_t::clear()
{
    d->entries.clear();
    ++d->revision;
    emit cleared();
}

} // namespace belrix_common_qt
