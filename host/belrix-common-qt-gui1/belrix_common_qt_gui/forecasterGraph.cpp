#include "belrix_common_qt_gui/forecasterGraph.h"

#include "belrix_common_qt_gui/forecastGraph.h"
#include "belrix_common_qt_gui/qualitySettings.h"

#include <belrix_common_qt/satForecastOutput.h>

#include <QPointer>

#include <cmath>
#include <limits>

namespace belrix_common_qt_gui {

class forecasterGraph_t::private_t
{
public:
    QPointer<forecastGraph_t> graph;
};

forecasterGraph_t::forecasterGraph_t(QObject* parent) : QObject(parent), d(new private_t) {}

forecasterGraph_t::~forecasterGraph_t() { delete d; }

forecastGraph_t* forecasterGraph_t::graph() const { return d->graph; }

void forecasterGraph_t::setGraph(forecastGraph_t* graph) { d->graph = graph; }

void forecasterGraph_t::clear()
{
    if (d->graph)
        d->graph->clearPoints();
}

void forecasterGraph_t::addPointNow(double time, belrix_common_qt::satForecastOutput_t const& output,
                                    qualitySettings_t const* settings)
{
    if (!d->graph)
        return;
    if (!output.valid) {
        d->graph->addPoint(time, std::numeric_limits<double>::quiet_NaN(), qualityOff);
        return;
    }
    const double v = value(output);
    if (!settings) {
        d->graph->addPoint(time, v, qualityOff);
        return;
    }
    double good = std::numeric_limits<double>::quiet_NaN();
    double bad = good;
    thresholds(*settings, good, bad);
    // the same thresholds arrive with every sample; a repaint only when they change
    const auto same = [](double a, double b) { return a == b || (std::isnan(a) && std::isnan(b)); };
    if (!same(good, d->graph->goodThreshold()) || !same(bad, d->graph->badThreshold()))
        d->graph->setThresholds(good, bad);
    // a forecast without the value means too few satellites for a position: as bad as it gets
    d->graph->addPoint(time, v, std::isnan(v) ? qualityBad : grade(v, *settings));
}

} // namespace belrix_common_qt_gui
