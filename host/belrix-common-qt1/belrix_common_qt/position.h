#pragma once

#include <limits>

namespace belrix_common_qt {

// Latitude and longitude in radians, each half with its own validity flag. Unset halves
// hold the largest double so that any range test on them fails.
struct position_t {
    bool latValid = false;
    double lat = std::numeric_limits<double>::max();
    bool lonValid = false;
    double lon = std::numeric_limits<double>::max();

    position_t() = default;
    position_t(double latitude, double longitude) : latValid(true), lat(latitude), lonValid(true), lon(longitude) {}

    bool isValid() const { return latValid && lonValid; }
};

} // namespace belrix_common_qt
