#pragma once

#include "belrix_common_qt_gui_export.h"
#include "belrix_common_qt_gui/qcGraph.h"

namespace belrix_common_qt_gui {

class skyPlotWidget_t;

// The satellites the receiver reports in view, where they are in its sky and whether it
// uses them. Holds only the latest report: nothing to bound.
class BELRIX_COMMON_QT_GUI_EXPORT skyPlotGraph_t : public qcGraph_t
{
    Q_OBJECT
public:
    explicit skyPlotGraph_t(QWidget* parent = nullptr);
    ~skyPlotGraph_t() override;

    using qcGraph_t::update;
    void update(belrix_common_qt::remoteDevice_t* device, double time) override;
    skyPlotWidget_t* plot() const;

protected:
    QString infoHtml() const override;

private:
    class private_t;
    private_t* d;
};

} // namespace belrix_common_qt_gui
