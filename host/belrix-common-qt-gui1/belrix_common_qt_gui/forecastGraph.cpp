#include "belrix_common_qt_gui/forecastGraph.h"

#include "belrix_common_qt_gui/guiSettings.h"
#include "belrix_common_qt_gui/qualityLight.h"

#include <QDateTime>
#include <QFontMetricsF>
#include <QGroupBox>
#include <QLocale>
#include <QPainter>
#include <QPainterPath>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <limits>

namespace belrix_common_qt_gui {

namespace {

constexpr double NaN = std::numeric_limits<double>::quiet_NaN();

bool isDop(forecasterType_t type) { return type != forecasterNumSats; }

QString offsetText(int seconds)
{
    if (seconds == 0)
        return QStringLiteral("UTC");
    const int minutes = std::abs(seconds) / 60;
    return QStringLiteral("UTC%1%2:%3")
        .arg(seconds < 0 ? QLatin1Char('-') : QLatin1Char('+'))
        .arg(minutes / 60, 2, 10, QLatin1Char('0'))
        .arg(minutes % 60, 2, 10, QLatin1Char('0'));
}

QColor withAlpha(QColor color, int alpha)
{
    color.setAlpha(alpha);
    return color;
}

} // namespace

class forecastGraph_t::private_t
{
public:
    forecasterType_t type = forecasterNumSats;
    double start = 0.0;
    double end = 0.0;
    int duration = 0;
    QVector<forecastPoint_t> points;
    QVector<QPointF> history;
    double good = NaN;
    double bad = NaN;
    double now = NaN;
    QString message;
    bool labelsOptional = false;

    double shownEnd() const { return end > start ? end : start + duration; }

    // The axis top: room for the data and the thresholds, but a DOP that explodes where
    // satellites are few must not squash the rest of the graph flat.
    double valueTop() const
    {
        double largest = 0.0;
        for (forecastPoint_t const& p : points) {
            if (std::isfinite(p.value))
                largest = std::max(largest, p.value);
        }
        for (QPointF const& p : history) {
            if (std::isfinite(p.y()) && p.x() >= start && p.x() <= shownEnd())
                largest = std::max(largest, p.y());
        }
        if (isDop(type)) {
            const double bound = std::isfinite(bad) && bad > 0.0 ? bad : 5.0;
            largest = std::min(largest, std::max(bound * 2.5, 10.0));
            return forecastScale_t::valueTop(largest, bound * 1.25);
        }
        return forecastScale_t::valueTop(largest, std::isfinite(good) && good > 0.0 ? good * 1.25 : 4.0);
    }
};

forecastGraph_t::forecastGraph_t(QGroupBox* box, QWidget* parent) : QWidget(parent), d(new private_t)
{
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    setAttribute(Qt::WA_OpaquePaintEvent);
    if (box) {
        if (!box->layout())
            new QVBoxLayout(box);
        box->layout()->addWidget(this);
    }
    guiSettings_t* settings = guiSettings_t::get();
    auto repaint = [this] { update(); };
    connect(settings, &guiSettings_t::utcOffsetChanged, this, repaint);
    connect(settings, &guiSettings_t::backgroundGraphColorChanged, this, repaint);
    connect(settings, &guiSettings_t::gridGraphColorChanged, this, repaint);
    connect(settings, &guiSettings_t::textGraphColorChanged, this, repaint);
    connect(settings, &guiSettings_t::displayModeChanged, this, repaint);
}

forecastGraph_t::~forecastGraph_t() { delete d; }

forecasterType_t forecastGraph_t::forecasterType() const { return d->type; }
double forecastGraph_t::startTime() const { return d->start; }
double forecastGraph_t::endTime() const { return d->shownEnd(); }
int forecastGraph_t::graphDuration() const { return d->duration; }
QVector<forecastPoint_t> forecastGraph_t::points() const { return d->points; }
QVector<QPointF> forecastGraph_t::history() const { return d->history; }
double forecastGraph_t::goodThreshold() const { return d->good; }
double forecastGraph_t::badThreshold() const { return d->bad; }
double forecastGraph_t::now() const { return d->now; }
QString forecastGraph_t::message() const { return d->message; }
bool forecastGraph_t::timeLabelsOptional() const { return d->labelsOptional; }

bool forecastGraph_t::showsTimeLabels() const
{
    return !d->labelsOptional || height() >= QFontMetricsF(font()).height() * 6.0;
}

QSize forecastGraph_t::sizeHint() const { return QSize(600, 120); }
QSize forecastGraph_t::minimumSizeHint() const
{
    return QSize(200, int(QFontMetricsF(font()).height() * 2.5));
}

QString forecastGraph_t::typeName(forecasterType_t type)
{
    switch (type) {
    case forecasterNumSats: return tr("Satellites");
    case forecasterHdop: return tr("HDOP");
    case forecasterVdop: return tr("VDOP");
    case forecasterPdop: return tr("PDOP");
    }
    return QString();
}

forecastScale_t forecastGraph_t::scale() const
{
    // room for the value labels on the left and the time labels below; the four graphs
    // of a window get the same left edge, so their time axes line up
    const QFontMetricsF metrics(font());
    const double left = metrics.horizontalAdvance(QStringLiteral("00.0")) + 12.0;
    const double bottom = showsTimeLabels() ? metrics.height() + 4.0 : 3.0;
    const QRectF plot = QRectF(rect()).adjusted(left, 3.0, -10.0, -bottom);
    return forecastScale_t(plot.isValid() ? plot : QRectF(), d->start, d->shownEnd(), d->valueTop());
}

int forecastGraph_t::dataWidth() const { return std::max(0, int(scale().plot().width())); }

void forecastGraph_t::setForecasterType(forecasterType_t type)
{
    d->type = type;
    update();
}

void forecastGraph_t::timeBounds(double start, double end)
{
    d->start = start;
    d->end = end;
    update();
}

void forecastGraph_t::setGraphDuration(int seconds)
{
    d->duration = seconds;
    update();
}

void forecastGraph_t::clearPoints()
{
    d->points.clear();
    update();
}

void forecastGraph_t::addPoint(double time, double value, quality_t quality)
{
    d->points.append({time, value, quality});
    update();
}

void forecastGraph_t::setThresholds(double good, double bad)
{
    d->good = good;
    d->bad = bad;
    update();
}

void forecastGraph_t::setHistory(QVector<QPointF> const& points)
{
    d->history = points;
    update();
}

void forecastGraph_t::setNow(double time)
{
    d->now = time;
    update();
}

void forecastGraph_t::setMessage(QString const& text)
{
    d->message = text;
    update();
}

void forecastGraph_t::setTimeLabelsOptional(bool optional)
{
    d->labelsOptional = optional;
    update();
}

void forecastGraph_t::paintEvent(QPaintEvent*)
{
    guiSettings_t const* settings = guiSettings_t::get();
    const QColor background = settings->effectiveBackgroundGraphColor();
    const QColor text = settings->effectiveTextGraphColor();
    const QColor grid = settings->effectiveGridGraphColor();
    const bool night = qualityLight_t::isNightMode();

    QPainter painter(this);
    painter.fillRect(rect(), background);
    painter.setFont(font());
    const QFontMetricsF metrics(font());
    const forecastScale_t map = scale();
    const QRectF plot = map.plot();
    QFont bold = font();
    bold.setBold(true);

    if (!d->message.isEmpty() || plot.isEmpty()) {
        QFont large = bold;
        large.setPointSizeF(bold.pointSizeF() * 1.15);
        painter.setFont(large);
        painter.setPen(text);
        painter.drawText(QRectF(rect()).adjusted(12, 4, -12, -4), Qt::AlignCenter | Qt::TextWordWrap, d->message);
        return;
    }

    // the past, where what the device reported can be set beside the forecast, a shade apart
    const double nowX = std::isfinite(d->now) ? map.timeToX(d->now) : NaN;
    if (std::isfinite(nowX) && nowX > plot.left())
        painter.fillRect(QRectF(plot.topLeft(), QPointF(std::min(nowX, plot.right()), plot.bottom())),
                         withAlpha(text, night ? 22 : 14));

    // value grid and labels; the top is always named, so a short graph still tells its scale
    QPen gridPen(grid, 1.0, Qt::DotLine);
    const int rows = std::max(1, int(plot.height() / (metrics.height() * 1.2)));
    const double valueStep = forecastScale_t::valueStep(map.top(), rows, !isDop(d->type));
    QVector<double> values;
    for (double v = 0.0; v <= map.top() * (1.0 + 1e-9); v += valueStep)
        values.append(v);
    if (map.top() - values.last() > 1e-9 * map.top()) {
        if (map.valueToY(values.last()) - map.valueToY(map.top()) < metrics.height() * 1.1)
            values.removeLast();
        values.append(map.top());
    }
    for (double v : values) {
        const double y = map.valueToY(v);
        painter.setPen(gridPen);
        painter.drawLine(QPointF(plot.left(), y), QPointF(plot.right(), y));
        painter.setPen(text);
        const double top = std::clamp(y - metrics.height() / 2.0, 0.0, std::max(0.0, height() - metrics.height()));
        const QRectF box(0.0, top, plot.left() - 5.0, metrics.height());
        painter.drawText(box, Qt::AlignRight | Qt::AlignVCenter, QString::number(v, 'g', 4));
    }

    // time grid and labels in the user's local time; a day's first tick names the day, and
    // the zone closes the row
    const int offset = settings->utcOffset();
    const bool labels = showsTimeLabels();
    const QString zone = offsetText(offset);
    const double zoneWidth = metrics.horizontalAdvance(zone) + 6.0;
    const QRectF zoneBox(width() - zoneWidth, plot.bottom() + 2.0, zoneWidth, metrics.height());
    if (labels) {
        painter.setPen(text);
        painter.drawText(zoneBox, Qt::AlignRight | Qt::AlignVCenter, zone);
    }
    const double span = map.end() - map.start();
    const double labelWidth = metrics.horizontalAdvance(QStringLiteral("00 Mmm")) + 14.0;
    const double timeStep = forecastScale_t::timeStep(span, plot.width(), labelWidth);
    const QLocale c = QLocale::c();
    for (double t : forecastScale_t::timeTicks(map.start(), map.end(), timeStep, offset)) {
        const double x = map.timeToX(t);
        painter.setPen(gridPen);
        painter.drawLine(QPointF(x, plot.top()), QPointF(x, plot.bottom()));
        if (!labels)
            continue;
        const QDateTime local = QDateTime::fromMSecsSinceEpoch(qint64(t + offset) * 1000, Qt::UTC);
        const bool midnight = local.time() == QTime(0, 0);
        const QString label = midnight ? c.toString(local, QStringLiteral("d MMM"))
                                       : c.toString(local, QStringLiteral("HH:mm"));
        painter.setFont(midnight && timeStep < 86400.0 ? bold : font());
        const double w = QFontMetricsF(painter.font()).horizontalAdvance(label) + 4.0;
        QRectF box(x - w / 2.0, plot.bottom() + 2.0, w, metrics.height());
        box.moveLeft(std::max(0.0, box.left()));
        if (box.right() < zoneBox.left()) {
            painter.setPen(text);
            painter.drawText(box, Qt::AlignCenter, label);
        }
        painter.setFont(font());
    }

    // the forecast: a column per sample, each as good as its quality says
    painter.save();
    painter.setClipRect(plot);
    const double base = plot.bottom();
    QVector<QPointF> edge;
    QColor edgeColor;
    auto flushEdge = [&] {
        if (edge.size() > 1) {
            painter.setPen(QPen(edgeColor, 2.0, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
            painter.drawPolyline(edge.constData(), int(edge.size()));
        }
        edge.clear();
    };
    for (int i = 0; i < d->points.size(); ++i) {
        forecastPoint_t const& p = d->points.at(i);
        double next = i + 1 < d->points.size() ? d->points.at(i + 1).time : NaN;
        if (!std::isfinite(next))
            next = i > 0 ? p.time + (p.time - d->points.at(i - 1).time) : map.end();
        const double x0 = map.timeToX(p.time);
        const double x1 = std::min(map.timeToX(next), plot.right());
        const QColor lamp = qualityLight_t::lampColor(p.quality, night);
        if (!std::isfinite(p.value)) {
            flushEdge();
            if (p.quality == qualityBad) {
                // no value because too few satellites are up: as bad as it gets
                const QRectF column(QPointF(x0, plot.top()), QPointF(x1, base));
                painter.fillRect(column, withAlpha(lamp, 70));
                painter.fillRect(column, QBrush(withAlpha(lamp, 230), Qt::BDiagPattern));
            }
            continue;
        }
        const double y = map.valueToY(p.value);
        painter.fillRect(QRectF(QPointF(x0, y), QPointF(x1, base)), withAlpha(lamp, night ? 150 : 130));
        if (!edge.isEmpty() && lamp != edgeColor) {
            edge.append(QPointF(x0, edge.last().y()));
            flushEdge();
        }
        edgeColor = lamp;
        if (!edge.isEmpty())
            edge.append(QPointF(x0, edge.last().y()));
        edge.append(QPointF(x0, y));
        edge.append(QPointF(x1, y));
    }
    flushEdge();

    // where the colours change
    for (auto const& [value, quality] : {std::make_pair(d->good, qualityGood), std::make_pair(d->bad, qualityBad)}) {
        if (!std::isfinite(value) || value <= 0.0 || value > map.top())
            continue;
        painter.setPen(QPen(qualityLight_t::lampColor(quality, night), 1.0, Qt::DashLine));
        const double y = map.valueToY(value);
        painter.drawLine(QPointF(plot.left(), y), QPointF(plot.right(), y));
    }

    // what the device really reported, before now: a line on a halo, so it reads over the columns
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath reported;
    bool drawing = false;
    int reportedPoints = 0;
    for (QPointF const& p : d->history) {
        const bool usable = std::isfinite(p.y()) && p.x() >= map.start() && p.x() <= map.end()
            && !(std::isfinite(d->now) && p.x() > d->now);
        if (!usable) {
            drawing = false;
            continue;
        }
        const QPointF at(map.timeToX(p.x()), map.valueToY(p.y()));
        if (drawing) {
            reported.lineTo(at);
        } else {
            reported.moveTo(at);
            // a lone sample still shows, as a dot
            reported.lineTo(at + QPointF(0.5, 0.0));
        }
        drawing = true;
        ++reportedPoints;
    }
    if (reportedPoints > 0) {
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(background, 5.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter.drawPath(reported);
        painter.setPen(QPen(text, 2.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter.drawPath(reported);
    }
    painter.restore();

    painter.setPen(QPen(grid, 1.0));
    painter.drawRect(plot);

    // the present
    auto halo = [&](QRectF const& box, QString const& label, QColor const& color, QFont const& f) {
        painter.fillRect(box, withAlpha(background, 210));
        painter.setFont(f);
        painter.setPen(color);
        painter.drawText(box, Qt::AlignCenter, label);
    };
    if (std::isfinite(nowX) && nowX >= plot.left() && nowX <= plot.right()) {
        painter.setPen(QPen(text, 1.5));
        painter.drawLine(QPointF(nowX, plot.top()), QPointF(nowX, plot.bottom()));
        const QString label = tr("Now");
        const double w = QFontMetricsF(bold).horizontalAdvance(label) + 6.0;
        // beside the line on the forecast's side, where it hides nothing the device reported
        QRectF box(nowX + 2.0, plot.top() + 1.0, w, metrics.height());
        if (box.right() > plot.right())
            box.moveRight(nowX - 2.0);
        halo(box, label, text, bold);
    }

    // what the graph shows, and which line is the device's own, in the top right corner,
    // away from the past
    const QString title = typeName(d->type);
    const QString key = reportedPoints > 0 ? tr("reported") : QString();
    const double titleWidth = QFontMetricsF(bold).horizontalAdvance(title) + 8.0;
    const double keyWidth = key.isEmpty() ? 0.0 : metrics.horizontalAdvance(key) + 30.0;
    const QRectF legend(plot.right() - titleWidth - keyWidth - 2.0, plot.top() + 1.0, titleWidth + keyWidth,
                        metrics.height());
    halo(QRectF(legend.topLeft(), QSizeF(titleWidth, legend.height())), title, text, bold);
    if (!key.isEmpty()) {
        const QRectF box(legend.left() + titleWidth, legend.top(), keyWidth, legend.height());
        halo(box, QString(), text, font());
        const double y = box.center().y();
        painter.setPen(QPen(text, 2.0, Qt::SolidLine, Qt::RoundCap));
        painter.drawLine(QPointF(box.left() + 4.0, y), QPointF(box.left() + 20.0, y));
        painter.drawText(box.adjusted(24.0, 0.0, 0.0, 0.0), Qt::AlignLeft | Qt::AlignVCenter, key);
    }
}

} // namespace belrix_common_qt_gui
