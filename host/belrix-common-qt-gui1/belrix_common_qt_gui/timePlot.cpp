#include "belrix_common_qt_gui/timePlot.h"

#include "belrix_common_qt_gui/forecastScale.h"
#include "belrix_common_qt_gui/guiSettings.h"

#include <QEvent>
#include <QFontMetricsF>
#include <QPainter>
#include <QPixmap>

#include <algorithm>
#include <climits>
#include <cmath>
#include <limits>
#include <vector>

namespace belrix_common_qt_gui {

namespace {

constexpr double NaN = std::numeric_limits<double>::quiet_NaN();

struct sample_t {
    double time;
    double value;
};

// A bounded history: grows to MaxSamples, then overwrites the oldest in place.
struct series_t {
    QString name;
    QColor color;
    std::vector<sample_t> ring;
    size_t head = 0;   // the oldest sample once the ring is full

    void add(double time, double value)
    {
        if (ring.size() < size_t(timePlot_t::MaxSamples)) {
            ring.push_back({time, value});
            return;
        }
        ring[head] = {time, value};
        head = (head + 1) % ring.size();
    }
    void clear()
    {
        ring.clear();
        head = 0;
    }
    sample_t const& at(size_t i) const { return ring[(head + i) % ring.size()]; }
    sample_t const* newest() const { return ring.empty() ? nullptr : &at(ring.size() - 1); }
};

QFont bigFont(QFont font)
{
    font.setBold(true);
    if (font.pointSizeF() > 0)
        font.setPointSizeF(font.pointSizeF() * 1.8);
    else
        font.setPixelSize(int(font.pixelSize() * 1.8));
    return font;
}

QFont boldFont(QFont font)
{
    font.setBold(true);
    return font;
}

// The smallest decimals that write step exactly (0.25 needs two).
int stepDecimals(double step)
{
    for (int decimals = 0; decimals < 4; ++decimals) {
        const double scaled = step * std::pow(10.0, decimals);
        if (std::abs(scaled - std::round(scaled)) < 1e-6 * std::max(1.0, scaled))
            return decimals;
    }
    return 4;
}

// Vertical grid lines back from now: no more than six, on a round step of time.
double timeGridStep(double span)
{
    static const double steps[] = {10, 15, 30, 60, 120, 300, 600, 900, 1800, 3600, 7200, 21600, 43200, 86400};
    for (double step : steps) {
        if (span / step <= 6.0 + 1e-9)
            return step;
    }
    return std::ceil(span / 6.0 / 86400.0) * 86400.0;
}

QColor withAlpha(QColor color, int alpha)
{
    color.setAlpha(alpha);
    return color;
}

} // namespace

class timePlot_t::private_t
{
public:
    QString title;
    QString unit;
    int decimals = 1;
    double span = 1800.0;
    bool autoRange = true;
    bool symmetric = false;
    double floor = 1.0;
    double fixedBottom = 0.0;
    double fixedTop = 1.0;
    QVector<series_t> series;
    double limit = NaN;
    QColor limitColor;
    QVector<band_t> bands;
    double now = 0.0;

    QPixmap cache;
    bool cacheValid = false;
    // a repaint is asked for and not yet done: a graph of many series asks once, not per sample
    bool repaintAsked = false;
    double cacheBottom = NaN;
    double cacheTop = NaN;
    std::vector<QPointF> points;   // reused by every paint

    bool inView(double time) const { return time >= now - span && time <= now; }

    void valueRange(double& bottom, double& top) const
    {
        if (!autoRange) {
            bottom = fixedBottom;
            top = fixedTop;
            return;
        }
        double largest = std::isfinite(limit) ? std::abs(limit) : 0.0;
        for (series_t const& s : series) {
            for (size_t i = 0; i < s.ring.size(); ++i) {
                sample_t const& p = s.ring[i];
                if (std::isfinite(p.value) && inView(p.time))
                    largest = std::max(largest, symmetric ? std::abs(p.value) : p.value);
            }
        }
        // a little headroom, so a value at a round top does not run along the frame
        top = forecastScale_t::valueTop(largest * 1.05, floor);
        bottom = symmetric ? -top : 0.0;
    }
};

timePlot_t::timePlot_t(QWidget* parent) : QWidget(parent), d(new private_t)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    guiSettings_t* settings = guiSettings_t::get();
    connect(settings, &guiSettings_t::backgroundGraphColorChanged, this, &timePlot_t::invalidateCache);
    connect(settings, &guiSettings_t::gridGraphColorChanged, this, &timePlot_t::invalidateCache);
    connect(settings, &guiSettings_t::textGraphColorChanged, this, &timePlot_t::invalidateCache);
    connect(settings, &guiSettings_t::displayModeChanged, this, &timePlot_t::invalidateCache);
}

timePlot_t::~timePlot_t() { delete d; }

void timePlot_t::setTitle(QString const& title)
{
    if (title == d->title)
        return;
    d->title = title;
    invalidateCache();
}

QString timePlot_t::title() const { return d->title; }

void timePlot_t::setUnit(QString const& unit)
{
    if (unit == d->unit)
        return;
    d->unit = unit;
    invalidateCache();
}

QString timePlot_t::unit() const { return d->unit; }

void timePlot_t::setDecimals(int decimals)
{
    d->decimals = std::clamp(decimals, 0, 6);
    update();
}

int timePlot_t::decimals() const { return d->decimals; }

void timePlot_t::setSpan(double seconds)
{
    if (!(seconds > 0.0) || seconds == d->span)
        return;
    d->span = seconds;
    invalidateCache();
}

double timePlot_t::span() const { return d->span; }

void timePlot_t::setAutoRange(double floor, bool symmetric)
{
    floor = std::isfinite(floor) ? std::abs(floor) : 0.0;
    if (d->autoRange && d->floor == floor && d->symmetric == symmetric)
        return;
    d->autoRange = true;
    d->floor = floor;
    d->symmetric = symmetric;
    invalidateCache();
}

void timePlot_t::setFixedRange(double bottom, double top)
{
    if (!d->autoRange && d->fixedBottom == bottom && d->fixedTop == top)
        return;
    d->autoRange = false;
    d->fixedBottom = bottom;
    d->fixedTop = top;
    invalidateCache();
}

int timePlot_t::addSeries(QString const& name, QColor const& color)
{
    series_t series;
    series.name = name;
    series.color = color;
    d->series.append(series);
    invalidateCache();
    return int(d->series.size()) - 1;
}

void timePlot_t::removeSeries(int series)
{
    if (series < 0 || series >= d->series.size())
        return;
    d->series.remove(series);
    invalidateCache();
}

int timePlot_t::seriesCount() const { return int(d->series.size()); }

void timePlot_t::setSeriesColor(int series, QColor const& color)
{
    if (series < 0 || series >= d->series.size() || d->series[series].color == color)
        return;
    d->series[series].color = color;
    // the legend in the cache shows it too
    invalidateCache();
}

void timePlot_t::addSample(int series, double time, double value)
{
    if (series < 0 || series >= d->series.size() || !std::isfinite(time))
        return;
    series_t& s = d->series[series];
    sample_t const* newest = s.newest();
    if (newest && time < newest->time)
        s.clear();
    s.add(time, value);
    if (!d->repaintAsked) {
        d->repaintAsked = true;
        update();
    }
}

void timePlot_t::setLimit(double value, QColor const& color)
{
    if ((std::isnan(value) && std::isnan(d->limit)) || (value == d->limit && color == d->limitColor))
        return;
    d->limit = value;
    d->limitColor = color;
    invalidateCache();
}

void timePlot_t::setBands(QVector<band_t> const& bands)
{
    const bool same = std::equal(bands.begin(), bands.end(), d->bands.begin(), d->bands.end(),
                                 [](band_t const& a, band_t const& b) {
                                     return a.from == b.from && a.to == b.to && a.color == b.color;
                                 });
    if (same)
        return;
    d->bands = bands;
    invalidateCache();
}

void timePlot_t::setNow(double time)
{
    if (time == d->now || !std::isfinite(time))
        return;
    d->now = time;
    update();
}

double timePlot_t::now() const { return d->now; }

void timePlot_t::clear()
{
    for (series_t& s : d->series)
        s.clear();
    update();
}

int timePlot_t::sampleCount(int series) const
{
    return series >= 0 && series < d->series.size() ? int(d->series[series].ring.size()) : 0;
}

double timePlot_t::newestValue(int series) const
{
    if (series < 0 || series >= d->series.size())
        return NaN;
    sample_t const* newest = d->series[series].newest();
    return newest ? newest->value : NaN;
}

QString timePlot_t::valueText() const
{
    sample_t const* newest = d->series.isEmpty() ? nullptr : d->series.first().newest();
    if (!newest || !std::isfinite(newest->value) || !d->inView(newest->time))
        return QStringLiteral("--");
    return QString::number(newest->value, 'f', d->decimals);
}

QMarginsF timePlot_t::plotMargins(QFont const& font)
{
    const QFontMetricsF metrics(font);
    const QFontMetricsF big(bigFont(font));
    const double left = metrics.horizontalAdvance(QStringLiteral("-0000")) + 10.0;
    const double right = std::max(big.horizontalAdvance(QStringLiteral("0000.00")),
                                  QFontMetricsF(boldFont(font)).horizontalAdvance(QStringLiteral("Semi-Major Axis")))
        + 16.0;
    return QMarginsF(left, 4.0, right, 4.0);
}

QMarginsF timePlot_t::plotMargins() const { return plotMargins(font()); }

timePlotScale_t timePlot_t::scale() const
{
    const QRectF plot = QRectF(rect()).marginsRemoved(plotMargins());
    double bottom = 0.0;
    double top = 1.0;
    d->valueRange(bottom, top);
    return timePlotScale_t(plot.isValid() ? plot : QRectF(), d->now, d->span, bottom, top);
}

QSize timePlot_t::sizeHint() const { return QSize(600, 110); }

QSize timePlot_t::minimumSizeHint() const
{
    const QMarginsF m = plotMargins();
    return QSize(int(m.left() + m.right()) + 100, int(QFontMetricsF(font()).height() * 3.0));
}

void timePlot_t::invalidateCache()
{
    d->cacheValid = false;
    update();
}

void timePlot_t::resizeEvent(QResizeEvent* event)
{
    d->cacheValid = false;
    QWidget::resizeEvent(event);
}

void timePlot_t::changeEvent(QEvent* event)
{
    switch (event->type()) {
    case QEvent::PaletteChange:
    case QEvent::FontChange:
    case QEvent::StyleChange:
        invalidateCache();
        break;
    default:
        break;
    }
    QWidget::changeEvent(event);
}

void timePlot_t::paintEvent(QPaintEvent*)
{
    d->repaintAsked = false;
    guiSettings_t const* settings = guiSettings_t::get();
    const timePlotScale_t map = scale();
    const QRectF plot = map.plot();
    const QColor background = settings->effectiveBackgroundGraphColor();
    const QColor text = settings->effectiveTextGraphColor();
    const QFontMetricsF metrics(font());
    const QFont big = bigFont(font());
    const QFontMetricsF bigMetrics(big);
    const QMarginsF margins = plotMargins();
    const QRectF panel(plot.right() + 8.0, 0.0, std::max(0.0, margins.right() - 10.0), height());
    const double titleHeight = metrics.height();
    const double valueHeight = bigMetrics.height() * 0.9;
    // the unit goes under the digits when there is room, else beside the title
    const bool unitBelow = panel.height() >= titleHeight * 2.0 + valueHeight;
    const QRectF valueBox(panel.left(),
                          titleHeight + std::max(0.0, (panel.height() - titleHeight - valueHeight
                                                       - (unitBelow ? titleHeight : 0.0)) / 2.0),
                          panel.width(), valueHeight);

    const qreal ratio = devicePixelRatioF();
    if (!d->cacheValid || d->cache.devicePixelRatio() != ratio || d->cache.size() != size() * ratio
        || map.bottom() != d->cacheBottom || map.top() != d->cacheTop) {
        d->cache = QPixmap(size() * ratio);
        d->cache.setDevicePixelRatio(ratio);
        d->cache.fill(background);
        QPainter p(&d->cache);
        p.setFont(font());
        const QColor grid = settings->effectiveGridGraphColor();
        if (!plot.isEmpty()) {
            // bands behind everything
            const bool night = settings->displayMode() == belrix_common_qt::displayModeNight;
            for (band_t const& band : d->bands) {
                const double y0 = map.valueToY(std::max(band.from, map.bottom()));
                const double y1 = map.valueToY(std::min(band.to, map.top()));
                if (y0 > y1)
                    p.fillRect(QRectF(plot.left(), y1, plot.width(), y0 - y1), withAlpha(band.color, night ? 70 : 55));
            }

            // value grid: round steps from 0, each labelled
            QPen gridPen(grid, 1.0, Qt::DotLine);
            const double range = map.top() - map.bottom();
            const int rows = std::clamp(int(plot.height() / (metrics.height() * 1.1)), 1, 4);
            const double step = forecastScale_t::valueStep(range, rows, d->decimals == 0 && range >= rows);
            const int labelDecimals = stepDecimals(step);
            for (double v = std::ceil(map.bottom() / step - 1e-9) * step; v <= map.top() + 1e-9 * range; v += step) {
                const double y = map.valueToY(v);
                p.setPen(gridPen);
                p.drawLine(QPointF(plot.left(), y), QPointF(plot.right(), y));
                const double labelTop = std::clamp(y - metrics.height() / 2.0, 0.0,
                                                   std::max(0.0, height() - metrics.height()));
                p.setPen(text);
                p.drawText(QRectF(0.0, labelTop, plot.left() - 5.0, metrics.height()), Qt::AlignRight | Qt::AlignVCenter,
                           QString::number(std::abs(v) < 1e-9 * range ? 0.0 : v, 'f', labelDecimals));
            }

            // time grid back from now, in step with the ruler below
            const double timeStep = timeGridStep(d->span);
            for (double back = timeStep; back < d->span - 1e-9; back += timeStep) {
                const double x = map.timeToX(map.now() - back);
                p.setPen(gridPen);
                p.drawLine(QPointF(x, plot.top()), QPointF(x, plot.bottom()));
            }

            if (std::isfinite(d->limit) && d->limit >= map.bottom() && d->limit <= map.top()) {
                p.setPen(QPen(settings->effectiveDataColor(d->limitColor), 1.5, Qt::DashLine));
                const double y = map.valueToY(d->limit);
                p.drawLine(QPointF(plot.left(), y), QPointF(plot.right(), y));
            }

            p.setPen(QPen(grid, 1.0));
            p.drawRect(plot);

            // which line is which, when there is more than one
            if (d->series.size() > 1) {
                double x = plot.left() + 4.0;
                p.setRenderHint(QPainter::Antialiasing);
                for (series_t const& s : d->series) {
                    const double w = metrics.horizontalAdvance(s.name) + 24.0;
                    const QRectF box(x, plot.top() + 2.0, w, metrics.height());
                    if (box.right() > plot.right())
                        break;
                    p.fillRect(box, withAlpha(background, 200));
                    p.setPen(QPen(settings->effectiveDataColor(s.color), 2.0));
                    p.drawLine(QPointF(box.left() + 2.0, box.center().y()), QPointF(box.left() + 16.0, box.center().y()));
                    p.setPen(text);
                    p.drawText(box.adjusted(20.0, 0.0, 0.0, 0.0), Qt::AlignLeft | Qt::AlignVCenter, s.name);
                    x = box.right() + 6.0;
                }
            }
        }

        // what the plot shows, in the panel at its right
        const QFont bold = boldFont(font());
        p.setFont(bold);
        p.setPen(text);
        const QString caption = unitBelow || d->unit.isEmpty() ? d->title : d->title + QLatin1Char(' ') + d->unit;
        p.drawText(QRectF(panel.left(), 0.0, panel.width(), titleHeight), Qt::AlignLeft | Qt::AlignVCenter,
                   QFontMetricsF(bold).elidedText(caption, Qt::ElideRight, panel.width()));
        if (unitBelow && !d->unit.isEmpty()) {
            p.setFont(font());
            p.drawText(QRectF(panel.left(), valueBox.bottom(), panel.width(), titleHeight),
                       Qt::AlignRight | Qt::AlignVCenter, d->unit);
        }
        d->cacheValid = true;
        d->cacheBottom = map.bottom();
        d->cacheTop = map.top();
    }

    QPainter painter(this);
    painter.drawPixmap(0, 0, d->cache);

    painter.setFont(big);
    painter.setPen(text);
    painter.drawText(valueBox, Qt::AlignRight | Qt::AlignVCenter, valueText());

    if (plot.isEmpty())
        return;
    painter.setClipRect(plot.adjusted(-1.0, -1.0, 1.0, 1.0));
    painter.setRenderHint(QPainter::Antialiasing);
    std::vector<QPointF>& points = d->points;
    // A wide pen strokes a jagged polyline as one self-overlapping outline, which can take a
    // hundred times as long as the raster engine's hairline; two hairlines a pixel apart read
    // as a bold line at the cost of two.
    QPen pen(Qt::black, 1.0, Qt::SolidLine, Qt::FlatCap, Qt::BevelJoin);
    pen.setCosmetic(true);
    for (series_t const& s : d->series) {
        pen.setColor(settings->effectiveDataColor(s.color));
        painter.setPen(pen);
        auto flush = [&] {
            if (points.size() == 1) {
                // a lone sample between gaps still shows
                painter.fillRect(QRectF(points.front() - QPointF(1.0, 1.0), QSizeF(2.0, 2.0)), pen.color());
            } else if (points.size() > 1) {
                painter.drawPolyline(points.data(), int(points.size()));
                painter.translate(0.0, 0.8);
                painter.drawPolyline(points.data(), int(points.size()));
                painter.translate(0.0, -0.8);
            }
            points.clear();
        };
        // several samples in one pixel column become the column's first, lowest, highest and
        // last, so a long history costs no more than the plot's width
        int column = INT_MIN;
        double columnX = 0.0;
        double first = 0.0;
        double low = 0.0;
        double high = 0.0;
        double last = 0.0;
        int inColumn = 0;
        auto emitColumn = [&] {
            if (inColumn == 0)
                return;
            points.push_back(QPointF(columnX, first));
            if (inColumn > 1) {
                if (low != first)
                    points.push_back(QPointF(columnX, low));
                if (high != low)
                    points.push_back(QPointF(columnX, high));
                if (last != high)
                    points.push_back(QPointF(columnX, last));
            }
            inColumn = 0;
        };
        for (size_t i = 0; i < s.ring.size(); ++i) {
            sample_t const& sample = s.at(i);
            if (!d->inView(sample.time))
                continue;
            if (!std::isfinite(sample.value)) {
                emitColumn();
                flush();
                column = INT_MIN;
                continue;
            }
            const double x = map.timeToX(sample.time);
            const double y = map.valueToY(sample.value);
            const int c = int(std::floor(x));
            if (c != column || inColumn == 0) {
                emitColumn();
                column = c;
                columnX = x;
                first = low = high = last = y;
                inColumn = 1;
                continue;
            }
            low = std::min(low, y);
            high = std::max(high, y);
            last = y;
            ++inColumn;
        }
        emitColumn();
        flush();
    }
}

} // namespace belrix_common_qt_gui
