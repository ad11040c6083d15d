#include "tolvcommon_qt_gui/ruler.h"

#include <QFontMetricsF>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>

#include <algorithm>
#include <cmath>

namespace tolvcommon_qt_gui {

class ruler_t::private_t
{
public:
    int location = axisTop;
    bool interactive = false;
    double from = 0.0;
    double to = 1.0;
    bool minorTicks = false;
    bool inverted = false;
    QVector<tick_t> table{{0.1, 0}};
    double labelFactor = 1.0;
    double leftMargin = 0.0;
    double rightMargin = 0.0;
    QPointer<QWidget> reference;
    QString caption;
};

ruler_t::ruler_t(QWidget* parent) : QWidget(parent), d(new private_t)
{
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

ruler_t::~ruler_t() { delete d; }

void ruler_t::axisLocation(int location)
{
    d->location = location == axisBottom ? axisBottom : axisTop;
    update();
}

void ruler_t::interactive(bool on)
{
    d->interactive = on;
    setCursor(on ? Qt::PointingHandCursor : Qt::ArrowCursor);
}

void ruler_t::range(double from, double to)
{
    if (!std::isfinite(from) || !std::isfinite(to))
        return;
    d->from = from;
    d->to = to;
    update();
}

void ruler_t::showMinorTicks(bool show)
{
    d->minorTicks = show;
    update();
}

void ruler_t::invert(bool on)
{
    d->inverted = on;
    update();
}

void ruler_t::tickTable(QVector<tick_t> const& table, double labelFactor)
{
    QVector<tick_t> usable;
    for (tick_t const& row : table) {
        if (row.step > 0.0 && std::isfinite(row.step))
            usable.append({row.step, std::max(0, row.minorCount)});
    }
    if (!usable.isEmpty())
        d->table = usable;
    d->labelFactor = std::isfinite(labelFactor) ? labelFactor : 1.0;
    updateGeometry();
    update();
}

void ruler_t::setMargins(double left, double right, QWidget* reference)
{
    d->leftMargin = std::max(0.0, left);
    d->rightMargin = std::max(0.0, right);
    d->reference = reference;
    update();
}

void ruler_t::setCaption(QString const& caption)
{
    d->caption = caption;
    update();
}

double ruler_t::from() const { return d->from; }
double ruler_t::to() const { return d->to; }
bool ruler_t::isInverted() const { return d->inverted; }

double ruler_t::scaleLeft() const
{
    double left = d->leftMargin;
    if (d->reference)
        left += mapFromGlobal(d->reference->mapToGlobal(QPoint(0, 0))).x();
    return left;
}

double ruler_t::scaleRight() const
{
    if (d->reference)
        return mapFromGlobal(d->reference->mapToGlobal(QPoint(d->reference->width(), 0))).x() - d->rightMargin;
    return width() - d->rightMargin;
}

double ruler_t::valueToX(double value) const
{
    const double span = d->to - d->from;
    if (span == 0.0)
        return scaleLeft();
    double f = (value - d->from) / span;
    if (d->inverted)
        f = 1.0 - f;
    return scaleLeft() + f * (scaleRight() - scaleLeft());
}

double ruler_t::xToValue(double x) const
{
    const double width = scaleRight() - scaleLeft();
    if (!(width > 0.0))
        return d->from;
    double f = (x - scaleLeft()) / width;
    if (d->inverted)
        f = 1.0 - f;
    return d->from + f * (d->to - d->from);
}

namespace {

QString tickLabel(double value, double step)
{
    int decimals = 0;
    while (decimals < 4 && std::abs(step * std::pow(10.0, decimals) - std::round(step * std::pow(10.0, decimals))) > 1e-6)
        ++decimals;
    return QString::number(std::abs(value) < 1e-9 ? 0.0 : value, 'f', decimals);
}

// The first row whose labels do not crowd each other at this width, else the last.
ruler_t::tick_t chosenRow(QVector<ruler_t::tick_t> const& table, double low, double high, double pixels,
                          QFontMetricsF const& metrics)
{
    for (ruler_t::tick_t const& row : table) {
        const double label = metrics.horizontalAdvance(tickLabel(std::max(std::abs(low), std::abs(high)), row.step));
        if (high == low || row.step / (high - low) * pixels >= label + 8.0)
            return row;
    }
    return table.last();
}

} // namespace

int ruler_t::minorCount() const
{
    return chosenRow(d->table, std::min(d->from, d->to), std::max(d->from, d->to),
                     std::abs(scaleRight() - scaleLeft()), QFontMetricsF(font()))
        .minorCount;
}

QVector<double> ruler_t::majorTicks() const
{
    const double low = std::min(d->from, d->to);
    const double high = std::max(d->from, d->to);
    const tick_t chosen = chosenRow(d->table, low, high, std::abs(scaleRight() - scaleLeft()), QFontMetricsF(font()));
    QVector<double> ticks;
    // a guard against a table row far too fine for the range
    if ((high - low) / chosen.step > 1000.0)
        return ticks;
    for (double v = std::ceil(low / chosen.step - 1e-9) * chosen.step; v <= high + 1e-9 * chosen.step; v += chosen.step)
        ticks.append(v);
    return ticks;
}

QSize ruler_t::sizeHint() const { return QSize(300, minimumSizeHint().height()); }

QSize ruler_t::minimumSizeHint() const
{
    return QSize(100, int(std::ceil(QFontMetricsF(font()).height())) + 12);
}

void ruler_t::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setFont(font());
    const QColor color = palette().color(QPalette::WindowText);
    painter.setPen(QPen(color, 1.0));
    const QFontMetricsF metrics(font());
    const bool top = d->location == axisTop;
    const double axisY = top ? 0.5 : height() - 0.5;
    const double direction = top ? 1.0 : -1.0;
    const double left = scaleLeft();
    const double right = scaleRight();
    if (!(right > left))
        return;
    painter.drawLine(QPointF(left, axisY), QPointF(right, axisY));

    const QVector<double> ticks = majorTicks();
    const double step = ticks.size() > 1 ? ticks[1] - ticks[0] : std::abs(d->to - d->from);
    const int minors = d->minorTicks ? minorCount() : 0;
    const double low = std::min(d->from, d->to);
    const double high = std::max(d->from, d->to);
    if (minors > 1 && step > 0.0) {
        const double minorStep = step / minors;
        const double first = std::ceil(low / minorStep - 1e-9) * minorStep;
        for (double v = first; v <= high + 1e-9 * minorStep; v += minorStep) {
            const double x = valueToX(v);
            painter.drawLine(QPointF(x, axisY), QPointF(x, axisY + direction * 4.0));
        }
    }
    double captionLeft = right;
    for (double v : ticks) {
        const double x = valueToX(v);
        painter.drawLine(QPointF(x, axisY), QPointF(x, axisY + direction * 8.0));
        const QString label = tickLabel(v * d->labelFactor, step * d->labelFactor);
        const double w = metrics.horizontalAdvance(label) + 4.0;
        QRectF box(x - w / 2.0, top ? 9.0 : height() - 9.0 - metrics.height(), w, metrics.height());
        // the end labels stay whole inside the widget
        box.moveLeft(std::clamp(box.left(), 0.0, std::max(0.0, width() - w)));
        painter.drawText(box, Qt::AlignCenter, label);
        captionLeft = std::max(captionLeft, box.right());
    }
    if (!d->caption.isEmpty()) {
        const QRectF box(captionLeft + 4.0, top ? 9.0 : height() - 9.0 - metrics.height(),
                         std::max(0.0, width() - captionLeft - 4.0), metrics.height());
        painter.drawText(box, Qt::AlignLeft | Qt::AlignVCenter,
                         metrics.elidedText(d->caption, Qt::ElideRight, box.width()));
    }
}

void ruler_t::mousePressEvent(QMouseEvent* event)
{
    if (d->interactive && event->button() == Qt::LeftButton) {
        emit valueClicked(xToValue(event->pos().x()));
        event->accept();
        return;
    }
    QWidget::mousePressEvent(event);
}

} // namespace tolvcommon_qt_gui
