#pragma once

#include "belrix_common_qt_export.h"
#include "belrix_common_qt/units.h"

#include <QString>

namespace belrix_common_qt {

BELRIX_COMMON_QT_EXPORT extern const QString NoDataString;                 // "No Data"
BELRIX_COMMON_QT_EXPORT extern const QString YesString;                    // "Yes"
BELRIX_COMMON_QT_EXPORT extern const QString NoString;                     // "No"
BELRIX_COMMON_QT_EXPORT extern const QString TimeFormatString;             // QDateTime format, seconds
BELRIX_COMMON_QT_EXPORT extern const QString MillisecondTimeFormatString;  // QDateTime format, milliseconds
BELRIX_COMMON_QT_EXPORT extern const QString utcString;                    // " UTC"

// How a latitude or longitude is written. hemisphere 1 writes a letter (N/S, E/W) after
// the value, 0 a sign before it; decimals -1 takes the format's own precision (about a
// millimetre on the ground in every format).
struct BELRIX_COMMON_QT_EXPORT latLonStringOptions_t {
    latLonFormat_t format = latLonFormatDegreesMinutes;
    int hemisphere = 1;
    int decimals = -1;
};

// Value and unit symbol, e.g. "12.35 m"; a value that is not finite gives NoDataString.
BELRIX_COMMON_QT_EXPORT QString distanceString(double meters, distanceUnit_t unit, int decimals);
BELRIX_COMMON_QT_EXPORT QString speedString(double metersPerSecond, speedUnit_t unit, int decimals);
// Degrees with the degree sign, e.g. "123.4°".
BELRIX_COMMON_QT_EXPORT QString angleString(double degrees, int decimals);
// Angles in radians. A value outside ±90° (±180°) or not finite gives NoDataString.
BELRIX_COMMON_QT_EXPORT QString latitudeString(double radians, latLonStringOptions_t const& options);
BELRIX_COMMON_QT_EXPORT QString longitudeString(double radians, latLonStringOptions_t const& options);
// Parses what latitudeString/longitudeString write, in any of the three formats, with a
// hemisphere letter or a sign; false on anything else (including out-of-range values).
BELRIX_COMMON_QT_EXPORT bool parseLatitude(QString const& text, double& radians);
BELRIX_COMMON_QT_EXPORT bool parseLongitude(QString const& text, double& radians);
// The name of a GGA fix quality (fixQuality_t), e.g. "RTK float"; "Unknown (n)" otherwise.
BELRIX_COMMON_QT_EXPORT QString fixQualityString(int quality);

} // namespace belrix_common_qt
