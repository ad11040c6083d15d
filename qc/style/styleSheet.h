#pragma once

#include "orvane_qc_export.h"

#include <QString>

namespace orvane {
namespace qc {

// The application's style sheets. Day and night share one base sheet (the palette makes
// the difference); the dock variants shade their group boxes from a colour to black.
enum styleSheet_t : int {
    styleSheetDay = 1,
    styleSheetNight = 2,
    styleSheetDockGreen = 3,
    styleSheetDockDeepGreen = 4,
    styleSheetDockYellow = 5,
    styleSheetDockAmber = 6,
    styleSheetDockRed = 7,
    styleSheetDockCrimson = 8,
};

// The sheet's text, valid for the life of the module; an empty (null) text for a value
// that names no sheet (any int is a valid styleSheet_t).
ORVANE_QC_EXPORT const QString& getStyleSheet(styleSheet_t sheet);

} // namespace qc
} // namespace orvane
