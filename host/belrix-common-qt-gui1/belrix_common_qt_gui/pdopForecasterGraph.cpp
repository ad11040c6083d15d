#include "belrix_common_qt_gui/pdopForecasterGraph.h"

#include "belrix_common_qt_gui/qualityGrader.h"
#include "belrix_common_qt_gui/qualitySettings.h"

#include <belrix_common_qt/satForecastOutput.h>

namespace belrix_common_qt_gui {

pdopForecasterGraph_t::pdopForecasterGraph_t(QObject* parent) : forecasterGraph_t(parent) {}

pdopForecasterGraph_t::~pdopForecasterGraph_t() = default;

forecasterType_t pdopForecasterGraph_t::type() const { return forecasterPdop; }

double pdopForecasterGraph_t::value(belrix_common_qt::satForecastOutput_t const& output) const { return output.pdop; }

quality_t pdopForecasterGraph_t::grade(double value, qualitySettings_t const& settings) const
{
    return qualityGrader_t::pdop(value, settings);
}

void pdopForecasterGraph_t::thresholds(qualitySettings_t const& settings, double& good, double& bad) const
{
    good = settings.pdopLess;
    bad = settings.pdopGreater;
}

} // namespace belrix_common_qt_gui
