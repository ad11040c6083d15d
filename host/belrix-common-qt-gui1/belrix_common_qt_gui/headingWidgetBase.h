#pragma once

#include "belrix_common_qt_gui_export.h"

#include <QColor>
#include <QWidget>

class QPainter;

namespace belrix_common_qt_gui {

// What the heading displays share: the heading shown (or none), the device's colour, the
// application's graph colours for the mode in force, and a cached layer of everything that
// moves only with the size (scales, labels), drawn again after a change of size, colours,
// display mode or font. The live layer (needle, tape position, digits) is drawn over it on
// every paint.
class BELRIX_COMMON_QT_GUI_EXPORT headingWidgetBase_t : public QWidget
{
    Q_OBJECT
public:
    explicit headingWidgetBase_t(QWidget* parent = nullptr);
    ~headingWidgetBase_t() override;

    bool hasHeading() const;
    double heading() const;   // degrees true in [0, 360); meaningful only with hasHeading()
    QColor deviceColor() const;   // as handed over, whatever the display mode

public slots:
    // A heading that is not a finite number blanks the display.
    void setHeading(float degrees);
    void clear();
    void handleNewDeviceColor(QColor const& color);

protected:
    QColor backgroundColor() const;
    QColor scaleColor() const;   // fine graduations
    QColor textColor() const;    // labels and strong graduations
    QColor dataColor() const;    // the device's colour, dimmed at night

    // The cached layer at the widget's size.
    virtual void drawStatic(QPainter& painter) = 0;
    virtual void drawLive(QPainter& painter) = 0;
    // A new heading or none; lets a display keep what it derives from the heading.
    virtual void headingChanged() {}
    void invalidateStatic();

    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    class private_t;
    private_t* d;
};

} // namespace belrix_common_qt_gui
