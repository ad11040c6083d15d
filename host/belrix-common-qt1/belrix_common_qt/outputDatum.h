#pragma once

namespace belrix_common_qt {

// The datum a receiver outputs its positions in (DTM). Codes as the receiver sends them:
// "W84" is WGS84.
struct outputDatum_t {
    char local[4] = {};
    char reference[4] = {};
    bool isWgs84() const { return local[0] == 'W' && local[1] == '8' && local[2] == '4' && !local[3]; }
};

} // namespace belrix_common_qt
