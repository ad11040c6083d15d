#include "nmeaTestLines.h"

#include <belrix_common_qt/almMgrGps.h>
#include <belrix_common_qt/coordConverter.h>
#include <belrix_common_qt/navSatNumbering.h>
#include <belrix_common_qt/nmeaDecoder.h>
#include <belrix_common_qt/qcDataStore.h>
#include <belrix_common_qt/qcSettingsBase.h>
#include <belrix_common_qt/remoteController.h>
#include <belrix_common_qt/remoteDevice.h>
#include <belrix_common_qt/remoteNavSat.h>

#include <QtTest>

#include <cmath>
#include <cstdlib>
#include <memory>
#include <new>
#include <belrix_common_qt/navConstants.h>

using namespace belrix_common_qt;

Q_DECLARE_METATYPE(belrix_common_qt::constellation_t)
Q_DECLARE_METATYPE(belrix_common_qt::nmeaLineResult_t)

// Counts allocations while a test asks for it: the decoder must not allocate once warm.
namespace {
bool countAllocations = false;
long allocations = 0;
}

void* operator new(std::size_t size)
{
    if (countAllocations)
        ++allocations;
    if (void* p = std::malloc(size ? size : 1))
        return p;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size) { return operator new(size); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }

namespace {


bool near(double actual, double expected, double tolerance = 1e-6) { return std::fabs(actual - expected) <= tolerance; }

// Moves every position 0.001 rad north for display, as a datum shift would.
class shiftingConverter_t : public coordConverter_t
{
public:
    bool storedToDisplay(position_t const& stored, position_t& display) const override
    {
        display = stored;
        display.lat += 0.001;
        return true;
    }
};

class failingConverter_t : public coordConverter_t
{
public:
    bool storedToDisplay(position_t const&, position_t&) const override { return false; }
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

    nmeaLineResult_t feed(QByteArray const& body, double t = 1000.0)
    {
        QByteArray const line = nmeaLine(body);
        return decoder->decodeLine(line.constData(), std::size_t(line.size()), t);
    }

    nmeaLineResult_t feedRaw(QByteArray const& line, double t = 1000.0)
    {
        return decoder->decodeLine(line.constData(), std::size_t(line.size()), t);
    }

private slots:
    void init()
    {
        controller.reset(new remoteController_t);
        device.reset(new remoteDevice_t);
        decoder.reset(new nmeaDecoder_t(device.get(), controller.get()));
        countAllocations = false;
    }

    void cleanup()
    {
        decoder.reset();
        device.reset();
        controller.reset();
    }

    void numbering_data()
    {
        QTest::addColumn<constellation_t>("constellation");
        QTest::addColumn<int>("prn");
        QTest::addColumn<int>("number");
        QTest::newRow("GPS 1") << constellationGps << 1 << 1;
        QTest::newRow("GPS 32") << constellationGps << 32 << 32;
        QTest::newRow("GPS 33") << constellationGps << 33 << 0;
        QTest::newRow("SBAS 119") << constellationSbas << 119 << 0;
        QTest::newRow("SBAS 120") << constellationSbas << 120 << 33;
        QTest::newRow("SBAS 151") << constellationSbas << 151 << 64;
        QTest::newRow("SBAS 152") << constellationSbas << 152 << 0;
        QTest::newRow("GLONASS slot 0") << constellationGlonass << 0 << 0;
        QTest::newRow("GLONASS slot 1") << constellationGlonass << 1 << 65;
        QTest::newRow("GLONASS slot 32") << constellationGlonass << 32 << 96;
        QTest::newRow("QZSS 192") << constellationQzss << 192 << 0;
        QTest::newRow("QZSS 193") << constellationQzss << 193 << 193;
        QTest::newRow("QZSS 202") << constellationQzss << 202 << 202;
        QTest::newRow("Galileo 36") << constellationGalileo << 36 << 336;
        QTest::newRow("Galileo 37") << constellationGalileo << 37 << 0;
        QTest::newRow("BeiDou 63") << constellationBeidou << 63 << 463;
        QTest::newRow("BeiDou 64") << constellationBeidou << 64 << 0;
        QTest::newRow("L-band service") << constellationCorrection << 1 << 0;
    }

    void numbering()
    {
        QFETCH(constellation_t, constellation);
        QFETCH(int, prn);
        QFETCH(int, number);
        QCOMPARE(int(navSatNumber(constellation, unsigned(prn))), number);
        if (number) {
            QVERIFY(unsigned(number) < NavSatNumberLimit);
            QCOMPARE(navSatConstellation(unsigned(number)), constellation);
            QCOMPARE(int(navSatPrn(unsigned(number))), prn);
        }
    }

    void talkerAndIdGiveTheSatellite_data()
    {
        QTest::addColumn<QByteArray>("talker");
        QTest::addColumn<int>("id");
        QTest::addColumn<int>("number");
        QTest::addColumn<constellation_t>("constellation");
        QTest::newRow("GPS") << QByteArray("GP") << 5 << 5 << constellationGps;
        QTest::newRow("SBAS, NMEA numbering") << QByteArray("GP") << 46 << 46 << constellationSbas;
        QTest::newRow("SBAS, raw PRN") << QByteArray("GP") << 124 << 37 << constellationSbas;
        QTest::newRow("GLONASS under GP") << QByteArray("GP") << 70 << 70 << constellationGlonass;
        QTest::newRow("QZSS under GP") << QByteArray("GP") << 193 << 193 << constellationQzss;
        QTest::newRow("GLONASS") << QByteArray("GL") << 65 << 65 << constellationGlonass;
        QTest::newRow("GLONASS by slot") << QByteArray("GL") << 7 << 71 << constellationGlonass;
        QTest::newRow("Galileo") << QByteArray("GA") << 12 << 312 << constellationGalileo;
        QTest::newRow("Galileo, extended numbering") << QByteArray("GA") << 312 << 312 << constellationGalileo;
        QTest::newRow("BeiDou") << QByteArray("GB") << 13 << 413 << constellationBeidou;
        QTest::newRow("BeiDou, old talker") << QByteArray("BD") << 214 << 414 << constellationBeidou;
        QTest::newRow("QZSS, NMEA 4.11") << QByteArray("GQ") << 2 << 194 << constellationQzss;
        QTest::newRow("Galileo under GN") << QByteArray("GN") << 301 << 301 << constellationGalileo;
        QTest::newRow("BeiDou under GN") << QByteArray("GN") << 405 << 405 << constellationBeidou;
        QTest::newRow("NavIC is not kept") << QByteArray("GI") << 5 << 0 << constellationUnknown;
        QTest::newRow("GPS id out of every range") << QByteArray("GP") << 99 << 0 << constellationUnknown;
        QTest::newRow("SBAS PRN beyond the numbering") << QByteArray("GP") << 155 << 0 << constellationUnknown;
        QTest::newRow("Galileo PRN 37") << QByteArray("GA") << 37 << 0 << constellationUnknown;
    }

    void talkerAndIdGiveTheSatellite()
    {
        QFETCH(QByteArray, talker);
        QFETCH(int, id);
        QFETCH(int, number);
        QFETCH(constellation_t, constellation);
        QCOMPARE(feed(talker + "GSV,1,1,01," + QByteArray::number(id) + ",40,120,38"), nmeaAccepted);
        auto const sats = device->allNavSats();
        if (number == 0) {
            QVERIFY(sats.empty());
            return;
        }
        QCOMPARE(int(sats.size()), 1);
        remoteNavSat_t const* sat = device->navSat(unsigned(number));
        QVERIFY(sat);
        QCOMPARE(sat->constellation(), constellation);
        QCOMPARE(navSatConstellation(unsigned(number)), constellation);
        QVERIFY(near(sat->elevation().value(), 40.0));
        QVERIFY(near(sat->azimuth().value(), 120.0));
        QVERIFY(sat->freq(0));
        QVERIFY(near(sat->freq(0)->value().level, 38.0));
    }

    void signalIdGivesTheFrequency_data()
    {
        QTest::addColumn<QByteArray>("talker");
        QTest::addColumn<int>("id");
        QTest::addColumn<QByteArray>("signal");
        QTest::addColumn<int>("index");
        QTest::addColumn<int>("signalId");
        QTest::newRow("GPS L1 C/A") << QByteArray("GP") << 5 << QByteArray(",1") << 0 << 1;
        QTest::newRow("GPS L2C-L") << QByteArray("GP") << 5 << QByteArray(",6") << 1 << 6;
        QTest::newRow("GPS L5-Q") << QByteArray("GP") << 5 << QByteArray(",8") << 2 << 8;
        QTest::newRow("SBAS L1") << QByteArray("GP") << 46 << QByteArray(",1") << 0 << 1;
        QTest::newRow("GLONASS G2") << QByteArray("GL") << 66 << QByteArray(",3") << 1 << 3;
        QTest::newRow("Galileo E1-BC") << QByteArray("GA") << 7 << QByteArray(",7") << 0 << 7;
        QTest::newRow("Galileo E5b") << QByteArray("GA") << 7 << QByteArray(",2") << 1 << 2;
        QTest::newRow("Galileo E5a") << QByteArray("GA") << 7 << QByteArray(",1") << 2 << 1;
        QTest::newRow("BeiDou B1I") << QByteArray("GB") << 13 << QByteArray(",1") << 0 << 1;
        QTest::newRow("BeiDou B2I") << QByteArray("GB") << 13 << QByteArray(",B") << 1 << 11;
        QTest::newRow("BeiDou B2a") << QByteArray("GB") << 13 << QByteArray(",5") << 2 << 5;
        QTest::newRow("QZSS L5") << QByteArray("GQ") << 2 << QByteArray(",7") << 2 << 7;
        QTest::newRow("before NMEA 4.10, GPS") << QByteArray("GP") << 5 << QByteArray() << 0 << 1;
        QTest::newRow("before NMEA 4.10, Galileo") << QByteArray("GA") << 7 << QByteArray() << 0 << 7;
    }

    void signalIdGivesTheFrequency()
    {
        QFETCH(QByteArray, talker);
        QFETCH(int, id);
        QFETCH(QByteArray, signal);
        QFETCH(int, index);
        QFETCH(int, signalId);
        QCOMPARE(feed(talker + "GSV,1,1,01," + QByteArray::number(id) + ",40,120,41" + signal), nmeaAccepted);
        auto const sats = device->allNavSats();
        QCOMPARE(int(sats.size()), 1);
        remoteNavSat_t const* sat = sats.begin()->second;
        for (int i = 0; i < remoteNavSat_t::MaxFrequencies; ++i)
            QCOMPARE(sat->freq(i) != nullptr, i == index);
        QCOMPARE(int(sat->freq(index)->value().signalId), signalId);
        QVERIFY(near(sat->freq(index)->value().level, 41.0));
    }

    void multiPartSkyViewReplacesTheLastOne()
    {
        // cycle 1: satellites 5, 10, 13, 15, 16 and 20; cycle 2: 16 has set
        QList<QByteArray> const first = {"GPGSV,2,1,06,05,06,110,19,10,24,284,34,13,37,124,29,15,63,083,11",
                                         "GPGSV,2,2,06,16,11,248,10,20,52,273,34"};
        QList<QByteArray> const second = {"GPGSV,2,1,05,05,07,110,20,10,24,284,34,13,37,124,29,15,63,083,11",
                                          "GPGSV,2,2,05,20,52,273,34"};
        for (QByteArray const& s : first)
            QCOMPARE(feed(s, 100.0), nmeaAccepted);
        QCOMPARE(int(device->allNavSats().size()), 6);
        QCOMPARE(feed(second[0], 101.0), nmeaAccepted);
        QVERIFY2(device->navSat(16), "a satellite stays until its group is complete");
        QCOMPARE(feed(second[1], 101.0), nmeaAccepted);
        QVERIFY(!device->navSat(16));
        QCOMPARE(int(device->allNavSats().size()), 5);
        QVERIFY(near(device->navSat(5)->elevation().value(), 7.0));
        QCOMPARE(device->navSat(5)->elevation().timestamp(), 101.0);
    }

    void aSatelliteStaysWhileAnotherGroupListsIt()
    {
        // L2 lists satellite 24 that L1 no longer does; GLONASS has its own talker
        QCOMPARE(feed("GPGSV,1,1,02,05,06,110,19,24,07,045,20,1", 100.0), nmeaAccepted);
        QCOMPARE(feed("GPGSV,1,1,02,05,06,110,25,24,07,045,22,6", 100.0), nmeaAccepted);
        QCOMPARE(feed("GLGSV,1,1,01,65,53,144,30,1", 100.0), nmeaAccepted);
        QCOMPARE(feed("GPGSV,1,1,01,05,06,110,19,1", 101.0), nmeaAccepted);
        QVERIFY(device->navSat(24));
        QVERIFY(device->navSat(65));
        QCOMPARE(feed("GPGSV,1,1,01,05,06,110,25,6", 101.0), nmeaAccepted);
        QVERIFY(!device->navSat(24));
        QVERIFY(device->navSat(65));
    }

    void aMissedSentenceRemovesNothing()
    {
        QCOMPARE(feed("GPGSV,2,1,04,05,06,110,19,10,24,284,34,13,37,124,29,15,63,083,11", 100.0), nmeaAccepted);
        QCOMPARE(feed("GPGSV,2,2,04,16,11,248,10", 100.0), nmeaAccepted);   // not standard, but 5 listed
        QCOMPARE(int(device->allNavSats().size()), 5);
        // part 1 lost: part 2 alone must not make 5, 10, 13 and 15 disappear
        QCOMPARE(feed("GPGSV,2,2,04,16,11,248,10", 101.0), nmeaAccepted);
        QCOMPARE(int(device->allNavSats().size()), 5);
    }

    void aGroupThatFallsSilentIsForgotten()
    {
        QCOMPARE(feed("GLGSV,1,1,01,65,53,144,30", 100.0), nmeaAccepted);
        QCOMPARE(feed("GPGSV,1,1,01,05,06,110,19", 100.0), nmeaAccepted);
        QCOMPARE(feed("GPGSV,1,1,01,05,06,110,19", 120.0), nmeaAccepted);
        QVERIFY(device->navSat(65));
        QCOMPARE(feed("GPGSV,1,1,01,05,06,110,19", 131.0), nmeaAccepted);
        QVERIFY(!device->navSat(65));
        QVERIFY(device->navSat(5));
    }

    void emptyFieldsWithdrawEarlierValues()
    {
        QCOMPARE(feed("GPGSV,1,1,01,05,06,110,19", 100.0), nmeaAccepted);
        QCOMPARE(feed("GPGSV,1,1,01,05,,,", 101.0), nmeaAccepted);
        remoteNavSat_t const* sat = device->navSat(5);
        QVERIFY(sat);
        QVERIFY(!sat->elevation().isValid());
        QVERIFY(!sat->azimuth().isValid());
        QVERIFY(sat->freq(0));
        QVERIFY(!sat->freq(0)->isValid());
        QCOMPARE(sat->freq(0)->timestamp(), 101.0);
    }

    void satellitesInUseFollowGsa_data()
    {
        QTest::addColumn<QList<QByteArray>>("epoch1");
        QTest::addColumn<QList<QByteArray>>("epoch2");
        QTest::newRow("NMEA 4.10 system ids")
            << QList<QByteArray>{"GNGSA,A,3,05,10,13,,,,,,,,,,1.1,0.6,0.9,1", "GNGSA,A,3,65,66,,,,,,,,,,,1.1,0.6,0.9,2"}
            << QList<QByteArray>{"GNGSA,A,3,05,10,,,,,,,,,,,1.2,0.7,1.0,1", "GNGSA,A,3,65,66,,,,,,,,,,,1.2,0.7,1.0,2"};
        QTest::newRow("NMEA 4.0, one GN sentence per system")
            << QList<QByteArray>{"GNGSA,A,3,05,10,13,,,,,,,,,,1.1,0.6,0.9", "GNGSA,A,3,65,66,,,,,,,,,,,1.1,0.6,0.9"}
            << QList<QByteArray>{"GNGSA,A,3,05,10,,,,,,,,,,,1.2,0.7,1.0", "GNGSA,A,3,65,66,,,,,,,,,,,1.2,0.7,1.0"};
        QTest::newRow("one talker per system")
            << QList<QByteArray>{"GPGSA,A,3,05,10,13,,,,,,,,,,1.1,0.6,0.9", "GLGSA,A,3,65,66,,,,,,,,,,,1.1,0.6,0.9"}
            << QList<QByteArray>{"GPGSA,A,3,05,10,,,,,,,,,,,1.2,0.7,1.0", "GLGSA,A,3,65,66,,,,,,,,,,,1.2,0.7,1.0"};
    }

    void satellitesInUseFollowGsa()
    {
        QFETCH(QList<QByteArray>, epoch1);
        QFETCH(QList<QByteArray>, epoch2);
        QCOMPARE(feed("GPGSV,1,1,04,05,06,110,19,10,24,284,34,13,37,124,29,15,63,083,11", 100.0), nmeaAccepted);
        QCOMPARE(feed("GLGSV,1,1,02,65,53,144,30,66,58,305,32", 100.0), nmeaAccepted);
        for (QByteArray const& s : epoch1)
            QCOMPARE(feed(s, 100.0), nmeaAccepted);
        for (unsigned int n : {5u, 10u, 13u, 65u, 66u})
            QVERIFY2(device->navSat(n)->isUsed(), qPrintable(QString::number(n)));
        QVERIFY(!device->navSat(15)->isUsed());
        QCOMPARE(device->satellitesUsed().value(), 5u);
        for (QByteArray const& s : epoch2)
            QCOMPARE(feed(s, 101.0), nmeaAccepted);
        QVERIFY(!device->navSat(13)->isUsed());
        QVERIFY(device->navSat(65)->isUsed());
        QVERIFY(device->navSat(5)->isUsed());
        QCOMPARE(device->satellitesUsed().value(), 4u);
        QVERIFY(near(device->pdop().value(), 1.2));
        QVERIFY(near(device->vdop().value(), 1.0));
        // satellites arriving after the GSA take their flag from it
        QCOMPARE(feed("GPGSV,1,1,02,05,06,110,19,13,37,124,29", 101.0), nmeaAccepted);
        QVERIFY(device->navSat(5)->isUsed());
        QVERIFY(!device->navSat(13)->isUsed());
    }

    void ggaFillsTheItems()
    {
        controller->setCoordConverter(new shiftingConverter_t);
        QCOMPARE(feed(Gga, 500.0), nmeaAccepted);
        double const lat = -(45.0 + 52.65403 / 60.0) * DegToRad;
        double const lon = (170.0 + 30.00668 / 60.0) * DegToRad;
        QVERIFY(device->inputPosition().isValid());
        QVERIFY(near(device->inputPosition().value().lat, lat, 1e-12));
        QVERIFY(near(device->inputPosition().value().lon, lon, 1e-12));
        QCOMPARE(device->inputPosition().timestamp(), 500.0);
        QVERIFY(near(device->displayPosition().value().lat, lat + 0.001, 1e-12));
        QVERIFY(near(device->ellipsoidalHeight().value(), 14.2 + 1.8));
        QCOMPARE(device->fixQuality().value(), int(fixQualityDgps));
        QCOMPARE(device->satellitesUsed().value(), 12u);
        QVERIFY(near(device->hdop().value(), 0.64));
        QVERIFY(near(device->correctionAge().value(), 3.5));
    }

    void displayPositionWithoutAController()
    {
        nmeaDecoder_t plain(device.get());
        QByteArray const line = nmeaLine(Gga);
        QCOMPARE(plain.decodeLine(line.constData(), std::size_t(line.size()), 1.0), nmeaAccepted);
        QCOMPARE(device->displayPosition().value().lat, device->inputPosition().value().lat);
        QVERIFY(device->displayPosition().isValid());
    }

    void aConverterThatFailsLeavesNoDisplayPosition()
    {
        QCOMPARE(feed(Gga, 1.0), nmeaAccepted);
        controller->setCoordConverter(new failingConverter_t);
        QCOMPARE(feed(Gga, 2.0), nmeaAccepted);
        QVERIFY(device->inputPosition().isValid());
        QVERIFY(!device->displayPosition().isValid());
    }

    void heightNeedsTheGeoidSeparation()
    {
        QCOMPARE(feed("GPGGA,130711,5012.790800,N,00806.879600,W,2,08,1.1,25.0,M,,M,,", 1.0), nmeaAccepted);
        QVERIFY(device->inputPosition().isValid());
        QVERIFY(!device->ellipsoidalHeight().isValid());
    }

    void noFixWithdrawsThePosition_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::newRow("GGA quality 0") << QByteArray("GPGGA,235952.00,0000.0000,N,00000.0000,E,0,00,0.0,,M,,M,,");
        QTest::newRow("GGA empty") << QByteArray("GPGGA,,,,,,0,,,,M,,M,,");
        QTest::newRow("RMC void") << QByteArray("GPRMC,235947.00,V,,,,,,,220899,,,N");
        QTest::newRow("GNS no fix") << QByteArray("GPGNS,112257.00,,,,,NN,00,,,,,");
        QTest::newRow("GLL void") << QByteArray("GPGLL,3844.24011,N,00908.43828,W,112257.00,V,N");
    }

    void noFixWithdrawsThePosition()
    {
        QFETCH(QByteArray, body);
        QCOMPARE(feed(Gga, 10.0), nmeaAccepted);
        position_t const before = device->inputPosition().value();
        QCOMPARE(feed(body, 11.0), nmeaAccepted);
        QVERIFY(!device->inputPosition().isValid());
        QVERIFY(!device->displayPosition().isValid());
        // the last position stays for inspection
        QCOMPARE(device->inputPosition().value().lat, before.lat);
        QCOMPARE(device->inputPosition().timestamp(), 10.0);
    }

    void courseAndSpeed()
    {
        QCOMPARE(feed("GPRMC,200619.30,A,5313.2228,N,00634.4228,E,10.0,271.5,200506,00,W,A", 1.0), nmeaAccepted);
        QVERIFY(near(device->speedOverGround().value(), 10.0 * 1852.0 / 3600.0, 1e-5));
        QVERIFY(near(device->courseOverGround().value(), 271.5, 1e-4));
        QCOMPARE(feed("GPVTG,,T,,M,,N,36.0,K,A", 2.0), nmeaAccepted);
        QVERIFY(near(device->speedOverGround().value(), 10.0, 1e-5));
        QCOMPARE(feed("GPVTG,,T,,M,,N,,K,N", 3.0), nmeaAccepted);
        QVERIFY(!device->speedOverGround().isValid());
    }

    void gstGivesTheErrorEllipse()
    {
        QCOMPARE(feed("GPGST,112257.00,0.387,317.719,3.872,91.791,317.563,10.659,180.746", 7.0), nmeaAccepted);
        dataItem_t<pseudorangeStats_t> const& item = device->pseudorangeStats();
        QVERIFY(item.isValid());
        QCOMPARE(item.timestamp(), 7.0);
        pseudorangeStats_t const& s = item.value();
        QVERIFY(s.rms && near(*s.rms, 0.387, 1e-5));
        QVERIFY(s.semiMajor && near(*s.semiMajor, 317.719, 1e-3));
        QVERIFY(s.semiMinor && near(*s.semiMinor, 3.872, 1e-5));
        QVERIFY(s.orientation && near(*s.orientation, 91.791 * DegToRad, 1e-6));
        QVERIFY(s.latError && near(*s.latError, 317.563, 1e-3));
        QVERIFY(s.lonError && near(*s.lonError, 10.659, 1e-5));
        QVERIFY(s.heightError && near(*s.heightError, 180.746, 1e-3));

        QCOMPARE(feed("GNGST,003956.00,235111,,,,2.3,3.5,4.0", 8.0), nmeaAccepted);
        pseudorangeStats_t const& partial = device->pseudorangeStats().value();
        QVERIFY(!partial.semiMajor && !partial.semiMinor && !partial.orientation);
        QVERIFY(partial.latError && near(*partial.latError, 2.3, 1e-6));

        // an axis: -1.1 degrees is 178.9
        QCOMPARE(feed("GPGST,213122.000,15.7,22.8,11.6,-1.1,0.4,0.6,1.3", 8.5), nmeaAccepted);
        QVERIFY(near(*device->pseudorangeStats().value().orientation, 178.9 * DegToRad, 1e-6));

        QCOMPARE(feed("GNGST,003957.00,,,,,,,", 9.0), nmeaAccepted);
        QVERIFY(!device->pseudorangeStats().isValid());
    }

    void headings()
    {
        QCOMPARE(feed("HEHDT,4.0,T", 1.0), nmeaAccepted);
        QVERIFY(near(device->heading().value(), 4.0));
        QCOMPARE(feed("GPHDT,,T", 2.0), nmeaAccepted);
        QVERIFY(!device->heading().isValid());
        QCOMPARE(feed("GNTHS,244.28,A", 3.0), nmeaAccepted);
        QVERIFY(near(device->heading().value(), 244.28, 1e-4));
        QCOMPARE(feed("GNTHS,244.30,V", 4.0), nmeaAccepted);
        QVERIFY(!device->heading().isValid());
    }

    void badLinesLeaveTheDataAsItWas_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<nmeaLineResult_t>("result");
        QByteArray const good = nmeaLine(Gga);
        QTest::newRow("bad checksum") << QByteArray(good).replace("4552.65403", "4552.65408") << nmeaBadChecksum;
        QTest::newRow("no checksum") << QByteArray("$GNGGA,003957.00,0000.00000,N,00000.00000,E,1,12,0.64,14.2,M,1.8,M,,")
                                     << nmeaBadChecksum;
        QTest::newRow("truncated") << nmeaLine("GNGGA,003957.00,0000.00000,N") << nmeaMalformed;
        QTest::newRow("latitude out of range") << nmeaLine(QByteArray(Gga).replace("4552.65403", "9952.65403"))
                                               << nmeaMalformed;
        QTest::newRow("height not a number") << nmeaLine(QByteArray(Gga).replace("14.2", "1x.2")) << nmeaMalformed;
        QTest::newRow("garbage") << QByteArray("\x01\x02\xff\xfe garbage") << nmeaMalformed;
        QTest::newRow("NUL inside") << nmeaLine(QByteArray("GNGGA,003957.00,4552.6\0" "5403", 29)) << nmeaMalformed;
        QTest::newRow("unknown sentence") << nmeaLine("GPXTE,A,A,0.67,L,N") << nmeaUnknown;
    }

    void badLinesLeaveTheDataAsItWas()
    {
        QFETCH(QByteArray, line);
        QFETCH(nmeaLineResult_t, result);
        QCOMPARE(feed(Gga, 10.0), nmeaAccepted);
        dataItem_t<position_t> const before = device->inputPosition();
        double const height = device->ellipsoidalHeight().value();
        QCOMPARE(feedRaw(line, 11.0), result);
        QCOMPARE(device->inputPosition().value().lat, before.value().lat);
        QCOMPARE(device->inputPosition().value().lon, before.value().lon);
        QCOMPARE(device->inputPosition().timestamp(), 10.0);
        QVERIFY(device->inputPosition().isValid());
        QCOMPARE(device->ellipsoidalHeight().value(), height);
        nmeaCounters_t const& c = decoder->counters();
        QCOMPARE(c.lines, 2u);
        QCOMPARE(c.accepted, 1u);
        QCOMPARE(c.badChecksum, result == nmeaBadChecksum ? 1u : 0u);
        QCOMPARE(c.malformed, result == nmeaMalformed ? 1u : 0u);
        QCOMPARE(c.unknown, result == nmeaUnknown ? 1u : 0u);
    }

    void countersCountEverySentence()
    {
        QByteArray const twoOnOneLine = nmeaLine("HEHDT,4.0,T").trimmed() + nmeaLine("HEHDT,5.0,T");
        QCOMPARE(feedRaw(twoOnOneLine), nmeaAccepted);
        QVERIFY(near(device->heading().value(), 5.0));
        QCOMPARE(feedRaw("\r\n"), nmeaMalformed);   // blank: not a line
        QCOMPARE(feedRaw(QByteArray()), nmeaMalformed);
        QCOMPARE(decoder->decodeLine(nullptr, 12, 1.0), nmeaMalformed);
        QCOMPARE(feedRaw(nmeaLine("HEHDT,4.0,T").trimmed() + "$GPHDT,1.0,T*00"), nmeaBadChecksum);
        nmeaCounters_t const& c = decoder->counters();
        QCOMPARE(c.lines, 4u);
        QCOMPARE(c.accepted, 3u);
        QCOMPARE(c.badChecksum, 1u);
        decoder->resetCounters();
        QCOMPARE(decoder->counters().lines, 0u);
    }

    void missingChecksumOnlyWhereAllowed()
    {
        QByteArray const bare = "$HEHDT,4.0,T\r\n";
        QCOMPARE(feedRaw(bare), nmeaBadChecksum);
        QVERIFY(!device->heading().isValid());
        decoder->setAllowMissingChecksum(true);
        QVERIFY(decoder->allowMissingChecksum());
        QCOMPARE(feedRaw(bare), nmeaAccepted);
        QVERIFY(device->heading().isValid());
    }

    void almanacGoesToTheController_data()
    {
        QTest::addColumn<QByteArray>("week");
        QTest::addColumn<double>("dataTime");
        QTest::addColumn<unsigned int>("fullWeek");
        QTest::newRow("full week as sent") << QByteArray("1159") << 1460064681.0 << 1159u;
        QTest::newRow("ten-bit week in 2016") << QByteArray("862") << 1460064681.0 << 1886u;
        QTest::newRow("week 0 after the 2019 rollover") << QByteArray("0") << 1555029596.0 << 2048u;
        QTest::newRow("week 1023 just before it") << QByteArray("1023") << 1555029596.0 << 2047u;
        QTest::newRow("ten-bit week in 2012") << QByteArray("0650") << 1332415377.0 << 1674u;
        QTest::newRow("no data time") << QByteArray("862") << 0.0 << 862u;
    }

    void almanacGoesToTheController()
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
        QCOMPARE(a.toa, 319488.0);
        QVERIFY(near(a.eccentricity, 17437.0 / 2097152.0, 1e-12));
        QVERIFY(near(a.sqrtA, 10554527.0 / 2048.0, 1e-9));
        QVERIFY(near(a.inclination, (0.3 + 5822.0 / 524288.0) * Pi, 1e-12));
        QVERIFY(near(a.rateOfRightAscension, -674.0 * std::ldexp(1.0, -38) * Pi, 1e-18));
        QVERIFY(near(a.argumentOfPerigee, 0x4a2da4 * std::ldexp(1.0, -23) * Pi, 1e-12));
        QVERIFY(near(a.rightAscension, 0x686e81 * std::ldexp(1.0, -23) * Pi, 1e-12));
        QVERIFY(near(a.meanAnomaly, 0x58cbe1 * std::ldexp(1.0, -23) * Pi, 1e-12));
        QVERIFY(near(a.af0, 0x0a4 * std::ldexp(1.0, -20), 1e-15));
        QVERIFY(near(a.af1, std::ldexp(1.0, -38), 1e-18));
    }

    void almanacWithoutControllerOrData()
    {
        QCOMPARE(feed("GPALM,32,1,01,,,,,,,,,,,,"), nmeaAccepted);
        QCOMPARE(controller->almMgrGps()->num(), 0u);
        nmeaDecoder_t alone(device.get());
        QByteArray const line = nmeaLine("GPALM,1,1,15,1159,00,441d,4e,16be,fd5e,a10c9f,4a2da4,686e81,58cbe1,0a4,001");
        QCOMPARE(alone.decodeLine(line.constData(), std::size_t(line.size()), 1.0), nmeaAccepted);
    }

    void residualsGiveAQcSummary()
    {
        device->qcSettings()->setAprioriSigma(0.5);
        for (QByteArray const& s : WorkedSky)
            QCOMPARE(feed(s, 300.0), nmeaAccepted);
        QCOMPARE(feed(WorkedGrs, 300.5), nmeaAccepted);
        auto const& history = device->qcDataStore()->summary();
        QCOMPARE(int(history.size()), 1);
        QCOMPARE(history.back().timestamp, 300.5);
        qcSummary_t const& s = history.back().summary;
        // the worked example with its residuals rounded to millimetres
        QVERIFY2(near(s.unitVariance, 1.25897 / 0.25, 0.02), qPrintable(QString::number(s.unitVariance)));
        QVERIFY(near(s.semiMajor, 1.58680, 0.005));
        QVERIFY(near(s.semiMinor, 0.79340, 0.005));
        QVERIFY(near(s.orientation, 30.0 * DegToRad, 0.01));
        QVERIFY(near(s.heightError, 1.11803, 0.005));
    }

    void residualsNeedSatellitesInUse()
    {
        QCOMPARE(feed(WorkedSky[0], 300.0), nmeaAccepted);
        QCOMPARE(feed(WorkedSky[1], 300.0), nmeaAccepted);
        QCOMPARE(feed(WorkedGrs, 300.0), nmeaAccepted);
        QCOMPARE(feed(Gga, 300.0), nmeaAccepted);
        QVERIFY(device->qcDataStore()->summary().empty());
    }

    void residualsOfSeveralSystemsMakeOneSummary()
    {
        for (QByteArray const& s : WorkedSky.mid(0, 2))
            QCOMPARE(feed(s, 300.0), nmeaAccepted);
        QCOMPARE(feed("GAGSV,1,1,03,11,40,045,40,12,25,160,38,13,70,280,42", 300.0), nmeaAccepted);
        QCOMPARE(feed("GNGSA,A,3,01,02,03,04,05,,,,,,,,1.5,0.9,1.2,1", 300.0), nmeaAccepted);
        QCOMPARE(feed("GNGSA,A,3,11,12,13,,,,,,,,,,1.5,0.9,1.2,3", 300.0), nmeaAccepted);
        QCOMPARE(feed("GNGRS,120000.00,0,-0.866,0.500,0.500,-0.067,-0.067,,,,,,,,1,1", 300.0), nmeaAccepted);
        QVERIFY2(device->qcDataStore()->summary().empty(), "Galileo's residuals are still to come");
        QCOMPARE(feed("GNGRS,120000.00,0,0.3,-0.2,0.1,,,,,,,,,,3,7", 300.0), nmeaAccepted);
        QCOMPARE(int(device->qcDataStore()->summary().size()), 1);
        // one system's residuals alone are summed up when the run of GRS ends
        QCOMPARE(feed("GNGRS,120001.00,0,-0.866,0.500,0.500,-0.067,-0.067,,,,,,,,1,1", 301.0), nmeaAccepted);
        QCOMPARE(int(device->qcDataStore()->summary().size()), 1);
        QCOMPARE(feed(Gga, 301.0), nmeaAccepted);
        QCOMPARE(int(device->qcDataStore()->summary().size()), 2);
    }

    void warmDecodingDoesNotAllocate()
    {
        QList<QByteArray> const epoch = {
            Gga,
            "GNRMC,003956.00,A,4552.65403,S,17030.00668,E,0.025,,120419,,,A,V",
            "GNVTG,,T,,M,0.025,N,0.045,K,A",
            "GNGSA,A,3,13,16,21,15,10,29,27,20,,,,,1.05,0.64,0.83,1",
            "GNGSA,A,3,82,66,81,,,,,,,,,,1.05,0.64,0.83,2",
            "GPGSV,3,1,12,05,06,110,19,10,24,284,34,13,37,124,29,15,63,083,11,1",
            "GPGSV,3,2,12,16,11,248,10,20,52,273,34,21,79,231,30,24,07,045,,1",
            "GPGSV,3,3,12,26,04,276,,27,15,218,31,29,24,004,13,30,00,159,,1",
            "GLGSV,1,1,04,65,53,144,,66,58,305,32,81,64,223,35,82,13,214,33,1",
            "GNGST,003956.00,235111,,,,2.3,3.5,4.0",
            "GNZDA,003956.00,12,04,2019,00,00",
            "HEHDT,4.0,T",
        };
        QList<QByteArray> lines;
        for (QByteArray const& body : epoch)
            lines << nmeaLine(body);
        for (int pass = 0; pass < 2; ++pass) {
            for (QByteArray const& line : lines)
                QCOMPARE(feedRaw(line, 100.0 + pass), nmeaAccepted);
        }
        allocations = 0;
        countAllocations = true;
        for (int pass = 2; pass < 20; ++pass) {
            for (QByteArray const& line : lines)
                decoder->decodeLine(line.constData(), std::size_t(line.size()), 100.0 + pass);
        }
        countAllocations = false;
        QCOMPARE(allocations, 0L);
        QCOMPARE(decoder->counters().accepted, quint64(20 * lines.size()));
    }

    void aSatelliteThatReturnsCostsNoAllocation()
    {
        QCOMPARE(feed("GPGSV,1,1,02,05,06,110,19,10,24,284,34", 1.0), nmeaAccepted);
        QCOMPARE(feed("GPGSV,1,1,01,05,06,110,19", 2.0), nmeaAccepted);
        QVERIFY(!device->navSat(10));
        QByteArray const back = nmeaLine("GPGSV,1,1,02,05,06,110,19,10,25,284,35");
        allocations = 0;
        countAllocations = true;
        decoder->decodeLine(back.constData(), std::size_t(back.size()), 3.0);
        countAllocations = false;
        QCOMPARE(allocations, 0L);
        remoteNavSat_t const* sat = device->navSat(10);
        QVERIFY(sat);
        QVERIFY(!sat->freq(1));   // nothing left over from before
        QVERIFY(near(sat->elevation().value(), 25.0));
    }

    void aDecoderWithoutDeviceOnlyCounts()
    {
        nmeaDecoder_t alone(nullptr);
        QByteArray const line = nmeaLine(Gga);
        QCOMPARE(alone.decodeLine(line.constData(), std::size_t(line.size()), 1.0), nmeaAccepted);
        QCOMPARE(alone.counters().accepted, 1u);
    }
};

QTEST_GUILESS_MAIN(tst_nmeaDecoder)
#include "tst_nmeaDecoder.moc"
