// One clock tick of the heading displays as the event loop then paints it: a new heading
// (and rate of turn) and a paint at the tape display's usual size, against the cached
// scales. The restyle cases draw the cache again each time, as after a resize or a change
// of colour, for comparison.

#include <belrix_common_qt_gui/compassRoseStatusWidget.h>
#include <belrix_common_qt_gui/headingStatusWidget.h>

#include <benchmark/benchmark.h>

#include <QColor>
#include <QImage>


namespace {

constexpr int Width = 610;
constexpr int Height = 546;

void tick(benchmark::State& state, belrix_common_qt_gui::headingWidgetBase_t& widget, bool restyle)
{
    widget.resize(Width, Height);
    widget.handleNewDeviceColor(QColor("#1f77b4"));
    QImage image(Width, Height, QImage::Format_ARGB32_Premultiplied);
    widget.render(&image);
    float heading = 0.0f;
    int i = 0;
    for (auto _ : state) {
        heading += 0.7f;
        if (heading >= 360.0f)
            heading -= 360.0f;
        if (restyle)
            widget.handleNewDeviceColor((++i & 1) ? QColor("#d62728") : QColor("#1f77b4"));
        widget.setHeading(heading);
        if (auto* tape = qobject_cast<belrix_common_qt_gui::headingStatusWidget_t*>(&widget))
            tape->setRateOfTurn(float((i % 40) - 20));
        widget.render(&image);
        benchmark::DoNotOptimize(image.bits());
    }
}

void compassRoseTick(benchmark::State& state)
{
    belrix_common_qt_gui::compassRoseStatusWidget_t rose;
    tick(state, rose, state.range(0) != 0);
}

void tapeTick(benchmark::State& state)
{
    belrix_common_qt_gui::headingStatusWidget_t tape;
    tick(state, tape, state.range(0) != 0);
}

} // namespace

// argument 1: the cached scales are drawn again on every tick
BENCHMARK(compassRoseTick)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
BENCHMARK(tapeTick)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
