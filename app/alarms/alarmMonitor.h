#pragma once

#include <QList>
#include <QObject>
#include <QString>

namespace orvane {
namespace app {

class alarmPlayer_t;

// One device as the alarms see it at one moment.
struct alarmDeviceState_t {
    QString name;
    bool connected = false;
    bool qualityBad = false;     // its QC quality is graded bad now
    double lastDataTime = 0.0;   // data time of its latest position or heading
    bool hasData = false;        // false: no position or heading at all
};

// Sounds the audio alarms of the general settings on the data clock:
// - the quality alarm when a device's QC quality turns bad, and again every interval
//   seconds while any device stays bad (an interval of 0 sounds once per bad spell);
// - the general alarm once when a device's data stops arriving: it had current data while
//   connected, and now has none for DataLossSeconds, or lost its connection.
// Each only while enabled, with the file configured for it.
class alarmMonitor_t : public QObject
{
    Q_OBJECT
public:
    static constexpr double DataLossSeconds = 5.0;

    enum alarm_t { generalAlarm, qualityAlarm };
    Q_ENUM(alarm_t)

    // The player must outlive the monitor.
    explicit alarmMonitor_t(alarmPlayer_t* player, QObject* parent = nullptr);
    ~alarmMonitor_t() override;

    // Judges the devices at data time now and sounds what is due. Devices are told apart
    // by name; one that is no longer listed is forgotten.
    void update(double now, QList<alarmDeviceState_t> const& devices);

signals:
    // An alarm sounded for the named devices.
    void alarmSounded(orvane::app::alarmMonitor_t::alarm_t alarm, QStringList const& devices);

private:
    class private_t;
    private_t* d;
};

} // namespace app
} // namespace orvane
