#pragma once

#include "belrix_common_qt_gui_export.h"

#include <QPointF>
#include <QPolygonF>
#include <QRectF>
#include <QVector>

namespace belrix_common_qt_gui {

// Turns ranges in metres and bearings in degrees (clockwise from north) into pixels of a
// north-up polar plot: a circle of radius() pixels around centre() that stands for
// range() metres. Pure geometry, so plots can be tested without painting.
class BELRIX_COMMON_QT_GUI_EXPORT polarMapping_t
{
public:
    polarMapping_t() = default;
    polarMapping_t(QPointF const& centre, double radiusPixels, double rangeMeters);
    // The largest circle that fits in area with margin pixels to spare on every side.
    static polarMapping_t fitted(QRectF const& area, double margin, double rangeMeters);

    QPointF centre() const { return m_centre; }
    double radius() const { return m_radius; }
    double range() const { return m_range; }
    // 0 while the range is not a positive finite number: everything sits at the centre.
    double pixelsPerMeter() const;

    QPointF toPixel(double eastMeters, double northMeters) const;
    QPointF polarToPixel(double meters, double bearingDegrees) const;
    // 1.0 is the rim, whatever the range.
    QPointF relativeToPixel(double relativeRange, double bearingDegrees) const;
    // An ellipse around the centre with its semi-major axis along orientationDegrees,
    // as a closed polygon of segments points starting at the end of the semi-major axis.
    QPolygonF ellipse(double orientationDegrees, double semiMajor, double semiMinor, int segments = 96) const;

    // count rings evenly spaced out to range, innermost first.
    static QVector<double> ringRanges(double range, int count);
    // The fewest decimals (at most maxDecimals) that write every value as exactly as
    // maxDecimals would.
    static int labelDecimals(QVector<double> const& values, int maxDecimals);

private:
    QPointF m_centre;
    double m_radius = 0.0;
    double m_range = 0.0;
};

} // namespace belrix_common_qt_gui
