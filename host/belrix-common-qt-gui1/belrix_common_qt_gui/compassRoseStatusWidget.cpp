#include "belrix_common_qt_gui/compassRoseStatusWidget.h"

#include "belrix_common_qt_gui/headingScale.h"

#include <QFontMetricsF>
#include <QPainter>

namespace belrix_common_qt_gui {

namespace {
// radii as fractions of the rim
constexpr double NeedleBase = 0.50;
constexpr double NeedleTip = 0.87;
constexpr double LabelRadius = 0.76;
constexpr double DigitsRadius = 0.46;
constexpr double Margin = 6.0;

double graduationInner(headingScale_t::graduation_t level)
{
    switch (level) {
    case headingScale_t::graduationDegree: return 0.955;
    case headingScale_t::graduationFive: return 0.925;
    default: return 0.885;
    }
}

QFont pixelFont(QFont font, double pixels, bool bold)
{
    font.setPixelSize(qMax(1, int(pixels)));
    font.setBold(bold);
    return font;
}
} // namespace

compassRoseStatusWidget_t::compassRoseStatusWidget_t(QWidget* parent) : headingWidgetBase_t(parent) {}

QSize compassRoseStatusWidget_t::sizeHint() const { return QSize(420, 420); }
QSize compassRoseStatusWidget_t::minimumSizeHint() const { return QSize(160, 160); }

polarMapping_t compassRoseStatusWidget_t::mapping() const { return polarMapping_t::fitted(QRectF(rect()), Margin, 1.0); }

QPolygonF compassRoseStatusWidget_t::needle(polarMapping_t const& mapping, double heading)
{
    // a base 12° wide at the base radius gives the same arrow at every size
    return QPolygonF({mapping.relativeToPixel(NeedleTip, heading),
                      mapping.relativeToPixel(NeedleBase, heading + 6.0),
                      mapping.relativeToPixel(NeedleBase + 0.06, heading),
                      mapping.relativeToPixel(NeedleBase, heading - 6.0)});
}

void compassRoseStatusWidget_t::drawStatic(QPainter& painter)
{
    const polarMapping_t map = mapping();
    const double r = map.radius();
    if (r < 20.0)
        return;
    const QPointF c = map.centre();
    const QColor text = textColor();
    const QColor scale = scaleColor();

    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(text, 2.0));
    painter.drawEllipse(c, r, r);
    painter.setPen(QPen(scale, 1.0));
    painter.drawEllipse(c, r * DigitsRadius, r * DigitsRadius);

    for (int degree = 0; degree < 360; ++degree) {
        const headingScale_t::graduation_t level = headingScale_t::graduation(degree);
        const double width = level == headingScale_t::graduationDegree ? 1.0
                           : level == headingScale_t::graduationFive   ? 1.3
                                                                       : 2.2;
        painter.setPen(QPen(level == headingScale_t::graduationDegree ? scale : text, width, Qt::SolidLine, Qt::FlatCap));
        painter.drawLine(map.relativeToPixel(graduationInner(level), degree), map.relativeToPixel(1.0, degree));
    }

    const QFont numbers = pixelFont(painter.font(), r * 0.085, false);
    const QFont cardinals = pixelFont(painter.font(), r * 0.12, true);
    painter.setPen(text);
    for (int degree = 0; degree < 360; degree += 30) {
        const bool cardinal = degree % 90 == 0;
        painter.setFont(cardinal ? cardinals : numbers);
        const QFontMetricsF metrics(painter.font());
        QRectF box(0.0, 0.0, metrics.height() * 2.5, metrics.height());
        box.moveCenter(map.relativeToPixel(LabelRadius, degree));
        painter.drawText(box, Qt::AlignCenter, headingScale_t::graduationLabel(degree, 30));
    }

    painter.setFont(pixelFont(painter.font(), r * 0.065, false));
    const QFontMetricsF metrics(painter.font());
    QRectF caption(0.0, 0.0, r, metrics.height());
    caption.moveCenter(QPointF(c.x(), c.y() - r * 0.22));
    painter.drawText(caption, Qt::AlignCenter, tr("HDG T"));
}

void compassRoseStatusWidget_t::drawLive(QPainter& painter)
{
    const polarMapping_t map = mapping();
    const double r = map.radius();
    if (r < 20.0)
        return;
    const QPointF c = map.centre();
    const QColor data = dataColor();
    if (hasHeading()) {
        // a fine line carries the needle on to the graduations, where the heading is read
        painter.setPen(QPen(data, 2.0));
        painter.drawLine(map.relativeToPixel(NeedleTip, heading()), map.relativeToPixel(1.0, heading()));
        painter.setPen(QPen(data.darker(130), 1.0));
        painter.setBrush(data);
        painter.drawPolygon(needle(map, heading()));
    }

    painter.setFont(pixelFont(painter.font(), r * 0.2, true));
    painter.setPen(hasHeading() ? data : textColor());
    QRectF digits(0.0, 0.0, r * 2.0 * DigitsRadius, r * 0.3);
    digits.moveCenter(QPointF(c.x(), c.y() + r * 0.04));
    painter.drawText(digits, Qt::AlignCenter,
                     hasHeading() ? headingScale_t::headingText(heading()) : headingScale_t::blankHeadingText());
}

} // namespace belrix_common_qt_gui
