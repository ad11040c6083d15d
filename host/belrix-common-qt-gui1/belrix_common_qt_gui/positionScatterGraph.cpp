#include "belrix_common_qt_gui/positionScatterGraph.h"

#include "belrix_common_qt_gui/guiSettings.h"
#include "belrix_common_qt_gui/positionScatter.h"
#include "belrix_common_qt_gui/scatterPlotWidget.h"

#include <belrix_common_qt/dataClock.h>
#include <belrix_common_qt/navConstants.h>
#include <belrix_common_qt/remoteDevice.h>
#include <belrix_common_qt/textFormat.h>

#include <QLabel>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace belrix_common_qt_gui {

using namespace belrix_common_qt;

namespace {
const QColor ScatterColor(0x1f, 0x6f, 0xd0);
// Speed over ground, m/s, above which the scatter is taken from the track, and below which
// from the mean again: apart, so a ship creeping at the bound does not flip between them.
constexpr double UnderWaySpeed = 0.5;
constexpr double AtRestSpeed = 0.25;
} // namespace

class positionScatterGraph_t::private_t
{
public:
    positionScatter_t scatter;
    scatterPlotWidget_t* plot = nullptr;
    QLabel* summary = nullptr;
};

positionScatterGraph_t::positionScatterGraph_t(QWidget* parent)
    : qcGraph_t(tr("Position Scatter"), parent), d(new private_t)
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    d->plot = new scatterPlotWidget_t(this);
    layout->addWidget(d->plot, 1);
    d->summary = new QLabel(this);
    d->summary->setObjectName(QStringLiteral("scatterSummary"));
    layout->addWidget(d->summary);
}

positionScatterGraph_t::~positionScatterGraph_t() { delete d; }

positionScatter_t const& positionScatterGraph_t::scatter() const { return d->scatter; }
scatterPlotWidget_t* positionScatterGraph_t::plot() const { return d->plot; }

void positionScatterGraph_t::update(remoteDevice_t* device, double time)
{
    if (device) {
        dataItem_t<position_t> const& position = device->inputPosition();
        position_t const& p = position.value();
        // each position once; an earlier one (a replay started over) begins the scatter afresh
        if (isItemCurrent(position, time) && p.latValid && p.lonValid
            && position.timestamp() != d->scatter.newestTime())
            d->scatter.add(position.timestamp(), p.lat, p.lon);
        dataItem_t<float> const& speed = device->speedOverGround();
        if (isItemCurrent(speed, time) && std::isfinite(speed.value()))
            d->scatter.setUnderWay(d->scatter.underWay() ? speed.value() > AtRestSpeed : speed.value() >= UnderWaySpeed);
    }
    d->scatter.expire(time);

    const double r95 = d->scatter.radius95();
    // the plot range follows the spread up and down through the table of ranges
    const double spread = std::max(d->scatter.largestOffset(), r95);
    double range = 0.0;
    for (double const* entry = GRAPH_AUTO_RANGE_VALUES; *entry != 0.0; ++entry) {
        range = *entry;
        if (*entry > spread)
            break;
    }
    d->plot->setRange(range);
    d->plot->setPoints(d->scatter.offsets(), r95, ScatterColor);
    const distanceUnit_t unit = guiSettings_t::get()->distanceUnit();
    d->summary->setText(d->scatter.count() < 2
                            ? tr("%1 position(s) in the last 10 minutes").arg(d->scatter.count())
                            : (d->scatter.underWay() ? tr("%1 positions in the last 10 minutes, from the track; 95 %: %2")
                                                     : tr("%1 positions in the last 10 minutes, from their mean; 95 %: %2"))
                                  .arg(d->scatter.count())
                                  .arg(distanceString(r95, unit, 2)));
}

QString positionScatterGraph_t::infoHtml() const
{
    const distanceUnit_t unit = guiSettings_t::get()->distanceUnit();
    return tr("<h3>Position Scatter</h3>"
              "<p>Each dot is one position of the receiver of the last 10 minutes (north up, at most %1 "
              "positions, one per update); the ringed dot is the newest. At rest each is drawn where it lies "
              "from the mean of them all. Under way (from 1 knot over ground until below half a knot) each is "
              "drawn where it lies from the ship's track, a parabola in time fitted to the positions of the "
              "minute around it: the ship's own movement, turns included, is taken out, and with it any "
              "wander slower than a minute, so the dots show the short-term noise. The line below the plot "
              "says which.</p>"
              "<p>The dashed circle holds 95 % of the dots: it is the smallest circle about the centre that "
              "does, counted from the dots themselves, not worked out from a standard deviation.</p>"
              "<p>A tight cloud is a steady position; jumps and a second cluster show the solution changing "
              "(satellites lost or gained, corrections lost). Compare the circle with the error ellipse the "
              "receiver claims: a circle much larger than the ellipse means the receiver is too optimistic.</p>"
              "<p>Now: %2 positions, 95 % within %3, the farthest %4 from the centre.</p>")
        .arg(positionScatter_t::MaxPoints)
        .arg(d->scatter.count())
        .arg(distanceString(d->scatter.radius95(), unit, 2))
        .arg(distanceString(d->scatter.largestOffset(), unit, 2));
}

} // namespace belrix_common_qt_gui
