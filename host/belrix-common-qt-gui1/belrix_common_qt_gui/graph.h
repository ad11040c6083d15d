#pragma once

#include "belrix_common_qt_gui_export.h"
#include "belrix_common_qt_gui/timePlot.h"

namespace belrix_common_qt {
class remoteDevice_t;
}

namespace belrix_common_qt_gui {

class qualityGraph_t;

// One live graph of a device window: the history of one quantity over the last half hour,
// titled with the quantity's name, unit and current value, over the bands of the device's
// quality thresholds where the quantity has them. It takes one sample per distinct data
// time; a tick with no value (absent or stale) leaves a gap.
class BELRIX_COMMON_QT_GUI_EXPORT graph_t : public timePlot_t
{
    Q_OBJECT
public:
    static constexpr double DefaultSpan = 1800.0;

    explicit graph_t(QWidget* parent = nullptr);
    ~graph_t() override;

    // Null detaches the graph. The source must outlive the graph or be detached first.
    void setSource(qualityGraph_t* source);
    qualityGraph_t* source() const;

    using QWidget::update;

public slots:
    // Forgets the history.
    void clear();
    void update(double time, belrix_common_qt::remoteDevice_t* device);

private slots:
    // The unit or the look changed: the history is in the old unit, so it starts again.
    void updateSource();
    void updateBands();

private:
    class private_t;
    private_t* d;
};

} // namespace belrix_common_qt_gui
