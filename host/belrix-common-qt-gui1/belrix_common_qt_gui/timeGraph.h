#pragma once

#include "belrix_common_qt_gui_export.h"
#include "belrix_common_qt_gui/qcGraph.h"

namespace belrix_common_qt_gui {

class timePlot_t;

// A QC graph of values against time: a time plot over a span ending at the current data
// time, with a scale of minutes ago below it.
class BELRIX_COMMON_QT_GUI_EXPORT timeGraph_t : public qcGraph_t
{
    Q_OBJECT
public:
    // plotTitle is the plot's own, short enough for its side column.
    timeGraph_t(QString const& title, QString const& plotTitle, double spanSeconds, QWidget* parent = nullptr);
    ~timeGraph_t() override;

    void setCurrentTimestamp(double time) override;
    timePlot_t* plot() const;

protected:
    // Adds a widget below the scale.
    void addFooter(QWidget* widget);

private:
    class private_t;
    private_t* d;
};

} // namespace belrix_common_qt_gui
