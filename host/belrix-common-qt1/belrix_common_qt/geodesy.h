#pragma once

#include "belrix_common_qt_export.h"
#include "belrix_common_qt/position.h"

namespace belrix_common_qt {

// Geodesic range and initial bearing between two positions on the WGS84 ellipsoid
// (latitude and longitude in radians). Both give NaN when either position is not valid
// or lies outside ±90° / ±180°, so a caller that shows them writes NoDataString.

// Metres along the geodesic, >= 0.
BELRIX_COMMON_QT_EXPORT double calcRange(position_t const& from, position_t const& to);
// Degrees clockwise from true north at from, in [0, 360); 0 for coincident positions.
BELRIX_COMMON_QT_EXPORT double calcBearing(position_t const& from, position_t const& to);

} // namespace belrix_common_qt
