#include "belrix_common_qt/textFormat.h"

#include "belrix_common_qt/remoteDevice.h"

#include <QChar>

#include <algorithm>
#include <cmath>
#include "belrix_common_qt/navConstants.h"

namespace belrix_common_qt {

const QString NoDataString = QStringLiteral("No Data");
const QString YesString = QStringLiteral("Yes");
const QString NoString = QStringLiteral("No");
const QString TimeFormatString = QStringLiteral("yyyy-MM-dd HH:mm:ss");
const QString MillisecondTimeFormatString = QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz");
const QString utcString = QStringLiteral(" UTC");

namespace {

constexpr int maxDecimals = 10;
constexpr QChar degreeSign(0x00B0);

int clampDecimals(int decimals)
{
    return std::clamp(decimals, 0, maxDecimals);
}

// A value that rounds to zero is written without a minus sign: "-0.00 m" would make a reader
// look for a direction that is not there.
QString fixedString(double value, int decimals)
{
    QString text = QString::number(value, 'f', clampDecimals(decimals));
    if (text.startsWith(QLatin1Char('-'))) {
        bool allZero = true;
        for (int i = 1; i < text.size() && allZero; ++i)
            allZero = text.at(i) == QLatin1Char('0') || text.at(i) == QLatin1Char('.');
        if (allZero)
            text.remove(0, 1);
    }
    return text;
}

QString valueWithSymbol(double value, int decimals, QString const& symbol)
{
    if (!std::isfinite(value))
        return NoDataString;
    return fixedString(value, decimals) + QLatin1Char(' ') + symbol;
}

// ---- latitude / longitude texts ------------------------------------------------------------

struct axis_t {
    double limit;        // degrees
    int degreeDigits;    // zero-padded width of whole degrees in the sexagesimal formats
    char positive;
    char negative;
};

constexpr axis_t latitudeAxis{90.0, 2, 'N', 'S'};
constexpr axis_t longitudeAxis{180.0, 3, 'E', 'W'};

int defaultDecimals(latLonFormat_t format)
{
    // about a millimetre on the ground
    switch (format) {
    case latLonFormatDegreesMinutes: return 6;
    case latLonFormatDegreesMinutesSeconds: return 4;
    case latLonFormatDegrees:
    default: return 8;
    }
}

QString padded(long long value, int width)
{
    return QStringLiteral("%1").arg(value, width, 10, QLatin1Char('0'));
}

QString fraction(long long value, int decimals)
{
    return decimals > 0 ? QLatin1Char('.') + padded(value, decimals) : QString();
}

QString latLonString(double radians, latLonStringOptions_t const& options, axis_t const& axis)
{
    double const degrees = radians * 180.0 / Pi;
    if (!std::isfinite(degrees) || std::fabs(degrees) > axis.limit)
        return NoDataString;

    latLonFormat_t const format = options.format;
    int const decimals = options.decimals >= 0 ? clampDecimals(options.decimals) : defaultDecimals(format);
    long long scale = 1;
    for (int i = 0; i < decimals; ++i)
        scale *= 10;

    // Round once, to an integer count of the last printed digit, and split that count into
    // degrees, minutes and seconds: 59.9999999' then carries into the next degree instead of
    // printing 60'. At 180° and 10 decimals of a second the count stays below 2^53.
    double const magnitude = std::fabs(degrees);
    long long units = 0;
    QString text;
    switch (format) {
    case latLonFormatDegreesMinutes: {
        units = std::llround(magnitude * (60.0 * double(scale)));
        long long const perDegree = 60 * scale;
        long long const rest = units % perDegree;
        text = padded(units / perDegree, axis.degreeDigits) + degreeSign + QLatin1Char(' ')
               + padded(rest / scale, 2) + fraction(rest % scale, decimals) + QLatin1Char('\'');
        break;
    }
    case latLonFormatDegreesMinutesSeconds: {
        units = std::llround(magnitude * (3600.0 * double(scale)));
        long long const perMinute = 60 * scale;
        long long const perDegree = 60 * perMinute;
        long long const rest = units % perDegree;
        long long const seconds = rest % perMinute;
        text = padded(units / perDegree, axis.degreeDigits) + degreeSign + QLatin1Char(' ')
               + padded(rest / perMinute, 2) + QLatin1String("' ")
               + padded(seconds / scale, 2) + fraction(seconds % scale, decimals) + QLatin1Char('"');
        break;
    }
    case latLonFormatDegrees:
    default:
        units = std::llround(magnitude * double(scale));
        text = QString::number(units / scale) + fraction(units % scale, decimals) + degreeSign;
        break;
    }

    // what prints as zero is on the equator or the prime meridian, whichever side it came from
    bool const negative = degrees < 0.0 && units != 0;
    if (options.hemisphere != 0)
        return text + QLatin1Char(' ') + QLatin1Char(negative ? axis.negative : axis.positive);
    return negative ? QLatin1Char('-') + text : text;
}

// ---- reading latitude / longitude texts ----------------------------------------------------

class reader_t {
public:
    explicit reader_t(QString const& text) : s(text.trimmed()) {}

    bool atEnd() const { return pos >= s.size(); }
    QChar peek() const { return atEnd() ? QChar() : s.at(pos); }

    bool skipSpace()
    {
        int const start = pos;
        while (!atEnd() && peek().isSpace())
            ++pos;
        return pos > start;
    }

    bool takeChar(char c)
    {
        if (atEnd() || peek() != QLatin1Char(c))
            return false;
        ++pos;
        return true;
    }

    // One of the given letters in either case; 0 when none is next.
    char takeLetter(char a, char b)
    {
        QChar const c = peek().toUpper();
        for (char letter : {a, b}) {
            if (c == QLatin1Char(letter)) {
                ++pos;
                return letter;
            }
        }
        return 0;
    }

    // digits, optionally followed by '.' and digits; a comma is not a decimal point here
    bool takeNumber(double& value, bool& hasFraction)
    {
        int const start = pos;
        while (!atEnd() && isAsciiDigit(peek()))
            ++pos;
        if (pos == start)
            return false;
        hasFraction = false;
        if (peek() == QLatin1Char('.')) {
            ++pos;
            int const fractionStart = pos;
            while (!atEnd() && isAsciiDigit(peek()))
                ++pos;
            if (pos == fractionStart)
                return false;
            hasFraction = true;
        }
        bool ok = false;
        value = s.mid(start, pos - start).toDouble(&ok);
        return ok && std::isfinite(value);
    }

    // The mark after degrees (0), minutes (1) or seconds (2).
    bool takeMark(int component)
    {
        QChar const c = peek();
        switch (component) {
        case 0:
            if (c == degreeSign || c == QChar(0x00BA)) { // masculine ordinal, a common stand-in
                ++pos;
                return true;
            }
            return false;
        case 1:
            if (c == QLatin1Char('\'') || c == QChar(0x2032) || c == QChar(0x2019)) {
                ++pos;
                return true;
            }
            return false;
        default:
            if (c == QLatin1Char('"') || c == QChar(0x2033) || c == QChar(0x201D)) {
                ++pos;
                return true;
            }
            if (c == QLatin1Char('\'') && pos + 1 < s.size() && s.at(pos + 1) == QLatin1Char('\'')) {
                pos += 2;
                return true;
            }
            return false;
        }
    }

    // A mark that belongs to some component: seen in the wrong place, the text is malformed.
    bool atAnyMark() const
    {
        QChar const c = peek();
        return c == degreeSign || c == QChar(0x00BA) || c == QLatin1Char('\'') || c == QChar(0x2032)
               || c == QChar(0x2019) || c == QLatin1Char('"') || c == QChar(0x2033)
               || c == QChar(0x201D);
    }

private:
    static bool isAsciiDigit(QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); }

    QString s;
    int pos = 0;
};

bool parseLatLon(QString const& text, axis_t const& axis, double& radians)
{
    reader_t r(text);
    if (r.atEnd())
        return false;

    char sign = 0;
    char letter = 0;
    if (r.takeChar('-'))
        sign = '-';
    else if (r.takeChar('+'))
        sign = '+';
    else
        letter = r.takeLetter(axis.positive, axis.negative);
    r.skipSpace();

    // degrees [minutes [seconds]]; only the last one given may have a fraction
    double parts[3] = {0.0, 0.0, 0.0};
    int count = 0;
    bool separated = true;
    while (count < 3) {
        if (count > 0 && !separated)
            break;
        bool hasFraction = false;
        if (!r.takeNumber(parts[count], hasFraction)) {
            if (count == 0)
                return false;
            break;
        }
        bool const spaceBefore = r.skipSpace();
        bool const marked = r.takeMark(count);
        if (!marked && r.atAnyMark())
            return false;
        bool const spaceAfter = r.skipSpace();
        ++count;
        separated = spaceBefore || marked || spaceAfter;
        if (hasFraction)
            break;
    }
    r.skipSpace();

    if (letter == 0 && sign == 0)
        letter = r.takeLetter(axis.positive, axis.negative);
    r.skipSpace();
    if (!r.atEnd())
        return false;

    if (parts[1] >= 60.0 || parts[2] >= 60.0)
        return false;
    double const degrees = parts[0] + parts[1] / 60.0 + parts[2] / 3600.0;
    if (degrees > axis.limit)
        return false;

    double const limit = axis.limit * Pi / 180.0;
    double const magnitude = std::min(degrees * Pi / 180.0, limit);
    bool const negative = (sign == '-' || letter == axis.negative) && magnitude != 0.0;
    radians = negative ? -magnitude : magnitude;
    return true;
}

} // namespace

QString distanceString(double meters, distanceUnit_t unit, int decimals)
{
    if (!std::isfinite(meters))
        return NoDataString;
    return valueWithSymbol(metersToUnit(meters, unit), decimals, distanceUnitSymbol(unit));
}

QString speedString(double metersPerSecond, speedUnit_t unit, int decimals)
{
    if (!std::isfinite(metersPerSecond))
        return NoDataString;
    return valueWithSymbol(metersPerSecondToUnit(metersPerSecond, unit), decimals, speedUnitSymbol(unit));
}

QString angleString(double degrees, int decimals)
{
    if (!std::isfinite(degrees))
        return NoDataString;
    return fixedString(degrees, decimals) + degreeSign;
}

QString latitudeString(double radians, latLonStringOptions_t const& options)
{
    return latLonString(radians, options, latitudeAxis);
}

QString longitudeString(double radians, latLonStringOptions_t const& options)
{
    return latLonString(radians, options, longitudeAxis);
}

bool parseLatitude(QString const& text, double& radians)
{
    return parseLatLon(text, latitudeAxis, radians);
}

bool parseLongitude(QString const& text, double& radians)
{
    return parseLatLon(text, longitudeAxis, radians);
}

QString fixQualityString(int quality)
{
    switch (quality) {
    case fixQualityInvalid: return QObject::tr("No fix");
    case fixQualityGps: return QObject::tr("GNSS");
    case fixQualityDgps: return QObject::tr("DGNSS");
    case fixQualityPps: return QObject::tr("PPS");
    case fixQualityRtkFixed: return QObject::tr("RTK fixed");
    case fixQualityRtkFloat: return QObject::tr("RTK float");
    case fixQualityEstimated: return QObject::tr("Dead reckoning");
    case fixQualityManual: return QObject::tr("Manual");
    case fixQualitySimulation: return QObject::tr("Simulation");
    default: return QObject::tr("Unknown (%1)").arg(quality);
    }
}

} // namespace belrix_common_qt
