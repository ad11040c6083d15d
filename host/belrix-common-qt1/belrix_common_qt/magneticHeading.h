#pragma once

#include <optional>

namespace belrix_common_qt {

// Magnetic heading as a compass reports it (HDG). True heading is the sensor heading plus
// deviation plus variation; a missing correction is unknown, not zero.
struct magneticHeading_t {
    float sensor = 0.0f;                      // degrees
    std::optional<float> deviation;          // degrees, east positive
    std::optional<float> variation;          // degrees, east positive
};

} // namespace belrix_common_qt
