#pragma once

#include "belrix_common_qt/constellation.h"

namespace belrix_common_qt {

// Satellite numbers as the data model keys satellites: unique across constellations and
// close to NMEA's own numbering, so a number alone tells the constellation.
//
//   GPS       1-32    PRN
//   SBAS     33-64    PRN - 87 (PRN 120-151)
//   GLONASS  65-96    64 + orbital slot (slot 1-32)
//   QZSS    193-202   PRN
//   Galileo 301-336   300 + PRN
//   BeiDou  401-463   400 + PRN
//
// Everything that fills remoteDevice_t satellites (decoders, the simulation) numbers them here.

constexpr unsigned int NavSatNumberLimit = 464;   // every valid number is below this

// The number of a satellite given by its constellation's own PRN (slot for GLONASS); 0 when
// the PRN is outside the constellation's range or the constellation has no numbers here.
constexpr unsigned int navSatNumber(constellation_t constellation, unsigned int prn)
{
    switch (constellation) {
    case constellationGps: return prn >= 1 && prn <= 32 ? prn : 0;
    case constellationSbas: return prn >= 120 && prn <= 151 ? prn - 87 : 0;
    case constellationGlonass: return prn >= 1 && prn <= 32 ? 64 + prn : 0;
    case constellationQzss: return prn >= 193 && prn <= 202 ? prn : 0;
    case constellationGalileo: return prn >= 1 && prn <= 36 ? 300 + prn : 0;
    case constellationBeidou: return prn >= 1 && prn <= 63 ? 400 + prn : 0;
    case constellationCorrection:
    case constellationUnknown: break;
    }
    return 0;
}

// The constellation a number belongs to; constellationUnknown outside every range.
constexpr constellation_t navSatConstellation(unsigned int number)
{
    if (number >= 1 && number <= 32)
        return constellationGps;
    if (number >= 33 && number <= 64)
        return constellationSbas;
    if (number >= 65 && number <= 96)
        return constellationGlonass;
    if (number >= 193 && number <= 202)
        return constellationQzss;
    if (number >= 301 && number <= 336)
        return constellationGalileo;
    if (number >= 401 && number <= 463)
        return constellationBeidou;
    return constellationUnknown;
}

// The constellation's own PRN (GLONASS: slot) of a number; 0 outside every range.
constexpr unsigned int navSatPrn(unsigned int number)
{
    switch (navSatConstellation(number)) {
    case constellationGps: return number;
    case constellationSbas: return number + 87;
    case constellationGlonass: return number - 64;
    case constellationQzss: return number;
    case constellationGalileo: return number - 300;
    case constellationBeidou: return number - 400;
    case constellationCorrection:
    case constellationUnknown: break;
    }
    return 0;
}

} // namespace belrix_common_qt
