#include "belrix_common_qt/textFormat.h"
#include "belrix_common_qt/units.h"

#include <QDateTime>
#include <QtTest>

#include <cmath>
#include <limits>
#include <belrix_common_qt/navConstants.h>

using namespace belrix_common_qt;

namespace {

constexpr double notANumber = std::numeric_limits<double>::quiet_NaN();
constexpr double inf = std::numeric_limits<double>::infinity();

double toRadians(double degrees) { return degrees * Pi / 180.0; }

bool near(double a, double b, double tolerance) { return std::fabs(a - b) <= tolerance; }

QString u8(const char* text) { return QString::fromUtf8(text); }

latLonStringOptions_t options(latLonFormat_t format, int hemisphere, int decimals = -1)
{
    latLonStringOptions_t o;
    o.format = format;
    o.hemisphere = hemisphere;
    o.decimals = decimals;
    return o;
}

QString formatLatLon(bool latitude, double radians, latLonStringOptions_t const& o)
{
    return latitude ? latitudeString(radians, o) : longitudeString(radians, o);
}

bool parseLatLon(bool latitude, QString const& text, double& radians)
{
    return latitude ? parseLatitude(text, radians) : parseLongitude(text, radians);
}

// Half of the last printed digit, in degrees.
double printedPrecision(latLonFormat_t format, int decimals)
{
    double const perDegree = format == latLonFormatDegreesMinutes ? 60.0
                             : format == latLonFormatDegreesMinutesSeconds ? 3600.0 : 1.0;
    return 0.5 * std::pow(10.0, -decimals) / perDegree;
}

} // namespace

class tst_textFormat : public QObject {
    Q_OBJECT

private slots:
    void distanceUnitNames_data();
    void distanceUnitNames();
    void speedUnitNames_data();
    void speedUnitNames();
    void latLonFormatNames_data();
    void latLonFormatNames();
    void graphLabelNames_data();
    void graphLabelNames();
    void unknownNamesFallBack_data();
    void unknownNamesFallBack();
    void outOfRangeEnumeratorsWriteFirstName();

    void usSurveyFootIsExact();
    void speedConversions_data();
    void speedConversions();

    void timeFormats();
    void distanceString_data();
    void distanceString();
    void speedString_data();
    void speedString();
    void angleString_data();
    void angleString();

    void latLonString_data();
    void latLonString();
    void latLonNoData_data();
    void latLonNoData();

    void parseRoundTrip_data();
    void parseRoundTrip();
    void parseTyped_data();
    void parseTyped();
    void parseRejects_data();
    void parseRejects();
};

// ---- names -------------------------------------------------------------------------------

void tst_textFormat::distanceUnitNames_data()
{
    QTest::addColumn<int>("unit");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("symbol");
    QTest::newRow("meters") << int(distanceUnitMeters) << "Meters" << "m";
    QTest::newRow("usSurveyFeet") << int(distanceUnitUsSurveyFeet) << "US Survey Feet" << "ftUS";
}

void tst_textFormat::distanceUnitNames()
{
    QFETCH(int, unit);
    QFETCH(QString, name);
    QFETCH(QString, symbol);
    auto const u = static_cast<distanceUnit_t>(unit);
    QCOMPARE(distanceUnitString(u), name);
    QCOMPARE(distanceUnitSymbol(u), symbol);
    QCOMPARE(int(distanceUnitFromString(name)), unit);
    QCOMPARE(int(distanceUnitFromString(QLatin1String("  ") + name.toUpper() + QLatin1String("\t"))), unit);
    QCOMPARE(int(distanceUnitFromString(symbol.toUpper())), unit);
}

void tst_textFormat::speedUnitNames_data()
{
    QTest::addColumn<int>("unit");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("symbol");
    QTest::newRow("knots") << int(speedUnitKnots) << "Knots" << "kn";
    QTest::newRow("metersPerSecond") << int(speedUnitMetersPerSecond) << "Meters/Second" << "m/s";
    QTest::newRow("kilometersPerHour") << int(speedUnitKilometersPerHour) << "Kilometers/Hour" << "km/h";
    QTest::newRow("milesPerHour") << int(speedUnitMilesPerHour) << "Miles/Hour" << "mph";
}

void tst_textFormat::speedUnitNames()
{
    QFETCH(int, unit);
    QFETCH(QString, name);
    QFETCH(QString, symbol);
    auto const u = static_cast<speedUnit_t>(unit);
    QCOMPARE(speedUnitString(u), name);
    QCOMPARE(speedUnitSymbol(u), symbol);
    QCOMPARE(int(speedUnitFromString(name)), unit);
    QCOMPARE(int(speedUnitFromString(QLatin1String(" ") + name.toLower() + QLatin1String(" "))), unit);
    QCOMPARE(int(speedUnitFromString(symbol.toUpper())), unit);
}

void tst_textFormat::latLonFormatNames_data()
{
    QTest::addColumn<int>("format");
    QTest::addColumn<QString>("name");
    QTest::newRow("degrees") << int(latLonFormatDegrees) << "DD.dd";
    QTest::newRow("degreesMinutes") << int(latLonFormatDegreesMinutes) << "DD MM.mm";
    QTest::newRow("degreesMinutesSeconds") << int(latLonFormatDegreesMinutesSeconds) << "DD MM SS.ss";
}

void tst_textFormat::latLonFormatNames()
{
    QFETCH(int, format);
    QFETCH(QString, name);
    QCOMPARE(latLonFormatString(static_cast<latLonFormat_t>(format)), name);
    QCOMPARE(int(latLonFormatFromString(name)), format);
    QCOMPARE(int(latLonFormatFromString(QLatin1String("\n") + name.toLower() + QLatin1String(" "))), format);
}

void tst_textFormat::graphLabelNames_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("name");
    QTest::newRow("none") << int(graphLabelNone) << "None";
    QTest::newRow("horizontal") << int(graphLabelHorizontal) << "Horizontal";
    QTest::newRow("vertical") << int(graphLabelVertical) << "Vertical";
}

void tst_textFormat::graphLabelNames()
{
    QFETCH(int, type);
    QFETCH(QString, name);
    QCOMPARE(graphLabelTypeString(type), name);
    QCOMPARE(graphLabelTypeFromString(name), type);
    QCOMPARE(graphLabelTypeFromString(QLatin1String(" ") + name.toUpper()), type);
}

void tst_textFormat::unknownNamesFallBack_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("empty") << "";
    QTest::newRow("blank") << "   ";
    QTest::newRow("index") << "1";
    QTest::newRow("partial") << "Meter";
    QTest::newRow("other unit's name") << "Miles";
    QTest::newRow("inner space") << "Kilometers / Hour";
    QTest::newRow("format prefix") << "DD MM";
    QTest::newRow("symbol plus") << "ftUS2";
}

void tst_textFormat::unknownNamesFallBack()
{
    QFETCH(QString, text);
    QCOMPARE(int(distanceUnitFromString(text)), int(distanceUnitMeters));
    QCOMPARE(int(speedUnitFromString(text)), int(speedUnitKnots));
    QCOMPARE(int(latLonFormatFromString(text)), int(latLonFormatDegrees));
    QCOMPARE(graphLabelTypeFromString(text), int(graphLabelNone));
}

void tst_textFormat::outOfRangeEnumeratorsWriteFirstName()
{
    QCOMPARE(graphLabelTypeString(-1), QStringLiteral("None"));
    QCOMPARE(graphLabelTypeString(3), QStringLiteral("None"));
    QCOMPARE(graphLabelTypeString(1000), QStringLiteral("None"));
    QCOMPARE(distanceUnitString(static_cast<distanceUnit_t>(7)), QStringLiteral("Meters"));
    QCOMPARE(speedUnitString(static_cast<speedUnit_t>(-2)), QStringLiteral("Knots"));
    QCOMPARE(latLonFormatString(static_cast<latLonFormat_t>(3)), QStringLiteral("DD.dd"));
    QCOMPARE(belrix_common_qt::distanceString(1.0, static_cast<distanceUnit_t>(9), 1), QStringLiteral("1.0 m"));
}

// ---- conversions -------------------------------------------------------------------------

void tst_textFormat::usSurveyFootIsExact()
{
    QVERIFY(near(unitToMeters(1.0, distanceUnitUsSurveyFeet), 1200.0 / 3937.0, 1e-12));
    QVERIFY(near(metersToUnit(1200.0, distanceUnitUsSurveyFeet), 3937.0, 1e-9));
    // an international foot (0.3048 m) is not a survey foot: 2 ppm apart
    QVERIFY(!near(metersToUnit(0.3048, distanceUnitUsSurveyFeet), 1.0, 1e-6));
    QCOMPARE(unitToMeters(12.5, distanceUnitMeters), 12.5);
    QCOMPARE(metersToUnit(12.5, distanceUnitMeters), 12.5);
    for (double m : {-1234.5678, 0.001, 6378137.0})
        QVERIFY(near(unitToMeters(metersToUnit(m, distanceUnitUsSurveyFeet), distanceUnitUsSurveyFeet), m, 1e-9));
}

void tst_textFormat::speedConversions_data()
{
    QTest::addColumn<int>("unit");
    QTest::addColumn<double>("valueInUnit");
    QTest::addColumn<double>("metersPerSecond");
    QTest::newRow("knot") << int(speedUnitKnots) << 1.0 << 1852.0 / 3600.0;
    QTest::newRow("10 knots") << int(speedUnitKnots) << 10.0 << 18520.0 / 3600.0;
    QTest::newRow("m/s") << int(speedUnitMetersPerSecond) << 7.25 << 7.25;
    QTest::newRow("km/h") << int(speedUnitKilometersPerHour) << 36.0 << 10.0;
    QTest::newRow("mph") << int(speedUnitMilesPerHour) << 1.0 << 1609.344 / 3600.0;
    QTest::newRow("negative mph") << int(speedUnitMilesPerHour) << -60.0 << -26.8224;
}

void tst_textFormat::speedConversions()
{
    QFETCH(int, unit);
    QFETCH(double, valueInUnit);
    QFETCH(double, metersPerSecond);
    auto const u = static_cast<speedUnit_t>(unit);
    QVERIFY(near(unitToMetersPerSecond(valueInUnit, u), metersPerSecond, 1e-12));
    QVERIFY(near(metersPerSecondToUnit(metersPerSecond, u), valueInUnit, 1e-12));
}

// ---- value texts -------------------------------------------------------------------------

void tst_textFormat::timeFormats()
{
    QDateTime const t(QDate(2024, 3, 5), QTime(7, 8, 9, 12));
    QCOMPARE(t.toString(TimeFormatString), QStringLiteral("2024-03-05 07:08:09"));
    QCOMPARE(t.toString(MillisecondTimeFormatString) + utcString, QStringLiteral("2024-03-05 07:08:09.012 UTC"));
}

void tst_textFormat::distanceString_data()
{
    QTest::addColumn<double>("meters");
    QTest::addColumn<int>("unit");
    QTest::addColumn<int>("decimals");
    QTest::addColumn<QString>("expected");
    QTest::newRow("meters") << 12.345678 << int(distanceUnitMeters) << 2 << "12.35 m";
    QTest::newRow("zero decimals") << 12.5001 << int(distanceUnitMeters) << 0 << "13 m";
    QTest::newRow("negative decimals clamp to 0") << 12.4 << int(distanceUnitMeters) << -3 << "12 m";
    QTest::newRow("many decimals clamp to 10") << 0.125 << int(distanceUnitMeters) << 25 << "0.1250000000 m";
    QTest::newRow("negative") << -1.5 << int(distanceUnitMeters) << 2 << "-1.50 m";
    QTest::newRow("rounds to zero from below") << -0.001 << int(distanceUnitMeters) << 2 << "0.00 m";
    QTest::newRow("survey feet") << 1200.0 << int(distanceUnitUsSurveyFeet) << 2 << "3937.00 ftUS";
    QTest::newRow("one survey foot") << 1200.0 / 3937.0 << int(distanceUnitUsSurveyFeet) << 6 << "1.000000 ftUS";
    QTest::newRow("nan") << notANumber << int(distanceUnitMeters) << 2 << NoDataString;
    QTest::newRow("inf") << inf << int(distanceUnitUsSurveyFeet) << 2 << NoDataString;
    QTest::newRow("-inf") << -inf << int(distanceUnitMeters) << 2 << NoDataString;
    QTest::newRow("overflows in feet") << 1.7e308 << int(distanceUnitUsSurveyFeet) << 2 << NoDataString;
}

void tst_textFormat::distanceString()
{
    QFETCH(double, meters);
    QFETCH(int, unit);
    QFETCH(int, decimals);
    QFETCH(QString, expected);
    QCOMPARE(belrix_common_qt::distanceString(meters, static_cast<distanceUnit_t>(unit), decimals), expected);
}

void tst_textFormat::speedString_data()
{
    QTest::addColumn<double>("metersPerSecond");
    QTest::addColumn<int>("unit");
    QTest::addColumn<int>("decimals");
    QTest::addColumn<QString>("expected");
    QTest::newRow("knots") << 1852.0 / 3600.0 << int(speedUnitKnots) << 2 << "1.00 kn";
    QTest::newRow("m/s") << 2.5 << int(speedUnitMetersPerSecond) << 1 << "2.5 m/s";
    QTest::newRow("km/h") << 10.0 << int(speedUnitKilometersPerHour) << 1 << "36.0 km/h";
    QTest::newRow("mph") << 26.8224 << int(speedUnitMilesPerHour) << 3 << "60.000 mph";
    QTest::newRow("clamped decimals") << 1.0 << int(speedUnitMetersPerSecond) << 11 << "1.0000000000 m/s";
    QTest::newRow("nan") << notANumber << int(speedUnitKnots) << 2 << NoDataString;
    QTest::newRow("inf") << inf << int(speedUnitMilesPerHour) << 2 << NoDataString;
}

void tst_textFormat::speedString()
{
    QFETCH(double, metersPerSecond);
    QFETCH(int, unit);
    QFETCH(int, decimals);
    QFETCH(QString, expected);
    QCOMPARE(belrix_common_qt::speedString(metersPerSecond, static_cast<speedUnit_t>(unit), decimals), expected);
}

void tst_textFormat::angleString_data()
{
    QTest::addColumn<double>("degrees");
    QTest::addColumn<int>("decimals");
    QTest::addColumn<QString>("expected");
    QTest::newRow("one decimal") << 123.44 << 1 << u8("123.4°");
    QTest::newRow("negative") << -5.25 << 2 << u8("-5.25°");
    QTest::newRow("no decimals") << 359.6 << 0 << u8("360°");
    QTest::newRow("tiny negative") << -0.004 << 2 << u8("0.00°");
    QTest::newRow("nan") << notANumber << 1 << NoDataString;
    QTest::newRow("-inf") << -inf << 1 << NoDataString;
}

void tst_textFormat::angleString()
{
    QFETCH(double, degrees);
    QFETCH(int, decimals);
    QFETCH(QString, expected);
    QCOMPARE(belrix_common_qt::angleString(degrees, decimals), expected);
}

// ---- latitude / longitude texts ----------------------------------------------------------

void tst_textFormat::latLonString_data()
{
    QTest::addColumn<bool>("latitude");
    QTest::addColumn<double>("radians");
    QTest::addColumn<int>("format");
    QTest::addColumn<int>("hemisphere");
    QTest::addColumn<int>("decimals");
    QTest::addColumn<QString>("expected");

    int const dd = latLonFormatDegrees;
    int const dm = latLonFormatDegreesMinutes;
    int const dms = latLonFormatDegreesMinutesSeconds;
    double const lat = toRadians(52.3740325);
    double const lon = toRadians(4.89517);
    double const west = toRadians(-122.4194155);

    QTest::newRow("lat DD") << true << lat << dd << 1 << -1 << u8("52.37403250° N");
    QTest::newRow("lat DM") << true << lat << dm << 1 << -1 << u8("52° 22.441950' N");
    QTest::newRow("lat DMS") << true << lat << dms << 1 << -1 << u8("52° 22' 26.5170\" N");
    QTest::newRow("lat DD south") << true << -lat << dd << 1 << -1 << u8("52.37403250° S");
    QTest::newRow("lat DM south") << true << -lat << dm << 1 << -1 << u8("52° 22.441950' S");
    QTest::newRow("lat DMS south") << true << -lat << dms << 1 << -1 << u8("52° 22' 26.5170\" S");
    QTest::newRow("lat DD signed") << true << -lat << dd << 0 << -1 << u8("-52.37403250°");
    QTest::newRow("lat DM signed") << true << -lat << dm << 0 << -1 << u8("-52° 22.441950'");
    QTest::newRow("lat DMS signed") << true << -lat << dms << 0 << -1 << u8("-52° 22' 26.5170\"");
    QTest::newRow("lat DM signed north") << true << lat << dm << 0 << -1 << u8("52° 22.441950'");
    QTest::newRow("lat one digit padded") << true << toRadians(-5.5) << dm << 1 << -1 << u8("05° 30.000000' S");

    QTest::newRow("lon DD") << false << lon << dd << 1 << -1 << u8("4.89517000° E");
    QTest::newRow("lon DM") << false << lon << dm << 1 << -1 << u8("004° 53.710200' E");
    QTest::newRow("lon DMS") << false << lon << dms << 1 << -1 << u8("004° 53' 42.6120\" E");
    QTest::newRow("lon DD west") << false << west << dd << 1 << -1 << u8("122.41941550° W");
    QTest::newRow("lon DM west") << false << west << dm << 1 << -1 << u8("122° 25.164930' W");
    QTest::newRow("lon DMS west") << false << west << dms << 1 << -1 << u8("122° 25' 09.8958\" W");
    QTest::newRow("lon DMS signed") << false << west << dms << 0 << -1 << u8("-122° 25' 09.8958\"");

    QTest::newRow("lat zero DD") << true << 0.0 << dd << 1 << -1 << u8("0.00000000° N");
    QTest::newRow("lat zero DM") << true << 0.0 << dm << 1 << -1 << u8("00° 00.000000' N");
    QTest::newRow("lat zero DMS") << true << 0.0 << dms << 1 << -1 << u8("00° 00' 00.0000\" N");
    QTest::newRow("lon zero DM") << false << 0.0 << dm << 1 << -1 << u8("000° 00.000000' E");
    QTest::newRow("lon negative zero") << false << -0.0 << dms << 1 << -1 << u8("000° 00' 00.0000\" E");
    QTest::newRow("lat rounds to zero from south") << true << -1e-12 << dm << 1 << -1 << u8("00° 00.000000' N");
    QTest::newRow("lon rounds to zero signed") << false << -1e-12 << dd << 0 << -1 << u8("0.00000000°");

    QTest::newRow("north pole DD") << true << Pi / 2 << dd << 1 << -1 << u8("90.00000000° N");
    QTest::newRow("north pole DM") << true << Pi / 2 << dm << 1 << -1 << u8("90° 00.000000' N");
    QTest::newRow("south pole DMS") << true << -Pi / 2 << dms << 1 << -1 << u8("90° 00' 00.0000\" S");
    QTest::newRow("south pole signed") << true << -Pi / 2 << dm << 0 << -1 << u8("-90° 00.000000'");
    QTest::newRow("antimeridian east") << false << Pi << dm << 1 << -1 << u8("180° 00.000000' E");
    QTest::newRow("antimeridian west DMS") << false << -Pi << dms << 1 << -1 << u8("180° 00' 00.0000\" W");
    QTest::newRow("antimeridian signed DD") << false << -Pi << dd << 0 << -1 << u8("-180.00000000°");

    QTest::newRow("carry below 1 DD") << true << toRadians(0.99999999999) << dd << 1 << -1 << u8("1.00000000° N");
    QTest::newRow("carry below 1 DM") << true << toRadians(0.99999999999) << dm << 1 << -1 << u8("01° 00.000000' N");
    QTest::newRow("carry below 1 DMS") << true << toRadians(-0.99999999999) << dms << 1 << -1
                                       << u8("01° 00' 00.0000\" S");
    QTest::newRow("carry below 90 DM") << true << toRadians(89.99999999999) << dm << 1 << -1 << u8("90° 00.000000' N");
    QTest::newRow("carry below 90 DMS") << true << toRadians(-89.99999999999) << dms << 1 << -1
                                        << u8("90° 00' 00.0000\" S");
    QTest::newRow("carry below 180 DMS") << false << toRadians(-179.999999999999) << dms << 1 << -1
                                         << u8("180° 00' 00.0000\" W");
    QTest::newRow("minutes carry") << true << toRadians(52 + 59.99999999 / 60) << dm << 1 << -1
                                   << u8("53° 00.000000' N");
    QTest::newRow("seconds carry") << true << toRadians(52 + 22 / 60.0 + 59.999999 / 3600) << dms << 1 << -1
                                   << u8("52° 23' 00.0000\" N");
    QTest::newRow("seconds carry into degree") << false << toRadians(4 + 59 / 60.0 + 59.999999 / 3600) << dms << 1
                                               << -1 << u8("005° 00' 00.0000\" E");
    QTest::newRow("whole seconds carry") << true << toRadians(52 + 22 / 60.0 + 59.6 / 3600) << dms << 1 << 0
                                         << u8("52° 23' 00\" N");

    QTest::newRow("DD 3 decimals") << true << lat << dd << 1 << 3 << u8("52.374° N");
    QTest::newRow("DD 0 decimals") << true << lat << dd << 1 << 0 << u8("52° N");
    QTest::newRow("DM 2 decimals") << true << lat << dm << 1 << 2 << u8("52° 22.44' N");
    QTest::newRow("DM 0 decimals") << true << lat << dm << 1 << 0 << u8("52° 22' N");
    QTest::newRow("DMS 0 decimals") << true << lat << dms << 1 << 0 << u8("52° 22' 27\" N");
    QTest::newRow("decimals clamp to 10") << true << lat << dd << 1 << 99 << u8("52.3740325000° N");
    QTest::newRow("DMS 10 decimals at 180") << false << -Pi << dms << 1 << 10 << u8("180° 00' 00.0000000000\" W");
}

void tst_textFormat::latLonString()
{
    QFETCH(bool, latitude);
    QFETCH(double, radians);
    QFETCH(int, format);
    QFETCH(int, hemisphere);
    QFETCH(int, decimals);
    QFETCH(QString, expected);
    QCOMPARE(formatLatLon(latitude, radians, options(static_cast<latLonFormat_t>(format), hemisphere, decimals)),
             expected);
}

void tst_textFormat::latLonNoData_data()
{
    QTest::addColumn<bool>("latitude");
    QTest::addColumn<double>("radians");
    QTest::newRow("lat nan") << true << notANumber;
    QTest::newRow("lat inf") << true << inf;
    QTest::newRow("lon -inf") << false << -inf;
    QTest::newRow("lat just above 90") << true << std::nextafter(Pi / 2, 4.0);
    QTest::newRow("lat just below -90") << true << std::nextafter(-Pi / 2, -4.0);
    QTest::newRow("lat 91") << true << toRadians(91.0);
    QTest::newRow("lon just above 180") << false << std::nextafter(Pi, 4.0);
    QTest::newRow("lon just below -180") << false << std::nextafter(-Pi, -4.0);
    QTest::newRow("lon in degrees by mistake") << false << 359.0;
    QTest::newRow("lat huge") << true << 1e300;
}

void tst_textFormat::latLonNoData()
{
    QFETCH(bool, latitude);
    QFETCH(double, radians);
    for (int format = latLonFormatDegrees; format <= latLonFormatDegreesMinutesSeconds; ++format) {
        for (int hemisphere = 0; hemisphere <= 1; ++hemisphere)
            QCOMPARE(formatLatLon(latitude, radians, options(static_cast<latLonFormat_t>(format), hemisphere)),
                     NoDataString);
    }
}

// ---- reading latitude / longitude texts --------------------------------------------------

void tst_textFormat::parseRoundTrip_data()
{
    QTest::addColumn<bool>("latitude");
    QTest::addColumn<int>("format");
    QTest::addColumn<int>("hemisphere");
    QTest::addColumn<int>("decimals");
    struct {
        const char* name;
        int format;
    } const formats[] = {{"DD", latLonFormatDegrees},
                         {"DM", latLonFormatDegreesMinutes},
                         {"DMS", latLonFormatDegreesMinutesSeconds}};
    for (bool latitude : {true, false}) {
        for (auto const& f : formats) {
            for (int hemisphere : {0, 1}) {
                for (int decimals : {-1, 0, 3, 10}) {
                    QByteArray const name = QByteArray(latitude ? "lat " : "lon ") + f.name
                                            + (hemisphere ? " letter" : " sign") + " decimals "
                                            + QByteArray::number(decimals);
                    QTest::newRow(name.constData()) << latitude << f.format << hemisphere << decimals;
                }
            }
        }
    }
}

void tst_textFormat::parseRoundTrip()
{
    QFETCH(bool, latitude);
    QFETCH(int, format);
    QFETCH(int, hemisphere);
    QFETCH(int, decimals);
    auto const fmt = static_cast<latLonFormat_t>(format);
    int const shownDecimals = decimals >= 0 ? decimals
                              : fmt == latLonFormatDegrees ? 8
                              : fmt == latLonFormatDegreesMinutes ? 6 : 4;
    double const tolerance = printedPrecision(fmt, shownDecimals) + 1e-9;
    double const limit = latitude ? 90.0 : 180.0;

    QList<double> angles = {0.0, limit, -limit, 0.99999999999, -89.99999999999, 1e-9, -1e-9, 45.0 + 59.999999999 / 60};
    for (double degrees = -limit; degrees <= limit; degrees += 0.73137)
        angles << degrees;

    for (double degrees : angles) {
        double const radians = toRadians(degrees);
        QString const text = formatLatLon(latitude, radians, options(fmt, hemisphere, decimals));
        double parsed = notANumber;
        QVERIFY2(parseLatLon(latitude, text, parsed), qPrintable(text));
        QVERIFY2(near(parsed * 180.0 / Pi, degrees, tolerance), qPrintable(text));
        QVERIFY2(std::fabs(parsed) <= limit * Pi / 180.0, qPrintable(text));
    }
}

void tst_textFormat::parseTyped_data()
{
    QTest::addColumn<bool>("latitude");
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("degrees");
    QTest::newRow("spaces and letter") << true << "52 22.4419 N" << 52 + 22.4419 / 60;
    QTest::newRow("marks without spaces") << true << u8("52°22.4419'N") << 52 + 22.4419 / 60;
    QTest::newRow("minus") << true << "-52.5" << -52.5;
    QTest::newRow("plus") << true << " +52.5 " << 52.5;
    QTest::newRow("letter glued") << true << "52.5S" << -52.5;
    QTest::newRow("lower letter first") << true << "s 52 30" << -52.5;
    QTest::newRow("letter first glued") << true << "N52 30 36" << 52.51;
    QTest::newRow("seconds with marks") << true << u8("52° 22' 26.5170\" N") << 52 + 22 / 60.0 + 26.517 / 3600;
    QTest::newRow("seconds by two apostrophes") << true << "52 22' 26.5'' S" << -(52 + 22 / 60.0 + 26.5 / 3600);
    QTest::newRow("typographic marks") << true << u8("52º 30′ 36″ N") << 52.51;
    QTest::newRow("whole degrees") << true << "52" << 52.0;
    QTest::newRow("north pole") << true << "90 N" << 90.0;
    QTest::newRow("south pole sexagesimal") << true << u8("90° 00' 00.0000\" S") << -90.0;
    QTest::newRow("zero south") << true << "0 S" << 0.0;
    QTest::newRow("lon padded") << false << u8("004° 53.710200' E") << 4 + 53.7102 / 60;
    QTest::newRow("lon letter first") << false << "w 122 25 9.8958" << -(122 + 25 / 60.0 + 9.8958 / 3600);
    QTest::newRow("lon 180 west") << false << "180 W" << -180.0;
    QTest::newRow("lon -180") << false << "-180" << -180.0;
    QTest::newRow("lon letter glued lower") << false << "122.5w" << -122.5;
}

void tst_textFormat::parseTyped()
{
    QFETCH(bool, latitude);
    QFETCH(QString, text);
    QFETCH(double, degrees);
    double radians = notANumber;
    QVERIFY(parseLatLon(latitude, text, radians));
    QVERIFY2(near(radians, toRadians(degrees), 1e-12), qPrintable(QString::number(radians * 180 / Pi, 'g', 17)));
}

void tst_textFormat::parseRejects_data()
{
    QTest::addColumn<bool>("latitude");
    QTest::addColumn<QString>("text");
    QTest::newRow("empty") << true << "";
    QTest::newRow("blank") << true << "  \t ";
    QTest::newRow("letter only") << true << "N";
    QTest::newRow("sign only") << true << "-";
    QTest::newRow("garbage") << true << "abc";
    QTest::newRow("decimal comma") << true << "52,5";
    QTest::newRow("two points") << true << "52.5.3";
    QTest::newRow("trailing point") << true << "52.";
    QTest::newRow("leading point") << true << ".5";
    QTest::newRow("exponent") << true << "1e1";
    QTest::newRow("nan text") << true << "nan";
    QTest::newRow("minutes 60") << true << "52 60 N";
    QTest::newRow("seconds 60") << true << "52 59 60 N";
    QTest::newRow("fraction before minutes") << true << "52.5 30";
    QTest::newRow("fraction before seconds") << true << "52 30.5 20";
    QTest::newRow("four numbers") << true << "52 30 40 50";
    QTest::newRow("lat 91") << true << "91";
    QTest::newRow("lat above 90 by seconds") << true << "90 0 0.1 N";
    QTest::newRow("lat below -90") << true << "-90.0001";
    QTest::newRow("lon 181") << false << "181 E";
    QTest::newRow("lon above 180 by minutes") << false << "180 00.01 W";
    QTest::newRow("minus with S") << true << "-52 S";
    QTest::newRow("minus with W") << false << "-4 W";
    QTest::newRow("sign with N") << true << "+52 N";
    QTest::newRow("letters both ends") << true << "S 52 N";
    QTest::newRow("two letters after") << true << "52 N S";
    QTest::newRow("E for latitude") << true << "52 E";
    QTest::newRow("N for longitude") << false << "52 N";
    QTest::newRow("S first for longitude") << false << "S 4";
    QTest::newRow("minute mark after degrees") << true << "52' N";
    QTest::newRow("degree mark twice") << true << u8("52° 30°");
    QTest::newRow("second mark after minutes") << true << "52 30\" N";
    QTest::newRow("sign in the middle") << true << "52 -30";
    QTest::newRow("letter in the middle") << true << "52 N 30";
    QTest::newRow("non-ascii digits") << true << u8("٥٢");
    QTest::newRow("degrees in wrong axis range") << false << "400";
}

void tst_textFormat::parseRejects()
{
    QFETCH(bool, latitude);
    QFETCH(QString, text);
    double radians = 1.25;
    QVERIFY(!parseLatLon(latitude, text, radians));
    QCOMPARE(radians, 1.25); // a failed read leaves the caller's value alone
}

QTEST_GUILESS_MAIN(tst_textFormat)
#include "tst_textFormat.moc"
