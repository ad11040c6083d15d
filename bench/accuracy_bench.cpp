// One clock tick of the application-wide accuracy windows with many positioned devices:
// the position comparison (range and bearing of every device, its table row and plot
// point) and the all-error-ellipses plot, in steady state (rows exist, data fresh).
// Painting happens later on the event loop and is measured on its own.

#include <accuracy/dlgAllErrorEllipse.h>
#include <accuracy/dlgPositionComparison.h>
#include <belrix_common_qt/dataClock.h>
#include <belrix_common_qt/pseudorangeStats.h>
#include <belrix_common_qt/remoteDevice.h>
#include <belrix_common_qt/remotePort.h>
#include <belrix_common_qt_gui/errorEllipseWidget.h>
#include <belrix_common_qt_gui/positionComparisonWidget.h>
#include <orvane/context.h>
#include <orvane/device.h>
#include <orvane/deviceStore.h>

#include <benchmark/benchmark.h>

#include <QColor>
#include <QImage>
#include <QPainter>

#include <cmath>
#include <memory>
#include <vector>
#include <belrix_common_qt/navConstants.h>

namespace {

using belrix_common_qt::Pi;
constexpr double T0 = 1700000000.0;

// N devices around 57°N 11°E, within a few hundred metres, each with a fresh position and
// fresh pseudorange statistics, registered in the device store while the fleet lives.
class fleet_t
{
public:
    explicit fleet_t(int count) : context(new orvane::context_t)
    {
        belrix_common_qt::dataClock_t::setTime(T0);
        for (int i = 0; i < count; ++i) {
            auto* device = new orvane::device_t(context.get(), QStringLiteral("GNSS %1").arg(i + 1), nullptr);
            device->setPort(new belrix_common_qt::remotePort_t);
            device->setPortId(unsigned(i + 1));
            device->setDeviceColor(QColor::fromHsv((i * 47) % 360, 200, 200));
            device->setDeviceDescription(QStringLiteral("GNSS %1").arg(i + 1));
            device->setDeviceCapabilities(0x5f);
            const double bearing = i * 2.399963;   // golden angle: spread evenly
            const double metres = 20.0 + (3 * i) % 400;
            const double lat = (57.0 + metres * std::cos(bearing) / 111400.0) * Pi / 180.0;
            const double lon = (11.0 + metres * std::sin(bearing) / 60700.0) * Pi / 180.0;
            belrix_common_qt::remoteDevice_t* data = device->remoteDevice();
            data->setDisplayPosition({belrix_common_qt::position_t(lat, lon), T0});
            belrix_common_qt::pseudorangeStats_t stats;
            stats.semiMajor = float(0.5 + (i % 7));
            stats.semiMinor = 0.4f;
            stats.orientation = float(bearing);
            data->setPseudorangeStats({stats, T0});
            orvane::deviceStore_t::instance()->addDevice(device);
            devices.push_back(device);
        }
    }
    ~fleet_t()
    {
        for (orvane::device_t* device : devices)
            delete device;
    }

    std::unique_ptr<orvane::context_t> context;
    std::vector<orvane::device_t*> devices;
};

void perDevice(benchmark::State& state, int devices)
{
    state.SetItemsProcessed(int64_t(state.iterations()) * devices);
    state.counters["per_device"] =
        benchmark::Counter(double(devices), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void positionComparisonTick(benchmark::State& state)
{
    const int count = int(state.range(0));
    fleet_t fleet(count);
    orvane::qc::dlgPositionComparison_t window(fleet.context.get(), nullptr);
    window.show();   // it works only while shown
    orvane::qc::positionComparisonConfigSettings_t settings;
    settings.activeDevice = fleet.devices.front();
    window.setConfigSettings(settings);   // the first tick makes the rows
    for (auto _ : state)
        window.handleClockTimeout();
    perDevice(state, count);
}

void allErrorEllipsesTick(benchmark::State& state)
{
    const int count = int(state.range(0));
    fleet_t fleet(count);
    orvane::qc::dlgAllErrorEllipse_t window(fleet.context.get(), nullptr);
    window.handleClockTimeout();
    for (auto _ : state)
        window.handleClockTimeout();
    perDevice(state, count);
}

// What the event loop then paints: the plots at a usual window size.
void positionComparisonPaint(benchmark::State& state)
{
    const int count = int(state.range(0));
    belrix_common_qt_gui::positionComparisonWidget_t plot;
    plot.resize(400, 400);
    plot.setRange(500.0);
    for (int i = 0; i < count; ++i)
        plot.addPosition(QStringLiteral("GNSS %1").arg(i + 1), (i % 97) / 90.0, i * 2.399963 * 180.0 / Pi,
                         QColor::fromHsv((i * 47) % 360, 200, 200));
    QImage image(400, 400, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        plot.render(&image);
        benchmark::DoNotOptimize(image.bits());
    }
    perDevice(state, count);
}

void errorEllipsePaint(benchmark::State& state)
{
    const int count = int(state.range(0));
    belrix_common_qt_gui::errorEllipseWidget_t plot;
    plot.resize(400, 400);
    plot.setRange(10.0);
    for (int i = 0; i < count; ++i)
        plot.addEllipse(i * 37.0, 0.5 + (i % 7), 0.4, 10.0, QColor::fromHsv((i * 47) % 360, 200, 200));
    QImage image(400, 400, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        plot.render(&image);
        benchmark::DoNotOptimize(image.bits());
    }
    perDevice(state, count);
}

} // namespace

BENCHMARK(positionComparisonTick)->Arg(10)->Arg(100)->Arg(500)->Unit(benchmark::kMicrosecond);
BENCHMARK(allErrorEllipsesTick)->Arg(100)->Unit(benchmark::kMicrosecond);
BENCHMARK(positionComparisonPaint)->Arg(100)->Unit(benchmark::kMicrosecond);
BENCHMARK(errorEllipsePaint)->Arg(1)->Arg(100)->Unit(benchmark::kMicrosecond);
