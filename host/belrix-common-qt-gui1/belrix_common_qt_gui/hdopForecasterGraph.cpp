#include "belrix_common_qt_gui/hdopForecasterGraph.h"

#include "belrix_common_qt_gui/qualityGrader.h"
#include "belrix_common_qt_gui/qualitySettings.h"

#include <belrix_common_qt/satForecastOutput.h>

namespace belrix_common_qt_gui {

hdopForecasterGraph_t::hdopForecasterGraph_t(QObject* parent) : forecasterGraph_t(parent) {}

hdopForecasterGraph_t::~hdopForecasterGraph_t() = default;

forecasterType_t hdopForecasterGraph_t::type() const { return forecasterHdop; }

double hdopForecasterGraph_t::value(belrix_common_qt::satForecastOutput_t const& output) const { return output.hdop; }

quality_t hdopForecasterGraph_t::grade(double value, qualitySettings_t const& settings) const
{
    return qualityGrader_t::hdop(value, settings);
}

void hdopForecasterGraph_t::thresholds(qualitySettings_t const& settings, double& good, double& bad) const
{
    good = settings.hdopLess;
    bad = settings.hdopGreater;
}

} // namespace belrix_common_qt_gui
