#include "sources/fileReplaySource.h"
#include "simulation/nmeaEncoder.h"
#include "sources/nmeaRecorder.h"

#include <belrix_common_qt/dataClock.h>
#include <belrix_common_qt/deviceLogger.h>
#include <belrix_common_qt/remoteDevice.h>

#include <QtTest>

#include <cmath>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif
#include <memory>

using namespace orvane::app;
using belrix_common_qt::dataClock_t;

namespace {
constexpr double T0 = 1717588800.0;   // 2024-06-05 12:00:00 UTC

QByteArray utc(double t, const char* format)
{
    return QDateTime::fromMSecsSinceEpoch(qint64(t * 1000.0), Qt::UTC).toString(format).toLatin1();
}

QByteArray rmc(double t)
{
    return nmeaEncoder_t::sentence("GPRMC," + utc(t, "hhmmss.zz") + ",A,5736.0000,N,01115.0000,E,10.0,90.0,"
                                   + utc(t, "ddMMyy") + ",,,A");
}

QByteArray gga(double t)
{
    return nmeaEncoder_t::sentence("GPGGA," + utc(t, "hhmmss.zz")
                                   + ",5736.0000,N,01115.0000,E,1,08,0.9,10.0,M,38.0,M,,");
}

QByteArray zda(double t) { return nmeaEncoder_t::sentence("GPZDA," + utc(t, "hhmmss.zz,dd,MM,yyyy") + ",00,00"); }

QByteArray hdt(int n) { return nmeaEncoder_t::sentence("HEHDT," + QByteArray::number(n) + ".0,T"); }

// A file replayed for some seconds: how many lines come and the span from the first line's time
// to the last's.
struct paced_t { QList<QByteArray> lines; double rate; bool loop; int seconds, count; double span; };

struct emitted_t {
    QByteArray line;
    double time;
};

// An epoch a second: RMC, GGA and an untimed HDT.
QList<QByteArray> epochs(double start, int count)
{
    QList<QByteArray> lines;
    for (int i = 0; i < count; ++i)
        lines << rmc(start + i) << gga(start + i) << hdt(i);
    return lines;
}

QList<emitted_t> take(QSignalSpy& spy)
{
    QList<emitted_t> list;
    for (QList<QVariant> const& args : spy)
        list.append({args.at(0).toByteArray(), args.at(1).toDouble()});
    spy.clear();
    return list;
}
} // namespace

Q_DECLARE_METATYPE(paced_t)

// A replay of 30 s: the first line's time, and the last line's at the end.
struct dated_t { QList<QByteArray> lines; bool loop; double first, last; };
Q_DECLARE_METATYPE(dated_t)

class tst_fileReplaySource : public QObject
{
    Q_OBJECT

    QTemporaryDir* m_dir = nullptr;

    // Paced by the test instead of its timer, and setting the data clock.
    std::unique_ptr<fileReplaySource_t> paced(QString const& path, double rate = 1.0, bool loop = false)
    {
        auto replay = std::make_unique<fileReplaySource_t>(path, rate, loop);
        replay->setManualPacing(true);
        replay->setDrivesDataClock(true);
        return replay;
    }

    QString write(QList<QByteArray> const& lines)
    {
        QString const path = m_dir->filePath(QStringLiteral("log%1.nmea").arg(QDir(m_dir->path()).count()));
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly))
            return QString();
        for (QByteArray const& line : lines)
            file.write(line + "\r\n");
        return path;
    }

private slots:
    void init()
    {
        m_dir = new QTemporaryDir;
        dataClock_t::setTime(T0 - 1000.0);
    }
    void cleanup()
    {
        delete m_dir;
        dataClock_t::useSystemTime();
    }

    void pacedByTheSentencesOwnTimes()
    {
        QList<QByteArray> lines = {"# a capture", "#"};
        auto replay = paced(write(lines + epochs(T0, 3)));
        QSignalSpy spy(replay.get(), &nmeaSource_t::lineReceived);
        replay->start();
        QList<emitted_t> got = take(spy);
        QCOMPARE(got.size(), 3);   // the first epoch, without the comments
        QCOMPARE(got.at(0).line, rmc(T0));
        QCOMPARE(got.at(2).time, T0);   // the untimed HDT takes its epoch's time
        replay->advance(0.6);
        QVERIFY(take(spy).isEmpty());
        QVERIFY(std::fabs(dataClock_t::now() - (T0 + 0.6)) < 1e-6);   // the clock runs between lines
        replay->advance(0.4);
        got = take(spy);
        QCOMPARE(got.size(), 3);
        QCOMPARE(got.at(2).time, T0 + 1.0);
    }

    // Whatever the file's times do, the replay goes on at its pace and its times never run back.
    void pacing_data()
    {
        QTest::addColumn<paced_t>("p");
        QTest::newRow("four times") << paced_t{epochs(T0, 10), 4.0, false, 1, 15, 4.0};
        QList<QByteArray> untimed;
        for (int i = 0; i < 30; ++i)
            untimed << hdt(i);
        QTest::newRow("untimed, ten lines a second") << paced_t{untimed, 1.0, false, 1, 11, 1.0};
        QTest::newRow("loop continues the time") << paced_t{epochs(T0, 3), 1.0, true, 10, 33, 10.0};
        QTest::newRow("a day back") << paced_t{epochs(T0, 2) + epochs(T0 + 1.0 - 86400.0, 2), 1.0, false, 4, 12, 3.0};
        QTest::newRow("two hours on, no stall")
            << paced_t{epochs(T0, 2) + epochs(T0 + 7201.0, 2), 1.0, false, 2, 12, 7202.0};
        QTest::newRow("late sentence keeps its place")
            << paced_t{{rmc(T0), rmc(T0 + 2.0), gga(T0 + 1.0)}, 1.0, false, 2, 3, 2.0};
        double const lastSecond = T0 + 12 * 3600.0 - 1.0;   // 23:59:59
        QTest::newRow("over midnight")
            << paced_t{{zda(lastSecond), gga(lastSecond + 3.0), gga(lastSecond + 4.0)}, 1.0, false, 4, 3, 4.0};
    }

    void pacing()
    {
        QFETCH(paced_t, p);
        auto replay = paced(write(p.lines), p.rate, p.loop);
        QSignalSpy spy(replay.get(), &nmeaSource_t::lineReceived);
        replay->start();
        for (int i = 0; i < p.seconds; ++i)
            replay->advance(1.0);
        QList<emitted_t> const got = take(spy);
        QCOMPARE(got.size(), p.count);
        for (int i = 1; i < got.size(); ++i)
            QVERIFY(got.at(i).time >= got.at(i - 1).time);
        double const span = got.last().time - got.first().time;
        QVERIFY2(std::fabs(span - p.span) < 1e-6, qPrintable(QString::number(span)));
        QCOMPARE(replay->isFinished(), !p.loop && p.count == p.lines.size());
    }

    // Times of day alone wait for the date, whatever the computer's clock says.
    void recordingKeepsItsOwnDates_data()
    {
        QTest::addColumn<dated_t>("d");
        QTest::newRow("GGA before the first date")
            << dated_t{QList<QByteArray>{gga(T0), rmc(T0), gga(T0 + 1.0), rmc(T0 + 1.0)}, false, T0, T0 + 1.0};
        QTest::newRow("GGA before midnight, dated after")
            << dated_t{QList<QByteArray>{gga(T0 + 43199.0), rmc(T0 + 43200.0)}, false, T0 + 43199.0, T0 + 43200.0};
        // passes of two seconds: the time goes on at the replay's pace, never by the clock's date
        double const today = T0 + 40 * 86400.0;
        QTest::newRow("an undated loop")
            << dated_t{QList<QByteArray>{gga(T0), gga(T0 + 1.0)}, true, today, today + 30.0};
        QTest::newRow("a dated loop")
            << dated_t{QList<QByteArray>{gga(T0), rmc(T0), gga(T0 + 1.0)}, true, T0, T0 + 30.0};
    }
    void recordingKeepsItsOwnDates()
    {
        QFETCH(dated_t, d);
        dataClock_t::setTime(T0 + 40 * 86400.0 - 100.0);   // the computer's date is another one
        auto replay = paced(write(d.lines), 1.0, d.loop);
        QSignalSpy spy(replay.get(), &nmeaSource_t::lineReceived);
        replay->start();
        for (int i = 0; i < 30; ++i)
            replay->advance(1.0);
        QList<emitted_t> const got = take(spy);
        QVERIFY(!got.isEmpty());
        QCOMPARE(got.first().time, d.first);
        QVERIFY2(got.last().time <= d.last && got.last().time > d.last - 2.0,
                 qPrintable(QString::number(got.last().time - d.last)));
    }

    void endOfFileFinishesAndTheClockRunsOn()
    {
        auto replay = paced(write(epochs(T0, 2)));
        QSignalSpy finished(replay.get(), &fileReplaySource_t::finished);
        replay->start();
        replay->advance(1.0);
        QCOMPARE(finished.count(), 1);
        QVERIFY(!replay->isConnected());
        // the displays see the data grow old, as from a receiver that stopped
        replay->advance(5.0);
        QCOMPARE(dataClock_t::now(), T0 + 6.0);
        QCOMPARE(finished.count(), 1);
    }

    void otherReplaysStampWithTheClock()
    {
        fileReplaySource_t replay(write(epochs(T0, 2)));
        replay.setManualPacing(true);
        QSignalSpy spy(&replay, &nmeaSource_t::lineReceived);
        dataClock_t::setTime(T0 + 5000.0);
        replay.start();
        QCOMPARE(take(spy).first().time, T0 + 5000.0);
        QCOMPARE(dataClock_t::now(), T0 + 5000.0);   // not this replay's to set
    }

    void missingOrEmptyFileStaysDisconnected()
    {
        fileReplaySource_t replay(m_dir->filePath(QStringLiteral("none.nmea")));
        replay.setManualPacing(true);
        replay.start();
        QVERIFY(!replay.isConnected());
        QVERIFY(!replay.status().isEmpty());
        replay.advance(1.0);   // harmless
        fileReplaySource_t empty(write({"# only a comment"}));
        empty.start();
        QVERIFY(!empty.isConnected());
#ifdef Q_OS_UNIX
        // neither may hold up the program: opening a pipe waits for a writer, /dev/zero never ends
        QString const fifo = m_dir->filePath(QStringLiteral("pipe"));
        QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        for (QString const& path : {fifo, QStringLiteral("/dev/zero")}) {
            fileReplaySource_t device(path);
            device.start();
            QVERIFY(!device.isConnected());
            QVERIFY2(device.status().contains(QStringLiteral("serial:")), qPrintable(device.status()));
        }
#endif
    }

    // The recorded arrival times, not the sentences' own, pace a recording; garbage goes through.
    void recordingReplaysAsReceived()
    {
        QString const path = nmeaRecorder_t::pathForDevice(m_dir->filePath(QStringLiteral("capture.nmea")), "GNSS 1");
        QCOMPARE(QFileInfo(path).fileName(), QStringLiteral("capture-gnss-1.nmea"));
        QList<emitted_t> sent;
        {
            belrix_common_qt::remoteDevice_t device;
            auto* logger = belrix_common_qt::deviceLogger_t::forDevice(&device);
            belrix_common_qt::logCfg_t cfg;
            cfg.active = true;
            cfg.path = m_dir->path().toStdString();
            cfg.pattern = "capture-gnss-1.nmea";
            device.setLogCfg(belrix_common_qt::logChannelRaw, cfg);
            for (int i = 0; i < 5; ++i)
                sent << emitted_t{rmc(T0 + i), T0 + i + 0.2} << emitted_t{"1717588800.000 $GPHDT,1,T\x01", T0 + i + 0.7};
            for (emitted_t const& e : sent)
                logger->writeRaw(e.line, e.time);
            // every line is in the file as soon as it is written
            QCOMPARE(logger->fileName(belrix_common_qt::logChannelRaw), path);
            QFile file(path);
            QVERIFY(file.open(QIODevice::ReadOnly));
            QCOMPARE(file.readAll().count('\n'), 2 + sent.size());
        }
        auto replay = paced(path);
        QSignalSpy spy(replay.get(), &nmeaSource_t::lineReceived);
        replay->start();
        for (int i = 0; i < 6; ++i)
            replay->advance(1.0);
        QList<emitted_t> const got = take(spy);
        QCOMPARE(got.size(), sent.size());
        for (int i = 0; i < got.size(); ++i) {
            QCOMPARE(got.at(i).line, sent.at(i).line);
            QVERIFY(std::fabs(got.at(i).time - sent.at(i).time) < 0.0006);
        }
    }
};

QTEST_GUILESS_MAIN(tst_fileReplaySource)
#include "tst_fileReplaySource.moc"
