#include "belrix_common_qt_gui/skyPlotWidget.h"

#include "belrix_common_qt_gui/guiSettings.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>
#include <map>

namespace belrix_common_qt_gui {

using namespace belrix_common_qt;

namespace {
// degrees from the zenith to the horizon: the plot's range
constexpr double HorizonDistance = 90.0;
} // namespace

class skyPlotWidget_t::private_t
{
public:
    QVector<satellite_t> satellites;
    double mask = 0.0;
};

skyPlotWidget_t::skyPlotWidget_t(QWidget* parent) : baseGraphWidget_t(parent), d(new private_t)
{
    setRange(HorizonDistance);
    setGraphLabelType(graphLabelNone);
}

skyPlotWidget_t::~skyPlotWidget_t() { delete d; }

void skyPlotWidget_t::setSatellites(QVector<satellite_t> const& satellites)
{
    d->satellites = satellites;
    update();
}

QVector<skyPlotWidget_t::satellite_t> skyPlotWidget_t::satellites() const { return d->satellites; }

void skyPlotWidget_t::setElevationMask(double degrees)
{
    if (!std::isfinite(degrees) || degrees == d->mask)
        return;
    d->mask = degrees;
    invalidateGrid();
}

double skyPlotWidget_t::elevationMask() const { return d->mask; }

QPointF skyPlotWidget_t::skyPoint(polarMapping_t const& mapping, double azimuth, double elevation)
{
    const double distance = HorizonDistance - std::clamp(elevation, 0.0, 90.0);
    return mapping.relativeToPixel(distance / HorizonDistance, azimuth);
}

QColor skyPlotWidget_t::constellationColor(constellation_t constellation)
{
    // told apart by hue and by lightness, so they stay distinct when dimmed at night
    switch (constellation) {
    case constellationGps: return QColor(0x1f, 0x6f, 0xd0);
    case constellationGlonass: return QColor(0xd6, 0x27, 0x28);
    case constellationGalileo: return QColor(0x2c, 0xa0, 0x2c);
    case constellationBeidou: return QColor(0xe0, 0x8a, 0x00);
    case constellationSbas: return QColor(0x94, 0x67, 0xbd);
    case constellationQzss: return QColor(0x17, 0xa8, 0xb8);
    case constellationCorrection: return QColor(0xc2, 0x4f, 0x9f);
    case constellationUnknown: break;
    }
    return QColor(0x80, 0x80, 0x80);
}

double skyPlotWidget_t::margin() const { return QFontMetricsF(font()).height() * 1.3 + 4.0; }

void skyPlotWidget_t::drawGrid(QPainter& painter, polarMapping_t const& mapping)
{
    const QPointF c = mapping.centre();
    const double r = mapping.radius();
    if (r <= 1.0)
        return;
    const QColor grid = gridColor();
    const QColor text = textColor();

    // below the mask: satellites there are not used, so the band is shaded
    if (d->mask > 0.0) {
        QColor shade = grid;
        shade.setAlpha(60);
        QPainterPath band;
        band.addEllipse(c, r, r);
        const double inner = r * (HorizonDistance - std::min(d->mask, 90.0)) / HorizonDistance;
        band.addEllipse(c, inner, inner);
        painter.fillPath(band, shade);
        QPen maskPen(grid, 1.0, Qt::DashDotLine);
        maskPen.setCosmetic(true);
        painter.setPen(maskPen);
        painter.setBrush(Qt::NoBrush);
        painter.drawEllipse(c, inner, inner);
    }

    QPen ringPen(grid, 1.0, Qt::DashLine);
    ringPen.setCosmetic(true);
    painter.setPen(ringPen);
    painter.setBrush(Qt::NoBrush);
    for (double elevation : {30.0, 60.0}) {
        const double ring = r * (HorizonDistance - elevation) / HorizonDistance;
        painter.drawEllipse(c, ring, ring);
    }
    QPen spokePen(grid, 1.0, Qt::DotLine);
    spokePen.setCosmetic(true);
    painter.setPen(spokePen);
    for (int bearing = 0; bearing < 180; bearing += 30)
        painter.drawLine(mapping.relativeToPixel(1.0, bearing), mapping.relativeToPixel(1.0, bearing + 180));
    painter.setPen(QPen(grid, 1.5));
    painter.drawEllipse(c, r, r);

    // elevations along the north spoke, the mask's at its edge
    for (double elevation : {30.0, 60.0})
        drawLabel(painter, skyPoint(mapping, 15.0, elevation), QStringLiteral("%1°").arg(elevation), text);
    if (d->mask > 0.0) {
        drawLabel(painter, skyPoint(mapping, 195.0, d->mask),
                  tr("mask %1°").arg(QString::number(d->mask, 'f', d->mask == std::floor(d->mask) ? 0 : 1)), text);
    }

    const QFontMetricsF metrics(painter.font());
    const double out = 1.0 + (metrics.height() * 0.75) / r;
    static const char* const cardinals[] = {"N", "E", "S", "W"};
    painter.setPen(text);
    for (int i = 0; i < 4; ++i) {
        QRectF box(0.0, 0.0, metrics.height() * 1.5, metrics.height());
        box.moveCenter(mapping.relativeToPixel(out, 90.0 * i));
        painter.drawText(box, Qt::AlignCenter, QLatin1String(cardinals[i]));
    }
}

void skyPlotWidget_t::drawData(QPainter& painter, polarMapping_t const& mapping)
{
    guiSettings_t const* settings = guiSettings_t::get();
    const QColor text = textColor();
    const QFontMetricsF metrics(painter.font());
    const double marker = std::max(4.0, metrics.height() * 0.45);
    std::map<int, int> inView;   // per constellation: in view, for the legend
    int used = 0;

    for (satellite_t const& s : d->satellites) {
        const QColor color = settings->effectiveDataColor(constellationColor(s.constellation));
        const QPointF at = skyPoint(mapping, s.azimuth, s.elevation);
        painter.setPen(QPen(color, 2.0));
        painter.setBrush(s.used ? QBrush(color) : Qt::NoBrush);
        painter.drawEllipse(at, marker, marker);
        QString label = navSatLabel(s.number);
        if (std::isfinite(s.level))
            label += QLatin1Char(' ') + QString::number(std::lround(s.level));
        painter.setPen(text);
        painter.drawText(QPointF(at.x() + marker + 2.0, at.y() + metrics.ascent() / 2.0 - 1.0), label);
        ++inView[int(s.constellation)];
        used += s.used ? 1 : 0;
    }

    // legend in the top left corner: the constellations in view, then what a fill means
    double y = 4.0;
    const double line = metrics.height() + 2.0;
    auto row = [&](QColor const& color, bool filled, QString const& caption) {
        const QPointF dot(4.0 + marker, y + line / 2.0);
        painter.setPen(QPen(color, 2.0));
        painter.setBrush(filled ? QBrush(color) : Qt::NoBrush);
        painter.drawEllipse(dot, marker * 0.8, marker * 0.8);
        painter.setPen(text);
        painter.drawText(QPointF(dot.x() + marker + 4.0, y + line / 2.0 + metrics.ascent() / 2.0 - 1.0), caption);
        y += line;
    };
    for (auto const& [constellation, count] : inView) {
        const auto c = constellation_t(constellation);
        row(settings->effectiveDataColor(constellationColor(c)), true,
            QStringLiteral("%1 %2").arg(toString(c, false)).arg(count));
    }
    row(text, true, tr("used: %1").arg(used));
    row(text, false, tr("not used: %1").arg(d->satellites.size() - used));
}

} // namespace belrix_common_qt_gui
