#include "belrix_common_qt_gui/qualityGrader.h"

#include "belrix_common_qt_gui/qualitySettings.h"

#include <belrix_common_qt/remoteDevice.h>

#include <cmath>

namespace belrix_common_qt_gui {

using namespace belrix_common_qt;

quality_t qualityGrader_t::fix(int fixQuality, qualitySettings_t const& settings)
{
    // The thresholds name correction levels: at or below "red" is bad, at or below
    // "yellow" marginal. No fix at all is bad whatever they say.
    const int level = correctionLevel(fixQuality);
    if (level == 0 || level <= int(settings.typeCorrRed))
        return qualityBad;
    if (level <= int(settings.typeCorrYellow))
        return qualityMarginal;
    return qualityGood;
}

quality_t qualityGrader_t::satellitesUsed(double count, qualitySettings_t const& settings)
{
    return largerIsBetter(count, settings.satUsedGreater, settings.satUsedLess);
}

quality_t qualityGrader_t::hdop(double value, qualitySettings_t const& settings)
{
    return smallerIsBetter(value, settings.hdopLess, settings.hdopGreater);
}

quality_t qualityGrader_t::pdop(double value, qualitySettings_t const& settings)
{
    return smallerIsBetter(value, settings.pdopLess, settings.pdopGreater);
}

quality_t qualityGrader_t::vdop(double value, qualitySettings_t const& settings)
{
    return smallerIsBetter(value, settings.vdopLess, settings.vdopGreater);
}

quality_t qualityGrader_t::correctionAge(double seconds, qualitySettings_t const& settings)
{
    return smallerIsBetter(seconds, settings.ageLess, settings.ageGreater);
}

quality_t qualityGrader_t::unitVariance(double value, double limit)
{
    if (std::isnan(value) || std::isnan(limit))
        return qualityOff;
    return value > limit ? qualityBad : qualityGood;
}

quality_t qualityGrader_t::smallerIsBetter(double value, double goodBelow, double badAbove)
{
    if (std::isnan(value))
        return qualityOff;
    if (value > badAbove)
        return qualityBad;
    if (value < goodBelow)
        return qualityGood;
    return qualityMarginal;
}

quality_t qualityGrader_t::largerIsBetter(double value, double goodAbove, double badBelow)
{
    if (std::isnan(value))
        return qualityOff;
    if (value < badBelow)
        return qualityBad;
    if (value > goodAbove)
        return qualityGood;
    return qualityMarginal;
}

int qualityGrader_t::correctionLevel(int fixQuality)
{
    switch (fixQuality) {
    case fixQualityGps: return 1;
    case fixQualityDgps:
    case fixQualityPps: return 2;
    case fixQualityRtkFloat: return 3;
    case fixQualityRtkFixed: return 4;
    default: return 0;
    }
}

} // namespace belrix_common_qt_gui
