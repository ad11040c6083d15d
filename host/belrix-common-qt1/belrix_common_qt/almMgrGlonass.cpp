#include "belrix_common_qt/almMgrGlonass.h"

#include <algorithm>
#include <cmath>
#include <map>

namespace belrix_common_qt {

namespace {
double referenceTimeOf(almanacGlonass_t const& a) { return a.referenceTime; }
unsigned int toSeconds(double t) { return t <= 0.0 || !std::isfinite(t) ? 0u : unsigned(std::min(t, 4294967295.0)); }
}

class almMgrGlonass_t::private_t
{
public:
    std::map<unsigned int, almanacGlonass_t> entries;
    unsigned int revision = 0;
};

almMgrGlonass_t::almMgrGlonass_t(QObject* parent) : QObject(parent), d(new private_t) {}
almMgrGlonass_t::~almMgrGlonass_t() { delete d; }

unsigned int almMgrGlonass_t::revision() const { return d->revision; }

unsigned int almMgrGlonass_t::num() const { return unsigned(d->entries.size()); }

unsigned int almMgrGlonass_t::oldest() const
{
    if (d->entries.empty())
        return 0;
    double t = referenceTimeOf(d->entries.begin()->second);
    for (auto const& e : d->entries)
        t = std::min(t, referenceTimeOf(e.second));
    return toSeconds(t);
}

unsigned int almMgrGlonass_t::newest() const
{
    if (d->entries.empty())
        return 0;
    double t = referenceTimeOf(d->entries.begin()->second);
    for (auto const& e : d->entries)
        t = std::max(t, referenceTimeOf(e.second));
    return toSeconds(t);
}

std::vector<almanacGlonass_t> almMgrGlonass_t::entries() const
{
    std::vector<almanacGlonass_t> list;
    for (auto const& e : d->entries)
        list.push_back(e.second);
    return list;
}

void almMgrGlonass_t::addAlmanac(almanacGlonass_t const& almanac)
{
    auto it = d->entries.find(almanac.slot);
    if (it != d->entries.end() && referenceTimeOf(it->second) > referenceTimeOf(almanac))
        return;
    d->entries[almanac.slot] = almanac;
    ++d->revision;
    emit almanacUpdated(almanac);
}

void almMgrGlonass_t::clear()
{
    d->entries.clear();
    ++d->revision;
    emit cleared();
}

} // namespace belrix_common_qt
