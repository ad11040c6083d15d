#pragma once

#include "belrix_common_qt_gui_export.h"
#include "belrix_common_qt_gui/timeGraph.h"

#include <belrix_common_qt/qcSummary.h>

namespace belrix_common_qt_gui {

// A graph of values of the device's QC summaries against time over the last 30 minutes.
// Each update takes the summaries not yet plotted from the device's summary history, so a
// graph shown late, or paused for a while, still shows everything the history holds; each
// series keeps at most timePlot_t::MaxSamples samples.
class BELRIX_COMMON_QT_GUI_EXPORT summaryTimeGraph_t : public timeGraph_t
{
    Q_OBJECT
public:
    static constexpr double SpanSeconds = 1800.0;

    summaryTimeGraph_t(QString const& title, QString const& plotTitle, QWidget* parent = nullptr);
    ~summaryTimeGraph_t() override;

    using qcGraph_t::update;
    void update(belrix_common_qt::remoteDevice_t* device, double time) override;

protected:
    // Adds the values of one summary to the plot's series.
    virtual void addSummary(double time, belrix_common_qt::qcSummary_t const& summary) = 0;
    // Follows the device's settings (a limit) on each update.
    virtual void updateSettings(belrix_common_qt::remoteDevice_t* device);
    // The newest summary plotted; false before the first.
    bool latest(belrix_common_qt::qcSummaryEntry_t& entry) const;

private:
    class private_t;
    private_t* d;
};

} // namespace belrix_common_qt_gui
