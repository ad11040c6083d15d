#pragma once

#include "orvane_export.h"
#include "orvane/orvaneDialog.h"

#include <QColor>

namespace belrix_common_qt {
class remoteDevice_t;
}
namespace belrix_common_qt_gui {
class orvaneDeviceGui_t;
class qualitySettings_t;
}

namespace orvane {

class context_t;
class device_t;

// A window bound to one device: the device among its parents gives its data, colour and
// the prefix of its configuration keys.
class ORVANE_EXPORT deviceDialog_t : public orvaneDialog_t
{
    Q_OBJECT
public:
    deviceDialog_t(context_t* context, QWidget* parent);
    ~deviceDialog_t() override;

    context_t* context() const;
    device_t* device() const;                                   // null without a device parent
    belrix_common_qt::remoteDevice_t* remoteDevice() const;     // may be null
    belrix_common_qt_gui::orvaneDeviceGui_t* deviceGui() const;
    QColor deviceColor() const;
    int deviceCapabilities() const;
    belrix_common_qt_gui::qualitySettings_t* deviceQualitySettings() const;

    std::string outputKey(std::string const& name) const;
    std::string outputKey(std::string const& name, int index) const override;

public slots:
    virtual void updateDeviceColor();
    virtual void updateDeviceName();
    // "<device description> - <window title>"
    void updateWindowTitle() override;

private:
    class private_t;
    private_t* d;
};

} // namespace orvane
