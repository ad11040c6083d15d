#include "belrix_common_qt_gui/headingWidgetBase.h"

#include "belrix_common_qt_gui/guiSettings.h"
#include "belrix_common_qt_gui/headingScale.h"

#include <QEvent>
#include <QPainter>
#include <QPixmap>

#include <cmath>

namespace belrix_common_qt_gui {

class headingWidgetBase_t::private_t
{
public:
    bool hasHeading = false;
    double heading = 0.0;
    QColor deviceColor{Qt::darkGray};
    QPixmap cache;
    bool cacheValid = false;
};

headingWidgetBase_t::headingWidgetBase_t(QWidget* parent) : QWidget(parent), d(new private_t)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    guiSettings_t* settings = guiSettings_t::get();
    connect(settings, &guiSettings_t::backgroundGraphColorChanged, this, &headingWidgetBase_t::invalidateStatic);
    connect(settings, &guiSettings_t::gridGraphColorChanged, this, &headingWidgetBase_t::invalidateStatic);
    connect(settings, &guiSettings_t::textGraphColorChanged, this, &headingWidgetBase_t::invalidateStatic);
    connect(settings, &guiSettings_t::displayModeChanged, this, &headingWidgetBase_t::invalidateStatic);
}

headingWidgetBase_t::~headingWidgetBase_t() { delete d; }

bool headingWidgetBase_t::hasHeading() const { return d->hasHeading; }
double headingWidgetBase_t::heading() const { return d->heading; }
QColor headingWidgetBase_t::deviceColor() const { return d->deviceColor; }

void headingWidgetBase_t::setHeading(float degrees)
{
    if (!std::isfinite(degrees)) {
        clear();
        return;
    }
    const double heading = headingScale_t::normalized(degrees);
    if (d->hasHeading && heading == d->heading)
        return;
    d->hasHeading = true;
    d->heading = heading;
    headingChanged();
    update();
}

void headingWidgetBase_t::clear()
{
    if (!d->hasHeading)
        return;
    d->hasHeading = false;
    headingChanged();
    update();
}

void headingWidgetBase_t::handleNewDeviceColor(QColor const& color)
{
    if (color == d->deviceColor)
        return;
    d->deviceColor = color;
    // the device's colour is on the lubber line and ticks of the cached layer too
    invalidateStatic();
}

QColor headingWidgetBase_t::backgroundColor() const { return guiSettings_t::get()->effectiveBackgroundGraphColor(); }
QColor headingWidgetBase_t::scaleColor() const { return guiSettings_t::get()->effectiveGridGraphColor(); }
QColor headingWidgetBase_t::textColor() const { return guiSettings_t::get()->effectiveTextGraphColor(); }

QColor headingWidgetBase_t::dataColor() const
{
    return guiSettings_t::get()->effectiveDataColor(d->deviceColor.isValid() ? d->deviceColor : textColor());
}

void headingWidgetBase_t::invalidateStatic()
{
    d->cacheValid = false;
    update();
}

void headingWidgetBase_t::paintEvent(QPaintEvent*)
{
    const qreal ratio = devicePixelRatioF();
    if (!d->cacheValid || d->cache.devicePixelRatio() != ratio || d->cache.size() != size() * ratio) {
        d->cache = QPixmap(size() * ratio);
        d->cache.setDevicePixelRatio(ratio);
        d->cache.fill(backgroundColor());
        QPainter cachePainter(&d->cache);
        cachePainter.setRenderHint(QPainter::Antialiasing);
        cachePainter.setFont(font());
        drawStatic(cachePainter);
        d->cacheValid = true;
    }
    QPainter painter(this);
    painter.drawPixmap(0, 0, d->cache);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setFont(font());
    drawLive(painter);
}

void headingWidgetBase_t::resizeEvent(QResizeEvent* event)
{
    d->cacheValid = false;
    QWidget::resizeEvent(event);
}

void headingWidgetBase_t::changeEvent(QEvent* event)
{
    switch (event->type()) {
    case QEvent::PaletteChange:
    case QEvent::FontChange:
    case QEvent::StyleChange:
        invalidateStatic();
        break;
    default:
        break;
    }
    QWidget::changeEvent(event);
}

} // namespace belrix_common_qt_gui
