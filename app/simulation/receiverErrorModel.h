#pragma once

#include "receiverProfile.h"
#include "receiverState.h"

#include <optional>
#include <utility>
#include <vector>

namespace orvane {
namespace app {

class satelliteSky_t;
class shipTrack_t;
struct shipState_t;
struct skyView_t;

// What one receiver makes of the sky and the ship's motion: which satellites it tracks and
// uses, its noise shaped by the geometry, its error statistics and residuals, its corrections,
// and the outages that now and then degrade all of them. A pure function of the data time and
// the profile's seed.
class receiverErrorModel_t
{
public:
    // A profile from a configuration file may hold anything; it is brought within bounds.
    explicit receiverErrorModel_t(receiverProfile_t const& profile);

    receiverProfile_t const& profile() const;

    // The receiver's state at data time t, the ship being at ship and the sky as view (in the
    // sky's orbits() order) shows it.
    receiverState_t stateAt(double t, shipTrack_t const& track, shipState_t const& ship, satelliteSky_t const& sky,
                            std::vector<skyView_t> const& view) const;

    // The 1-sigma range noise of a receiver in good conditions, metres: the a-priori sigma that
    // makes its residuals' unit variance about 1.
    static double nominalRangeSigma(receiverProfile_t const& profile);

    // DOPs of satellites given as (azimuth, elevation) in degrees, with a receiver clock unknown;
    // none for fewer than four satellites or a singular geometry.
    static std::optional<dop_t> dilutionOfPrecision(std::vector<std::pair<double, double>> const& azimuthElevation);

private:
    receiverProfile_t m_profile;
};

} // namespace app
} // namespace orvane
