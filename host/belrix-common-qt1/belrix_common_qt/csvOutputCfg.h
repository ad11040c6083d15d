#pragma once

#include <cstdint>

namespace belrix_common_qt {

// Which fields a CSV log writes: bit i set writes field i.
struct csvOutputCfg_t {
    std::uint32_t mask = 0xffffffffu;

    bool operator==(csvOutputCfg_t const& o) const { return mask == o.mask; }
    bool operator!=(csvOutputCfg_t const& o) const { return mask != o.mask; }
};

} // namespace belrix_common_qt
