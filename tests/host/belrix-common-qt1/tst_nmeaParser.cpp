#include "nmeaTestLines.h"

#include <belrix_common_qt/nmeaParser.h>

#include <QtTest>

#include <memory>

using namespace belrix_common_qt;

Q_DECLARE_METATYPE(belrix_common_qt::nmeaLineResult_t)
Q_DECLARE_METATYPE(belrix_common_qt::nmeaSystem_t)

namespace {

template <typename T, std::size_t N>
field_t countOf(T const (&values)[N])
{
    int n = 0;
    for (auto const& v : values)
        n += v ? 1 : 0;
    return field(n);
}

// The decoded fields that the rows below name.
fields_t fieldsOf(nmeaSentence_t const& s)
{
    nmeaGsvSatellite_t const& last = s.gsv.satellites[std::max(s.gsv.satelliteCount - 1, 0)];
    return {{"lat", field(s.gga.latitude)}, {"lon", field(s.gga.longitude)}, {"quality", field(s.gga.quality)},
            {"used", field(s.gga.satellitesUsed)}, {"hdop", field(s.gga.hdop)}, {"alt", field(s.gga.altitude)},
            {"separation", field(s.gga.geoidSeparation)}, {"age", field(s.gga.correctionAge)},
            {"gsv blocks", field(s.gsv.satelliteCount)}, {"gsv signal", field(s.gsv.signalId)},
            {"gsv first id", field(s.gsv.satellites[0].id)}, {"gsv first snr", field(s.gsv.satellites[0].snr)},
            {"gsv last id", field(last.id)}, {"gsv last elevation", field(last.elevation)},
            {"gsa ids", countOf(s.gsa.ids)}, {"pdop", field(s.gsa.pdop)}, {"vdop", field(s.gsa.vdop)},
            {"gsa system", field(s.gsa.systemId)}, {"rmc status", field(s.rmc.status)}, {"rmc mode", field(s.rmc.mode)},
            {"speed", field(s.rmc.speed)}, {"year", field(s.rmc.date ? s.rmc.date->year : 0)},
            {"semi-major", field(s.gst.semiMajor)}, {"orientation", field(s.gst.orientation)},
            {"height error", field(s.gst.heightError)}, {"residuals", countOf(s.grs.residuals)},
            {"first residual", field(s.grs.residuals[0])}, {"grs system", field(s.grs.systemId)},
            {"heading", field(s.heading.heading)}, {"heading mode", field(s.heading.mode)},
            {"vtg course", field(s.vtg.courseTrue)}, {"km/h", field(s.vtg.speedKmh)},
            {"zda month", field(s.zda.date ? s.zda.date->month : 0)}, {"zone", field(s.zda.zoneHours)},
            {"zda time", field(s.zda.time)}, {"gll lon", field(s.gll.longitude)}, {"gns modes", field(s.gns.modeCount)},
            {"gns mode 2", field(s.gns.modes[1])}, {"alm data", field(s.alm.hasData)}, {"prn", field(s.alm.prn)},
            {"week", field(s.alm.week)}, {"e", field(s.alm.eccentricity)}, {"toa", field(s.alm.toa)},
            {"i", field(s.alm.inclination)}, {"rate", field(s.alm.rateOfRightAscension)},
            {"sqrtA", field(s.alm.sqrtA)}, {"M0", field(s.alm.meanAnomaly)}, {"af0", field(s.alm.af0)}};
}

QByteArray const Gga = "GPGGA,213121.000,4404.1295864,N,12118.8685453,W,2,07,1.2,1102.537,M,-20.300,M,,0000";
QByteArray const Alm = "GPALM,1,1,15,1159,00,441d,4e,16be,fd5e,a10c9f,4a2da4,686e81,58cbe1,0a4,001";

} // namespace

struct frame_t { QByteArray line; bool allowMissing; nmeaLineResult_t result; };
Q_DECLARE_METATYPE(frame_t)

class tst_nmeaParser : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<nmeaParser_t> parser;
    std::unique_ptr<nmeaSentence_t> sentence;

    nmeaLineResult_t parse(QByteArray const& line, std::size_t* consumed = nullptr)
    {
        return parser->parse(line.constData(), std::size_t(line.size()), *sentence, consumed);
    }

private slots:
    void init()
    {
        parser.reset(new nmeaParser_t);
        sentence.reset(new nmeaSentence_t);
    }

    void framing_data()
    {
        QTest::addColumn<frame_t>("f");
        QByteArray const good = nmeaLine(Gga);
        QByteArray const bare = "$" + Gga;
        QTest::newRow("valid") << frame_t{good, false, nmeaAccepted};
        QTest::newRow("lower-case checksum") << frame_t{QByteArray("$HEHDT,1.0,T*2e\r\n"), false, nmeaAccepted};
        QTest::newRow("a field changed in transit")
            << frame_t{QByteArray(good).replace("1102.537", "1102.538"), false, nmeaBadChecksum};
        QTest::newRow("no checksum where required") << frame_t{bare, false, nmeaBadChecksum};
        QTest::newRow("no checksum where allowed") << frame_t{bare, true, nmeaAccepted};
        QTest::newRow("one checksum digit") << frame_t{QByteArray(good.left(good.size() - 3)), false, nmeaMalformed};
        QTest::newRow("checksum not hex") << frame_t{QByteArray(bare + "*G1"), false, nmeaMalformed};
        QTest::newRow("text after the checksum") << frame_t{QByteArray(good.trimmed() + "xx"), false, nmeaMalformed};
        QTest::newRow("NUL and blanks after")
            << frame_t{QByteArray(good.trimmed() + QByteArray("\0\0  \r\n", 6)), false, nmeaAccepted};
        QTest::newRow("line noise before the dollar")
            << frame_t{QByteArray("\x03\xff" "12," + good), false, nmeaAccepted};
        QTest::newRow("no start character") << frame_t{Gga, true, nmeaMalformed};
        QTest::newRow("only a dollar") << frame_t{QByteArray("$"), true, nmeaMalformed};
        QTest::newRow("empty address") << frame_t{nmeaLine(",1,2"), false, nmeaMalformed};
        QTest::newRow("two sentences run together")
            << frame_t{QByteArray(nmeaLine("GPHDT,12.0,T").trimmed() + "$GPHD"), false, nmeaMalformed};
        QTest::newRow("proprietary") << frame_t{nmeaLine("PMTK001,314,3"), false, nmeaUnknown};
        QTest::newRow("AIS encapsulation")
            << frame_t{nmeaLine("AIVDM,1,1,,A,13aEOK?P00PD2wVMdLDRhgvL289?,0", '!'), false, nmeaUnknown};
        QTest::newRow("type not decoded") << frame_t{nmeaLine("GPXTE,A,A,0.67,L,N"), false, nmeaUnknown};
        QTest::newRow("address too long") << frame_t{nmeaLine("SNRSTAT,1,2,3"), false, nmeaUnknown};
        QTest::newRow("bad checksum on unknown type")
            << frame_t{QByteArray("$GPXTE,A,A,0.67,L,N*00"), false, nmeaBadChecksum};
        QTest::newRow("too many fields") << frame_t{nmeaLine("GPHDT" + QByteArray(60, ',')), false, nmeaMalformed};
        QTest::newRow("collision inside a sentence")
            << frame_t{"$GPGSV,3,2,12,16,11,248,10,20,52,$PTNTA,20160203131530,2,T3,10000000.6078672,823,-3,,*0E",
                       false, nmeaBadChecksum};
    }

    void framing()
    {
        QFETCH(frame_t, f);
        parser->setAllowMissingChecksum(f.allowMissing);
        QCOMPARE(parse(f.line), f.result);
        QCOMPARE(sentence->type != nmeaTypeNone, f.result == nmeaAccepted);
    }

    void badCharactersAnywhere_data()
    {
        QTest::addColumn<char>("bad");
        QTest::newRow("NUL") << char(0x00);
        QTest::newRow("DEL") << char(0x7f);
        QTest::newRow("0xFF") << char(0xff);
        QTest::newRow("dollar") << '$';
    }

    void badCharactersAnywhere()
    {
        // at every position, so the word-wise scan and the byte-wise tail both see it
        QFETCH(char, bad);
        for (int at = 6; at < Gga.size(); ++at) {
            QByteArray body = Gga;
            body[at] = bad;
            QVERIFY2(parse(nmeaLine(body)) == nmeaMalformed, qPrintable(QString::number(at)));
        }
        // the printable extremes are allowed
        QCOMPARE(parse(nmeaLine("PXYZ, ~,~ ")), nmeaUnknown);
    }

    void checksumOfEveryLength()
    {
        // bodies of every length up to three words and a tail
        for (int length = 1; length <= 40; ++length) {
            QByteArray const body = "PQRST" + QByteArray(",AbC9.z-").repeated(6).left(length);
            QCOMPARE(parse(nmeaLine(body)), nmeaUnknown);
            QByteArray wrong = nmeaLine(body);
            wrong[wrong.size() - 3] = wrong[wrong.size() - 3] == '0' ? '1' : '0';
            QCOMPARE(parse(wrong), nmeaBadChecksum);
        }
    }

    void runTogetherSentencesAreReadOneByOne()
    {
        QByteArray const first = nmeaLine("GPHDT,12.0,T").trimmed();
        QByteArray const line = first + nmeaLine("GPTHS,13.5,A");
        std::size_t consumed = 0;
        QCOMPARE(parse(line, &consumed), nmeaAccepted);
        QCOMPARE(consumed, std::size_t(first.size()));
        QCOMPARE(parser->parse(line.constData() + consumed, std::size_t(line.size()) - consumed, *sentence, &consumed),
                 nmeaAccepted);
        QCOMPARE(sentence->type, nmeaTypeThs);
        QCOMPARE(consumed, std::size_t(line.size()) - std::size_t(first.size()));
    }

    void malformedSentences_data()
    {
        // Every row has a correct checksum: only the structure or a field can tell.
        QTest::addColumn<QByteArray>("body");
        QTest::newRow("GGA cut") << QByteArray("GPGGA,213121.000,4404.1295864,N,12118.8685453,W,2,07");
        QTest::newRow("GNS cut") << QByteArray("GPGNS,112257.00,3844.24011,N,00908.43828,W,AN");
        QTest::newRow("RMC cut") << QByteArray("GPRMC,000346.03,A,4808");
        QTest::newRow("GLL cut") << QByteArray("GPGLL,3844.24011,N,00908.43828");
        QTest::newRow("GSA cut") << QByteArray("GNGSA,A,3,13,16,21,15,10");
        QTest::newRow("GSV header cut") << QByteArray("GPGSV,3,1");
        QTest::newRow("GSV half a satellite") << QByteArray("GPGSV,3,1,12,05,06,110,19,10,24");
        QTest::newRow("GST cut") << QByteArray("GPGST,112257.00,0.387,317.719");
        QTest::newRow("GRS cut") << QByteArray("GPGRS,150119.000,1,-0.33,-2.59");
        QTest::newRow("HDT cut") << QByteArray("GPHDT");
        QTest::newRow("THS cut") << QByteArray("GNTHS,244.28");
        QTest::newRow("VTG cut") << QByteArray("GPVTG,,T,,M,2C");
        QTest::newRow("ZDA cut") << QByteArray("GPZDA,112257.00,22,03");
        QTest::newRow("ALM cut") << QByteArray("GPALM,1,1,15,1159,00,441d,4e,16be");
        QTest::newRow("GBS cut") << QByteArray("GPGBS,131519.00,0.7,0.5");
        QTest::newRow("GBS probability above 1") << QByteArray("GPGBS,131519.00,0.7,0.5,1.1,02,1.5,30.9,12.6");
        QTest::newRow("ROT status letter") << QByteArray("HEROT,1.0,X");
        QTest::newRow("HDG variation without its side") << QByteArray("HCHDG,10.0,,,3.0,");
        QTest::newRow("DTM code too long") << QByteArray("GPDTM,W845,,0.08,N,0.12,E,-2.1,W84");
        QTest::newRow("DTM offset without hemisphere") << QByteArray("GPDTM,P90,,0.08,,0.12,E,-2.1,W84");
        QTest::newRow("60 minutes of latitude") << QByteArray(Gga).replace("4404.1295864", "4460.0000000");
        QTest::newRow("latitude beyond the pole") << QByteArray(Gga).replace("4404.1295864", "9100.0000000");
        QTest::newRow("latitude of a longitude") << QByteArray(Gga).replace("4404.1295864", "12118.8685453");
        QTest::newRow("longitude beyond 180") << QByteArray(Gga).replace("12118.8685453", "18100.0000");
        QTest::newRow("hemisphere letter") << QByteArray(Gga).replace(",N,", ",X,");
        QTest::newRow("hemisphere without value") << QByteArray(Gga).replace("4404.1295864", "");
        QTest::newRow("signed latitude") << QByteArray(Gga).replace("4404.1295864", "-4404.1295864");
        QTest::newRow("hour 25") << QByteArray(Gga).replace("213121.000", "253121.000");
        QTest::newRow("short time") << QByteArray(Gga).replace("213121.000", "2131");
        QTest::newRow("letters in a number") << QByteArray(Gga).replace("1102.537", "11O2.537");
        QTest::newRow("only a sign") << QByteArray(Gga).replace("1102.537", "-");
        QTest::newRow("twenty digits") << QByteArray(Gga).replace("1102.537", "11111111111111111111");
        QTest::newRow("fix quality 10") << QByteArray(Gga).replace(",W,2,07,", ",W,10,07,");
        QTest::newRow("altitude unit feet") << QByteArray(Gga).replace("1102.537,M", "1102.537,F");
        QTest::newRow("GSV sentence beyond the count") << QByteArray("GPGSV,3,4,12,05,06,110,19");
        QTest::newRow("GSV elevation 107") << QByteArray("GPGSV,3,1,12,66,107,110,19");
        QTest::newRow("GSV azimuth 400") << QByteArray("GPGSV,3,1,12,05,06,400,19");
        QTest::newRow("GSV signal id not hex") << QByteArray("GPGSV,1,1,01,05,06,110,19,G");
        QTest::newRow("GSV nine satellites") << QByteArray("GPGSV,1,1,09" + QByteArray(",05,06,110,19").repeated(9));
        QTest::newRow("GSA fix type 4") << QByteArray("GPGSA,A,4,04,09,,,,,,,,,,,1.21,0.94,0.76");
        QTest::newRow("GSA id not a number") << QByteArray("GPGSA,A,3,04,X9,,,,,,,,,,,1.21,0.94,0.76");
        QTest::newRow("RMC status X") << QByteArray("GPRMC,005947.00,X,3715.6616,N,12157.6709,W,0.0,0.0,080710,,");
        QTest::newRow("RMC day 32") << QByteArray("GPRMC,005947.00,A,3715.6616,N,12157.6709,W,0.0,0.0,320710,,");
        QTest::newRow("GST negative error") << QByteArray("GPGST,112257.00,0.387,317.719,3.872,1.791,-317.563,10.659,180.746");
        QTest::newRow("HDT above 360") << QByteArray("GPHDT,361.0,T");
        QTest::newRow("THS mode X") << QByteArray("GNTHS,244.28,X");
        QTest::newRow("ZDA month 13") << QByteArray("GPZDA,112257.00,22,13,2012,,");
        QTest::newRow("ZDA date in part") << QByteArray("GPZDA,112257.00,22,,2012,,");
        QTest::newRow("ALM partly empty") << QByteArray(Alm).replace(",4e,", ",,");
        QTest::newRow("ALM PRN 33") << QByteArray(Alm).replace(",15,", ",33,");
        QTest::newRow("ALM not hex") << QByteArray(Alm).replace("441d", "441g");
        QTest::newRow("ALM field too wide") << QByteArray(Alm).replace("441d", "1441d");
        QTest::newRow("ALM unsigned sign-extended") << QByteArray(Alm).replace("a10c9f", "ffa10c9f");
        QTest::newRow("GRS residual not a number") << QByteArray("GPGRS,150119.000,1,-0.33,x,,,,,,,,,,");
    }

    void malformedSentences()
    {
        QFETCH(QByteArray, body);
        QCOMPARE(parse(nmeaLine(body)), nmeaMalformed);
        parser->setAllowMissingChecksum(true);
        QCOMPARE(parse("$" + body), nmeaMalformed);
    }

    void talkers_data()
    {
        QTest::addColumn<QByteArray>("talker");
        QTest::addColumn<nmeaSystem_t>("system");
        QTest::newRow("GP") << QByteArray("GP") << nmeaSystemGps;
        QTest::newRow("GL") << QByteArray("GL") << nmeaSystemGlonass;
        QTest::newRow("GA") << QByteArray("GA") << nmeaSystemGalileo;
        QTest::newRow("GB") << QByteArray("GB") << nmeaSystemBeidou;
        QTest::newRow("BD") << QByteArray("BD") << nmeaSystemBeidou;
        QTest::newRow("GQ") << QByteArray("GQ") << nmeaSystemQzss;
        QTest::newRow("QZ") << QByteArray("QZ") << nmeaSystemQzss;
        QTest::newRow("GI") << QByteArray("GI") << nmeaSystemNavic;
        QTest::newRow("GN") << QByteArray("GN") << nmeaSystemMulti;
        QTest::newRow("HE gyro") << QByteArray("HE") << nmeaSystemOther;
    }

    void talkers()
    {
        QFETCH(QByteArray, talker);
        QFETCH(nmeaSystem_t, system);
        QCOMPARE(parse(nmeaLine(talker + "HDT,4.0,T")), nmeaAccepted);
        QCOMPARE(sentence->system, system);
        QCOMPARE(QByteArray(sentence->talker, 2), talker);
    }

    void fields_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QVariantMap>("expected");
        auto const A = [](char c) { return double(c); };
        QTest::newRow("GGA DGPS, western") << Gga << QVariantMap{
            {"lat", 44.0 + 4.1295864 / 60}, {"lon", -(121.0 + 18.8685453 / 60)}, {"quality", 2}, {"used", 7},
            {"hdop", 1.2}, {"alt", 1102.537}, {"separation", -20.3}, {"age", Absent}};
        QTest::newRow("GGA southern, eastern, RTK")
            << QByteArray("GNGGA,101112.00,5742.1234567,S,01145.7654321,E,4,24,0.5,12.345,M,38.1,M,1.4,0123")
            << QVariantMap{{"lat", -(57.0 + 42.1234567 / 60)}, {"lon", 11.0 + 45.7654321 / 60}, {"quality", 4}, {"age", 1.4}};
        QTest::newRow("GGA no fix, empty fields") << QByteArray("GPGGA,,,,,,0,,,,M,,M,,")
            << QVariantMap{{"lat", Absent}, {"quality", 0}, {"used", Absent}, {"alt", Absent}, {"separation", Absent}};
        QTest::newRow("GGA fourteen fields") << QByteArray("GPGGA,130711,5012.790800,N,00806.879600,W,2,,,,,,,")
            << QVariantMap{{"lat", 50.0 + 12.7908 / 60}, {"hdop", Absent}, {"alt", Absent}};
        QTest::newRow("GGA empty fix quality") << QByteArray("GPGGA,005947.00,3715.6616,N,12157.6709,W,,07,1.5,10.0,M,-30.0,M,,")
            << QVariantMap{{"quality", Absent}, {"used", 7}};
        QTest::newRow("GSV NMEA 4.10") << QByteArray("GPGSV,3,1,12,05,06,110,,10,24,284,34,13,37,124,29,15,63,083,11,6")
            << QVariantMap{{"gsv blocks", 4}, {"gsv first id", 5}, {"gsv first snr", Absent}, {"gsv last id", 15},
                           {"gsv last elevation", 63}, {"gsv signal", 6}};
        QTest::newRow("GSV NMEA 4.11 hex signal") << QByteArray("GBGSV,1,1,01,13,40,210,41,B")
            << QVariantMap{{"gsv blocks", 1}, {"gsv first snr", 41}, {"gsv signal", 11}};
        QTest::newRow("GSV NMEA 2 short last") << QByteArray("GPGSV,3,3,10,26,04,276,,27,15,218,31")
            << QVariantMap{{"gsv blocks", 2}, {"gsv last id", 27}, {"gsv last elevation", 15}, {"gsv signal", Absent}};
        QTest::newRow("GSV nothing in view") << QByteArray("GPGSV,3,1,00,,,,,,,,,,,,,,,,")
            << QVariantMap{{"gsv blocks", 4}, {"gsv first id", 0}, {"gsv last elevation", Absent}};
        QTest::newRow("GSV header only") << QByteArray("GPGSV,1,1,00") << QVariantMap{{"gsv blocks", 0}};
        QTest::newRow("GSV old BeiDou, decimals") << QByteArray("BDGSV,1,1,02,214,34.5,246,25.5,206,08,330,")
            << QVariantMap{{"gsv first id", 214}, {"gsv first snr", 25.5}, {"gsv last id", 206}};
        QTest::newRow("GSA NMEA 4.10") << QByteArray("GNGSA,A,3,82,66,81,,,,,,,,,,1.05,0.64,0.83,2")
            << QVariantMap{{"gsa ids", 3}, {"pdop", 1.05}, {"vdop", 0.83}, {"gsa system", 2}};
        QTest::newRow("GSA NMEA 2, twelve") << QByteArray("GPGSA,A,3,04,09,16,26,07,03,27,02,11,12,13,14,1.21,0.94,0.76")
            << QVariantMap{{"gsa ids", 12}, {"vdop", 0.76}, {"gsa system", Absent}};
        QTest::newRow("GSA 2D, no VDOP") << QByteArray("GPGSA,A,2,10,13,23,,,,,,,,,,10.5,10.5,")
            << QVariantMap{{"gsa ids", 3}, {"pdop", 10.5}, {"vdop", Absent}};
        QTest::newRow("RMC NMEA 2.0") << QByteArray("GPRMC,005947.00,A,3715.6616,N,12157.6709,W,0.0,0.0,080710,,")
            << QVariantMap{{"rmc status", A('A')}, {"rmc mode", 0}, {"speed", 0}, {"year", 2010}};
        QTest::newRow("RMC NMEA 4.10") << QByteArray("GNRMC,003956.00,A,4552.65403,S,17030.00668,E,0.025,,120419,,,A,V")
            << QVariantMap{{"rmc mode", A('A')}, {"speed", 0.025}, {"year", 2019}};
        QTest::newRow("RMC mode in place of the variation's side")
            << QByteArray("GPRMC,130711.00,A,5012.790800,N,00806.879600,W,0.5,3.0,010611,,A")
            << QVariantMap{{"rmc mode", A('A')}, {"speed", 0.5}};
        QTest::newRow("RMC void, 1999") << QByteArray("GPRMC,235947.00,V,,,,,,,220899,,,N")
            << QVariantMap{{"rmc status", A('V')}, {"rmc mode", A('N')}, {"speed", Absent}, {"year", 1999}};
        QTest::newRow("GST leading zeros") << QByteArray("GPGST,150119.000,004.0,008.7,004.7,132.3,006.8,007.2,00014")
            << QVariantMap{{"semi-major", 8.7}, {"orientation", 132.3}, {"height error", 14}};
        QTest::newRow("GST no ellipse") << QByteArray("GNGST,003956.00,235111,,,,2.3,3.5,4.0")
            << QVariantMap{{"semi-major", Absent}, {"orientation", Absent}, {"height error", 4}};
        QTest::newRow("GRS NMEA 2") << QByteArray("GPGRS,150119.000,1,-0.33,-2.59,3.03,-0.09,-2.98,7.12,-15.6,17.0,,,,")
            << QVariantMap{{"residuals", 8}, {"first residual", -0.33}, {"grs system", Absent}};
        QTest::newRow("GRS NMEA 4.10") << QByteArray("GNGRS,003956.00,1,0.5,-0.2,0.1,,,,,,,,,,3,7")
            << QVariantMap{{"residuals", 3}, {"grs system", 3}};
        QTest::newRow("HDT 360 is north") << QByteArray("GPHDT,360.0,T") << QVariantMap{{"heading", 0}, {"heading mode", 0}};
        QTest::newRow("THS invalid") << QByteArray("GNTHS,,V") << QVariantMap{{"heading", Absent}, {"heading mode", A('V')}};
        QTest::newRow("VTG") << QByteArray("GPVTG,339.1,T,333.5,M,0.1,N,0.2,K,A")
            << QVariantMap{{"vtg course", 339.1}, {"km/h", 0.2}};
        QTest::newRow("ZDA") << QByteArray("GPZDA,112257.00,22,03,2012,-03,30")
            << QVariantMap{{"zda month", 3}, {"zone", -3}, {"zda time", 11 * 3600 + 22 * 60 + 57}};
        QTest::newRow("GLL") << QByteArray("GPGLL,3844.24011,N,00908.43828,W,112257.00,A,A")
            << QVariantMap{{"gll lon", -(9.0 + 8.43828 / 60)}};
        QTest::newRow("GNS") << QByteArray("GPGNS,112257.00,3844.24011,N,00908.43828,W,AN,03,10.5,,,,")
            << QVariantMap{{"gns modes", 2}, {"gns mode 2", A('N')}};
        QVariantMap almanac = {{"alm data", 1}, {"prn", 15}, {"week", 1159}, {"e", 0x441d}, {"toa", 0x4e}, {"i", 0x16be},
                               {"rate", 0xfd5e - 0x10000}, {"sqrtA", 0xa10c9f}, {"M0", 0x58cbe1}, {"af0", 0x0a4}};
        QTest::newRow("ALM reference") << Alm << almanac;
        almanac.insert("af0", 0x401 - 0x800);
        QTest::newRow("ALM sign-extended to 32 bits")
            << QByteArray(Alm).replace("fd5e", "fffffd5e").replace("0a4,", "fffffc01,") << almanac;
        QTest::newRow("ALM of a satellite without one") << QByteArray("GPALM,32,1,01,,,,,,,,,,,,")
            << QVariantMap{{"alm data", 0}};
    }

    void fields()
    {
        QFETCH(QByteArray, body);
        QFETCH(QVariantMap, expected);
        QCOMPARE(parse(nmeaLine(body)), nmeaAccepted);
        QString const wrong = mismatches(fieldsOf(*sentence), expected);
        QVERIFY2(wrong.isEmpty(), qPrintable(wrong));
    }
};

QTEST_APPLESS_MAIN(tst_nmeaParser)
#include "tst_nmeaParser.moc"
