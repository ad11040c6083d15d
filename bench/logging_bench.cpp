// CSV logging of 100 devices at 10 Hz with all 28 fields into a temporary folder: one iteration
// is one second of data, 1,000 rows. "rowPath" is the logger alone (the row of each ended epoch
// made and written, whole lines to the system); "withDecoder" feeds each device's epoch as ten
// NMEA sentences (RMC, VTG, GGA, GSA, two GSV, GST, GRS, HDT, ROT) through its decoder, as the
// application does, so it also counts decoding and the QC summaries from GRS. The logging
// budget is 5 % of one core: 50 ms per second of data.

#include <belrix_common_qt/dataClock.h>
#include <belrix_common_qt/deviceLogger.h>
#include <belrix_common_qt/nmeaDecoder.h>
#include <belrix_common_qt/qcDataStore.h>
#include <belrix_common_qt/remoteDevice.h>

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

using namespace belrix_common_qt;

namespace {

constexpr int Devices = 100;
constexpr int EpochsPerSecond = 10;
constexpr double Start = 1717588800.0;   // 2024-06-05 12:00:00 UTC
constexpr double Deg = 3.14159265358979323846 / 180.0;

// Devices logging every field, each into its own file of one folder.
struct fleet_t {
    QTemporaryDir dir;
    std::vector<std::unique_ptr<remoteDevice_t>> devices;
    std::vector<deviceLogger_t*> loggers;

    fleet_t()
    {
        dataClock_t::setTime(Start);
        for (int i = 0; i < Devices; ++i) {
            devices.push_back(std::make_unique<remoteDevice_t>());
            remoteDevice_t* device = devices.back().get();
            loggers.push_back(deviceLogger_t::forDevice(device));
            loggers.back()->setDeviceName(QStringLiteral("GNSS %1").arg(i + 1));
            device->setCsvOutputCfg(csvOutputCfg_t());
            logCfg_t cfg;
            cfg.active = true;
            cfg.path = dir.path().toStdString();
            device->setLogCfg(logChannelExternal, cfg);
        }
    }

    bool logging() const
    {
        for (deviceLogger_t const* logger : loggers) {
            if (!logger->isLogging(logChannelExternal))
                return false;
        }
        return dir.isValid();
    }

    qint64 bytes() const
    {
        qint64 total = 0;
        for (deviceLogger_t const* logger : loggers)
            total += logger->bytesWritten(logChannelExternal);
        return total;
    }
};

void report(benchmark::State& state, fleet_t const& fleet, qint64 before)
{
    double const rows = double(Devices * EpochsPerSecond) * double(state.iterations());
    state.SetItemsProcessed(std::int64_t(rows));
    state.counters["bytes_per_row"] = rows > 0 ? double(fleet.bytes() - before) / rows : 0.0;
}

// What a receiver with a heading and QC reports, stamped at t.
void fill(remoteDevice_t& device, double t)
{
    device.setFixTime(dataItem_t<double>(t, t));
    device.setInputPosition(dataItem_t<position_t>(position_t(57.6 * Deg, 11.9 * Deg), t));
    device.setEllipsoidalHeight(dataItem_t<double>(42.125, t));
    device.setFixQuality(dataItem_t<int>(4, t));
    device.setSatellitesUsed(dataItem_t<unsigned int>(18, t));
    device.setHdop(dataItem_t<float>(0.7f, t));
    device.setVdop(dataItem_t<float>(1.1f, t));
    device.setPdop(dataItem_t<float>(1.3f, t));
    device.setCorrectionAge(dataItem_t<float>(1.5f, t));
    device.setSpeedOverGround(dataItem_t<float>(5.25f, t));
    device.setCourseOverGround(dataItem_t<float>(271.5f, t));
    device.setHeading(dataItem_t<float>(270.25f, t));
    device.setRateOfTurn(dataItem_t<float>(-3.5f, t));
    pseudorangeStats_t stats;
    stats.rms = 0.4f;
    stats.semiMajor = 0.03f;
    stats.semiMinor = 0.02f;
    stats.orientation = float(35.0 * Deg);
    stats.latError = 0.025f;
    stats.lonError = 0.021f;
    stats.heightError = 0.05f;
    device.setPseudorangeStats(dataItem_t<pseudorangeStats_t>(stats, t));
    device.setCorrSatSnr(dataItem_t<float>(44.5f, t));
    qcSummary_t summary;
    summary.unitVariance = 1.2f;
    summary.semiMajor = 0.04f;
    summary.semiMinor = 0.03f;
    summary.orientation = float(20.0 * Deg);
    summary.heightError = 0.06f;
    device.qcDataStore()->addSummary(t, summary);
}

void rowPath(benchmark::State& state)
{
    fleet_t fleet;
    double t = Start;
    qint64 const before = fleet.bytes();
    for (auto _ : state) {
        // the devices' sources, not the logger: kept out of the time; current all second
        state.PauseTiming();
        for (auto const& device : fleet.devices)
            fill(*device, t + 0.1);
        state.ResumeTiming();
        for (int e = 0; e < EpochsPerSecond; ++e) {
            t += 1.0 / EpochsPerSecond;
            for (int i = 0; i < Devices; ++i) {
                fleet.loggers[std::size_t(i)]->dataTaken(t);
                fleet.devices[std::size_t(i)]->endEpoch();
            }
        }
    }
    if (!fleet.logging())
        state.SkipWithError("a log stopped");
    report(state, fleet, before);
}

QByteArray sentence(QByteArray const& body)
{
    char sum = 0;
    for (char c : body)
        sum ^= c;
    return '$' + body + '*' + QByteArray::number(int(static_cast<unsigned char>(sum)), 16).toUpper().rightJustified(2, '0');
}

// The sentences of each epoch of one second.
std::vector<std::vector<QByteArray>> oneSecond()
{
    std::vector<std::vector<QByteArray>> epochs;
    for (int e = 0; e < EpochsPerSecond; ++e) {
        QByteArray const time = "120000." + QByteArray::number(e) + '0';
        epochs.push_back({
            sentence("GNRMC," + time + ",A,5736.0000,N,01154.0000,E,10.2,271.5,050624,,,R,V"),
            sentence("GNVTG,271.5,T,,M,10.2,N,18.9,K,R"),
            sentence("GNGGA," + time + ",5736.0000,N,01154.0000,E,4,08,0.7,10.0,M,32.1,M,1.5,0042"),
            sentence("GNGSA,A,3,01,02,03,04,05,06,07,08,,,,,1.3,0.7,1.1,1"),
            sentence("GPGSV,2,1,08,01,80,000,45,02,60,045,44,03,45,090,43,04,30,135,42,1"),
            sentence("GPGSV,2,2,08,05,20,180,41,06,35,225,40,07,50,270,39,08,25,315,38,1"),
            sentence("GNGST," + time + ",0.4,0.03,0.02,35.0,0.025,0.021,0.05"),
            sentence("GPGRS," + time + ",1,0.01,-0.02,0.015,-0.01,0.02,-0.015,0.005,-0.005,,,,,1,1"),
            sentence("GPHDT,270.25,T"),
            sentence("GPROT,-3.5,A"),
        });
    }
    return epochs;
}

void withDecoder(benchmark::State& state)
{
    fleet_t fleet;
    std::vector<std::unique_ptr<nmeaDecoder_t>> decoders;
    for (auto const& device : fleet.devices)
        decoders.push_back(std::make_unique<nmeaDecoder_t>(device.get()));
    std::vector<std::vector<QByteArray>> const epochs = oneSecond();
    double t = Start;
    qint64 const before = fleet.bytes();
    for (auto _ : state) {
        for (std::vector<QByteArray> const& epoch : epochs) {
            t += 1.0 / EpochsPerSecond;
            for (int i = 0; i < Devices; ++i) {
                nmeaDecoder_t& decoder = *decoders[std::size_t(i)];
                for (QByteArray const& line : epoch) {
                    auto const accepted = decoder.counters().accepted;
                    decoder.decodeLine(line.constData(), std::size_t(line.size()), t);
                    if (decoder.counters().accepted != accepted)
                        fleet.loggers[std::size_t(i)]->dataTaken(t);
                }
            }
        }
    }
    if (!fleet.logging() || decoders.front()->counters().accepted != decoders.front()->counters().lines)
        state.SkipWithError("a log stopped or a sentence was refused");
    report(state, fleet, before);
}

} // namespace

BENCHMARK(rowPath)->Unit(benchmark::kMillisecond);
BENCHMARK(withDecoder)->Unit(benchmark::kMillisecond);
