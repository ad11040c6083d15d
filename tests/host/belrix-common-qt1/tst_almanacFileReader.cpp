// Almanac files of every format: real ones read whole with the right times, a faulty one
// rejected with its file and line.

#include <belrix_common_qt/almanacFileReader.h>
#include <belrix_common_qt/gnssTime.h>
#include <belrix_common_qt/navConstants.h>

#include <QtTest>

#include "testData.h"

#include <cmath>

using namespace belrix_common_qt;

namespace {

// A GPS almanac's reference time in UTC, the leap seconds of its day given.
double gpsReference(int week, double toa, double leapSeconds)
{
    return GpsEpochUtc + week * SecondsPerGpsWeek + toa - leapSeconds;
}

// GPSTk's dump of a decoded almanac: per PRN, its parameters by name.
QMap<int, QMap<QString, double>> readDump(QString const& path)
{
    QMap<int, QMap<QString, double>> dump;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return dump;
    int prn = 0;
    while (!file.atEnd()) {
        QList<QByteArray> const f = file.readLine().simplified().split(' ');
        if (f.size() >= 2 && f[0] == "ORB/CLK")
            prn = f.last().toInt();
        else if (prn > 0 && f.size() >= 2 && f[0] != "Parameter")
            dump[prn][QString::fromLatin1(f[0])] = f[1].startsWith("0x") ? f[1].mid(2).toInt(nullptr, 16) : f[1].toDouble();
    }
    return dump;
}

// A GPS entry's parameters under the names of GPSTk's dump.
QMap<QString, double> parameters(almanacGps_t const& a)
{
    return {{"AHalf", a.sqrtA}, {"af0", a.af0}, {"af1", a.af1}, {"Omega0", a.rightAscension}, {"e", a.eccentricity},
            {"deltai", a.inclination - 0.3 * Pi}, {"Omega_Dot", a.rateOfRightAscension}, {"w", a.argumentOfPerigee},
            {"M0", a.meanAnomaly}, {"Health", double(a.health)}};
}

// An almanac file (or its content with one fault put in) and what reading it gives.
struct reading_t {
    QString file;
    QByteArray fault, by;   // the fault replaces this text
    double readAt;
    almanacFileReader_t::format_t format;
    int entries, unhealthy;
    double firstReference;
    QString error;   // expected start of the message
};

} // namespace

Q_DECLARE_METATYPE(reading_t)

// An almanac, and GPSTk's dump of it or the same almanac in the other format.
struct decoding_t { QString file, other; double tolerance; };
Q_DECLARE_METATYPE(decoding_t)

class tst_almanacFileReader : public QObject
{
    Q_OBJECT

private slots:
    // Each format: real files from their publishers read whole, with the reference time of the
    // first entry (ten-bit weeks placed by the reading time, GLONASS node times from Moscow
    // time), and one faulty file rejected naming its line.
    void readsAlmanacFiles_data()
    {
        QTest::addColumn<reading_t>("r");
        auto const yuma = almanacFileReader_t::formatYuma;
        auto const sem = almanacFileReader_t::formatSem;
        auto const agl = almanacFileReader_t::formatGlonassAgl;
        auto const agp = almanacFileReader_t::formatGpsAgp;
        QByteArray const none;
        QString const ok;
        QString const yuma819 = QStringLiteral("gps/yuma_wk0819_toa319488_2015-05-06_gpstk.txt");
        QString const sem862 = QStringLiteral("gps/sem_wk0862_toa319488_2016-03-02_orekit.al3");
        QString const agl2018 = QStringLiteral("glonass/glonass_iac_MCCJ_180913.agl");
        QString const agp2018 = QStringLiteral("gps/gps_iac_MCCJ_180913_wk2018_toa589824_2018-09-15.agp");

        QTest::newRow("YUMA week 377 in 2006, two unhealthy")
            << reading_t{"gps/yuma_wk0377_toa319488_2006-11-15_gpstk.txt", none, none, utcSeconds(2006, 11, 20), yuma, 30,
                         2, gpsReference(1401, 319488, 14), ok};
        QTest::newRow("YUMA week 377 read in July 2026: the third ten-bit epoch")
            << reading_t{"gps/yuma_wk0377_toa319488_2006-11-15_gpstk.txt", none, none, utcSeconds(2026, 7, 1), yuma, 30, 2,
                         gpsReference(2425, 319488, 18), ok};
        QTest::newRow("YUMA week 819")
            << reading_t{yuma819, none, none, utcSeconds(2026, 1, 1), yuma, 31, 0, gpsReference(1843, 319488, 16), ok};
        QTest::newRow("YUMA week 862, two unhealthy")
            << reading_t{"gps/yuma_wk0862_toa319488_2016-03-02_orekit.alm", none, none, utcSeconds(2016, 3, 1), yuma, 31, 2,
                         gpsReference(1886, 319488, 17), ok};
        QTest::newRow("YUMA week 866")
            << reading_t{"gps/yuma_wk0866_toa589824_2016-04-02_orekit.alm", none, none, utcSeconds(2016, 4, 1), yuma, 31, 0,
                         gpsReference(1890, 589824, 17), ok};
        QTest::newRow("YUMA with a word for a number")
            << reading_t{yuma819, "0.4164695740E-002", "zero", 0.0, yuma, 0, 0, 0.0,
                         "bad.alm:4: Eccentricity is not a number"};
        QTest::newRow("YUMA of QZSS: no GPS PRN")
            << reading_t{"qzss/qzss_yuma_wk1015_toa262144_2019-02-06_orekit.alm", none, none, 0.0, yuma, 0, 0, 0.0,
                         "qzss_yuma_wk1015_toa262144_2019-02-06_orekit.alm:2: ID 193 is outside 1 to 32"};

        QTest::newRow("SEM week 387, one unhealthy")
            << reading_t{"gps/sem_wk0387_toa589824_2007-01-27_gpstk.txt", none, none, utcSeconds(2007, 2, 1), sem, 30, 1,
                         gpsReference(1411, 589824, 14), ok};
        QTest::newRow("SEM week 862")
            << reading_t{sem862, none, none, utcSeconds(2016, 3, 1), sem, 31, 2, gpsReference(1886, 319488, 17), ok};
        QTest::newRow("SEM announcing a record more than it holds")
            << reading_t{sem862, "31  CURRENT", "32  CURRENT", 0.0, sem, 0, 0, 0.0,
                         "bad.alm:1: announces 32 records but holds 31"};

        QTest::newRow(".agl 2018")
            << reading_t{agl2018, none, none, 0.0, agl, 24, 0, utcSeconds(2018, 9, 13) + 9552.0625 - 10800.0, ok};
        QTest::newRow(".agl 2017") << reading_t{"glonass/glonass_iac_MCCJ_170404.agl", none, none, 0.0, agl, 24, 0,
                                                utcSeconds(2017, 4, 3) + 16990.2187 - 10800.0, ok};
        QTest::newRow(".agl entry without its orbit line")
            << reading_t{agl2018,
                         "\n-0.9923382E+00  0.6754875E-02 -0.2874756E-01  0.4005432E-03 -0.2656180E+04  0.8544922E-03",
                         none, 0.0, agl, 0, 0, 0.0, "bad.alm:3: orbit line: 4 fields where 6 belong"};

        QTest::newRow(".agp week 1943") << reading_t{"gps/gps_iac_MCCJ_170404_wk1943_toa405504_2017-04-06.agp", none,
                                                     none, 0.0, agp, 31, 0, gpsReference(1943, 405504, 18), ok};
        QTest::newRow(".agp week 2017") << reading_t{"gps/gps_iac_MCCJ_180901_wk2017_toa147456_2018-09-03.agp", none,
                                                     none, 0.0, agp, 31, 0, gpsReference(2017, 147456, 18), ok};
        QTest::newRow(".agp week 2018")
            << reading_t{agp2018, none, none, 0.0, agp, 31, 0, gpsReference(2018, 589824, 18), ok};
        QTest::newRow(".agp with 31 September")
            << reading_t{agp2018, "15 09 2018", "31 09 2018", 0.0, agp, 0, 0, 0.0, "bad.alm:2: 31.9.2018 is no date"};

        QTest::newRow("not an almanac")
            << reading_t{agl2018, "13 09 2018", "hello", 0.0, almanacFileReader_t::formatUnknown, 0, 0, 0.0,
                         "bad.alm:1: not a YUMA, SEM, .agl or .agp almanac"};
    }
    void readsAlmanacFiles()
    {
        QFETCH(reading_t, r);
        almanacFileReader_t reader;
        reader.setRolloverReference(r.readAt);
        QString const path = sharedDataPath(QStringLiteral("almanac/") + r.file);
        if (path.isEmpty())
            QSKIP("shared almanac data not present");
        bool ok = false;
        if (r.fault.isEmpty()) {
            ok = reader.read(path);
        } else {
            QFile in(path);
            QVERIFY(in.open(QIODevice::ReadOnly));
            ok = reader.readData(in.readAll().replace(r.fault, r.by), QStringLiteral("bad.alm"));
        }
        QCOMPARE(reader.format(), r.format);
        if (!r.error.isEmpty()) {
            QVERIFY(!ok);
            QVERIFY2(reader.errorString().contains(r.error), qPrintable(reader.errorString()));
            QVERIFY(reader.gps().empty() && reader.glonass().empty());
            return;
        }
        QVERIFY2(ok, qPrintable(reader.errorString()));
        bool const glonass = r.format == almanacFileReader_t::formatGlonassAgl;
        QCOMPARE(int(glonass ? reader.glonass().size() : reader.gps().size()), r.entries);
        QCOMPARE(int(glonass ? reader.gps().size() : reader.glonass().size()), 0);
        int sick = 0;
        for (almanacGps_t const& a : reader.gps())
            sick += a.health != 0;
        for (almanacGlonass_t const& a : reader.glonass())
            sick += a.health != 0;
        QCOMPARE(sick, r.unhealthy);
        double const first = glonass ? reader.glonass().front().referenceTime : reader.gps().front().referenceTime();
        QVERIFY2(std::fabs(first - r.firstReference) < 1e-3, qPrintable(QString::number(first - r.firstReference)));
    }

    // Every value of the YUMA and SEM readings against GPSTk's decoding of the same files, and
    // the week-862 almanac, which was published in both formats, alike in both readings.
    void agreesWithOtherDecodings_data()
    {
        QTest::addColumn<decoding_t>("d");
        QTest::newRow("YUMA 377, GPSTk")
            << decoding_t{"gps/yuma_wk0377_toa319488_2006-11-15_gpstk.txt",
                          "expected/gpstk_Yuma_T_yuma377_decoded.exp", 1e-8};
        QTest::newRow("SEM 387, GPSTk")
            << decoding_t{"gps/sem_wk0387_toa589824_2007-01-27_gpstk.txt",
                          "expected/gpstk_SEM_T_sem387_decoded.exp", 1e-8};
        QTest::newRow("SEM 862 and YUMA 862")
            << decoding_t{"gps/sem_wk0862_toa319488_2016-03-02_orekit.al3",
                          "gps/yuma_wk0862_toa319488_2016-03-02_orekit.alm", 1e-8};
    }
    void agreesWithOtherDecodings()
    {
        QFETCH(decoding_t, d);
        QString const path = sharedDataPath(QStringLiteral("almanac/") + d.file);
        QString const otherPath = sharedDataPath(QStringLiteral("almanac/") + d.other);
        if (path.isEmpty() || otherPath.isEmpty())
            QSKIP("shared almanac data not present");
        almanacFileReader_t reader;
        QVERIFY2(reader.read(path), qPrintable(reader.errorString()));

        QMap<int, QMap<QString, double>> expected;
        if (d.other.endsWith(QLatin1String(".exp"))) {
            expected = readDump(otherPath);
        } else {
            almanacFileReader_t second;
            QVERIFY2(second.read(otherPath), qPrintable(second.errorString()));
            for (almanacGps_t const& a : second.gps())
                expected[int(a.prn)] = parameters(a);
        }
        QCOMPARE(int(reader.gps().size()), expected.size());
        for (almanacGps_t const& a : reader.gps()) {
            QMap<QString, double> const& e = expected.value(int(a.prn));
            QMap<QString, double> const ours = parameters(a);
            for (auto it = ours.begin(); it != ours.end(); ++it) {
                QVERIFY2(e.contains(it.key()), qPrintable(it.key()));
                double const want = e.value(it.key());
                QVERIFY2(std::fabs(it.value() - want) <= d.tolerance * std::fmax(1.0, std::fabs(want)),
                         qPrintable(QStringLiteral("PRN %1 %2: %3 against %4")
                                        .arg(a.prn)
                                        .arg(it.key())
                                        .arg(it.value(), 0, 'g', 12)
                                        .arg(want, 0, 'g', 12)));
            }
        }
    }
};

QTEST_GUILESS_MAIN(tst_almanacFileReader)
#include "tst_almanacFileReader.moc"
