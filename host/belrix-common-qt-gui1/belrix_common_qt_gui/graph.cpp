#include "belrix_common_qt_gui/graph.h"

#include "belrix_common_qt_gui/guiSettings.h"
#include "belrix_common_qt_gui/qualityGraph.h"

#include <limits>

namespace belrix_common_qt_gui {

using belrix_common_qt::remoteDevice_t;

class graph_t::private_t
{
public:
    qualityGraph_t* source = nullptr;
    double lastTime = std::numeric_limits<double>::quiet_NaN();
    qualityGraph_t::thresholds_t thresholds;
};

graph_t::graph_t(QWidget* parent) : timePlot_t(parent), d(new private_t)
{
    setSpan(DefaultSpan);
    addSeries(QString(), QColor());
    guiSettings_t* settings = guiSettings_t::get();
    connect(settings, &guiSettings_t::distanceUnitChanged, this, &graph_t::updateSource);
    connect(settings, &guiSettings_t::speedUnitChanged, this, &graph_t::updateSource);
    connect(settings, &guiSettings_t::displayModeChanged, this, &graph_t::updateBands);
    connect(settings, &guiSettings_t::textGraphColorChanged, this,
            [this](QColor const& color) { setSeriesColor(0, color); });
    updateSource();
}

graph_t::~graph_t() { delete d; }

void graph_t::setSource(qualityGraph_t* source)
{
    d->source = source;
    updateSource();
}

qualityGraph_t* graph_t::source() const { return d->source; }

void graph_t::clear()
{
    d->lastTime = std::numeric_limits<double>::quiet_NaN();
    timePlot_t::clear();
}

void graph_t::updateSource()
{
    qualityGraph_t const* source = d->source;
    setTitle(source ? source->name() : QString());
    setUnit(source ? source->unit() : QString());
    setDecimals(source ? source->decimals() : 0);
    // the line in the plain text colour, which reads on every band by day and by night
    setSeriesColor(0, guiSettings_t::get()->textGraphColor());
    d->thresholds = qualityGraph_t::thresholds_t();
    updateBands();
    clear();
}

void graph_t::updateBands()
{
    const bool night = guiSettings_t::get()->displayMode() == belrix_common_qt::displayModeNight;
    setBands(qualityGraph_t::bands(d->thresholds, night));
    setAutoRange(d->source ? d->source->rangeFloor(d->thresholds) : 1.0);
}

void graph_t::update(double time, remoteDevice_t* device)
{
    if (!d->source || time == d->lastTime)
        return;
    d->lastTime = time;
    // thresholds may be edited at any time; the cached layer is drawn again only when they change
    const qualityGraph_t::thresholds_t thresholds = d->source->thresholds(device);
    if (thresholds != d->thresholds) {
        d->thresholds = thresholds;
        updateBands();
    }
    const std::optional<double> value = d->source->value(device, time);
    addSample(0, time, value ? *value : std::numeric_limits<double>::quiet_NaN());
    setNow(time);
}

} // namespace belrix_common_qt_gui
