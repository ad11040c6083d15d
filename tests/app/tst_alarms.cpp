#include "alarms/alarmMonitor.h"
#include "alarms/alarmPlayer.h"
#include "alarms/alarmSounds.h"
#include "alarms/alarmStateReader.h"
#include "alarms/fixConfirmation.h"

#include "fullDisk.h"

#include <belrix_common_qt/dataClock.h>
#include <belrix_common_qt/remoteDevice.h>
#include <belrix_common_qt/remotePort.h>
#include <belrix_common_qt_gui/guiSettings.h>
#include <belrix_common_qt_gui/qualitySettings.h>
#include <orvane/context.h>
#include <orvane/device.h>
#include <orvane/fixes/fix.h>

#include <QtTest>

#include <cerrno>
#include <cstring>
#include <memory>

using namespace belrix_common_qt;
using belrix_common_qt_gui::alertSoundSettings_t;
using belrix_common_qt_gui::guiSettings_t;
using namespace orvane::app;

namespace {
const QString GeneralFile = QStringLiteral("/sounds/general_alarm.wav");
const QString QualityFile = QStringLiteral("/sounds/quality_alarm.wav");

class countingPlayer_t : public alarmPlayer_t
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

} // namespace

// Alarm settings, a script of updates and the alarms played (G: general, Q: quality).
struct timing_t { bool general, quality; unsigned int interval; QString script, played; };
Q_DECLARE_METATYPE(timing_t)

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
    void init()
    {
        guiSettings_t::get()->useDefaults();
        m_player.played.clear();
        m_monitor.reset(new alarmMonitor_t(&m_player));
    }
    void cleanup() { dataClock_t::useSystemTime(); }

    // One device, one update a second. G: good and current, B: bad and current, S: its data
    // stopped, D: disconnected (and bad), N: never any data, R: bad, the clock stepped 50 s back.
    void alarmTiming_data()
    {
        QTest::addColumn<timing_t>("t");
        QTest::newRow("quality every 5 s") << timing_t{false, true, 5u, "BBBBBBBBBBBB", "QQQ"};
        QTest::newRow("quality interval 0: once a spell") << timing_t{false, true, 0u, "BBBBBB", "Q"};
        QTest::newRow("a new bad spell sounds at once") << timing_t{false, true, 30u, "BGGB", "QQ"};
        QTest::newRow("clock stepped back counts as due") << timing_t{false, true, 10u, "BR", "QQ"};
        QTest::newRow("disconnected: no quality alarm") << timing_t{false, true, 1u, "DDD", ""};
        QTest::newRow("data 4 s old") << timing_t{true, false, 5u, "GSSSS", ""};
        QTest::newRow("data 5 s old") << timing_t{true, false, 5u, "GSSSSS", "G"};
        QTest::newRow("once a loss, again after return") << timing_t{true, false, 5u, "GSSSSSSSGSSSSSS", "GG"};
        QTest::newRow("connection lost") << timing_t{true, false, 5u, "GD", "G"};
        QTest::newRow("never any data") << timing_t{true, true, 1u, "NNNNNNNN", ""};
        QTest::newRow("both disabled") << timing_t{false, false, 1u, "BBSSSSSS", ""};
    }

    void alarmTiming()
    {
        QFETCH(timing_t, t);
        setAlarms(t.general, t.quality, t.interval);
        double lastData = 0.0;
        for (int i = 0; i < t.script.size(); ++i) {
            QChar const c = t.script.at(i);
            double const now = c == 'R' ? 100.0 + i - 50.0 : 100.0 + i;
            if (c == 'G' || c == 'B' || c == 'R')
                lastData = now;
            alarmDeviceState_t state = receiver("GNSS 2", c == 'B' || c == 'D' || c == 'R', lastData);
            state.connected = c != 'D';
            state.hasData = c != 'N';
            m_monitor->update(now, {state});
        }
        QString got;
        for (QString const& file : m_player.played)
            got += file == GeneralFile ? 'G' : file == QualityFile ? 'Q' : '?';
        QCOMPARE(got, t.played);
    }

    void anotherDeviceTurningBadSoundsAtOnce()
    {
        setAlarms(false, true, 30);
        QSignalSpy sounded(m_monitor.get(), &alarmMonitor_t::alarmSounded);
        m_monitor->update(0.0, {receiver("GNSS 1", true, 0.0), receiver("GNSS 2", false, 0.0)});
        m_monitor->update(3.0, {receiver("GNSS 1", true, 3.0), receiver("GNSS 2", true, 3.0)});
        m_monitor->update(4.0, {receiver("GNSS 1", true, 4.0), receiver("GNSS 2", true, 4.0)});
        QCOMPARE(sounded.count(), 2);
        QCOMPARE(sounded.at(1).at(1).toStringList(), QStringList({"GNSS 2"}));
        // enabled while a device is bad, it sounds at once
        m_monitor.reset(new alarmMonitor_t(&m_player));
        setAlarms(false, false, 60);
        m_monitor->update(5.0, {receiver("GNSS 2", true, 5.0)});
        setAlarms(false, true, 60);
        m_monitor->update(6.0, {receiver("GNSS 2", true, 6.0)});
        QCOMPARE(m_player.played.size(), 3);
    }

    void qualityIsJudgedByTheDevicesThresholds()
    {
        orvane::context_t context;
        orvane::device_t device(&context, QStringLiteral("GNSS 1"), nullptr);
        device.setDeviceCapabilities(0x10);
        device.setPort(new remotePort_t);
        device.port()->setConnected(true);
        double const now = 5000.0;
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
        QVERIFY(!reader.state(&device, now).hasData);

        // a device without QC has no quality alarm, but its heading is data
        orvane::device_t gyro(&context, QStringLiteral("Gyro"), nullptr);
        gyro.setDeviceCapabilities(0x200);
        gyro.setPort(new remotePort_t);
        gyro.remoteDevice()->setFixQuality(dataItem_t<int>(fixQualityInvalid, 10.0));
        gyro.remoteDevice()->setHeading(dataItem_t<float>(90.0f, 10.0));
        alarmDeviceState_t const state = reader.state(&gyro, 10.0);
        QVERIFY(!state.qualityBad && state.hasData);
        QCOMPARE(state.lastDataTime, 10.0);
    }

    void seedingWritesOnlyTheMissingSounds()
    {
        QTemporaryDir dir;
        QString const sounds = QDir(dir.path()).filePath("sounds");
        QFile mine(QDir(sounds).filePath("general_alarm.wav"));
        QVERIFY(QDir().mkpath(sounds) && mine.open(QIODevice::WriteOnly));
        mine.write("my own bell");
        mine.close();
        QVERIFY(alarmSounds_t::seed(sounds).isEmpty());
        QVERIFY(mine.open(QIODevice::ReadOnly));
        QCOMPARE(mine.readAll(), QByteArray("my own bell"));
        QFile quality(QDir(sounds).filePath("quality_alarm.wav"));
        QVERIFY(quality.open(QIODevice::ReadOnly));
        QCOMPARE(quality.readAll(), alarmSounds_t::qualityAlarm());
        // a folder that cannot be made is reported
        QCOMPARE(alarmSounds_t::seed(QDir(mine.fileName()).filePath("sounds")).size(), 1);
    }

    // every recorded fix is heard; one the store could not take is also raised on its own
    void fixIsConfirmedBySound()
    {
        fixConfirmation_t confirmation(&m_player, QStringLiteral("/sounds/fix_recorded.wav"), nullptr);
        QSignalSpy unsaved(&confirmation, &fixConfirmation_t::unsavedFix);
        orvane::fixes::fix_t fix;
        fix.type = orvane::fixes::fixTypeManOverboard;
        confirmation.confirm(fix);
        fix.saved = false;
        confirmation.confirm(fix);
        QCOMPARE(m_player.played, QStringList({"/sounds/fix_recorded.wav", "/sounds/fix_recorded.wav"}));
        QCOMPARE(unsaved.count(), 1);
        QVERIFY(unsaved.first().first().toString().contains("NOT SAVED YET"));
    }

    // a disk with room for half a sound keeps none: a cut one would pass for the user's own
    // the next time
    void seedingOnAFullDiskLeavesNoSound()
    {
        fullDisk_t disk;
        if (!disk.isMounted())
            QSKIP("cannot mount a small file system here");
        QFile spare(disk.filePath(QStringLiteral("spare")));
        QVERIFY(spare.open(QIODevice::WriteOnly) && spare.write(QByteArray(32 * 1024, 'x')) == 32 * 1024);
        spare.close();
        disk.fill();
        QVERIFY(spare.remove());
        QString const sounds = disk.filePath(QStringLiteral("sounds"));
        QStringList const problems = alarmSounds_t::seed(sounds);
        QCOMPARE(problems.size(), 2);
        for (QString const& problem : problems)
            QVERIFY2(problem.contains(QString::fromLocal8Bit(std::strerror(ENOSPC))), qPrintable(problem));
        // the short confirmation fits whole; the two alarms do not, and leave nothing
        QCOMPARE(QDir(sounds).entryList(QDir::Files | QDir::Hidden), QStringList{alarmSounds_t::fixRecordedName()});
    }
};

QTEST_MAIN(tst_alarms)
#include "tst_alarms.moc"
