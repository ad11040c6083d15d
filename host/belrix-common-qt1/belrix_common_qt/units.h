#pragma once

#include "belrix_common_qt_export.h"

#include <QString>

namespace belrix_common_qt {

// Values equal the item indexes of the settings dialog's combo boxes.
enum distanceUnit_t { distanceUnitMeters = 0, distanceUnitUsSurveyFeet = 1 };
enum speedUnit_t { speedUnitKnots = 0, speedUnitMetersPerSecond = 1, speedUnitKilometersPerHour = 2,
                   speedUnitMilesPerHour = 3 };
enum latLonFormat_t { latLonFormatDegrees = 0, latLonFormatDegreesMinutes = 1,
                      latLonFormatDegreesMinutesSeconds = 2 };
enum graphLabelType_t { graphLabelNone = 0, graphLabelHorizontal = 1, graphLabelVertical = 2 };
enum displayMode_t { displayModeDay = 1, displayModeNight = 2 };

// Names as stored in the configuration. The readers accept any letter case and fall back
// to the first enumerator on text they do not know.
BELRIX_COMMON_QT_EXPORT QString distanceUnitString(distanceUnit_t unit);
BELRIX_COMMON_QT_EXPORT distanceUnit_t distanceUnitFromString(QString const& text);
BELRIX_COMMON_QT_EXPORT QString speedUnitString(speedUnit_t unit);
BELRIX_COMMON_QT_EXPORT speedUnit_t speedUnitFromString(QString const& text);
BELRIX_COMMON_QT_EXPORT QString latLonFormatString(latLonFormat_t format);
BELRIX_COMMON_QT_EXPORT latLonFormat_t latLonFormatFromString(QString const& text);
BELRIX_COMMON_QT_EXPORT QString graphLabelTypeString(int type);
BELRIX_COMMON_QT_EXPORT int graphLabelTypeFromString(QString const& text);

// Short unit symbols for value texts ("m", "ftUS", "kn", ...).
BELRIX_COMMON_QT_EXPORT QString distanceUnitSymbol(distanceUnit_t unit);
BELRIX_COMMON_QT_EXPORT QString speedUnitSymbol(speedUnit_t unit);

BELRIX_COMMON_QT_EXPORT double metersToUnit(double meters, distanceUnit_t unit);
BELRIX_COMMON_QT_EXPORT double unitToMeters(double value, distanceUnit_t unit);
BELRIX_COMMON_QT_EXPORT double metersPerSecondToUnit(double mps, speedUnit_t unit);
BELRIX_COMMON_QT_EXPORT double unitToMetersPerSecond(double value, speedUnit_t unit);

} // namespace belrix_common_qt
