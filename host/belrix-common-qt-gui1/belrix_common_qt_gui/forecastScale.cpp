#include "belrix_common_qt_gui/forecastScale.h"

#include <algorithm>
#include <cmath>

namespace belrix_common_qt_gui {

forecastScale_t::forecastScale_t(QRectF const& plot, double start, double end, double top)
    : m_plot(plot), m_start(start), m_end(end), m_top(top)
{
}

double forecastScale_t::pixelsPerSecond() const
{
    const double span = m_end - m_start;
    if (!(span > 0.0) || !(m_plot.width() > 0.0))
        return 0.0;
    return m_plot.width() / span;
}

double forecastScale_t::timeToX(double time) const
{
    return m_plot.left() + (time - m_start) * pixelsPerSecond();
}

double forecastScale_t::valueToY(double value) const
{
    if (!(m_top > 0.0) || std::isnan(value))
        return m_plot.bottom();
    const double y = m_plot.bottom() - value / m_top * m_plot.height();
    return std::clamp(y, m_plot.top(), m_plot.bottom());
}

double forecastScale_t::timeStep(double span, double width, double minSpacing)
{
    static const double steps[] = {600, 900, 1800, 3600, 7200, 10800, 21600, 43200, 86400, 172800};
    if (!(span > 0.0) || !(width > 0.0))
        return 86400.0;
    const double perSecond = width / span;
    for (double step : steps) {
        if (step * perSecond >= minSpacing)
            return step;
    }
    // whole days beyond that: a span of years still gets a handful of ticks
    return std::ceil(minSpacing / perSecond / 86400.0) * 86400.0;
}

QVector<double> forecastScale_t::timeTicks(double start, double end, double step, int utcOffset)
{
    QVector<double> ticks;
    if (!(step > 0.0) || !(end >= start) || !std::isfinite(start) || !std::isfinite(end))
        return ticks;
    // a guard against a step far too small for the span, which would never end drawing
    if ((end - start) / step > 10000.0)
        return ticks;
    for (double local = std::ceil((start + utcOffset) / step) * step; local - utcOffset <= end; local += step)
        ticks.append(local - utcOffset);
    return ticks;
}

double forecastScale_t::valueTop(double largest, double floor)
{
    const double v = std::max(std::isfinite(largest) ? largest : 0.0, std::isfinite(floor) ? floor : 0.0);
    if (!(v > 0.0))
        return 1.0;
    static const double mantissas[] = {1.0, 1.2, 1.5, 2.0, 2.5, 3.0, 4.0, 5.0, 6.0, 8.0, 10.0};
    const double power = std::pow(10.0, std::floor(std::log10(v)));
    for (double m : mantissas) {
        // a hair of tolerance, so 3.0000000001 from arithmetic stays 3
        if (m * power >= v * (1.0 - 1e-12))
            return m * power;
    }
    return 10.0 * power;
}

double forecastScale_t::valueStep(double top, int count, bool integral)
{
    if (!(top > 0.0) || count < 1)
        return 1.0;
    const double smallest = top / count;
    double power = std::pow(10.0, std::floor(std::log10(smallest)));
    for (;;) {
        for (double m : {1.0, 2.0, 2.5, 5.0}) {
            const double step = m * power;
            if (integral && step != std::floor(step))
                continue;
            if (step >= smallest * (1.0 - 1e-12))
                return step;
        }
        power *= 10.0;
    }
}

} // namespace belrix_common_qt_gui
