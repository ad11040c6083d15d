#include "belrix_common_qt/nmeaDecoder.h"

#include "belrix_common_qt/almMgrGps.h"
#include "belrix_common_qt/coordConverter.h"
#include "belrix_common_qt/grsQcSolver.h"
#include "belrix_common_qt/navConstants.h"
#include "belrix_common_qt/navSatNumbering.h"
#include "belrix_common_qt/nmeaParser.h"
#include "belrix_common_qt/qcDataStore.h"
#include "belrix_common_qt/qcSettingsBase.h"
#include "belrix_common_qt/remoteController.h"
#include "belrix_common_qt/remoteDevice.h"
#include "belrix_common_qt/remoteNavSat.h"

#include <QDate>

#include <algorithm>
#include <bitset>
#include <cmath>
#include <iterator>
#include <limits>

namespace belrix_common_qt {

namespace {

constexpr double KnotsToMetresPerSecond = 1852.0 / 3600.0;
constexpr double KmhToMetresPerSecond = 1.0 / 3.6;
constexpr double Never = -std::numeric_limits<double>::infinity();
constexpr double SecondsPerDay = 86400.0;
constexpr qint64 JulianDayOf1970 = 2440588;

// A sky-view group (one talker, one signal) that has not completed for this long is forgotten
// with its satellites: the receiver stopped sending it.
constexpr double GsvGroupExpiry = 30.0;
// The satellites in use of a system that has sent no GSA for this long no longer count.
constexpr double GsaExpiry = 10.0;
// Satellites used and HDOP come from GGA; GSA supplies the count only when GGA has not for this long.
constexpr double GgaPreference = 3.0;
// Satellite directions older than this are not used for the QC geometry.
constexpr double MaxGeometryAge = 60.0;

// Receivers round the same instant to different decimals (GLL 200620.303, GGA 200620.30).
constexpr double SameInstant = 0.01;

constexpr int Systems = 8;   // nmeaSystem_t
constexpr int Signals = 16;
constexpr int GsaKeys = Systems + 4;   // by system, then GN without system id by position in the run

using satSet_t = std::bitset<NavSatNumberLimit>;

// The data model's number of a satellite that a sentence of the given system names by id;
// 0 for ids that have no number (NavIC, unknown ranges).
unsigned int numberOf(nmeaSystem_t system, unsigned int id)
{
    switch (system) {
    case nmeaSystemGlonass:
        if (id >= 65 && id <= 96)
            return id;
        return navSatNumber(constellationGlonass, id);   // slot
    case nmeaSystemGalileo:
        if (id >= 301 && id <= 336)
            return id;
        return navSatNumber(constellationGalileo, id);
    case nmeaSystemBeidou:
        if (id >= 401 && id <= 463)
            return id;
        if (id >= 201 && id <= 263)   // the BD talker of older receivers
            return navSatNumber(constellationBeidou, id - 200);
        return navSatNumber(constellationBeidou, id);
    case nmeaSystemQzss:
        if (id >= 1 && id <= 10)   // NMEA 4.11: PRN - 192
            return id + 192;
        return navSatNumber(constellationQzss, id);
    case nmeaSystemNavic:
        return 0;
    case nmeaSystemGps:
    case nmeaSystemMulti:
    case nmeaSystemOther:
        break;
    }
    // GPS talker numbering, which older receivers use for everything they track
    if (id >= 120 && id <= 151)
        return navSatNumber(constellationSbas, id);
    return navSatConstellation(id) == constellationUnknown ? 0 : id;
}

// Which of a satellite's three signal slots an NMEA 4.10 signal id fills: 0 the L1/E1/B1 band,
// 1 the second frequency (L2, G2, E5b/E6, B2I/B3), 2 the L5 band (L5, E5a, B2a).
int frequencyIndex(constellation_t constellation, int signalId)
{
    if (signalId <= 0)
        return 0;
    switch (constellation) {
    case constellationGps:
    case constellationSbas:
    case constellationQzss:
        if (signalId == 7 || signalId == 8)
            return 2;
        if (signalId >= 4 && signalId <= 6)
            return 1;
        if (constellation == constellationQzss && (signalId == 9 || signalId == 10))
            return 1;
        return 0;
    case constellationGlonass:
        return signalId >= 3 && signalId <= 4 ? 1 : 0;
    case constellationGalileo:
        if (signalId == 1)
            return 2;
        return signalId >= 2 && signalId <= 5 ? 1 : 0;
    case constellationBeidou:
        if (signalId == 5)
            return 2;
        return signalId >= 1 && signalId <= 4 ? 0 : 1;
    case constellationCorrection:
    case constellationUnknown:
        break;
    }
    return 0;
}

// The signal a receiver before NMEA 4.10 reports: the constellation's open L1-band service.
std::uint32_t defaultSignalId(constellation_t constellation) { return constellation == constellationGalileo ? 7 : 1; }

int fixQualityOfMode(char mode)
{
    switch (mode) {
    case 'A': return fixQualityGps;
    case 'D': return fixQualityDgps;
    case 'P': return fixQualityPps;
    case 'R': return fixQualityRtkFixed;
    case 'F': return fixQualityRtkFloat;
    case 'E': return fixQualityEstimated;
    case 'M': return fixQualityManual;
    case 'S': return fixQualitySimulation;
    default: break;
    }
    return fixQualityInvalid;
}

// The GSA key of a system id or a single-system talker; -1 for GN and other talkers.
int systemKeyOf(std::optional<int> systemId, nmeaSystem_t talker)
{
    if (systemId)
        return *systemId >= 1 && *systemId <= 6 ? *systemId : int(nmeaSystemOther);
    if (talker != nmeaSystemMulti && talker != nmeaSystemOther)
        return talker;
    return -1;
}

// Midnight UTC of a date, seconds since 1970; none for a date that does not exist (31 April).
std::optional<double> midnightOf(nmeaDate_t const& date)
{
    QDate const day(date.year, date.month, date.day);
    if (!day.isValid())
        return std::nullopt;
    return double(day.toJulianDay() - JulianDayOf1970) * SecondsPerDay;
}

template <typename T>
void invalidateItem(remoteDevice_t* device, dataItem_t<T> const& (remoteDevice_t::*get)() const,
                    void (remoteDevice_t::*set)(dataItem_t<T> const&))
{
    dataItem_t<T> item = (device->*get)();
    if (item.isValid()) {
        item.invalidate();
        (device->*set)(item);
    }
}

struct gsvGroup_t {
    satSet_t current;    // listed by the last complete group
    satSet_t pending;    // listed so far by the group being received
    double completed = Never;
    int expected = 0;    // the next sentence number
    bool broken = false;
    bool active = false;
};

struct gsaKey_t {
    std::uint16_t numbers[nmeaGsa_t::MaxIds] = {};   // in the receiver's order, 0 where empty
    satSet_t used;
    double time = Never;
    bool valid = false;
};

// The receiver's time of day a sentence carries, if any.
std::optional<double> timeOfDay(nmeaSentence_t const& s)
{
    switch (s.type) {
    case nmeaTypeGga: return s.gga.time;
    case nmeaTypeGns: return s.gns.time;
    case nmeaTypeRmc: return s.rmc.time;
    case nmeaTypeGll: return s.gll.time;
    case nmeaTypeGst: return s.gst.time;
    case nmeaTypeGrs: return s.grs.time;
    case nmeaTypeGbs: return s.gbs.time;
    case nmeaTypeZda: return s.zda.time;
    default: return std::nullopt;
    }
}

// The bit of a kind of sentence that an epoch holds once; 0 for kinds that come several to it.
std::uint32_t onceKind(nmeaSentenceType_t type)
{
    switch (type) {
    case nmeaTypeGsa:
    case nmeaTypeGsv:
    case nmeaTypeGrs:
    case nmeaTypeAlm:
    case nmeaTypeNone: return 0;
    default: return std::uint32_t(1) << type;
    }
}

} // namespace

class nmeaDecoder_t::private_t
{
public:
    void apply(double t);
    bool beginsEpoch(double t, std::optional<double> time, std::uint32_t kind) const;
    void applyGga(nmeaGga_t const& s, double t);
    void applyGns(nmeaGns_t const& s, double t);
    template <typename sentence_t>
    void applyFix(std::optional<int> quality, sentence_t const& s, double t);
    void applyRmc(nmeaRmc_t const& s, double t);
    void applyGll(nmeaGll_t const& s, double t);
    void applyGsa(nmeaGsa_t const& s, double t);
    void applyGsv(nmeaGsv_t const& s, double t);
    void applyGst(nmeaGst_t const& s, double t);
    void applyGrs(nmeaGrs_t const& s, double t);
    void applyHeading(nmeaHeading_t const& s, double t);
    void applyVtg(nmeaVtg_t const& s, double t);
    void applyAlm(nmeaAlm_t const& s, double t);
    void applyGbs(nmeaGbs_t const& s, double t);
    void applyRot(nmeaRot_t const& s, double t);
    void applyHdg(nmeaHdg_t const& s, double t);
    void applyDtm(nmeaDtm_t const& s, double t);
    // The receiver's UTC of a time of day: with the sentence's own date, or on the day that
    // puts it nearest the last dated time carried on by the data time since (before any date,
    // nearest the data time), which also finds the day of an epoch across midnight.
    double receiverTime(double timeOfDay, std::optional<nmeaDate_t> const& date, double t);
    void setFixTime(std::optional<double> timeOfDay, std::optional<nmeaDate_t> const& date, double t);

    void setPosition(double latitude, double longitude, double t);
    void invalidatePosition();
    void withdrawFix(double t);
    unsigned int satellitesInUse(unsigned int ggaCount, double t) const;
    void setHeightFrom(std::optional<double> altitude, std::optional<double> separation, double t);
    void completeGsvGroup(gsvGroup_t& group, double t);
    int gsaKeyOf(nmeaGsa_t const& s);
    int grsKeyOf(nmeaGrs_t const& s) const;
    void flushGrs();

    remoteDevice_t* device = nullptr;
    remoteController_t* controller = nullptr;
    double datedTime = std::numeric_limits<double>::quiet_NaN();   // the receiver's UTC at its last date
    double datedAt = 0.0;                                          // the data time that date came at
    nmeaParser_t parser;
    nmeaSentence_t sentence;
    nmeaCounters_t counters;
    nmeaSentenceType_t previousType = nmeaTypeNone;

    gsvGroup_t groups[Systems * Signals];
    std::uint8_t activeGroups[Systems * Signals] = {};
    int activeGroupCount = 0;

    gsaKey_t gsa[GsaKeys];
    satSet_t used;          // union over the GSA keys
    int gsaRun = 0;         // position of a GSA in a run of consecutive GSAs
    int keyOfRun[4] = {-1, -1, -1, -1};   // GN without system ids: the key of each position
    int grsRun = 0;
    double ggaSatellitesTime = Never;
    unsigned int ggaSatellites = 0;
    double gsaTime = Never;

    // the epoch being received
    bool epochOpen = false;
    std::optional<double> epochTime;   // the first time of day given in it
    std::uint32_t epochKinds = 0;      // onceKind bits of what it holds
    double epochLast = 0.0;            // data time of its last sentence

    grsQcSolver_t solver;   // the residuals of the epoch being received
    bool grsPending = false;
    std::optional<double> grsTime;
    double grsDataTime = 0.0;
    unsigned int grsKeys = 0;   // GSA keys whose residuals are in
};

bool nmeaDecoder_t::private_t::beginsEpoch(double t, std::optional<double> time, std::uint32_t kind) const
{
    if (!epochOpen)
        return false;
    if (time && epochTime && !(std::fabs(*time - *epochTime) <= SameInstant))
        return true;
    return (epochKinds & kind) != 0 || !(std::fabs(t - epochLast) <= EpochQuietTime);
}

void nmeaDecoder_t::private_t::apply(double t)
{
    nmeaSentenceType_t const type = sentence.type;
    std::optional<double> const time = timeOfDay(sentence);
    std::uint32_t const kind = onceKind(type);
    if (beginsEpoch(t, time, kind)) {
        // the summary of the residuals belongs to the epoch that ends
        if (grsPending)
            flushGrs();
        device->endEpoch();
        epochTime.reset();
        epochKinds = 0;
    }
    epochOpen = true;
    if (!epochTime)
        epochTime = time;
    epochKinds |= kind;
    epochLast = t;
    // the residuals of an epoch arrive in one run of GRS sentences
    if (grsPending && type != nmeaTypeGrs)
        flushGrs();
    switch (type) {
    case nmeaTypeGga: applyGga(sentence.gga, t); break;
    case nmeaTypeGns: applyGns(sentence.gns, t); break;
    case nmeaTypeRmc: applyRmc(sentence.rmc, t); break;
    case nmeaTypeGll: applyGll(sentence.gll, t); break;
    case nmeaTypeGsa:
        gsaRun = previousType == nmeaTypeGsa ? gsaRun + 1 : 0;
        applyGsa(sentence.gsa, t);
        break;
    case nmeaTypeGsv: applyGsv(sentence.gsv, t); break;
    case nmeaTypeGst: applyGst(sentence.gst, t); break;
    case nmeaTypeGrs:
        grsRun = previousType == nmeaTypeGrs ? grsRun + 1 : 0;
        applyGrs(sentence.grs, t);
        break;
    case nmeaTypeHdt:
    case nmeaTypeThs: applyHeading(sentence.heading, t); break;
    case nmeaTypeVtg: applyVtg(sentence.vtg, t); break;
    case nmeaTypeAlm: applyAlm(sentence.alm, t); break;
    case nmeaTypeGbs: applyGbs(sentence.gbs, t); break;
    case nmeaTypeRot: applyRot(sentence.rot, t); break;
    case nmeaTypeHdg: applyHdg(sentence.hdg, t); break;
    case nmeaTypeDtm: applyDtm(sentence.dtm, t); break;
    case nmeaTypeZda:   // only the date, for the times of day that follow
        if (sentence.zda.time)
            receiverTime(*sentence.zda.time, sentence.zda.date, t);
        break;
    case nmeaTypeNone: break;
    }
    previousType = type;
}

double nmeaDecoder_t::private_t::receiverTime(double timeOfDay, std::optional<nmeaDate_t> const& date, double t)
{
    if (std::optional<double> const day = date ? midnightOf(*date) : std::nullopt) {
        datedTime = *day + timeOfDay;
        datedAt = t;
        return datedTime;
    }
    double const reference = std::isnan(datedTime) ? t : datedTime + (t - datedAt);
    return std::round((reference - timeOfDay) / SecondsPerDay) * SecondsPerDay + timeOfDay;
}

void nmeaDecoder_t::private_t::setFixTime(std::optional<double> timeOfDay, std::optional<nmeaDate_t> const& date, double t)
{
    if (!timeOfDay)
        return;
    double const time = receiverTime(*timeOfDay, date, t);
    if (std::isfinite(time))
        device->setFixTime(dataItem_t<double>(time, t));
}

void nmeaDecoder_t::private_t::setPosition(double latitude, double longitude, double t)
{
    position_t const input(latitude * DegToRad, longitude * DegToRad);
    device->setInputPosition(dataItem_t<position_t>(input, t));
    coordConverter_t const* converter = controller ? controller->coordConverter() : nullptr;
    position_t display = input;
    if (converter && !converter->storedToDisplay(input, display)) {
        invalidateItem(device, &remoteDevice_t::displayPosition, &remoteDevice_t::setDisplayPosition);
        return;
    }
    device->setDisplayPosition(dataItem_t<position_t>(display, t));
}

void nmeaDecoder_t::private_t::invalidatePosition()
{
    invalidateItem(device, &remoteDevice_t::inputPosition, &remoteDevice_t::setInputPosition);
    invalidateItem(device, &remoteDevice_t::displayPosition, &remoteDevice_t::setDisplayPosition);
    invalidateItem(device, &remoteDevice_t::ellipsoidalHeight, &remoteDevice_t::setEllipsoidalHeight);
}

// No fix: everything that describes one goes, as a quality-0 GGA says.
void nmeaDecoder_t::private_t::withdrawFix(double t)
{
    device->setFixQuality(dataItem_t<int>(fixQualityInvalid, t));
    invalidatePosition();
    invalidateItem(device, &remoteDevice_t::hdop, &remoteDevice_t::setHdop);
}

// GGA's count stops at 12 in many receivers; the GSA sentences of the epoch list them all.
unsigned int nmeaDecoder_t::private_t::satellitesInUse(unsigned int ggaCount, double t) const
{
    unsigned int const listed = unsigned(used.count());
    if (ggaCount >= 12 && listed > ggaCount && t - gsaTime <= GgaPreference)
        return listed;
    return ggaCount;
}

// Without the geoid separation the altitude says nothing exact about the ellipsoid: no height.
void nmeaDecoder_t::private_t::setHeightFrom(std::optional<double> altitude, std::optional<double> separation, double t)
{
    if (altitude && separation)
        device->setEllipsoidalHeight(dataItem_t<double>(*altitude + *separation, t));
}

void nmeaDecoder_t::private_t::applyGga(nmeaGga_t const& s, double t)
{
    if (s.quality)
        applyFix(*s.quality == 9 ? int(fixQualityDgps) : *s.quality, s, t);   // 9: SBAS in some receivers
    else
        applyFix(std::nullopt, s, t);
}

void nmeaDecoder_t::private_t::applyGns(nmeaGns_t const& s, double t)
{
    // one mode per system; the first system with a fix tells the quality
    int quality = fixQualityInvalid;
    for (int i = 0; i < s.modeCount && quality == fixQualityInvalid; ++i)
        quality = fixQualityOfMode(s.modes[i]);
    applyFix(s.modeCount > 0 ? std::optional<int>(quality) : std::nullopt, s, t);
}

// GGA and GNS carry the same fix fields; only how they state the quality differs.
template <typename sentence_t>
void nmeaDecoder_t::private_t::applyFix(std::optional<int> quality, sentence_t const& s, double t)
{
    setFixTime(s.time, std::nullopt, t);
    if (quality) {
        if (*quality == fixQualityInvalid) {
            withdrawFix(t);
        } else {
            device->setFixQuality(dataItem_t<int>(*quality, t));
            if (s.latitude && s.longitude) {
                setPosition(*s.latitude, *s.longitude, t);
                setHeightFrom(s.altitude, s.geoidSeparation, t);
            }
            if (s.hdop)
                device->setHdop(dataItem_t<float>(*s.hdop, t));
        }
    }
    if (s.satellitesUsed) {
        ggaSatellites = unsigned(*s.satellitesUsed);
        ggaSatellitesTime = t;
        device->setSatellitesUsed(dataItem_t<unsigned int>(satellitesInUse(ggaSatellites, t), t));
    }
    if (s.correctionAge)
        device->setCorrectionAge(dataItem_t<float>(*s.correctionAge, t));
    else
        invalidateItem(device, &remoteDevice_t::correctionAge, &remoteDevice_t::setCorrectionAge);
}

void nmeaDecoder_t::private_t::applyRmc(nmeaRmc_t const& s, double t)
{
    setFixTime(s.time, s.date, t);
    if (s.status == 'V' || s.mode == 'N') {
        withdrawFix(t);
        invalidateItem(device, &remoteDevice_t::courseOverGround, &remoteDevice_t::setCourseOverGround);
        invalidateItem(device, &remoteDevice_t::speedOverGround, &remoteDevice_t::setSpeedOverGround);
        return;
    }
    if (s.status != 'A')
        return;
    if (s.latitude && s.longitude)
        setPosition(*s.latitude, *s.longitude, t);
    if (s.course)
        device->setCourseOverGround(dataItem_t<float>(float(*s.course), t));
    if (s.speed)
        device->setSpeedOverGround(dataItem_t<float>(float(*s.speed * KnotsToMetresPerSecond), t));
}

void nmeaDecoder_t::private_t::applyGll(nmeaGll_t const& s, double t)
{
    setFixTime(s.time, std::nullopt, t);
    if (s.status == 'V' || s.mode == 'N')
        withdrawFix(t);
    else if (s.status == 'A' && s.latitude && s.longitude) {
        setPosition(*s.latitude, *s.longitude, t);
    }
}

void nmeaDecoder_t::private_t::applyVtg(nmeaVtg_t const& s, double t)
{
    if (s.mode == 'N') {
        invalidateItem(device, &remoteDevice_t::courseOverGround, &remoteDevice_t::setCourseOverGround);
        invalidateItem(device, &remoteDevice_t::speedOverGround, &remoteDevice_t::setSpeedOverGround);
        return;
    }
    if (s.courseTrue)
        device->setCourseOverGround(dataItem_t<float>(float(*s.courseTrue), t));
    if (s.speedKnots)
        device->setSpeedOverGround(dataItem_t<float>(float(*s.speedKnots * KnotsToMetresPerSecond), t));
    else if (s.speedKmh)
        device->setSpeedOverGround(dataItem_t<float>(float(*s.speedKmh * KmhToMetresPerSecond), t));
}

void nmeaDecoder_t::private_t::applyHeading(nmeaHeading_t const& s, double t)
{
    // an empty heading or THS mode V: the receiver has no heading now
    if (s.heading && s.mode != 'V')
        device->setHeading(dataItem_t<float>(float(*s.heading), t));
    else
        invalidateItem(device, &remoteDevice_t::heading, &remoteDevice_t::setHeading);
}

void nmeaDecoder_t::private_t::applyGst(nmeaGst_t const& s, double t)
{
    pseudorangeStats_t stats;
    stats.rms = s.rms;
    stats.semiMajor = s.semiMajor;
    stats.semiMinor = s.semiMinor;
    if (s.orientation) {
        // an axis: -1.1 degrees is 178.9
        double degrees = std::fmod(double(*s.orientation), 180.0);
        if (degrees < 0.0)
            degrees += 180.0;
        stats.orientation = float(degrees * DegToRad);
    }
    stats.latError = s.latitudeError;
    stats.lonError = s.longitudeError;
    stats.heightError = s.heightError;
    if (stats.rms || stats.semiMajor || stats.semiMinor || stats.orientation || stats.latError || stats.lonError
        || stats.heightError)
        device->setPseudorangeStats(dataItem_t<pseudorangeStats_t>(stats, t));
    else
        invalidateItem(device, &remoteDevice_t::pseudorangeStats, &remoteDevice_t::setPseudorangeStats);
}


int nmeaDecoder_t::private_t::gsaKeyOf(nmeaGsa_t const& s)
{
    int key = systemKeyOf(s.systemId, sentence.system);
    if (key >= 0)
        return key;
    // GN without system ids (NMEA 4.0): one sentence per system, told apart by the satellites
    // it lists, or by its place in the run when it lists none
    int const run = gsaRun < 3 ? gsaRun : 3;
    for (std::uint16_t id : s.ids) {
        switch (navSatConstellation(id ? numberOf(nmeaSystemMulti, id) : 0)) {
        case constellationGps:
        case constellationSbas: key = nmeaSystemGps; break;
        case constellationGlonass: key = nmeaSystemGlonass; break;
        case constellationGalileo: key = nmeaSystemGalileo; break;
        case constellationBeidou: key = nmeaSystemBeidou; break;
        case constellationQzss: key = nmeaSystemQzss; break;
        case constellationCorrection:
        case constellationUnknown: continue;
        }
        break;
    }
    if (key < 0)
        key = keyOfRun[run] >= 0 ? keyOfRun[run] : Systems + run;
    keyOfRun[run] = key;
    return key;
}

// Residuals come in the order of the GSA sentences
int nmeaDecoder_t::private_t::grsKeyOf(nmeaGrs_t const& s) const
{
    int const key = systemKeyOf(s.systemId, sentence.system);
    return key >= 0 ? key : keyOfRun[grsRun < 3 ? grsRun : 3];
}

void nmeaDecoder_t::private_t::applyGsa(nmeaGsa_t const& s, double t)
{
    int const key = gsaKeyOf(s);
    nmeaSystem_t const system = s.systemId ? nmeaSystem_t(key) : sentence.system;
    gsaKey_t& entry = gsa[key];
    gsaKey_t const old = entry;
    entry.used.reset();
    for (int i = 0; i < nmeaGsa_t::MaxIds; ++i) {
        unsigned int const number = s.ids[i] ? numberOf(system, s.ids[i]) : 0;
        entry.numbers[i] = std::uint16_t(number);
        if (number)
            entry.used.set(number);
    }
    entry.time = t;
    entry.valid = true;

    satSet_t all;
    bool expired = false;
    for (gsaKey_t& k : gsa) {
        if (k.valid && t - k.time > GsaExpiry) {
            k.valid = false;
            expired = true;
        }
        if (k.valid)
            all |= k.used;
    }
    satSet_t const changed = all ^ used;
    used = all;
    if (changed.any()) {
        auto update = [&](unsigned int number) {
            if (number && changed.test(number)) {
                if (remoteNavSat_t* sat = device->navSatForUpdate(number))
                    sat->setUsed(used.test(number));
            }
        };
        if (expired) {
            for (unsigned int n = 1; n < NavSatNumberLimit; ++n)
                update(n);
        } else {
            for (std::uint16_t n : old.numbers)
                update(n);
            for (std::uint16_t n : entry.numbers)
                update(n);
        }
    }

    if (s.fixType && *s.fixType == 1) {
        invalidateItem(device, &remoteDevice_t::pdop, &remoteDevice_t::setPdop);
        invalidateItem(device, &remoteDevice_t::hdop, &remoteDevice_t::setHdop);
        invalidateItem(device, &remoteDevice_t::vdop, &remoteDevice_t::setVdop);
    } else {
        if (s.pdop)
            device->setPdop(dataItem_t<float>(*s.pdop, t));
        if (s.hdop)
            device->setHdop(dataItem_t<float>(*s.hdop, t));
        if (s.vdop)
            device->setVdop(dataItem_t<float>(*s.vdop, t));
    }
    gsaTime = t;
    if (!(t - ggaSatellitesTime <= GgaPreference))
        device->setSatellitesUsed(dataItem_t<unsigned int>(unsigned(used.count()), t));
    else if (satellitesInUse(ggaSatellites, t) != ggaSatellites)
        device->setSatellitesUsed(dataItem_t<unsigned int>(satellitesInUse(ggaSatellites, t), t));
}

void nmeaDecoder_t::private_t::applyGsv(nmeaGsv_t const& s, double t)
{
    int const signal = s.signalId ? *s.signalId : 0;
    int const index = sentence.system * Signals + signal;
    gsvGroup_t& group = groups[index];
    if (!group.active) {
        group = gsvGroup_t();
        group.active = true;
        group.completed = t;
        activeGroups[activeGroupCount++] = std::uint8_t(index);
    }
    if (s.number == 1) {
        // a group that never completed: what it added is kept until a complete group says
        // whether those satellites are still in view
        if (group.expected != 0)
            group.current |= group.pending;
        group.pending.reset();
        group.broken = false;
    } else if (s.number != group.expected) {
        group.broken = true;
    }
    group.expected = s.number + 1;

    for (int i = 0; i < s.satelliteCount; ++i) {
        nmeaGsvSatellite_t const& block = s.satellites[i];
        unsigned int const number = block.id ? numberOf(sentence.system, block.id) : 0;
        if (!number)
            continue;
        constellation_t const constellation = navSatConstellation(number);
        remoteNavSat_t* sat = device->addNavSat(number, constellation);
        if (!sat)
            continue;
        group.pending.set(number);
        // a field the receiver leaves empty withdraws what it said before
        if (block.elevation) {
            sat->setElevation(dataItem_t<float>(*block.elevation, t));
        } else if (sat->elevation().isValid()) {
            dataItem_t<float> item(sat->elevation().value(), t);
            item.invalidate();
            sat->setElevation(item);
        }
        if (block.azimuth) {
            sat->setAzimuth(dataItem_t<float>(*block.azimuth, t));
        } else if (sat->azimuth().isValid()) {
            dataItem_t<float> item(sat->azimuth().value(), t);
            item.invalidate();
            sat->setAzimuth(item);
        }
        int const slot = frequencyIndex(constellation, signal);
        if (block.snr) {
            freq_t f;
            f.signalId = s.signalId ? std::uint32_t(signal) : defaultSignalId(constellation);
            f.level = *block.snr;
            sat->setFreq(slot, dataItem_t<freq_t>(f, t));
        } else if (dataItem_t<freq_t> const* old = sat->freq(slot); old && old->isValid()) {
            dataItem_t<freq_t> item(old->value(), t);
            item.invalidate();
            sat->setFreq(slot, item);
        }
        sat->setUsed(used.test(number));
    }
    if (s.number == s.total)
        completeGsvGroup(group, t);
}

void nmeaDecoder_t::private_t::completeGsvGroup(gsvGroup_t& group, double t)
{
    satSet_t removed;
    if (group.broken) {
        // a sentence of the group went missing: what it listed is unknown, so keep what we had
        group.current |= group.pending;
    } else {
        removed = group.current & ~group.pending;
        group.current = group.pending;
    }
    group.pending.reset();
    group.broken = false;
    group.expected = 0;
    group.completed = t;

    for (int i = 0; i < activeGroupCount;) {
        gsvGroup_t& other = groups[activeGroups[i]];
        if (t - other.completed > GsvGroupExpiry) {
            removed |= other.current;
            other = gsvGroup_t();
            activeGroups[i] = activeGroups[--activeGroupCount];
        } else {
            ++i;
        }
    }
    if (removed.none())
        return;
    // a satellite leaves only when no group lists it any more (another signal may still)
    for (int i = 0; i < activeGroupCount; ++i)
        removed &= ~groups[activeGroups[i]].current;
    for (unsigned int n = 1; n < NavSatNumberLimit && removed.any(); ++n) {
        if (removed.test(n)) {
            device->removeNavSat(n);
            removed.reset(n);
        }
    }
}

void nmeaDecoder_t::private_t::applyGrs(nmeaGrs_t const& s, double t)
{
    int const key = grsKeyOf(s);
    if (key < 0)
        return;
    unsigned int const bit = 1u << key;
    if (grsPending && (s.time != grsTime || (grsKeys & bit)))
        flushGrs();
    gsaKey_t const& entry = gsa[key];
    if (!entry.valid)
        return;
    for (int i = 0; i < nmeaGrs_t::MaxResiduals; ++i) {
        unsigned int const number = entry.numbers[i];
        if (!s.residuals[i] || !number)
            continue;
        remoteNavSat_t* sat = device->navSatForUpdate(number);
        if (!sat)
            continue;
        sat->setRangeResidual(dataItem_t<float>(*s.residuals[i], t));
        dataItem_t<float> const& azimuth = sat->azimuth();
        dataItem_t<float> const& elevation = sat->elevation();
        if (!azimuth.isValid() || !elevation.isValid() || !(t - azimuth.timestamp() <= MaxGeometryAge)
            || !(t - elevation.timestamp() <= MaxGeometryAge))
            continue;
        solver.addObservation(azimuth.value(), elevation.value(), *s.residuals[i], navSatConstellation(number));
    }
    grsPending = true;
    grsTime = s.time;
    grsDataTime = t;
    grsKeys |= bit;

    // complete once every system in use has sent its residuals
    unsigned int inUse = 0;
    for (int k = 0; k < GsaKeys; ++k) {
        if (gsa[k].valid && gsa[k].used.any() && t - gsa[k].time <= GgaPreference)
            inUse |= 1u << k;
    }
    if ((inUse & ~grsKeys) == 0)
        flushGrs();
}

void nmeaDecoder_t::private_t::flushGrs()
{
    if (solver.observationCount() > 0) {
        if (std::optional<qcSummary_t> summary = solver.solve(device->qcSettings()->aprioriSigma()))
            device->qcDataStore()->addSummary(grsDataTime, *summary);
    }
    solver.clear();
    grsPending = false;
    grsTime.reset();
    grsKeys = 0;
}

void nmeaDecoder_t::private_t::applyAlm(nmeaAlm_t const& s, double t)
{
    if (!controller || !s.hasData)
        return;
    int week = s.week;
    if (week < 1024 && std::isfinite(t)) {
        // ten-bit week: take the rollover that puts it nearest to the data time
        double const gpsWeek = std::floor((t - 315964800.0) / 604800.0);
        double const rollovers = std::floor((gpsWeek - week + 512.0) / 1024.0);
        if (rollovers > 0.0 && rollovers < 64.0)
            week += 1024 * int(rollovers);
    }
    almanacGps_t a;
    a.prn = unsigned(s.prn);
    a.health = s.health;
    a.week = unsigned(week);
    a.toa = double(s.toa) * 4096.0;
    a.eccentricity = std::ldexp(double(s.eccentricity), -21);
    a.inclination = (0.3 + std::ldexp(double(s.inclination), -19)) * Pi;
    a.rateOfRightAscension = std::ldexp(double(s.rateOfRightAscension), -38) * Pi;
    a.sqrtA = std::ldexp(double(s.sqrtA), -11);
    a.rightAscension = std::ldexp(double(s.rightAscension), -23) * Pi;
    a.argumentOfPerigee = std::ldexp(double(s.argumentOfPerigee), -23) * Pi;
    a.meanAnomaly = std::ldexp(double(s.meanAnomaly), -23) * Pi;
    a.af0 = std::ldexp(double(s.af0), -20);
    a.af1 = std::ldexp(double(s.af1), -38);
    controller->almMgrGps()->addAlmanac(a);
}

void nmeaDecoder_t::private_t::applyGbs(nmeaGbs_t const& s, double t)
{
    receiverIntegrity_t integrity;
    integrity.latError = s.latitudeError;
    integrity.lonError = s.longitudeError;
    integrity.altError = s.altitudeError;
    // some receivers always name a satellite, with zeros where a fault would be measured
    bool const nothingAgainstIt = s.missedDetection == 0.0f && s.bias == 0.0f && s.biasSigma == 0.0f;
    if (s.failedId && !nothingAgainstIt) {
        nmeaSystem_t const system = s.systemId && *s.systemId <= nmeaSystemNavic ? nmeaSystem_t(*s.systemId)
                                                                                 : sentence.system;
        integrity.failedSatellite = numberOf(system, unsigned(*s.failedId));
        integrity.missedDetection = s.missedDetection;
        integrity.bias = s.bias;
        integrity.biasSigma = s.biasSigma;
    }
    if (integrity.latError || integrity.lonError || integrity.altError || integrity.failedSatellite)
        device->setReceiverIntegrity(dataItem_t<receiverIntegrity_t>(integrity, t));
    else
        invalidateItem(device, &remoteDevice_t::receiverIntegrity, &remoteDevice_t::setReceiverIntegrity);
}

void nmeaDecoder_t::private_t::applyRot(nmeaRot_t const& s, double t)
{
    if (s.rate && s.status != 'V')
        device->setRateOfTurn(dataItem_t<float>(float(*s.rate), t));
    else
        invalidateItem(device, &remoteDevice_t::rateOfTurn, &remoteDevice_t::setRateOfTurn);
}

void nmeaDecoder_t::private_t::applyHdg(nmeaHdg_t const& s, double t)
{
    if (!s.heading) {
        invalidateItem(device, &remoteDevice_t::magneticHeading, &remoteDevice_t::setMagneticHeading);
        return;
    }
    magneticHeading_t heading;
    heading.sensor = float(*s.heading);
    if (s.deviation)
        heading.deviation = float(*s.deviation);
    if (s.variation)
        heading.variation = float(*s.variation);
    device->setMagneticHeading(dataItem_t<magneticHeading_t>(heading, t));
}

void nmeaDecoder_t::private_t::applyDtm(nmeaDtm_t const& s, double t)
{
    outputDatum_t datum;
    std::copy(std::begin(s.datum), std::end(s.datum), datum.local);
    std::copy(std::begin(s.reference), std::end(s.reference), datum.reference);
    device->setOutputDatum(dataItem_t<outputDatum_t>(datum, t));
}

nmeaDecoder_t::nmeaDecoder_t(remoteDevice_t* device, remoteController_t* controller) : d(new private_t)
{
    d->device = device;
    d->controller = controller;
}

nmeaDecoder_t::~nmeaDecoder_t() { delete d; }

void nmeaDecoder_t::setAllowMissingChecksum(bool allow) { d->parser.setAllowMissingChecksum(allow); }
bool nmeaDecoder_t::allowMissingChecksum() const { return d->parser.allowMissingChecksum(); }

nmeaLineResult_t nmeaDecoder_t::decodeLine(char const* line, std::size_t length, double dataTime)
{
    if (!line)
        length = 0;
    std::size_t content = 0;
    while (content < length && (line[content] == '\r' || line[content] == '\n' || line[content] == ' '
                                || line[content] == '\t' || line[content] == '\0'))
        ++content;
    if (content == length)
        return nmeaMalformed;   // a blank line is no sentence; not counted

    nmeaLineResult_t result = nmeaAccepted;
    std::size_t offset = 0;
    while (offset < length) {
        std::size_t consumed = 0;
        nmeaLineResult_t const r = d->parser.parse(line + offset, length - offset, d->sentence, &consumed);
        ++d->counters.lines;
        switch (r) {
        case nmeaAccepted:
            ++d->counters.accepted;
            if (d->device)
                d->apply(dataTime);
            break;
        case nmeaBadChecksum: ++d->counters.badChecksum; break;
        case nmeaUnknown: ++d->counters.unknown; break;
        case nmeaMalformed: ++d->counters.malformed; break;
        }
        if (result == nmeaAccepted)
            result = r;
        if (consumed == 0 || consumed >= length - offset)
            break;
        offset += consumed;
    }
    return result;
}

nmeaCounters_t const& nmeaDecoder_t::counters() const { return d->counters; }

void nmeaDecoder_t::resetCounters() { d->counters = nmeaCounters_t(); }

} // namespace belrix_common_qt
