#include "configMigration.h"

#include <accuracy/dlgPositionComparison.h>
#include <orvane/device.h>
#include <tolvconfig/config.h>

namespace orvane {
namespace app {

QList<deviceConfig_t> configMigration_t::devices(tolvconfig::config_t const& config, QStringList* problems)
{
    if (deviceConfigList_t::isDeclared(config))
        return deviceConfigList_t::load(config, problems);
    return deviceConfigList_t::simulationDevices();
}

bool configMigration_t::holdsKeysOf(tolvconfig::config_t const& config, std::string const& prefix)
{
    for (std::string const& key : config.keys()) {
        if (key.compare(0, prefix.size(), prefix) == 0)
            return true;
    }
    return false;
}

void configMigration_t::renameDevice(tolvconfig::config_t& config, std::string const& oldPrefix, QString const& oldName,
                                     QString const& newName)
{
    std::string const oldTail = oldName.toStdString() + ".";
    if (newName == oldName || oldPrefix.size() < oldTail.size()
        || oldPrefix.compare(oldPrefix.size() - oldTail.size(), oldTail.size(), oldTail) != 0)
        return;
    std::string const newPrefix = oldPrefix.substr(0, oldPrefix.size() - oldTail.size()) + newName.toStdString() + ".";
    for (std::string const& key : config.keys()) {
        if (key.compare(0, oldPrefix.size(), oldPrefix) != 0)
            continue;
        std::string value;
        config.getValue(key, value);
        config.removeValue(key);
        config.setValue(newPrefix + key.substr(oldPrefix.size()), value);
    }
}

void configMigration_t::compareWithFirstReceiver(QList<orvane::orvaneDialog_t*> const& windows,
                                                 QList<orvane::device_t*> const& devices)
{
    for (orvane::orvaneDialog_t* window : windows) {
        auto* comparison = qobject_cast<orvane::qc::dlgPositionComparison_t*>(window);
        if (!comparison)
            continue;
        orvane::qc::positionComparisonConfigSettings_t settings = comparison->configSettings();
        if (settings.activeDevice || settings.center.isValid())
            continue;
        for (orvane::device_t* device : devices) {
            if (device->deviceCapabilities() & orvane::capPositions) {
                settings.activeDevice = device;
                comparison->setConfigSettings(settings);
                break;
            }
        }
    }
}

} // namespace app
} // namespace orvane
