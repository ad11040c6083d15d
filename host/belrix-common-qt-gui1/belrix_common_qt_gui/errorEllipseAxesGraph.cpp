#include "belrix_common_qt_gui/errorEllipseAxesGraph.h"

#include "belrix_common_qt_gui/guiSettings.h"
#include "belrix_common_qt_gui/timePlot.h"

#include <belrix_common_qt/qcSettingsBase.h>
#include <belrix_common_qt/remoteDevice.h>
#include <belrix_common_qt/textFormat.h>

#include <cmath>
#include <limits>

namespace belrix_common_qt_gui {

using namespace belrix_common_qt;

class errorEllipseAxesGraph_t::private_t
{
public:
    double limit = std::numeric_limits<double>::quiet_NaN();
};

errorEllipseAxesGraph_t::errorEllipseAxesGraph_t(QWidget* parent)
    : summaryTimeGraph_t(tr("Error Ellipse Axes"), tr("Ellipse Axes"), parent), d(new private_t)
{
    plot()->setUnit(QStringLiteral("m"));
    plot()->setDecimals(2);
    plot()->addSeries(tr("Semi-major"), QColor(0x1f, 0x6f, 0xd0));
    plot()->addSeries(tr("Semi-minor"), QColor(0x2c, 0xa0, 0x2c));
    plot()->setAutoRange(0.5);
}

errorEllipseAxesGraph_t::~errorEllipseAxesGraph_t() { delete d; }

void errorEllipseAxesGraph_t::addSummary(double time, qcSummary_t const& summary)
{
    plot()->addSample(0, time, summary.semiMajor);
    plot()->addSample(1, time, summary.semiMinor);
}

void errorEllipseAxesGraph_t::updateSettings(remoteDevice_t* device)
{
    // a limit far above a good receiver's ellipse would squash it flat: the page tells it
    qcSettingsBase_t const* settings = device->qcSettings();
    d->limit = settings ? settings->semiMajorLimit() : std::numeric_limits<double>::quiet_NaN();
}

QString errorEllipseAxesGraph_t::infoHtml() const
{
    const distanceUnit_t unit = guiSettings_t::get()->distanceUnit();
    qcSummaryEntry_t entry;
    const bool has = latest(entry);
    return tr("<h3>Error Ellipse Axes</h3>"
              "<p>The two half-axes of the 1-sigma horizontal error ellipse of each position solution over the "
              "last 30 minutes, worked out from the geometry of the satellites in use and the size of their "
              "range residuals (GRS): the semi-major axis "
              "(blue) is the error in the weakest direction, the semi-minor (green) in the strongest. About "
              "39 % of positions fall inside a 1-sigma ellipse; 2.45 times the axes hold 95 %.</p>"
              "<p>Both low and steady is a good position. A rising semi-major axis with a steady semi-minor means "
              "the geometry has weakened in one direction (satellites lost on one side); both rising together "
              "mean worse ranges. The QC settings judge the semi-major axis against their limit.</p>"
              "<p>Now: semi-major %1, semi-minor %2; semi-major limit %3.</p>")
        .arg(has ? distanceString(entry.summary.semiMajor, unit, 2) : tr("none yet"),
             has ? distanceString(entry.summary.semiMinor, unit, 2) : tr("none yet"),
             std::isfinite(d->limit) ? distanceString(d->limit, unit, 2) : tr("not set"));
}

} // namespace belrix_common_qt_gui
