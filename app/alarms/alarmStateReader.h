#pragma once

#include "alarmMonitor.h"

#include <QList>
#include <QObject>

namespace orvane {
class device_t;
}

namespace orvane {
namespace app {

// Reads what the alarms need from the devices. A device's QC quality is bad when any value
// that its QC quality panel grades is graded bad against the device's own quality
// thresholds and QC settings; the reader grades with a panel of its own, so the alarm
// does not depend on whether or where the device's panel is shown. Devices without the QC
// capability have no QC quality.
class alarmStateReader_t : public QObject
{
    Q_OBJECT
public:
    explicit alarmStateReader_t(QObject* parent = nullptr);
    ~alarmStateReader_t() override;

    alarmDeviceState_t state(orvane::device_t* device, double now);
    QList<alarmDeviceState_t> states(QList<orvane::device_t*> const& devices, double now);

private:
    class private_t;
    private_t* d;
};

} // namespace app
} // namespace orvane
