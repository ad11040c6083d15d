#include "belrix_common_qt_gui/positionComparisonWidget.h"

#include <belrix_common_qt/textFormat.h>

#include <QFontMetricsF>
#include <QHash>
#include <QPainter>
#include <QPainterPath>
#include <QVector>

#include <cmath>
#include <belrix_common_qt/navConstants.h>

namespace belrix_common_qt_gui {

class positionComparisonWidget_t::private_t
{
public:
    QVector<point_t> points;
    QHash<QString, int> index;   // name -> place in points

    void reindex()
    {
        index.clear();
        for (int i = 0; i < points.size(); ++i)
            index.insert(points.at(i).name, i);
    }
};

positionComparisonWidget_t::positionComparisonWidget_t(QWidget* parent)
    : baseGraphWidget_t(parent), d(new private_t)
{
}

positionComparisonWidget_t::~positionComparisonWidget_t() { delete d; }

QList<positionComparisonWidget_t::point_t> positionComparisonWidget_t::positions() const
{
    QList<point_t> list;
    for (point_t const& point : d->points)
        list.append(point);
    return list;
}

bool positionComparisonWidget_t::hasPosition(QString const& name) const { return d->index.contains(name); }

void positionComparisonWidget_t::addPosition(QString const& name, double relativeRange, double bearing,
                                             QColor const& color)
{
    point_t point;
    point.name = name;
    point.relativeRange = relativeRange;
    point.bearing = bearing;
    point.color = color;
    const auto found = d->index.constFind(name);
    if (found != d->index.constEnd()) {
        d->points[found.value()] = point;
    } else {
        d->index.insert(name, d->points.size());
        d->points.append(point);
    }
    update();
}

void positionComparisonWidget_t::removePosition(QString const& name)
{
    const auto found = d->index.constFind(name);
    if (found == d->index.constEnd())
        return;
    d->points.remove(found.value());
    d->reindex();
    update();
}

void positionComparisonWidget_t::clear()
{
    if (d->points.isEmpty())
        return;
    d->points.clear();
    d->index.clear();
    update();
}

double positionComparisonWidget_t::margin() const
{
    // room for three-digit bearings beside the rim
    const QFontMetricsF metrics(font());
    return metrics.horizontalAdvance(QStringLiteral("000")) + 6.0;
}

void positionComparisonWidget_t::drawGrid(QPainter& painter, polarMapping_t const& mapping)
{
    baseGraphWidget_t::drawGrid(painter, mapping);
    const double r = mapping.radius();
    if (r <= 1.0)
        return;
    const QFontMetricsF metrics(painter.font());
    const double out = 1.0 + (metrics.horizontalAdvance(QStringLiteral("000")) * 0.5 + 4.0) / r;
    painter.setPen(textColor());
    for (int bearing = 30; bearing < 360; bearing += 30) {
        if (bearing % 90 == 0)
            continue;   // the cardinal letters are there
        const QPointF at = mapping.relativeToPixel(out, bearing);
        QRectF box(0.0, 0.0, metrics.horizontalAdvance(QStringLiteral("000")) + 2.0, metrics.height());
        box.moveCenter(at);
        painter.drawText(box, Qt::AlignCenter, QStringLiteral("%1").arg(bearing, 3, 10, QLatin1Char('0')));
    }
}

void positionComparisonWidget_t::drawData(QPainter& painter, polarMapping_t const& mapping)
{
    const QPointF c = mapping.centre();
    const double r = mapping.radius();
    if (r <= 1.0)
        return;
    const QColor text = textColor();

    // the centre everything is measured from
    painter.setPen(QPen(text, 1.5));
    painter.drawLine(QPointF(c.x() - 7.0, c.y()), QPointF(c.x() + 7.0, c.y()));
    painter.drawLine(QPointF(c.x(), c.y() - 7.0), QPointF(c.x(), c.y() + 7.0));

    if (d->points.isEmpty()) {
        QColor faint = text;
        faint.setAlphaF(0.6);
        drawLabel(painter, QPointF(c.x(), c.y() + r / 2.0), belrix_common_qt::NoDataString, faint);
        return;
    }

    struct placed_t {
        QPointF at;
        QString label;
        QColor color;
    };
    QVector<placed_t> placed;
    placed.reserve(d->points.size());
    QVector<QRectF> taken;   // markers and labels already on the plot
    for (point_t const& point : d->points) {
        if (!std::isfinite(point.bearing))
            continue;
        const double relative = std::fabs(point.relativeRange);
        const bool beyond = !(relative <= 1.0);
        const QColor color = point.color.isValid() ? point.color : text;
        const QPointF at = mapping.relativeToPixel(beyond ? 1.0 : relative, point.bearing);

        painter.setPen(QPen(text, 1.0));
        painter.setBrush(color);
        if (beyond) {
            // an arrowhead on the rim, pointing away from the centre
            const double b = point.bearing * belrix_common_qt::DegToRad;
            const QPointF out(std::sin(b), -std::cos(b));
            const QPointF side(-out.y(), out.x());
            QPolygonF arrow;
            arrow << at + out * 8.0 << at - out * 6.0 + side * 6.0 << at - out * 6.0 - side * 6.0;
            painter.drawPolygon(arrow);
        } else {
            painter.drawEllipse(at, 5.0, 5.0);
        }
        taken << QRectF(at.x() - 6.0, at.y() - 6.0, 12.0, 12.0);
        placed << placed_t{at, beyond ? point.name + QStringLiteral(" \u2192") : point.name,
                           color.lightnessF() > 0.8 ? text : color};
    }

    // each name beside its point, in the first of a few places that covers nothing drawn yet
    const QFontMetricsF metrics(painter.font());
    // inside the rim, so no name covers the bearings around it
    auto insidePlot = [c, r](QRectF const& box) {
        for (QPointF const& corner : {box.topLeft(), box.topRight(), box.bottomLeft(), box.bottomRight()}) {
            const QPointF d = corner - c;
            if (d.x() * d.x() + d.y() * d.y() > r * r)
                return false;
        }
        return true;
    };
    for (placed_t const& label : placed) {
        const QSizeF size(metrics.horizontalAdvance(label.label) + 4.0, metrics.height());
        const double dx = 9.0 + size.width() / 2.0;
        const double dy = metrics.height() * 0.7;
        const QPointF offsets[] = {{dx, -dy}, {-dx, -dy}, {dx, dy}, {-dx, dy}, {0.0, -2.0 * dy}, {0.0, 2.0 * dy}};
        QRectF chosen;
        for (QPointF const& offset : offsets) {
            QRectF box(QPointF(), size);
            box.moveCenter(label.at + offset);
            if (!insidePlot(box))
                continue;
            bool free = true;
            for (QRectF const& other : taken) {
                if (other.intersects(box)) {
                    free = false;
                    break;
                }
            }
            if (free) {
                chosen = box;
                break;
            }
        }
        if (chosen.isNull()) {
            // crowded: keep it readable next to its point even if it overlaps
            chosen = QRectF(QPointF(), size);
            chosen.moveCenter(label.at + (label.at.x() > c.x() ? QPointF(-dx, -dy) : QPointF(dx, -dy)));
        }
        taken << chosen;
        drawLabel(painter, chosen.center(), label.label, label.color);
    }
}

} // namespace belrix_common_qt_gui
