#pragma once

#include "belrix_common_qt_gui_export.h"
#include "belrix_common_qt_gui/timeGraph.h"

namespace belrix_common_qt_gui {

// The receiver's range residual of each satellite (GRS) against time over the last
// 10 minutes, one series per satellite, about zero, with a legend of the satellites that
// have a current residual; the first series, in the large digits, is the RMS of the
// epoch's residuals. At most MaxSeries satellites at a time, each series bounded by
// timePlot_t::MaxSamples; a satellite without a residual for the whole span is dropped.
class BELRIX_COMMON_QT_GUI_EXPORT rangeResidualGraph_t : public timeGraph_t
{
    Q_OBJECT
public:
    static constexpr double SpanSeconds = 600.0;
    static constexpr int MaxSeries = 64;

    explicit rangeResidualGraph_t(QWidget* parent = nullptr);
    ~rangeResidualGraph_t() override;

    using qcGraph_t::update;
    void update(belrix_common_qt::remoteDevice_t* device, double time) override;
    // The satellites in the legend now, "G07 +0.42 m" each, in number order.
    QStringList legend() const;

protected:
    QString infoHtml() const override;

private:
    class private_t;
    private_t* d;
};

} // namespace belrix_common_qt_gui
