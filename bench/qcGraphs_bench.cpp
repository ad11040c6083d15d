// The QC graphs window's one-second update of its current graph, for many devices at once
// (each device's window updates only its own current graph), without painting; and the
// painting of the window at its first size with the sky plot and with the residuals.

#include <graphs/dlgQcGraphs.h>
#include <belrix_common_qt/dataClock.h>
#include <belrix_common_qt/navSatNumbering.h>
#include <belrix_common_qt/qcDataStore.h>
#include <belrix_common_qt/remoteDevice.h>
#include <belrix_common_qt/remoteNavSat.h>
#include <belrix_common_qt/remotePort.h>
#include <belrix_common_qt_gui/errorEllipseAxesGraph.h>
#include <belrix_common_qt_gui/positionScatterGraph.h>
#include <belrix_common_qt_gui/rangeResidualGraph.h>
#include <belrix_common_qt_gui/skyPlotGraph.h>
#include <belrix_common_qt_gui/unitVarianceGraph.h>
#include <orvane/context.h>
#include <orvane/device.h>

#include <benchmark/benchmark.h>

#include <QComboBox>
#include <QImage>

#include <cmath>
#include <memory>
#include <vector>

namespace {

using namespace belrix_common_qt;
using namespace belrix_common_qt_gui;

constexpr double T0 = 1700000000.0;
constexpr int Satellites = 24;   // GPS, GLONASS and Galileo in view

// One second of a receiver: its sky with residuals, a position and a QC summary.
void feed(remoteDevice_t& device, int seed, double t)
{
    for (int i = 0; i < Satellites; ++i) {
        const unsigned int number = i < 10 ? unsigned(i + 1) : i < 18 ? unsigned(65 + i) : unsigned(300 + i);
        remoteNavSat_t* sat = device.addNavSat(number, navSatConstellation(number));
        sat->setAzimuth({float(std::fmod(i * 47.0 + seed + t * 0.001, 360.0)), t});
        sat->setElevation({float(5 + (i * 13 + seed) % 85), t});
        sat->setFreq(0, {freq_t{1, float(30 + (i * 7) % 20)}, t});
        sat->setUsed(i % 5 != 0);
        sat->setRangeResidual({float(std::sin(t * 0.1 + i) * 0.8), t});
    }
    const double wobble = std::sin(t * 0.05 + seed) * 1e-7;
    device.setInputPosition({position_t(1.0 + wobble, 0.2 - wobble), t});
    qcSummary_t summary;
    summary.unitVariance = float(1.0 + 0.3 * std::sin(t * 0.01 + seed));
    summary.semiMajor = 0.8f;
    summary.semiMinor = 0.5f;
    device.qcDataStore()->addSummary(t, summary);
}

std::unique_ptr<qcGraph_t> makeGraph(int kind)
{
    switch (kind) {
    case 0: return std::make_unique<skyPlotGraph_t>();
    case 1: return std::make_unique<unitVarianceGraph_t>();
    case 2: return std::make_unique<errorEllipseAxesGraph_t>();
    case 3: return std::make_unique<positionScatterGraph_t>();
    default: return std::make_unique<rangeResidualGraph_t>();
    }
}

// Steady state: ten minutes already plotted, then one new second per iteration for every
// device, the data fed outside the timing.
void updateCurrentGraph(benchmark::State& state)
{
    const int kind = int(state.range(0));
    const int count = int(state.range(1));
    std::vector<std::unique_ptr<remoteDevice_t>> devices;
    std::vector<std::unique_ptr<qcGraph_t>> graphs;
    double t = T0;
    for (int i = 0; i < count; ++i) {
        devices.push_back(std::make_unique<remoteDevice_t>());
        graphs.push_back(makeGraph(kind));
    }
    for (int s = 0; s < 600; ++s, t += 1.0) {
        for (int i = 0; i < count; ++i) {
            feed(*devices[i], i, t);
            graphs[i]->update(devices[i].get(), t);
        }
    }
    for (auto _ : state) {
        state.PauseTiming();
        for (int i = 0; i < count; ++i)
            feed(*devices[i], i, t);
        state.ResumeTiming();
        for (int i = 0; i < count; ++i)
            graphs[i]->update(devices[i].get(), t);
        t += 1.0;
    }
    state.SetLabel(graphs.front()->title().toStdString());
    state.counters["per_device"] =
        benchmark::Counter(double(count), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// The whole window as the event loop paints it, after ten minutes of data.
void paintWindow(benchmark::State& state)
{
    orvane::context_t context;
    orvane::device_t device(&context, QStringLiteral("GNSS 1"), nullptr);
    device.setPort(new remotePort_t);
    dataClock_t::setTime(T0);
    orvane::qc::dlgQcGraphs_t window(&context, &device);
    window.resize(610, 546);
    auto* combo = window.findChild<QComboBox*>(QStringLiteral("graphCombo"));
    combo->setCurrentIndex(int(state.range(0)));
    for (int s = 0; s < 600; ++s) {
        dataClock_t::setTime(T0 + s);
        feed(*device.remoteDevice(), 0, T0 + s);
        QMetaObject::invokeMethod(&window, "updateActiveGraph");
    }
    QImage image(window.size(), QImage::Format_ARGB32_Premultiplied);
    window.render(&image);   // lays out and fills the caches once
    for (auto _ : state) {
        window.render(&image);
        benchmark::DoNotOptimize(image.bits());
    }
    state.SetLabel(combo->currentText().toStdString());
}

} // namespace

BENCHMARK(updateCurrentGraph)->ArgsProduct({{0, 1, 2, 3, 4}, {100}})->Unit(benchmark::kMicrosecond);
// 0: the sky plot, 4: the range residuals
BENCHMARK(paintWindow)->Arg(0)->Arg(1)->Arg(4)->Unit(benchmark::kMicrosecond);
