// libFuzzer target: any bytes, split into lines as a source would, through the parser alone
// and through the decoder into a device, with and without required checksums. Besides
// crashes and memory errors (AddressSanitizer) it checks what must hold whatever the input.

#include <belrix_common_qt/navSatNumbering.h>
#include <belrix_common_qt/nmeaDecoder.h>
#include <belrix_common_qt/nmeaParser.h>
#include <belrix_common_qt/qcDataStore.h>
#include <belrix_common_qt/remoteController.h>
#include <belrix_common_qt/remoteDevice.h>
#include <belrix_common_qt/remoteNavSat.h>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

using namespace belrix_common_qt;

namespace {

void require(bool condition, char const* what)
{
    if (!condition) {
        std::fprintf(stderr, "fuzz_nmeaDecoder: %s\n", what);
        std::abort();
    }
}

void checkDevice(remoteDevice_t const& device, nmeaDecoder_t const& decoder)
{
    nmeaCounters_t const& c = decoder.counters();
    require(c.lines == c.accepted + c.badChecksum + c.unknown + c.malformed, "counters do not add up");
    for (auto const& entry : device.allNavSats()) {
        require(entry.first == entry.second->number(), "satellite filed under another number");
        require(navSatConstellation(entry.first) == entry.second->constellation(), "satellite outside its range");
        dataItem_t<float> const& elevation = entry.second->elevation();
        require(!elevation.isValid() || std::fabs(elevation.value()) <= 90.0f, "elevation out of range");
    }
    if (device.inputPosition().isValid()) {
        position_t const p = device.inputPosition().value();
        require(std::fabs(p.lat) <= 1.5708 && std::fabs(p.lon) <= 3.1416, "position out of range");
    }
    for (qcSummaryEntry_t const& e : device.qcDataStore()->summary()) {
        qcSummary_t const& s = e.summary;
        require(std::isfinite(s.unitVariance) && s.unitVariance >= 0.0f && std::isfinite(s.semiMajor)
                    && s.semiMajor >= s.semiMinor && s.semiMinor >= 0.0f && std::isfinite(s.heightError),
                "QC summary not finite");
    }
}

void decodeLines(std::uint8_t const* data, std::size_t size, bool allowMissingChecksum)
{
    remoteController_t controller;
    remoteDevice_t device;
    nmeaDecoder_t decoder(&device, &controller);
    decoder.setAllowMissingChecksum(allowMissingChecksum);
    char const* text = reinterpret_cast<char const*>(data);
    double t = 1.5e9;
    std::size_t begin = 0;
    for (std::size_t i = 0; i <= size; ++i) {
        if (i == size || text[i] == '\n') {
            // a little over a second a line, so groups and sets expire within a long input
            decoder.decodeLine(text + begin, i - begin, t += 1.3);
            begin = i + 1;
        }
    }
    checkDevice(device, decoder);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(std::uint8_t const* data, std::size_t size)
{
    nmeaParser_t parser;
    nmeaSentence_t sentence;
    std::size_t consumed = 0;
    parser.parse(reinterpret_cast<char const*>(data), size, sentence, &consumed);
    require(consumed <= size, "consumed beyond the input");
    decodeLines(data, size, false);
    decodeLines(data, size, true);
    return 0;
}
