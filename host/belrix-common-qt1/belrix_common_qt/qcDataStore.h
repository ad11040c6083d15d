#pragma once

#include "belrix_common_qt_export.h"
#include "belrix_common_qt/qcSummary.h"

#include <cstddef>
#include <deque>

namespace belrix_common_qt {

// History of a device's QC summaries, oldest first, bounded so a long watch cannot grow
// it without limit.
class BELRIX_COMMON_QT_EXPORT qcDataStore_t
{
public:
    explicit qcDataStore_t(std::size_t capacity = 3600);
    ~qcDataStore_t();
    qcDataStore_t(qcDataStore_t const&) = delete;
    qcDataStore_t& operator=(qcDataStore_t const&) = delete;

    std::deque<qcSummaryEntry_t> const& summary() const;
    void addSummary(double timestamp, qcSummary_t const& summary);
    void clear();
    std::size_t capacity() const;

private:
    class private_t;
    private_t* d;
};

} // namespace belrix_common_qt
