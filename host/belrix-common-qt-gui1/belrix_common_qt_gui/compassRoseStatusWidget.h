#pragma once

#include "belrix_common_qt_gui_export.h"
#include "belrix_common_qt_gui/headingWidgetBase.h"
#include "belrix_common_qt_gui/polarMapping.h"

#include <QPolygonF>

namespace belrix_common_qt_gui {

// A north-up compass rose: graduations every degree (longer every 5 and 10), labels every
// 30° with the cardinal points as letters, a needle in the device's colour pointing at the
// heading and the heading in large digits at the centre. Dashes and no needle when clear.
class BELRIX_COMMON_QT_GUI_EXPORT compassRoseStatusWidget_t : public headingWidgetBase_t
{
    Q_OBJECT
public:
    explicit compassRoseStatusWidget_t(QWidget* parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

    // The rose's geometry at the widget's current size: a rim of radius 1.
    polarMapping_t mapping() const;
    // The needle for heading: a slender arrow from the edge of the digits to the
    // graduations, its tip first.
    static QPolygonF needle(polarMapping_t const& mapping, double heading);

protected:
    void drawStatic(QPainter& painter) override;
    void drawLive(QPainter& painter) override;
};

} // namespace belrix_common_qt_gui
