// The satellite forecast of a week: 500 instants over 7 days for one observer from a real
// 31-satellite GPS almanac, each with azimuth, elevation, the mask and the DOPs; against the
// floor of four sine-cosine pairs per satellite and instant, what any almanac orbit needs.
// Reports nanoseconds per satellite-instant and allocations per forecast once warm.

#include "allocationCounter.h"

#include <belrix_common_qt/almMgrGlonass.h>
#include <belrix_common_qt/almMgrGps.h>
#include <belrix_common_qt/almanacFileReader.h>
#include <belrix_common_qt/navConstants.h>
#include <belrix_common_qt/satForecaster.h>

#include <QString>

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdlib>

namespace {

constexpr int Instants = 500;
constexpr double Start = 1430870384.0;            // 2015-05-06 00:00:00 GPS time, as UTC
constexpr double Step = 7.0 * 86400.0 / Instants;

void report(benchmark::State& state, double satelliteInstants, long allocated)
{
    double const total = satelliteInstants * double(state.iterations());
    state.counters["time_per_satellite_instant"] =
        benchmark::Counter(total, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    state.counters["allocs_per_forecast"] =
        state.iterations() > 0 ? double(allocated) / (double(state.iterations()) * Instants) : 0.0;
}

void forecastWeek(benchmark::State& state)
{
    char const* root = std::getenv("ORVANE_SHARED_DATA");
    QString const path = QString::fromLocal8Bit(root ? root : ORVANE_SHARED_DATA)
                         + QStringLiteral("/almanac/gps/yuma_wk0819_toa319488_2015-05-06_gpstk.txt");
    belrix_common_qt::almanacFileReader_t reader;
    reader.setRolloverReference(Start);
    if (!reader.read(path)) {
        state.SkipWithError(qPrintable(reader.errorString()));
        return;
    }
    belrix_common_qt::almMgrGps_t gps;
    for (belrix_common_qt::almanacGps_t const& a : reader.gps())
        gps.addAlmanac(a);
    belrix_common_qt::satForecaster_t forecaster(&gps, nullptr);
    forecaster.setPosition(57.0 * belrix_common_qt::DegToRad, 2.0 * belrix_common_qt::DegToRad, 50.0);
    forecaster.setElevationMask(10.0 * belrix_common_qt::DegToRad);
    belrix_common_qt::satForecastOutput_t output;
    forecaster.setForecastTime(Start);
    forecaster.forecast(output);   // reads the almanac
    long const before = allocationCount();
    for (auto _ : state) {
        for (int i = 0; i < Instants; ++i) {
            forecaster.setForecastTime(Start + i * Step);
            if (!forecaster.forecastTimeValid())
                break;
            forecaster.forecast(output);
            benchmark::DoNotOptimize(output);
        }
    }
    report(state, double(Instants) * double(gps.num()), allocationCount() - before);
}

void sinCosFloor(benchmark::State& state)
{
    constexpr int Satellites = 31;
    double sum = 0.0;
    for (auto _ : state) {
        for (int i = 0; i < Instants; ++i) {
            for (int s = 0; s < Satellites; ++s) {
                double const x = i * 1.0e-3 + s * 0.37;
                for (int k = 0; k < 4; ++k) {
                    double const angle = x + k * 1.3;
                    sum += std::sin(angle) + std::cos(angle);
                }
            }
        }
        benchmark::DoNotOptimize(sum);
    }
    report(state, double(Instants) * Satellites, 0);
}

} // namespace

BENCHMARK(forecastWeek)->Unit(benchmark::kMillisecond);
BENCHMARK(sinCosFloor)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
