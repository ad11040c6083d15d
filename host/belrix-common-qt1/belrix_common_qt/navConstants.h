#pragma once

#include "belrix_common_qt_export.h"

namespace belrix_common_qt {

constexpr unsigned int SECONDS_PER_DAY = 86400;

constexpr double Pi = 3.14159265358979323846;
constexpr double DegToRad = Pi / 180.0;
constexpr double RadToDeg = 180.0 / Pi;

// Plot ranges in metres for automatic scaling, ascending in 1-2-5 steps, ended by 0.0.
BELRIX_COMMON_QT_EXPORT extern const double GRAPH_AUTO_RANGE_VALUES[];
BELRIX_COMMON_QT_EXPORT extern const int GRAPH_AUTO_RANGE_COUNT;   // entries before the 0.0

// Type names of devices, compared as text with a device's type name.
BELRIX_COMMON_QT_EXPORT extern const char* const deviceNameGnss;
BELRIX_COMMON_QT_EXPORT extern const char* const deviceNameGyro;

} // namespace belrix_common_qt
