#pragma once

#include "orvane_export.h"

#include <QWidget>

namespace belrix_common_qt {
class remoteDevice_t;
}

namespace orvane {

// The host's own panel of a device window: where the device is and how fresh that is.
class ORVANE_EXPORT devicePositionPanel_t : public QWidget
{
    Q_OBJECT
public:
    explicit devicePositionPanel_t(QWidget* parent = nullptr);
    ~devicePositionPanel_t() override;

public slots:
    // A null device, or stale items, blank the matching rows.
    // While the panel is hidden it only remembers the device, and fills in when shown.
    void updateData(double now, belrix_common_qt::remoteDevice_t const* device);

protected:
    void showEvent(QShowEvent* event) override;

private:
    class private_t;
    private_t* d;
};

} // namespace orvane
