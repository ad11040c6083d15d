#include "belrix_common_qt_gui/unitVarianceGraph.h"

#include "belrix_common_qt_gui/timePlot.h"

#include <belrix_common_qt/qcSettingsBase.h>
#include <belrix_common_qt/remoteDevice.h>

#include <cmath>
#include <limits>

namespace belrix_common_qt_gui {

using namespace belrix_common_qt;

namespace {
const QColor SeriesColor(0x1f, 0x6f, 0xd0);
const QColor LimitColor(0xd6, 0x27, 0x28);
} // namespace

class unitVarianceGraph_t::private_t
{
public:
    double limit = std::numeric_limits<double>::quiet_NaN();
};

unitVarianceGraph_t::unitVarianceGraph_t(QWidget* parent)
    : summaryTimeGraph_t(tr("Unit Variance"), tr("Unit Variance"), parent), d(new private_t)
{
    plot()->setDecimals(2);
    plot()->addSeries(tr("Unit variance"), SeriesColor);
    plot()->setAutoRange(2.0);
}

unitVarianceGraph_t::~unitVarianceGraph_t() { delete d; }

double unitVarianceGraph_t::limit() const { return d->limit; }

void unitVarianceGraph_t::addSummary(double time, qcSummary_t const& summary)
{
    plot()->addSample(0, time, summary.unitVariance);
}

void unitVarianceGraph_t::updateSettings(remoteDevice_t* device)
{
    qcSettingsBase_t const* settings = device->qcSettings();
    const double limit = settings ? settings->unitVarianceLimit() : std::numeric_limits<double>::quiet_NaN();
    if (limit == d->limit || (std::isnan(limit) && std::isnan(d->limit)))
        return;
    d->limit = limit;
    plot()->setLimit(limit, LimitColor);
    // the limit always in view, so the distance to it reads at a glance
    plot()->setAutoRange(std::isfinite(limit) ? limit * 1.25 : 2.0);
}

QString unitVarianceGraph_t::infoHtml() const
{
    qcSummaryEntry_t entry;
    const QString now = latest(entry) ? QString::number(entry.summary.unitVariance, 'f', 2) : tr("none yet");
    const QString limit = std::isfinite(d->limit) ? QString::number(d->limit, 'f', 2) : tr("not set");
    return tr("<h3>Unit Variance</h3>"
              "<p>The unit variance of each position solution over the last 30 minutes, worked out from the "
              "receiver's range residuals (GRS): how large the residuals are against the range accuracy "
              "assumed in the QC settings (the a-priori sigma). The red line is the unit variance limit of the "
              "QC settings.</p>"
              "<p>About 1 means the ranges are as good as assumed. Well below 1, the a-priori sigma is "
              "pessimistic. Above the limit the ranges disagree more than they should: multipath, "
              "interference, a faulty satellite or a wrong a-priori sigma; the position should not be trusted "
              "until it comes back under the line. A single spike matters less than a run above it.</p>"
              "<p>Now: %1; limit %2.</p>")
        .arg(now, limit);
}

} // namespace belrix_common_qt_gui
