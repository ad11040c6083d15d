#include "belrix_common_qt_gui/timePlotScale.h"

#include <algorithm>
#include <cmath>

namespace belrix_common_qt_gui {

timePlotScale_t::timePlotScale_t(QRectF const& plot, double now, double span, double bottom, double top)
    : m_plot(plot), m_now(now), m_span(span), m_bottom(bottom), m_top(top)
{
}

QRectF timePlotScale_t::plot() const { return m_plot; }
double timePlotScale_t::now() const { return m_now; }
double timePlotScale_t::span() const { return m_span; }
double timePlotScale_t::bottom() const { return m_bottom; }
double timePlotScale_t::top() const { return m_top; }

double timePlotScale_t::timeToX(double time) const
{
    if (!(m_span > 0.0))
        return m_plot.right();
    return m_plot.right() - (m_now - time) / m_span * m_plot.width();
}

double timePlotScale_t::xToTime(double x) const
{
    if (!(m_plot.width() > 0.0))
        return m_now;
    return m_now - (m_plot.right() - x) / m_plot.width() * m_span;
}

double timePlotScale_t::valueToY(double value) const
{
    const double range = m_top - m_bottom;
    if (!(range > 0.0) || std::isnan(value))
        return m_plot.bottom();
    const double y = m_plot.bottom() - (value - m_bottom) / range * m_plot.height();
    return std::clamp(y, m_plot.top(), m_plot.bottom());
}

double timePlotScale_t::yToValue(double y) const
{
    if (!(m_plot.height() > 0.0))
        return m_bottom;
    return m_bottom + (m_plot.bottom() - y) / m_plot.height() * (m_top - m_bottom);
}

} // namespace belrix_common_qt_gui
