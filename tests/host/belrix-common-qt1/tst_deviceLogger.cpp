#include "fullDisk.h"

#include <belrix_common_qt/csvFields.h>
#include <belrix_common_qt/dataClock.h>
#include <belrix_common_qt/deviceLogger.h>
#include <belrix_common_qt/navConstants.h>
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
void epoch(remoteDevice_t& device, double t)
{
    device.setFixTime(dataItem_t<double>(t + 0.5, t));
    device.setInputPosition(dataItem_t<position_t>(position_t(59.5 * Deg, -10.25 * Deg), t));
    device.setEllipsoidalHeight(dataItem_t<double>(12.3456, t - 4.0));
    device.setHdop(dataItem_t<float>(0.9f, t));
    pseudorangeStats_t stats;
    stats.semiMajor = 1.25f;
    device.setPseudorangeStats(dataItem_t<pseudorangeStats_t>(stats, t));
    qcSummary_t summary;
    summary.unitVariance = 0.5f;
    device.qcDataStore()->addSummary(t - 1.0, summary);
}

QByteArray contents(QString const& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}
} // namespace

class tst_deviceLogger : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<remoteDevice_t> m_device;
    deviceLogger_t* m_logger = nullptr;

    void startCsv(std::uint32_t mask, QString const& folder, unsigned int ageDays = 7)
    {
        csvOutputCfg_t fields;
        fields.mask = mask;
        m_device->setCsvOutputCfg(fields);
        logCfg_t cfg;
        cfg.active = true;
        cfg.path = folder.toStdString();
        cfg.age = ageDays * SECONDS_PER_DAY;
        m_device->setLogCfg(logChannelExternal, cfg);
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
        QTest::addColumn<std::uint32_t>("mask");
        QTest::addColumn<QByteArray>("header");
        QTest::addColumn<QByteArray>("row");
        QTest::newRow("position") << bits({1, 2, 3, 4}) << QByteArray("Time (UTC),Latitude [deg],Longitude [deg],Ellipsoidal Height [m]")
                                  << QByteArray("12:00:00.500,59.500000000,-10.250000000,");
        QTest::newRow("statistics") << bits({0, 7, 15, 16, 22, 27})
                                    << QByteArray("Date (UTC),HDOP,Range RMS [m],Semi-Major Axis [m],Unit Variance,"
                                                  "Correction Signal SNR [dB-Hz]")
                                    << QByteArray("2024-06-05,0.90,,1.250,0.500,");
        QTest::newRow("absent") << bits({5, 6, 14}) << QByteArray("Fix Quality,Satellites Used,Rate of Turn [deg/min]")
                                << QByteArray(",,");
    }
    void maskChoosesHeaderAndRow()
    {
        QFETCH(std::uint32_t, mask);
        QFETCH(QByteArray, header);
        QFETCH(QByteArray, row);
        startCsv(mask, m_dir->path());
        QVERIFY(m_logger->isLogging(logChannelExternal));
        epoch(*m_device, T0);
        m_logger->checkEpoch();
        m_logger->checkEpoch();   // the same epoch again: no second row
        QCOMPARE(contents(m_logger->fileName(logChannelExternal)), header + '\n' + row + '\n');
        QCOMPARE(QFileInfo(m_logger->fileName(logChannelExternal)).fileName(), QStringLiteral("GNSS_1_20240605.csv"));
    }

    // A new file each UTC day of the data; files older than the age go when a file is begun,
    // others' files stay.
    void daysRotateAndOldFilesGo()
    {
        for (char const* name : {"GNSS_1_20240601.csv", "GNSS_1_20240603-2.csv", "GNSS_1_20240604.csv", "other_20240101.csv"}) {
            QFile file(m_dir->filePath(name));
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        startCsv(bits({1}), m_dir->path(), 2);
        auto present = [this] { return QDir(m_dir->path()).entryList(QDir::Files, QDir::Name); };
        QCOMPARE(present(), (QStringList{"GNSS_1_20240603-2.csv", "GNSS_1_20240604.csv", "GNSS_1_20240605.csv",
                                         "other_20240101.csv"}));
        epoch(*m_device, T0 + 43199.0);
        m_logger->checkEpoch();
        epoch(*m_device, T0 + 43200.0);   // midnight
        m_logger->checkEpoch();
        QCOMPARE(present(), (QStringList{"GNSS_1_20240604.csv", "GNSS_1_20240605.csv", "GNSS_1_20240606.csv",
                                         "other_20240101.csv"}));
        QCOMPARE(contents(m_dir->filePath("GNSS_1_20240605.csv")), QByteArray("Time (UTC)\n23:59:59.500\n"));
        QCOMPARE(contents(m_dir->filePath("GNSS_1_20240606.csv")), QByteArray("Time (UTC)\n00:00:00.500\n"));
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
            QFile blocker(m_dir->filePath("blocker"));
            QVERIFY(blocker.open(QIODevice::WriteOnly));
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
            QVERIFY(contents(file).endsWith("*00\n"));
        QVERIFY(m_logger->isLogging(logChannelExternal));
    }

    // What the program writes, a CSV reader reads: one column per field, every row alike.
    void pythonReadsTheLog()
    {
        QString const python = QStandardPaths::findExecutable(QStringLiteral("python3"));
        if (python.isEmpty())
            QSKIP("python3 is not installed");
        startCsv(0xffffffffu, m_dir->path());
        epoch(*m_device, T0);
        m_logger->checkEpoch();
        epoch(*m_device, T0 + 1.0);
        m_device->setHeading(dataItem_t<float>(359.999f, T0 + 1.0));
        m_logger->checkEpoch();
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
