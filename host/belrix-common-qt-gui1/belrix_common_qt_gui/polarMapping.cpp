#include "belrix_common_qt_gui/polarMapping.h"

#include <QString>

#include <algorithm>
#include <cmath>
#include <belrix_common_qt/navConstants.h>

namespace belrix_common_qt_gui {

namespace {
using belrix_common_qt::Pi;
using belrix_common_qt::DegToRad;
}

polarMapping_t::polarMapping_t(QPointF const& centre, double radiusPixels, double rangeMeters)
    : m_centre(centre), m_radius(std::max(0.0, radiusPixels)), m_range(rangeMeters)
{
}

polarMapping_t polarMapping_t::fitted(QRectF const& area, double margin, double rangeMeters)
{
    const double radius = std::min(area.width(), area.height()) / 2.0 - margin;
    return polarMapping_t(area.center(), radius, rangeMeters);
}

double polarMapping_t::pixelsPerMeter() const
{
    if (!(m_range > 0.0) || !std::isfinite(m_range))
        return 0.0;
    return m_radius / m_range;
}

QPointF polarMapping_t::toPixel(double eastMeters, double northMeters) const
{
    const double scale = pixelsPerMeter();
    // screen y grows downwards, north is up
    return QPointF(m_centre.x() + eastMeters * scale, m_centre.y() - northMeters * scale);
}

QPointF polarMapping_t::polarToPixel(double meters, double bearingDegrees) const
{
    const double bearing = bearingDegrees * DegToRad;
    return toPixel(meters * std::sin(bearing), meters * std::cos(bearing));
}

QPointF polarMapping_t::relativeToPixel(double relativeRange, double bearingDegrees) const
{
    const double bearing = bearingDegrees * DegToRad;
    const double r = relativeRange * m_radius;
    return QPointF(m_centre.x() + r * std::sin(bearing), m_centre.y() - r * std::cos(bearing));
}

QPolygonF polarMapping_t::ellipse(double orientationDegrees, double semiMajor, double semiMinor, int segments) const
{
    QPolygonF polygon;
    if (segments < 4)
        segments = 4;
    const double theta = orientationDegrees * DegToRad;
    // unit vectors (east, north) of the two axes; the minor axis lies 90° clockwise of the major
    const double majorE = std::sin(theta), majorN = std::cos(theta);
    const double minorE = std::cos(theta), minorN = -std::sin(theta);
    polygon.reserve(segments + 1);
    for (int i = 0; i <= segments; ++i) {
        const double t = 2.0 * Pi * (i % segments) / segments;
        const double a = semiMajor * std::cos(t);
        const double b = semiMinor * std::sin(t);
        polygon << toPixel(a * majorE + b * minorE, a * majorN + b * minorN);
    }
    return polygon;
}

QVector<double> polarMapping_t::ringRanges(double range, int count)
{
    QVector<double> rings;
    if (count <= 0 || !std::isfinite(range))
        return rings;
    rings.reserve(count);
    for (int i = 1; i <= count; ++i)
        rings << range * i / count;
    return rings;
}

int polarMapping_t::labelDecimals(QVector<double> const& values, int maxDecimals)
{
    maxDecimals = std::max(0, maxDecimals);
    for (int decimals = 0; decimals < maxDecimals; ++decimals) {
        bool same = true;
        for (double value : values) {
            const double full = QString::number(value, 'f', maxDecimals).toDouble();
            const double shorter = QString::number(value, 'f', decimals).toDouble();
            if (full != shorter) {
                same = false;
                break;
            }
        }
        if (same)
            return decimals;
    }
    return maxDecimals;
}

} // namespace belrix_common_qt_gui
