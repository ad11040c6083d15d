#pragma once

#include "belrix_common_qt_gui_export.h"

#include <QRectF>
#include <QVector>

namespace belrix_common_qt_gui {

// Turns times (seconds since 1970-01-01 UTC) and values into pixels of a time graph's plot
// area, and chooses the graph's ticks: times on round steps of the user's local time, values
// on round steps up from 0. Pure geometry, so graphs can be tested without painting.
class BELRIX_COMMON_QT_GUI_EXPORT forecastScale_t
{
public:
    forecastScale_t() = default;
    // start at the plot's left edge, end at its right; 0 at its bottom, top at its top.
    forecastScale_t(QRectF const& plot, double start, double end, double top);

    QRectF plot() const { return m_plot; }
    double start() const { return m_start; }
    double end() const { return m_end; }
    double top() const { return m_top; }
    // 0 while the span or the plot is empty.
    double pixelsPerSecond() const;

    double timeToX(double time) const;
    // Clamped to the plot, so a value beyond the top draws to the top.
    double valueToY(double value) const;

    // The shortest round step, from 10 minutes up to days, that keeps ticks at least
    // minSpacing pixels apart when span seconds take width pixels.
    static double timeStep(double span, double width, double minSpacing);
    // The instants in [start, end] that are whole multiples of step in local time,
    // utcOffset seconds ahead of UTC: with an hour's step they fall on local full hours.
    static QVector<double> timeTicks(double start, double end, double step, int utcOffset);
    // The smallest round number (1, 1.2, 1.5, 2, 2.5, 3, 4, 5, 6 or 8 times a power of ten)
    // at or above both largest and floor; 1 when neither is positive.
    static double valueTop(double largest, double floor);
    // A round step (1, 2, 2.5 or 5 times a power of ten) that divides top into at most
    // count parts; never a fraction when integral.
    static double valueStep(double top, int count, bool integral);

private:
    QRectF m_plot;
    double m_start = 0.0;
    double m_end = 0.0;
    double m_top = 1.0;
};

} // namespace belrix_common_qt_gui
