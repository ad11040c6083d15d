#include "nmeaTestLines.h"

#include <belrix_common_qt/nmeaParser.h>

#include <QtTest>

#include <cmath>
#include <limits>
#include <memory>

using namespace belrix_common_qt;

Q_DECLARE_METATYPE(belrix_common_qt::nmeaLineResult_t)
Q_DECLARE_METATYPE(belrix_common_qt::nmeaSystem_t)

namespace {

double const Absent = std::numeric_limits<double>::quiet_NaN();

// An optional field against a row's value, NaN meaning absent.
template <typename T>
bool sameField(std::optional<T> const& field, double expected, double tolerance = 1e-9)
{
    if (std::isnan(expected))
        return !field.has_value();
    return field.has_value() && std::fabs(double(*field) - expected) <= tolerance;
}

#define CHECK_FIELD(field, expected)                                                                               \
    QVERIFY2(sameField(field, expected), qPrintable(QStringLiteral(#field " is %1, expected %2")                  \
                                                        .arg(field ? QString::number(double(*field), 'g', 12)     \
                                                                   : QStringLiteral("absent"))                   \
                                                        .arg(expected, 0, 'g', 12)))

QByteArray const Gga = "GPGGA,213121.000,4404.1295864,N,12118.8685453,W,2,07,1.2,1102.537,M,-20.300,M,,0000";

} // namespace

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
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<bool>("allowMissing");
        QTest::addColumn<nmeaLineResult_t>("result");
        QByteArray const good = nmeaLine(Gga);
        QByteArray const bare = "$" + Gga;
        QTest::newRow("valid") << good << false << nmeaAccepted;
        QTest::newRow("lower-case checksum") << QByteArray("$HEHDT,1.0,T*2e\r\n") << false << nmeaAccepted;
        QTest::newRow("wrong checksum") << QByteArray(bare + "*00") << false << nmeaBadChecksum;
        QTest::newRow("a field changed in transit") << QByteArray(good).replace("1102.537", "1102.538") << false
                                                    << nmeaBadChecksum;
        QTest::newRow("no checksum where required") << bare << false << nmeaBadChecksum;
        QTest::newRow("no checksum where allowed") << bare << true << nmeaAccepted;
        QTest::newRow("one checksum digit") << QByteArray(good.left(good.size() - 3)) << false << nmeaMalformed;
        QTest::newRow("checksum not hex") << QByteArray(bare + "*G1") << false << nmeaMalformed;
        QTest::newRow("text after the checksum") << QByteArray(good.trimmed() + "xx") << false << nmeaMalformed;
        QTest::newRow("NUL and blanks after") << QByteArray(good.trimmed() + QByteArray("\0\0  \r\n", 6)) << false
                                              << nmeaAccepted;
        QTest::newRow("line noise before the dollar") << QByteArray("\x03\xff" "12," + good) << false << nmeaAccepted;
        QTest::newRow("no start character") << Gga << true << nmeaMalformed;
        QTest::newRow("only a dollar") << QByteArray("$") << true << nmeaMalformed;
        QTest::newRow("empty address") << nmeaLine(",1,2") << false << nmeaMalformed;
        QTest::newRow("control character inside") << nmeaLine("GPHDT,12\x01" "3,T") << false << nmeaMalformed;
        QTest::newRow("byte above ASCII inside") << nmeaLine("GPHDT,12\xe9,T") << false << nmeaMalformed;
        QTest::newRow("two sentences run together") << QByteArray(nmeaLine("GPHDT,12.0,T").trimmed() + "$GPHD")
                                                     << false << nmeaMalformed;
        QTest::newRow("proprietary") << nmeaLine("PMTK001,314,3") << false << nmeaUnknown;
        QTest::newRow("AIS encapsulation") << nmeaLine("AIVDM,1,1,,A,13aEOK?P00PD2wVMdLDRhgvL289?,0", '!') << false
                                           << nmeaUnknown;
        QTest::newRow("type not decoded") << nmeaLine("GPXTE,A,A,0.67,L,N") << false << nmeaUnknown;
        QTest::newRow("address too long") << nmeaLine("SNRSTAT,1,2,3") << false << nmeaUnknown;
        QTest::newRow("bad checksum on unknown type") << QByteArray("$GPXTE,A,A,0.67,L,N*00") << false
                                                      << nmeaBadChecksum;
        QTest::newRow("too many fields") << nmeaLine("GPHDT" + QByteArray(60, ',')) << false << nmeaMalformed;
        QTest::newRow("collision inside a sentence")
            << QByteArray("$GPGSV,3,2,12,16,11,248,10,20,52,$PTNTA,20160203131530,2,T3,10000000.6078672,823,-3,,*0E")
            << false << nmeaBadChecksum;
    }

    void framing()
    {
        QFETCH(QByteArray, line);
        QFETCH(bool, allowMissing);
        QFETCH(nmeaLineResult_t, result);
        parser->setAllowMissingChecksum(allowMissing);
        QCOMPARE(parse(line), result);
        QCOMPARE(sentence->type != nmeaTypeNone, result == nmeaAccepted);
    }

    void badCharactersAnywhere_data()
    {
        QTest::addColumn<char>("bad");
        QTest::newRow("NUL") << char(0x00);
        QTest::newRow("control 1F") << char(0x1f);
        QTest::newRow("DEL") << char(0x7f);
        QTest::newRow("0x80") << char(0x80);
        QTest::newRow("0xFF") << char(0xff);
        QTest::newRow("dollar") << '$';
        QTest::newRow("exclamation mark") << '!';
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
        QVERIFY(sameField(sentence->heading.heading, 12.0));
        QCOMPARE(parser->parse(line.constData() + consumed, std::size_t(line.size()) - consumed, *sentence, &consumed),
                 nmeaAccepted);
        QCOMPARE(sentence->type, nmeaTypeThs);
        QCOMPARE(consumed, std::size_t(line.size()) - std::size_t(first.size()));
    }

    void truncatedSentences_data()
    {
        // Every row has a correct checksum: only the structure can tell the sentence is cut.
        QTest::addColumn<QByteArray>("body");
        QTest::newRow("GGA") << QByteArray("GPGGA,213121.000,4404.1295864,N,12118.8685453,W,2,07");
        QTest::newRow("GNS") << QByteArray("GPGNS,112257.00,3844.24011,N,00908.43828,W,AN");
        QTest::newRow("RMC") << QByteArray("GPRMC,000346.03,A,4808");
        QTest::newRow("GLL") << QByteArray("GPGLL,3844.24011,N,00908.43828");
        QTest::newRow("GSA") << QByteArray("GNGSA,A,3,13,16,21,15,10");
        QTest::newRow("GSV header") << QByteArray("GPGSV,3,1");
        QTest::newRow("GSV half a satellite") << QByteArray("GPGSV,3,1,12,05,06,110,19,10,24");
        QTest::newRow("GST") << QByteArray("GPGST,112257.00,0.387,317.719");
        QTest::newRow("GRS") << QByteArray("GPGRS,150119.000,1,-0.33,-2.59");
        QTest::newRow("HDT") << QByteArray("GPHDT");
        QTest::newRow("THS") << QByteArray("GNTHS,244.28");
        QTest::newRow("VTG") << QByteArray("GPVTG,,T,,M,2C");
        QTest::newRow("ZDA") << QByteArray("GPZDA,112257.00,22,03");
        QTest::newRow("ALM") << QByteArray("GPALM,1,1,15,1159,00,441d,4e,16be");
    }

    void truncatedSentences()
    {
        QFETCH(QByteArray, body);
        QCOMPARE(parse(nmeaLine(body)), nmeaMalformed);
        parser->setAllowMissingChecksum(true);
        QCOMPARE(parse("$" + body), nmeaMalformed);
    }

    void fieldsOutOfRange_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::newRow("60 minutes of latitude") << QByteArray(Gga).replace("4404.1295864", "4460.0000000");
        QTest::newRow("latitude beyond the pole") << QByteArray(Gga).replace("4404.1295864", "9100.0000000");
        QTest::newRow("latitude of a longitude") << QByteArray(Gga).replace("4404.1295864", "12118.8685453");
        QTest::newRow("longitude beyond 180") << QByteArray(Gga).replace("12118.8685453", "18100.0000");
        QTest::newRow("hemisphere letter") << QByteArray(Gga).replace(",N,", ",X,");
        QTest::newRow("hemisphere without value") << QByteArray(Gga).replace("4404.1295864", "");
        QTest::newRow("signed latitude") << QByteArray(Gga).replace("4404.1295864", "-4404.1295864");
        QTest::newRow("hour 25") << QByteArray(Gga).replace("213121.000", "253121.000");
        QTest::newRow("61 seconds") << QByteArray(Gga).replace("213121.000", "213161.000");
        QTest::newRow("short time") << QByteArray(Gga).replace("213121.000", "2131");
        QTest::newRow("letters in a number") << QByteArray(Gga).replace("1102.537", "11O2.537");
        QTest::newRow("two decimal points") << QByteArray(Gga).replace("1102.537", "1102.5.37");
        QTest::newRow("only a sign") << QByteArray(Gga).replace("1102.537", "-");
        QTest::newRow("twenty digits") << QByteArray(Gga).replace("1102.537", "11111111111111111111");
        QTest::newRow("fix quality 10") << QByteArray(Gga).replace(",W,2,07,", ",W,10,07,");
        QTest::newRow("altitude unit feet") << QByteArray(Gga).replace("1102.537,M", "1102.537,F");
        QTest::newRow("GSV sentence beyond the count") << QByteArray("GPGSV,3,4,12,05,06,110,19");
        QTest::newRow("GSV count zero") << QByteArray("GPGSV,0,0,12,05,06,110,19");
        QTest::newRow("GSV elevation 107") << QByteArray("GPGSV,3,1,12,66,107,110,19");
        QTest::newRow("GSV azimuth 400") << QByteArray("GPGSV,3,1,12,05,06,400,19");
        QTest::newRow("GSV signal id not hex") << QByteArray("GPGSV,1,1,01,05,06,110,19,G");
        QTest::newRow("GSV nine satellites") << QByteArray("GPGSV,1,1,09" + QByteArray(",05,06,110,19").repeated(9));
        QTest::newRow("GSA fix type 4") << QByteArray("GPGSA,A,4,04,09,,,,,,,,,,,1.21,0.94,0.76");
        QTest::newRow("GSA id not a number") << QByteArray("GPGSA,A,3,04,X9,,,,,,,,,,,1.21,0.94,0.76");
        QTest::newRow("GSA one id short") << QByteArray("GPGSA,A,3,04,09,,,,,,,,,,1.21,0.94,0.76");
        QTest::newRow("RMC status X") << QByteArray("GPRMC,005947.00,X,3715.6616,N,12157.6709,W,0.0,0.0,080710,,");
        QTest::newRow("RMC day 32") << QByteArray("GPRMC,005947.00,A,3715.6616,N,12157.6709,W,0.0,0.0,320710,,");
        QTest::newRow("RMC course 400") << QByteArray("GPRMC,005947.00,A,3715.6616,N,12157.6709,W,0.0,400.0,080710,,");
        QTest::newRow("GST negative error") << QByteArray("GPGST,112257.00,0.387,317.719,3.872,1.791,-317.563,10.659,180.746");
        QTest::newRow("HDT above 360") << QByteArray("GPHDT,361.0,T");
        QTest::newRow("THS mode X") << QByteArray("GNTHS,244.28,X");
        QTest::newRow("ZDA month 13") << QByteArray("GPZDA,112257.00,22,13,2012,,");
        QTest::newRow("ZDA date in part") << QByteArray("GPZDA,112257.00,22,,2012,,");
        QTest::newRow("ALM PRN 33") << QByteArray("GPALM,1,1,33,1159,00,441d,4e,16be,fd5e,a10c9f,4a2da4,686e81,58cbe1,0a4,001");
        QTest::newRow("ALM not hex") << QByteArray("GPALM,1,1,15,1159,00,441g,4e,16be,fd5e,a10c9f,4a2da4,686e81,58cbe1,0a4,001");
        QTest::newRow("ALM field too wide") << QByteArray("GPALM,1,1,15,1159,00,1441d,4e,16be,fd5e,a10c9f,4a2da4,686e81,58cbe1,0a4,001");
        QTest::newRow("ALM unsigned sign-extended") << QByteArray("GPALM,1,1,15,1159,00,441d,4e,16be,fd5e,ffa10c9f,4a2da4,686e81,58cbe1,0a4,001");
        QTest::newRow("ALM partly empty") << QByteArray("GPALM,1,1,15,1159,00,441d,,16be,fd5e,a10c9f,4a2da4,686e81,58cbe1,0a4,001");
        QTest::newRow("GRS residual not a number") << QByteArray("GPGRS,150119.000,1,-0.33,x,,,,,,,,,,");
    }

    void fieldsOutOfRange()
    {
        QFETCH(QByteArray, body);
        QCOMPARE(parse(nmeaLine(body)), nmeaMalformed);
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
        QTest::newRow("IN integrated") << QByteArray("IN") << nmeaSystemOther;
    }

    void talkers()
    {
        QFETCH(QByteArray, talker);
        QFETCH(nmeaSystem_t, system);
        QCOMPARE(parse(nmeaLine(talker + "HDT,4.0,T")), nmeaAccepted);
        QCOMPARE(sentence->system, system);
        QCOMPARE(QByteArray(sentence->talker, 2), talker);
    }

    void gga_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<double>("latitude");
        QTest::addColumn<double>("longitude");
        QTest::addColumn<double>("quality");
        QTest::addColumn<double>("satellites");
        QTest::addColumn<double>("hdop");
        QTest::addColumn<double>("altitude");
        QTest::addColumn<double>("separation");
        QTest::addColumn<double>("age");
        QTest::newRow("DGPS, western") << Gga << 44.0 + 4.1295864 / 60 << -(121.0 + 18.8685453 / 60) << 2.0 << 7.0 << 1.2
                                       << 1102.537 << -20.3 << Absent;
        QTest::newRow("southern, eastern")
            << QByteArray("GNGGA,003956.00,4552.65403,S,17030.00668,E,1,12,0.64,14.2,M,1.8,M,,")
            << -(45.0 + 52.65403 / 60) << 170.0 + 30.00668 / 60 << 1.0 << 12.0 << 0.64 << 14.2 << 1.8 << Absent;
        QTest::newRow("RTK with correction age")
            << QByteArray("GNGGA,101112.00,5742.1234567,N,01145.7654321,E,4,24,0.5,12.345,M,38.1,M,1.4,0123")
            << 57.0 + 42.1234567 / 60 << 11.0 + 45.7654321 / 60 << 4.0 << 24.0 << 0.5 << 12.345 << 38.1 << 1.4;
        QTest::newRow("no fix, empty fields") << QByteArray("GPGGA,,,,,,0,,,,M,,M,,") << Absent << Absent << 0.0
                                              << Absent << Absent << Absent << Absent << Absent;
        QTest::newRow("fourteen fields, no altitude")
            << QByteArray("GPGGA,130711,5012.790800,N,00806.879600,W,2,,,,,,,") << 50.0 + 12.7908 / 60
            << -(8.0 + 6.8796 / 60) << 2.0 << Absent << Absent << Absent << Absent << Absent;
        QTest::newRow("empty fix quality") << QByteArray("GPGGA,005947.00,3715.6616,N,12157.6709,W,,07,1.5,10.0,M,-30.0,M,,")
                                           << 37.0 + 15.6616 / 60 << -(121.0 + 57.6709 / 60) << Absent << 7.0 << 1.5
                                           << 10.0 << -30.0 << Absent;
    }

    void gga()
    {
        QFETCH(QByteArray, body);
        QCOMPARE(parse(nmeaLine(body)), nmeaAccepted);
        QCOMPARE(sentence->type, nmeaTypeGga);
        nmeaGga_t const& s = sentence->gga;
        QFETCH(double, latitude);
        QFETCH(double, longitude);
        CHECK_FIELD(s.latitude, latitude);
        CHECK_FIELD(s.longitude, longitude);
        QFETCH(double, quality);
        QFETCH(double, satellites);
        QFETCH(double, hdop);
        QFETCH(double, altitude);
        QFETCH(double, separation);
        QFETCH(double, age);
        QVERIFY(sameField(s.quality, quality));
        QVERIFY(sameField(s.satellitesUsed, satellites));
        QVERIFY(sameField(s.hdop, hdop, 1e-6));
        QVERIFY(sameField(s.altitude, altitude));
        QVERIFY(sameField(s.geoidSeparation, separation));
        QVERIFY(sameField(s.correctionAge, age, 1e-6));
    }

    void gsv_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<int>("blocks");
        QTest::addColumn<int>("firstId");
        QTest::addColumn<double>("firstSnr");
        QTest::addColumn<int>("lastId");
        QTest::addColumn<double>("lastElevation");
        QTest::addColumn<double>("signalId");
        QTest::newRow("NMEA 4.10 signal id")
            << QByteArray("GPGSV,3,1,12,05,06,110,19,10,24,284,34,13,37,124,29,15,63,083,11,1") << 4 << 5 << 19.0 << 15
            << 63.0 << 1.0;
        QTest::newRow("NMEA 4.10 L2 signal, untracked")
            << QByteArray("GPGSV,3,1,12,05,06,110,,10,24,284,,13,37,124,,15,63,083,,6") << 4 << 5 << Absent << 15 << 63.0
            << 6.0;
        QTest::newRow("NMEA 4.11 hex signal id") << QByteArray("GBGSV,1,1,01,13,40,210,41,B") << 1 << 13 << 41.0 << 13
                                                 << 40.0 << 11.0;
        QTest::newRow("NMEA 2 short last sentence") << QByteArray("GPGSV,3,3,10,26,04,276,,27,15,218,31") << 2 << 26
                                                    << Absent << 27 << 15.0 << Absent;
        QTest::newRow("startup, nothing in view") << QByteArray("GPGSV,3,1,00,,,,,,,,,,,,,,,,") << 4 << 0 << Absent << 0
                                                  << Absent << Absent;
        QTest::newRow("header only") << QByteArray("GPGSV,1,1,00") << 0 << 0 << Absent << 0 << Absent << Absent;
        QTest::newRow("old BeiDou numbering") << QByteArray("BDGSV,1,1,03,214,34,246,25,206,08,330,,212,04,172,26")
                                              << 3 << 214 << 25.0 << 212 << 4.0 << Absent;
        QTest::newRow("decimal directions") << QByteArray("GPGSV,1,1,01,07,73.5,042.25,17.1") << 1 << 7 << 17.1 << 7
                                            << 73.5 << Absent;
    }

    void gsv()
    {
        QFETCH(QByteArray, body);
        QFETCH(int, blocks);
        QFETCH(int, firstId);
        QFETCH(double, firstSnr);
        QFETCH(int, lastId);
        QFETCH(double, lastElevation);
        QFETCH(double, signalId);
        QCOMPARE(parse(nmeaLine(body)), nmeaAccepted);
        nmeaGsv_t const& s = sentence->gsv;
        QCOMPARE(s.satelliteCount, blocks);
        QVERIFY(sameField(s.signalId, signalId));
        if (blocks == 0)
            return;
        QCOMPARE(int(s.satellites[0].id), firstId);
        QVERIFY(sameField(s.satellites[0].snr, firstSnr, 1e-5));
        QCOMPARE(int(s.satellites[blocks - 1].id), lastId);
        QVERIFY(sameField(s.satellites[blocks - 1].elevation, lastElevation, 1e-5));
    }

    void gsa_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<int>("ids");
        QTest::addColumn<double>("pdop");
        QTest::addColumn<double>("vdop");
        QTest::addColumn<double>("systemId");
        QTest::newRow("NMEA 4.10 GLONASS") << QByteArray("GNGSA,A,3,82,66,81,,,,,,,,,,1.05,0.64,0.83,2") << 3 << 1.05
                                           << 0.83 << 2.0;
        QTest::newRow("NMEA 2, twelve in use") << QByteArray("GPGSA,A,3,04,09,16,26,07,03,27,02,11,12,13,14,1.21,0.94,0.76")
                                               << 12 << 1.21 << 0.76 << Absent;
        QTest::newRow("2D fix, no VDOP") << QByteArray("GPGSA,A,2,10,13,23,,,,,,,,,,10.5,10.5,") << 3 << 10.5 << Absent
                                         << Absent;
        QTest::newRow("no fix") << QByteArray("GPGSA,A,1,,,,,,,,,,,,,,,") << 0 << Absent << Absent << Absent;
    }

    void gsa()
    {
        QFETCH(QByteArray, body);
        QFETCH(int, ids);
        QFETCH(double, pdop);
        QFETCH(double, vdop);
        QFETCH(double, systemId);
        QCOMPARE(parse(nmeaLine(body)), nmeaAccepted);
        nmeaGsa_t const& s = sentence->gsa;
        int count = 0;
        for (std::uint16_t id : s.ids)
            count += id ? 1 : 0;
        QCOMPARE(count, ids);
        QVERIFY(sameField(s.pdop, pdop, 1e-6));
        QVERIFY(sameField(s.vdop, vdop, 1e-6));
        QVERIFY(sameField(s.systemId, systemId));
    }

    void rmc_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<char>("status");
        QTest::addColumn<char>("mode");
        QTest::addColumn<double>("speed");
        QTest::addColumn<int>("year");
        QTest::newRow("NMEA 2.0") << QByteArray("GPRMC,005947.00,A,3715.6616,N,12157.6709,W,0.0,0.0,080710,,") << 'A'
                                  << char(0) << 0.0 << 2010;
        QTest::newRow("NMEA 2.3 with mode") << QByteArray("GPRMC,200619.30,A,5313.2228,N,00634.4228,E,00.0,000.0,200506,00,W,A")
                                            << 'A' << 'A' << 0.0 << 2006;
        QTest::newRow("NMEA 4.10 with status") << QByteArray("GNRMC,003956.00,A,4552.65403,S,17030.00668,E,0.025,,120419,,,A,V")
                                               << 'A' << 'A' << 0.025 << 2019;
        QTest::newRow("mode in place of the variation's side")
            << QByteArray("GPRMC,130711.00,A,5012.790800,N,00806.879600,W,0.5,3.0,010611,,A") << 'A' << 'A' << 0.5 << 2011;
        QTest::newRow("void, 1999") << QByteArray("GPRMC,235947.00,V,,,,,,,220899,,,N") << 'V' << 'N' << Absent << 1999;
    }

    void rmc()
    {
        QFETCH(QByteArray, body);
        QFETCH(char, status);
        QFETCH(char, mode);
        QFETCH(double, speed);
        QFETCH(int, year);
        QCOMPARE(parse(nmeaLine(body)), nmeaAccepted);
        nmeaRmc_t const& s = sentence->rmc;
        QCOMPARE(s.status, status);
        QCOMPARE(s.mode, mode);
        QVERIFY(sameField(s.speed, speed));
        QVERIFY(s.date);
        QCOMPARE(s.date->year, year);
    }

    void gst_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<double>("semiMajor");
        QTest::addColumn<double>("orientation");
        QTest::addColumn<double>("heightError");
        QTest::newRow("all seven") << QByteArray("GPGST,112257.00,0.387,317.719,3.872,1.791,317.563,10.659,180.746")
                                   << 317.719 << 1.791 << 180.746;
        QTest::newRow("no ellipse") << QByteArray("GNGST,003956.00,235111,,,,2.3,3.5,4.0") << Absent << Absent << 4.0;
        QTest::newRow("leading zeros") << QByteArray("GPGST,150119.000,004.0,008.7,004.7,132.3,006.8,007.2,00014")
                                       << 8.7 << 132.3 << 14.0;
        QTest::newRow("all empty") << QByteArray("GPGST,150119.000,,,,,,,") << Absent << Absent << Absent;
    }

    void gst()
    {
        QFETCH(QByteArray, body);
        QFETCH(double, semiMajor);
        QFETCH(double, orientation);
        QFETCH(double, heightError);
        QCOMPARE(parse(nmeaLine(body)), nmeaAccepted);
        nmeaGst_t const& s = sentence->gst;
        QVERIFY(sameField(s.semiMajor, semiMajor, 1e-4));
        QVERIFY(sameField(s.orientation, orientation, 1e-4));
        QVERIFY(sameField(s.heightError, heightError, 1e-4));
    }

    void grs_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<int>("residuals");
        QTest::addColumn<double>("first");
        QTest::addColumn<double>("systemId");
        QTest::newRow("NMEA 2") << QByteArray("GPGRS,150119.000,1,-0.33,-2.59,3.03,-0.09,-2.98,7.12,-15.6,17.0,,,,") << 8
                                << -0.33 << Absent;
        QTest::newRow("NMEA 4.10") << QByteArray("GNGRS,003956.00,1,0.5,-0.2,0.1,,,,,,,,,,3,7") << 3 << 0.5 << 3.0;
    }

    void grs()
    {
        QFETCH(QByteArray, body);
        QFETCH(int, residuals);
        QFETCH(double, first);
        QFETCH(double, systemId);
        QCOMPARE(parse(nmeaLine(body)), nmeaAccepted);
        nmeaGrs_t const& s = sentence->grs;
        int count = 0;
        for (auto const& r : s.residuals)
            count += r ? 1 : 0;
        QCOMPARE(count, residuals);
        QVERIFY(sameField(s.residuals[0], first, 1e-6));
        QVERIFY(sameField(s.systemId, systemId));
    }

    void headings_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<double>("heading");
        QTest::addColumn<char>("mode");
        QTest::newRow("HDT from a gyro") << QByteArray("HEHDT,4.0,T") << 4.0 << char(0);
        QTest::newRow("HDT empty") << QByteArray("GPHDT,,T") << Absent << char(0);
        QTest::newRow("HDT 360 is north") << QByteArray("GPHDT,360.0,T") << 0.0 << char(0);
        QTest::newRow("THS autonomous") << QByteArray("GNTHS,244.28,A") << 244.28 << 'A';
        QTest::newRow("THS invalid") << QByteArray("GNTHS,,V") << Absent << 'V';
    }

    void headings()
    {
        QFETCH(QByteArray, body);
        QFETCH(double, heading);
        QFETCH(char, mode);
        QCOMPARE(parse(nmeaLine(body)), nmeaAccepted);
        QVERIFY(sameField(sentence->heading.heading, heading));
        QCOMPARE(sentence->heading.mode, mode);
    }

    void otherSentences()
    {
        QCOMPARE(parse(nmeaLine("GPVTG,339.1,T,333.5,M,0.1,N,0.2,K,A")), nmeaAccepted);
        QVERIFY(sameField(sentence->vtg.courseTrue, 339.1));
        QVERIFY(sameField(sentence->vtg.speedKmh, 0.2));
        QCOMPARE(parse(nmeaLine("GPZDA,112257.00,22,03,2012,-03,30")), nmeaAccepted);
        QVERIFY(sentence->zda.date);
        QCOMPARE(sentence->zda.date->month, 3);
        QVERIFY(sameField(sentence->zda.zoneHours, -3.0));
        QVERIFY(sameField(sentence->zda.time, 11 * 3600 + 22 * 60 + 57.0));
        QCOMPARE(parse(nmeaLine("GPGLL,3844.24011,N,00908.43828,W,112257.00,A,A")), nmeaAccepted);
        QVERIFY(sameField(sentence->gll.longitude, -(9.0 + 8.43828 / 60)));
        QCOMPARE(parse(nmeaLine("GPGNS,112257.00,3844.24011,N,00908.43828,W,AN,03,10.5,,,,")), nmeaAccepted);
        QCOMPARE(sentence->gns.modeCount, 2);
        QCOMPARE(sentence->gns.modes[1], 'N');
    }

    void almanac_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<int>("inclination");
        QTest::addColumn<int>("rate");
        QTest::addColumn<int>("af0");
        // The reference example of the ALM sentence.
        QTest::newRow("reference") << QByteArray("GPALM,1,1,15,1159,00,441d,4e,16be,fd5e,a10c9f,4a2da4,686e81,58cbe1,0a4,001")
                                   << 0x16be << 0xfd5e - 0x10000 << 0x0a4;
        QTest::newRow("sign-extended to 32 bits")
            << QByteArray("GPALM,1,1,15,1159,00,441d,4e,16be,fffffd5e,a10c9f,4a2da4,686e81,58cbe1,fffffc01,001")
            << 0x16be << 0xfd5e - 0x10000 << 0x401 - 0x800;
    }

    void almanac()
    {
        QFETCH(QByteArray, body);
        QFETCH(int, inclination);
        QFETCH(int, rate);
        QFETCH(int, af0);
        QCOMPARE(parse(nmeaLine(body)), nmeaAccepted);
        nmeaAlm_t const& s = sentence->alm;
        QVERIFY(s.hasData);
        QCOMPARE(s.prn, 15);
        QCOMPARE(s.week, 1159);
        QCOMPARE(s.eccentricity, 0x441du);
        QCOMPARE(s.toa, 0x4eu);
        QCOMPARE(s.inclination, inclination);
        QCOMPARE(s.rateOfRightAscension, rate);
        QCOMPARE(s.sqrtA, 0xa10c9fu);
        QCOMPARE(s.meanAnomaly, 0x58cbe1);
        QCOMPARE(s.af0, af0);
    }

    void almanacOfASatelliteWithoutOne()
    {
        QCOMPARE(parse(nmeaLine("GPALM,32,1,01,,,,,,,,,,,,")), nmeaAccepted);
        QVERIFY(!sentence->alm.hasData);
    }
};

QTEST_APPLESS_MAIN(tst_nmeaParser)
#include "tst_nmeaParser.moc"
