#pragma once

namespace tolvgeodesy {

// A geographic coordinate in radians: longitude first, then latitude.
struct coordLL_t {
    double lon = 0.0;
    double lat = 0.0;

    coordLL_t() = default;
    coordLL_t(double longitude, double latitude) : lon(longitude), lat(latitude) {}
};

} // namespace tolvgeodesy
