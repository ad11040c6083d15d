#include "belrix_common_qt_gui/colorLegend.h"

#include "belrix_common_qt_gui/guiSettings.h"

#include <QPainter>

#include <algorithm>

namespace belrix_common_qt_gui {

class colorLegend_t::private_t
{
public:
    QVector<item_t> items;
    QString emptyText;
};

colorLegend_t::colorLegend_t(QWidget* parent) : QWidget(parent), d(new private_t)
{
    QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
}

colorLegend_t::~colorLegend_t() { delete d; }

void colorLegend_t::setItems(QVector<item_t> const& items)
{
    const bool sameShape = items.size() == d->items.size();
    d->items = items;
    if (!sameShape)
        updateGeometry();
    update();
}

QVector<colorLegend_t::item_t> colorLegend_t::items() const { return d->items; }

void colorLegend_t::setEmptyText(QString const& text)
{
    d->emptyText = text;
    update();
}

QVector<QPoint> colorLegend_t::layoutItems(int width, int* height) const
{
    QFontMetrics const metrics(font());
    const int line = metrics.height();
    const int gap = metrics.horizontalAdvance(QLatin1Char(' ')) * 3;
    QVector<QPoint> corners;
    corners.reserve(d->items.size());
    int x = 0, y = 0;
    for (item_t const& item : d->items) {
        const int w = line + metrics.horizontalAdvance(item.text);
        if (x > 0 && x + w > width) {
            x = 0;
            y += line;
        }
        corners << QPoint(x, y);
        x += w + gap;
    }
    *height = y + line;
    return corners;
}

bool colorLegend_t::hasHeightForWidth() const { return true; }

int colorLegend_t::heightForWidth(int width) const
{
    int height = 0;
    layoutItems(width, &height);
    return height;
}

QSize colorLegend_t::sizeHint() const
{
    const int width = std::max(200, parentWidget() ? parentWidget()->width() : 400);
    return QSize(width, heightForWidth(width));
}

QSize colorLegend_t::minimumSizeHint() const { return QSize(50, QFontMetrics(font()).height()); }

void colorLegend_t::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    QFontMetrics const metrics(font());
    const int line = metrics.height();
    const QColor text = palette().color(QPalette::WindowText);
    if (d->items.isEmpty()) {
        painter.setPen(text);
        painter.drawText(rect(), Qt::AlignLeft | Qt::AlignTop, d->emptyText);
        return;
    }
    int height = 0;
    const QVector<QPoint> corners = layoutItems(width(), &height);
    guiSettings_t const* settings = guiSettings_t::get();
    const int square = line * 6 / 10;
    for (int i = 0; i < d->items.size(); ++i) {
        const QPoint c = corners[i];
        painter.fillRect(QRect(c.x(), c.y() + (line - square) / 2, square, square),
                         settings->effectiveDataColor(d->items[i].color));
        painter.setPen(text);
        painter.drawText(QRect(c.x() + line, c.y(), width(), line), Qt::AlignLeft | Qt::AlignVCenter, d->items[i].text);
    }
}

} // namespace belrix_common_qt_gui
