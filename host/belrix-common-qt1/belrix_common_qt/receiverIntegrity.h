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

} // namespace belrix_common_qt
