// libFuzzer target: bytes as a source receives them, in chunks, through the line splitter the
// sources use, the parser, and the decoder into a device's data model, with and without
// required checksums, under a data clock that the input steers. Besides crashes, memory
// errors and undefined behaviour it checks what must hold whatever the input.
//
// Input: a clock byte, a chunk byte, then the stream. The clock byte picks how the data time
// moves from line to line (clockMode_t); the chunk byte the size of the pieces the stream
// arrives in and the splitter's line limit.

#include "fuzzSupport.h"

#include <belrix_common_qt/dataClock.h>
#include <belrix_common_qt/navSatNumbering.h>
#include <belrix_common_qt/nmeaDecoder.h>
#include <belrix_common_qt/nmeaParser.h>
#include <belrix_common_qt/qcDataStore.h>
#include <belrix_common_qt/remoteController.h>
#include <belrix_common_qt/remoteDevice.h>
#include <belrix_common_qt/remoteNavSat.h>
#include <belrix_common_qt/remotePort.h>
#include <sources/nmeaLineSplitter.h>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>
#include <memory>

using namespace belrix_common_qt;
using fuzz::require;

namespace {

enum clockMode_t { steady, frozen, backwards, extreme, sometimesNan, fromLine, clockCount };

// Data times a clock stepped by hand, a broken receiver or a damaged replay can give.
double const Extremes[] = {1e300, -1e300, std::numeric_limits<double>::max(), std::numeric_limits<double>::infinity(),
                           -std::numeric_limits<double>::infinity(), std::numeric_limits<double>::denorm_min(),
                           4.3e9 /* past 32-bit seconds */, -1.0, 0.0};

double nextTime(int clock, double t, int index, QByteArray const& line)
{
    switch (clock) {
    case steady: return t + 1.3;   // a little over a second a line, so groups and sets expire
    case frozen: return t;
    case backwards: return t - 1.3;
    case extreme: return Extremes[index % int(sizeof Extremes / sizeof *Extremes)];
    case sometimesNan: return index % 2 ? std::numeric_limits<double>::quiet_NaN() : t + 1.3;
    default: {
        double fromBytes = 0.0;   // any bit pattern: NaNs, infinities, denormals
        std::memcpy(&fromBytes, line.constData(), std::min(sizeof fromBytes, std::size_t(line.size())));
        return fromBytes;
    }
    }
}

void checkDevice(remoteDevice_t const& device, nmeaDecoder_t const& decoder, double now)
{
    nmeaCounters_t const& c = decoder.counters();
    require(c.lines == c.accepted + c.badChecksum + c.unknown + c.malformed, "counters do not add up");
    for (auto const& entry : device.allNavSats()) {
        require(entry.first == entry.second->number(), "satellite filed under another number");
        require(navSatConstellation(entry.first) == entry.second->constellation(), "satellite outside its range");
        dataItem_t<float> const& elevation = entry.second->elevation();
        require(!elevation.isValid() || std::fabs(elevation.value()) <= 90.0f, "elevation out of range");
        isSatDataRecent(entry.second->elevation().timestamp(), now);
    }
    if (device.inputPosition().isValid()) {
        position_t const p = device.inputPosition().value();
        require(std::fabs(p.lat) <= 1.5708 && std::fabs(p.lon) <= 3.1416, "position out of range");
    }
    // what the panels ask at every tick
    isItemCurrent(device.inputPosition(), now);
    isItemCurrent(device.heading(), now);
    isItemCurrent(device.pseudorangeStats(), now);
    isItemCurrent(device.rateOfTurn(), now);
    for (qcSummaryEntry_t const& e : device.qcDataStore()->summary()) {
        qcSummary_t const& s = e.summary;
        require(std::isfinite(s.unitVariance) && s.unitVariance >= 0.0f && std::isfinite(s.semiMajor)
                    && s.semiMajor >= s.semiMinor && s.semiMinor >= 0.0f && std::isfinite(s.heightError),
                "QC summary not finite");
    }
}

void decode(nmeaDecoder_t& decoder, QByteArray const& line, int clock, double& t, int& index)
{
    t = nextTime(clock, t, index++, line);
    // a copy of exactly the line's size: a QByteArray's terminating NUL would hide a read past its end
    std::unique_ptr<char[]> const exact(new char[std::size_t(line.size())]);
    std::memcpy(exact.get(), line.constData(), std::size_t(line.size()));
    dataClock_t::setTime(t);   // as a replay drives it
    decoder.decodeLine(exact.get(), std::size_t(line.size()), t);
}

void feed(char const* stream, std::size_t size, int clock, std::uint8_t chunkByte, bool allowMissingChecksum)
{
    remoteController_t controller;
    remotePort_t port;
    nmeaDecoder_t decoder(port.device(), &controller);
    decoder.setAllowMissingChecksum(allowMissingChecksum);
    // 82 characters is the longest line NMEA 0183 allows
    orvane::app::nmeaLineSplitter_t splitter(chunkByte & 0x80 ? 82 : orvane::app::nmeaLineSplitter_t::DefaultMaxLineLength);
    std::size_t const chunk = 1 + (chunkByte & 0x7f);
    double t = 1.5e9;
    int index = 0;
    for (std::size_t at = 0; at < size; at += chunk) {
        for (QByteArray const& line : splitter.feed(stream + at, qsizetype(std::min(chunk, size - at))))
            decode(decoder, line, clock, t, index);
    }
    QByteArray const rest = splitter.flush();   // as at the end of a file
    if (!rest.isEmpty())
        decode(decoder, rest, clock, t, index);
    checkDevice(*port.device(), decoder, t);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(std::uint8_t const* data, std::size_t size)
{
    if (size < 2)
        return 0;
    int const clock = data[0] % clockCount;
    std::uint8_t const chunkByte = data[1];
    char const* stream = reinterpret_cast<char const*>(data + 2);
    size -= 2;

    nmeaParser_t parser;
    nmeaSentence_t sentence;
    std::size_t consumed = 0;
    parser.parse(stream, size, sentence, &consumed);
    require(consumed <= size, "consumed beyond the input");
    feed(stream, size, clock, chunkByte, false);
    feed(stream, size, clock, chunkByte, true);
    return 0;
}
