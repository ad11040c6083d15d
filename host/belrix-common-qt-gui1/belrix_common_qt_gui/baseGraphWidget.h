#pragma once

#include "belrix_common_qt_gui_export.h"
#include "belrix_common_qt_gui/polarMapping.h"

#include <belrix_common_qt/units.h>

#include <QColor>
#include <QStringList>
#include <QWidget>

class QPainter;

namespace belrix_common_qt_gui {

// A north-up polar plot: range rings out to range() metres, labelled in the
// application's distance unit as graphLabelType() says (0 none, 1 along the horizontal
// axis, 2 along the vertical axis), in the application's graph colours. Rings and labels
// are drawn once into a cache at the screen's pixel ratio and drawn again only after a
// change of size, range, labels, colours, unit or font; derived plots draw their data
// on top on every paint.
class BELRIX_COMMON_QT_GUI_EXPORT baseGraphWidget_t : public QWidget
{
    Q_OBJECT
public:
    explicit baseGraphWidget_t(QWidget* parent = nullptr);
    ~baseGraphWidget_t() override;

    double range() const;
    int graphLabelType() const;
    // The plot's geometry at the widget's current size.
    polarMapping_t mapping() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

    // How many rings divide the range.
    static constexpr int RingCount = 4;
    // The rings' labels, innermost first, in unit with as few decimals as tell them apart
    // exactly (three significant figures of the innermost, at most four decimals).
    static QStringList ringLabels(double range, belrix_common_qt::distanceUnit_t unit);

public slots:
    // Metres; a range that is not positive draws rings without a scale.
    void setRange(double meters);
    void setGraphLabelType(int type);

protected:
    QColor backgroundColor() const;
    QColor gridColor() const;
    QColor textColor() const;

    // Space around the plot circle for the letters or bearings at its rim.
    virtual double margin() const;
    // The cached layer: rim, rings, axes, cardinal letters and ring labels.
    virtual void drawGrid(QPainter& painter, polarMapping_t const& mapping);
    // The live layer, over the cache.
    virtual void drawData(QPainter& painter, polarMapping_t const& mapping) = 0;
    // Draws text centred on a point, on a halo of the background so it reads over lines.
    void drawLabel(QPainter& painter, QPointF const& centre, QString const& text, QColor const& color) const;
    // Drops the cached layer; the next paint draws it again.
    void invalidateGrid();

    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    class private_t;
    private_t* d;
};

} // namespace belrix_common_qt_gui
