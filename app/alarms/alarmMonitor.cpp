#include "alarmMonitor.h"

#include "alarmPlayer.h"

#include <belrix_common_qt/dataClock.h>
#include <belrix_common_qt_gui/alertSoundSettings.h>
#include <belrix_common_qt_gui/guiSettings.h>

#include <QHash>

#include <limits>

namespace orvane {
namespace app {

namespace {
constexpr double Never = -std::numeric_limits<double>::infinity();

struct memory_t {
    bool wasBad = false;
    bool wasAlive = false;
};
} // namespace

class alarmMonitor_t::private_t
{
public:
    alarmPlayer_t* player = nullptr;
    QHash<QString, memory_t> devices;
    double lastQualityAlarm = Never;
};

alarmMonitor_t::alarmMonitor_t(alarmPlayer_t* player, QObject* parent) : QObject(parent), d(new private_t)
{
    d->player = player;
}

alarmMonitor_t::~alarmMonitor_t() { delete d; }

void alarmMonitor_t::update(double now, QList<alarmDeviceState_t> const& devices)
{
    auto* gui = belrix_common_qt_gui::guiSettings_t::get();
    const belrix_common_qt_gui::alertSoundSettings_t general = gui->generalAlertSoundSettings();
    const belrix_common_qt_gui::alertSoundSettings_t quality = gui->qualityAlertSoundSettings();

    QHash<QString, memory_t> seen;
    QStringList turnedBad;
    QStringList bad;
    QStringList lost;
    for (alarmDeviceState_t const& device : devices) {
        const memory_t before = d->devices.value(device.name);
        memory_t after;
        after.wasBad = device.connected && device.qualityBad;
        after.wasAlive = device.connected && device.hasData
            && belrix_common_qt::isDataRecent(device.lastDataTime, now, DataLossSeconds);
        if (after.wasBad) {
            bad << device.name;
            if (!before.wasBad)
                turnedBad << device.name;
        }
        if (before.wasAlive && !after.wasAlive)
            lost << device.name;
        seen.insert(device.name, after);
    }
    d->devices = seen;

    if (bad.isEmpty()) {
        d->lastQualityAlarm = Never;
    } else if (quality.enabled) {
        // a clock stepped back (a replay started again) counts as due
        const bool due = quality.interval > 0
            && (now - d->lastQualityAlarm >= double(quality.interval) || now < d->lastQualityAlarm);
        if (!turnedBad.isEmpty() || due || d->lastQualityAlarm == Never) {
            d->lastQualityAlarm = now;
            if (d->player)
                d->player->play(quality.file);
            emit alarmSounded(qualityAlarm, turnedBad.isEmpty() ? bad : turnedBad);
        }
    }

    if (!lost.isEmpty() && general.enabled) {
        if (d->player)
            d->player->play(general.file);
        emit alarmSounded(generalAlarm, lost);
    }
}

} // namespace app
} // namespace orvane
