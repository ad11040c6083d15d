#pragma once

#include "sources/nmeaSource.h"

namespace orvane {
namespace app {

class simulation_t;

// One simulated device's NMEA: each step of the simulation written as the sentences a real
// receiver (or gyro) would send, so the simulation exercises the whole decoding path. A
// receiver adds the GPS almanac (ALM) now and then.
class simulationSource_t : public nmeaSource_t
{
    Q_OBJECT
public:
    enum kind_t { kindReceiver, kindGyro };
    static constexpr double AlmanacInterval = 300.0;

    // index: as simulation_t::addReceiver or addGyro returned it
    simulationSource_t(simulation_t* simulation, kind_t kind, int index, QObject* parent = nullptr);
    ~simulationSource_t() override;

    // Connected from here on; the simulation's own steps (its timer, or a headless run's
    // hand) produce the lines.
    void start() override;
    void stop() override;
    QString description() const override;

    kind_t kind() const;
    int index() const;

signals:
    // The L-band correction signal's level (dB-Hz), which no standard sentence carries.
    void correctionSignal(double snr, double dataTime);

private:
    void handleStep(double t);

    class private_t;
    private_t* d;
};

} // namespace app
} // namespace orvane
