#pragma once

#include "belrix_common_qt_gui_export.h"
#include "belrix_common_qt_gui/baseGraphWidget.h"

#include <QColor>
#include <QList>

namespace belrix_common_qt_gui {

// Error ellipses on a north-up polar plot, each drawn to scale around the plot's centre
// in its own colour with its centre marked. An ellipse larger than the plot is clipped
// at the rim, not shrunk, so its size on the screen always means what the rings say.
class BELRIX_COMMON_QT_GUI_EXPORT errorEllipseWidget_t : public baseGraphWidget_t
{
    Q_OBJECT
public:
    struct ellipse_t {
        double orientation = 0.0;   // degrees of the semi-major axis, clockwise from north
        double semiMajor = 0.0;     // metres
        double semiMinor = 0.0;     // metres
        double range = 0.0;         // the plot range, in metres, the ellipse was meant for
        QColor color;
    };

    explicit errorEllipseWidget_t(QWidget* parent = nullptr);
    ~errorEllipseWidget_t() override;

    QList<ellipse_t> ellipses() const;

public slots:
    void clear();
    // range scales the ellipse: at range metres it reaches the rim. A range that is not
    // positive takes the plot's. Values that are not finite draw nothing.
    void addEllipse(double orientationDegrees, double semiMajor, double semiMinor, double range,
                    QColor const& color);

protected:
    void drawData(QPainter& painter, polarMapping_t const& mapping) override;

private:
    class private_t;
    private_t* d;
};

} // namespace belrix_common_qt_gui
