#pragma once

#include "tolvcommon_qt_gui_export.h"

#include <QString>
#include <QVector>
#include <QWidget>

namespace tolvcommon_qt_gui {

// A horizontal scale: major ticks with labels and optional minor ticks between them over
// a range of values, left to right or (inverted) right to left. It can leave margins at
// its ends, measured from its own edges or from another widget's, so that it lines up
// under plots whose value area is inset.
class TOLVCOMMON_QT_GUI_EXPORT ruler_t : public QWidget
{
    Q_OBJECT
public:
    // One row of a tick table: major ticks every step, each interval cut into minorCount parts.
    struct tick_t {
        double step;
        int minorCount;
    };
    // Where the axis line is: at the top with the labels below it, or at the bottom.
    enum location_t { axisTop = 0, axisBottom = 1 };

    explicit ruler_t(QWidget* parent = nullptr);
    ~ruler_t() override;

    void axisLocation(int location);
    // When interactive, a click signals the value under the pointer.
    void interactive(bool on);
    void range(double from, double to);
    void showMinorTicks(bool show);
    // Inverted, the range runs from the right end to the left.
    void invert(bool on);
    // The rows are tried in order; the first whose labels do not crowd each other is used
    // (the last when none fits). Labels show the value times labelFactor.
    void tickTable(QVector<tick_t> const& table, double labelFactor);
    // Space at the ends; with a reference, measured from the reference's edges, wherever it is.
    void setMargins(double left, double right, QWidget* reference = nullptr);
    // A word after the end of the scale that names what it counts ("min ago").
    void setCaption(QString const& caption);

    double from() const;
    double to() const;
    bool isInverted() const;
    // The scale's ends in the ruler's own pixels, after the margins.
    double scaleLeft() const;
    double scaleRight() const;
    double valueToX(double value) const;
    double xToValue(double x) const;
    // The major tick values shown at the current width, and their minor count.
    QVector<double> majorTicks() const;
    int minorCount() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    void valueClicked(double value);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    class private_t;
    private_t* d;
};

} // namespace tolvcommon_qt_gui
