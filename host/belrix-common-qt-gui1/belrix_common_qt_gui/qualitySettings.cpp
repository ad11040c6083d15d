#include "belrix_common_qt_gui/qualitySettings.h"

namespace belrix_common_qt_gui {

qualitySettings_t::qualitySettings_t() { qualitySettings_t::useDefaults(); }

qualitySettings_t::~qualitySettings_t() = default;

void qualitySettings_t::useDefaults()
{
    // Defaults for offshore DGNSS work: good below the "Less" bound, bad above "Greater".
    pdopLess = 4.0f;
    pdopGreater = 6.0f;
    hdopLess = 2.0f;
    hdopGreater = 4.0f;
    vdopLess = 3.0f;
    vdopGreater = 5.0f;
    fomLess = 2.0f;
    fomGreater = 5.0f;
    snrGreater = 40.0f;   // dB-Hz: good at or above
    snrLess = 30.0f;      // dB-Hz: bad below
    colorModeAuto2d = 1;  // a 2D fix is marginal
    ageLess = 10;         // seconds of correction age
    ageGreater = 30;
    satUsedGreater = 6;   // good with more than this
    satUsedLess = 4;      // bad with fewer than this
    colorFreqCa = 1;      // a single-frequency fix is marginal
    typeCorrYellow = 1;   // correction types at or below this level are marginal
    typeCorrRed = 0;      // and at or below this one bad
}

bool qualitySettings_t::operator==(qualitySettings_t const& o) const
{
    return pdopLess == o.pdopLess && pdopGreater == o.pdopGreater && hdopLess == o.hdopLess
        && hdopGreater == o.hdopGreater && vdopLess == o.vdopLess && vdopGreater == o.vdopGreater
        && fomLess == o.fomLess && fomGreater == o.fomGreater && snrGreater == o.snrGreater
        && snrLess == o.snrLess && colorModeAuto2d == o.colorModeAuto2d && ageLess == o.ageLess
        && ageGreater == o.ageGreater && satUsedGreater == o.satUsedGreater && satUsedLess == o.satUsedLess
        && colorFreqCa == o.colorFreqCa && typeCorrYellow == o.typeCorrYellow && typeCorrRed == o.typeCorrRed;
}

} // namespace belrix_common_qt_gui
