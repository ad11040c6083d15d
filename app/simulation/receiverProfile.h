#pragma once

namespace orvane {
namespace app {

// One simulated GNSS receiver: its noise, where its antenna sits on the ship and what it receives.
struct receiverProfile_t {
    double horizontalSigma = 0.5;        // metres, 1-sigma of the receiver's noise per axis
    double antennaOffsetForward = 0.0;   // metres from the ship's reference point
    double antennaOffsetStarboard = 0.0;
    bool belrix = false;                 // correction service naming
    bool sbas = true;                    // tracks SBAS satellites
    bool correctionService = true;       // receives the L-band correction signal
    bool allConstellations = true;       // Galileo and BeiDou as well as GPS and GLONASS
    int fixQuality = 2;                  // fixQuality_t when all is well
    unsigned seed = 1;
    // Seconds between the starts of degraded periods (corrections lost, sky partly blocked);
    // each lasts 20 to 40 s at a random time of its interval. 0 for none.
    double outageInterval = 300.0;
    double elevationMask = 5.0;          // degrees; satellites below stay out of the solution
    // Metres between two antennas of a GNSS compass, which then reports its heading (HDT);
    // 0 for a single antenna.
    double headingBaseline = 0.0;
};

} // namespace app
} // namespace orvane
