#pragma once

#include "sourceAddress.h"

namespace orvane {
namespace app {

class nmeaSource_t;
class simulation_t;
struct receiverProfile_t;

// Makes the source a device declares.
class sourceFactory_t
{
public:
    // Null for kindNone, and null with a message when the source cannot be made. A simulated
    // device joins the simulation, its noise seeded by seed.
    static nmeaSource_t* create(sourceAddress_t const& address, simulation_t* simulation, unsigned seed,
                                QString* error = nullptr);
    // The built-in receivers: receiver-a corrected and steady, receiver-b a code receiver of
    // GPS and GLONASS with outages.
    static receiverProfile_t simulatedReceiver(QString const& which, unsigned seed);
};

} // namespace app
} // namespace orvane
