#include "sourceFactory.h"

#include "fileReplaySource.h"
#include "gpsdSource.h"
#include "serialSource.h"
#include "simulation/simulation.h"
#include "simulation/simulationSource.h"
#include "tcpClientSource.h"
#include "udpSource.h"

#include <QCoreApplication>

namespace orvane {
namespace app {

receiverProfile_t sourceFactory_t::simulatedReceiver(QString const& which, unsigned seed)
{
    receiverProfile_t profile;
    profile.seed = seed;
    if (which == QLatin1String("receiver-a")) {
        profile.horizontalSigma = 0.3;
        profile.antennaOffsetForward = 12.0;
        profile.antennaOffsetStarboard = -1.5;
        profile.belrix = true;
        profile.fixQuality = 5;
        profile.outageInterval = 0.0;
        profile.headingBaseline = 2.0;
    } else {
        profile.horizontalSigma = 1.8;
        profile.antennaOffsetForward = 10.0;
        profile.antennaOffsetStarboard = 2.0;
        profile.fixQuality = 2;
        profile.allConstellations = false;
    }
    return profile;
}

nmeaSource_t* sourceFactory_t::create(sourceAddress_t const& address, simulation_t* simulation, unsigned seed, QString* error)
{
    switch (address.kind) {
    case sourceAddress_t::kindNone: return nullptr;
    case sourceAddress_t::kindSimulation:
        if (!simulation) {
            if (error)
                *error = QCoreApplication::translate("orvane::app::sourceFactory_t", "The simulation is not running.");
            return nullptr;
        }
        if (address.simulated == QLatin1String("gyro"))
            return new simulationSource_t(simulation, simulationSource_t::kindGyro, simulation->addGyro());
        return new simulationSource_t(simulation, simulationSource_t::kindReceiver,
                                      simulation->addReceiver(simulatedReceiver(address.simulated, seed)));
    case sourceAddress_t::kindFile: return new fileReplaySource_t(address.path, address.rate, address.loop);
    case sourceAddress_t::kindTcp: return new tcpClientSource_t(address.host, address.port);
    case sourceAddress_t::kindUdp: return new udpSource_t(address.port, address.host);
    case sourceAddress_t::kindSerial: return new serialSource_t(address.device, address.baudRate, address.parity);
    case sourceAddress_t::kindGpsd: return new gpsdSource_t(address.host, address.port, address.device);
    }
    return nullptr;
}

} // namespace app
} // namespace orvane
