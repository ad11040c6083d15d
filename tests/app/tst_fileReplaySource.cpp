#include "application/deviceFeed.h"
#include "sources/fileReplaySource.h"
#include "simulation/nmeaEncoder.h"
#include "sources/nmeaRecorder.h"

#include <belrix_common_qt/dataClock.h>
#include <belrix_common_qt/remoteDevice.h>
#include <belrix_common_qt/remotePort.h>

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <cmath>

using namespace orvane::app;
using belrix_common_qt::dataClock_t;

namespace {
constexpr double T0 = 1717588800.0;   // 2024-06-05 12:00:00 UTC

QByteArray rmc(double t)
{
    QDateTime const time = QDateTime::fromMSecsSinceEpoch(qint64(t * 1000.0), Qt::UTC);
    return nmeaEncoder_t::sentence("GPRMC," + time.toString("hhmmss.zz").toLatin1() + ",A,5736.0000,N,01115.0000,E,10.0,90.0,"
                                   + time.toString("ddMMyy").toLatin1() + ",,,A");
}

QByteArray gga(double t)
{
    QDateTime const time = QDateTime::fromMSecsSinceEpoch(qint64(t * 1000.0), Qt::UTC);
    return nmeaEncoder_t::sentence("GPGGA," + time.toString("hhmmss.zz").toLatin1()
                                   + ",5736.0000,N,01115.0000,E,1,08,0.9,10.0,M,38.0,M,,");
}

QByteArray hdt(int n) { return nmeaEncoder_t::sentence("HEHDT," + QByteArray::number(n) + ".0,T"); }

struct emitted_t {
    QByteArray line;
    double time;
};

QList<emitted_t> take(QSignalSpy& spy)
{
    QList<emitted_t> list;
    for (QList<QVariant> const& args : spy)
        list.append({args.at(0).toByteArray(), args.at(1).toDouble()});
    spy.clear();
    return list;
}
} // namespace

class tst_fileReplaySource : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir* m_dir = nullptr;

    QString write(QList<QByteArray> const& lines, QByteArray const& end = "\r\n")
    {
        QString const path = m_dir->filePath(QStringLiteral("log%1.nmea").arg(QDir(m_dir->path()).count()));
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly))
            return QString();
        for (QByteArray const& line : lines)
            file.write(line + end);
        return path;
    }

    // An epoch a second: RMC, GGA and an untimed HDT.
    QList<QByteArray> epochs(double start, int count)
    {
        QList<QByteArray> lines;
        for (int i = 0; i < count; ++i)
            lines << rmc(start + i) << gga(start + i) << hdt(i);
        return lines;
    }

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
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
        lines += epochs(T0, 3);
        fileReplaySource_t replay(write(lines));
        replay.setManualPacing(true);
        replay.setDrivesDataClock(true);
        QSignalSpy spy(&replay, &nmeaSource_t::lineReceived);
        replay.start();
        QVERIFY(replay.isConnected());
        QList<emitted_t> got = take(spy);
        QCOMPARE(got.size(), 3);   // the first epoch, without the comments
        QCOMPARE(got.at(0).line, rmc(T0));
        for (emitted_t const& e : got)
            QCOMPARE(e.time, T0);
        QCOMPARE(dataClock_t::now(), T0);

        replay.advance(0.6);
        QVERIFY(take(spy).isEmpty());
        QVERIFY(std::fabs(dataClock_t::now() - (T0 + 0.6)) < 1e-6);   // the clock runs between lines
        replay.advance(0.4);
        got = take(spy);
        QCOMPARE(got.size(), 3);
        QCOMPARE(got.at(2).line, hdt(1));
        QCOMPARE(got.at(2).time, T0 + 1.0);
    }

    void rateScalesThePace_data()
    {
        QTest::addColumn<double>("rate");
        QTest::addColumn<int>("epochsAfterOneSecond");
        QTest::newRow("recorded pace") << 1.0 << 2;
        QTest::newRow("four times") << 4.0 << 5;
        QTest::newRow("half") << 0.5 << 1;
    }

    void rateScalesThePace()
    {
        QFETCH(double, rate);
        QFETCH(int, epochsAfterOneSecond);
        fileReplaySource_t replay(write(epochs(T0, 10)), rate);
        replay.setManualPacing(true);
        QSignalSpy spy(&replay, &nmeaSource_t::lineReceived);
        replay.start();
        replay.advance(1.0);
        QCOMPARE(spy.count(), 3 * epochsAfterOneSecond);
    }

    void loopContinuesTheTime()
    {
        fileReplaySource_t replay(write(epochs(T0, 3)), 1.0, true);
        replay.setManualPacing(true);
        replay.setDrivesDataClock(true);
        QSignalSpy spy(&replay, &nmeaSource_t::lineReceived);
        replay.start();
        for (int i = 0; i < 10; ++i)
            replay.advance(1.0);
        QList<emitted_t> const got = take(spy);
        QCOMPARE(got.size(), 33);   // eleven epochs: three passes and two more
        QVERIFY(replay.loopsCompleted() >= 3);
        for (int i = 1; i < got.size(); ++i)
            QVERIFY(got.at(i).time >= got.at(i - 1).time);
        // the second pass starts a second after the first ended
        QCOMPARE(got.at(9).line, rmc(T0));
        QCOMPARE(got.at(9).time, T0 + 3.0);
        QVERIFY(replay.isConnected());
    }

    void endOfFileFinishesAndTheClockRunsOn()
    {
        fileReplaySource_t replay(write(epochs(T0, 2)));
        replay.setManualPacing(true);
        replay.setDrivesDataClock(true);
        QSignalSpy finished(&replay, &fileReplaySource_t::finished);
        replay.start();
        replay.advance(1.0);
        QCOMPARE(finished.count(), 1);
        QVERIFY(!replay.isConnected());
        // the displays see the data grow old, as from a receiver that stopped
        replay.advance(5.0);
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

    void recordingTimesTakePrecedence()
    {
        QList<QByteArray> lines;
        // arrival times a little after the sentences' own, and a garbage line between
        lines << nmeaRecorder_t::formatLine(rmc(T0), T0 + 0.25) << nmeaRecorder_t::formatLine("\x01garbage", T0 + 0.5)
              << nmeaRecorder_t::formatLine(rmc(T0 + 1), T0 + 1.25);
        fileReplaySource_t replay(write(lines, "\n"));
        replay.setManualPacing(true);
        replay.setDrivesDataClock(true);
        QSignalSpy spy(&replay, &nmeaSource_t::lineReceived);
        replay.start();
        QCOMPARE(take(spy).size(), 1);
        replay.advance(0.25);
        QList<emitted_t> got = take(spy);
        QCOMPARE(got.size(), 1);
        QCOMPARE(got.first().line, QByteArray("\x01garbage"));
        QCOMPARE(got.first().time, T0 + 0.5);
    }

    void untimedFileGoesAtTenLinesASecond()
    {
        QList<QByteArray> lines;
        for (int i = 0; i < 30; ++i)
            lines << hdt(i);
        fileReplaySource_t replay(write(lines));
        replay.setManualPacing(true);
        QSignalSpy spy(&replay, &nmeaSource_t::lineReceived);
        replay.start();
        QCOMPARE(spy.count(), 1);
        replay.advance(1.0);
        QCOMPARE(spy.count(), 11);
    }

    void timeJumpsNeitherStallNorRewind_data()
    {
        QTest::addColumn<double>("jump");
        QTest::newRow("an hour back") << -3600.0;
        QTest::newRow("two hours on") << 7200.0;
        QTest::newRow("a day back") << -86400.0;
    }

    void timeJumpsNeitherStallNorRewind()
    {
        QFETCH(double, jump);
        QList<QByteArray> lines = epochs(T0, 2);
        lines += epochs(T0 + 1.0 + jump, 2);
        fileReplaySource_t replay(write(lines));
        replay.setManualPacing(true);
        replay.setDrivesDataClock(true);
        QSignalSpy spy(&replay, &nmeaSource_t::lineReceived);
        replay.start();
        for (int i = 0; i < 4; ++i)
            replay.advance(1.0);
        QList<emitted_t> const got = take(spy);
        QCOMPARE(got.size(), 12);
        for (int i = 1; i < got.size(); ++i)
            QVERIFY(got.at(i).time >= got.at(i - 1).time);
    }

    void midnightRollsTheDate()
    {
        double const lastSecond = T0 + 12 * 3600.0 - 1.0;   // 23:59:59
        fileReplaySource_t replay(write({rmc(lastSecond), gga(lastSecond + 1.0), gga(lastSecond + 2.0)}));
        replay.setManualPacing(true);
        QSignalSpy spy(&replay, &nmeaSource_t::lineReceived);
        replay.setDrivesDataClock(true);
        replay.start();
        replay.advance(2.0);
        QList<emitted_t> const got = take(spy);
        QCOMPARE(got.size(), 3);
        QCOMPARE(got.at(2).time, lastSecond + 2.0);
    }

    void missingFileStaysDisconnected()
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
    }

    void recordLineRoundTrip_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<double>("arrival");
        QTest::newRow("sentence") << rmc(T0) << T0 + 0.123;
        QTest::newRow("garbage with spaces") << QByteArray("abc def \x7f") << T0;
        QTest::newRow("line that looks recorded") << QByteArray("1717588800.000 $GPHDT,1,T") << T0 + 1.0;
    }

    void recordLineRoundTrip()
    {
        QFETCH(QByteArray, line);
        QFETCH(double, arrival);
        QByteArray const recorded = nmeaRecorder_t::formatLine(line, arrival);
        QVERIFY(recorded.endsWith('\n') && recorded.count('\n') == 1);
        QByteArray back;
        double time = 0.0;
        QVERIFY(nmeaRecorder_t::parseLine(recorded.chopped(1), &back, &time));
        QCOMPARE(back, line);
        QVERIFY(std::fabs(time - arrival) < 0.0006);
    }

    void plainLinesAreNotRecordings_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::newRow("sentence") << rmc(T0);
        QTest::newRow("number too small") << QByteArray("12 $GPHDT");
        QTest::newRow("no space") << QByteArray("1717588800.0$GPHDT");
        QTest::newRow("letters in the time") << QByteArray("17175888e0 x");
    }

    void plainLinesAreNotRecordings()
    {
        QFETCH(QByteArray, line);
        QVERIFY(!nmeaRecorder_t::parseLine(line, nullptr, nullptr));
    }

    void recordingReplaysAsReceived()
    {
        QString const path = nmeaRecorder_t::pathForDevice(m_dir->filePath(QStringLiteral("capture.nmea")), "GNSS 1");
        QCOMPARE(QFileInfo(path).fileName(), QStringLiteral("capture-gnss-1.nmea"));
        QList<emitted_t> sent;
        {
            nmeaRecorder_t recorder;
            QVERIFY(recorder.open(path, "GNSS 1"));
            for (int i = 0; i < 5; ++i) {
                sent.append({rmc(T0 + i), T0 + i + 0.2});
                sent.append({"$junk", T0 + i + 0.7});
            }
            for (emitted_t const& e : sent)
                recorder.record(e.line, e.time);
        }
        fileReplaySource_t replay(path);
        replay.setManualPacing(true);
        replay.setDrivesDataClock(true);
        QSignalSpy spy(&replay, &nmeaSource_t::lineReceived);
        replay.start();
        for (int i = 0; i < 6; ++i)
            replay.advance(1.0);
        QList<emitted_t> const got = take(spy);
        QCOMPARE(got.size(), sent.size());
        for (int i = 0; i < got.size(); ++i) {
            QCOMPARE(got.at(i).line, sent.at(i).line);
            QVERIFY(std::fabs(got.at(i).time - sent.at(i).time) < 0.0006);
        }
    }

    void gpsdCaptureDrivesAReceiver_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<double>("latitude");
        QTest::addColumn<bool>("hasGst");
        QTest::addColumn<bool>("hasSatellites");
        QTest::newRow("u-blox ZED-F9P") << "ublox-zed-f9p-nmea.log" << -45.877 << true << true;
        QTest::newRow("Hemisphere heading, ZDA times") << "hemi.log" << 0.0 << false << false;
        QTest::newRow("RMC times only") << "rx210.log" << 0.0 << false << true;
    }

    void gpsdCaptureDrivesAReceiver()
    {
        QFETCH(QString, file);
        QFETCH(double, latitude);
        QFETCH(bool, hasGst);
        QFETCH(bool, hasSatellites);
        QByteArray const data = qgetenv("ORVANE_SHARED_DATA");
        if (data.isEmpty())
            QSKIP("ORVANE_SHARED_DATA is not set");
        QString const path = QDir(QString::fromLocal8Bit(data)).filePath(QStringLiteral("nmea/gpsd/") + file);
        if (!QFile::exists(path))
            QSKIP("the capture is not there");
        belrix_common_qt::remotePort_t port;
        deviceFeed_t feed(&port, nullptr);
        auto* replay = new fileReplaySource_t(path, 1.0);
        replay->setManualPacing(true);
        replay->setDrivesDataClock(true);
        feed.setSource(replay);
        QSignalSpy spy(replay, &nmeaSource_t::lineReceived);
        feed.start();
        QVERIFY(port.isConnected());
        double const first = dataClock_t::now();
        QVERIFY(first > 946684800.0);   // the capture's own date, not the clock's
        bool sawPosition = false, sawStats = false;
        double previous = first;
        for (int i = 0; i < 600 && !replay->isFinished(); ++i) {
            replay->advance(1.0);
            QVERIFY(dataClock_t::now() >= previous);
            previous = dataClock_t::now();
            belrix_common_qt::remoteDevice_t const* device = port.device();
            if (device->inputPosition().isValid()) {
                sawPosition = true;
                if (latitude != 0.0)
                    QVERIFY(std::fabs(device->inputPosition().value().lat * 180.0 / M_PI - latitude) < 0.01);
            }
            sawStats = sawStats || device->pseudorangeStats().isValid();
        }
        QVERIFY(replay->isFinished());
        QVERIFY(sawPosition);
        QCOMPARE(sawStats, hasGst);
        QVERIFY(feed.counters().accepted > feed.counters().lines / 2);
        QCOMPARE(!port.device()->allNavSats().empty(), hasSatellites);
    }
};

QTEST_GUILESS_MAIN(tst_fileReplaySource)
#include "tst_fileReplaySource.moc"
