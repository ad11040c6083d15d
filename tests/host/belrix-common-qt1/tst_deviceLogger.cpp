#include "fullDisk.h"
#include "testData.h"
#include "testFiles.h"

#include <belrix_common_qt/csvFields.h>
#include <belrix_common_qt/dataClock.h>
#include <belrix_common_qt/deviceLogger.h>
#include <belrix_common_qt/navConstants.h>
#include <belrix_common_qt/nmeaDecoder.h>
#include <belrix_common_qt/qcDataStore.h>
#include <belrix_common_qt/remoteDevice.h>

#include <QtTest>

#include <cmath>
#include <cstring>
#include <memory>

using namespace belrix_common_qt;

namespace {
constexpr double T0 = 1717588800.0;   // 2024-06-05 12:00:00 UTC
constexpr double Deg = 3.14159265358979323846 / 180.0;

std::uint32_t bits(std::initializer_list<int> fields)
{
    std::uint32_t mask = 0xf0000000u;   // no fields, as the dialog keeps them
    for (int f : fields)
        mask |= std::uint32_t(1) << f;
    return mask;
}

// One receiver epoch at data time t: a fix, a stale height, GST without RMS, a QC summary.
// Orientations are kept in radians.
void epoch(remoteDevice_t& device, double t)
{
    device.setFixTime(dataItem_t<double>(t + 0.5, t));
    device.setInputPosition(dataItem_t<position_t>(position_t(59.5 * Deg, -10.25 * Deg), t));
    device.setEllipsoidalHeight(dataItem_t<double>(12.3456, t - 4.0));
    device.setHdop(dataItem_t<float>(0.9f, t));
    pseudorangeStats_t stats;
    stats.semiMajor = 1.25f;
    stats.orientation = float(178.5 * Deg);
    device.setPseudorangeStats(dataItem_t<pseudorangeStats_t>(stats, t));
    qcSummary_t summary;
    summary.unitVariance = 0.5f;
    summary.orientation = float(30.0 * Deg);
    device.qcDataStore()->addSummary(t - 1.0, summary);
}
} // namespace

struct columns_t { std::uint32_t mask; QByteArray header, row; };
Q_DECLARE_METATYPE(columns_t)

class tst_deviceLogger : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<remoteDevice_t> m_device;
    deviceLogger_t* m_logger = nullptr;

    void startCsv(std::uint32_t mask, QString const& folder, unsigned int ageDays = 7, int mode = 0)
    {
        csvOutputCfg_t fields;
        fields.mask = mask;
        m_device->setCsvOutputCfg(fields);
        logCfg_t cfg;
        cfg.active = true;
        cfg.mode = mode;
        cfg.path = folder.toStdString();
        cfg.age = ageDays * SECONDS_PER_DAY;
        m_device->setLogCfg(logChannelExternal, cfg);
    }

    // One epoch at data time t, ended as its source ends it.
    void logEpoch(double t)
    {
        epoch(*m_device, t);
        m_logger->dataTaken(t);
        m_device->endEpoch();
    }

private slots:
    void init()
    {
        m_dir.reset(new QTemporaryDir);
        m_device.reset(new remoteDevice_t);
        m_logger = deviceLogger_t::forDevice(m_device.get());
        m_logger->setDeviceName(QStringLiteral("GNSS 1"));
        dataClock_t::setTime(T0);
    }
    void cleanup()
    {
        m_device.reset();
        dataClock_t::useSystemTime();
    }

    // The chosen fields in their order, units in the header, fixed decimals, stale and missing
    // values as empty cells.
    void maskChoosesHeaderAndRow_data()
    {
        QTest::addColumn<columns_t>("c");
        QTest::newRow("position") << columns_t{bits({1, 2, 3, 4}), "Time (UTC),Latitude [deg],Longitude [deg],Ellipsoidal Height [m]",
                                               "12:00:00.500,59.500000000,-10.250000000,"};
        QTest::newRow("statistics")
            << columns_t{bits({0, 7, 15, 16, 22, 27}),
                         "Date (UTC),HDOP,Range RMS [m],Semi-Major Axis [m],Unit Variance,Correction Signal SNR [dB-Hz]",
                         "2024-06-05,0.90,,1.250,0.500,"};
        QTest::newRow("orientations") << columns_t{bits({18, 25}), "Orientation [deg],QC Orientation [deg]", "178.50,30.00"};
        QTest::newRow("absent") << columns_t{bits({5, 6, 14}), "Fix Quality,Satellites Used,Rate of Turn [deg/min]", ",,"};
    }
    void maskChoosesHeaderAndRow()
    {
        QFETCH(columns_t, c);
        startCsv(c.mask, m_dir->path());
        QVERIFY(m_logger->isLogging(logChannelExternal));
        logEpoch(T0);
        m_device->endEpoch();   // no data since: no second row
        QCOMPARE(readFile(m_logger->fileName(logChannelExternal)), c.header + '\n' + c.row + '\n');
        QCOMPARE(QFileInfo(m_logger->fileName(logChannelExternal)).fileName(), QStringLiteral("GNSS_1_20240605.csv"));
    }

    // An epoch's row is written once the epoch has ended, whatever ends it, and not before:
    // sentences of the epoch may still come.
    void epochRowWaitsForItsEnd_data()
    {
        QTest::addColumn<QString>("ending");
        QTest::addColumn<bool>("written");
        QTest::newRow("the source ends it") << "source" << true;
        QTest::newRow("quiet past the bound") << "quiet 1.001" << true;
        QTest::newRow("quiet up to the bound") << "quiet 1.0" << false;
        QTest::newRow("replay wound back") << "quiet -5" << true;
        QTest::newRow("the log stops") << "stop" << true;
        QTest::newRow("the device goes") << "gone" << true;
    }
    void epochRowWaitsForItsEnd()
    {
        QFETCH(QString, ending);
        QFETCH(bool, written);
        startCsv(bits({1, 16}), m_dir->path());
        QString const file = m_logger->fileName(logChannelExternal);
        auto* timer = m_logger->findChild<QTimer*>(QStringLiteral("epochQuietTimer"));
        QVERIFY(timer && timer->isActive());
        epoch(*m_device, T0);
        m_logger->dataTaken(T0);
        QByteArray const header = "Time (UTC),Semi-Major Axis [m]\n";
        QByteArray const row = "12:00:00.500,1.250\n";
        if (ending == "source") {
            m_device->endEpoch();
        } else if (ending.startsWith("quiet")) {
            dataClock_t::setTime(T0 + ending.section(' ', 1).toDouble());
            QMetaObject::invokeMethod(timer, "timeout");
        } else if (ending == "stop") {
            m_device->setLogCfg(logChannelExternal, logCfg_t());
        } else {
            m_device.reset();
        }
        QCOMPARE(readFile(file), written ? header + row : header);
        // once only
        if (m_device)
            m_device->endEpoch();
        QCOMPARE(readFile(file), header + row);
    }

    // Appending goes on only below the same header: a day's file with other columns is left as
    // it is, and rows go to the first numbered file that is new or has this header.
    void appendingKeepsColumnsUnderTheirHeader_data()
    {
        QTest::addColumn<QStringList>("existing");   // "file name:first line", with a row below when not empty
        QTest::addColumn<QString>("used");
        QTest::newRow("same fields") << QStringList{"GNSS_1_20240605.csv:Time (UTC)"} << "GNSS_1_20240605.csv";
        QTest::newRow("empty file") << QStringList{"GNSS_1_20240605.csv:"} << "GNSS_1_20240605.csv";
        QTest::newRow("other fields") << QStringList{"GNSS_1_20240605.csv:Date (UTC)"} << "GNSS_1_20240605-2.csv";
        QTest::newRow("more fields") << QStringList{"GNSS_1_20240605.csv:Time (UTC),HDOP"} << "GNSS_1_20240605-2.csv";
        QTest::newRow("header cut short") << QStringList{"GNSS_1_20240605.csv:Time (UTC"} << "GNSS_1_20240605-2.csv";
        QTest::newRow("ours numbered")
            << QStringList{"GNSS_1_20240605.csv:Date (UTC)", "GNSS_1_20240605-2.csv:Time (UTC)"} << "GNSS_1_20240605-2.csv";
        QTest::newRow("others numbered")
            << QStringList{"GNSS_1_20240605.csv:Date (UTC)", "GNSS_1_20240605-2.csv:HDOP"} << "GNSS_1_20240605-3.csv";
    }
    void appendingKeepsColumnsUnderTheirHeader()
    {
        QFETCH(QStringList, existing);
        QFETCH(QString, used);
        QMap<QString, QByteArray> files;   // name: contents
        for (QString const& entry : existing) {
            QString const name = entry.section(':', 0, 0);
            files[name] = entry.endsWith(':') ? QByteArray() : entry.section(':', 1).toUtf8() + "\nold row\n";
            QVERIFY(writeFile(m_dir->filePath(name), files[name]));
        }
        startCsv(bits({1}), m_dir->path(), 7, 1);
        logEpoch(T0);
        QCOMPARE(QFileInfo(m_logger->fileName(logChannelExternal)).fileName(), used);
        QByteArray& ours = files[used];
        ours = (ours.isEmpty() ? QByteArray("Time (UTC)\n") : ours) + "12:00:00.500\n";
        for (auto it = files.cbegin(); it != files.cend(); ++it)
            QCOMPARE(readFile(m_dir->filePath(it.key())), it.value());
    }

    // Real receivers, each sending its sentences in its own order: every epoch's row holds that
    // epoch's GST.
    void rowHoldsTheGstOfItsEpoch_data()
    {
        QTest::addColumn<QString>("capture");
        for (char const* name : {"polarx2", "quectel-L70", "skytraq-dgps", "ublox-zed-f9p-nmea", "isync"})
            QTest::newRow(name) << QString::fromLatin1(name);
    }
    void rowHoldsTheGstOfItsEpoch()
    {
        QFETCH(QString, capture);
        QString const path = sharedDataPath(QStringLiteral("nmea/gpsd/") + capture + QStringLiteral(".log"));
        if (path.isEmpty())
            QSKIP("ORVANE_SHARED_DATA has no NMEA captures");
        QFile input(path);
        QVERIFY(input.open(QIODevice::ReadOnly));
        startCsv(bits({1, 15, 19}), m_dir->path());   // time, RMS, latitude error
        QString const file = m_logger->fileName(logChannelExternal);
        nmeaDecoder_t decoder(m_device.get());
        QList<QByteArray> expected;
        double t = T0;
        for (QByteArray line : input.readAll().split('\n')) {
            line = line.trimmed();
            std::uint64_t const accepted = decoder.counters().accepted;
            decoder.decodeLine(line.constData(), std::size_t(line.size()), t += 0.01);
            if (decoder.counters().accepted != accepted)
                m_logger->dataTaken(t);
            QList<QByteArray> const f = line.split('*').first().split(',');
            if (line.mid(3, 3) == "GST" && f.size() > 6)   // whole seconds in these captures
                expected << f[1].left(2) + ':' + f[1].mid(2, 2) + ':' + f[1].mid(4, 2) + ".000,"
                                + QByteArray::number(f[2].toDouble(), 'f', 3) + ',' + QByteArray::number(f[6].toDouble(), 'f', 3);
        }
        m_device->setLogCfg(logChannelExternal, logCfg_t());   // the last epoch too
        QList<QByteArray> const rows = readFile(file).split('\n');
        QVERIFY(!expected.isEmpty());
        for (QByteArray const& row : expected)
            QVERIFY2(rows.contains(row), row.constData());
    }

    // A new file each UTC day of the data; files older than the age go when a file is begun,
    // others' files stay.
    void daysRotateAndOldFilesGo()
    {
        for (char const* name : {"GNSS_1_20240601.csv", "GNSS_1_20240603-2.csv", "GNSS_1_20240604.csv", "other_20240101.csv"})
            QVERIFY(writeFile(m_dir->filePath(name), QByteArray()));
        startCsv(bits({1}), m_dir->path(), 2);
        auto present = [this] { return QDir(m_dir->path()).entryList(QDir::Files, QDir::Name); };
        QCOMPARE(present(), (QStringList{"GNSS_1_20240603-2.csv", "GNSS_1_20240604.csv", "GNSS_1_20240605.csv",
                                         "other_20240101.csv"}));
        logEpoch(T0 + 43199.0);
        logEpoch(T0 + 43200.0);   // midnight
        QCOMPARE(present(), (QStringList{"GNSS_1_20240604.csv", "GNSS_1_20240605.csv", "GNSS_1_20240606.csv",
                                         "other_20240101.csv"}));
        QCOMPARE(readFile(m_dir->filePath("GNSS_1_20240605.csv")), QByteArray("Time (UTC)\n23:59:59.500\n"));
        QCOMPARE(readFile(m_dir->filePath("GNSS_1_20240606.csv")), QByteArray("Time (UTC)\n00:00:00.500\n"));
        QCOMPARE(m_logger->bytesWritten(logChannelExternal), qint64(2 * 24));
        // a new session never overwrites the day's file
        m_device->setLogCfg(logChannelExternal, logCfg_t());
        startCsv(bits({1}), m_dir->path(), 2);
        QCOMPARE(QFileInfo(m_logger->fileName(logChannelExternal)).fileName(), QStringLiteral("GNSS_1_20240605-2.csv"));
    }

    // A failure stops that channel, says why at once and leaves whole lines; the other channel
    // logs on.
    void failureStopsOneChannel_data()
    {
        QTest::addColumn<int>("failure");
        QTest::newRow("unwritable folder") << 0;
        QTest::newRow("file removed") << 1;
        QTest::newRow("full disk") << 2;
    }
    void failureStopsOneChannel()
    {
        QFETCH(int, failure);
        fullDisk_t disk;
        if (failure == 2 && !disk.isMounted())
            QSKIP("cannot mount a small file system here");
        startCsv(bits({1}), m_dir->filePath("csv"));
        QSignalSpy changed(m_logger, &deviceLogger_t::statusChanged);
        logCfg_t raw;
        raw.active = true;
        raw.path = (failure == 2 ? disk.filePath("raw") : m_dir->filePath("raw")).toStdString();
        if (failure == 0) {
            QVERIFY(writeFile(m_dir->filePath("blocker"), QByteArray()));
            raw.path = m_dir->filePath("blocker/raw").toStdString();
        }
        m_device->setLogCfg(logChannelRaw, raw);
        QString const file = m_logger->fileName(logChannelRaw);
        m_logger->writeRaw("$GPHDT,1.0,T*00", T0);
        if (failure == 1)
            QVERIFY(QFile::remove(file));
        if (failure == 2)
            disk.fill();
        for (int i = 1; i < 200 && m_logger->isLogging(logChannelRaw); ++i)
            m_logger->writeRaw("$GPGGA,120000.00,5736.0000,N,01115.0000,E,1,08,0.9,10.0,M,38.0,M,,*00", T0 + i);

        QVERIFY(!m_logger->isLogging(logChannelRaw));
        QVERIFY(!m_device->logCfg(logChannelRaw)->active);
        QCOMPARE(m_device->logCfg(logChannelRaw)->path, raw.path);
        QVERIFY(changed.count() >= 1);
        QVERIFY2(m_logger->status(logChannelRaw).startsWith("Logging stopped: "), qPrintable(m_logger->status(logChannelRaw)));
        char const* const reasons[] = {"cannot create the folder", "was removed", std::strerror(ENOSPC)};
        QVERIFY2(m_logger->errorString(logChannelRaw).contains(QString::fromLocal8Bit(reasons[failure])),
                 qPrintable(m_logger->errorString(logChannelRaw)));
        if (failure == 2)
            QVERIFY(readFile(file).endsWith("*00\n"));
        QVERIFY(m_logger->isLogging(logChannelExternal));
    }

    // What the program writes, a CSV reader reads: one column per field, every row alike.
    void pythonReadsTheLog()
    {
        QString const python = QStandardPaths::findExecutable(QStringLiteral("python3"));
        if (python.isEmpty())
            QSKIP("python3 is not installed");
        startCsv(0xffffffffu, m_dir->path());
        logEpoch(T0);
        epoch(*m_device, T0 + 1.0);
        m_device->setHeading(dataItem_t<float>(359.999f, T0 + 1.0));
        m_logger->dataTaken(T0 + 1.0);
        m_device->endEpoch();
        QProcess process;
        process.start(python, {"-c",
                               "import csv, sys\n"
                               "rows = list(csv.reader(open(sys.argv[1], newline='')))\n"
                               "print(len(rows), sorted({len(r) for r in rows}))\n"
                               "print(rows[0][2], rows[0][13], rows[2][2], rows[2][13], repr(rows[1][13]))\n",
                               m_logger->fileName(logChannelExternal)});
        QVERIFY(process.waitForFinished(30000));
        QCOMPARE(process.exitCode(), 0);
        QCOMPARE(QString::fromUtf8(process.readAllStandardOutput()).trimmed(),
                 QStringLiteral("3 [28]\nLatitude [deg] Heading [deg] 59.500000000 360.00 ''"));
    }
};

QTEST_GUILESS_MAIN(tst_deviceLogger)
#include "tst_deviceLogger.moc"
