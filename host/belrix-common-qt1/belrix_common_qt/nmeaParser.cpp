#include "belrix_common_qt/nmeaParser.h"

#include <cstdint>
#include <cstring>

#if defined(_MSC_VER) && !defined(__clang__)
#include <intrin.h>
#endif

// Sentences are scanned a word at a time where the byte order is known to be little-endian.
#if (defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__) || defined(_M_X64) || defined(_M_ARM64)
#define NMEA_PARSER_WORDWISE 1
#else
#define NMEA_PARSER_WORDWISE 0
#endif

namespace belrix_common_qt {

namespace {

// Fields of a sentence as positions in the caller's buffer: field i runs from start[i] to
// the comma before start[i + 1], the last one to the checksum. Fields past the end read as
// empty, so optional trailing fields that older receivers leave out need no special case.
struct field_t {
    char const* begin;
    char const* end;
    bool empty() const { return begin == end; }
    std::size_t size() const { return std::size_t(end - begin); }
};

struct fields_t {
    // room for the commas of one more word past the limit, checked after each word
    char const* start[nmeaParser_t::MaxFields + 8];
    int count = 0;
    char const* last = nullptr;   // end of the last field

    field_t operator[](int i) const
    {
        if (i >= count)
            return {last, last};
        return {start[i], i + 1 < count ? start[i + 1] - 1 : last};
    }
};

constexpr double Pow10[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9,
                            1e10, 1e11, 1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18};
constexpr int MaxDigits = 18;

inline bool isDigit(char c) { return unsigned(c - '0') < 10u; }

int hexValue(char c)
{
    if (isDigit(c))
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

// [+-]digits[.digits]: at least one digit, at most MaxDigits significant ones. Exact to the
// last digit for up to 15 significant digits (an integer divided by an exact power of ten).
bool toDouble(field_t f, double& out)
{
    char const* p = f.begin;
    char const* const end = f.end;
    bool negative = false;
    if (p < end && (*p == '-' || *p == '+')) {
        negative = *p == '-';
        ++p;
    }
    while (p < end && *p == '0')   // leading zeros are not significant
        ++p;
    bool const hadZeros = p != f.begin && isDigit(p[-1]);
    std::uint64_t mantissa = 0;
    char const* const integer = p;
    while (p < end && isDigit(*p))
        mantissa = mantissa * 10u + unsigned(*p++ - '0');
    int digits = int(p - integer);
    int fraction = 0;
    if (p < end && *p == '.') {
        char const* const first = ++p;
        while (p < end && isDigit(*p))
            mantissa = mantissa * 10u + unsigned(*p++ - '0');
        fraction = int(p - first);
        digits += fraction;
    }
    if (p != end || digits > MaxDigits || fraction > MaxDigits || (digits == 0 && !hadZeros))
        return false;
    double const value = fraction ? double(mantissa) / Pow10[fraction] : double(mantissa);
    out = negative ? -value : value;
    return true;
}

bool toInt(field_t f, int& out)
{
    if (f.empty() || f.size() > 9)
        return false;
    int value = 0;
    for (char const* p = f.begin; p < f.end; ++p) {
        if (!isDigit(*p))
            return false;
        value = value * 10 + (*p - '0');
    }
    out = value;
    return true;
}

// Empty reads as absent; anything else must be a number within [low, high].
template <typename T>
bool readNumber(field_t f, std::optional<T>& out, double low, double high)
{
    if (f.empty()) {
        out.reset();
        return true;
    }
    double value = 0.0;
    if (!toDouble(f, value) || value < low || value > high)
        return false;
    out = T(value);
    return true;
}

bool readInt(field_t f, std::optional<int>& out, int low, int high)
{
    if (f.empty()) {
        out.reset();
        return true;
    }
    int value = 0;
    if (!toInt(f, value) || value < low || value > high)
        return false;
    out = value;
    return true;
}

// A single character out of a set, or empty.
bool readChar(field_t f, char& out, char const* allowed)
{
    if (f.empty()) {
        out = 0;
        return true;
    }
    if (f.size() != 1)
        return false;
    for (char const* a = allowed; *a; ++a) {
        if (*a == *f.begin) {
            out = *f.begin;
            return true;
        }
    }
    return false;
}

// A unit letter that must be the given one when present.
bool unitIs(field_t f, char unit) { return f.empty() || (f.size() == 1 && *f.begin == unit); }

// hhmmss[.s...]
bool readTime(field_t f, std::optional<double>& out)
{
    if (f.empty()) {
        out.reset();
        return true;
    }
    if (f.size() < 6)
        return false;
    char const* p = f.begin;
    for (int i = 0; i < 6; ++i) {
        if (!isDigit(p[i]))
            return false;
    }
    int const hours = (p[0] - '0') * 10 + (p[1] - '0');
    int const minutes = (p[2] - '0') * 10 + (p[3] - '0');
    int const seconds = (p[4] - '0') * 10 + (p[5] - '0');
    if (hours > 23 || minutes > 59 || seconds > 60)   // 60: a leap second
        return false;
    double fraction = 0.0;
    if (f.size() > 6) {
        if (p[6] != '.')
            return false;
        if (f.size() > 7) {
            double value = 0.0;
            if (!toDouble({p + 6, f.end}, value))
                return false;
            fraction = value;
        }
    }
    out = hours * 3600.0 + minutes * 60.0 + seconds + fraction;
    return true;
}

// ddmmyy, years 80-99 in the 1900s.
bool readDate(field_t f, std::optional<nmeaDate_t>& out)
{
    if (f.empty()) {
        out.reset();
        return true;
    }
    if (f.size() != 6)
        return false;
    for (char const* p = f.begin; p < f.end; ++p) {
        if (!isDigit(*p))
            return false;
    }
    char const* p = f.begin;
    nmeaDate_t date;
    date.day = (p[0] - '0') * 10 + (p[1] - '0');
    date.month = (p[2] - '0') * 10 + (p[3] - '0');
    int const year = (p[4] - '0') * 10 + (p[5] - '0');
    date.year = year < 80 ? 2000 + year : 1900 + year;
    if (date.day < 1 || date.day > 31 || date.month < 1 || date.month > 12)
        return false;
    out = date;
    return true;
}

// (d)ddmm.mmm with its hemisphere letter; both empty reads as absent.
bool readAngle(field_t value, field_t hemisphere, char positive, char negative, int maxDegrees,
               std::optional<double>& out)
{
    if (value.empty() && hemisphere.empty()) {
        out.reset();
        return true;
    }
    if (value.empty() || hemisphere.size() != 1)
        return false;
    char const h = *hemisphere.begin;
    if (h != positive && h != negative)
        return false;
    if (*value.begin == '-' || *value.begin == '+')
        return false;
    double raw = 0.0;
    if (!toDouble(value, raw) || raw >= (maxDegrees + 1) * 100.0)
        return false;
    int const degrees = int(raw / 100.0);
    double const minutes = raw - degrees * 100.0;
    if (minutes >= 60.0 || degrees > maxDegrees || (degrees == maxDegrees && minutes > 0.0))
        return false;
    double const angle = degrees + minutes / 60.0;
    out = h == negative ? -angle : angle;
    return true;
}

// Hex of a field 'bits' wide. Some encoders sign-extend negative values to 32 bits
// ("fffffd51"); that is accepted, any other value wider than the field is not.
bool readHex(field_t f, int bits, bool isSigned, std::int64_t& out)
{
    if (f.empty() || f.size() > 8)
        return false;
    std::uint32_t value = 0;
    for (char const* p = f.begin; p < f.end; ++p) {
        int const digit = hexValue(*p);
        if (digit < 0)
            return false;
        value = (value << 4) | std::uint32_t(digit);
    }
    std::uint64_t const limit = std::uint64_t(1) << bits;
    if (value < limit) {
        if (isSigned && (value & (limit >> 1)))
            out = std::int64_t(value) - std::int64_t(limit);
        else
            out = value;
        return true;
    }
    if (isSigned && bits < 32 && value >= std::uint64_t(0x100000000ull) - (limit >> 1)) {
        out = std::int64_t(std::int32_t(value));
        return true;
    }
    return false;
}

nmeaSystem_t systemOfTalker(char a, char b)
{
    if (a == 'G') {
        switch (b) {
        case 'P': return nmeaSystemGps;
        case 'L': return nmeaSystemGlonass;
        case 'A': return nmeaSystemGalileo;
        case 'B': return nmeaSystemBeidou;
        case 'Q': return nmeaSystemQzss;
        case 'I': return nmeaSystemNavic;
        case 'N': return nmeaSystemMulti;
        default: break;
        }
    } else if (a == 'B' && b == 'D') {
        return nmeaSystemBeidou;
    } else if (a == 'Q' && b == 'Z') {
        return nmeaSystemQzss;
    }
    return nmeaSystemOther;
}

constexpr std::uint32_t typeKey(char a, char b, char c)
{
    return (std::uint32_t(std::uint8_t(a)) << 16) | (std::uint32_t(std::uint8_t(b)) << 8) | std::uint8_t(c);
}

bool fieldCountIn(fields_t const& f, int low, int high) { return f.count >= low && f.count <= high; }

bool readGga(fields_t const& f, nmeaGga_t& s)
{
    s = nmeaGga_t();
    return fieldCountIn(f, 14, 15) && readTime(f[1], s.time)
           && readAngle(f[2], f[3], 'N', 'S', 90, s.latitude) && readAngle(f[4], f[5], 'E', 'W', 180, s.longitude)
           && readInt(f[6], s.quality, 0, 9) && readInt(f[7], s.satellitesUsed, 0, 999)
           && readNumber(f[8], s.hdop, 0.0, 999.0) && readNumber(f[9], s.altitude, -20000.0, 1.0e6)
           && unitIs(f[10], 'M') && readNumber(f[11], s.geoidSeparation, -1000.0, 1000.0) && unitIs(f[12], 'M')
           && readNumber(f[13], s.correctionAge, 0.0, 1.0e6) && readInt(f[14], s.stationId, 0, 9999);
}

bool readGns(fields_t const& f, nmeaGns_t& s)
{
    s = nmeaGns_t();
    if (!fieldCountIn(f, 13, 14))
        return false;
    field_t const modes = f[6];
    if (modes.size() > std::size_t(nmeaGns_t::MaxModes))
        return false;
    for (char const* p = modes.begin; p < modes.end; ++p) {
        char const c = *p;
        if (c != 'N' && c != 'A' && c != 'D' && c != 'P' && c != 'R' && c != 'F' && c != 'E' && c != 'M' && c != 'S')
            return false;
        s.modes[s.modeCount++] = c;
    }
    return readTime(f[1], s.time) && readAngle(f[2], f[3], 'N', 'S', 90, s.latitude)
           && readAngle(f[4], f[5], 'E', 'W', 180, s.longitude) && readInt(f[7], s.satellitesUsed, 0, 999)
           && readNumber(f[8], s.hdop, 0.0, 999.0) && readNumber(f[9], s.altitude, -20000.0, 1.0e6)
           && readNumber(f[10], s.geoidSeparation, -1000.0, 1000.0) && readNumber(f[11], s.correctionAge, 0.0, 1.0e6)
           && readInt(f[12], s.stationId, 0, 9999) && readChar(f[13], s.navigationStatus, "SCUV");
}

bool readRmc(fields_t const& f, nmeaRmc_t& s)
{
    s = nmeaRmc_t();
    if (!fieldCountIn(f, 12, 14) || !readTime(f[1], s.time) || !readChar(f[2], s.status, "AV")
        || !readAngle(f[3], f[4], 'N', 'S', 90, s.latitude) || !readAngle(f[5], f[6], 'E', 'W', 180, s.longitude)
        || !readNumber(f[7], s.speed, 0.0, 1.0e5) || !readNumber(f[8], s.course, 0.0, 360.0)
        || !readDate(f[9], s.date))
        return false;
    // Some receivers leave out the variation's side and put the mode in its place
    // ("...,010611,,A"): with the variation empty, that cannot be mistaken.
    if (f.count == 12 && f[10].empty() && f[11].size() == 1 && *f[11].begin != 'E' && *f[11].begin != 'W')
        return readChar(f[11], s.mode, "ADEFMNPRS");
    if (!readChar(f[12], s.mode, "ADEFMNPRS") || !readChar(f[13], s.navigationStatus, "SCUV"))
        return false;
    std::optional<double> variation;
    if (!readNumber(f[10], variation, 0.0, 180.0))
        return false;
    char side = 0;
    if (!readChar(f[11], side, "EW"))
        return false;
    if (variation)
        s.magneticVariation = side == 'W' ? -*variation : *variation;
    return true;
}

bool readGll(fields_t const& f, nmeaGll_t& s)
{
    s = nmeaGll_t();
    return fieldCountIn(f, 7, 8) && readAngle(f[1], f[2], 'N', 'S', 90, s.latitude)
           && readAngle(f[3], f[4], 'E', 'W', 180, s.longitude) && readTime(f[5], s.time)
           && readChar(f[6], s.status, "AV") && readChar(f[7], s.mode, "ADEFMNPRS");
}

bool readGsa(fields_t const& f, nmeaGsa_t& s)
{
    s = nmeaGsa_t();
    if (!fieldCountIn(f, 18, 19) || !readChar(f[1], s.selection, "AM") || !readInt(f[2], s.fixType, 1, 3))
        return false;
    for (int i = 0; i < nmeaGsa_t::MaxIds; ++i) {
        field_t const id = f[3 + i];
        if (id.empty())
            continue;
        int value = 0;
        if (!toInt(id, value) || value > 999)   // some receivers pad with 00
            return false;
        s.ids[i] = std::uint16_t(value);
    }
    return readNumber(f[15], s.pdop, 0.0, 999.0) && readNumber(f[16], s.hdop, 0.0, 999.0)
           && readNumber(f[17], s.vdop, 0.0, 999.0) && readInt(f[18], s.systemId, 1, 15);
}

bool readGsv(fields_t const& f, nmeaGsv_t& s)
{
    s.inView.reset();
    s.signalId.reset();
    s.satelliteCount = 0;
    if (f.count < 4)
        return false;
    int const rest = f.count - 4;
    int const blocks = rest / 4;
    bool const hasSignal = rest % 4 == 1;
    if ((rest % 4 != 0 && !hasSignal) || blocks > nmeaGsv_t::MaxSatellites)
        return false;
    if (!toInt(f[1], s.total) || !toInt(f[2], s.number) || s.total < 1 || s.total > 99 || s.number < 1
        || s.number > s.total || !readInt(f[3], s.inView, 0, 999))
        return false;
    for (int i = 0; i < blocks; ++i) {
        nmeaGsvSatellite_t& sat = s.satellites[i];
        int const at = 4 + 4 * i;
        field_t const id = f[at];
        int value = 0;
        if (id.empty()) {
            sat.id = 0;
        } else if (toInt(id, value) && value <= 999) {
            sat.id = std::uint16_t(value);
        } else {
            return false;
        }
        if (!readNumber(f[at + 1], sat.elevation, -90.0, 90.0) || !readNumber(f[at + 2], sat.azimuth, 0.0, 360.0)
            || !readNumber(f[at + 3], sat.snr, 0.0, 99.0))
            return false;
    }
    s.satelliteCount = blocks;
    if (hasSignal) {
        // one hexadecimal digit
        field_t const signal = f[f.count - 1];
        if (signal.size() == 1 && hexValue(*signal.begin) >= 0)
            s.signalId = hexValue(*signal.begin);
        else if (!signal.empty())
            return false;
    }
    return true;
}

bool readGst(fields_t const& f, nmeaGst_t& s)
{
    s = nmeaGst_t();
    double const big = 1.0e7;
    return f.count == 9 && readTime(f[1], s.time) && readNumber(f[2], s.rms, 0.0, big)
           && readNumber(f[3], s.semiMajor, 0.0, big) && readNumber(f[4], s.semiMinor, 0.0, big)
           && readNumber(f[5], s.orientation, -360.0, 360.0) && readNumber(f[6], s.latitudeError, 0.0, big)
           && readNumber(f[7], s.longitudeError, 0.0, big) && readNumber(f[8], s.heightError, 0.0, big);
}

bool readGrs(fields_t const& f, nmeaGrs_t& s)
{
    s = nmeaGrs_t();
    if (!fieldCountIn(f, 15, 17) || !readTime(f[1], s.time) || !readInt(f[2], s.mode, 0, 1))
        return false;
    for (int i = 0; i < nmeaGrs_t::MaxResiduals; ++i) {
        if (!readNumber(f[3 + i], s.residuals[i], -1.0e5, 1.0e5))
            return false;
    }
    if (!readInt(f[15], s.systemId, 1, 15))
        return false;
    field_t const signal = f[16];
    if (signal.size() == 1 && hexValue(*signal.begin) >= 0)
        s.signalId = hexValue(*signal.begin);
    else if (!signal.empty())
        return false;
    return true;
}

bool readHeading(fields_t const& f, nmeaHeading_t& s, bool ths)
{
    s = nmeaHeading_t();
    if (f.count != 3 || !readNumber(f[1], s.heading, 0.0, 360.0))
        return false;
    if (s.heading && *s.heading >= 360.0)
        s.heading = 0.0;
    return ths ? readChar(f[2], s.mode, "AEMSV") : unitIs(f[2], 'T');
}

bool readGbs(fields_t const& f, nmeaGbs_t& s)
{
    s = nmeaGbs_t();
    double const big = 1.0e7;
    // NMEA 4.10 adds the system and signal ids
    if (!fieldCountIn(f, 9, 11) || !readTime(f[1], s.time) || !readNumber(f[2], s.latitudeError, 0.0, big)
        || !readNumber(f[3], s.longitudeError, 0.0, big) || !readNumber(f[4], s.altitudeError, 0.0, big)
        || !readInt(f[5], s.failedId, 1, 999) || !readNumber(f[6], s.missedDetection, 0.0, 1.0)
        || !readNumber(f[7], s.bias, -big, big) || !readNumber(f[8], s.biasSigma, 0.0, big))
        return false;
    return readInt(f[9], s.systemId, 1, 15);
}

bool readRot(fields_t const& f, nmeaRot_t& s)
{
    s = nmeaRot_t();
    return f.count == 3 && readNumber(f[1], s.rate, -1.0e4, 1.0e4) && readChar(f[2], s.status, "AV");
}

// A magnitude with an E/W letter, east positive.
bool readEastWest(field_t value, field_t side, std::optional<double>& out, double limit)
{
    if (!readNumber(value, out, 0.0, limit))
        return false;
    if (!out)
        return side.empty();
    char letter = 0;
    if (!readChar(side, letter, "EW") || !letter)
        return false;
    if (letter == 'W')
        *out = -*out;
    return true;
}

bool readHdg(fields_t const& f, nmeaHdg_t& s)
{
    s = nmeaHdg_t();
    if (f.count != 6 || !readNumber(f[1], s.heading, 0.0, 360.0))
        return false;
    if (s.heading && *s.heading >= 360.0)
        s.heading = 0.0;
    return readEastWest(f[2], f[3], s.deviation, 180.0) && readEastWest(f[4], f[5], s.variation, 180.0);
}

// Datum codes are three characters: letters, digits or '?' for an unknown one.
bool readDatumCode(field_t f, char (&out)[4])
{
    out[0] = out[1] = out[2] = out[3] = 0;
    if (f.size() > 3)
        return false;
    for (std::size_t i = 0; i < f.size(); ++i) {
        char const c = f.begin[i];
        if (!(isDigit(c) || (c >= 'A' && c <= 'Z') || c == '?'))
            return false;
        out[i] = c;
    }
    return true;
}

bool readDtm(fields_t const& f, nmeaDtm_t& s)
{
    s = nmeaDtm_t();
    // older receivers send only the datum and its subdivision
    if (!fieldCountIn(f, 3, 9) || !readDatumCode(f[1], s.datum) || !readNumber(f[3], s.latitudeOffset, 0.0, 6000.0))
        return false;
    if (s.latitudeOffset) {
        char h = 0;
        if (!readChar(f[4], h, "NS") || !h)
            return false;
        if (h == 'S')
            *s.latitudeOffset = -*s.latitudeOffset;
    } else if (!f[4].empty()) {
        return false;
    }
    return readEastWest(f[5], f[6], s.longitudeOffset, 12000.0) && readNumber(f[7], s.altitudeOffset, -1.0e5, 1.0e5)
           && readDatumCode(f[8], s.reference);
}

bool readVtg(fields_t const& f, nmeaVtg_t& s)
{
    s = nmeaVtg_t();
    return fieldCountIn(f, 9, 10) && readNumber(f[1], s.courseTrue, 0.0, 360.0) && unitIs(f[2], 'T')
           && readNumber(f[3], s.courseMagnetic, 0.0, 360.0) && unitIs(f[4], 'M')
           && readNumber(f[5], s.speedKnots, 0.0, 1.0e5) && unitIs(f[6], 'N')
           && readNumber(f[7], s.speedKmh, 0.0, 2.0e5) && unitIs(f[8], 'K') && readChar(f[9], s.mode, "ADEFMNPRS");
}

bool readZda(fields_t const& f, nmeaZda_t& s)
{
    s = nmeaZda_t();
    if (f.count != 7 || !readTime(f[1], s.time))
        return false;
    std::optional<int> day, month, year;
    if (!readInt(f[2], day, 1, 31) || !readInt(f[3], month, 1, 12) || !readInt(f[4], year, 1980, 2200))
        return false;
    if (day && month && year)
        s.date = nmeaDate_t{*year, *month, *day};
    else if (day || month || year)
        return false;
    // the zone's hours may carry a sign
    field_t zone = f[5];
    if (!zone.empty() && *zone.begin == '-') {
        std::optional<int> hours;
        if (!readInt({zone.begin + 1, zone.end}, hours, 0, 13))
            return false;
        s.zoneHours = -*hours;
    } else {
        if (!zone.empty() && *zone.begin == '+')
            zone.begin++;
        if (!readInt(zone, s.zoneHours, 0, 13))
            return false;
    }
    return readInt(f[6], s.zoneMinutes, 0, 59);
}

bool readAlm(fields_t const& f, nmeaAlm_t& s)
{
    s = nmeaAlm_t();
    if (f.count != 16 || !toInt(f[1], s.total) || !toInt(f[2], s.number) || !toInt(f[3], s.prn) || s.total < 1
        || s.number < 1 || s.number > s.total || s.prn < 1 || s.prn > 32)
        return false;
    int empty = 0;
    for (int i = 4; i <= 15; ++i)
        empty += f[i].empty() ? 1 : 0;
    if (empty == 12)
        return true;
    if (empty != 0)
        return false;
    std::int64_t health = 0, eccentricity = 0, toa = 0, inclination = 0, rate = 0, sqrtA = 0, perigee = 0,
                 node = 0, anomaly = 0, af0 = 0, af1 = 0;
    if (!toInt(f[4], s.week) || s.week > 9999 || !readHex(f[5], 8, false, health)
        || !readHex(f[6], 16, false, eccentricity) || !readHex(f[7], 8, false, toa)
        || !readHex(f[8], 16, true, inclination) || !readHex(f[9], 16, true, rate) || !readHex(f[10], 24, false, sqrtA)
        || !readHex(f[11], 24, true, perigee) || !readHex(f[12], 24, true, node) || !readHex(f[13], 24, true, anomaly)
        || !readHex(f[14], 11, true, af0) || !readHex(f[15], 11, true, af1))
        return false;
    s.hasData = true;
    s.health = std::uint32_t(health);
    s.eccentricity = std::uint32_t(eccentricity);
    s.toa = std::uint32_t(toa);
    s.inclination = std::int32_t(inclination);
    s.rateOfRightAscension = std::int32_t(rate);
    s.sqrtA = std::uint32_t(sqrtA);
    s.argumentOfPerigee = std::int32_t(perigee);
    s.rightAscension = std::int32_t(node);
    s.meanAnomaly = std::int32_t(anomaly);
    s.af0 = std::int32_t(af0);
    s.af1 = std::int32_t(af1);
    return true;
}

#if NMEA_PARSER_WORDWISE
constexpr std::uint64_t Ones = 0x0101010101010101ull;
constexpr std::uint64_t Highs = 0x8080808080808080ull;
constexpr std::uint64_t Lows = 0x7f7f7f7f7f7f7f7full;

// The high bit of every byte of the word that is zero, and of no other.
inline std::uint64_t zeroBytes(std::uint64_t word)
{
    std::uint64_t const low = (word & Lows) + Lows;
    return ~(low | word | Lows);
}

inline std::uint64_t bytesEqual(std::uint64_t word, char c) { return zeroBytes(word ^ (Ones * std::uint8_t(c))); }

// Bytes outside printable ASCII, and the start characters, which cannot occur inside a sentence.
inline std::uint64_t badBytes(std::uint64_t word)
{
    std::uint64_t const low = word & Lows;
    std::uint64_t const below20 = ~(low + Ones * 0x60) & Highs;
    std::uint64_t const is7f = (low + Ones) & Highs;
    return (word & Highs) | below20 | is7f | bytesEqual(word, '$') | bytesEqual(word, '!');
}

inline int lowestByte(std::uint64_t bits)
{
#if defined(_MSC_VER) && !defined(__clang__)
    unsigned long index;
    _BitScanForward64(&index, bits);
    return int(index) / 8;
#else
    return __builtin_ctzll(bits) / 8;
#endif
}
#endif

inline bool isTrailing(char c) { return c == '\r' || c == '\n' || c == ' ' || c == '\t' || c == '\0'; }

} // namespace

class nmeaParser_t::private_t
{
public:
    bool allowMissingChecksum = false;
};

nmeaParser_t::nmeaParser_t() : d(new private_t) {}
nmeaParser_t::~nmeaParser_t() { delete d; }

void nmeaParser_t::setAllowMissingChecksum(bool allow) { d->allowMissingChecksum = allow; }
bool nmeaParser_t::allowMissingChecksum() const { return d->allowMissingChecksum; }

nmeaLineResult_t nmeaParser_t::parse(char const* data, std::size_t length, nmeaSentence_t& sentence,
                                     std::size_t* consumed) const
{
    sentence.type = nmeaTypeNone;
    if (consumed)
        *consumed = length;
    if (!data)
        return nmeaMalformed;
    char const* end = data + length;
    while (end > data && isTrailing(end[-1]))
        --end;
    char const* start = data;
    while (start < end && *start != '$' && *start != '!')
        ++start;
    if (end - start < 2)
        return nmeaMalformed;

    // One pass: checksum, field boundaries and characters NMEA does not allow in a sentence.
    fields_t fields;
    fields.start[0] = start + 1;
    fields.count = 1;
    bool tooManyFields = false;
    bool badCharacter = false;
    unsigned int sum = 0;
    char const* p = start + 1;
#if NMEA_PARSER_WORDWISE
    // Eight bytes at a time up to the word that holds the '*'; the byte loop does the rest.
    std::uint64_t folded = 0;
    std::uint64_t bad = 0;
    while (end - p >= 8) {
        std::uint64_t word;
        std::memcpy(&word, p, 8);
        if (bytesEqual(word, '*'))
            break;
        folded ^= word;
        bad |= badBytes(word);
        for (std::uint64_t commas = bytesEqual(word, ','); commas; commas &= commas - 1)
            fields.start[fields.count++] = p + lowestByte(commas) + 1;
        if (fields.count > int(MaxFields)) {
            fields.count = int(MaxFields);
            tooManyFields = true;
        }
        p += 8;
    }
    folded ^= folded >> 32;
    folded ^= folded >> 16;
    folded ^= folded >> 8;
    sum = unsigned(folded & 0xffu);
    badCharacter = bad != 0;
#endif
    for (; p < end; ++p) {
        unsigned char const c = static_cast<unsigned char>(*p);
        if (c == '*')
            break;
        sum ^= c;
        if (c == ',') {
            if (fields.count < int(MaxFields))
                fields.start[fields.count++] = p + 1;
            else
                tooManyFields = true;
        } else if (c < 0x20 || c > 0x7e || c == '$' || c == '!') {
            badCharacter = true;
        }
    }
    fields.last = p;

    // A sentence cut short by another that starts in mid-line ("...,270,$GPRMC,..."): the
    // damaged part is malformed, and the caller goes on from the last start character.
    if (badCharacter && consumed) {
        char const* restart = p;
        while (restart > start + 1 && restart[-1] != '$' && restart[-1] != '!')
            --restart;
        if (restart > start + 1) {
            *consumed = std::size_t(restart - 1 - data);
            return nmeaMalformed;
        }
    }

    if (p == end) {
        if (!d->allowMissingChecksum)
            return nmeaBadChecksum;
    } else {
        if (end - p < 3)
            return nmeaMalformed;
        int const high = hexValue(p[1]);
        int const low = hexValue(p[2]);
        if (high < 0 || low < 0)
            return nmeaMalformed;
        char const* next = p + 3;
        if (next < end) {
            while (next < end && isTrailing(*next))
                ++next;
            if (!consumed || (*next != '$' && *next != '!'))
                return nmeaMalformed;
            *consumed = std::size_t(next - data);
        }
        if (unsigned(high * 16 + low) != sum)
            return nmeaBadChecksum;
    }
    if (badCharacter)
        return nmeaMalformed;

    field_t const address = fields[0];
    if (*start == '!' || address.size() != 5 || *address.begin == 'P')
        return address.empty() ? nmeaMalformed : nmeaUnknown;
    char const* a = address.begin;
    nmeaSentenceType_t type = nmeaTypeNone;
    switch (typeKey(a[2], a[3], a[4])) {
    case typeKey('G', 'G', 'A'): type = nmeaTypeGga; break;
    case typeKey('G', 'N', 'S'): type = nmeaTypeGns; break;
    case typeKey('R', 'M', 'C'): type = nmeaTypeRmc; break;
    case typeKey('G', 'L', 'L'): type = nmeaTypeGll; break;
    case typeKey('G', 'S', 'A'): type = nmeaTypeGsa; break;
    case typeKey('G', 'S', 'V'): type = nmeaTypeGsv; break;
    case typeKey('G', 'S', 'T'): type = nmeaTypeGst; break;
    case typeKey('G', 'R', 'S'): type = nmeaTypeGrs; break;
    case typeKey('H', 'D', 'T'): type = nmeaTypeHdt; break;
    case typeKey('T', 'H', 'S'): type = nmeaTypeThs; break;
    case typeKey('V', 'T', 'G'): type = nmeaTypeVtg; break;
    case typeKey('Z', 'D', 'A'): type = nmeaTypeZda; break;
    case typeKey('A', 'L', 'M'): type = nmeaTypeAlm; break;
    case typeKey('G', 'B', 'S'): type = nmeaTypeGbs; break;
    case typeKey('R', 'O', 'T'): type = nmeaTypeRot; break;
    case typeKey('H', 'D', 'G'): type = nmeaTypeHdg; break;
    case typeKey('D', 'T', 'M'): type = nmeaTypeDtm; break;
    default: return nmeaUnknown;
    }
    if (tooManyFields)
        return nmeaMalformed;

    bool ok = false;
    switch (type) {
    case nmeaTypeGga: ok = readGga(fields, sentence.gga); break;
    case nmeaTypeGns: ok = readGns(fields, sentence.gns); break;
    case nmeaTypeRmc: ok = readRmc(fields, sentence.rmc); break;
    case nmeaTypeGll: ok = readGll(fields, sentence.gll); break;
    case nmeaTypeGsa: ok = readGsa(fields, sentence.gsa); break;
    case nmeaTypeGsv: ok = readGsv(fields, sentence.gsv); break;
    case nmeaTypeGst: ok = readGst(fields, sentence.gst); break;
    case nmeaTypeGrs: ok = readGrs(fields, sentence.grs); break;
    case nmeaTypeHdt: ok = readHeading(fields, sentence.heading, false); break;
    case nmeaTypeThs: ok = readHeading(fields, sentence.heading, true); break;
    case nmeaTypeVtg: ok = readVtg(fields, sentence.vtg); break;
    case nmeaTypeZda: ok = readZda(fields, sentence.zda); break;
    case nmeaTypeAlm: ok = readAlm(fields, sentence.alm); break;
    case nmeaTypeGbs: ok = readGbs(fields, sentence.gbs); break;
    case nmeaTypeRot: ok = readRot(fields, sentence.rot); break;
    case nmeaTypeHdg: ok = readHdg(fields, sentence.hdg); break;
    case nmeaTypeDtm: ok = readDtm(fields, sentence.dtm); break;
    case nmeaTypeNone: break;
    }
    if (!ok)
        return nmeaMalformed;
    sentence.type = type;
    sentence.talker[0] = a[0];
    sentence.talker[1] = a[1];
    sentence.system = systemOfTalker(a[0], a[1]);
    return nmeaAccepted;
}

} // namespace belrix_common_qt
