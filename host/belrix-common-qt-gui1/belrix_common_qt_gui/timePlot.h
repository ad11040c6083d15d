#pragma once

#include "belrix_common_qt_gui_export.h"
#include "belrix_common_qt_gui/timePlotScale.h"

#include <QColor>
#include <QMarginsF>
#include <QString>
#include <QVector>
#include <QWidget>

namespace belrix_common_qt_gui {

// Values against data time over the last span() seconds, newest at the right edge: one or more
// series, an optional limit line, coloured value bands behind the series, the value axis with its
// unit, and the newest value of series 0 in large digits. Axes/bands are drawn once per size into a
// cache in the application's graph colours (guiSettings_t effective*GraphColor, so night look is
// automatic); only the series are drawn per paint. Each series keeps at most MaxSamples samples.
class BELRIX_COMMON_QT_GUI_EXPORT timePlot_t : public QWidget
{
    Q_OBJECT
public:
    static constexpr int MaxSamples = 2048;
    struct band_t {
        double from;
        double to;
        QColor color;
    };

    explicit timePlot_t(QWidget* parent = nullptr);
    ~timePlot_t() override;

    void setTitle(QString const& title);
    QString title() const;
    void setUnit(QString const& unit);
    QString unit() const;
    void setDecimals(int decimals);
    int decimals() const;

    void setSpan(double seconds);   // default 1800
    double span() const;
    // Auto range from 0 (or symmetric about 0) to a round value over the largest in view, never below floor.
    void setAutoRange(double floor, bool symmetric = false);
    void setFixedRange(double bottom, double top);

    // Series are numbered from 0 in the order added; removing one moves the later ones down by one.
    int addSeries(QString const& name, QColor const& color);   // returns the series' id, from 0
    void removeSeries(int series);
    int seriesCount() const;
    void setSeriesColor(int series, QColor const& color);
    // NaN leaves a gap. A time before the series' newest (the data clock went back) starts
    // the series afresh.
    void addSample(int series, double time, double value);
    void setLimit(double value, QColor const& color);   // NaN removes it
    void setBands(QVector<band_t> const& bands);
    void setNow(double time);   // the right edge (data clock)
    double now() const;
    void clear();   // forget samples, keep series

    // How many samples a series holds now, and the newest one's value (NaN when none).
    int sampleCount(int series) const;
    double newestValue(int series) const;

    timePlotScale_t scale() const;   // at the current size
    // Space left and right of the plot area (value labels; title and value). The same for every
    // plot with the same font, so a ruler below a column of plots can line up with them.
    QMarginsF plotMargins() const;
    static QMarginsF plotMargins(QFont const& font);
    // The text the large digits show: the value with decimals(), or dashes.
    QString valueText() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void invalidateCache();

    class private_t;
    private_t* d;
};

} // namespace belrix_common_qt_gui
