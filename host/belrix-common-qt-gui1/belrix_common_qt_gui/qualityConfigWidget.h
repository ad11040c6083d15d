#pragma once

#include "belrix_common_qt_gui_export.h"

#include <QWidget>

namespace belrix_common_qt_gui {

class orvaneDeviceGui_t;
class qualitySettings_t;

// The editor of a device's quality thresholds: for each graded value the bound on the good
// side and the bound on the bad side, and the grades of fix kinds. It edits a copy:
// showSettings fills it, applySettings writes it back. Shown again while it holds no edits
// of the user, it first catches up with the device's record.
class BELRIX_COMMON_QT_GUI_EXPORT qualityConfigWidget_t : public QWidget
{
    Q_OBJECT
public:
    // gui: the device's GUI bundle, through which the editor finds the device's record.
    explicit qualityConfigWidget_t(orvaneDeviceGui_t* gui = nullptr, QWidget* parent = nullptr);
    ~qualityConfigWidget_t() override;

    virtual void showSettings(qualitySettings_t* settings);
    virtual void applySettings(qualitySettings_t* settings);

    // True once the user changed a value since the editor was last filled.
    bool isModified() const;

signals:
    void modified();

protected:
    void showEvent(QShowEvent* event) override;

private:
    class private_t;
    private_t* d;
};

} // namespace belrix_common_qt_gui
