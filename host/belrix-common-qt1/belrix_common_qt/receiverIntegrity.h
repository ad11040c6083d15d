#pragma once

#include <optional>

namespace belrix_common_qt {

// The receiver's own integrity monitoring of its fix (GBS): expected 1-sigma errors in
// metres and, when its fault detection suspects one, the satellite most likely to have failed.
struct receiverIntegrity_t {
    std::optional<float> latError;
    std::optional<float> lonError;
    std::optional<float> altError;
    unsigned int failedSatellite = 0;        // our satellite number; 0 when none is suspected
    std::optional<float> missedDetection;    // probability, 0-1
    std::optional<float> bias;               // estimated bias on that satellite, metres
    std::optional<float> biasSigma;
};

// Magnetic heading as a compass reports it (HDG). True heading is the sensor heading plus
// deviation plus variation; a missing correction is unknown, not zero.
struct magneticHeading_t {
    float sensor = 0.0f;                      // degrees
    std::optional<float> deviation;          // degrees, east positive
    std::optional<float> variation;          // degrees, east positive
};

// The datum a receiver outputs its positions in (DTM). Codes as the receiver sends them:
// "W84" is WGS84.
struct outputDatum_t {
    char local[4] = {};
    char reference[4] = {};
    bool isWgs84() const { return local[0] == 'W' && local[1] == '8' && local[2] == '4' && !local[3]; }
};

} // namespace belrix_common_qt
