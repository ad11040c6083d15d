#include <belrix_common_qt/navConstants.h>
#include <belrix_common_qt/textFormat.h>
#include <belrix_common_qt/units.h>

#include <QtTest>

#include <cmath>
#include <limits>

using namespace belrix_common_qt;

namespace {

constexpr double notANumber = std::numeric_limits<double>::quiet_NaN();
constexpr double inf = std::numeric_limits<double>::infinity();

bool near(double a, double b, double tolerance) { return std::fabs(a - b) <= tolerance; }

QString u8(const char* text) { return QString::fromUtf8(text); }

enum nameKind_t { distanceName, speedName, formatName, graphLabelName };

// The name an enumerator of a kind writes, and the enumerator a text reads as.
QString nameOf(int kind, int value)
{
    switch (kind) {
    case distanceName: return distanceUnitString(static_cast<distanceUnit_t>(value));
    case speedName: return speedUnitString(static_cast<speedUnit_t>(value));
    case formatName: return latLonFormatString(static_cast<latLonFormat_t>(value));
    default: return graphLabelTypeString(value);
    }
}

int valueOf(int kind, QString const& text)
{
    switch (kind) {
    case distanceName: return distanceUnitFromString(text);
    case speedName: return speedUnitFromString(text);
    case formatName: return latLonFormatFromString(text);
    default: return graphLabelTypeFromString(text);
    }
}

double rad(double degrees) { return degrees * Pi / 180.0; }

QString formatLatLon(bool latitude, double radians, int format, int hemisphere, int decimals = -1)
{
    latLonStringOptions_t o;
    o.format = static_cast<latLonFormat_t>(format);
    o.hemisphere = hemisphere;
    o.decimals = decimals;
    return latitude ? latitudeString(radians, o) : longitudeString(radians, o);
}

bool parseLatLon(bool latitude, QString const& text, double& radians)
{
    return latitude ? parseLatitude(text, radians) : parseLongitude(text, radians);
}

int const DD = latLonFormatDegrees;
int const DM = latLonFormatDegreesMinutes;
int const DMS = latLonFormatDegreesMinutesSeconds;

// A latitude or longitude, how to write it, and the text.
struct latLonCase_t {
    bool latitude;
    double radians;
    int format, hemisphere, decimals;
    char const* expected;
};

} // namespace

Q_DECLARE_METATYPE(latLonCase_t)

// An enumerator of a kind, its name, and a symbol or another spelling also read as it.
struct name_t { int kind, value; QString name, alsoRead; };
Q_DECLARE_METATYPE(name_t)

// A value in a speed unit (-1: US survey feet) and in SI units.
struct conversion_t { int unit; double valueInUnit, si; };
Q_DECLARE_METATYPE(conversion_t)

// Typed text and the degrees it reads as (NaN: refused).
struct typed_t { bool latitude; QString text; double degrees; };
Q_DECLARE_METATYPE(typed_t)

class tst_textFormat : public QObject
{
    Q_OBJECT

private slots:
    void names_data()
    {
        QTest::addColumn<name_t>("n");
        QTest::newRow("meters") << name_t{int(distanceName), int(distanceUnitMeters), "Meters", "M"};
        QTest::newRow("US survey feet")
            << name_t{int(distanceName), int(distanceUnitUsSurveyFeet), "US Survey Feet", "FTUS"};
        QTest::newRow("knots") << name_t{int(speedName), int(speedUnitKnots), "Knots", "kn"};
        QTest::newRow("km/h") << name_t{int(speedName), int(speedUnitKilometersPerHour), "Kilometers/Hour", "km/h"};
        QTest::newRow("mph") << name_t{int(speedName), int(speedUnitMilesPerHour), "Miles/Hour", " MPH "};
        QTest::newRow("degrees") << name_t{int(formatName), int(latLonFormatDegrees), "DD.dd", "\ndd.dd "};
        QTest::newRow("DMS")
            << name_t{int(formatName), int(latLonFormatDegreesMinutesSeconds), "DD MM SS.ss", "dd mm ss.ss"};
        QTest::newRow("no label") << name_t{int(graphLabelName), int(graphLabelNone), "None", "NONE"};
        QTest::newRow("vertical") << name_t{int(graphLabelName), int(graphLabelVertical), "Vertical", "VERTICAL\t"};
    }

    void names()
    {
        QFETCH(name_t, n);
        QCOMPARE(nameOf(n.kind, n.value), n.name);
        QCOMPARE(valueOf(n.kind, n.name), n.value);
        QCOMPARE(valueOf(n.kind, n.alsoRead), n.value);
    }

    // a partial name reads as the first value, a value out of range writes as the first name
    void unknownNamesFallBack()
    {
        for (int kind : {distanceName, speedName, formatName, graphLabelName}) {
            QCOMPARE(valueOf(kind, "Meter"), 0);
            QCOMPARE(nameOf(kind, 4), nameOf(kind, 0));
        }
    }

    void conversions_data()
    {
        QTest::addColumn<conversion_t>("c");
        QTest::newRow("US survey foot is exact") << conversion_t{-1, 3937.0, 1200.0};
        QTest::newRow("10 knots") << conversion_t{int(speedUnitKnots), 10.0, 18520.0 / 3600.0};
        QTest::newRow("m/s") << conversion_t{int(speedUnitMetersPerSecond), 7.25, 7.25};
        QTest::newRow("km/h") << conversion_t{int(speedUnitKilometersPerHour), 36.0, 10.0};
        QTest::newRow("negative mph") << conversion_t{int(speedUnitMilesPerHour), -60.0, -26.8224};
    }

    void conversions()
    {
        QFETCH(conversion_t, c);
        if (c.unit < 0) {
            QVERIFY(near(unitToMeters(c.valueInUnit, distanceUnitUsSurveyFeet), c.si, 1e-9));
            QVERIFY(near(metersToUnit(c.si, distanceUnitUsSurveyFeet), c.valueInUnit, 1e-9));
            return;
        }
        auto const u = static_cast<speedUnit_t>(c.unit);
        QVERIFY(near(unitToMetersPerSecond(c.valueInUnit, u), c.si, 1e-12));
        QVERIFY(near(metersPerSecondToUnit(c.si, u), c.valueInUnit, 1e-12));
    }

    void valueTexts_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        QTest::newRow("decimals clamp to 0") << distanceString(12.4, distanceUnitMeters, -3) << "12 m";
        QTest::newRow("rounds to zero from below") << distanceString(-0.001, distanceUnitMeters, 2) << "0.00 m";
        QTest::newRow("survey feet") << distanceString(1200.0, distanceUnitUsSurveyFeet, 2) << "3937.00 ftUS";
        QTest::newRow("distance NaN") << distanceString(notANumber, distanceUnitMeters, 2) << NoDataString;
        QTest::newRow("overflows in feet") << distanceString(1.7e308, distanceUnitUsSurveyFeet, 2) << NoDataString;
        QTest::newRow("speed infinite") << speedString(inf, speedUnitMilesPerHour, 2) << NoDataString;
        QTest::newRow("angle rounds up") << angleString(359.6, 0) << u8("360°");
        QTest::newRow("angle -inf") << angleString(-inf, 1) << NoDataString;
    }

    void valueTexts()
    {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        QCOMPARE(text, expected);
    }

    void latLonString_data()
    {
        QTest::addColumn<latLonCase_t>("c");
        double const lat = rad(52.3740325);
        double const west = rad(-122.4194155);
        QTest::newRow("lat DM south") << latLonCase_t{true, -lat, DM, 1, -1, "52° 22.441950' S"};
        QTest::newRow("lat DMS") << latLonCase_t{true, lat, DMS, 1, -1, "52° 22' 26.5170\" N"};
        QTest::newRow("lon DM padded") << latLonCase_t{false, rad(4.89517), DM, 1, -1, "004° 53.710200' E"};
        QTest::newRow("lon DMS west") << latLonCase_t{false, west, DMS, 1, -1, "122° 25' 09.8958\" W"};
        QTest::newRow("lat rounds to zero from south") << latLonCase_t{true, rad(-1e-10), DM, 1, -1, "00° 00.000000' N"};
        QTest::newRow("south pole signed") << latLonCase_t{true, -Pi / 2, DM, 0, -1, "-90° 00.000000'"};
        QTest::newRow("carry below 1 DD") << latLonCase_t{true, rad(0.99999999999), DD, 1, -1, "1.00000000° N"};
        QTest::newRow("carry below 180 DMS")
            << latLonCase_t{false, rad(-179.999999999999), DMS, 1, -1, "180° 00' 00.0000\" W"};
        QTest::newRow("59.9995' carries into the degree")
            << latLonCase_t{true, rad(52 + 59.9995 / 60), DM, 1, 3, "53° 00.000' N"};
        QTest::newRow("seconds carry into the minute")
            << latLonCase_t{true, rad(52 + 22 / 60.0 + 59.999999 / 3600), DMS, 1, -1, "52° 23' 00.0000\" N"};
        QTest::newRow("seconds carry into the degree")
            << latLonCase_t{false, rad(4 + 59 / 60.0 + 59.999999 / 3600), DMS, 1, -1, "005° 00' 00.0000\" E"};
        QTest::newRow("DD 0 decimals") << latLonCase_t{true, lat, DD, 1, 0, "52° N"};
        QTest::newRow("decimals clamp to 10") << latLonCase_t{true, lat, DD, 1, 99, "52.3740325000° N"};
        QTest::newRow("DMS 10 decimals at 180") << latLonCase_t{false, -Pi, DMS, 1, 10, "180° 00' 00.0000000000\" W"};
    }

    void latLonString()
    {
        QFETCH(latLonCase_t, c);
        QString const text = formatLatLon(c.latitude, c.radians, c.format, c.hemisphere, c.decimals);
        QCOMPARE(text, u8(c.expected));
        // and the text reads back to within half its last digit
        int const shown = c.decimals >= 0 ? std::min(c.decimals, 10) : c.format == DD ? 8 : c.format == DM ? 6 : 4;
        double const unit = c.format == DM ? 60.0 : c.format == DMS ? 3600.0 : 1.0;
        double parsed = notANumber;
        QVERIFY(parseLatLon(c.latitude, text, parsed));
        QVERIFY2(near(parsed, c.radians, rad(0.5 * std::pow(10.0, -shown) / unit + 1e-9)), qPrintable(QString::number(parsed)));
    }

    void latLonNoData_data()
    {
        QTest::addColumn<bool>("latitude");
        QTest::addColumn<double>("radians");
        QTest::newRow("lat NaN") << true << notANumber;
        QTest::newRow("lat just above 90") << true << std::nextafter(Pi / 2, 4.0);
        QTest::newRow("lon just above 180") << false << std::nextafter(Pi, 4.0);
        QTest::newRow("lon in degrees by mistake") << false << 359.0;
    }

    void latLonNoData()
    {
        QFETCH(bool, latitude);
        QFETCH(double, radians);
        for (int format : {DD, DM, DMS}) {
            for (int hemisphere : {0, 1})
                QCOMPARE(formatLatLon(latitude, radians, format, hemisphere), NoDataString);
        }
    }

    // What a user types: read to the radian, or refused leaving the caller's value alone.
    void parseTyped_data()
    {
        QTest::addColumn<typed_t>("t");
        QTest::newRow("marks without spaces") << typed_t{true, u8("52°22.4419'N"), 52 + 22.4419 / 60};
        QTest::newRow("plus") << typed_t{true, " +52.5 ", 52.5};
        QTest::newRow("letter glued") << typed_t{true, "52.5S", -52.5};
        QTest::newRow("seconds by two apostrophes")
            << typed_t{true, "52 22' 26.5'' S", -(52 + 22 / 60.0 + 26.5 / 3600)};
        QTest::newRow("lon letter first") << typed_t{false, "w 122 25 9.8958", -(122 + 25 / 60.0 + 9.8958 / 3600)};
        QTest::newRow("lon 180 west") << typed_t{false, "180 W", -180.0};
        QTest::newRow("blank") << typed_t{true, "  \t ", notANumber};
        QTest::newRow("decimal comma") << typed_t{true, "52,5", notANumber};
        QTest::newRow("trailing point") << typed_t{true, "52.", notANumber};
        QTest::newRow("minutes 60") << typed_t{true, "52 60 N", notANumber};
        QTest::newRow("fraction before minutes") << typed_t{true, "52.5 30", notANumber};
        QTest::newRow("lat above 90 by seconds") << typed_t{true, "90 0 0.1 N", notANumber};
        QTest::newRow("minus with S") << typed_t{true, "-52 S", notANumber};
        QTest::newRow("E for latitude") << typed_t{true, "52 E", notANumber};
        QTest::newRow("N for longitude") << typed_t{false, "52 N", notANumber};
        QTest::newRow("minute mark after degrees") << typed_t{true, "52' N", notANumber};
        QTest::newRow("non-ascii digits") << typed_t{true, u8("٥٢"), notANumber};
    }

    void parseTyped()
    {
        QFETCH(typed_t, t);
        double radians = 1.25;
        QCOMPARE(parseLatLon(t.latitude, t.text, radians), !std::isnan(t.degrees));
        double const expected = std::isnan(t.degrees) ? 1.25 : rad(t.degrees);
        QVERIFY2(near(radians, expected, 1e-12), qPrintable(QString::number(radians * RadToDeg, 'g', 17)));
    }
};

QTEST_GUILESS_MAIN(tst_textFormat)
#include "tst_textFormat.moc"
