#pragma once

#include "belrix_common_qt_gui_export.h"
#include "belrix_common_qt_gui/headingWidgetBase.h"

#include <QRectF>

namespace belrix_common_qt_gui {

// A heading tape: the heading in large digits over a tape of graduations that moves under
// a fixed lubber line, and the rate of turn as a bar growing from the middle to port (left)
// or starboard (right). Dashes, an empty tape and no bar when clear.
class BELRIX_COMMON_QT_GUI_EXPORT headingStatusWidget_t : public headingWidgetBase_t
{
    Q_OBJECT
public:
    explicit headingStatusWidget_t(QWidget* parent = nullptr);
    ~headingStatusWidget_t() override;

    struct layout_t {
        QRectF digits;
        QRectF tape;
        QRectF rot;
    };
    // The three bands of a widget of size: digits, tape, rate of turn.
    static layout_t layoutFor(QSizeF const& size);

    bool hasRateOfTurn() const;
    double rateOfTurn() const;   // degrees per minute, to starboard when positive

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

public slots:
    // Shown with the heading; a rate that is not a finite number, or clear(), blanks it.
    void setRateOfTurn(float degreesPerMinute);
    void clearRateOfTurn();

protected:
    void drawStatic(QPainter& painter) override;
    void drawLive(QPainter& painter) override;
    void headingChanged() override;

private:
    class private_t;
    private_t* d;
};

} // namespace belrix_common_qt_gui
