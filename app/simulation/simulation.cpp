#include "simulation.h"

#include "receiverErrorModel.h"
#include "satelliteSky.h"
#include "shipTrack.h"
#include "simulationCommon.h"

#include "belrix_common_qt/almMgrGlonass.h"
#include "belrix_common_qt/almMgrGps.h"
#include "belrix_common_qt/dataClock.h"
#include "belrix_common_qt/remoteController.h"
#include "belrix_common_qt/remoteDevice.h"

#include <QPointer>
#include <QTimer>

#include <cmath>
#include <map>

using namespace belrix_common_qt;

namespace orvane {
namespace app {

using namespace sim;

namespace {

constexpr double LatestTime = 1.0e11;       // beyond it the hashes of whole seconds overflow

struct receiver_t {
    receiverErrorModel_t model;
    receiverState_t state;
    bool stepped = false;
};

struct gyro_t {
    unsigned int seed = 0;
    gyroState_t state;
    bool stepped = false;
};

bool inRange(double t) { return std::isfinite(t) && std::fabs(t) <= LatestTime; }

} // namespace

class simulation_t::private_t
{
public:
    QPointer<remoteController_t> controller;
    std::vector<receiver_t> receivers;
    std::vector<gyro_t> gyros;
    satelliteSky_t sky;
    shipTrack_t track;
    QTimer* timer = nullptr;
    bool almanacSeeded = false;
    double lastRefreshSlot = 0.0;
    std::map<unsigned int, almanacGps_t> broadcastGps;   // the newest entry of each satellite

    void updateAlmanacs(double t);
    void publish(almanacGps_t const& almanac);
    void publish(almanacGlonass_t const& almanac);
    void computeGyro(gyro_t& gyro, double t, shipState_t const& ship) const;
};

void simulation_t::private_t::publish(almanacGps_t const& almanac)
{
    auto it = broadcastGps.find(almanac.prn);
    if (it == broadcastGps.end() || it->second.referenceTime() <= almanac.referenceTime())
        broadcastGps[almanac.prn] = almanac;
    if (controller)
        controller->almMgrGps()->addAlmanac(almanac);
}

void simulation_t::private_t::publish(almanacGlonass_t const& almanac)
{
    if (controller)
        controller->almMgrGlonass()->addAlmanac(almanac);
}

void simulation_t::private_t::updateAlmanacs(double t)
{
    std::vector<orbit_t const*> gps, glonass;
    for (orbit_t const& o : sky.orbits()) {
        if (o.constellation == constellationGps)
            gps.push_back(&o);
        else if (o.constellation == constellationGlonass)
            glonass.push_back(&o);
    }
    double const slot = std::floor((t - Epoch) / 600.0);
    if (!almanacSeeded) {
        // entries from a few earlier uploads, so that oldest and newest differ from the start
        for (orbit_t const* o : gps)
            publish(sky.gpsAlmanac(*o, t, int(key(channelAlmanac, o->number) % 3)));
        for (orbit_t const* o : glonass)
            publish(sky.glonassAlmanac(*o, t, int(key(channelAlmanac, o->number) % 2)));
        almanacSeeded = true;
        lastRefreshSlot = slot;
        return;
    }
    if (slot == lastRefreshSlot)
        return;
    lastRefreshSlot = slot;
    std::size_t const n = std::size_t(std::fabs(std::fmod(slot, 7919.0)));
    publish(sky.gpsAlmanac(*gps[n % gps.size()], t, 0));
    publish(sky.glonassAlmanac(*glonass[n % glonass.size()], t, 0));
}

void simulation_t::private_t::computeGyro(gyro_t& gyro, double t, shipState_t const& ship) const
{
    double const error = 0.04 * markov(key(gyro.seed, channelGyro), t - Epoch, 300.0, 8)
                         + 0.03 * gaussian(key(gyro.seed, channelGyro, wholeSecond(t)));
    gyro.state.time = t;
    gyro.state.heading = degrees360(ship.heading + error * DegToRad);
}

simulation_t::simulation_t(remoteController_t* controller, QObject* parent) : QObject(parent), d(new private_t)
{
    d->controller = controller;
    d->timer = new QTimer(this);
    d->timer->setInterval(1000);
    connect(d->timer, &QTimer::timeout, this, &simulation_t::stepNow);
}

simulation_t::~simulation_t() { delete d; }

int simulation_t::addReceiver(receiverProfile_t const& profile)
{
    d->receivers.push_back(receiver_t{receiverErrorModel_t(profile), receiverState_t(), false});
    return int(d->receivers.size()) - 1;
}

int simulation_t::addGyro()
{
    gyro_t gyro;
    gyro.seed = 7001u + unsigned(d->gyros.size());
    d->gyros.push_back(gyro);
    return int(d->gyros.size()) - 1;
}

double simulation_t::nominalRangeSigma(receiverProfile_t const& profile)
{
    return receiverErrorModel_t::nominalRangeSigma(profile);
}

int simulation_t::receiverCount() const { return int(d->receivers.size()); }
int simulation_t::gyroCount() const { return int(d->gyros.size()); }

receiverProfile_t simulation_t::profile(int receiver) const
{
    if (receiver < 0 || receiver >= receiverCount())
        return receiverProfile_t();
    return d->receivers[std::size_t(receiver)].model.profile();
}

receiverState_t const* simulation_t::receiverState(int receiver) const
{
    if (receiver < 0 || receiver >= receiverCount() || !d->receivers[std::size_t(receiver)].stepped)
        return nullptr;
    return &d->receivers[std::size_t(receiver)].state;
}

gyroState_t const* simulation_t::gyroState(int gyro) const
{
    if (gyro < 0 || gyro >= gyroCount() || !d->gyros[std::size_t(gyro)].stepped)
        return nullptr;
    return &d->gyros[std::size_t(gyro)].state;
}

std::vector<almanacGps_t> simulation_t::gpsAlmanac() const
{
    std::vector<almanacGps_t> list;
    for (auto const& entry : d->broadcastGps)
        list.push_back(entry.second);
    return list;
}

void simulation_t::step(double t)
{
    if (!inRange(t))
        return;
    d->updateAlmanacs(t);
    shipState_t const ship = d->track.at(t);
    position_t const reference = shipTrack_t::toPosition(ship.east, ship.north);
    std::vector<skyView_t> const view = d->sky.view(reference, GeoidHeight + AntennaHeight, t);
    for (receiver_t& rx : d->receivers) {
        rx.state = rx.model.stateAt(t, d->track, ship, d->sky, view);
        rx.stepped = true;
    }
    for (gyro_t& gyro : d->gyros) {
        d->computeGyro(gyro, t, ship);
        gyro.stepped = true;
    }
    emit stepped(t);
}

void simulation_t::stepNow() { step(dataTimestamp()); }

void simulation_t::start()
{
    stepNow();
    d->timer->start();
}

void simulation_t::stop() { d->timer->stop(); }

bool simulation_t::isRunning() const { return d->timer->isActive(); }

position_t simulation_t::shipPosition(double t) const
{
    if (!inRange(t))
        return position_t();
    shipState_t const s = d->track.at(t);
    return shipTrack_t::toPosition(s.east, s.north);
}

double simulation_t::shipHeading(double t) const
{
    if (!inRange(t))
        return 0.0;
    double const heading = wrapTwoPi(d->track.at(t).heading) * RadToDeg;
    return heading < 360.0 ? heading : 0.0;
}

std::optional<dop_t> simulation_t::dilutionOfPrecision(std::vector<std::pair<double, double>> const& azimuthElevation)
{
    return receiverErrorModel_t::dilutionOfPrecision(azimuthElevation);
}

} // namespace app
} // namespace orvane
