#include "allocationCounter.h"
#include "nmeaTestLines.h"

#include <belrix_common_qt/almMgrGps.h>
#include <belrix_common_qt/coordConverter.h>
#include <belrix_common_qt/navConstants.h>
#include <belrix_common_qt/navSatNumbering.h>
#include <belrix_common_qt/nmeaDecoder.h>
#include <belrix_common_qt/qcDataStore.h>
#include <belrix_common_qt/qcSettingsBase.h>
#include <belrix_common_qt/remoteController.h>
#include <belrix_common_qt/remoteDevice.h>
#include <belrix_common_qt/remoteNavSat.h>

#include <QtTest>

#include <cmath>
#include <memory>

using namespace belrix_common_qt;

Q_DECLARE_METATYPE(belrix_common_qt::nmeaLineResult_t)

// A GSV sentence with one satellite (signal: the NMEA 4.10 field with its comma), and the
// satellite number (0: not kept) and signal slot it fills.
struct gsvCase_t { char const* talker; int id; char const* signal; int number, slot, signalId; };
Q_DECLARE_METATYPE(gsvCase_t)

namespace {

bool near(double actual, double expected, double tolerance = 1e-6) { return std::fabs(actual - expected) <= tolerance; }

template <typename T>
field_t fieldOf(dataItem_t<T> const& item)
{
    return item.isValid() ? field(item.value()) : field(Absent);
}

// The device's items that the rows below name; withdrawn ones NaN.
fields_t itemsOf(remoteDevice_t const& d)
{
    bool const stats = d.pseudorangeStats().isValid();
    pseudorangeStats_t const& s = d.pseudorangeStats().value();
    auto stat = [stats](std::optional<float> const& f) { return stats ? field(f) : field(Absent); };
    position_t const p = d.inputPosition().value();
    bool const fix = d.inputPosition().isValid();
    return {{"lat", field(fix ? p.lat * RadToDeg : Absent)}, {"lon", field(fix ? p.lon * RadToDeg : Absent)},
            {"display", field(d.displayPosition().isValid() ? 1.0 : Absent)},
            {"height", fieldOf(d.ellipsoidalHeight())}, {"quality", fieldOf(d.fixQuality())},
            {"used", fieldOf(d.satellitesUsed())}, {"hdop", fieldOf(d.hdop())}, {"age", fieldOf(d.correctionAge())},
            {"speed", fieldOf(d.speedOverGround())}, {"course", fieldOf(d.courseOverGround())},
            {"heading", fieldOf(d.heading())}, {"rms", stat(s.rms)}, {"major", stat(s.semiMajor)},
            {"minor", stat(s.semiMinor)},
            {"orientation", field(float(stats && s.orientation ? *s.orientation * RadToDeg : Absent))},
            {"lat error", stat(s.latError)}, {"lon error", stat(s.lonError)}, {"height error", stat(s.heightError)},
            {"rate", fieldOf(d.rateOfTurn())},
            {"failed", field(d.receiverIntegrity().isValid() ? d.receiverIntegrity().value().failedSatellite : Absent)},
            {"bias", d.receiverIntegrity().isValid() ? field(d.receiverIntegrity().value().bias) : field(Absent)},
            {"magnetic", field(d.magneticHeading().isValid() ? d.magneticHeading().value().sensor : float(Absent))},
            {"deviation", d.magneticHeading().isValid() ? field(d.magneticHeading().value().deviation) : field(Absent)},
            {"variation", d.magneticHeading().isValid() ? field(d.magneticHeading().value().variation) : field(Absent)},
            {"wgs84", field(d.outputDatum().isValid() ? double(d.outputDatum().value().isWgs84()) : Absent)}};
}

// Moves every position 0.001 rad north for display, as a datum shift would; or fails.
class testConverter_t : public coordConverter_t
{
public:
    explicit testConverter_t(bool works) : m_works(works) {}
    bool storedToDisplay(position_t const& stored, position_t& display) const override
    {
        display = stored;
        display.lat += 0.001;
        return m_works;
    }

private:
    bool m_works;
};

QByteArray const Gga = "GNGGA,003956.00,4552.65403,S,17030.00668,E,2,12,0.64,14.2,M,1.8,M,3.5,0123";

// The sky of the least-squares worked example (tst_grsQcSolver): five GPS satellites.
QList<QByteArray> const WorkedSky = {
    "GPGSV,2,1,05,01,90,000,45,02,60,030,44,03,60,210,43,04,00,120,30",
    "GPGSV,2,2,05,05,00,300,31",
    "GPGSA,A,3,01,02,03,04,05,,,,,,,,1.5,0.9,1.2",
};
QByteArray const WorkedGrs = "GPGRS,120000.00,0,-0.866,0.500,0.500,-0.067,-0.067,,,,,,,";

} // namespace

class tst_nmeaDecoder : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<remoteController_t> controller;
    std::unique_ptr<remoteDevice_t> device;
    std::unique_ptr<nmeaDecoder_t> decoder;

    nmeaLineResult_t feed(QByteArray const& body, double t = 1000.0) { return feedRaw(nmeaLine(body), t); }

    nmeaLineResult_t feedRaw(QByteArray const& line, double t = 1000.0)
    {
        return decoder->decodeLine(line.constData(), std::size_t(line.size()), t);
    }

    // Lines of "<data time> <sentence body>".
    void feedScript(QStringList const& script)
    {
        for (QString const& step : script) {
            QStringList const parts = step.split(QLatin1Char(' '));
            QCOMPARE(feed(parts[1].toLatin1(), parts[0].toDouble()), nmeaAccepted);
        }
    }

private slots:
    void init()
    {
        controller.reset(new remoteController_t);
        device.reset(new remoteDevice_t);
        decoder.reset(new nmeaDecoder_t(device.get(), controller.get()));
    }

    void cleanup()
    {
        decoder.reset();
        device.reset();
        controller.reset();
    }

    void gsvGivesTheSatelliteAndSignal_data()
    {
        QTest::addColumn<gsvCase_t>("c");
        QTest::newRow("GPS before NMEA 4.10") << gsvCase_t{"GP", 5, "", 5, 0, 1};
        QTest::newRow("GPS L2C") << gsvCase_t{"GP", 5, ",6", 5, 1, 6};
        QTest::newRow("SBAS by raw PRN, L5") << gsvCase_t{"GP", 124, ",8", 37, 2, 8};
        QTest::newRow("GLONASS G2 by slot") << gsvCase_t{"GL", 7, ",3", 71, 1, 3};
        QTest::newRow("Galileo before NMEA 4.10") << gsvCase_t{"GA", 12, "", 312, 0, 7};
        QTest::newRow("Galileo E5b, extended id") << gsvCase_t{"GA", 312, ",2", 312, 1, 2};
        QTest::newRow("BeiDou B2I, hex id") << gsvCase_t{"GB", 13, ",B", 413, 1, 11};
        QTest::newRow("BeiDou B1I, old talker") << gsvCase_t{"BD", 214, ",1", 414, 0, 1};
        QTest::newRow("QZSS L5, NMEA 4.11") << gsvCase_t{"GQ", 2, ",7", 194, 2, 7};
        QTest::newRow("NavIC is not kept") << gsvCase_t{"GI", 5, "", 0, 0, 0};
        QTest::newRow("Galileo PRN 37") << gsvCase_t{"GA", 37, "", 0, 0, 0};
    }

    void gsvGivesTheSatelliteAndSignal()
    {
        QFETCH(gsvCase_t, c);
        QCOMPARE(feed(c.talker + ("GSV,1,1,01," + QByteArray::number(c.id)) + ",40,120,38" + c.signal), nmeaAccepted);
        QCOMPARE(int(device->allNavSats().size()), c.number ? 1 : 0);
        if (!c.number)
            return;
        remoteNavSat_t const* sat = device->navSat(unsigned(c.number));
        QVERIFY(sat && sat->constellation() == navSatConstellation(unsigned(c.number)));
        QVERIFY(near(sat->elevation().value(), 40.0) && near(sat->azimuth().value(), 120.0));
        for (int i = 0; i < remoteNavSat_t::MaxFrequencies; ++i)
            QCOMPARE(sat->freq(i) != nullptr, i == c.slot);
        QCOMPARE(int(sat->freq(c.slot)->value().signalId), c.signalId);
        QCOMPARE(sat->freq(c.slot)->value().level, 38.0f);
        // empty fields withdraw what came before
        QCOMPARE(feed(c.talker + ("GSV,1,1,01," + QByteArray::number(c.id)) + ",,," + c.signal, 1001.0), nmeaAccepted);
        sat = device->navSat(unsigned(c.number));
        QVERIFY(sat && !sat->elevation().isValid() && !sat->azimuth().isValid());
        QVERIFY(sat->freq(c.slot) && !sat->freq(c.slot)->isValid());
    }

    void skyViewCycles_data()
    {
        QTest::addColumn<QStringList>("script");
        QTest::addColumn<QList<int>>("inView");
        QStringList const six = {"100 GPGSV,2,1,06,05,06,110,19,10,24,284,34,13,37,124,29,15,63,083,11",
                                 "100 GPGSV,2,2,06,16,11,248,10,20,52,273,34"};
        QString const sixMinus16 = "101 GPGSV,2,1,05,05,07,110,20,10,24,284,34,13,37,124,29,15,63,083,11";
        QTest::newRow("a complete cycle replaces the last")
            << six + QStringList{sixMinus16, "101 GPGSV,2,2,05,20,52,273,34"} << QList<int>{5, 10, 13, 15, 20};
        QTest::newRow("a satellite stays until its cycle completes")
            << six + QStringList{sixMinus16} << QList<int>{5, 10, 13, 15, 16, 20};
        QStringList const twoSignals = {"100 GPGSV,1,1,02,05,06,110,19,24,07,045,20,1",
                                        "100 GPGSV,1,1,02,05,06,110,25,24,07,045,22,6",
                                        "100 GLGSV,1,1,01,65,53,144,30,1", "101 GPGSV,1,1,01,05,06,110,19,1"};
        // the third sentence of the first group never came
        QTest::newRow("an unfinished group is retired by the next complete one")
            << QStringList{"100 GPGSV,3,1,12,20,76,058,40,11,73,252,,06,41,274,,14,41,185,",
                           "100 GPGSV,3,2,12,13,29,210,41,31,27,059,40,07,26,306,,04,20,308,40",
                           "101 GPGSV,3,1,12,23,86,270,,13,70,270,40,24,59,270,,04,41,270,40",
                           "101 GPGSV,3,2,12,25,31,090,,01,22,090,,17,13,270,,05,12,090,",
                           "101 GPGSV,3,3,12,20,09,090,40,06,08,270,,16,00,090,,31,26,090,40"}
            << QList<int>{1, 4, 5, 6, 13, 16, 17, 20, 23, 24, 25, 31};
        QTest::newRow("another signal's group still lists it") << twoSignals << QList<int>{5, 24, 65};
        QTest::newRow("no group lists it")
            << twoSignals + QStringList{"101 GPGSV,1,1,01,05,06,110,25,6"} << QList<int>{5, 65};
        QStringList const silent = {"100 GLGSV,1,1,01,65,53,144,30", "120 GPGSV,1,1,01,05,06,110,19"};
        QTest::newRow("a group silent for 30 s is kept") << silent << QList<int>{5, 65};
        QTest::newRow("a group silent for longer is forgotten")
            << silent + QStringList{"131 GPGSV,1,1,01,05,06,110,19"} << QList<int>{5};
    }

    void skyViewCycles()
    {
        QFETCH(QStringList, script);
        QFETCH(QList<int>, inView);
        feedScript(script);
        QList<int> numbers;
        for (auto const& entry : device->allNavSats())
            numbers << int(entry.first);
        QCOMPARE(numbers, inView);
    }

    void satellitesInUseFollowGsa_data()
    {
        // ID: a third satellite in use in the first epoch only
        QTest::addColumn<QStringList>("used");
        QTest::newRow("NMEA 4.10 system ids")
            << QStringList{"GNGSA,A,3,05,10,ID,,,,,,,,,,DOP,1", "GNGSA,A,3,65,66,,,,,,,,,,,DOP,2"};
        QTest::newRow("NMEA 4.0, one GN per system")
            << QStringList{"GNGSA,A,3,05,10,ID,,,,,,,,,,DOP", "GNGSA,A,3,65,66,,,,,,,,,,,DOP"};
        QTest::newRow("one talker per system")
            << QStringList{"GPGSA,A,3,05,10,ID,,,,,,,,,,DOP", "GLGSA,A,3,65,66,,,,,,,,,,,DOP"};
    }

    void satellitesInUseFollowGsa()
    {
        QFETCH(QStringList, used);
        QCOMPARE(feed("GPGSV,1,1,04,05,06,110,19,10,24,284,34,13,37,124,29,15,63,083,11", 100.0), nmeaAccepted);
        QCOMPARE(feed("GLGSV,1,1,02,65,53,144,30,66,58,305,32", 100.0), nmeaAccepted);
        for (QString s : used)
            QCOMPARE(feed(s.replace("ID", "13").replace("DOP", "1.1,0.6,0.9").toLatin1(), 100.0), nmeaAccepted);
        QVERIFY(device->navSat(13)->isUsed() && device->navSat(66)->isUsed() && !device->navSat(15)->isUsed());
        QCOMPARE(device->satellitesUsed().value(), 5u);
        for (QString s : used)
            QCOMPARE(feed(s.replace("ID", "").replace("DOP", "1.2,0.7,1.0").toLatin1(), 101.0), nmeaAccepted);
        QVERIFY(!device->navSat(13)->isUsed() && device->navSat(65)->isUsed() && device->navSat(5)->isUsed());
        QCOMPARE(device->satellitesUsed().value(), 4u);
        QVERIFY(near(device->pdop().value(), 1.2) && near(device->vdop().value(), 1.0));
        // satellites arriving after the GSA take their flag from it
        QCOMPARE(feed("GPGSV,1,1,02,05,06,110,19,13,37,124,29", 101.0), nmeaAccepted);
        QVERIFY(device->navSat(5)->isUsed() && !device->navSat(13)->isUsed());
    }

    void sentencesSetAndWithdrawItems_data()
    {
        QTest::addColumn<QStringList>("script");
        QTest::addColumn<QVariantMap>("expected");
        QString const gga = "10 " + Gga;
        QTest::newRow("GGA") << QStringList{gga} << QVariantMap{
            {"lat", -(45.0 + 52.65403 / 60.0)}, {"lon", 170.0 + 30.00668 / 60.0}, {"display", 1}, {"height", 14.2 + 1.8},
            {"quality", int(fixQualityDgps)}, {"used", 12}, {"hdop", 0.64}, {"age", 3.5}};
        QTest::newRow("height needs the geoid separation")
            << QStringList{"1 GPGGA,130711,5012.790800,N,00806.879600,W,2,08,1.1,25.0,M,,M,,"}
            << QVariantMap{{"lat", 50.0 + 12.7908 / 60}, {"height", Absent}};
        QVariantMap const noFix = {{"lat", Absent}, {"display", Absent}};
        QVariantMap const withdrawn = {{"lat", Absent}, {"display", Absent}, {"height", Absent}, {"quality", 0}};
        QTest::newRow("void RMC withdraws height and quality")
            << QStringList{gga, "11 GPRMC,235948.00,V,0000.0000,N,00000.0000,E,,,161206,,,N"} << withdrawn;
        QTest::newRow("void GLL withdraws height and quality")
            << QStringList{gga, "11 GPGLL,,,,,235948.00,V,N"} << withdrawn;
        // GGA stops at 12 in many receivers; the GSA sentences of the epoch list them all
        QStringList const f9p = {"1 GNGGA,003956.00,4552.65403,S,17030.00668,E,1,12,0.64,14.2,M,1.8,M,,",
                                 "1 GNGSA,A,3,13,16,21,15,10,29,27,20,,,,,1.05,0.64,0.83,1",
                                 "1 GNGSA,A,3,82,66,81,,,,,,,,,,1.05,0.64,0.83,2",
                                 "1 GNGSA,A,3,07,12,33,,,,,,,,,,1.05,0.64,0.83,3",
                                 "1 GNGSA,A,3,13,12,22,19,08,21,,,,,,,1.05,0.64,0.83,4"};
        QTest::newRow("GGA's 12 gives way to the GSA's 20") << f9p << QVariantMap{{"used", 20}};
        QTest::newRow("also at the next GGA") << f9p + QStringList{f9p[0]} << QVariantMap{{"used", 20}};
        QTest::newRow("GGA below 12 is believed")
            << QStringList{"1 GNGGA,003956.00,4552.65403,S,17030.00668,E,1,07,0.64,14.2,M,1.8,M,,", f9p[1]}
            << QVariantMap{{"used", 7}};
        QTest::newRow("GBS names a failed satellite")
            << QStringList{"1 GPGBS,131519.00,0.7,0.5,1.1,02,,30.9,12.6"} << QVariantMap{{"failed", 2}, {"bias", 30.9}};
        QTest::newRow("GBS without a fault")
            << QStringList{"1 GPGBS,131519.00,0.7,0.5,1.1,02,,30.9,12.6", "2 GPGBS,131521.00,0.7,0.5,1.1,,,,"}
            << QVariantMap{{"failed", 0}, {"bias", Absent}};
        QTest::newRow("GBS of GLONASS by system id")
            << QStringList{"1 GNGBS,131519.00,0.7,0.5,1.1,05,0.02,30.9,12.6,2,1"} << QVariantMap{{"failed", 69}};
        QTest::newRow("GBS empty") << QStringList{"1 GPGBS,131519.00,0.7,0.5,1.1,02,,30.9,12.6", "2 GPGBS,131521.00,,,,,,,"}
                                   << QVariantMap{{"failed", Absent}};
        // a gyro's own rate is better than one differenced from its headings
        QTest::newRow("ROT preferred to the computed rate")
            << QStringList{"1 HEROT,12.5,A", "1 HEHDT,10.0,T", "2 HEHDT,20.0,T", "3.5 HEHDT,30.0,T"}
            << QVariantMap{{"rate", 12.5}};
        QTest::newRow("a satellite named with nothing against it")
            << QStringList{"1 GPGBS,112257.00,123.204,0.490,75.521,23,0.000,0.000,0.000"} << QVariantMap{{"failed", 0}};
        QTest::newRow("headings give a computed rate")
            << QStringList{"1 HEHDT,10.0,T", "2 HEHDT,11.0,T", "3 HEHDT,12.0,T"} << QVariantMap{{"rate", 60.0}};
        QTest::newRow("ROT invalid") << QStringList{"1 HEROT,12.5,A", "2 HEROT,3.0,V"} << QVariantMap{{"rate", Absent}};
        QTest::newRow("HDG with variation only") << QStringList{"1 SDHDG,229.8,,,1.3,E"}
                                                 << QVariantMap{{"magnetic", 229.8}, {"deviation", Absent}, {"variation", 1.3}};
        QTest::newRow("HDG westerly") << QStringList{"1 HCHDG,10.0,2.5,W,3.0,W"}
                                      << QVariantMap{{"deviation", -2.5}, {"variation", -3.0}};
        QTest::newRow("DTM WGS84, short form") << QStringList{"1 GPDTM,W84,C"} << QVariantMap{{"wgs84", 1}};
        QTest::newRow("DTM another datum") << QStringList{"1 GPDTM,P90,,0.08,N,0.12,E,-2.1,W84"}
                                           << QVariantMap{{"wgs84", 0}};
        QTest::newRow("GGA quality 0")
            << QStringList{gga, "11 GPGGA,235952.00,0000.0000,N,00000.0000,E,0,00,0.0,,M,,M,,"} << noFix;
        QTest::newRow("GNS no fix") << QStringList{gga, "11 GPGNS,112257.00,,,,,NN,00,,,,,"} << noFix;
        QString const rmc = "1 GPRMC,200619.30,A,5313.2228,N,00634.4228,E,10.0,271.5,200506,00,W,A";
        QTest::newRow("RMC") << QStringList{rmc} << QVariantMap{{"speed", 10.0 * 1852.0 / 3600.0}, {"course", 271.5}};
        QTest::newRow("VTG in km/h") << QStringList{rmc, "2 GPVTG,,T,,M,,N,36.0,K,A"} << QVariantMap{{"speed", 10.0}};
        QTest::newRow("HDT") << QStringList{"1 HEHDT,4.0,T"} << QVariantMap{{"heading", 4.0}};
        QTest::newRow("THS invalid")
            << QStringList{"1 GNTHS,244.28,A", "2 GNTHS,244.30,V"} << QVariantMap{{"heading", Absent}};
        QString const gst = "7 GPGST,112257.00,0.387,317.719,3.872,91.791,317.563,10.659,180.746";
        QTest::newRow("GST") << QStringList{gst} << QVariantMap{
            {"rms", 0.387}, {"major", 317.719}, {"minor", 3.872}, {"orientation", 91.791}, {"lat error", 317.563},
            {"lon error", 10.659}, {"height error", 180.746}};
        QTest::newRow("GST orientation is an axis") << QStringList{"8 GPGST,213122.000,15.7,22.8,11.6,-1.1,0.4,0.6,1.3"}
                                                    << QVariantMap{{"orientation", 178.9}};
        QTest::newRow("GST empty") << QStringList{gst, "9 GNGST,003957.00,,,,,,,"} << QVariantMap{{"rms", Absent}};
    }

    void sentencesSetAndWithdrawItems()
    {
        QFETCH(QStringList, script);
        QFETCH(QVariantMap, expected);
        feedScript(script);
        QString const wrong = mismatches(itemsOf(*device), expected);
        QVERIFY2(wrong.isEmpty(), qPrintable(wrong));
    }

    // data times in June 2024, as when another replay drives the clock
    void fixTimeIsTheReceiversOwn_data()
    {
        QTest::addColumn<QStringList>("script");
        QTest::addColumn<QString>("fixTime");   // UTC; empty: none
        QTest::newRow("time of day on the data time's day")
            << QStringList{"1718000000 GPGGA,063000.50,5313.2228,N,00634.4228,E,1,08,1.0,2.0,M,40.0,M,,"}
            << "2024-06-10T06:30:00.500";
        QTest::newRow("time of day before the data time's midnight")
            << QStringList{"1718064005 GPGLL,5313.2228,N,00634.4228,E,235958.00,A,A"} << "2024-06-10T23:59:58";
        QTest::newRow("date of the same RMC")
            << QStringList{"1718000000 GPRMC,003956.00,A,4552.65403,S,17030.00668,E,0.025,,120419,,,A"}
            << "2019-04-12T00:39:56";
        QTest::newRow("date of an earlier ZDA")
            << QStringList{"1718000000 GNZDA,003955.00,12,04,2019,00,00", "1718000001 GNGNS,003956.00,4552.65403,S,"
                                                                            "17030.00668,E,AA,12,0.64,14.2,1.8,,"}
            << "2019-04-12T00:39:56";
        QTest::newRow("across midnight after the last date")
            << QStringList{"1718000000 GPRMC,235959.50,A,4552.65403,S,17030.00668,E,0.025,,110419,,,A",
                           "1718000001 GPGGA,000000.50,4552.65403,S,17030.00668,E,1,08,1.0,2.0,M,40.0,M,,"}
            << "2019-04-12T00:00:00.500";
        QTest::newRow("a date that does not exist")
            << QStringList{"1718000000 GPRMC,063000.00,A,4552.65403,S,17030.00668,E,0.025,,310419,,,A"}
            << "2024-06-10T06:30:00";
        QTest::newRow("no time") << QStringList{"1718000000 GPGLL,5313.2228,N,00634.4228,E,,A,A"} << QString();
    }

    void fixTimeIsTheReceiversOwn()
    {
        QFETCH(QStringList, script);
        QFETCH(QString, fixTime);
        feedScript(script);
        QCOMPARE(device->fixTime().isValid(), !fixTime.isEmpty());
        if (fixTime.isEmpty())
            return;
        QDateTime const expected = QDateTime::fromString(fixTime + 'Z', Qt::ISODateWithMs);
        QCOMPARE(device->fixTime().value(), double(expected.toMSecsSinceEpoch()) / 1000.0);
        QCOMPARE(device->fixTime().timestamp(), script.last().section(' ', 0, 0).toDouble());
    }

    // a datum shift for display, and a converter that fails
    void displayPosition()
    {
        QCOMPARE(feed(Gga, 1.0), nmeaAccepted);
        for (bool works : {true, false}) {
            controller->setCoordConverter(new testConverter_t(works));
            QCOMPARE(feed(Gga, works ? 2.0 : 3.0), nmeaAccepted);
            QVERIFY(device->inputPosition().isValid());
            QCOMPARE(device->displayPosition().isValid(), works);
            if (works)
                QVERIFY(near(device->displayPosition().value().lat, device->inputPosition().value().lat + 0.001, 1e-12));
        }
    }

    // A rejected line leaves the data as it was, and every sentence is counted by what became of it.
    void rejectedLinesAreCountedAndChangeNothing()
    {
        QCOMPARE(feed(Gga, 10.0), nmeaAccepted);
        QByteArray const noChecksum = "$" + Gga;
        QList<QPair<QByteArray, nmeaLineResult_t>> const rejected = {
            {nmeaLine(Gga).replace("4552.65403", "4552.65408"), nmeaBadChecksum},
            {noChecksum, nmeaBadChecksum},
            {nmeaLine(QByteArray(Gga).replace("4552.65403", "9952.65403")), nmeaMalformed},
            {nmeaLine("GPXTE,A,A,0.67,L,N"), nmeaUnknown},
            {"\r\n", nmeaMalformed},   // blank: not a line
            {QByteArray(), nmeaMalformed},
            {"\x01\x02\xff\xfe garbage", nmeaMalformed}};
        for (auto const& r : rejected)
            QCOMPARE(feedRaw(r.first, 11.0), r.second);
        QCOMPARE(decoder->decodeLine(nullptr, 12, 11.0), nmeaMalformed);
        QString const wrong = mismatches(itemsOf(*device), {{"lat", -(45.0 + 52.65403 / 60.0)}, {"height", 16.0}});
        QVERIFY2(wrong.isEmpty() && device->inputPosition().timestamp() == 10.0, qPrintable(wrong));
        // sentences run together count one by one, and one may start where a damaged one breaks off
        QCOMPARE(feedRaw(nmeaLine("HEHDT,4.0,T").trimmed() + nmeaLine("HEHDT,5.0,T")), nmeaAccepted);
        QVERIFY(near(device->heading().value(), 5.0));
        QCOMPARE(feedRaw(nmeaLine("HEHDT,4.0,T").trimmed() + "$GPHDT,1.0,T*00"), nmeaBadChecksum);
        QCOMPARE(feedRaw("$GPGSV,3,1,11,23,87,270,,13,68,270,,24,60,270,$GPRMC,000002.00,V,0000.0000,N,00000.0000,E,,,"
                         "260910,,,N*48"),
                 nmeaMalformed);
        nmeaCounters_t const& c = decoder->counters();
        QCOMPARE(QList<quint64>({c.lines, c.accepted, c.badChecksum, c.malformed, c.unknown}),
                 QList<quint64>({12, 5, 3, 3, 1}));
        decoder->setAllowMissingChecksum(true);
        for (auto const& r : rejected)
            QCOMPARE(feedRaw(r.first, 12.0) == nmeaAccepted, r.first == noChecksum);
        decoder->resetCounters();
        QCOMPARE(decoder->counters().lines, 0u);
        nmeaDecoder_t alone(nullptr);   // no device: it only counts
        QByteArray const line = nmeaLine(Gga);
        QCOMPARE(alone.decodeLine(line.constData(), std::size_t(line.size()), 1.0), nmeaAccepted);
        QCOMPARE(alone.counters().accepted, 1u);
    }

    void almanacWeekIsResolvedNearTheDataTime_data()
    {
        QTest::addColumn<QByteArray>("week");
        QTest::addColumn<double>("dataTime");
        QTest::addColumn<unsigned int>("fullWeek");
        QTest::newRow("ten-bit week in 2016") << QByteArray("862") << 1460064681.0 << 1886u;
        QTest::newRow("week 0 after the 2019 rollover") << QByteArray("0") << 1555029596.0 << 2048u;
        QTest::newRow("week 1023 just before it") << QByteArray("1023") << 1555029596.0 << 2047u;
        QTest::newRow("no data time") << QByteArray("862") << 0.0 << 862u;
    }

    void almanacWeekIsResolvedNearTheDataTime()
    {
        QFETCH(QByteArray, week);
        QFETCH(double, dataTime);
        QFETCH(unsigned int, fullWeek);
        QSignalSpy updated(controller->almMgrGps(), &almMgrGps_t::almanacUpdated);
        QCOMPARE(feed("GPALM,1,1,15," + week + ",00,441d,4e,16be,fd5e,a10c9f,4a2da4,686e81,58cbe1,0a4,001", dataTime),
                 nmeaAccepted);
        QCOMPARE(updated.count(), 1);
        auto const entries = controller->almMgrGps()->entries();
        QCOMPARE(int(entries.size()), 1);
        almanacGps_t const& a = entries.front();
        QCOMPARE(a.prn, 15u);
        QCOMPARE(a.week, fullWeek);
        // the raw fields scaled to SI units and radians
        double const actual[] = {a.toa, a.eccentricity, a.sqrtA, a.inclination, a.rateOfRightAscension,
                                 a.argumentOfPerigee, a.rightAscension, a.meanAnomaly, a.af0, a.af1};
        double const expected[] = {319488.0, 17437.0 / 2097152.0, 10554527.0 / 2048.0, (0.3 + 5822.0 / 524288.0) * Pi,
                                   -674.0 * std::ldexp(Pi, -38), 0x4a2da4 * std::ldexp(Pi, -23), 0x686e81 * std::ldexp(Pi, -23),
                                   0x58cbe1 * std::ldexp(Pi, -23), 0x0a4 * std::ldexp(1.0, -20), std::ldexp(1.0, -38)};
        for (int i = 0; i < 10; ++i)
            QVERIFY2(near(actual[i], expected[i], 1e-12 * std::fabs(expected[i])), qPrintable(QString::number(i)));
        // a satellite without an almanac adds nothing
        QCOMPARE(feed("GPALM,32,1,01,,,,,,,,,,,,"), nmeaAccepted);
        QCOMPARE(controller->almMgrGps()->num(), 1u);
    }

    void residualsGiveAQcSummary()
    {
        device->qcSettings()->setAprioriSigma(0.5);
        for (QByteArray const& s : WorkedSky)
            QCOMPARE(feed(s, 300.0), nmeaAccepted);
        QCOMPARE(feed(WorkedGrs, 300.5), nmeaAccepted);
        auto const& history = device->qcDataStore()->summary();
        QVERIFY(history.size() == 1 && history.back().timestamp == 300.5);
        qcSummary_t const& s = history.back().summary;
        // the worked example with its residuals rounded to millimetres
        QVERIFY2(near(s.unitVariance, 1.25897 / 0.25, 0.02), qPrintable(QString::number(s.unitVariance)));
        QVERIFY(near(s.semiMajor, 1.58680, 0.005) && near(s.orientation, 30.0 * DegToRad, 0.01));
    }

    void residualsOfSeveralSystemsMakeOneSummary()
    {
        feedScript({"300 " + WorkedSky[0], "300 " + WorkedSky[1], "300 GAGSV,1,1,03,11,40,045,40,12,25,160,38,13,70,280,42",
                    "300 GNGSA,A,3,01,02,03,04,05,,,,,,,,1.5,0.9,1.2,1", "300 GNGSA,A,3,11,12,13,,,,,,,,,,1.5,0.9,1.2,3",
                    "300 GNGRS,120000.00,0,-0.866,0.500,0.500,-0.067,-0.067,,,,,,,,1,1"});
        QVERIFY2(device->qcDataStore()->summary().empty(), "Galileo's residuals are still to come");
        QCOMPARE(feed("GNGRS,120000.00,0,0.3,-0.2,0.1,,,,,,,,,,3,7", 300.0), nmeaAccepted);
        QCOMPARE(int(device->qcDataStore()->summary().size()), 1);
        // each residual belongs to the satellite at its place in its own system's GSA
        QCOMPARE(device->navSat(2)->rangeResidual().value(), 0.5f);
        QCOMPARE(device->navSat(5)->rangeResidual().value(), -0.067f);
        QCOMPARE(device->navSat(navSatNumber(constellationGalileo, 12))->rangeResidual().value(), -0.2f);
        // one system's residuals alone are summed up when the run of GRS ends
        QCOMPARE(feed("GNGRS,120001.00,0,-0.866,0.500,0.500,-0.067,-0.067,,,,,,,,1,1", 301.0), nmeaAccepted);
        QCOMPARE(int(device->qcDataStore()->summary().size()), 1);
        QCOMPARE(feed(Gga, 301.0), nmeaAccepted);
        QCOMPARE(int(device->qcDataStore()->summary().size()), 2);
    }

    // What the device holds each time an epoch ends: fix time of day, GST semi-major axis,
    // heading, QC summaries so far.
    void epochEndsBeforeTheNextBegins_data()
    {
        QTest::addColumn<QStringList>("script");
        QTest::addColumn<QStringList>("epochs");
        // three seconds of these sentences in this order, %1 the second
        auto seconds = [](QList<QByteArray> const& bodies) {
            QStringList script;
            for (int s = 0; s < 3; ++s) {
                for (int i = 0; i < bodies.size(); ++i)
                    script << QString::number(100 + s + i * 0.01) + ' ' + QString::fromLatin1(bodies[i]).arg(s);
            }
            return script;
        };
        QByteArray const gga = "GPGGA,12000%1.00,5736.0000,N,01115.0000,E,1,08,0.9,10.0,M,38.0,M,,";
        QByteArray const gst = "GPGST,12000%1.00,0.3,1.%1,0.5,10,0.6,0.7,0.9";
        QByteArray const hdt = "GPHDT,1%1.0,T";
        QStringList const twoEpochs = {"43200 1 10 0", "43201 1.1 11 0"};
        QTest::newRow("GST after its GGA") << seconds({gga, gst, hdt}) << twoEpochs;
        QTest::newRow("GST before its GGA") << seconds({gst, gga, hdt}) << twoEpochs;
        QTest::newRow("heading sensor without times") << seconds({hdt, "HEROT,1.5,A"}) << QStringList{"- - 10 0", "- - 11 0"};
        QTest::newRow("one instant rounded two ways")
            << seconds({"GPGLL,5736.0000,N,01115.0000,E,12000%1.004,A,A", gga}) << QStringList{"43200 - - 0", "43201 - - 0"};
        QTest::newRow("GSA and GSV several to an epoch")
            << seconds({gga, "GNGSA,A,3,01,02,03,,,,,,,,,,1.5,0.9,1.2,1", "GNGSA,A,3,11,12,,,,,,,,,,,1.5,0.9,1.2,3",
                        WorkedSky[0], WorkedSky[1]})
            << QStringList{"43200 - - 0", "43201 - - 0"};
        QTest::newRow("a sentence after a quiet second")
            << QStringList{"100 " + QString::fromLatin1(gga).arg(0), "101.01 GPHDT,10.0,T"} << QStringList{"43200 - - 0"};
        QTest::newRow("residuals summed up in their own epoch")
            << QStringList{"300 " + WorkedSky[0], "300 " + WorkedSky[1], "300 GAGSV,1,1,03,11,40,045,40,12,25,160,38,13,70,280,42",
                           "300 GNGSA,A,3,01,02,03,04,05,,,,,,,,1.5,0.9,1.2,1", "300 GNGSA,A,3,11,12,13,,,,,,,,,,1.5,0.9,1.2,3",
                           "300 GNGRS,120000.00,0,-0.866,0.500,0.500,-0.067,-0.067,,,,,,,,1,1",
                           "300.5 " + QString::fromLatin1(gga).arg(1)}
            << QStringList{"- - - 1"};
        QTest::newRow("residuals need satellites in use")
            << QStringList{"300 " + WorkedSky[0], "300 " + WorkedSky[1], "300 " + WorkedGrs, "300.5 " + QString::fromLatin1(gga).arg(1)}
            << QStringList{"- - - 0"};
    }
    void epochEndsBeforeTheNextBegins()
    {
        QFETCH(QStringList, script);
        QFETCH(QStringList, epochs);
        QStringList ended;
        connect(device.get(), &remoteDevice_t::epochEnded, this, [&] {
            auto text = [](bool valid, double value) { return valid ? QString::number(value) : QStringLiteral("-"); };
            std::optional<float> const major = device->pseudorangeStats().value().semiMajor;
            ended << QStringLiteral("%1 %2 %3 %4")
                         .arg(text(device->fixTime().isValid(), std::fmod(device->fixTime().value(), 86400.0)),
                              text(device->pseudorangeStats().isValid() && major, double(major.value_or(0.0f))),
                              text(device->heading().isValid(), double(device->heading().value())))
                         .arg(device->qcDataStore()->summary().size());
        });
        feedScript(script);
        QCOMPARE(ended, epochs);
    }

    void warmDecodingDoesNotAllocate()
    {
        QList<QByteArray> lines;
        for (char const* body : {"GNRMC,003956.00,A,4552.65403,S,17030.00668,E,0.025,,120419,,,A,V",
                                 "GNVTG,,T,,M,0.025,N,0.045,K,A", "GNGSA,A,3,13,16,21,15,10,29,27,20,,,,,1.05,0.64,0.83,1",
                                 "GNGSA,A,3,82,66,81,,,,,,,,,,1.05,0.64,0.83,2",
                                 "GPGSV,3,1,12,05,06,110,19,10,24,284,34,13,37,124,29,15,63,083,11,1",
                                 "GPGSV,3,2,12,16,11,248,10,20,52,273,34,21,79,231,30,24,07,045,,1",
                                 "GPGSV,3,3,12,26,04,276,,27,15,218,31,29,24,004,13,30,00,159,,1",
                                 "GLGSV,1,1,04,65,53,144,,66,58,305,32,81,64,223,35,82,13,214,33,1",
                                 "GNGST,003956.00,235111,,,,2.3,3.5,4.0", "GNZDA,003956.00,12,04,2019,00,00", "HEHDT,4.0,T"})
            lines << nmeaLine(body);
        lines << nmeaLine(Gga);
        long const cold = allocationCount();
        for (int pass = 0; pass < 2; ++pass) {
            for (QByteArray const& line : lines)
                QCOMPARE(feedRaw(line, 100.0 + pass), nmeaAccepted);
        }
        QVERIFY2(allocationCount() > cold, "the first satellites allocate: the counter must see them");
        long const before = allocationCount();
        for (int pass = 2; pass < 20; ++pass) {
            for (QByteArray const& line : lines)
                decoder->decodeLine(line.constData(), std::size_t(line.size()), 100.0 + pass);
        }
        QCOMPARE(allocationCount() - before, 0L);
        QCOMPARE(decoder->counters().accepted, quint64(20 * lines.size()));
    }

    void aSatelliteThatReturnsCostsNoAllocation()
    {
        QCOMPARE(feed("GPGSV,1,1,02,05,06,110,19,10,24,284,34", 1.0), nmeaAccepted);
        QCOMPARE(feed("GPGSV,1,1,01,05,06,110,19", 2.0), nmeaAccepted);
        QVERIFY(!device->navSat(10));
        QByteArray const back = nmeaLine("GPGSV,1,1,02,05,06,110,19,10,25,284,35");
        long const before = allocationCount();
        decoder->decodeLine(back.constData(), std::size_t(back.size()), 3.0);
        QCOMPARE(allocationCount() - before, 0L);
        remoteNavSat_t const* sat = device->navSat(10);
        QVERIFY(sat && !sat->freq(1));   // nothing left over from before
        QVERIFY(near(sat->elevation().value(), 25.0));
    }
};

QTEST_GUILESS_MAIN(tst_nmeaDecoder)
#include "tst_nmeaDecoder.moc"
