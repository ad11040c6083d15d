#pragma once

#include "belrix_common_qt_gui_export.h"

#include <QWidget>

namespace belrix_common_qt_gui {

class qcGraph_t;

// A device's QC graphs, one shown at a time.
class BELRIX_COMMON_QT_GUI_EXPORT qcGraphsView_t : public QWidget
{
    Q_OBJECT
public:
    explicit qcGraphsView_t(QWidget* parent = nullptr);
    ~qcGraphsView_t() override;

    // The view takes the graph; the first one added is current.
    void addGraph(qcGraph_t* graph);
    int graphCount() const;
    qcGraph_t* graphAt(int index) const;   // null outside the range
    int currentIndex() const;              // -1 without graphs
    void setCurrentIndex(int index);
    qcGraph_t* currentGraph() const;       // null without graphs
    // Every graph that scrolls with time moves its right edge to `time`.
    void setCurrentTimestamp(double time);

private:
    class private_t;
    private_t* d;
};

} // namespace belrix_common_qt_gui
