#include "alarms/alarmMonitor.h"
#include "alarms/alarmPlayer.h"
#include "alarms/alarmSounds.h"
#include "alarms/alarmStateReader.h"

#include <belrix_common_qt/dataClock.h>
#include <belrix_common_qt/remoteDevice.h>
#include <belrix_common_qt/remotePort.h>
#include <belrix_common_qt_gui/guiSettings.h>
#include <belrix_common_qt_gui/qualitySettings.h>
#include <orvane/context.h>
#include <orvane/device.h>

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

#include <cmath>
#include <memory>

using namespace belrix_common_qt;
using belrix_common_qt_gui::alertSoundSettings_t;
using belrix_common_qt_gui::guiSettings_t;
using orvane::app::alarmDeviceState_t;
using orvane::app::alarmMonitor_t;
using orvane::app::alarmSounds_t;
using orvane::app::alarmStateReader_t;

namespace {
const QString GeneralFile = QStringLiteral("/sounds/general_alarm.wav");
const QString QualityFile = QStringLiteral("/sounds/quality_alarm.wav");

class countingPlayer_t : public orvane::app::alarmPlayer_t
{
public:
    void play(QString const& file) override { played << file; }
    QStringList played;
};

alarmDeviceState_t receiver(QString const& name, bool bad, double lastData)
{
    alarmDeviceState_t state;
    state.name = name;
    state.connected = true;
    state.qualityBad = bad;
    state.hasData = true;
    state.lastDataTime = lastData;
    return state;
}

quint32 le32(QByteArray const& data, int at) { return qFromLittleEndian<quint32>(data.constData() + at); }
quint16 le16(QByteArray const& data, int at) { return qFromLittleEndian<quint16>(data.constData() + at); }
qint16 sample(QByteArray const& wav, int index) { return qint16(le16(wav, 44 + 2 * index)); }

// Sign changes per second over a stretch of samples: twice the pitch of a tone.
double crossingsPerSecond(QByteArray const& wav, int from, int count)
{
    int crossings = 0;
    for (int i = from + 1; i < from + count; ++i) {
        if ((sample(wav, i - 1) < 0) != (sample(wav, i) < 0))
            ++crossings;
    }
    return crossings * double(alarmSounds_t::SampleRate) / count;
}
} // namespace

class tst_alarms : public QObject
{
    Q_OBJECT

    countingPlayer_t m_player;
    std::unique_ptr<alarmMonitor_t> m_monitor;

    void setAlarms(bool general, bool quality, unsigned int interval)
    {
        guiSettings_t::get()->setGeneralAlertSoundSettings(alertSoundSettings_t(general, GeneralFile, 5));
        guiSettings_t::get()->setQualityAlertSoundSettings(alertSoundSettings_t(quality, QualityFile, interval));
    }

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void init()
    {
        guiSettings_t::get()->useDefaults();
        m_player.played.clear();
        m_monitor.reset(new alarmMonitor_t(&m_player));
    }

    void cleanup() { dataClock_t::useSystemTime(); }

    // ---- the quality alarm

    void qualityAlarmRepeatsAtItsInterval_data()
    {
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<unsigned int>("interval");
        QTest::addColumn<int>("plays");
        // bad for twelve clock ticks, one a second
        QTest::newRow("every 5 s") << true << 5u << 3;     // at 0, 5 and 10 s
        QTest::newRow("every second") << true << 1u << 12;
        QTest::newRow("every 12 s") << true << 12u << 1;
        QTest::newRow("interval 0: once") << true << 0u << 1;
        QTest::newRow("disabled") << false << 5u << 0;
    }

    void qualityAlarmRepeatsAtItsInterval()
    {
        QFETCH(bool, enabled);
        QFETCH(unsigned int, interval);
        QFETCH(int, plays);
        setAlarms(false, enabled, interval);
        for (int t = 0; t < 12; ++t)
            m_monitor->update(1000.0 + t, {receiver("GNSS 2", true, 1000.0 + t)});
        QCOMPARE(m_player.played.size(), plays);
        if (plays > 0)
            QCOMPARE(m_player.played.first(), QualityFile);
    }

    void qualityAlarmStopsWhenQualityRecovers()
    {
        setAlarms(false, true, 5);
        m_monitor->update(0.0, {receiver("GNSS 2", true, 0.0)});
        m_monitor->update(1.0, {receiver("GNSS 2", false, 1.0)});
        for (int t = 2; t < 20; ++t)
            m_monitor->update(t, {receiver("GNSS 2", false, t)});
        QCOMPARE(m_player.played.size(), 1);
        // a new bad spell sounds at once, whatever the interval
        m_monitor->update(20.0, {receiver("GNSS 2", true, 20.0)});
        QCOMPARE(m_player.played.size(), 2);
    }

    void anotherDeviceTurningBadSoundsAtOnce()
    {
        setAlarms(false, true, 30);
        QSignalSpy sounded(m_monitor.get(), &alarmMonitor_t::alarmSounded);
        m_monitor->update(0.0, {receiver("GNSS 1", true, 0.0), receiver("GNSS 2", false, 0.0)});
        m_monitor->update(3.0, {receiver("GNSS 1", true, 3.0), receiver("GNSS 2", true, 3.0)});
        m_monitor->update(4.0, {receiver("GNSS 1", true, 4.0), receiver("GNSS 2", true, 4.0)});
        QCOMPARE(m_player.played.size(), 2);
        QCOMPARE(sounded.count(), 2);
        QCOMPARE(sounded.at(1).at(1).toStringList(), QStringList({"GNSS 2"}));
    }

    void enablingWhileBadSoundsAtOnce()
    {
        setAlarms(false, false, 60);
        m_monitor->update(0.0, {receiver("GNSS 2", true, 0.0)});
        QVERIFY(m_player.played.isEmpty());
        setAlarms(false, true, 60);
        m_monitor->update(1.0, {receiver("GNSS 2", true, 1.0)});
        QCOMPARE(m_player.played.size(), 1);
    }

    void clockSteppedBackCountsAsDue()
    {
        setAlarms(false, true, 10);
        m_monitor->update(100.0, {receiver("GNSS 2", true, 100.0)});
        m_monitor->update(50.0, {receiver("GNSS 2", true, 50.0)});   // a replay started again
        QCOMPARE(m_player.played.size(), 2);
    }

    void disconnectedDeviceHasNoQualityAlarm()
    {
        setAlarms(false, true, 1);
        alarmDeviceState_t state = receiver("GNSS 2", true, 0.0);
        state.connected = false;
        m_monitor->update(0.0, {state});
        QVERIFY(m_player.played.isEmpty());
    }

    // ---- the general alarm

    void generalAlarmSoundsOncePerLoss()
    {
        setAlarms(true, false, 5);
        QSignalSpy sounded(m_monitor.get(), &alarmMonitor_t::alarmSounded);
        for (int t = 0; t <= 10; ++t)
            m_monitor->update(t, {receiver("Gyro", false, t)});
        QVERIFY(m_player.played.isEmpty());
        // the data stops at 10 s; it counts as lost once it is DataLossSeconds old
        for (int t = 11; t <= 30; ++t)
            m_monitor->update(t, {receiver("Gyro", false, 10.0)});
        QCOMPARE(m_player.played, QStringList({GeneralFile}));
        QCOMPARE(sounded.first().at(0).value<alarmMonitor_t::alarm_t>(), alarmMonitor_t::generalAlarm);

        // it comes back and is lost again
        for (int t = 31; t <= 40; ++t)
            m_monitor->update(t, {receiver("Gyro", false, t)});
        for (int t = 41; t <= 50; ++t)
            m_monitor->update(t, {receiver("Gyro", false, 40.0)});
        QCOMPARE(m_player.played.size(), 2);
    }

    void generalAlarmBound_data()
    {
        QTest::addColumn<double>("age");
        QTest::addColumn<int>("plays");
        QTest::newRow("just current") << alarmMonitor_t::DataLossSeconds - 0.1 << 0;
        QTest::newRow("at the bound") << alarmMonitor_t::DataLossSeconds << 1;
    }

    void generalAlarmBound()
    {
        QFETCH(double, age);
        QFETCH(int, plays);
        setAlarms(true, false, 5);
        m_monitor->update(100.0, {receiver("Gyro", false, 100.0)});
        m_monitor->update(100.0 + age, {receiver("Gyro", false, 100.0)});
        QCOMPARE(m_player.played.size(), plays);
    }

    void losingTheConnectionIsALoss()
    {
        setAlarms(true, false, 5);
        m_monitor->update(0.0, {receiver("GNSS 1", false, 0.0)});
        alarmDeviceState_t gone = receiver("GNSS 1", false, 0.0);
        gone.connected = false;
        m_monitor->update(1.0, {gone});
        QCOMPARE(m_player.played.size(), 1);
    }

    void noAlarmForADeviceThatNeverHadData()
    {
        setAlarms(true, true, 1);
        alarmDeviceState_t silent = receiver("Spare", false, 0.0);
        silent.hasData = false;
        for (int t = 0; t < 20; ++t)
            m_monitor->update(t, {silent});
        QVERIFY(m_player.played.isEmpty());
    }

    void generalAlarmDisabled()
    {
        setAlarms(false, false, 5);
        m_monitor->update(0.0, {receiver("Gyro", false, 0.0)});
        m_monitor->update(20.0, {receiver("Gyro", false, 0.0)});
        QVERIFY(m_player.played.isEmpty());
    }

    // ---- reading devices

    void simulatedLossOfQualitySoundsAtTheInterval()
    {
        orvane::context_t context;
        orvane::device_t device(&context, QStringLiteral("GNSS 2"), nullptr);
        device.setDeviceCapabilities(0x10 | 0x2);
        auto* port = new remotePort_t;
        device.setPort(port);
        port->setConnected(true);
        remoteDevice_t* data = device.remoteDevice();
        alarmStateReader_t reader;
        setAlarms(true, true, 4);

        // a DGNSS fix for 10 s, then the fix is lost for 12 s while data goes on arriving
        const double start = 1.7e9;
        for (int t = 0; t < 30; ++t) {
            const double now = start + t;
            dataClock_t::setTime(now);
            const bool lost = t >= 10 && t < 22;
            data->setFixQuality(dataItem_t<int>(lost ? fixQualityInvalid : fixQualityDgps, now));
            data->setSatellitesUsed(dataItem_t<unsigned int>(lost ? 2u : 12u, now));
            data->setHdop(dataItem_t<float>(0.8f, now));
            position_t position;
            position.lat = 1.0;
            position.lon = 0.2;
            position.latValid = position.lonValid = true;
            data->setInputPosition(dataItem_t<position_t>(position, now));
            m_monitor->update(now, {reader.state(&device, now)});
        }
        // at 10, 14 and 18 s; quality is good again from 22 s
        QCOMPARE(m_player.played, QStringList({QualityFile, QualityFile, QualityFile}));
    }

    void qualityIsJudgedByTheDevicesThresholds()
    {
        orvane::context_t context;
        orvane::device_t device(&context, QStringLiteral("GNSS 1"), nullptr);
        device.setDeviceCapabilities(0x10);
        device.setPort(new remotePort_t);
        device.port()->setConnected(true);
        const double now = 5000.0;
        device.remoteDevice()->setFixQuality(dataItem_t<int>(fixQualityDgps, now));
        device.remoteDevice()->setHdop(dataItem_t<float>(3.0f, now));
        alarmStateReader_t reader;

        device.deviceQualitySettings()->hdopGreater = 2.5f;
        QVERIFY(reader.state(&device, now).qualityBad);
        device.deviceQualitySettings()->hdopGreater = 3.5f;
        QVERIFY(!reader.state(&device, now).qualityBad);
        // stale values are no data, not bad quality
        device.deviceQualitySettings()->hdopGreater = 2.5f;
        QVERIFY(!reader.state(&device, now + 10.0).qualityBad);
        QCOMPARE(reader.state(&device, now).lastDataTime, 0.0);
        QVERIFY(!reader.state(&device, now).hasData);
    }

    void devicesWithoutQcHaveNoQualityAlarm()
    {
        orvane::context_t context;
        orvane::device_t gyro(&context, QStringLiteral("Gyro"), nullptr);
        gyro.setDeviceCapabilities(0x200);
        gyro.setPort(new remotePort_t);
        gyro.remoteDevice()->setFixQuality(dataItem_t<int>(fixQualityInvalid, 10.0));
        gyro.remoteDevice()->setHeading(dataItem_t<float>(90.0f, 10.0));
        alarmStateReader_t reader;
        const alarmDeviceState_t state = reader.state(&gyro, 10.0);
        QVERIFY(!state.qualityBad);
        QVERIFY(state.hasData);
        QCOMPARE(state.lastDataTime, 10.0);
    }

    // ---- the sounds

    void soundsAreWellFormedWavFiles_data()
    {
        QTest::addColumn<QByteArray>("wav");
        QTest::newRow("general") << alarmSounds_t::generalAlarm();
        QTest::newRow("quality") << alarmSounds_t::qualityAlarm();
    }

    void soundsAreWellFormedWavFiles()
    {
        QFETCH(QByteArray, wav);
        QVERIFY(wav.size() > 44);
        QCOMPARE(wav.left(4), QByteArray("RIFF"));
        QCOMPARE(le32(wav, 4), quint32(wav.size() - 8));
        QCOMPARE(wav.mid(8, 8), QByteArray("WAVEfmt "));
        QCOMPARE(le16(wav, 20), quint16(1));    // PCM
        QCOMPARE(le16(wav, 22), quint16(1));    // mono
        QCOMPARE(le32(wav, 24), quint32(alarmSounds_t::SampleRate));
        QCOMPARE(le16(wav, 34), quint16(16));
        QCOMPARE(wav.mid(36, 4), QByteArray("data"));
        const int samples = int(le32(wav, 40) / 2);
        QCOMPARE(44 + 2 * samples, wav.size());
        const double seconds = double(samples) / alarmSounds_t::SampleRate;
        QVERIFY2(seconds >= 1.0 && seconds <= 2.0, qPrintable(QString::number(seconds)));

        int peak = 0;
        double energy = 0.0;
        for (int i = 0; i < samples; ++i) {
            peak = std::max(peak, std::abs(int(sample(wav, i))));
            energy += double(sample(wav, i)) * sample(wav, i);
        }
        // loud, but with headroom: never clipped
        QVERIFY2(peak > 16000 && peak < 32000, qPrintable(QString::number(peak)));
        QVERIFY(std::sqrt(energy / samples) > 4000.0);
        // no click at the start or the end
        QVERIFY(std::abs(int(sample(wav, 0))) < 500);
        QVERIFY(std::abs(int(sample(wav, samples - 1))) < 500);
    }

    void generalAlarmWarblesBetweenTwoTones()
    {
        const QByteArray wav = alarmSounds_t::generalAlarm();
        const int tone = alarmSounds_t::SampleRate / 8;
        const double low = crossingsPerSecond(wav, tone / 4, tone / 2);
        const double high = crossingsPerSecond(wav, tone + tone / 4, tone / 2);
        QVERIFY2(low > 1000.0 && high > low * 1.2, qPrintable(QString("%1 %2").arg(low).arg(high)));
    }

    void qualityAlarmIsPulsed()
    {
        const QByteArray wav = alarmSounds_t::qualityAlarm();
        const int samples = int(le32(wav, 40) / 2);
        int silentRuns = 0;
        bool inSilence = false;
        int run = 0;
        for (int i = 0; i < samples; ++i) {
            run = sample(wav, i) == 0 ? run + 1 : 0;
            if (run == alarmSounds_t::SampleRate / 20 && !inSilence) {   // 50 ms of silence
                ++silentRuns;
                inSilence = true;
            }
            if (run == 0)
                inSilence = false;
        }
        QVERIFY2(silentRuns >= 5, qPrintable(QString::number(silentRuns)));
        QVERIFY(wav != alarmSounds_t::generalAlarm());
    }

    void seedingWritesTheMissingSounds()
    {
        QTemporaryDir dir;
        const QString sounds = QDir(dir.path()).filePath("sounds");
        QFile mine(QDir(sounds).filePath("general_alarm.wav"));
        QVERIFY(QDir().mkpath(sounds));
        QVERIFY(mine.open(QIODevice::WriteOnly));
        mine.write("my own bell");
        mine.close();

        QVERIFY(alarmSounds_t::seed(sounds).isEmpty());
        QVERIFY(mine.open(QIODevice::ReadOnly));
        QCOMPARE(mine.readAll(), QByteArray("my own bell"));
        QFile quality(QDir(sounds).filePath("quality_alarm.wav"));
        QVERIFY(quality.open(QIODevice::ReadOnly));
        QCOMPARE(quality.readAll(), alarmSounds_t::qualityAlarm());
    }

    void seedingReportsAFolderItCannotMake()
    {
        QTemporaryDir dir;
        const QString blocker = QDir(dir.path()).filePath("file");
        QFile file(blocker);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        QCOMPARE(alarmSounds_t::seed(QDir(blocker).filePath("sounds")).size(), 1);
    }
};

QTEST_MAIN(tst_alarms)
#include "tst_alarms.moc"
