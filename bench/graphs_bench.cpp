// The device graphs windows: one clock tick of many windows on many receivers (the graphs
// take their samples; painting happens later on the event loop), and the painting of one
// window whose graphs hold a full half hour.

#include <graphs/dlgGraphs.h>
#include <belrix_common_qt/dataClock.h>
#include <belrix_common_qt/pseudorangeStats.h>
#include <belrix_common_qt/remoteDevice.h>
#include <belrix_common_qt/remotePort.h>
#include <belrix_common_qt_gui/graph.h>
#include <orvane/context.h>
#include <orvane/device.h>

#include <benchmark/benchmark.h>

#include <QImage>

#include <cmath>
#include <memory>
#include <vector>

namespace {

using belrix_common_qt::dataClock_t;
constexpr double T0 = 1700000000.0;

// N receivers, each with its graphs window showing the default graphs.
class fleet_t
{
public:
    explicit fleet_t(int count) : context(new orvane::context_t)
    {
        dataClock_t::setTime(T0);
        for (int i = 0; i < count; ++i) {
            auto* device = new orvane::device_t(context.get(), QStringLiteral("GNSS %1").arg(i + 1), nullptr);
            device->setPort(new belrix_common_qt::remotePort_t);
            devices.push_back(device);
            windows.push_back(new orvane::qc::dlgGraphs_t(context.get(), device));
        }
        tick();   // binds the default graphs
    }
    ~fleet_t()
    {
        for (orvane::device_t* device : devices)
            delete device;
        dataClock_t::useSystemTime();
    }

    // What the receivers report in the second before the tick.
    void report()
    {
        const double t = time;
        for (size_t i = 0; i < devices.size(); ++i) {
            belrix_common_qt::remoteDevice_t* data = devices[i]->remoteDevice();
            const double wave = std::sin(t / 97.0 + double(i));
            data->setSatellitesUsed({unsigned(14 + 4 * wave), t});
            data->setHdop({float(0.9 + 0.3 * wave), t});
            data->setCorrectionAge({float(std::fmod(t, 5.0) + 1.0), t});
            belrix_common_qt::pseudorangeStats_t stats;
            stats.semiMajor = float(0.6 + 0.2 * wave);
            stats.semiMinor = 0.3f;
            data->setPseudorangeStats({stats, t});
        }
    }
    void tick()
    {
        for (orvane::qc::dlgGraphs_t* window : windows)
            window->handleClockTimeout();
    }
    void advance()
    {
        time += 1.0;
        dataClock_t::setTime(time);
        report();
    }

    std::unique_ptr<orvane::context_t> context;
    std::vector<orvane::device_t*> devices;   // each owns its window
    std::vector<orvane::qc::dlgGraphs_t*> windows;
    double time = T0;
};

void graphsTick(benchmark::State& state)
{
    const int count = int(state.range(0));
    fleet_t fleet(count);
    // steady state: every graph's history is full and wraps
    for (int i = 0; i < belrix_common_qt_gui::timePlot_t::MaxSamples + 10; ++i) {
        fleet.advance();
        fleet.tick();
    }
    for (auto _ : state) {
        state.PauseTiming();
        fleet.advance();
        state.ResumeTiming();
        fleet.tick();
    }
    state.counters["per_window"] =
        benchmark::Counter(double(count), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// One window at its usual size with half an hour in every graph, painted after each tick as
// the event loop would.
void graphsPaint(benchmark::State& state)
{
    fleet_t fleet(1);
    orvane::qc::dlgGraphs_t* window = fleet.windows.front();
    window->resize(610, 546);
    window->show();
    for (int i = 0; i < 1800; ++i) {
        fleet.advance();
        fleet.tick();
    }
    QImage image(window->size(), QImage::Format_ARGB32_Premultiplied);
    window->render(&image);   // the cached layers, once
    for (auto _ : state) {
        state.PauseTiming();
        fleet.advance();
        fleet.tick();
        state.ResumeTiming();
        window->render(&image);
        benchmark::DoNotOptimize(image.bits());
    }
}

} // namespace

BENCHMARK(graphsTick)->Arg(100)->Unit(benchmark::kMicrosecond);
BENCHMARK(graphsPaint)->Unit(benchmark::kMicrosecond);
