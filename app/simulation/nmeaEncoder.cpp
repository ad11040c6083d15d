#include "nmeaEncoder.h"

#include <belrix_common_qt/navSatNumbering.h>
#include <belrix_common_qt/remoteDevice.h>

#include <algorithm>
#include <cmath>
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <map>
#include <belrix_common_qt/navConstants.h>

using namespace belrix_common_qt;

namespace orvane {
namespace app {

namespace {

constexpr double MetresPerSecondToKnots = 3600.0 / 1852.0;
constexpr double SecondsPerDay = 86400.0;
constexpr int IdsPerGsa = 12;
constexpr int SatellitesPerGsv = 4;
// A residual this many range sigmas out is what a receiver's fault detection would name.
constexpr double SuspectResidualSigmas = 4.0;

QByteArray format(char const* pattern, ...)
{
    char buffer[128];
    va_list args;
    va_start(args, pattern);
    int const n = std::vsnprintf(buffer, sizeof buffer, pattern, args);
    va_end(args);
    return QByteArray(buffer, std::clamp(n, 0, int(sizeof buffer) - 1));
}

QByteArray number(double value, int decimals)
{
    if (!std::isfinite(value))
        return QByteArray();
    return format("%.*f", decimals, value);
}

// Hundredths of a second since 1970, so the time of day and the date round together.
std::int64_t centiseconds(double t) { return std::int64_t(std::llround(t * 100.0)); }

void civilDate(std::int64_t days, int& year, int& month, int& day)
{
    // days since 1970-01-01 to the proleptic Gregorian calendar
    days += 719468;
    std::int64_t const era = (days >= 0 ? days : days - 146096) / 146097;
    std::int64_t const doe = days - era * 146097;
    std::int64_t const yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    std::int64_t const doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    std::int64_t const mp = (5 * doy + 2) / 153;
    day = int(doy - (153 * mp + 2) / 5 + 1);
    month = int(mp < 10 ? mp + 3 : mp - 9);
    year = int(yoe + era * 400 + (month <= 2 ? 1 : 0));
}

void dateOf(double t, int& year, int& month, int& day)
{
    std::int64_t const cs = centiseconds(t);
    std::int64_t days = cs / 8640000;
    if (cs % 8640000 < 0)
        --days;
    civilDate(days, year, month, day);
}

QByteArray angle(double radians, int degreeDigits, char positive, char negative)
{
    if (!std::isfinite(radians))
        return ",";
    double const degrees = std::fabs(radians * RadToDeg);
    // round in units of 1e-7 minute first so 59.99999999 never prints as 60
    std::int64_t const units = std::llround(degrees * 60.0 * 1e7);
    std::int64_t const whole = units / (60 * std::int64_t(10000000));
    double const minutes = double(units - whole * 60 * std::int64_t(10000000)) / 1e7;
    return format("%0*lld%010.7f,%c", degreeDigits, static_cast<long long>(whole), minutes,
                  radians < 0.0 ? negative : positive);
}

char const* gsvTalker(constellation_t c)
{
    switch (c) {
    case constellationGlonass: return "GL";
    case constellationGalileo: return "GA";
    case constellationBeidou: return "GB";
    case constellationQzss: return "GQ";
    default: return "GP";
    }
}

// NMEA 4.11 system identifier of GSA and GRS
int systemId(constellation_t c)
{
    switch (c) {
    case constellationGlonass: return 2;
    case constellationGalileo: return 3;
    case constellationBeidou: return 4;
    case constellationQzss: return 5;
    default: return 1;
    }
}

// The satellite as its system's sentences name it.
unsigned int nmeaId(satelliteState_t const& sat)
{
    switch (sat.constellation) {
    case constellationGalileo:
    case constellationBeidou: return navSatPrn(sat.number);
    case constellationQzss: return sat.number - 192;
    default: return sat.number;
    }
}

char rmcMode(int quality)
{
    switch (quality) {
    case fixQualityGps: return 'A';
    case fixQualityDgps: return 'D';
    case fixQualityPps: return 'P';
    case fixQualityRtkFixed: return 'R';
    case fixQualityRtkFloat: return 'F';
    case fixQualityEstimated: return 'E';
    case fixQualityManual: return 'M';
    case fixQualitySimulation: return 'S';
    default: return 'N';
    }
}

} // namespace

QByteArray nmeaEncoder_t::sentence(QByteArray const& body)
{
    unsigned char sum = 0;
    for (char c : body)
        sum ^= static_cast<unsigned char>(c);
    return '$' + body + format("*%02X", unsigned(sum));
}

QByteArray nmeaEncoder_t::timeOfDay(double t)
{
    if (!std::isfinite(t))
        return QByteArray();
    std::int64_t cs = centiseconds(t) % 8640000;
    if (cs < 0)
        cs += 8640000;
    int const hours = int(cs / 360000), minutes = int(cs / 6000 % 60), seconds = int(cs / 100 % 60),
              hundredths = int(cs % 100);
    return format("%02d%02d%02d.%02d", hours, minutes, seconds, hundredths);
}

QByteArray nmeaEncoder_t::latitude(double radians) { return angle(radians, 2, 'N', 'S'); }
QByteArray nmeaEncoder_t::longitude(double radians) { return angle(radians, 3, 'E', 'W'); }

QList<QByteArray> nmeaEncoder_t::receiverEpoch(receiverState_t const& s)
{
    QList<QByteArray> lines;
    QByteArray const time = timeOfDay(s.time);
    int year = 0, month = 0, day = 0;
    dateOf(s.time, year, month, day);
    bool const fix = s.hasFix && s.fixQuality != fixQualityInvalid;
    QByteArray const position =
        fix ? latitude(s.position.lat) + ',' + longitude(s.position.lon) : QByteArray(",,,");

    // RMC, NMEA 4.10 with mode and navigational status
    lines << sentence("GNRMC," + time + (fix ? ",A," : ",V,") + position + ','
                      + (fix ? number(s.speed * MetresPerSecondToKnots, 3) : QByteArray()) + ','
                      + (fix ? number(s.course, 2) : QByteArray()) + ','
                      + format("%02d%02d%02d", day, month, year % 100) + ",,," + rmcMode(fix ? s.fixQuality : 0) + ','
                      + (fix ? 'S' : 'V'));

    QByteArray const age = s.correctionAge && fix ? number(*s.correctionAge, 1) : QByteArray();
    lines << sentence("GNGGA," + time + ',' + position + ',' + QByteArray::number(fix ? s.fixQuality : 0) + ','
                      + format("%02u", s.satellitesUsed) + ',' + (fix ? number(s.dop.hdop, 2) : QByteArray()) + ','
                      + (fix ? number(s.ellipsoidalHeight - s.geoidSeparation, 3) + ",M," + number(s.geoidSeparation, 3)
                                   + ",M,"
                             : QByteArray(",,,,"))
                      + age + ',' + (age.isEmpty() ? QByteArray() : QByteArray("0000")));

    // the systems the receiver tracks, and which satellites of each are in the solution
    std::map<int, std::vector<satelliteState_t const*>> usedBySystem;
    std::map<std::pair<int, unsigned int>, std::vector<satelliteState_t const*>> gsvGroups;
    for (satelliteState_t const& sat : s.satellites) {
        if (sat.constellation != constellationSbas) {
            std::vector<satelliteState_t const*>& used = usedBySystem[systemId(sat.constellation)];
            if (sat.used && fix)
                used.push_back(&sat);
        }
        // SBAS shares the GPS talker
        int const talkerKey = sat.constellation == constellationSbas ? int(constellationGps) : int(sat.constellation);
        gsvGroups[{talkerKey, sat.signalId}].push_back(&sat);
    }

    QByteArray const dops = fix ? number(s.dop.pdop, 2) + ',' + number(s.dop.hdop, 2) + ',' + number(s.dop.vdop, 2)
                                : QByteArray(",,");
    for (auto const& entry : usedBySystem) {
        QByteArray body = "GNGSA,A," + QByteArray(fix ? "3" : "1");
        std::vector<satelliteState_t const*> const& used = entry.second;
        for (int i = 0; i < IdsPerGsa; ++i) {
            body += ',';
            if (std::size_t(i) < used.size())
                body += format("%02u", nmeaId(*used[std::size_t(i)]));
        }
        lines << sentence(body + ',' + dops + ',' + QByteArray::number(entry.first));
    }

    for (auto const& entry : gsvGroups) {
        std::vector<satelliteState_t const*> const& sats = entry.second;
        constellation_t const c = constellation_t(entry.first.first);
        // a group has at most nine sentences
        int const count = std::min(int(sats.size()), 9 * SatellitesPerGsv);
        int const total = std::max(1, (count + SatellitesPerGsv - 1) / SatellitesPerGsv);
        for (int part = 0; part < total; ++part) {
            QByteArray body = QByteArray(gsvTalker(c)) + format("GSV,%d,%d,%02d", total, part + 1, count);
            for (int k = part * SatellitesPerGsv; k < std::min(count, (part + 1) * SatellitesPerGsv); ++k) {
                satelliteState_t const& sat = *sats[std::size_t(k)];
                int const elevation = std::clamp(int(std::lround(sat.elevation)), 0, 90);
                int const azimuth = int(std::lround(sat.azimuth)) % 360;
                body += format(",%02u,%02d,%03d,", nmeaId(sat), elevation, azimuth);
                if (sat.snr >= 1.0)
                    body += format("%02d", std::clamp(int(std::lround(sat.snr)), 0, 99));
            }
            lines << sentence(body + format(",%X", entry.first.second));
        }
    }

    if (fix) {
        for (auto const& entry : usedBySystem) {
            std::vector<satelliteState_t const*> const& used = entry.second;
            if (used.empty())
                continue;
            QByteArray body = "GNGRS," + time + ",1";
            for (int i = 0; i < IdsPerGsa; ++i) {
                body += ',';
                if (std::size_t(i) < used.size())
                    body += number(std::clamp(used[std::size_t(i)]->residual, -999.0, 999.0), 2);
            }
            unsigned int const signal = used.front()->signalId;
            lines << sentence(body + ',' + QByteArray::number(entry.first) + format(",%X", signal));
        }
        lines << sentence("GNGST," + time + ',' + number(s.rangeRms, 3) + ',' + number(s.semiMajor, 3) + ','
                          + number(s.semiMinor, 3) + ',' + number(s.orientation, 1) + ','
                          + number(s.latitudeError, 3) + ',' + number(s.longitudeError, 3) + ','
                          + number(s.heightError, 3));
        // the receiver's own fault detection: it names a satellite whose residual stands out
        satelliteState_t const* worst = nullptr;
        int worstSystem = 0;
        for (auto const& entry : usedBySystem) {
            for (satelliteState_t const* sat : entry.second) {
                if (!worst || std::fabs(sat->residual) > std::fabs(worst->residual)) {
                    worst = sat;
                    worstSystem = entry.first;
                }
            }
        }
        QByteArray gbs = "GNGBS," + time + ',' + number(s.latitudeError, 2) + ',' + number(s.longitudeError, 2) + ','
                         + number(s.heightError, 2);
        if (worst && std::fabs(worst->residual) > SuspectResidualSigmas * std::max(s.rangeRms, 0.1))
            gbs += format(",%02u,,", nmeaId(*worst)) + number(worst->residual, 1) + ',' + number(s.rangeRms, 1)
                   + format(",%d,%X", worstSystem, worst->signalId);
        else
            gbs += ",,,,,,";
        lines << sentence(gbs);
    }
    if (s.heading)
        lines << sentence("GNHDT," + number(*s.heading, 2) + ",T");
    lines << sentence("GNZDA," + time + format(",%02d,%02d,%04d,00,00", day, month, year));
    return lines;
}

QByteArray nmeaEncoder_t::heading(gyroState_t const& state)
{
    return sentence("HEHDT," + number(state.heading, 2) + ",T");
}

QList<QByteArray> nmeaEncoder_t::almanac(std::vector<almanacGps_t> const& entries)
{
    QList<QByteArray> lines;
    int const total = int(entries.size());
    int index = 0;
    // two's complement in the field's width, as the almanac page carries it
    auto field = [](double value, double lsb, int bits, bool isSigned) {
        double const raw = std::round(value / lsb);
        double const low = isSigned ? -std::ldexp(1.0, bits - 1) : 0.0;
        double const high = isSigned ? std::ldexp(1.0, bits - 1) - 1.0 : std::ldexp(1.0, bits) - 1.0;
        std::int64_t const v = std::int64_t(std::isfinite(raw) ? std::clamp(raw, low, high) : 0.0);
        std::uint64_t const mask = (std::uint64_t(1) << bits) - 1;
        return format("%0*llX", (bits + 3) / 4, static_cast<unsigned long long>(std::uint64_t(v) & mask));
    };
    for (almanacGps_t const& a : entries) {
        ++index;
        QByteArray body = format("GPALM,%d,%d,%02u,%04u,", total, index, a.prn, a.week);
        body += field(double(a.health), 1.0, 8, false) + ',';
        body += field(a.eccentricity, std::ldexp(1.0, -21), 16, false) + ',';
        body += field(a.toa, 4096.0, 8, false) + ',';
        body += field(a.inclination / Pi - 0.3, std::ldexp(1.0, -19), 16, true) + ',';
        body += field(a.rateOfRightAscension / Pi, std::ldexp(1.0, -38), 16, true) + ',';
        body += field(a.sqrtA, std::ldexp(1.0, -11), 24, false) + ',';
        body += field(a.argumentOfPerigee / Pi, std::ldexp(1.0, -23), 24, true) + ',';
        body += field(a.rightAscension / Pi, std::ldexp(1.0, -23), 24, true) + ',';
        body += field(a.meanAnomaly / Pi, std::ldexp(1.0, -23), 24, true) + ',';
        body += field(a.af0, std::ldexp(1.0, -20), 11, true) + ',';
        body += field(a.af1, std::ldexp(1.0, -38), 11, true);
        lines << sentence(body);
    }
    return lines;
}

} // namespace app
} // namespace orvane
