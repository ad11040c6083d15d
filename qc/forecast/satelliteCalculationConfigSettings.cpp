#include "forecast/satelliteCalculationConfigSettings.h"

namespace orvane {
namespace qc {

using namespace belrix_common_qt_gui;

namespace {
QList<forecasterType_t> allGraphs() { return {forecasterNumSats, forecasterHdop, forecasterVdop, forecasterPdop}; }
} // namespace

satelliteCalculationConfigSettings_t::satelliteCalculationConfigSettings_t() : usedGraphs(allGraphs()) {}

void satelliteCalculationConfigSettings_t::useGraph(forecasterType_t t)
{
    if (usedGraphs.contains(t))
        return;
    availableGraphs.removeOne(t);
    usedGraphs.append(t);
}

void satelliteCalculationConfigSettings_t::unuseGraph(forecasterType_t t)
{
    if (!usedGraphs.removeOne(t))
        return;
    availableGraphs.append(t);
}

void satelliteCalculationConfigSettings_t::clearUsed()
{
    usedGraphs.clear();
    availableGraphs = allGraphs();
}

} // namespace qc
} // namespace orvane
