#pragma once

namespace belrix_common_qt_gui {

// What a forecast graph shows.
enum forecasterType_t {
    forecasterNumSats = 0,
    forecasterHdop = 1,
    forecasterVdop = 2,
    forecasterPdop = 3,
};

} // namespace belrix_common_qt_gui
