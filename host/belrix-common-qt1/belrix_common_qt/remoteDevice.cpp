#include "belrix_common_qt/remoteDevice.h"

#include "belrix_common_qt/dataClock.h"
#include "belrix_common_qt/qcDataStore.h"
#include "belrix_common_qt/qcSettingsBase.h"
#include "belrix_common_qt/rateOfTurnCalculator.h"
#include "belrix_common_qt/remoteNavSat.h"

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

namespace belrix_common_qt {

namespace {

// Satellites live in slots that are never freed while the device lives: sources update them
// in place many times a second, and satellites set and rise again, so after the first sky
// view nothing is allocated. Numbers below DirectNumbers (every number a receiver gives)
// find their slot by index; others by a short search.
constexpr unsigned int DirectNumbers = 1024;
constexpr std::size_t MaxSlots = 65535;

struct navSatSlot_t {
    explicit navSatSlot_t(unsigned int number) : sat(new remoteNavSat_t(number)) {}
    std::unique_ptr<remoteNavSat_t> sat;
    bool present = false;
};

} // namespace

class remoteDevice_t::private_t
{
public:
    navSatSlot_t* findSlot(unsigned int number) const;
    navSatSlot_t* findOrAddSlot(unsigned int number);

    dataItem_t<position_t> inputPosition;
    fixHistory_t fixHistory;
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
    dataItem_t<float> rateOfTurn;
    double measuredRateTime = -1.0e300;   // when a source last set the rate itself
    dataItem_t<receiverIntegrity_t> receiverIntegrity;
    dataItem_t<magneticHeading_t> magneticHeading;
    dataItem_t<outputDatum_t> outputDatum;
    dataItem_t<double> fixTime;
    rateOfTurnCalculator_t rateOfTurnCalculator;
    unsigned int rotSampleSize = 0;
    std::vector<std::unique_ptr<navSatSlot_t>> satSlots;
    std::array<std::uint16_t, DirectNumbers> slotOfNumber{};   // slot index + 1, 0 for none
    std::vector<std::pair<unsigned int, std::uint16_t>> farSlots;   // numbers from DirectNumbers on
    qcDataStore_t qcDataStore;
    qcSettingsBase_t qcSettings;
    double elevationMask = 5.0;
    bool input = true;
    bool belrix = false;
    std::map<logChannelType_t, logCfg_t> logCfgs;
    std::unique_ptr<csvOutputCfg_t> csvOutputCfg;
};

navSatSlot_t* remoteDevice_t::private_t::findSlot(unsigned int number) const
{
    if (number < DirectNumbers) {
        std::uint16_t const index = slotOfNumber[number];
        return index ? satSlots[index - 1u].get() : nullptr;
    }
    for (auto const& far : farSlots) {
        if (far.first == number)
            return satSlots[far.second - 1u].get();
    }
    return nullptr;
}

navSatSlot_t* remoteDevice_t::private_t::findOrAddSlot(unsigned int number)
{
    if (navSatSlot_t* slot = findSlot(number))
        return slot;
    if (satSlots.size() >= MaxSlots)
        return nullptr;
    satSlots.emplace_back(new navSatSlot_t(number));
    std::uint16_t const index = std::uint16_t(satSlots.size());
    if (number < DirectNumbers)
        slotOfNumber[number] = index;
    else
        farSlots.emplace_back(number, index);
    return satSlots.back().get();
}

remoteDevice_t::remoteDevice_t(QObject* parent) : QObject(parent), d(new private_t) {}

remoteDevice_t::~remoteDevice_t()
{
    // children (the logger) may read the data as they go, to keep the last epoch
    while (!children().isEmpty())
        delete children().first();
    delete d;
}

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
dataItem_t<float> const& remoteDevice_t::rateOfTurn() const { return d->rateOfTurn; }
dataItem_t<receiverIntegrity_t> const& remoteDevice_t::receiverIntegrity() const { return d->receiverIntegrity; }
dataItem_t<magneticHeading_t> const& remoteDevice_t::magneticHeading() const { return d->magneticHeading; }
dataItem_t<outputDatum_t> const& remoteDevice_t::outputDatum() const { return d->outputDatum; }
dataItem_t<double> const& remoteDevice_t::fixTime() const { return d->fixTime; }
unsigned int remoteDevice_t::rotSampleSize() const { return d->rotSampleSize; }

std::map<unsigned int, remoteNavSat_t const*> remoteDevice_t::allNavSats() const
{
    std::map<unsigned int, remoteNavSat_t const*> sats;
    for (auto const& slot : d->satSlots) {
        if (slot->present)
            sats.emplace(slot->sat->number(), slot->sat.get());
    }
    return sats;
}

remoteNavSat_t const* remoteDevice_t::navSat(unsigned int number) const
{
    navSatSlot_t const* slot = d->findSlot(number);
    return slot && slot->present ? slot->sat.get() : nullptr;
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
void remoteDevice_t::setHeading(dataItem_t<float> const& item)
{
    d->heading = item;
    double rate = 0.0;
    // a gyro's own rate is better than one differenced from its headings
    bool const measured = isDataRecent(d->measuredRateTime, item.timestamp(), DataMaxAge);
    if (!item.isValid()) {
        d->rateOfTurnCalculator.clear();
        if (!measured)
            d->rateOfTurn.invalidate();
    } else if (d->rateOfTurnCalculator.addHeading(item.timestamp(), item.value(), rate) && !measured) {
        d->rateOfTurn.set(float(rate), item.timestamp());
    }
}

void remoteDevice_t::setCourseOverGround(dataItem_t<float> const& item) { d->courseOverGround = item; }
void remoteDevice_t::setSpeedOverGround(dataItem_t<float> const& item) { d->speedOverGround = item; }
void remoteDevice_t::setPseudorangeStats(dataItem_t<pseudorangeStats_t> const& item) { d->pseudorangeStats = item; }
void remoteDevice_t::setCorrSatSnr(dataItem_t<float> const& item) { d->corrSatSnr = item; }
void remoteDevice_t::setFixQuality(dataItem_t<int> const& item) { d->fixQuality = item; }
void remoteDevice_t::setSatellitesUsed(dataItem_t<unsigned int> const& item)
{
    d->satellitesUsed = item;
    if (item.isValid())
        d->fixHistory.addSatellitesUsed(item.timestamp(), item.value());
}

void remoteDevice_t::setHdop(dataItem_t<float> const& item)
{
    d->hdop = item;
    if (item.isValid())
        d->fixHistory.addHdop(item.timestamp(), item.value());
}

void remoteDevice_t::setVdop(dataItem_t<float> const& item)
{
    d->vdop = item;
    if (item.isValid())
        d->fixHistory.addVdop(item.timestamp(), item.value());
}

void remoteDevice_t::setPdop(dataItem_t<float> const& item)
{
    d->pdop = item;
    if (item.isValid())
        d->fixHistory.addPdop(item.timestamp(), item.value());
}

fixHistory_t const& remoteDevice_t::fixHistory() const { return d->fixHistory; }
void remoteDevice_t::setCorrectionAge(dataItem_t<float> const& item) { d->correctionAge = item; }
void remoteDevice_t::setRateOfTurn(dataItem_t<float> const& item)
{
    d->rateOfTurn = item;
    if (item.isValid())
        d->measuredRateTime = item.timestamp();
}

void remoteDevice_t::setReceiverIntegrity(dataItem_t<receiverIntegrity_t> const& item) { d->receiverIntegrity = item; }
void remoteDevice_t::setMagneticHeading(dataItem_t<magneticHeading_t> const& item) { d->magneticHeading = item; }
void remoteDevice_t::setOutputDatum(dataItem_t<outputDatum_t> const& item) { d->outputDatum = item; }
void remoteDevice_t::setFixTime(dataItem_t<double> const& item) { d->fixTime = item; }

void remoteDevice_t::setRotSampleSize(unsigned int size)
{
    d->rotSampleSize = size;
    d->rateOfTurnCalculator.setSampleSize(size);
}

void remoteDevice_t::setNavSat(remoteNavSat_t const& sat)
{
    if (navSatSlot_t* slot = d->findOrAddSlot(sat.number())) {
        *slot->sat = sat;
        slot->present = true;
    }
}

remoteNavSat_t* remoteDevice_t::addNavSat(unsigned int number, constellation_t constellation)
{
    navSatSlot_t* slot = d->findOrAddSlot(number);
    if (!slot)
        return nullptr;
    if (!slot->present) {
        slot->sat->reset(constellation);
        slot->present = true;
    } else if (slot->sat->constellation() != constellation) {
        slot->sat->setConstellation(constellation);
    }
    return slot->sat.get();
}

remoteNavSat_t* remoteDevice_t::navSatForUpdate(unsigned int number)
{
    navSatSlot_t* slot = d->findSlot(number);
    return slot && slot->present ? slot->sat.get() : nullptr;
}

void remoteDevice_t::removeNavSat(unsigned int number)
{
    if (navSatSlot_t* slot = d->findSlot(number))
        slot->present = false;
}

void remoteDevice_t::clearNavSats()
{
    for (auto& slot : d->satSlots)
        slot->present = false;
}
void remoteDevice_t::setElevationMask(double degrees) { d->elevationMask = degrees; }
void remoteDevice_t::setInput(bool input) { d->input = input; }
void remoteDevice_t::setBelrixReceiver(bool belrix) { d->belrix = belrix; }

void remoteDevice_t::endEpoch() { emit epochEnded(); }

void remoteDevice_t::invalidateAll()
{
    endEpoch();
    d->inputPosition.invalidate();
    d->displayPosition.invalidate();
    d->ellipsoidalHeight.invalidate();
    d->heading.invalidate();
    d->courseOverGround.invalidate();
    d->speedOverGround.invalidate();
    d->pseudorangeStats.invalidate();
    d->receiverIntegrity.invalidate();
    d->magneticHeading.invalidate();
    d->outputDatum.invalidate();
    d->fixTime.invalidate();
    d->corrSatSnr.invalidate();
    d->fixQuality.invalidate();
    d->satellitesUsed.invalidate();
    d->hdop.invalidate();
    d->vdop.invalidate();
    d->pdop.invalidate();
    d->correctionAge.invalidate();
    d->rateOfTurn.invalidate();
    d->rateOfTurnCalculator.clear();
    clearNavSats();
}

} // namespace belrix_common_qt
