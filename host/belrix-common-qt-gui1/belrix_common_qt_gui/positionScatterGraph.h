#pragma once

#include "belrix_common_qt_gui_export.h"
#include "belrix_common_qt_gui/qcGraph.h"

namespace belrix_common_qt_gui {

class positionScatter_t;
class scatterPlotWidget_t;

// How the receiver's positions scatter about their mean over the last ten minutes (at most
// positionScatter_t::MaxPoints of them), with the 95 % circle; the range follows the spread.
class BELRIX_COMMON_QT_GUI_EXPORT positionScatterGraph_t : public qcGraph_t
{
    Q_OBJECT
public:
    explicit positionScatterGraph_t(QWidget* parent = nullptr);
    ~positionScatterGraph_t() override;

    using qcGraph_t::update;
    void update(belrix_common_qt::remoteDevice_t* device, double time) override;
    positionScatter_t const& scatter() const;
    scatterPlotWidget_t* plot() const;

protected:
    QString infoHtml() const override;

private:
    class private_t;
    private_t* d;
};

} // namespace belrix_common_qt_gui
