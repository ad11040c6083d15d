#pragma once

#include "belrix_common_qt_gui_export.h"
#include "belrix_common_qt_gui/deviceGraphSettings.h"

#include <QDialog>

namespace belrix_common_qt_gui {

class deviceGraphSet_t;

// Chooses which of a device's graphs a window shows and in which order: the set's
// quantities not yet chosen on the left, the chosen ones top to bottom on the right.
// accepted() follows OK only; settings() then holds the choice.
class BELRIX_COMMON_QT_GUI_EXPORT deviceGraphSettingsDialog_t : public QDialog
{
    Q_OBJECT
public:
    explicit deviceGraphSettingsDialog_t(QWidget* parent = nullptr);
    ~deviceGraphSettingsDialog_t() override;

    void setDeviceGraphSet(deviceGraphSet_t* set);
    void setSettings(deviceGraphSettings_t const& settings);
    deviceGraphSettings_t settings() const;

private slots:
    void addGraph();
    void removeGraph();
    void moveUp();
    void moveDown();
    void checkButtons();
    void handleGraphSetDestroyed();

private:
    void fillLists(QStringList const& chosen);

    class private_t;
    private_t* d;
};

} // namespace belrix_common_qt_gui
