#pragma once

#include <optional>

namespace belrix_common_qt {

// Pseudorange error statistics of a receiver (GST): 1-sigma values in metres, the
// orientation of the semi-major axis in radians from true north, clockwise.
struct pseudorangeStats_t {
    std::optional<float> rms;          // of the range inputs to the solution
    std::optional<float> semiMajor;
    std::optional<float> semiMinor;
    std::optional<float> orientation;
    std::optional<float> latError;
    std::optional<float> lonError;
    std::optional<float> heightError;
};

} // namespace belrix_common_qt
