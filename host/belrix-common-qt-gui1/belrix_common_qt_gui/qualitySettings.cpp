#include "belrix_common_qt_gui/qualitySettings.h"

#include <tolvconfig/configCodec.h>

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

namespace {
struct floatKey_t {
    const char* key;
    float qualitySettings_t::*field;
};
struct uintKey_t {
    const char* key;
    unsigned int qualitySettings_t::*field;
};
using qs = qualitySettings_t;
const floatKey_t FloatKeys[] = {
    {"qc_pdop_less", &qs::pdopLess}, {"qc_pdop_greater", &qs::pdopGreater},
    {"qc_hdop_less", &qs::hdopLess}, {"qc_hdop_greater", &qs::hdopGreater},
    {"qc_vdop_less", &qs::vdopLess}, {"qc_vdop_greater", &qs::vdopGreater},
    {"qc_fom_less", &qs::fomLess},   {"qc_fom_greater", &qs::fomGreater},
    {"qc_snr_greater", &qs::snrGreater}, {"qc_snr_less", &qs::snrLess},
};
const uintKey_t UintKeys[] = {
    {"qc_color_mode_auto_2d", &qs::colorModeAuto2d}, {"qc_age_less", &qs::ageLess},
    {"qc_age_greater", &qs::ageGreater}, {"qc_sat_used_greater", &qs::satUsedGreater},
    {"qc_sat_used_less", &qs::satUsedLess}, {"qc_color_freq_ca", &qs::colorFreqCa},
    {"qc_type_corr_yellow", &qs::typeCorrYellow}, {"qc_type_corr_red", &qs::typeCorrRed},
};
} // namespace

void qualitySettings_t::save(tolvconfig::config_t& config, std::string const& prefix) const
{
    for (floatKey_t const& k : FloatKeys)
        tolvconfig::setValue(config, prefix + k.key, double(this->*k.field), 2);
    for (uintKey_t const& k : UintKeys)
        tolvconfig::setValue(config, prefix + k.key, this->*k.field);
}

void qualitySettings_t::load(tolvconfig::config_t const& config, std::string const& prefix)
{
    for (floatKey_t const& k : FloatKeys)
        tolvconfig::getValue(config, prefix + k.key, this->*k.field);
    for (uintKey_t const& k : UintKeys)
        tolvconfig::getValue(config, prefix + k.key, this->*k.field);
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
