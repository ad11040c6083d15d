#pragma once

#include "belrix_common_qt_gui_export.h"

#include <QRectF>

namespace belrix_common_qt_gui {

// Pure geometry of a time plot: data time and value to pixels and back. Testable without painting.
class BELRIX_COMMON_QT_GUI_EXPORT timePlotScale_t
{
public:
    timePlotScale_t() = default;
    // now at the plot's right edge, now - span at its left; bottom/top at the plot's bottom/top.
    timePlotScale_t(QRectF const& plot, double now, double span, double bottom, double top);

    QRectF plot() const;
    double now() const;
    double span() const;
    double bottom() const;
    double top() const;

    // Not clamped: a time before now - span lies left of the plot. An empty span puts every
    // time at the right edge.
    double timeToX(double time) const;
    double xToTime(double x) const;
    double valueToY(double value) const;   // clamped to the plot; NaN gives the bottom
    double yToValue(double y) const;

private:
    QRectF m_plot;
    double m_now = 0.0;
    double m_span = 0.0;
    double m_bottom = 0.0;
    double m_top = 1.0;
};

} // namespace belrix_common_qt_gui
