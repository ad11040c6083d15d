#pragma once

namespace belrix_common_qt_gui {

// How far a value can be trusted, as a traffic light shows it. Off means no judgement:
// no data, or nothing to judge it by.
enum quality_t {
    qualityOff = 0,
    qualityBad = 1,
    qualityMarginal = 2,
    qualityGood = 3,
};

} // namespace belrix_common_qt_gui
