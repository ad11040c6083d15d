#pragma once

#include "belrix_common_qt_gui/quality.h"

namespace belrix_common_qt_gui {

// One forecast sample as a graph draws it.
struct forecastPoint_t {
    double time = 0.0;        // seconds since 1970-01-01 UTC
    double value = 0.0;       // NaN when the forecast gives none (too few satellites for a DOP)
    quality_t quality = qualityOff;
};

} // namespace belrix_common_qt_gui
