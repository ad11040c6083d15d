#pragma once

#include "belrix_common_qt_export.h"

#include <cstddef>
#include <cstdint>

namespace belrix_common_qt {

class remoteController_t;
class remoteDevice_t;

// What became of one line.
enum nmeaLineResult_t {
    nmeaAccepted = 0,     // decoded into the device's data items
    nmeaBadChecksum,      // checksum missing (where required) or wrong
    nmeaUnknown,          // a well-formed sentence of a type that is not decoded
    nmeaMalformed,        // not a sentence, truncated, or a field that cannot be read
};

struct nmeaCounters_t {
    std::uint64_t lines = 0;
    std::uint64_t accepted = 0;
    std::uint64_t badChecksum = 0;
    std::uint64_t unknown = 0;
    std::uint64_t malformed = 0;
};

// Decodes NMEA 0183 sentences of one device into its data items. One decoder per device,
// fed line by line by whatever source the device has.
//
// Reads GGA, GNS, RMC, GLL, VTG, GSA, GSV (NMEA 4.10 signal ids), GST, GRS, HDT, THS, ZDA and
// ALM from any talker, NMEA 2.x to 4.11. A sentence is checked whole before any item changes:
// a bad, truncated or unknown one is counted and dropped. Satellites are numbered as in
// navSatNumbering.h; GSV signal ids fill freq(0) (L1, E1, B1, G1), freq(1) (L2, G2, E5b, E6,
// B2I, B3) and freq(2) (L5, E5a, B2a). GRS residuals with the GSA satellites in use and the
// GSV directions give QC summaries (grsQcSolver_t) in the device's QC data store. ALM entries
// go to the controller's GPS almanac manager, their ten-bit weeks resolved near the data time.
// The times of GGA, GNS, RMC and GLL give the receiver's own fix time, dated by the same RMC or
// the device's last RMC or ZDA date.
//
// Epochs: before the first sentence of an epoch changes any item, the decoder ends the epoch
// before it (remoteDevice_t::endEpoch), so the device then holds that epoch whole, with what
// came after its fix (GST, GRS, HDT, ROT, VTG, GSA). A sentence begins a new epoch when
// - its time of day (GGA, GNS, RMC, GLL, GST, GRS, GBS, ZDA) differs by more than 10 ms from
//   the epoch's, the first time given in it: a GST sent before its GGA opens its own epoch;
// - the epoch holds a sentence of its kind already, GSA, GSV, GRS and ALM aside, which come
//   several to an epoch: each HDT of a heading sensor that sends no times;
// - it comes more than EpochQuietTime of data time after the sentence before.
// A sentence without a time belongs to the epoch of the sentences before it.
class BELRIX_COMMON_QT_EXPORT nmeaDecoder_t
{
public:
    // The controller, when given, receives almanac entries.
    explicit nmeaDecoder_t(remoteDevice_t* device, remoteController_t* controller = nullptr);
    ~nmeaDecoder_t();
    nmeaDecoder_t(nmeaDecoder_t const&) = delete;
    nmeaDecoder_t& operator=(nmeaDecoder_t const&) = delete;

    // Some old receivers send no checksum; accept such lines only where configured.
    void setAllowMissingChecksum(bool allow);
    bool allowMissingChecksum() const;

    // One sentence, with or without its trailing CR/LF. dataTime stamps what it decodes
    // (seconds since 1970-01-01 UTC; the data clock's time of arrival, or the recording's).
    // Sentences run together on one line ("...*1E$GPRMC,...") are decoded one by one, each
    // counted; the result is then the first that was not accepted. A blank line is not
    // counted and gives nmeaMalformed.
    nmeaLineResult_t decodeLine(char const* line, std::size_t length, double dataTime);

    nmeaCounters_t const& counters() const;
    void resetCounters();

private:
    class private_t;
    private_t* d;
};

} // namespace belrix_common_qt
