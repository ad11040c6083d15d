#pragma once

#include "belrix_common_qt_gui_export.h"

#include <QWidget>

namespace belrix_common_qt {
class qcSettingsBase_t;
}

namespace belrix_common_qt_gui {

class orvaneDeviceGui_t;

// The editor of a device's QC settings. It edits a copy: showSettings fills it from a
// record, applySettings writes it back. Shown again while it holds no edits of the user,
// it first catches up with the device's record, so a record loaded after the editor was
// filled is what the user sees.
class BELRIX_COMMON_QT_GUI_EXPORT qcConfigWidgetBase_t : public QWidget
{
    Q_OBJECT
public:
    // gui: the device's GUI bundle, through which the editor finds the device's record.
    explicit qcConfigWidgetBase_t(orvaneDeviceGui_t* gui = nullptr, QWidget* parent = nullptr);
    ~qcConfigWidgetBase_t() override;

    virtual void showSettings(belrix_common_qt::qcSettingsBase_t* settings);
    virtual void applySettings(belrix_common_qt::qcSettingsBase_t* settings);

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
