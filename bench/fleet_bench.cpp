// The watch screen of a large installation: 100 GNSS compasses, each with its device graphs,
// QC graphs and both heading windows open, fed one simulated epoch per second of data time.
// fleetTick is one host clock tick of every device plus the QC graphs' own one-second update,
// without painting (the event loop paints later, only what is visible). fleetDay runs one
// device through 24 hours of data time and reports how much its heap grew after the first
// hour, when every history is full: bounded histories keep that near zero.

#include "simulation/nmeaEncoder.h"
#include "simulation/simulation.h"

#include <device/qcDevice.h>
#include <graphs/dlgGraphs.h>
#include <graphs/dlgQcGraphs.h>
#include <instruments/dlgCompassRose.h>
#include <instruments/dlgTapeDisplay.h>

#include <belrix_common_qt/dataClock.h>
#include <belrix_common_qt/nmeaDecoder.h>
#include <belrix_common_qt/remoteDevice.h>
#include <belrix_common_qt/remotePort.h>
#include <orvane/context.h>
#include <orvane/device.h>

#include <benchmark/benchmark.h>

#include <QComboBox>
#include <QMetaObject>

#include <malloc.h>

#include <memory>
#include <vector>

namespace {

constexpr double T0 = 1718000000.0;

class fleet_t
{
public:
    explicit fleet_t(int count) : context(new orvane::context_t), sim(nullptr)
    {
        orvane::app::receiverProfile_t profile;
        profile.seed = 11;
        profile.horizontalSigma = 0.3;
        profile.headingBaseline = 2.0;
        profile.outageInterval = 0.0;
        receiver = sim.addReceiver(profile);
        for (int i = 0; i < count; ++i) {
            auto* device = new orvane::qc::qcDevice_t(context.get(), QStringLiteral("GNSS %1").arg(i + 1), nullptr);
            device->setPort(new belrix_common_qt::remotePort_t);
            device->setDeviceCapabilities(orvane::capFullReceiver | orvane::capHeading);
            device->setDeviceOldType("GNSS");
            device->initialize();
            device->port()->setConnected(true);
            decoders.emplace_back(new belrix_common_qt::nmeaDecoder_t(device->remoteDevice()));
            for (orvane::orvaneDialog_t* dialog : device->dialogs()) {
                if (qobject_cast<orvane::qc::dlgGraphs_t*>(dialog) || qobject_cast<orvane::qc::dlgCompassRose_t*>(dialog)
                    || qobject_cast<orvane::qc::dlgTapeDisplay_t*>(dialog))
                    dialog->show();
                if (auto* qc = qobject_cast<orvane::qc::dlgQcGraphs_t*>(dialog)) {
                    qc->show();
                    qcGraphs.push_back(qc);
                }
            }
            devices.emplace_back(device);
        }
    }

    // One epoch of the simulated receiver into every device.
    void feed(double t)
    {
        belrix_common_qt::dataClock_t::setTime(t);
        sim.step(t);
        QList<QByteArray> const lines = orvane::app::nmeaEncoder_t::receiverEpoch(*sim.receiverState(receiver));
        for (auto& decoder : decoders)
            for (QByteArray const& line : lines)
                decoder->decodeLine(line.constData(), std::size_t(line.size()), t);
    }

    void tick()
    {
        for (auto& device : devices)
            device->handleClockTimeout();
        for (orvane::qc::dlgQcGraphs_t* qc : qcGraphs)
            QMetaObject::invokeMethod(qc, "updateActiveGraph");
    }

    void selectQcGraph(int index)
    {
        for (orvane::qc::dlgQcGraphs_t* qc : qcGraphs)
            if (auto* combo = qc->findChild<QComboBox*>(QStringLiteral("graphCombo")))
                combo->setCurrentIndex(index);
    }

    std::unique_ptr<orvane::context_t> context;
    orvane::app::simulation_t sim;
    int receiver = 0;
    std::vector<std::unique_ptr<belrix_common_qt::nmeaDecoder_t>> decoders;
    std::vector<std::unique_ptr<orvane::qc::qcDevice_t>> devices;
    std::vector<orvane::qc::dlgQcGraphs_t*> qcGraphs;
};

// arg 0: devices; arg 1: which QC graph is current
void fleetTick(benchmark::State& state)
{
    fleet_t fleet(int(state.range(0)));
    fleet.selectQcGraph(int(state.range(1)));
    double t = T0;
    for (; t < T0 + 1800.0; t += 1.0) {   // the graphs' whole span, so every history is full
        fleet.feed(t);
        fleet.tick();
    }
    for (auto _ : state) {
        state.PauseTiming();
        fleet.feed(t);
        t += 1.0;
        state.ResumeTiming();
        fleet.tick();
    }
}

void fleetDay(benchmark::State& state)
{
    for (auto _ : state) {
        fleet_t fleet(1);
        double t = T0;
        auto run = [&](double seconds) {
            for (double end = t + seconds; t < end; t += 1.0) {
                fleet.feed(t);
                fleet.tick();
            }
        };
        run(3600.0);
        const double afterHour = double(mallinfo2().uordblks);
        run(23.0 * 3600.0);
        state.counters["heap_growth_bytes"] = double(mallinfo2().uordblks) - afterHour;
    }
}

} // namespace

BENCHMARK(fleetTick)->Args({100, 0})->Args({100, 1})->Args({100, 2})->Args({100, 3})->Args({100, 4})
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(fleetDay)->Iterations(1)->Unit(benchmark::kSecond);
