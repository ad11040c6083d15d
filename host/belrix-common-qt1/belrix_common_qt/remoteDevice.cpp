#include "belrix_common_qt/remoteDevice.h"

#include "belrix_common_qt/qcDataStore.h"
#include "belrix_common_qt/qcSettingsBase.h"
#include "belrix_common_qt/remoteNavSat.h"

#include <memory>

namespace belrix_common_qt {

class remoteDevice_t::private_t
{
public:
    dataItem_t<position_t> inputPosition;
    dataItem_t<position_t> displayPosition;
    dataItem_t<double> ellipsoidalHeight;
    dataItem_t<float> heading;
    dataItem_t<float> courseOverGround;
    dataItem_t<float> speedOverGround;
    dataItem_t<pseudorangeStats_t> pseudorangeStats;
    dataItem_t<float> corrSatSnr;
    dataItem_t<int> fixQuality;
    dataItem_t<unsigned int> satellitesUsed;
    dataItem_t<float> hdop;
    dataItem_t<float> vdop;
    dataItem_t<float> pdop;
    dataItem_t<float> correctionAge;
    std::map<unsigned int, std::unique_ptr<remoteNavSat_t>> sats;
    qcDataStore_t qcDataStore;
    qcSettingsBase_t qcSettings;
    double elevationMask = 5.0;
    bool input = true;
    bool belrix = false;
    std::map<logChannelType_t, logCfg_t> logCfgs;
    std::unique_ptr<csvOutputCfg_t> csvOutputCfg;
};

remoteDevice_t::remoteDevice_t(QObject* parent) : QObject(parent), d(new private_t) {}

remoteDevice_t::~remoteDevice_t() { delete d; }

dataItem_t<position_t> const& remoteDevice_t::inputPosition() const { return d->inputPosition; }
dataItem_t<position_t> const& remoteDevice_t::displayPosition() const { return d->displayPosition; }
dataItem_t<double> const& remoteDevice_t::ellipsoidalHeight() const { return d->ellipsoidalHeight; }
dataItem_t<float> const& remoteDevice_t::heading() const { return d->heading; }
dataItem_t<float> const& remoteDevice_t::courseOverGround() const { return d->courseOverGround; }
dataItem_t<float> const& remoteDevice_t::speedOverGround() const { return d->speedOverGround; }
dataItem_t<pseudorangeStats_t> const& remoteDevice_t::pseudorangeStats() const { return d->pseudorangeStats; }
dataItem_t<float> const& remoteDevice_t::corrSatSnr() const { return d->corrSatSnr; }
dataItem_t<int> const& remoteDevice_t::fixQuality() const { return d->fixQuality; }
dataItem_t<unsigned int> const& remoteDevice_t::satellitesUsed() const { return d->satellitesUsed; }
dataItem_t<float> const& remoteDevice_t::hdop() const { return d->hdop; }
dataItem_t<float> const& remoteDevice_t::vdop() const { return d->vdop; }
dataItem_t<float> const& remoteDevice_t::pdop() const { return d->pdop; }
dataItem_t<float> const& remoteDevice_t::correctionAge() const { return d->correctionAge; }

std::map<unsigned int, remoteNavSat_t const*> remoteDevice_t::allNavSats() const
{
    std::map<unsigned int, remoteNavSat_t const*> sats;
    for (auto const& entry : d->sats)
        sats.emplace(entry.first, entry.second.get());
    return sats;
}

remoteNavSat_t const* remoteDevice_t::navSat(unsigned int number) const
{
    auto it = d->sats.find(number);
    return it == d->sats.end() ? nullptr : it->second.get();
}

qcDataStore_t* remoteDevice_t::qcDataStore() const { return &d->qcDataStore; }
qcSettingsBase_t* remoteDevice_t::qcSettings() const { return &d->qcSettings; }
double remoteDevice_t::elevationMask() const { return d->elevationMask; }
bool remoteDevice_t::isInput() const { return d->input; }
bool remoteDevice_t::belrixReceiver() const { return d->belrix; }

logCfg_t const* remoteDevice_t::logCfg(logChannelType_t channel) const
{
    auto it = d->logCfgs.find(channel);
    return it == d->logCfgs.end() ? nullptr : &it->second;
}

void remoteDevice_t::setLogCfg(logChannelType_t channel, logCfg_t const& cfg)
{
    d->logCfgs[channel] = cfg;
    emit logCfgUpdated(channel, &d->logCfgs[channel]);
}

csvOutputCfg_t const* remoteDevice_t::csvOutputCfg() const { return d->csvOutputCfg.get(); }

void remoteDevice_t::setCsvOutputCfg(csvOutputCfg_t const& cfg)
{
    d->csvOutputCfg.reset(new csvOutputCfg_t(cfg));
    emit csvOutputCfgUpdated();
}

void remoteDevice_t::setInputPosition(dataItem_t<position_t> const& item) { d->inputPosition = item; }
void remoteDevice_t::setDisplayPosition(dataItem_t<position_t> const& item) { d->displayPosition = item; }
void remoteDevice_t::setEllipsoidalHeight(dataItem_t<double> const& item) { d->ellipsoidalHeight = item; }
void remoteDevice_t::setHeading(dataItem_t<float> const& item) { d->heading = item; }
void remoteDevice_t::setCourseOverGround(dataItem_t<float> const& item) { d->courseOverGround = item; }
void remoteDevice_t::setSpeedOverGround(dataItem_t<float> const& item) { d->speedOverGround = item; }
void remoteDevice_t::setPseudorangeStats(dataItem_t<pseudorangeStats_t> const& item) { d->pseudorangeStats = item; }
void remoteDevice_t::setCorrSatSnr(dataItem_t<float> const& item) { d->corrSatSnr = item; }
void remoteDevice_t::setFixQuality(dataItem_t<int> const& item) { d->fixQuality = item; }
void remoteDevice_t::setSatellitesUsed(dataItem_t<unsigned int> const& item) { d->satellitesUsed = item; }
void remoteDevice_t::setHdop(dataItem_t<float> const& item) { d->hdop = item; }
void remoteDevice_t::setVdop(dataItem_t<float> const& item) { d->vdop = item; }
void remoteDevice_t::setPdop(dataItem_t<float> const& item) { d->pdop = item; }
void remoteDevice_t::setCorrectionAge(dataItem_t<float> const& item) { d->correctionAge = item; }

void remoteDevice_t::setNavSat(remoteNavSat_t const& sat)
{
    auto& slot = d->sats[sat.number()];
    if (slot)
        *slot = sat;
    else
        slot.reset(new remoteNavSat_t(sat));
}

void remoteDevice_t::removeNavSat(unsigned int number) { d->sats.erase(number); }
void remoteDevice_t::clearNavSats() { d->sats.clear(); }
void remoteDevice_t::setElevationMask(double degrees) { d->elevationMask = degrees; }
void remoteDevice_t::setInput(bool input) { d->input = input; }
void remoteDevice_t::setBelrixReceiver(bool belrix) { d->belrix = belrix; }

void remoteDevice_t::invalidateAll()
{
    d->inputPosition.invalidate();
    d->displayPosition.invalidate();
    d->ellipsoidalHeight.invalidate();
    d->heading.invalidate();
    d->courseOverGround.invalidate();
    d->speedOverGround.invalidate();
    d->pseudorangeStats.invalidate();
    d->corrSatSnr.invalidate();
    d->fixQuality.invalidate();
    d->satellitesUsed.invalidate();
    d->hdop.invalidate();
    d->vdop.invalidate();
    d->pdop.invalidate();
    d->correctionAge.invalidate();
    d->sats.clear();
}

} // namespace belrix_common_qt
