#pragma once

#include "belrix_common_qt_gui_export.h"

#include <belrix_common_qt/textFormat.h>

#include <QLineEdit>

namespace belrix_common_qt_gui {

// A latitude or longitude typed and shown in the application's lat/lon format
// (guiSettings_t), with a hemisphere letter or a sign, in any of the three formats; read
// back in radians. A value set by program is kept exactly while its text is unchanged,
// so showing a coordinate and reading it back does not round it. Text that is no
// coordinate is marked and reads as NaN.
class BELRIX_COMMON_QT_GUI_EXPORT angleEdit_t : public QLineEdit
{
    Q_OBJECT
public:
    ~angleEdit_t() override;

    // NaN while the text is not a valid coordinate.
    double radians() const;
    // A value out of range or not finite empties the field.
    void setRadians(double radians);
    bool hasValidAngle() const;

protected:
    explicit angleEdit_t(QWidget* parent);
    // Called from the constructor of the derived class, once its virtuals can run.
    void initialize();

    virtual QString formatAngle(double radians, belrix_common_qt::latLonStringOptions_t const& options) const = 0;
    virtual bool parseAngle(QString const& text, double& radians) const = 0;
    // An example in the given format, for the placeholder.
    virtual QString example(belrix_common_qt::latLonStringOptions_t const& options) const = 0;

private:
    void updateFormat();
    void updateValidity();
    void tidyText();

    class private_t;
    private_t* d;
};

} // namespace belrix_common_qt_gui
