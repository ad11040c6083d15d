#include "belrix_common_qt/units.h"

namespace belrix_common_qt {

namespace {

// One row per enumerator, in enumerator order: the configuration name and, where the unit
// has one, its symbol.
struct nameRow_t {
    const char* name;
    const char* symbol;
};

constexpr nameRow_t distanceNames[] = {
    {"Meters", "m"},
    {"US Survey Feet", "ftUS"},
};

constexpr nameRow_t speedNames[] = {
    {"Knots", "kn"},
    {"Meters/Second", "m/s"},
    {"Kilometers/Hour", "km/h"},
    {"Miles/Hour", "mph"},
};

constexpr nameRow_t latLonFormatNames[] = {
    {"DD.dd", nullptr},
    {"DD MM.mm", nullptr},
    {"DD MM SS.ss", nullptr},
};

constexpr nameRow_t graphLabelNames[] = {
    {"None", nullptr},
    {"Horizontal", nullptr},
    {"Vertical", nullptr},
};

// An enumerator value the program never wrote (cast from a stored int) behaves as the first
// one, the same fallback the readers use for unknown text.
template <int N>
nameRow_t const& row(nameRow_t const (&rows)[N], int value)
{
    return rows[value >= 0 && value < N ? value : 0];
}

template <int N>
int indexFromString(nameRow_t const (&rows)[N], QString const& text)
{
    QString const key = text.trimmed();
    for (int i = 0; i < N; ++i) {
        if (key.compare(QLatin1String(rows[i].name), Qt::CaseInsensitive) == 0)
            return i;
        if (rows[i].symbol && key.compare(QLatin1String(rows[i].symbol), Qt::CaseInsensitive) == 0)
            return i;
    }
    return 0;
}

// Exact definitions: the US survey foot is 1200/3937 m, the knot 1852 m per hour, the
// statute mile 1609.344 m.
constexpr double metersPerUsSurveyFootNumerator = 1200.0;
constexpr double metersPerUsSurveyFootDenominator = 3937.0;
constexpr double secondsPerHour = 3600.0;
constexpr double metersPerNauticalMile = 1852.0;
constexpr double metersPerStatuteMile = 1609.344;
constexpr double metersPerKilometer = 1000.0;

// Metres per hour of one unit of speed; multiplying before dividing keeps 1 kn exactly 1852/3600.
double metersPerHour(speedUnit_t unit)
{
    switch (unit) {
    case speedUnitMetersPerSecond: return secondsPerHour;
    case speedUnitKilometersPerHour: return metersPerKilometer;
    case speedUnitMilesPerHour: return metersPerStatuteMile;
    case speedUnitKnots:
    default: return metersPerNauticalMile;
    }
}

} // namespace

QString distanceUnitString(distanceUnit_t unit)
{
    return QLatin1String(row(distanceNames, unit).name);
}

distanceUnit_t distanceUnitFromString(QString const& text)
{
    return static_cast<distanceUnit_t>(indexFromString(distanceNames, text));
}

QString speedUnitString(speedUnit_t unit)
{
    return QLatin1String(row(speedNames, unit).name);
}

speedUnit_t speedUnitFromString(QString const& text)
{
    return static_cast<speedUnit_t>(indexFromString(speedNames, text));
}

QString latLonFormatString(latLonFormat_t format)
{
    return QLatin1String(row(latLonFormatNames, format).name);
}

latLonFormat_t latLonFormatFromString(QString const& text)
{
    return static_cast<latLonFormat_t>(indexFromString(latLonFormatNames, text));
}

QString graphLabelTypeString(int type)
{
    return QLatin1String(row(graphLabelNames, type).name);
}

int graphLabelTypeFromString(QString const& text)
{
    return indexFromString(graphLabelNames, text);
}

QString distanceUnitSymbol(distanceUnit_t unit)
{
    return QLatin1String(row(distanceNames, unit).symbol);
}

QString speedUnitSymbol(speedUnit_t unit)
{
    return QLatin1String(row(speedNames, unit).symbol);
}

double metersToUnit(double meters, distanceUnit_t unit)
{
    if (unit == distanceUnitUsSurveyFeet)
        return meters * metersPerUsSurveyFootDenominator / metersPerUsSurveyFootNumerator;
    return meters;
}

double unitToMeters(double value, distanceUnit_t unit)
{
    if (unit == distanceUnitUsSurveyFeet)
        return value * metersPerUsSurveyFootNumerator / metersPerUsSurveyFootDenominator;
    return value;
}

double metersPerSecondToUnit(double mps, speedUnit_t unit)
{
    return mps * secondsPerHour / metersPerHour(unit);
}

double unitToMetersPerSecond(double value, speedUnit_t unit)
{
    return value * metersPerHour(unit) / secondsPerHour;
}

} // namespace belrix_common_qt
