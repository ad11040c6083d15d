#pragma once

#include "belrix_common_qt_gui_export.h"

#include <QComboBox>

namespace belrix_common_qt {
class remoteController_t;
}

namespace belrix_common_qt_gui {

// Chooses one of the application's devices, or none. The devices come from the
// controller's list (remoteController_t::devices()), which the host publishes, and the
// choice follows that list as it changes; a chosen device that leaves it makes the
// choice none.
class BELRIX_COMMON_QT_GUI_EXPORT deviceSelectWidget_t : public QComboBox
{
    Q_OBJECT
public:
    // The port identifier that stands for no device.
    static constexpr unsigned int NoDevice = 255;

    explicit deviceSelectWidget_t(QWidget* parent = nullptr);
    ~deviceSelectWidget_t() override;

    // Lists the controller's devices from now on; null lists none.
    void init(belrix_common_qt::remoteController_t* controller);
    // Lists only devices whose capability mask has every bit of capabilities set (all
    // true) or any of them (all false); 0 lists every device.
    void setRequiredCapabilities(int capabilities, bool all);

    // NoDevice while none is chosen.
    unsigned int selectedDevice() const;
    // A port identifier that is not listed chooses none.
    void selectDevice(unsigned int portId);
    void selectNone();

signals:
    // Every change of the choice, by the user or by program; NoDevice for none.
    void selectedDeviceChanged(unsigned int portId);

private:
    void updateDevices();
    void handleIndexChanged(int index);

    class private_t;
    private_t* d;
};

} // namespace belrix_common_qt_gui
