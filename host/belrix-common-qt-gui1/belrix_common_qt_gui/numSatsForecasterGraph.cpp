#include "belrix_common_qt_gui/numSatsForecasterGraph.h"

#include "belrix_common_qt_gui/qualityGrader.h"
#include "belrix_common_qt_gui/qualitySettings.h"

#include <belrix_common_qt/satForecastOutput.h>

namespace belrix_common_qt_gui {

numSatsForecasterGraph_t::numSatsForecasterGraph_t(QObject* parent) : forecasterGraph_t(parent) {}

numSatsForecasterGraph_t::~numSatsForecasterGraph_t() = default;

forecasterType_t numSatsForecasterGraph_t::type() const { return forecasterNumSats; }

double numSatsForecasterGraph_t::value(belrix_common_qt::satForecastOutput_t const& output) const
{
    return output.satellitesUsed;
}

quality_t numSatsForecasterGraph_t::grade(double value, qualitySettings_t const& settings) const
{
    return qualityGrader_t::satellitesUsed(value, settings);
}

void numSatsForecasterGraph_t::thresholds(qualitySettings_t const& settings, double& good, double& bad) const
{
    // good with more than satUsedGreater, bad with fewer than satUsedLess
    good = settings.satUsedGreater;
    bad = settings.satUsedLess;
}

} // namespace belrix_common_qt_gui
