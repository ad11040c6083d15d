#pragma once

#include <belrix_common_qt/position.h>

#include <vector>

namespace orvane {
namespace app {

// The ship at one moment, in the plane of its loop.
struct shipState_t {
    double east = 0.0;    // metres from the loop's centre
    double north = 0.0;
    double course = 0.0;  // radians over ground
    double heading = 0.0; // radians true
};

// The vessel's track: about 10 knots on a slow loop in the Kattegat, west of Gothenburg, with
// the yaw of the swell and the drift of the coastal current. A pure function of the data time.
class shipTrack_t
{
public:
    shipTrack_t();

    shipState_t at(double t) const;
    // Where an antenna so far forward and to starboard of the reference point is at time t,
    // in metres from the loop's centre.
    void antenna(double forward, double starboard, double t, double& east, double& north) const;

    // Metres from the loop's centre to latitude and longitude.
    static belrix_common_qt::position_t toPosition(double east, double north);
    // A position moved by a few metres, in the tangent plane at that position.
    static belrix_common_qt::position_t displaced(belrix_common_qt::position_t const& p, double east, double north);

private:
    double parameterAt(double s) const;
    double length() const { return m_length.back(); }

    std::vector<double> m_length;   // arc length at each cell boundary of the curve parameter
};

} // namespace app
} // namespace orvane
