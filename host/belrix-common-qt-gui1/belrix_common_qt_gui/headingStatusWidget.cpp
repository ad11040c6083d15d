#include "belrix_common_qt_gui/headingStatusWidget.h"

#include "belrix_common_qt_gui/headingScale.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPixmap>

#include <cmath>

namespace belrix_common_qt_gui {

namespace {
constexpr double Margin = 8.0;
// degrees drawn beyond each end of the circle, so one copy of the strip serves every heading
double stripPad(double span) { return span / 2.0 + 2.0; }

QFont pixelFont(QFont font, double pixels, bool bold)
{
    font.setPixelSize(qMax(1, int(pixels)));
    font.setBold(bold);
    return font;
}

void drawCentred(QPainter& painter, QPointF const& centre, QString const& text)
{
    const QFontMetricsF metrics(painter.font());
    QRectF box(0.0, 0.0, metrics.horizontalAdvance(text) + 4.0, metrics.height());
    box.moveCenter(centre);
    painter.drawText(box, Qt::AlignCenter, text);
}
} // namespace

class headingStatusWidget_t::private_t
{
public:
    bool hasRate = false;
    double rate = 0.0;
    // the whole circle of graduations and labels, drawn once per size
    QPixmap strip;
    double span = 60.0;
    double pixelsPerDegree = 0.0;
};

headingStatusWidget_t::headingStatusWidget_t(QWidget* parent) : headingWidgetBase_t(parent), d(new private_t) {}

headingStatusWidget_t::~headingStatusWidget_t() { delete d; }

headingStatusWidget_t::layout_t headingStatusWidget_t::layoutFor(QSizeF const& size)
{
    const double width = qMax(0.0, size.width() - 2.0 * Margin);
    const double height = qMax(0.0, size.height() - 4.0 * Margin);
    layout_t layout;
    layout.digits = QRectF(Margin, Margin, width, height * 0.32);
    layout.tape = QRectF(Margin, layout.digits.bottom() + Margin, width, height * 0.34);
    layout.rot = QRectF(Margin, layout.tape.bottom() + Margin, width, height * 0.34);
    return layout;
}

bool headingStatusWidget_t::hasRateOfTurn() const { return d->hasRate; }
double headingStatusWidget_t::rateOfTurn() const { return d->rate; }

QSize headingStatusWidget_t::sizeHint() const { return QSize(480, 360); }
QSize headingStatusWidget_t::minimumSizeHint() const { return QSize(200, 120); }

void headingStatusWidget_t::setRateOfTurn(float degreesPerMinute)
{
    if (!std::isfinite(degreesPerMinute)) {
        clearRateOfTurn();
        return;
    }
    if (d->hasRate && d->rate == double(degreesPerMinute))
        return;
    d->hasRate = true;
    d->rate = double(degreesPerMinute);
    update();
}

void headingStatusWidget_t::clearRateOfTurn()
{
    if (!d->hasRate)
        return;
    d->hasRate = false;
    update();
}

void headingStatusWidget_t::headingChanged()
{
    // a rate without a heading to turn from would mislead
    if (!hasHeading())
        clearRateOfTurn();
}

void headingStatusWidget_t::drawStatic(QPainter& painter)
{
    const layout_t layout = layoutFor(size());
    const QColor text = textColor();
    const QColor scale = scaleColor();
    const QRectF tape = layout.tape;
    d->strip = QPixmap();
    d->span = headingScale_t::tapeSpan(tape.width());
    d->pixelsPerDegree = tape.width() / d->span;
    const double pad = stripPad(d->span);
    if (tape.width() < 10.0 || tape.height() < 10.0)
        return;

    painter.setPen(QPen(scale, 1.0));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(tape.adjusted(-0.5, -0.5, 0.5, 0.5));
    painter.setPen(text);
    painter.setFont(pixelFont(font(), layout.digits.height() * 0.14, false));
    painter.drawText(layout.digits, Qt::AlignLeft | Qt::AlignTop, tr("HDG T"));

    const QRectF rot = layout.rot;
    painter.setFont(pixelFont(font(), rot.height() * 0.13, true));
    painter.drawText(QRectF(rot.left(), rot.top(), rot.width(), rot.height() * 0.3), Qt::AlignLeft | Qt::AlignVCenter,
                     tr("PORT"));
    painter.drawText(QRectF(rot.left(), rot.top(), rot.width(), rot.height() * 0.3), Qt::AlignRight | Qt::AlignVCenter,
                     tr("STBD"));

    // the strip: graduations hang from the top edge, labels below them
    const qreal ratio = painter.device()->devicePixelRatioF();
    const double ppd = d->pixelsPerDegree;
    const QSizeF stripSize((360.0 + 2.0 * pad) * ppd, tape.height());
    d->strip = QPixmap((stripSize * ratio).toSize());
    d->strip.setDevicePixelRatio(ratio);
    if (d->strip.isNull())
        return;
    d->strip.fill(backgroundColor());
    QPainter strip(&d->strip);
    strip.setRenderHint(QPainter::Antialiasing);
    const double h = tape.height();
    const QFont numbers = pixelFont(font(), h * 0.24, false);
    const QFont cardinals = pixelFont(font(), h * 0.32, true);
    for (int degree = int(std::ceil(-pad)); degree <= int(std::floor(360.0 + pad)); ++degree) {
        const double x = (degree + pad) * ppd;
        const headingScale_t::graduation_t level = headingScale_t::graduation(degree);
        const double length = level == headingScale_t::graduationDegree ? 0.14 : level == headingScale_t::graduationFive ? 0.24 : 0.36;
        const double width = level == headingScale_t::graduationDegree ? 1.0 : level == headingScale_t::graduationFive ? 1.4 : 2.2;
        strip.setPen(QPen(level == headingScale_t::graduationDegree ? scale : text, width, Qt::SolidLine, Qt::FlatCap));
        strip.drawLine(QPointF(x, 0.0), QPointF(x, h * length));
        const QString label = headingScale_t::graduationLabel(degree, 10);
        if (label.isEmpty())
            continue;
        strip.setFont(label.at(0).isLetter() ? cardinals : numbers);
        strip.setPen(text);
        drawCentred(strip, QPointF(x, h * 0.66), label);
    }
}

void headingStatusWidget_t::drawLive(QPainter& painter)
{
    const layout_t layout = layoutFor(size());
    const QColor data = dataColor();
    const QColor text = textColor();

    // digits, as large as fit
    const QString digits = hasHeading() ? headingScale_t::headingText(heading()) : headingScale_t::blankHeadingText();
    painter.setFont(pixelFont(font(), qMin(layout.digits.height() * 0.72, layout.digits.width() / 4.2), true));
    painter.setPen(hasHeading() ? data : text);
    painter.drawText(layout.digits, Qt::AlignCenter, digits);

    const QRectF tape = layout.tape;
    if (!d->strip.isNull()) {
        if (hasHeading()) {
            const qreal ratio = d->strip.devicePixelRatio();
            const double from = (headingScale_t::stripLeft(heading(), d->span) + stripPad(d->span)) * d->pixelsPerDegree;
            painter.drawPixmap(tape, d->strip, QRectF(from * ratio, 0.0, tape.width() * ratio, tape.height() * ratio));
        }
        // the lubber line, over the tape
        const double x = tape.center().x();
        const QColor lubber = hasHeading() ? data : scaleColor();
        painter.setPen(QPen(lubber, 3.0, Qt::SolidLine, Qt::FlatCap));
        painter.drawLine(QPointF(x, tape.top()), QPointF(x, tape.bottom()));
        const double s = tape.height() * 0.09;
        painter.setPen(Qt::NoPen);
        painter.setBrush(lubber);
        painter.drawPolygon(QPolygonF({QPointF(x - s, tape.top() - 1.0), QPointF(x + s, tape.top() - 1.0),
                                       QPointF(x, tape.top() + s * 1.3)}));
    }

    // rate of turn: value, bar and scale
    const QRectF rot = layout.rot;
    if (rot.height() < 10.0)
        return;
    painter.setFont(pixelFont(font(), rot.height() * 0.22, true));
    painter.setPen(d->hasRate ? data : text);
    painter.drawText(QRectF(rot.left(), rot.top(), rot.width(), rot.height() * 0.3), Qt::AlignCenter,
                     d->hasRate ? headingScale_t::rotText(d->rate) : headingScale_t::blankRotText());

    const QRectF track(rot.left(), rot.top() + rot.height() * 0.36, rot.width(), rot.height() * 0.28);
    const double half = track.width() / 2.0;
    const double fullScale = headingScale_t::rotFullScale(d->hasRate ? d->rate : 0.0);
    if (d->hasRate) {
        const double length = headingScale_t::rotBarLength(d->rate, fullScale, half);
        painter.setPen(Qt::NoPen);
        painter.setBrush(data);
        painter.drawRect(QRectF(track.center().x() + qMin(0.0, length), track.top() + 3.0, std::fabs(length),
                                track.height() - 6.0));
    }
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(scaleColor(), 1.0));
    painter.drawRect(track);
    painter.setFont(pixelFont(font(), rot.height() * 0.12, false));
    for (int step = -2; step <= 2; ++step) {
        const double x = track.center().x() + half * step / 2.0;
        painter.setPen(QPen(text, step == 0 ? 2.0 : 1.0));
        painter.drawLine(QPointF(x, track.top()), QPointF(x, track.bottom() + 4.0));
        const QString label = QString::number(std::abs(step) * fullScale / 2.0);
        QRectF box(0.0, track.bottom() + 5.0, rot.width() / 5.0, rot.height() * 0.2);
        // the end labels stay inside the widget
        if (step == -2)
            box.moveLeft(track.left());
        else if (step == 2)
            box.moveRight(track.right());
        else
            box.moveLeft(x - box.width() / 2.0);
        const Qt::Alignment align = step == -2 ? Qt::AlignLeft : step == 2 ? Qt::AlignRight : Qt::AlignHCenter;
        painter.drawText(box, align | Qt::AlignTop, label);
    }
}

} // namespace belrix_common_qt_gui
