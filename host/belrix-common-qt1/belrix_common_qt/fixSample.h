#pragma once

#include <limits>

namespace belrix_common_qt {

// What a receiver reported of its fix within one step of a device's fix history: the last
// value of each quantity in that step; a quantity not reported in it is unknown.
struct fixSample_t {
    double time = 0.0;              // data time of the step's last report, seconds since 1970 UTC
    int satellitesUsed = -1;        // -1: unknown
    float hdop = std::numeric_limits<float>::quiet_NaN();
    float vdop = std::numeric_limits<float>::quiet_NaN();
    float pdop = std::numeric_limits<float>::quiet_NaN();
};

} // namespace belrix_common_qt
