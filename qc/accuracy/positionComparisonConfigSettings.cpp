#include "accuracy/positionComparisonConfigSettings.h"

#include <orvane/device.h>
#include <orvane/deviceStore.h>
#include <tolvconfig/configCodec.h>
#include <belrix_common_qt/navConstants.h>

namespace orvane {
namespace qc {

namespace {
const char* const KeyActiveDevice = "active_device";
const char* const KeyCenterLat = "center_lat";
const char* const KeyCenterLon = "center_lon";
constexpr int CenterDecimals = 12;
constexpr double HalfPi = 1.57079632679489661923;
using belrix_common_qt::Pi;
// Half the last stored decimal: a centre on a pole or on the date line is written rounded
// outwards and must still read as that bound.
constexpr double RoundingSlack = 0.5e-12;

bool readAngle(double value, double bound, double& angle)
{
    angle = value;
    if (value > bound && value <= bound + RoundingSlack)
        angle = bound;
    else if (value < -bound && value >= -bound - RoundingSlack)
        angle = -bound;
    return angle >= -bound && angle <= bound;
}
} // namespace

bool positionComparisonConfigSettings_t::load(tolvconfig::config_t const& config, keyFunction_t const& key,
                                              labelsKey_t labelsKey)
{
    positionComparisonConfigSettings_t loaded;
    if (!loaded.loadPlotRange(config, key, labelsKey))
        return false;
    unsigned int portId = 0;
    if (tolvconfig::getValue(config, key(KeyActiveDevice), portId)) {
        loaded.activeDevice = deviceStore_t::instance()->deviceForPortId(portId);
    } else {
        double lat = loaded.center.lat;
        if (tolvconfig::getValue(config, key(KeyCenterLat), lat))
            loaded.center.latValid = readAngle(lat, HalfPi, loaded.center.lat);
        double lon = loaded.center.lon;
        if (tolvconfig::getValue(config, key(KeyCenterLon), lon))
            loaded.center.lonValid = readAngle(lon, Pi, loaded.center.lon);
    }
    *this = loaded;
    return true;
}

void positionComparisonConfigSettings_t::save(tolvconfig::config_t& config, keyFunction_t const& key) const
{
    savePlotRange(config, key);
    if (activeDevice) {
        tolvconfig::setValue(config, key(KeyActiveDevice), activeDevice->portId());
    } else {
        tolvconfig::setValue(config, key(KeyCenterLat), center.lat, CenterDecimals);
        tolvconfig::setValue(config, key(KeyCenterLon), center.lon, CenterDecimals);
    }
}

bool positionComparisonConfigSettings_t::operator==(positionComparisonConfigSettings_t const& other) const
{
    return plotRangeSettings_t::operator==(other) && activeDevice == other.activeDevice
        && center.latValid == other.center.latValid && center.lonValid == other.center.lonValid
        && center.lat == other.center.lat && center.lon == other.center.lon;
}

} // namespace qc
} // namespace orvane
