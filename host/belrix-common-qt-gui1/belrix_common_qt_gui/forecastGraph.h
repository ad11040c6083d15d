#pragma once

#include "belrix_common_qt_gui_export.h"
#include "belrix_common_qt_gui/forecastPoint.h"
#include "belrix_common_qt_gui/forecastScale.h"
#include "belrix_common_qt_gui/forecasterType.h"
#include "belrix_common_qt_gui/quality.h"

#include <QPointF>
#include <QString>
#include <QVector>
#include <QWidget>

class QGroupBox;

namespace belrix_common_qt_gui {

// One quantity of a satellite forecast over a span of time: a column per forecast sample,
// coloured by its quality against the device's thresholds (green good, amber marginal, red
// bad, hatched red where too few satellites give no value at all); what the device really
// reported drawn over the past part; a marker at the present; the time axis in the user's
// local time (guiSettings_t's UTC offset). A message replaces the graph when there is
// nothing to forecast. Colours follow the application's graph colours and day or night look.
class BELRIX_COMMON_QT_GUI_EXPORT forecastGraph_t : public QWidget
{
    Q_OBJECT
public:
    // With a box, the graph fills the box's layout (one is made when the box has none).
    explicit forecastGraph_t(QGroupBox* box = nullptr, QWidget* parent = nullptr);
    ~forecastGraph_t() override;

    forecasterType_t forecasterType() const;
    double startTime() const;
    double endTime() const;
    int graphDuration() const;
    // How many samples fit side by side: one per pixel column of the plot area.
    int dataWidth() const;
    QVector<forecastPoint_t> points() const;
    QVector<QPointF> history() const;
    double goodThreshold() const;
    double badThreshold() const;
    double now() const;
    QString message() const;
    bool timeLabelsOptional() const;
    // Whether the time labels are drawn at the graph's current size.
    bool showsTimeLabels() const;
    // The geometry of the plot at the graph's size, span and values.
    forecastScale_t scale() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

    // The caption of a type's graph: "Satellites", "HDOP", "VDOP", "PDOP".
    static QString typeName(forecasterType_t type);

public slots:
    void setForecasterType(belrix_common_qt_gui::forecasterType_t type);
    // The span shown, seconds since 1970-01-01 UTC.
    void timeBounds(double start, double end);
    // The span's length; it sets the end when no later end was given.
    void setGraphDuration(int seconds);
    void clearPoints();
    // value NaN: no value at that time (the quality says whether that is bad or unknown).
    void addPoint(double time, double value, belrix_common_qt_gui::quality_t quality);
    // Where the quality turns from good to marginal and from marginal to bad; NaN for none.
    void setThresholds(double good, double bad);
    // What the device reported: x the time (seconds since 1970), y the value. A NaN value
    // breaks the line; points after now() are not drawn.
    void setHistory(QVector<QPointF> const& points);
    // NaN hides the marker.
    void setNow(double time);
    // A text that, when not empty, takes the place of the graph.
    void setMessage(QString const& text);
    // For a graph stacked above another of the same span: when it is too short to spare a
    // row for its time labels it leaves them out, and the lowest graph's serve it.
    void setTimeLabelsOptional(bool optional);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    class private_t;
    private_t* d;
};

} // namespace belrix_common_qt_gui
