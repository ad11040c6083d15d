#pragma once

#include "belrix_common_qt_gui_export.h"

#include <string>

namespace tolvconfig {
class config_t;
}

namespace belrix_common_qt_gui {

// Thresholds by which a device's values are graded into quality levels. "Less" is the
// bound below which a value is good, "Greater" the bound above which it is bad (inverted
// for values where more is better: satellites used, signal to noise).
class BELRIX_COMMON_QT_GUI_EXPORT qualitySettings_t
{
public:
    qualitySettings_t();
    virtual ~qualitySettings_t();
    qualitySettings_t(qualitySettings_t const&) = default;
    qualitySettings_t& operator=(qualitySettings_t const&) = default;

    virtual void useDefaults();

    // Stored under prefix + "qc_pdop_less" and so on. Loading takes each present key that
    // decodes and leaves the other fields as they are.
    void save(tolvconfig::config_t& config, std::string const& prefix) const;
    void load(tolvconfig::config_t const& config, std::string const& prefix);

    bool operator==(qualitySettings_t const& other) const;
    bool operator!=(qualitySettings_t const& other) const { return !(*this == other); }

    float pdopLess;
    float pdopGreater;
    float hdopLess;
    float hdopGreater;
    float vdopLess;
    float vdopGreater;
    float fomLess;
    float fomGreater;
    float snrGreater;
    float snrLess;
    unsigned int colorModeAuto2d;
    unsigned int ageLess;
    unsigned int ageGreater;
    unsigned int satUsedGreater;
    unsigned int satUsedLess;
    unsigned int colorFreqCa;
    unsigned int typeCorrYellow;
    unsigned int typeCorrRed;
};

} // namespace belrix_common_qt_gui
