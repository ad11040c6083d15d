#include "belrix_common_qt_gui/vdopForecasterGraph.h"

#include "belrix_common_qt_gui/qualityGrader.h"
#include "belrix_common_qt_gui/qualitySettings.h"

#include <belrix_common_qt/satForecastOutput.h>

namespace belrix_common_qt_gui {

vdopForecasterGraph_t::vdopForecasterGraph_t(QObject* parent) : forecasterGraph_t(parent) {}

vdopForecasterGraph_t::~vdopForecasterGraph_t() = default;

forecasterType_t vdopForecasterGraph_t::type() const { return forecasterVdop; }

double vdopForecasterGraph_t::value(belrix_common_qt::satForecastOutput_t const& output) const { return output.vdop; }

quality_t vdopForecasterGraph_t::grade(double value, qualitySettings_t const& settings) const
{
    return qualityGrader_t::vdop(value, settings);
}

void vdopForecasterGraph_t::thresholds(qualitySettings_t const& settings, double& good, double& bad) const
{
    good = settings.vdopLess;
    bad = settings.vdopGreater;
}

} // namespace belrix_common_qt_gui
