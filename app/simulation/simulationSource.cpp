#include "simulationSource.h"

#include "nmeaEncoder.h"
#include "simulation.h"

#include <QPointer>

#include <cmath>

namespace orvane {
namespace app {

class simulationSource_t::private_t
{
public:
    QPointer<simulation_t> simulation;
    kind_t kind = kindReceiver;
    int index = 0;
    bool running = false;
    double almanacSlot = -1.0;
    QMetaObject::Connection stepConnection;
};

simulationSource_t::simulationSource_t(simulation_t* simulation, kind_t kind, int index, QObject* parent)
    : nmeaSource_t(parent), d(new private_t)
{
    d->simulation = simulation;
    d->kind = kind;
    d->index = index;
}

simulationSource_t::~simulationSource_t() { delete d; }

void simulationSource_t::start()
{
    if (d->running || !d->simulation)
        return;
    d->running = true;
    d->almanacSlot = -1.0;
    d->stepConnection = connect(d->simulation, &simulation_t::stepped, this, &simulationSource_t::handleStep);
    setStatus(QString());
    setConnected(true);
}

void simulationSource_t::stop()
{
    d->running = false;
    disconnect(d->stepConnection);
    setConnected(false);
}

QString simulationSource_t::description() const
{
    return d->kind == kindGyro ? tr("Simulated gyro compass") : tr("Simulated GNSS receiver");
}

simulationSource_t::kind_t simulationSource_t::kind() const { return d->kind; }
int simulationSource_t::index() const { return d->index; }

void simulationSource_t::handleStep(double t)
{
    if (!d->running || !d->simulation)
        return;
    if (d->kind == kindGyro) {
        if (gyroState_t const* state = d->simulation->gyroState(d->index))
            emitLine(nmeaEncoder_t::heading(*state), t);
        return;
    }
    receiverState_t const* state = d->simulation->receiverState(d->index);
    if (!state)
        return;
    for (QByteArray const& line : nmeaEncoder_t::receiverEpoch(*state))
        emitLine(line, t);
    double const slot = std::floor(t / AlmanacInterval);
    if (slot != d->almanacSlot) {
        d->almanacSlot = slot;
        for (QByteArray const& line : nmeaEncoder_t::almanac(d->simulation->gpsAlmanac()))
            emitLine(line, t);
    }
    if (state->correctionSnr)
        emit correctionSignal(*state->correctionSnr, t);
}

} // namespace app
} // namespace orvane
