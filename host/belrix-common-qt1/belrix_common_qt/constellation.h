#pragma once

#include "belrix_common_qt_export.h"

#include <QString>

namespace belrix_common_qt {

enum constellation_t {
    constellationUnknown = 0,
    constellationGps = 1,
    constellationGlonass = 2,
    constellationGalileo = 3,
    constellationSbas = 4,
    constellationCorrection = 5,   // L-band correction service satellites
    constellationBeidou = 6,
    constellationQzss = 7,
};

// The constellation's name; belrixReceiver selects the spelling of the receivers that
// name the correction service after their own network.
BELRIX_COMMON_QT_EXPORT QString toString(constellation_t constellation, bool belrixReceiver);

// A satellite number (navSatNumbering.h) as receivers and almanacs write it: "G07", "R12",
// "E11"; the bare number outside every constellation's range.
BELRIX_COMMON_QT_EXPORT QString navSatLabel(unsigned int number);

} // namespace belrix_common_qt
