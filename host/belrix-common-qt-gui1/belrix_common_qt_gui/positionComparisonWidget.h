#pragma once

#include "belrix_common_qt_gui_export.h"
#include "belrix_common_qt_gui/baseGraphWidget.h"

#include <QColor>
#include <QList>
#include <QString>

namespace belrix_common_qt_gui {

// Positions around a centre on a north-up polar plot with range rings and bearings: each
// point, keyed by its name, sits at its range relative to the plot range (1.0 at the rim)
// and its bearing, in its colour and labelled with its name. A point beyond the plot is
// drawn at the rim with an arrow pointing outwards.
class BELRIX_COMMON_QT_GUI_EXPORT positionComparisonWidget_t : public baseGraphWidget_t
{
    Q_OBJECT
public:
    struct point_t {
        QString name;
        double relativeRange = 0.0;   // range / plot range
        double bearing = 0.0;         // degrees clockwise from north
        QColor color;
    };

    explicit positionComparisonWidget_t(QWidget* parent = nullptr);
    ~positionComparisonWidget_t() override;

    // In the order they were first added.
    QList<point_t> positions() const;
    bool hasPosition(QString const& name) const;

public slots:
    // Replaces the point of the same name, if there is one, in its place.
    void addPosition(QString const& name, double relativeRange, double bearing, QColor const& color);
    void removePosition(QString const& name);
    void clear();

protected:
    double margin() const override;
    void drawGrid(QPainter& painter, polarMapping_t const& mapping) override;
    void drawData(QPainter& painter, polarMapping_t const& mapping) override;

private:
    class private_t;
    private_t* d;
};

} // namespace belrix_common_qt_gui
