#include "belrix_common_qt/constellation.h"

namespace belrix_common_qt {

QString toString(constellation_t constellation, bool belrixReceiver)
{
    switch (constellation) {
    case constellationGps: return QStringLiteral("GPS");
    case constellationGlonass: return QStringLiteral("GLONASS");
    case constellationGalileo: return QStringLiteral("Galileo");
    case constellationSbas: return QStringLiteral("SBAS");
    case constellationCorrection: return belrixReceiver ? QStringLiteral("VESK") : QStringLiteral("L-Band");
    case constellationBeidou: return QStringLiteral("BeiDou");
    case constellationQzss: return QStringLiteral("QZSS");
    case constellationUnknown: break;
    }
    return QStringLiteral("Unknown");
}

} // namespace belrix_common_qt
