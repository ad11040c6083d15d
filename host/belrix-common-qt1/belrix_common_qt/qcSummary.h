#pragma once

namespace belrix_common_qt {

// One quality-control summary of a position solution: a posteriori unit variance and the
// 1-sigma error ellipse (metres, orientation in radians from true north) and errors.
struct qcSummary_t {
    float unitVariance = 0.0f;
    float semiMajor = 0.0f;
    float semiMinor = 0.0f;
    float orientation = 0.0f;
    float latError = 0.0f;
    float lonError = 0.0f;
    float heightError = 0.0f;
};

struct qcSummaryEntry_t {
    double timestamp = 0.0;
    qcSummary_t summary;
};

} // namespace belrix_common_qt
