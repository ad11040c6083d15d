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

namespace belrix_common_qt_gui {

using namespace belrix_common_qt;

namespace {
const QColor ScatterColor(0x1f, 0x6f, 0xd0);
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
                            : tr("%1 positions in the last 10 minutes; 95 %: %2")
                                  .arg(d->scatter.count())
                                  .arg(distanceString(r95, unit, 2)));
}

QString positionScatterGraph_t::infoHtml() const
{
    const distanceUnit_t unit = guiSettings_t::get()->distanceUnit();
    return tr("<h3>Position Scatter</h3>"
              "<p>Each dot is one position of the receiver, drawn where it lies from the mean of all positions of "
              "the last 10 minutes (north up, at most %1 positions, one per update); the ringed dot is the "
              "newest. The dashed circle holds 95 % of the dots: it is the smallest circle about the mean that "
              "does, counted from the dots themselves, not worked out from a standard deviation.</p>"
              "<p>The ship's own movement is in the positions: on a steady course the dots string out along the "
              "track and the circle measures the track, not the noise. Read the scatter alongside, at the berth "
              "or at anchor, or over short spells.</p>"
              "<p>A tight cloud is a steady position; jumps and a second cluster show the solution changing "
              "(satellites lost or gained, corrections lost). Compare the circle with the error ellipse the "
              "receiver claims: a circle much larger than the ellipse means the receiver is too optimistic.</p>"
              "<p>Now: %2 positions, 95 % within %3, the farthest %4 from the mean.</p>")
        .arg(positionScatter_t::MaxPoints)
        .arg(d->scatter.count())
        .arg(distanceString(d->scatter.radius95(), unit, 2))
        .arg(distanceString(d->scatter.largestOffset(), unit, 2));
}

} // namespace belrix_common_qt_gui
