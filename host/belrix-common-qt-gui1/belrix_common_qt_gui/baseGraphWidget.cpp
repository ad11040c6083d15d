#include "belrix_common_qt_gui/baseGraphWidget.h"

#include "belrix_common_qt_gui/guiSettings.h"

#include <belrix_common_qt/textFormat.h>

#include <QEvent>
#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include <cmath>

namespace belrix_common_qt_gui {

using namespace belrix_common_qt;

class baseGraphWidget_t::private_t
{
public:
    double range = 1.0;
    int labels = graphLabelNone;
    QPixmap grid;
    bool gridValid = false;
};

baseGraphWidget_t::baseGraphWidget_t(QWidget* parent) : QWidget(parent), d(new private_t)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    guiSettings_t* settings = guiSettings_t::get();
    connect(settings, &guiSettings_t::backgroundGraphColorChanged, this, &baseGraphWidget_t::invalidateGrid);
    connect(settings, &guiSettings_t::gridGraphColorChanged, this, &baseGraphWidget_t::invalidateGrid);
    connect(settings, &guiSettings_t::textGraphColorChanged, this, &baseGraphWidget_t::invalidateGrid);
    connect(settings, &guiSettings_t::displayModeChanged, this, &baseGraphWidget_t::invalidateGrid);
    connect(settings, &guiSettings_t::distanceUnitChanged, this, &baseGraphWidget_t::invalidateGrid);
}

baseGraphWidget_t::~baseGraphWidget_t() { delete d; }

double baseGraphWidget_t::range() const { return d->range; }
int baseGraphWidget_t::graphLabelType() const { return d->labels; }

polarMapping_t baseGraphWidget_t::mapping() const
{
    return polarMapping_t::fitted(QRectF(rect()), margin(), d->range);
}

QSize baseGraphWidget_t::sizeHint() const { return QSize(320, 320); }
QSize baseGraphWidget_t::minimumSizeHint() const { return QSize(160, 160); }

void baseGraphWidget_t::setRange(double meters)
{
    if (meters == d->range)
        return;
    d->range = meters;
    invalidateGrid();
}

void baseGraphWidget_t::setGraphLabelType(int type)
{
    if (type == d->labels)
        return;
    d->labels = type;
    invalidateGrid();
}

QColor baseGraphWidget_t::backgroundColor() const { return guiSettings_t::get()->effectiveBackgroundGraphColor(); }
QColor baseGraphWidget_t::gridColor() const { return guiSettings_t::get()->effectiveGridGraphColor(); }
QColor baseGraphWidget_t::textColor() const { return guiSettings_t::get()->effectiveTextGraphColor(); }

double baseGraphWidget_t::margin() const { return QFontMetricsF(font()).height() * 1.3 + 2.0; }

void baseGraphWidget_t::invalidateGrid()
{
    d->gridValid = false;
    update();
}

void baseGraphWidget_t::drawLabel(QPainter& painter, QPointF const& centre, QString const& text,
                                  QColor const& color) const
{
    const QFontMetricsF metrics(painter.font());
    QRectF box(0.0, 0.0, metrics.horizontalAdvance(text) + 4.0, metrics.height());
    box.moveCenter(centre);
    QColor halo = backgroundColor();
    halo.setAlpha(200);
    painter.fillRect(box, halo);
    painter.setPen(color);
    painter.drawText(box, Qt::AlignCenter, text);
}

void baseGraphWidget_t::drawGrid(QPainter& painter, polarMapping_t const& mapping)
{
    const QPointF c = mapping.centre();
    const double r = mapping.radius();
    if (r <= 1.0)
        return;
    const QColor grid = gridColor();
    const QColor text = textColor();

    // rings, then the rim a little stronger
    QPen ringPen(grid, 1.0, Qt::DashLine);
    ringPen.setCosmetic(true);
    painter.setPen(ringPen);
    painter.setBrush(Qt::NoBrush);
    for (int i = 1; i < RingCount; ++i)
        painter.drawEllipse(c, r * i / RingCount, r * i / RingCount);
    QPen axisPen(grid, 1.0, Qt::DotLine);
    axisPen.setCosmetic(true);
    painter.setPen(axisPen);
    painter.drawLine(QPointF(c.x() - r, c.y()), QPointF(c.x() + r, c.y()));
    painter.drawLine(QPointF(c.x(), c.y() - r), QPointF(c.x(), c.y() + r));
    QPen rimPen(grid, 1.5);
    painter.setPen(rimPen);
    painter.drawEllipse(c, r, r);

    // ticks every 10°, longer every 30°
    for (int bearing = 0; bearing < 360; bearing += 10) {
        const double inner = bearing % 30 == 0 ? 0.94 : 0.97;
        painter.drawLine(mapping.relativeToPixel(inner, bearing), mapping.relativeToPixel(1.0, bearing));
    }

    // cardinal letters just outside the rim
    const QFontMetricsF metrics(painter.font());
    const double out = 1.0 + (metrics.height() * 0.65) / r;
    static const char* const cardinals[] = {"N", "E", "S", "W"};
    for (int i = 0; i < 4; ++i) {
        painter.setPen(text);
        QFont bold = painter.font();
        bold.setBold(i == 0);
        painter.save();
        painter.setFont(bold);
        const QPointF at = mapping.relativeToPixel(out, 90.0 * i);
        QRectF box(0.0, 0.0, metrics.height() * 1.5, metrics.height());
        box.moveCenter(at);
        painter.drawText(box, Qt::AlignCenter, QLatin1String(cardinals[i]));
        painter.restore();
    }

    if (d->labels != graphLabelHorizontal && d->labels != graphLabelVertical)
        return;
    if (!(d->range > 0.0) || !std::isfinite(d->range))
        return;
    const distanceUnit_t unit = guiSettings_t::get()->distanceUnit();
    const QStringList labels = ringLabels(d->range, unit);
    const int unitLength = distanceUnitSymbol(unit).size() + 1;
    // Each label sits just inside its ring, beside the axis; only the outermost carries
    // the unit. Outermost first, and an inner one that would cover its outer neighbour
    // on a small plot is left out.
    QRectF outer;
    for (int i = labels.size() - 1; i >= 0; --i) {
        QString label = labels.at(i);
        if (i < labels.size() - 1)
            label.chop(unitLength);
        const double ringRadius = r * (i + 1) / RingCount;
        const QSizeF size(metrics.horizontalAdvance(label) + 4.0, metrics.height());
        QRectF box(QPointF(), size);
        if (d->labels == graphLabelHorizontal)
            box.moveCenter(QPointF(c.x() + ringRadius - 3.0 - size.width() / 2.0, c.y() - size.height() / 2.0 - 1.0));
        else
            box.moveCenter(QPointF(c.x() + 3.0 + size.width() / 2.0, c.y() - ringRadius + 2.0 + size.height() / 2.0));
        if (!outer.isNull() && box.intersects(outer))
            continue;
        drawLabel(painter, box.center(), label, text);
        outer = box;
    }
}

QStringList baseGraphWidget_t::ringLabels(double range, distanceUnit_t unit)
{
    QStringList labels;
    if (!(range > 0.0) || !std::isfinite(range))
        return labels;
    const QVector<double> rings = polarMapping_t::ringRanges(range, RingCount);
    QVector<double> inUnit;
    for (double ring : rings)
        inUnit << metersToUnit(ring, unit);
    const double smallest = inUnit.first();
    const int significant = smallest > 0.0 ? int(2 - std::floor(std::log10(smallest))) : 2;
    const int decimals = polarMapping_t::labelDecimals(inUnit, qBound(0, significant, 4));
    for (double ring : rings)
        labels << distanceString(ring, unit, decimals);
    return labels;
}

void baseGraphWidget_t::paintEvent(QPaintEvent*)
{
    const polarMapping_t map = mapping();
    const qreal ratio = devicePixelRatioF();
    if (!d->gridValid || d->grid.devicePixelRatio() != ratio || d->grid.size() != size() * ratio) {
        d->grid = QPixmap(size() * ratio);
        d->grid.setDevicePixelRatio(ratio);
        d->grid.fill(backgroundColor());
        QPainter gridPainter(&d->grid);
        gridPainter.setRenderHint(QPainter::Antialiasing);
        gridPainter.setFont(font());
        drawGrid(gridPainter, map);
        d->gridValid = true;
    }
    QPainter painter(this);
    painter.drawPixmap(0, 0, d->grid);
    painter.setRenderHint(QPainter::Antialiasing);
    drawData(painter, map);
}

void baseGraphWidget_t::resizeEvent(QResizeEvent* event)
{
    d->gridValid = false;
    QWidget::resizeEvent(event);
}

void baseGraphWidget_t::changeEvent(QEvent* event)
{
    switch (event->type()) {
    case QEvent::PaletteChange:
    case QEvent::FontChange:
    case QEvent::StyleChange:
        invalidateGrid();
        break;
    default:
        break;
    }
    QWidget::changeEvent(event);
}

} // namespace belrix_common_qt_gui
