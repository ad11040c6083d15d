#include "belrix_common_qt_gui/summaryTimeGraph.h"

#include "belrix_common_qt_gui/timePlot.h"

#include <belrix_common_qt/qcDataStore.h>
#include <belrix_common_qt/remoteDevice.h>

#include <algorithm>
#include <cmath>

namespace belrix_common_qt_gui {

using namespace belrix_common_qt;

class summaryTimeGraph_t::private_t
{
public:
    bool hasLatest = false;
    qcSummaryEntry_t latest;
};

summaryTimeGraph_t::summaryTimeGraph_t(QString const& title, QString const& plotTitle, QWidget* parent)
    : timeGraph_t(title, plotTitle, SpanSeconds, parent), d(new private_t)
{
}

summaryTimeGraph_t::~summaryTimeGraph_t() { delete d; }

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
                plot()->clear();
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
    plot()->setNow(time);
}

} // namespace belrix_common_qt_gui
