#pragma once

#include "belrix_common_qt_gui_export.h"

#include <belrix_common_qt/units.h>

#include <QDoubleSpinBox>

namespace belrix_common_qt_gui {

// A distance typed and shown in the application's distance unit (guiSettings_t), read
// back in metres. A value set by program is kept exactly until the user edits it, so
// showing a distance and reading it back does not round it to the shown decimals. A
// change of the application's unit converts what is shown.
class BELRIX_COMMON_QT_GUI_EXPORT distanceEdit_t : public QDoubleSpinBox
{
    Q_OBJECT
public:
    explicit distanceEdit_t(QWidget* parent = nullptr);
    ~distanceEdit_t() override;

    // value is given in unit (distanceUnitMeters for metres).
    void setDistance(double value, belrix_common_qt::distanceUnit_t unit = belrix_common_qt::distanceUnitMeters);
    double meters() const;

    // Negative distances are refused by default; refusing clamps a negative value to 0.
    void allowNegative(bool allow);
    bool negativeAllowed() const;

signals:
    // Every change, by the user or by program, in metres.
    void distanceChanged(double meters);

private:
    void updateUnit();
    void handleValueChanged(double value);

    class private_t;
    private_t* d;
};

} // namespace belrix_common_qt_gui
