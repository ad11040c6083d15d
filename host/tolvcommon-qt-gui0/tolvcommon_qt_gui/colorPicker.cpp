#include "tolvcommon_qt_gui/colorPicker.h"

#include <QColorDialog>
#include <QPainter>
#include <QStyleOptionButton>

namespace tolvcommon_qt_gui {

class colorPicker_t::private_t
{
public:
    QColor color{Qt::white};
};

colorPicker_t::colorPicker_t(QWidget* parent) : QPushButton(parent), d(new private_t)
{
    setMinimumSize(40, 20);
    connect(this, &QPushButton::clicked, this, &colorPicker_t::chooseColor);
}

colorPicker_t::~colorPicker_t() { delete d; }

QColor colorPicker_t::selectedColor() const { return d->color; }

void colorPicker_t::selectedColor(QColor const& color)
{
    if (d->color == color)
        return;
    d->color = color;
    setToolTip(color.isValid() ? color.name() : QString());
    update();
    emit colorChanged(color);
}

void colorPicker_t::chooseColor()
{
    const QColor chosen = QColorDialog::getColor(d->color, this, tr("Select Color"));
    if (chosen.isValid())
        selectedColor(chosen);
}

void colorPicker_t::paintEvent(QPaintEvent* event)
{
    QPushButton::paintEvent(event);
    QPainter painter(this);
    const QRect swatch = rect().adjusted(6, 5, -6, -5);
    painter.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::ButtonText));
    painter.setBrush(d->color.isValid() ? QBrush(d->color) : QBrush(Qt::NoBrush));
    painter.drawRect(swatch);
}

} // namespace tolvcommon_qt_gui
