#include "belrix_common_qt_gui/qualityLight.h"

#include "belrix_common_qt_gui/guiSettings.h"
#include "belrix_common_qt_gui/styleManager.h"

#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QPointer>
#include <QRadialGradient>

#include <algorithm>

namespace belrix_common_qt_gui {

namespace {
constexpr int MinimumDiameter = 14;

QString levelName(quality_t quality)
{
    switch (quality) {
    case qualityBad: return qualityLight_t::tr("Bad");
    case qualityMarginal: return qualityLight_t::tr("Marginal");
    case qualityGood: return qualityLight_t::tr("Good");
    case qualityOff: break;
    }
    return qualityLight_t::tr("Off");
}
} // namespace

class qualityLight_t::private_t
{
public:
    QPointer<QLabel> label;
    quality_t quality = qualityOff;
    bool drawn = false;
    bool drawnNight = false;
};

qualityLight_t::qualityLight_t(QLabel* label, QObject* parent) : QObject(parent), d(new private_t)
{
    d->label = label;
    if (label) {
        label->setAlignment(Qt::AlignCenter);
        label->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    }
    connect(guiSettings_t::get(), &guiSettings_t::displayModeChanged, this, &qualityLight_t::redraw);
    connect(styleManager_t::get(), &styleManager_t::globalTagsChanged, this, &qualityLight_t::redraw);
    redraw();
}

qualityLight_t::~qualityLight_t() { delete d; }

quality_t qualityLight_t::quality() const { return d->quality; }

QLabel* qualityLight_t::label() const { return d->label; }

QColor qualityLight_t::lampColor(quality_t quality, bool night)
{
    // Night colours stay apart from each other and from the unlit lamp on the grey night
    // palette, without any bright part that would spoil the watch's dark adaptation.
    switch (quality) {
    case qualityBad: return night ? QColor(0x9a, 0x14, 0x14) : QColor(0xe0, 0x1e, 0x1e);
    case qualityMarginal: return night ? QColor(0xa0, 0x78, 0x00) : QColor(0xff, 0xb4, 0x00);
    case qualityGood: return night ? QColor(0x14, 0x80, 0x0a) : QColor(0x1e, 0xc0, 0x05);
    case qualityOff: break;
    }
    return night ? QColor(0x3a, 0x3a, 0x3a) : QColor(0x5a, 0x5a, 0x5a);
}

bool qualityLight_t::isNightMode()
{
    return guiSettings_t::get()->displayMode() == belrix_common_qt::displayModeNight
        || styleManager_t::get()->hasGlobalTag(guiSettings_t::nightModeTag);
}

void qualityLight_t::setQuality(quality_t quality)
{
    // Clock ticks set the same level again and again; repaint only on a change.
    if (d->drawn && quality == d->quality && d->drawnNight == isNightMode())
        return;
    d->quality = quality;
    redraw();
}

void qualityLight_t::redraw()
{
    QLabel* label = d->label;
    const bool night = isNightMode();
    d->drawn = true;
    d->drawnNight = night;
    if (!label)
        return;

    const int diameter = std::max(MinimumDiameter, label->fontMetrics().height());
    const qreal ratio = label->devicePixelRatioF();
    QPixmap pixmap(QSize(diameter, diameter) * ratio);
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::transparent);

    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor lamp = lampColor(d->quality, night);
    const QRectF circle(1.0, 1.0, diameter - 2.0, diameter - 2.0);
    painter.setPen(QPen(night ? QColor(0x10, 0x10, 0x10) : QColor(0x20, 0x20, 0x20), 1.0));
    if (d->quality != qualityOff && !night) {
        // a lit lamp glows from its upper left
        QRadialGradient glow(circle.center() - QPointF(diameter / 5.0, diameter / 5.0), diameter * 0.7);
        glow.setColorAt(0.0, lamp.lighter(160));
        glow.setColorAt(1.0, lamp);
        painter.setBrush(glow);
    } else {
        painter.setBrush(lamp);
    }
    painter.drawEllipse(circle);
    painter.end();

    label->setPixmap(pixmap);
    label->setFixedSize(QSize(diameter, diameter));
    label->setAccessibleName(levelName(d->quality));
}

} // namespace belrix_common_qt_gui
