#pragma once

#include "belrix_common_qt_export.h"
#include "belrix_common_qt/dataItem.h"

namespace belrix_common_qt {

// The data clock: the time that data items are stamped with and judged against, in
// seconds since 1970-01-01 UTC. It follows the system clock unless a replay or a test
// sets it.
class BELRIX_COMMON_QT_EXPORT dataClock_t
{
public:
    static double now();
    // Freezes the clock at t until the next setTime or useSystemTime.
    static void setTime(double t);
    static void advance(double seconds);
    static void useSystemTime();
    static bool isManual();
};

BELRIX_COMMON_QT_EXPORT double dataTimestamp();

// True while a datum stamped at timestamp is younger than maxAge at now. A datum from
// more than maxAge in the future (a clock stepped back) is not current either.
BELRIX_COMMON_QT_EXPORT bool isDataRecent(double timestamp, double now, double maxAge);
// Every item a display reads (position, height, heading, error statistics, QC summaries,
// correction signal) counts as current for this long after its timestamp.
constexpr double DataMaxAge = 3.0;

// True when item is valid and younger than DataMaxAge at now.
template <typename T>
bool isItemCurrent(dataItem_t<T> const& item, double now)
{
    return item.isValid() && isDataRecent(item.timestamp(), now, DataMaxAge);
}

// Satellite views arrive in multi-sentence cycles and may lag the position.
BELRIX_COMMON_QT_EXPORT bool isSatDataRecent(double timestamp, double now);
constexpr double SatDataMaxAge = 5.0;

} // namespace belrix_common_qt
