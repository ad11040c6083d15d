#pragma once

#include <cstdint>
#include <optional>

namespace belrix_common_qt {

// The sentence types the parser reads; every other well-formed sentence is unknown.
enum nmeaSentenceType_t : std::uint8_t {
    nmeaTypeNone = 0,
    nmeaTypeGga,
    nmeaTypeGns,
    nmeaTypeRmc,
    nmeaTypeGll,
    nmeaTypeGsa,
    nmeaTypeGsv,
    nmeaTypeGst,
    nmeaTypeGrs,
    nmeaTypeHdt,
    nmeaTypeThs,
    nmeaTypeVtg,
    nmeaTypeZda,
    nmeaTypeAlm,
    nmeaTypeGbs,
    nmeaTypeRot,
    nmeaTypeHdg,
    nmeaTypeDtm,
};

// A navigation system as a talker or an NMEA 4.10 system identifier names it. The values 1 to 6
// are the system identifiers of GSA and GRS.
enum nmeaSystem_t : std::uint8_t {
    nmeaSystemOther = 0,     // a talker that is no satellite system (HE, IN, II, ...)
    nmeaSystemGps = 1,       // GP
    nmeaSystemGlonass = 2,   // GL
    nmeaSystemGalileo = 3,   // GA
    nmeaSystemBeidou = 4,    // GB, BD
    nmeaSystemQzss = 5,      // GQ, QZ
    nmeaSystemNavic = 6,     // GI
    nmeaSystemMulti = 7,     // GN: several systems combined
};

// Fields are in the units the sentence gives, parsed and range-checked; an empty field is
// absent. Latitudes and longitudes are signed decimal degrees, times of day seconds since
// midnight UTC, speeds knots unless named otherwise.

struct nmeaDate_t {
    int year = 0;    // four digits
    int month = 0;   // 1-12
    int day = 0;     // 1-31
};

struct nmeaGga_t {
    std::optional<double> time;
    std::optional<double> latitude;
    std::optional<double> longitude;
    std::optional<int> quality;          // 0-8
    std::optional<int> satellitesUsed;
    std::optional<float> hdop;
    std::optional<double> altitude;      // metres above mean sea level
    std::optional<double> geoidSeparation;
    std::optional<float> correctionAge;  // seconds
    std::optional<int> stationId;
};

struct nmeaGns_t {
    static constexpr int MaxModes = 8;
    std::optional<double> time;
    std::optional<double> latitude;
    std::optional<double> longitude;
    char modes[MaxModes] = {};           // one mode indicator per system: N A D P R F E M S
    int modeCount = 0;
    std::optional<int> satellitesUsed;
    std::optional<float> hdop;
    std::optional<double> altitude;
    std::optional<double> geoidSeparation;
    std::optional<float> correctionAge;
    std::optional<int> stationId;
    char navigationStatus = 0;           // NMEA 4.10: S C U V; 0 when absent
};

struct nmeaRmc_t {
    std::optional<double> time;
    char status = 0;                     // A valid, V warning; 0 when absent
    std::optional<double> latitude;
    std::optional<double> longitude;
    std::optional<double> speed;         // knots
    std::optional<double> course;        // degrees true
    std::optional<nmeaDate_t> date;
    std::optional<double> magneticVariation;   // degrees, east positive
    char mode = 0;                       // NMEA 2.3: A D E F M N P R S; 0 when absent
    char navigationStatus = 0;
};

struct nmeaGll_t {
    std::optional<double> latitude;
    std::optional<double> longitude;
    std::optional<double> time;
    char status = 0;
    char mode = 0;
};

struct nmeaGsa_t {
    static constexpr int MaxIds = 12;
    char selection = 0;                  // A automatic, M manual
    std::optional<int> fixType;          // 1 none, 2 2D, 3 3D
    std::uint16_t ids[MaxIds] = {};      // in the receiver's order; 0 for an empty field
    std::optional<float> pdop;
    std::optional<float> hdop;
    std::optional<float> vdop;
    std::optional<int> systemId;         // NMEA 4.10: nmeaSystem_t 1-6
};

struct nmeaGsvSatellite_t {
    std::uint16_t id = 0;                // as sent; 0 for an empty block
    std::optional<float> elevation;      // degrees, -90 to 90
    std::optional<float> azimuth;        // degrees, 0 to 360
    std::optional<float> snr;            // dB-Hz; absent while not tracked
};

struct nmeaGsv_t {
    static constexpr int MaxSatellites = 8;   // four by the standard; some receivers send more
    int total = 0;                       // sentences in the group, 1-9
    int number = 0;                      // this one, 1-total
    std::optional<int> inView;
    nmeaGsvSatellite_t satellites[MaxSatellites];
    int satelliteCount = 0;              // blocks present, empty ones included
    std::optional<int> signalId;         // NMEA 4.10: 0-15
};

struct nmeaGst_t {
    std::optional<double> time;
    std::optional<float> rms;
    std::optional<float> semiMajor;
    std::optional<float> semiMinor;
    std::optional<float> orientation;    // degrees from true north
    std::optional<float> latitudeError;
    std::optional<float> longitudeError;
    std::optional<float> heightError;
};

struct nmeaGrs_t {
    static constexpr int MaxResiduals = 12;
    std::optional<double> time;
    std::optional<int> mode;             // 0 residuals of the GGA position, 1 recomputed after it
    std::optional<float> residuals[MaxResiduals];   // metres, in the order of the GSA ids
    std::optional<int> systemId;         // NMEA 4.10
    std::optional<int> signalId;
};

struct nmeaHeading_t {                   // HDT and THS
    std::optional<double> heading;       // degrees true, [0, 360)
    char mode = 0;                       // THS: A E M S V; 0 for HDT
};

struct nmeaVtg_t {
    std::optional<double> courseTrue;
    std::optional<double> courseMagnetic;
    std::optional<double> speedKnots;
    std::optional<double> speedKmh;
    char mode = 0;
};

struct nmeaZda_t {
    std::optional<double> time;
    std::optional<nmeaDate_t> date;
    std::optional<int> zoneHours;
    std::optional<int> zoneMinutes;
};

// One GPS almanac page as ALM sends it: the raw fields, sign-extended where signed.
struct nmeaAlm_t {
    int total = 0;
    int number = 0;
    int prn = 0;                         // 1-32
    bool hasData = false;                // false when the receiver has no almanac for the PRN
    int week = 0;                        // as sent: modulo 1024 in older receivers
    std::uint32_t health = 0;            // 8 bits
    std::uint32_t eccentricity = 0;      // 16 bits, 2^-21
    std::uint32_t toa = 0;               // 8 bits, 2^12 s
    std::int32_t inclination = 0;        // 16 bits, 2^-19 semi-circles from 0.3
    std::int32_t rateOfRightAscension = 0;   // 16 bits, 2^-38 semi-circles/s
    std::uint32_t sqrtA = 0;             // 24 bits, 2^-11 m^0.5
    std::int32_t argumentOfPerigee = 0;  // 24 bits, 2^-23 semi-circles
    std::int32_t rightAscension = 0;     // 24 bits, 2^-23 semi-circles
    std::int32_t meanAnomaly = 0;        // 24 bits, 2^-23 semi-circles
    std::int32_t af0 = 0;                // 11 bits, 2^-20 s
    std::int32_t af1 = 0;                // 11 bits, 2^-38 s/s
};

// The receiver's own integrity monitoring (RAIM) of its last fix.
struct nmeaGbs_t {
    std::optional<double> time;
    std::optional<float> latitudeError;  // expected errors, metres
    std::optional<float> longitudeError;
    std::optional<float> altitudeError;
    std::optional<int> failedId;         // most likely failed satellite, as sent
    std::optional<float> missedDetection;   // probability of missed detection of that fault, 0-1
    std::optional<float> bias;           // estimated bias on that satellite, metres
    std::optional<float> biasSigma;      // standard deviation of the bias, metres
    std::optional<int> systemId;         // NMEA 4.10: nmeaSystem_t 1-6
};

struct nmeaRot_t {
    std::optional<double> rate;          // degrees per minute, negative turning to port
    char status = 0;                     // A valid, V invalid
};

struct nmeaHdg_t {
    std::optional<double> heading;       // magnetic sensor heading, degrees
    std::optional<double> deviation;     // degrees, east positive
    std::optional<double> variation;     // degrees, east positive
};

struct nmeaDtm_t {
    char datum[4] = {};                  // local datum code: W84, W72, S85, P90, 999, IHO codes
    char reference[4] = {};              // the datum the offsets refer to
    std::optional<double> latitudeOffset;    // minutes, north positive
    std::optional<double> longitudeOffset;   // minutes, east positive
    std::optional<double> altitudeOffset;    // metres
};

// One parsed sentence. Only the member of its type is meaningful.
struct nmeaSentence_t {
    nmeaSentenceType_t type = nmeaTypeNone;
    char talker[2] = {};
    nmeaSystem_t system = nmeaSystemOther;   // of the talker
    nmeaGga_t gga;
    nmeaGns_t gns;
    nmeaRmc_t rmc;
    nmeaGll_t gll;
    nmeaGsa_t gsa;
    nmeaGsv_t gsv;
    nmeaGst_t gst;
    nmeaGrs_t grs;
    nmeaHeading_t heading;
    nmeaVtg_t vtg;
    nmeaZda_t zda;
    nmeaAlm_t alm;
    nmeaGbs_t gbs;
    nmeaRot_t rot;
    nmeaHdg_t hdg;
    nmeaDtm_t dtm;
};

} // namespace belrix_common_qt
