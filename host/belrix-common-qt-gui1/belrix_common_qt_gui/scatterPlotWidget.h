#pragma once

#include "belrix_common_qt_gui_export.h"
#include "belrix_common_qt_gui/baseGraphWidget.h"

#include <QColor>
#include <QPointF>
#include <QVector>

namespace belrix_common_qt_gui {

// Positions as offsets from their mean on a north-up polar plot, the newest marked, and a
// circle of a given radius (the 95 % circle) around the centre.
class BELRIX_COMMON_QT_GUI_EXPORT scatterPlotWidget_t : public baseGraphWidget_t
{
    Q_OBJECT
public:
    explicit scatterPlotWidget_t(QWidget* parent = nullptr);
    ~scatterPlotWidget_t() override;

    // East (x) and north (y) metres, oldest first; the circle's radius in metres.
    void setPoints(QVector<QPointF> const& offsets, double circleRadius, QColor const& color);

protected:
    void drawData(QPainter& painter, polarMapping_t const& mapping) override;

private:
    class private_t;
    private_t* d;
};

} // namespace belrix_common_qt_gui
