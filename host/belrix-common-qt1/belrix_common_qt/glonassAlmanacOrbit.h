#pragma once

#include "belrix_common_qt_export.h"
#include "belrix_common_qt/almanacGlonass.h"

namespace belrix_common_qt {

// A GLONASS satellite's orbit as its almanac describes it: the almanac algorithm of the
// GLONASS interface control document (edition 5.1, appendix A.3.1.3), with the secular
// drift of node and perigee from the second zonal harmonic and its periodic terms, in PZ-90
// earth-fixed coordinates (within a few metres of WGS84, which is far below what an almanac
// resolves).
struct BELRIX_COMMON_QT_EXPORT glonassAlmanacOrbit_t {
    static constexpr double EarthMu = 398600.4418e9;          // m^3/s^2, PZ-90
    static constexpr double EarthRadius = 6378136.0;          // m
    static constexpr double J2 = 1082.62575e-6;
    static constexpr double EarthRotation = 7.2921150e-5;     // rad/s
    static constexpr double MeanDraconicPeriod = 43200.0;     // s, to which the almanac adds ΔT
    static constexpr double MeanInclination = 1.0995574287564276;   // 63°, to which Δi is added

    unsigned int slot = 0;
    bool healthy = false;
    almanacGlonass_t almanac;
    double inclination = 0.0;

    glonassAlmanacOrbit_t() = default;
    explicit glonassAlmanacOrbit_t(almanacGlonass_t const& almanac);

    // Earth-fixed position in metres at utc, seconds since 1970-01-01 UTC.
    void position(double utc, double ecef[3]) const;

    // The almanac of the same orbit referred to the ascending node pass that many revolutions
    // after this one's: what a later day's almanac would say. Its positions are the original's
    // within metres when the period does not change (ΔT' = 0: only the semi-major axis, which
    // the model takes from the almanac's own perigee, moves); otherwise they part as much as
    // the rates of node and perigee change with the period.
    almanacGlonass_t afterRevolutions(int revolutions) const;
    // The draconic period of the revolution that starts at the almanac's node pass, seconds.
    double period() const;
};

} // namespace belrix_common_qt
