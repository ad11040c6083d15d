#pragma once

#include "belrix_common_qt_export.h"

namespace belrix_common_qt {

// Rate of turn from a window of the latest headings: the least-squares slope of the
// unwrapped headings over their data times, so one noisy heading moves it little. A gap
// in the headings or a clock stepped back starts a new window.
class BELRIX_COMMON_QT_EXPORT rateOfTurnCalculator_t
{
public:
    // Used when the configured sample size is 0, "the source decides".
    static constexpr unsigned int DefaultSampleSize = 5;
    // Headings further apart than this do not belong to one turn.
    static constexpr double MaxGapSeconds = 10.0;

    explicit rateOfTurnCalculator_t(unsigned int sampleSize = 0);
    ~rateOfTurnCalculator_t();
    rateOfTurnCalculator_t(rateOfTurnCalculator_t const& other);
    rateOfTurnCalculator_t& operator=(rateOfTurnCalculator_t const& other);

    // 0 takes the default; a window needs two headings at least.
    void setSampleSize(unsigned int size);
    unsigned int sampleSize() const;   // the window in force

    // Adds the heading (degrees true) taken at data time t. True with the rate in degrees
    // per minute, positive turning to starboard, once the window holds two headings at
    // different times; false while it cannot tell (the rate is then untouched).
    bool addHeading(double t, double degrees, double& degreesPerMinute);
    void clear();

private:
    class private_t;
    private_t* d;
};

} // namespace belrix_common_qt
