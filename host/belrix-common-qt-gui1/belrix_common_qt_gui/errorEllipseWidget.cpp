#include "belrix_common_qt_gui/errorEllipseWidget.h"

#include <belrix_common_qt/textFormat.h>

#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace belrix_common_qt_gui {

namespace {
constexpr double MinimumVisibleRadius = 3.0;   // pixels
// Up to this many ellipses get a bold outline. A wider pen goes through Qt's stroker, which
// costs about ten times a one-pixel line: a plot of every receiver draws thin ones, which
// also keeps a hundred overlapping outlines from filling the plot.
constexpr int MaxBoldOutlines = 8;
}

class errorEllipseWidget_t::private_t
{
public:
    QList<ellipse_t> ellipses;
};

errorEllipseWidget_t::errorEllipseWidget_t(QWidget* parent) : baseGraphWidget_t(parent), d(new private_t) {}

errorEllipseWidget_t::~errorEllipseWidget_t() { delete d; }

QList<errorEllipseWidget_t::ellipse_t> errorEllipseWidget_t::ellipses() const { return d->ellipses; }

void errorEllipseWidget_t::clear()
{
    if (d->ellipses.isEmpty())
        return;
    d->ellipses.clear();
    update();
}

void errorEllipseWidget_t::addEllipse(double orientationDegrees, double semiMajor, double semiMinor, double range,
                                      QColor const& color)
{
    ellipse_t ellipse;
    ellipse.orientation = orientationDegrees;
    ellipse.semiMajor = semiMajor;
    ellipse.semiMinor = semiMinor;
    ellipse.range = range;
    ellipse.color = color;
    d->ellipses.append(ellipse);
    update();
}

void errorEllipseWidget_t::drawData(QPainter& painter, polarMapping_t const& mapping)
{
    const QPointF c = mapping.centre();
    const double r = mapping.radius();
    if (r <= 1.0)
        return;
    if (d->ellipses.isEmpty()) {
        QColor faint = textColor();
        faint.setAlphaF(0.6);
        drawLabel(painter, QPointF(c.x(), c.y() + r / 2.0), belrix_common_qt::NoDataString, faint);
        return;
    }

    QPainterPath plot;
    plot.addEllipse(c, r, r);
    // largest first, so a small ellipse is never hidden under a large one
    QList<ellipse_t> order = d->ellipses;
    const bool bold = order.size() <= MaxBoldOutlines;
    auto outlinePen = [bold](QColor const& color) {
        QPen pen(color, bold ? 2.0 : 1.0);
        pen.setCosmetic(!bold);
        return pen;
    };
    const double plotRange = mapping.range();
    auto shownSize = [plotRange](ellipse_t const& e) {
        const double size = std::fabs(e.semiMajor) / (e.range > 0.0 ? e.range : plotRange);
        return std::isfinite(size) ? size : 0.0;
    };
    std::stable_sort(order.begin(), order.end(),
                     [&shownSize](ellipse_t const& a, ellipse_t const& b) { return shownSize(a) > shownSize(b); });
    for (ellipse_t const& ellipse : order) {
        if (!std::isfinite(ellipse.orientation) || !std::isfinite(ellipse.semiMajor)
            || !std::isfinite(ellipse.semiMinor) || !std::isfinite(ellipse.range))
            continue;
        const double scaleRange = ellipse.range > 0.0 ? ellipse.range : mapping.range();
        const polarMapping_t own(c, r, scaleRange);
        const double ppm = own.pixelsPerMeter();
        const double a = std::fabs(ellipse.semiMajor);
        const double b = std::fabs(ellipse.semiMinor);
        const QColor color = ellipse.color.isValid() ? ellipse.color : textColor();

        // An ellipse that overruns the plot is cut to it by geometry, not by a clip on the
        // painter: a clip costs a mask per ellipse, and a huge polygon would ask the
        // rasteriser for coordinates far off the screen. The cut follows the rim.
        const QPolygonF outline = own.ellipse(ellipse.orientation, a, b, 72);
        QColor fill = color;
        fill.setAlpha(48);
        QPainterPath shape;
        if (a * ppm > r) {
            shape.addPolygon(outline);
            shape.closeSubpath();
            shape = shape.intersected(plot);
        }
        // The fill is drawn without antialiasing, under an antialiased outline that hides its
        // edge: smoothing a translucent fill costs more than everything else drawn here.
        painter.setRenderHint(QPainter::Antialiasing, false);
        painter.setPen(Qt::NoPen);
        painter.setBrush(fill);
        if (shape.isEmpty())
            painter.drawPolygon(outline);
        else
            painter.drawPath(shape);
        painter.setRenderHint(QPainter::Antialiasing, true);
        painter.setPen(outlinePen(color));
        painter.setBrush(Qt::NoBrush);
        if (shape.isEmpty())
            painter.drawPolygon(outline);
        else
            painter.drawPath(shape);
        if (a * ppm < MinimumVisibleRadius) {
            // too small to see at this range: a dot says it is there, the rings say how small
            painter.setPen(Qt::NoPen);
            painter.setBrush(color);
            painter.drawEllipse(c, MinimumVisibleRadius, MinimumVisibleRadius);
        } else {
            // the semi-major axis shows the orientation even when the ellipse is nearly round
            painter.setPen(QPen(color, 1.0, Qt::DashLine));
            const double shown = std::min(a, r / ppm);
            painter.drawLine(own.polarToPixel(shown, ellipse.orientation),
                             own.polarToPixel(shown, ellipse.orientation + 180.0));
        }
    }

    // the centre all ellipses share
    painter.setPen(QPen(textColor(), 1.5));
    painter.drawLine(QPointF(c.x() - 6.0, c.y()), QPointF(c.x() - 2.0, c.y()));
    painter.drawLine(QPointF(c.x() + 2.0, c.y()), QPointF(c.x() + 6.0, c.y()));
    painter.drawLine(QPointF(c.x(), c.y() - 6.0), QPointF(c.x(), c.y() - 2.0));
    painter.drawLine(QPointF(c.x(), c.y() + 2.0), QPointF(c.x(), c.y() + 6.0));
}

} // namespace belrix_common_qt_gui
