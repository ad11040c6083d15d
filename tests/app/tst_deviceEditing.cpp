#include "application/deviceConfig.h"
#include "application/deviceFeed.h"
#include "windows/dlgDeviceConfig.h"
#include "windows/dlgRawNmea.h"
#include "sources/fileReplaySource.h"
#include "simulation/nmeaEncoder.h"
#include "sources/nmeaRecorder.h"
#include "sources/nmeaSource.h"
#include "application/orvaneApplication.h"

#include <belrix_common_qt/dataClock.h>
#include <belrix_common_qt/navConstants.h>
#include <belrix_common_qt/remoteDevice.h>
#include <belrix_common_qt/remotePort.h>
#include <orvane/device.h>
#include <orvane/deviceStore.h>
#include <tolvconfig/config.h>

#include <QCheckBox>
#include <QLineEdit>
#include <QPointer>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QtTest>

using namespace orvane::app;
using belrix_common_qt::dataClock_t;

namespace {
deviceConfig_t declared(QString const& name, QString const& source, int capabilities = 0x5f)
{
    deviceConfig_t c;
    c.name = name;
    c.capabilities = capabilities;
    c.color = QColor("#8c564b");
    c.source = source;
    return c;
}

QString canonical(QString const& source)
{
    sourceAddress_t address;
    return sourceAddress_t::parse(source, &address) ? address.toString() : QString();
}

} // namespace

class tst_deviceEditing : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir* m_dir = nullptr;

    QString writeConfig(QList<deviceConfig_t> const& devices)
    {
        tolvconfig::config_t config;
        deviceConfigList_t::save(config, devices);
        QString const path = m_dir->filePath(QStringLiteral("orvane.conf"));
        config.save(path);
        return path;
    }

    orvaneApplication_t::options_t headless(QString const& config = QString())
    {
        orvaneApplication_t::options_t options;
        options.configPath = config;
        options.snapshotDir = m_dir->filePath(QStringLiteral("snapshots"));
        options.runFor = 3;
        return options;
    }

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void init() { m_dir = new QTemporaryDir; }
    void cleanup()
    {
        delete m_dir;
        dataClock_t::useSystemTime();
    }

    void deviceListRoundTrip()
    {
        deviceConfig_t plain = declared("Bridge", "tcp:10.0.0.5:4001");
        deviceConfig_t old = declared("Old receiver", "serial:/dev/ttyS0?baud=4800&parity=none");
        old.allowMissingChecksum = true;
        tolvconfig::config_t config;
        deviceConfigList_t::save(config, {plain, old});
        QVERIFY(config.hasKey("devices.1.allow_missing_checksum"));
        QVERIFY(!config.hasKey("devices.0.allow_missing_checksum"));
        QCOMPARE(deviceConfigList_t::load(config), (QList<deviceConfig_t>{plain, old}));
        // fewer devices leave no stale flag behind for the next list to inherit
        deviceConfigList_t::save(config, {plain});
        QVERIFY(!config.hasKey("devices.1.allow_missing_checksum"));
        deviceConfigList_t::save(config, {plain, declared("New", "udp:10110")});
        QVERIFY(!deviceConfigList_t::load(config).at(1).allowMissingChecksum);
    }

    void dialogKeepsEveryKindOfSource_data()
    {
        QTest::addColumn<QString>("source");
        QTest::newRow("none") << QString();
        QTest::newRow("simulation") << "simulation:receiver-b";
        QTest::newRow("file") << "file:/logs/bridge.nmea?rate=4&loop=1";
        QTest::newRow("tcp") << "tcp:192.168.1.20:4001";
        QTest::newRow("udp") << "udp:2000";
        QTest::newRow("udp on an address") << "udp:127.0.0.1:2000";
        QTest::newRow("serial") << "serial:/dev/ttyUSB1?baud=38400&parity=odd";
        QTest::newRow("gpsd") << "gpsd:chart:2948?device=/dev/ttyS1";
    }

    void dialogKeepsEveryKindOfSource()
    {
        QFETCH(QString, source);
        deviceConfig_t config = declared("GNSS 3", source);
        config.type = belrix_common_qt::deviceNameGyro;
        config.allowMissingChecksum = true;
        dlgDeviceConfig_t dialog;
        dialog.setConfig(config);
        QVERIFY(dialog.problems().isEmpty());
        deviceConfig_t const back = dialog.config();
        QCOMPARE(back.source, canonical(source));
        QCOMPARE(back.name, config.name);
        QCOMPARE(back.type, config.type);
        QCOMPARE(back.capabilities, config.capabilities);
        QCOMPARE(back.color, config.color);
        QVERIFY(back.allowMissingChecksum);
    }

    void dialogCapabilitiesKeepWhatTheyDoNotShow()
    {
        dlgDeviceConfig_t dialog;
        dialog.setConfig(declared("A", QString(), 0x40000 | 0x100 | 0x2 | 0x800));
        auto* signalStatus = dialog.findChild<QCheckBox*>(QStringLiteral("capability1"));
        auto* graphs = dialog.findChild<QCheckBox*>(QStringLiteral("capability4"));
        auto* heading = dialog.findChild<QCheckBox*>(QStringLiteral("capability512"));
        QVERIFY(signalStatus && graphs && heading);
        QVERIFY(signalStatus->isChecked() && graphs->isChecked() && !heading->isChecked());
        QCOMPARE(dialog.config().capabilities, 0x40000 | 0x100 | 0x2 | 0x800);
        signalStatus->setChecked(false);   // its alternate goes with it
        heading->setChecked(true);
        QCOMPARE(dialog.config().capabilities, 0x100 | 0x2 | 0x800 | 0x200);
    }

    void dialogNamesEveryProblem()
    {
        dlgDeviceConfig_t dialog;
        dialog.setTakenNames({"GNSS 1", "Gyro"});
        dialog.setConfig(declared(QString(), "tcp:host:4001"));
        dialog.findChild<QLineEdit*>(QStringLiteral("tcpHostEdit"))->clear();
        QCOMPARE(dialog.problems().size(), 2);
        dialog.findChild<QLineEdit*>(QStringLiteral("nameEdit"))->setText(QStringLiteral("gyro"));
        dialog.findChild<QLineEdit*>(QStringLiteral("tcpHostEdit"))->setText(QStringLiteral("10.0.0.1"));
        QCOMPARE(dialog.problems().size(), 1);   // names differ in case only
        dialog.findChild<QLineEdit*>(QStringLiteral("nameEdit"))->setText(QStringLiteral("Gyro 2"));
        QVERIFY(dialog.problems().isEmpty());
        QCOMPARE(dialog.config().source, QStringLiteral("tcp:10.0.0.1:4001"));
    }

    void feedCountsAndShowsEveryLine()
    {
        belrix_common_qt::remotePort_t port;
        deviceFeed_t feed(&port, nullptr);
        feed.setHistorySize(4);
        QByteArray const good = nmeaEncoder_t::sentence("HEHDT,12.5,T");
        QByteArray bad = good;
        bad[bad.size() - 1] = bad.endsWith('0') ? '1' : '0';
        double const t = 1718000000.0;
        feed.handleLine(good, t);
        feed.handleLine(bad, t);
        feed.handleLine(nmeaEncoder_t::sentence("GPTXT,01,01,02,hello"), t);
        feed.handleLine("\x01\x02 noise", t);
        feed.handleLine(good, t + 1.0);
        belrix_common_qt::nmeaCounters_t const c = feed.counters();
        QCOMPARE(c.lines, 5u);
        QCOMPARE(c.accepted, 2u);
        QCOMPARE(c.badChecksum, 1u);
        QCOMPARE(c.unknown, 1u);
        QCOMPARE(c.malformed, 1u);
        QCOMPARE(port.device()->heading().value(), 12.5f);
        QList<rawLine_t> const lines = feed.recentLines();
        QCOMPARE(lines.size(), 4);   // the oldest went
        QCOMPARE(lines.first().result, belrix_common_qt::nmeaBadChecksum);
        QCOMPARE(lines.last().sequence, 5u);
        QCOMPARE(lines.last().time, t + 1.0);

        dlgRawNmea_t view(&feed, QStringLiteral("Gyro"));
        view.refresh();
        QCOMPARE(view.rowCount(), 4);
        auto* list = view.findChild<QTreeWidget*>(QStringLiteral("lineList"));
        QCOMPARE(list->topLevelItem(0)->text(1), dlgRawNmea_t::reasonText(belrix_common_qt::nmeaBadChecksum));
        QVERIFY(list->topLevelItem(0)->background(2).color().isValid());
        QCOMPARE(list->topLevelItem(2)->text(2), QStringLiteral("\\x01\\x02 noise"));
        QVERIFY(list->topLevelItem(3)->text(1).isEmpty());
        QVERIFY(view.windowTitle().contains(QStringLiteral("Gyro")));
        feed.handleLine(good, t + 2.0);
        view.refresh();
        QCOMPARE(view.rowCount(), 4);   // as many as the feed keeps
        feed.resetCounters();
        QCOMPARE(feed.counters().lines, 0u);
    }

    void applicationEditsItsDevices()
    {
        QString const path = m_dir->filePath(QStringLiteral("orvane.conf"));
        orvaneApplication_t::options_t options = headless(path);
        orvaneApplication_t app(options);
        QVERIFY(app.start());
        QCOMPARE(app.devices().size(), 3);

        // colour and source change in place
        QPointer<orvane::device_t> first = app.devices().at(0);
        deviceConfig_t changed = app.deviceConfigs().at(0);
        changed.color = QColor("#123456");
        changed.source = QStringLiteral("simulation:receiver-b");
        QVERIFY(app.changeDevice(0, changed));
        QVERIFY(first);
        QCOMPARE(first->deviceColor(), QColor("#123456"));
        QVERIFY(app.feed(first)->source()->isConnected());

        // a new name builds the device again, and its settings go with it
        first->resize(640, 480);
        changed.name = QStringLiteral("Bridge GNSS");
        QVERIFY(app.changeDevice(0, changed));
        QVERIFY(!first);
        QCOMPARE(app.devices().at(0)->deviceName(), QStringLiteral("Bridge GNSS"));
        QCOMPARE(app.devices().at(0)->size(), QSize(640, 480));
        QVERIFY(app.devices().at(0)->isConnected());

        QString error;
        QVERIFY(!app.changeDevice(1, changed, &error));
        QVERIFY(error.contains(QStringLiteral("Bridge GNSS")));
        QVERIFY(!app.addDevice(declared("Extra", "tcp:nowhere"), &error));
        QVERIFY(!error.isEmpty());
        QCOMPARE(app.devices().size(), 3);

        QVERIFY(app.addDevice(declared("Link", "tcp:127.0.0.1:9")));
        QCOMPARE(app.devices().size(), 4);
        QCOMPARE(orvane::deviceStore_t::instance()->devices().size(), 4);
        QVERIFY(!app.devices().at(3)->isConnected());   // headless runs do not dial out

        QVERIFY(app.removeDevice(1));
        QVERIFY(!app.removeDevice(7));
        QCOMPARE(app.devices().size(), 3);
        QCOMPARE(orvane::deviceStore_t::instance()->devices().size(), 3);
        QVERIFY(app.saveConfiguration());
        tolvconfig::config_t config;
        QVERIFY(config.load(path).ok());
        QCOMPARE(deviceConfigList_t::load(config), app.deviceConfigs());
        QVERIFY(config.hasKey("device.Bridge GNSS.geometry"));
    }

    void badSourceLeavesTheOthersRunning()
    {
        QString const config = writeConfig({declared("Broken", "radio:channel 16"), declared("Sim", "simulation:receiver-a"),
                                            declared("Nothing", QString())});
        orvaneApplication_t app(headless(config));
        QVERIFY(app.start());
        QCOMPARE(app.devices().size(), 3);
        QCOMPARE(app.runSnapshots(), 0);
        QVERIFY(!app.devices().at(0)->isConnected());
        QVERIFY(!app.feed(app.devices().at(0))->statusText().isEmpty());
        QVERIFY(app.devices().at(1)->isConnected());
        QVERIFY(app.devices().at(1)->remoteDevice()->inputPosition().isValid());
        QVERIFY(app.feed(app.devices().at(2))->statusText().isEmpty());
    }

    void replayedCaptureShowsItsReceiver()
    {
        QByteArray const data = qgetenv("ORVANE_SHARED_DATA");
        if (data.isEmpty())
            QSKIP("ORVANE_SHARED_DATA is not set");
        QString const capture = QDir(QString::fromLocal8Bit(data)).filePath(QStringLiteral("nmea/gpsd/ublox-zed-f9p-nmea.log"));
        if (!QFile::exists(capture))
            QSKIP("the capture is not there");
        QString const config = writeConfig({declared("F9P", "file:" + capture), declared("Sim", "simulation:receiver-a")});
        orvaneApplication_t::options_t options = headless(config);
        options.runFor = 20;
        options.recordPath = m_dir->filePath(QStringLiteral("rec/capture.nmea"));
        orvaneApplication_t app(options);
        QVERIFY(app.start());
        QCOMPARE(app.runSnapshots(), 0);
        // the recording's clock: April 2019
        QDateTime const now = QDateTime::fromMSecsSinceEpoch(qint64(dataClock_t::now() * 1000.0), Qt::UTC);
        QCOMPARE(now.date().year(), 2019);
        belrix_common_qt::remoteDevice_t const* f9p = app.devices().at(0)->remoteDevice();
        QVERIFY(f9p->inputPosition().isValid());
        QVERIFY(belrix_common_qt::isDataRecent(f9p->inputPosition().timestamp(), dataClock_t::now(), 3.0));
        QVERIFY(f9p->allNavSats().size() > 10);
        QVERIFY(f9p->pseudorangeStats().isValid());
        // the simulation runs on the recording's clock too
        belrix_common_qt::remoteDevice_t const* sim = app.devices().at(1)->remoteDevice();
        QVERIFY(belrix_common_qt::isDataRecent(sim->inputPosition().timestamp(), dataClock_t::now(), 3.0));
        // and every device's stream was kept
        app.feed(app.devices().at(0))->flushRecording();
        app.feed(app.devices().at(1))->flushRecording();
        QFile recorded(m_dir->filePath(QStringLiteral("rec/capture-f9p.nmea")));
        QVERIFY(recorded.open(QIODevice::ReadOnly));
        int records = 0;
        while (!recorded.atEnd()) {
            QByteArray const line = recorded.readLine().trimmed();
            records += nmeaRecorder_t::parseLine(line, nullptr, nullptr);
        }
        QVERIFY(records > 100);
        QVERIFY(QFile::exists(m_dir->filePath(QStringLiteral("rec/capture-sim.nmea"))));
    }
};

QTEST_MAIN(tst_deviceEditing)
#include "tst_deviceEditing.moc"
