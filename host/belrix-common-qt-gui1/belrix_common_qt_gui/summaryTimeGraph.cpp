#include "belrix_common_qt_gui/summaryTimeGraph.h"

#include "belrix_common_qt_gui/timePlot.h"

#include <belrix_common_qt/qcDataStore.h>
#include <belrix_common_qt/remoteDevice.h>

#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace belrix_common_qt_gui {

using namespace belrix_common_qt;

class summaryTimeGraph_t::private_t
{
public:
    timePlot_t* plot = nullptr;
    bool hasLatest = false;
    qcSummaryEntry_t latest;
};

summaryTimeGraph_t::summaryTimeGraph_t(QString const& title, QWidget* parent)
    : qcGraph_t(title, parent), d(new private_t)
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    d->plot = new timePlot_t(this);
    d->plot->setTitle(title);
    d->plot->setSpan(SpanSeconds);
    layout->addWidget(d->plot);
}

summaryTimeGraph_t::~summaryTimeGraph_t() { delete d; }

timePlot_t* summaryTimeGraph_t::plot() const { return d->plot; }

void summaryTimeGraph_t::setCurrentTimestamp(double time) { d->plot->setNow(time); }

bool summaryTimeGraph_t::latest(qcSummaryEntry_t& entry) const
{
    if (d->hasLatest)
        entry = d->latest;
    return d->hasLatest;
}

void summaryTimeGraph_t::updateSettings(remoteDevice_t*) {}

void summaryTimeGraph_t::update(remoteDevice_t* device, double time)
{
    if (device) {
        updateSettings(device);
        if (qcDataStore_t const* store = device->qcDataStore()) {
            auto const& history = store->summary();
            // a history that went back (a replay started over) is plotted afresh
            if (d->hasLatest && (history.empty() || history.back().timestamp < d->latest.timestamp)) {
                d->plot->clear();
                d->hasLatest = false;
            }
            const double from = d->hasLatest ? d->latest.timestamp : time - SpanSeconds;
            auto first = std::upper_bound(history.begin(), history.end(), from,
                                          [](double t, qcSummaryEntry_t const& e) { return t < e.timestamp; });
            for (auto it = first; it != history.end(); ++it) {
                addSummary(it->timestamp, it->summary);
                d->latest = *it;
                d->hasLatest = true;
            }
        }
    }
    d->plot->setNow(time);
}

} // namespace belrix_common_qt_gui
