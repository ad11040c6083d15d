#pragma once

#include <cstdint>

namespace belrix_common_qt {

// One tracked signal of a satellite: which signal, and its level (C/N0 in dB-Hz).
struct freq_t {
    std::uint32_t signalId = 0;
    float level = 0.0f;
};

} // namespace belrix_common_qt
