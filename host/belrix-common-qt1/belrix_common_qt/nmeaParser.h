#pragma once

#include "belrix_common_qt_export.h"
#include "belrix_common_qt/nmeaDecoder.h"
#include "belrix_common_qt/nmeaSentence.h"

#include <cstddef>

namespace belrix_common_qt {

// Reads one NMEA 0183 sentence (2.x to 4.11, any talker) into a plain struct: checksum,
// structure and every field of the known types are checked before anything is reported as
// accepted, so a caller never sees half a sentence. Works in place over the caller's buffer
// and allocates nothing.
class BELRIX_COMMON_QT_EXPORT nmeaParser_t
{
public:
    static constexpr std::size_t MaxFields = 40;

    nmeaParser_t();
    ~nmeaParser_t();
    nmeaParser_t(nmeaParser_t const&) = delete;
    nmeaParser_t& operator=(nmeaParser_t const&) = delete;

    void setAllowMissingChecksum(bool allow);
    bool allowMissingChecksum() const;

    // Parses the first sentence of the text: leading bytes before '$' or '!' and trailing
    // white space, CR, LF and NUL are ignored. Accepted means a known type read completely.
    // When consumed is given and another sentence follows the checksum on the same line
    // ("...*1E$GPRMC,..."), it receives the length read so the caller can go on from there;
    // without it, text after the checksum makes the sentence malformed.
    nmeaLineResult_t parse(char const* data, std::size_t length, nmeaSentence_t& sentence,
                           std::size_t* consumed = nullptr) const;

private:
    class private_t;
    private_t* d;
};

} // namespace belrix_common_qt
