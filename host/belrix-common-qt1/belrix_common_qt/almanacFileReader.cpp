#include "belrix_common_qt/almanacFileReader.h"

#include "belrix_common_qt/gnssTime.h"
#include "belrix_common_qt/navConstants.h"

#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QList>

#include <algorithm>
#include <cmath>
#include <iterator>

namespace belrix_common_qt {

namespace {

constexpr qint64 MaxFileSize = 4 * 1024 * 1024;   // a year of daily almanacs is far less
constexpr double MoscowOffset = 3.0 * 3600.0;
constexpr double RolloverSlackWeeks = 4.0;

struct line_t {
    int number = 0;
    QByteArray text;   // simplified: single spaces, no ends
    QList<QByteArray> tokens() const { return text.split(' '); }
};

// What one reading collects, and the first fault it meets.
struct reading_t {
    QString name;
    double rolloverReference = 0.0;
    QString error;
    std::vector<almanacGps_t> gps;
    std::vector<almanacGlonass_t> glonass;

    bool fail(int line, QString const& what)
    {
        error = QStringLiteral("%1:%2: %3").arg(name).arg(line).arg(what);
        return false;
    }

    // A number within [low, high], or a fault naming the field.
    bool number(line_t const& line, QByteArray const& token, char const* field, double low, double high, double& out)
    {
        bool ok = false;
        double const value = token.toDouble(&ok);
        if (!ok || !std::isfinite(value))
            return fail(line.number, QStringLiteral("%1 is not a number: \"%2\"").arg(QLatin1String(field),
                                                                                       QString::fromLatin1(token)));
        if (value < low || value > high)
            return fail(line.number, QStringLiteral("%1 %2 is outside %3 to %4")
                                         .arg(QLatin1String(field), QString::fromLatin1(token))
                                         .arg(low)
                                         .arg(high));
        out = value;
        return true;
    }

    bool integer(line_t const& line, QByteArray const& token, char const* field, int low, int high, int& out)
    {
        bool ok = false;
        int const value = token.toInt(&ok);
        if (!ok)
            return fail(line.number, QStringLiteral("%1 is not a whole number: \"%2\"")
                                         .arg(QLatin1String(field), QString::fromLatin1(token)));
        if (value < low || value > high)
            return fail(line.number, QStringLiteral("%1 %2 is outside %3 to %4")
                                         .arg(QLatin1String(field))
                                         .arg(value)
                                         .arg(low)
                                         .arg(high));
        out = value;
        return true;
    }

    bool fieldCount(line_t const& line, QList<QByteArray> const& tokens, int expected, char const* what)
    {
        if (tokens.size() == expected)
            return true;
        return fail(line.number, QStringLiteral("%1: %2 fields where %3 belong")
                                     .arg(QLatin1String(what))
                                     .arg(tokens.size())
                                     .arg(expected));
    }

    // Midnight of a day-month-year date as seconds since 1970, counted in the date's own zone.
    bool date(line_t const& line, QByteArray const& day, QByteArray const& month, QByteArray const& year,
              double& out)
    {
        int d = 0, m = 0, y = 0;
        if (!integer(line, day, "day", 1, 31, d) || !integer(line, month, "month", 1, 12, m)
            || !integer(line, year, "year", 1980, 2200, y))
            return false;
        QDate const date(y, m, d);
        if (!date.isValid())
            return fail(line.number, QStringLiteral("%1.%2.%3 is no date").arg(d).arg(m).arg(y));
        out = double(date.toJulianDay() - QDate(1970, 1, 1).toJulianDay()) * 86400.0;
        return true;
    }

    int fullWeek(int week) const
    {
        if (week >= 1024)
            return week;
        double const reference = rolloverReference > 0.0 ? rolloverReference
                                                         : double(QDateTime::currentMSecsSinceEpoch()) / 1000.0;
        double const latest = gpsTimeFromUtc(reference) / SecondsPerGpsWeek + RolloverSlackWeeks;
        int full = week;
        while (full + 1024 <= latest)
            full += 1024;
        return full;
    }
};

bool readYuma(reading_t& r, std::vector<line_t> const& lines)
{
    enum field_t {
        fieldId, fieldHealth, fieldEccentricity, fieldToa, fieldInclination, fieldRate, fieldSqrtA, fieldNode,
        fieldPerigee, fieldMeanAnomaly, fieldAf0, fieldAf1, fieldWeek, fieldCount
    };
    struct name_t {
        char const* prefix;   // lower case, as the line starts
        char const* label;
    };
    static name_t const names[fieldCount] = {
        {"id", "ID"}, {"health", "Health"}, {"eccentricity", "Eccentricity"},
        {"time of applicability", "Time of Applicability"}, {"orbital inclination", "Orbital Inclination"},
        {"rate of right ascen", "Rate of Right Ascension"}, {"sqrt(a)", "SQRT(A)"},
        {"right ascen at week", "Right Ascension at Week"}, {"argument of perigee", "Argument of Perigee"},
        {"mean anom", "Mean Anomaly"}, {"af0", "Af0"}, {"af1", "Af1"}, {"week", "week"},
    };
    double values[fieldCount] = {};
    bool seen[fieldCount] = {};
    int blockLine = 0;   // 0 outside a block

    auto finishBlock = [&]() -> bool {
        if (blockLine == 0)
            return true;
        for (int f = 0; f < fieldCount; ++f) {
            if (!seen[f])
                return r.fail(blockLine, QStringLiteral("the entry has no %1 line").arg(QLatin1String(names[f].label)));
        }
        almanacGps_t a;
        a.prn = unsigned(values[fieldId]);
        a.health = unsigned(values[fieldHealth]);
        a.week = unsigned(r.fullWeek(int(values[fieldWeek])));
        a.toa = values[fieldToa];
        a.eccentricity = values[fieldEccentricity];
        a.inclination = values[fieldInclination];
        a.rateOfRightAscension = values[fieldRate];
        a.sqrtA = values[fieldSqrtA];
        a.rightAscension = values[fieldNode];
        a.argumentOfPerigee = values[fieldPerigee];
        a.meanAnomaly = values[fieldMeanAnomaly];
        a.af0 = values[fieldAf0];
        a.af1 = values[fieldAf1];
        r.gps.push_back(a);
        blockLine = 0;
        return true;
    };

    for (line_t const& line : lines) {
        if (line.text.startsWith("***")) {
            if (!finishBlock())
                return false;
            blockLine = line.number;
            std::fill(std::begin(seen), std::end(seen), false);
            continue;
        }
        int const colon = line.text.indexOf(':');
        if (colon < 0)
            return r.fail(line.number, QStringLiteral("expected \"Name: value\""));
        if (blockLine == 0)
            blockLine = line.number;   // a file without headers: the first field opens the entry
        QByteArray const key = line.text.left(colon).trimmed().toLower();
        QByteArray const value = line.text.mid(colon + 1).trimmed();
        int field = -1;
        for (int f = 0; f < fieldCount && field < 0; ++f) {
            if (key.startsWith(names[f].prefix))
                field = f;
        }
        if (field < 0)
            return r.fail(line.number, QStringLiteral("unknown field \"%1\"").arg(QString::fromLatin1(key)));
        if (seen[field])
            return r.fail(line.number, QStringLiteral("%1 given twice in one entry").arg(QLatin1String(names[field].label)));
        int whole = 0;
        bool ok = true;
        switch (field) {
        case fieldId: ok = r.integer(line, value, "ID", 1, 32, whole); values[field] = whole; break;
        case fieldHealth: ok = r.integer(line, value, "Health", 0, 255, whole); values[field] = whole; break;
        case fieldWeek: ok = r.integer(line, value, "week", 0, 8191, whole); values[field] = whole; break;
        case fieldEccentricity: ok = r.number(line, value, "Eccentricity", 0.0, 0.9, values[field]); break;
        case fieldToa: ok = r.number(line, value, "Time of Applicability", 0.0, 604800.0, values[field]); break;
        case fieldInclination: ok = r.number(line, value, "Orbital Inclination", 0.0, Pi, values[field]); break;
        case fieldRate: ok = r.number(line, value, "Rate of Right Ascension", -1e-6, 1e-6, values[field]); break;
        case fieldSqrtA: ok = r.number(line, value, "SQRT(A)", 2500.0, 10000.0, values[field]); break;
        case fieldAf0: ok = r.number(line, value, "Af0", -1.0, 1.0, values[field]); break;
        case fieldAf1: ok = r.number(line, value, "Af1", -1e-3, 1e-3, values[field]); break;
        default: ok = r.number(line, value, names[field].label, -2.0 * Pi, 2.0 * Pi, values[field]); break;
        }
        if (!ok)
            return false;
        seen[field] = true;
    }
    return finishBlock();
}

bool readSem(reading_t& r, std::vector<line_t> const& lines)
{
    QList<QByteArray> const head = lines[0].tokens();
    int announced = 0;
    if (!r.integer(lines[0], head[0], "number of records", 1, 63, announced))
        return false;
    QList<QByteArray> const epoch = lines[1].tokens();
    int week = 0;
    double toa = 0.0;
    if (!r.fieldCount(lines[1], epoch, 2, "week and time of applicability")
        || !r.integer(lines[1], epoch[0], "week", 0, 8191, week)
        || !r.number(lines[1], epoch[1], "time of applicability", 0.0, 604800.0, toa))
        return false;
    week = r.fullWeek(week);

    constexpr int LinesPerRecord = 8;
    static int const fieldsPerLine[LinesPerRecord] = {1, 1, 1, 3, 3, 3, 1, 1};
    std::size_t next = 2;
    while (next < lines.size()) {
        if (lines.size() - next < LinesPerRecord)
            return r.fail(lines[next].number, QStringLiteral("the record ends after %1 of its %2 lines")
                                                  .arg(int(lines.size() - next))
                                                  .arg(LinesPerRecord));
        QList<QByteArray> t[LinesPerRecord];
        for (int k = 0; k < LinesPerRecord; ++k) {
            t[k] = lines[next + std::size_t(k)].tokens();
            if (!r.fieldCount(lines[next + std::size_t(k)], t[k], fieldsPerLine[k], "SEM record line"))
                return false;
        }
        line_t const* l = &lines[next];
        int prn = 0, health = 0, scratch = 0;
        double e = 0, di = 0, rate = 0, sqrtA = 0, node = 0, perigee = 0, m0 = 0, af0 = 0, af1 = 0;
        if (!r.integer(l[0], t[0][0], "PRN", 1, 32, prn) || !r.integer(l[1], t[1][0], "SVN", 0, 9999, scratch)
            || !r.integer(l[2], t[2][0], "URA", 0, 15, scratch)
            || !r.number(l[3], t[3][0], "eccentricity", 0.0, 0.9, e)
            || !r.number(l[3], t[3][1], "inclination offset", -0.3, 0.7, di)
            || !r.number(l[3], t[3][2], "rate of right ascension", -1e-6, 1e-6, rate)
            || !r.number(l[4], t[4][0], "square root of semi-major axis", 2500.0, 10000.0, sqrtA)
            || !r.number(l[4], t[4][1], "right ascension", -2.0, 2.0, node)
            || !r.number(l[4], t[4][2], "argument of perigee", -2.0, 2.0, perigee)
            || !r.number(l[5], t[5][0], "mean anomaly", -2.0, 2.0, m0)
            || !r.number(l[5], t[5][1], "af0", -1.0, 1.0, af0) || !r.number(l[5], t[5][2], "af1", -1e-3, 1e-3, af1)
            || !r.integer(l[6], t[6][0], "health", 0, 255, health)
            || !r.integer(l[7], t[7][0], "configuration", 0, 255, scratch))
            return false;
        almanacGps_t a;
        a.prn = unsigned(prn);
        a.health = unsigned(health);
        a.week = unsigned(week);
        a.toa = toa;
        a.eccentricity = e;
        a.inclination = (0.3 + di) * Pi;
        a.rateOfRightAscension = rate * Pi;
        a.sqrtA = sqrtA;
        a.rightAscension = node * Pi;
        a.argumentOfPerigee = perigee * Pi;
        a.meanAnomaly = m0 * Pi;
        a.af0 = af0;
        a.af1 = af1;
        r.gps.push_back(a);
        next += LinesPerRecord;
    }
    if (int(r.gps.size()) != announced)
        return r.fail(lines[0].number, QStringLiteral("announces %1 records but holds %2").arg(announced).arg(int(r.gps.size())));
    return true;
}

// The information centre's files: three lines per satellite, the first a date and a number.
bool readIac(reading_t& r, std::vector<line_t> const& lines, bool glonass)
{
    for (std::size_t k = 0; k < lines.size(); k += 3) {
        if (lines.size() - k < 3)
            return r.fail(lines[k].number, QStringLiteral("the entry has %1 of its 3 lines").arg(int(lines.size() - k)));
        line_t const& l1 = lines[k];
        line_t const& l2 = lines[k + 1];
        line_t const& l3 = lines[k + 2];
        QList<QByteArray> const t1 = l1.tokens();
        QList<QByteArray> const t2 = l2.tokens();
        QList<QByteArray> const t3 = l3.tokens();
        double ignoredDate = 0.0;
        if (t1.size() < 4)
            return r.fail(l1.number, QStringLiteral("expected a date and a number"));
        if (!r.date(l1, t1[0], t1[1], t1[2], ignoredDate))
            return false;
        if (!r.fieldCount(l3, t3, 6, "orbit line"))
            return false;
        if (glonass) {
            int slot = 0, channel = 0, health = 0;
            double day = 0, node = 0, tau = 0, lambda = 0, di = 0, perigee = 0, e = 0, dT = 0, dTdot = 0, ignored = 0;
            if (!r.fieldCount(l2, t2, 10, "satellite line") || !r.integer(l2, t2[0], "slot", 1, 24, slot)
                || !r.integer(l2, t2[1], "frequency channel", -7, 13, channel)
                || !r.integer(l2, t2[2], "health", 0, 1, health) || !r.date(l2, t2[3], t2[4], t2[5], day)
                || !r.number(l2, t2[6], "ascending node time", 0.0, 86400.0, node)
                || !r.number(l2, t2[7], "time correction", -1.0, 1.0, ignored)
                || !r.number(l2, t2[8], "time correction", -1.0, 1.0, ignored)
                || !r.number(l2, t2[9], "clock correction", -1.0, 1.0, tau)
                || !r.number(l3, t3[0], "node longitude", -1.0, 1.0, lambda)
                || !r.number(l3, t3[1], "inclination correction", -0.5, 0.5, di)
                || !r.number(l3, t3[2], "argument of perigee", -1.0, 1.0, perigee)
                || !r.number(l3, t3[3], "eccentricity", 0.0, 0.5, e)
                || !r.number(l3, t3[4], "period correction", -10000.0, 10000.0, dT)
                || !r.number(l3, t3[5], "period change", -1.0, 1.0, dTdot))
                return false;
            almanacGlonass_t a;
            a.slot = unsigned(slot);
            a.frequencyChannel = channel;
            a.health = health == 1 ? 0u : 1u;   // the file flags usable with 1
            a.referenceTime = day + node - MoscowOffset;
            a.lambda = lambda * Pi;
            a.deltaInclination = di * Pi;
            a.eccentricity = e;
            a.argumentOfPerigee = perigee * Pi;
            a.deltaT = dT;
            a.deltaTDot = dTdot;
            a.tau = tau;
            r.glonass.push_back(a);
        } else {
            int prn = 0, health = 0, week = 0;
            double toa = 0, day = 0, seconds = 0, af0 = 0, af1 = 0, rate = 0;
            double node = 0, inclination = 0, perigee = 0, e = 0, sqrtA = 0, m0 = 0;
            if (!r.fieldCount(l2, t2, 11, "satellite line") || !r.integer(l2, t2[0], "PRN", 1, 32, prn)
                || !r.integer(l2, t2[1], "health", 0, 255, health) || !r.integer(l2, t2[2], "week", 0, 8191, week)
                || !r.number(l2, t2[3], "time of applicability", 0.0, 604800.0, toa)
                || !r.date(l2, t2[4], t2[5], t2[6], day)
                || !r.number(l2, t2[7], "seconds of day", 0.0, 86400.0, seconds)
                || !r.number(l2, t2[8], "af0", -1.0, 1.0, af0) || !r.number(l2, t2[9], "af1", -1e-3, 1e-3, af1)
                || !r.number(l2, t2[10], "rate of right ascension", -1e-6, 1e-6, rate)
                || !r.number(l3, t3[0], "right ascension", -2.0, 2.0, node)
                || !r.number(l3, t3[1], "inclination", 0.0, 1.0, inclination)
                || !r.number(l3, t3[2], "argument of perigee", -2.0, 2.0, perigee)
                || !r.number(l3, t3[3], "eccentricity", 0.0, 0.9, e)
                || !r.number(l3, t3[4], "square root of semi-major axis", 2500.0, 10000.0, sqrtA)
                || !r.number(l3, t3[5], "mean anomaly", -2.0, 2.0, m0))
                return false;
            almanacGps_t a;
            a.prn = unsigned(prn);
            a.health = unsigned(health);
            a.week = unsigned(r.fullWeek(week));
            a.toa = toa;
            a.eccentricity = e;
            a.inclination = inclination * Pi;
            a.rateOfRightAscension = rate * Pi;
            a.sqrtA = sqrtA;
            a.rightAscension = node * Pi;
            a.argumentOfPerigee = perigee * Pi;
            a.meanAnomaly = m0 * Pi;
            a.af0 = af0;
            a.af1 = af1;
            r.gps.push_back(a);
        }
    }
    return true;
}

bool isNumber(QByteArray const& token)
{
    bool ok = false;
    token.toDouble(&ok);
    return ok;
}

almanacFileReader_t::format_t detect(std::vector<line_t> const& lines)
{
    line_t const& first = lines[0];
    if (first.text.startsWith("***") || first.text.toLower().startsWith("id:"))
        return almanacFileReader_t::formatYuma;
    QList<QByteArray> const t1 = first.tokens();
    if (lines.size() >= 2) {
        QList<QByteArray> const t2 = lines[1].tokens();
        if (t1.size() >= 2 && isNumber(t1[0]) && !isNumber(t1[1]) && t2.size() == 2 && isNumber(t2[0])
            && isNumber(t2[1]))
            return almanacFileReader_t::formatSem;
        if (t1.size() >= 4 && isNumber(t1[0]) && isNumber(t1[1]) && isNumber(t1[2])) {
            if (t2.size() == 10)
                return almanacFileReader_t::formatGlonassAgl;
            if (t2.size() == 11)
                return almanacFileReader_t::formatGpsAgp;
        }
    }
    return almanacFileReader_t::formatUnknown;
}

} // namespace

class almanacFileReader_t::private_t
{
public:
    double rolloverReference = 0.0;
    format_t format = formatUnknown;
    std::vector<almanacGps_t> gps;
    std::vector<almanacGlonass_t> glonass;
    QString error;
};

almanacFileReader_t::almanacFileReader_t() : d(new private_t) {}
almanacFileReader_t::~almanacFileReader_t() { delete d; }

void almanacFileReader_t::setRolloverReference(double utc) { d->rolloverReference = utc; }

bool almanacFileReader_t::read(QString const& path)
{
    QString const name = QDir::toNativeSeparators(path);
    QFile file(path);
    if (file.size() > MaxFileSize) {
        d->format = formatUnknown;
        d->gps.clear();
        d->glonass.clear();
        d->error = QStringLiteral("%1: %2 bytes is too large for an almanac").arg(name).arg(file.size());
        return false;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        d->format = formatUnknown;
        d->gps.clear();
        d->glonass.clear();
        d->error = QStringLiteral("%1: %2").arg(name, file.errorString());
        return false;
    }
    return readData(file.read(MaxFileSize), name);
}

bool almanacFileReader_t::readData(QByteArray const& data, QString const& name)
{
    d->format = formatUnknown;
    d->gps.clear();
    d->glonass.clear();
    d->error.clear();

    std::vector<line_t> lines;
    int number = 0;
    for (QByteArray const& raw : data.split('\n')) {
        ++number;
        QByteArray const text = raw.simplified();   // also drops the CR of CR LF ends
        if (!text.isEmpty())
            lines.push_back(line_t{number, text});
    }

    reading_t r;
    r.name = name;
    r.rolloverReference = d->rolloverReference;
    bool ok = false;
    if (lines.empty()) {
        r.fail(1, QStringLiteral("the file is empty"));
    } else {
        d->format = detect(lines);
        switch (d->format) {
        case formatYuma: ok = readYuma(r, lines); break;
        case formatSem: ok = readSem(r, lines); break;
        case formatGlonassAgl: ok = readIac(r, lines, true); break;
        case formatGpsAgp: ok = readIac(r, lines, false); break;
        case formatUnknown:
            r.fail(lines[0].number, QStringLiteral("not a YUMA, SEM, .agl or .agp almanac"));
            break;
        }
        if (ok && r.gps.empty() && r.glonass.empty())
            ok = r.fail(lines[0].number, QStringLiteral("no almanac entries"));
    }
    if (!ok) {
        d->error = r.error;
        return false;
    }
    d->gps = std::move(r.gps);
    d->glonass = std::move(r.glonass);
    return true;
}

almanacFileReader_t::format_t almanacFileReader_t::format() const { return d->format; }
std::vector<almanacGps_t> const& almanacFileReader_t::gps() const { return d->gps; }
std::vector<almanacGlonass_t> const& almanacFileReader_t::glonass() const { return d->glonass; }
QString almanacFileReader_t::errorString() const { return d->error; }

QString almanacFileReader_t::formatName(format_t format)
{
    switch (format) {
    case formatYuma: return QStringLiteral("YUMA");
    case formatSem: return QStringLiteral("SEM");
    case formatGlonassAgl: return QStringLiteral("GLONASS .agl");
    case formatGpsAgp: return QStringLiteral("GPS .agp");
    case formatUnknown: break;
    }
    return QStringLiteral("unknown");
}

} // namespace belrix_common_qt
