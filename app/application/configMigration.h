#pragma once

#include "deviceConfig.h"

#include <QList>
#include <QStringList>

#include <string>

namespace tolvconfig {
class config_t;
}

namespace orvane {

class device_t;
class orvaneDialog_t;

namespace app {

// How a stored configuration becomes this run's: the devices it declares (or the built-in
// simulation when it declares none), what a first start keeps at its defaults, and the keys
// that follow a device to its new name.
class configMigration_t
{
public:
    // The declared devices, or the simulation's when the configuration declares none; what
    // cannot be used is named in problems.
    static QList<deviceConfig_t> devices(tolvconfig::config_t const& config, QStringList* problems);

    // False when the configuration never stored a window's settings: loading them would
    // replace its defaults with empty values.
    static bool holdsKeysOf(tolvconfig::config_t const& config, std::string const& prefix);

    // Moves every key under oldPrefix, which ends in the device's old name, to the new name.
    static void renameDevice(tolvconfig::config_t& config, std::string const& oldPrefix, QString const& oldName,
                             QString const& newName);

    // Until the user configures a centre, the position comparison of the built-in simulation
    // compares against its first receiver.
    static void compareWithFirstReceiver(QList<orvane::orvaneDialog_t*> const& windows,
                                         QList<orvane::device_t*> const& devices);
};

} // namespace app
} // namespace orvane
