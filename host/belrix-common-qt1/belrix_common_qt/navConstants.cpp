#include "belrix_common_qt/navConstants.h"

namespace belrix_common_qt {

const double GRAPH_AUTO_RANGE_VALUES[] = {
    0.01, 0.02, 0.05,
    0.1, 0.2, 0.5,
    1.0, 2.0, 5.0,
    10.0, 20.0, 50.0,
    100.0, 200.0, 500.0,
    1000.0, 2000.0, 5000.0,
    10000.0, 20000.0, 50000.0,
    100000.0,
    0.0,
};
const int GRAPH_AUTO_RANGE_COUNT = int(sizeof(GRAPH_AUTO_RANGE_VALUES) / sizeof(double)) - 1;

const char* const deviceNameGnss = "GNSS";
const char* const deviceNameGyro = "Gyro";

} // namespace belrix_common_qt
