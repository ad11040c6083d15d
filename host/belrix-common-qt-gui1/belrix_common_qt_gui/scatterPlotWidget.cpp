#include "belrix_common_qt_gui/scatterPlotWidget.h"

#include "belrix_common_qt_gui/guiSettings.h"

#include <QPainter>
#include <QPainterPath>

namespace belrix_common_qt_gui {

class scatterPlotWidget_t::private_t
{
public:
    QVector<QPointF> offsets;
    double circle = 0.0;
    QColor color;
};

scatterPlotWidget_t::scatterPlotWidget_t(QWidget* parent) : baseGraphWidget_t(parent), d(new private_t)
{
    setGraphLabelType(belrix_common_qt::graphLabelHorizontal);
}

scatterPlotWidget_t::~scatterPlotWidget_t() { delete d; }

void scatterPlotWidget_t::setPoints(QVector<QPointF> const& offsets, double circleRadius, QColor const& color)
{
    d->offsets = offsets;
    d->circle = circleRadius;
    d->color = color;
    update();
}

void scatterPlotWidget_t::drawData(QPainter& painter, polarMapping_t const& mapping)
{
    if (d->offsets.isEmpty())
        return;
    const QColor color = guiSettings_t::get()->effectiveDataColor(d->color);
    // clipped at the rim like the ellipses, so the rings always tell the scale
    painter.save();
    QPainterPath rim;
    rim.addEllipse(mapping.centre(), mapping.radius(), mapping.radius());
    painter.setClipPath(rim);
    painter.setPen(Qt::NoPen);
    painter.setBrush(color);
    for (int i = 0; i + 1 < d->offsets.size(); ++i)
        painter.drawEllipse(mapping.toPixel(d->offsets[i].x(), d->offsets[i].y()), 2.0, 2.0);
    if (d->circle > 0.0) {
        QPen circlePen(textColor(), 1.5, Qt::DashLine);
        painter.setPen(circlePen);
        painter.setBrush(Qt::NoBrush);
        const double r = d->circle * mapping.pixelsPerMeter();
        painter.drawEllipse(mapping.centre(), r, r);
    }
    // the newest, larger and ringed in the text colour so it stands out of the cloud
    painter.setPen(QPen(textColor(), 1.5));
    painter.setBrush(color);
    painter.drawEllipse(mapping.toPixel(d->offsets.last().x(), d->offsets.last().y()), 5.0, 5.0);
    painter.restore();
}

} // namespace belrix_common_qt_gui
