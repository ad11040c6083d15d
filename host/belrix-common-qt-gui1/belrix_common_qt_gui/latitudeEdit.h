#pragma once

#include "belrix_common_qt_gui_export.h"
#include "belrix_common_qt_gui/angleEdit.h"

namespace belrix_common_qt_gui {

// A latitude in radians, shown with its hemisphere letter.
class BELRIX_COMMON_QT_GUI_EXPORT latitudeEdit_t : public angleEdit_t
{
    Q_OBJECT
public:
    explicit latitudeEdit_t(QWidget* parent = nullptr);
    ~latitudeEdit_t() override;

    void setLatitude(double radians);

protected:
    QString formatAngle(double radians, belrix_common_qt::latLonStringOptions_t const& options) const override;
    bool parseAngle(QString const& text, double& radians) const override;
    QString example(belrix_common_qt::latLonStringOptions_t const& options) const override;
};

} // namespace belrix_common_qt_gui
