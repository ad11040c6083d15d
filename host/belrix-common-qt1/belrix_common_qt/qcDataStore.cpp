#include "belrix_common_qt/qcDataStore.h"

#include <algorithm>

namespace belrix_common_qt {

class qcDataStore_t::private_t
{
public:
    std::deque<qcSummaryEntry_t> history;
    std::size_t capacity = 0;
};

qcDataStore_t::qcDataStore_t(std::size_t capacity) : d(new private_t)
{
    d->capacity = std::max<std::size_t>(capacity, 1);
}

qcDataStore_t::~qcDataStore_t() { delete d; }

std::deque<qcSummaryEntry_t> const& qcDataStore_t::summary() const { return d->history; }

void qcDataStore_t::addSummary(double timestamp, qcSummary_t const& summary)
{
    d->history.push_back({timestamp, summary});
    while (d->history.size() > d->capacity)
        d->history.pop_front();
}

void qcDataStore_t::clear() { d->history.clear(); }

std::size_t qcDataStore_t::capacity() const { return d->capacity; }

} // namespace belrix_common_qt
