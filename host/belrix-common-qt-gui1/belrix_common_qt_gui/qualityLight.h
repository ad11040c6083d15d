#pragma once

#include "belrix_common_qt_gui_export.h"
#include "belrix_common_qt_gui/quality.h"

#include <QColor>
#include <QObject>

class QLabel;

namespace belrix_common_qt_gui {

// A traffic light drawn into a label: a dark lamp when off, red, amber or green when lit.
// It follows the display mode: at night the lamps are dimmed and lose their highlight.
class BELRIX_COMMON_QT_GUI_EXPORT qualityLight_t : public QObject
{
    Q_OBJECT
public:
    // The light draws into label from now on; the label may go before the light.
    qualityLight_t(QLabel* label, QObject* parent = nullptr);
    ~qualityLight_t() override;

    quality_t quality() const;
    QLabel* label() const;

    // The lamp colour of a level, for the day or the night look.
    static QColor lampColor(quality_t quality, bool night);
    // True when the application shows its night look.
    static bool isNightMode();

public slots:
    void setQuality(belrix_common_qt_gui::quality_t quality);
    // Draws the lamp again, for the display mode in force.
    void redraw();

private:
    class private_t;
    private_t* d;
};

} // namespace belrix_common_qt_gui
