#include "belrix_common_qt/constellation.h"
#include "belrix_common_qt/navSatNumbering.h"

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

QString navSatLabel(unsigned int number)
{
    char letter = '?';
    switch (navSatConstellation(number)) {
    case constellationGps: letter = 'G'; break;
    case constellationSbas: letter = 'S'; break;
    case constellationGlonass: letter = 'R'; break;
    case constellationQzss: letter = 'J'; break;
    case constellationGalileo: letter = 'E'; break;
    case constellationBeidou: letter = 'C'; break;
    case constellationCorrection:
    case constellationUnknown: return QString::number(number);
    }
    return QLatin1Char(letter) + QStringLiteral("%1").arg(navSatPrn(number), 2, 10, QLatin1Char('0'));
}

} // namespace belrix_common_qt
