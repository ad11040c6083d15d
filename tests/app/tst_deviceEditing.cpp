#include "application/deviceConfig.h"
#include "application/deviceFeed.h"
#include "windows/dlgDeviceConfig.h"
#include "windows/dlgRawNmea.h"
#include "simulation/nmeaEncoder.h"
#include "sources/nmeaSource.h"
#include "application/orvaneApplication.h"
#include "windows/mainWindow.h"

#include <belrix_common_qt/dataClock.h>
#include <belrix_common_qt/navConstants.h>
#include <belrix_common_qt/remoteDevice.h>
#include <belrix_common_qt/remotePort.h>
#include <orvane/device.h>
#include <orvane/deviceStore.h>
#include <tolvconfig/config.h>

#include <QCheckBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QStatusBar>
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

} // namespace

class tst_deviceEditing : public QObject
{
    Q_OBJECT

    QTemporaryDir* m_dir = nullptr;

    orvaneApplication_t::options_t headless(QList<deviceConfig_t> const& devices = {})
    {
        orvaneApplication_t::options_t options;
        options.configPath = m_dir->filePath(QStringLiteral("orvane.conf"));
        options.snapshotDir = m_dir->filePath(QStringLiteral("snapshots"));
        options.runFor = 3;
        if (!devices.isEmpty()) {
            tolvconfig::config_t config;
            deviceConfigList_t::save(config, devices);
            config.save(options.configPath);
        }
        return options;
    }

private slots:
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
        QCOMPARE(deviceConfigList_t::load(config), (QList<deviceConfig_t>{plain, old}));
        // fewer devices leave no stale flag behind for the next list to inherit
        deviceConfigList_t::save(config, {plain});
        deviceConfigList_t::save(config, {plain, declared("New", "udp:10110")});
        QVERIFY(!deviceConfigList_t::load(config).at(1).allowMissingChecksum);
        // nameless, repeated or too many devices are skipped, each with its reason; a name too
        // long to edit is kept, and said
        config.setValue("devices.count", "100000");
        config.setValue("devices.1.name", "");
        config.setValue("devices.2.name", "Bridge");
        config.setValue("devices.3.name", std::string(deviceConfig_t::MaxNameLength + 1, 'x'));
        QStringList problems;
        QCOMPARE(deviceConfigList_t::load(config, &problems).size(), 2);
        QCOMPARE(problems.size(), 4);
        // a count that is no whole number reads as no device, said once, and the list stays declared
        for (char const* count : {"two", "2.0", ""}) {
            config.setValue("devices.count", count);
            problems.clear();
            QVERIFY(deviceConfigList_t::load(config, &problems).isEmpty());
            QCOMPARE(problems.size(), 1);
            QVERIFY(deviceConfigList_t::isDeclared(config) && !deviceConfigList_t::isReadable(config));
        }
    }

    void dialogKeepsEveryKindOfSource_data()
    {
        QTest::addColumn<QString>("source");
        QTest::newRow("none") << QString();
        QTest::newRow("simulation") << "simulation:receiver-b";
        QTest::newRow("file") << "file:/logs/bridge.nmea?rate=4&loop=1";
        QTest::newRow("tcp") << "tcp:192.168.1.20:4001";
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
        sourceAddress_t address;   // the dialog gives the source back in its canonical form
        config.source = sourceAddress_t::parse(source, &address) ? address.toString() : QString();
        QCOMPARE(dialog.config(), config);
    }

    void dialogCapabilitiesKeepWhatTheyDoNotShow()
    {
        dlgDeviceConfig_t dialog;
        dialog.setConfig(declared("A", QString(), 0x40000 | 0x100 | 0x2 | 0x800));
        auto* signalStatus = dialog.findChild<QCheckBox*>(QStringLiteral("capability1"));
        auto* heading = dialog.findChild<QCheckBox*>(QStringLiteral("capability512"));
        QVERIFY(signalStatus->isChecked() && !heading->isChecked());
        signalStatus->setChecked(false);   // its alternate goes with it
        heading->setChecked(true);
        QCOMPARE(dialog.config().capabilities, 0x100 | 0x2 | 0x800 | 0x200);
    }

    void dialogNamesEveryProblem()
    {
        dlgDeviceConfig_t dialog;
        dialog.setTakenNames({"GNSS 1", "Gyro"});
        dialog.setConfig(declared(QString(), "tcp:host:4001"));
        auto* name = dialog.findChild<QLineEdit*>(QStringLiteral("nameEdit"));
        auto* host = dialog.findChild<QLineEdit*>(QStringLiteral("tcpHostEdit"));
        host->clear();
        QCOMPARE(dialog.problems().size(), 2);
        name->setText(QStringLiteral("gyro"));
        host->setText(QStringLiteral("10.0.0.1"));
        QCOMPARE(dialog.problems().size(), 1);   // names differ in case only
        name->setText(QStringLiteral("Gyro 2"));
        QVERIFY(dialog.problems().isEmpty());
        name->setText(QString(deviceConfig_t::MaxNameLength + 1, QLatin1Char('x')));
        QCOMPARE(dialog.problems().size(), 1);
        name->setText(QString(deviceConfig_t::MaxNameLength, QLatin1Char('x')));
        QVERIFY(dialog.problems().isEmpty());
    }

    void feedCountsAndShowsEveryLine()
    {
        belrix_common_qt::remotePort_t port;
        deviceFeed_t feed(&port, nullptr);
        feed.setHistorySize(4);
        QByteArray const good = nmeaEncoder_t::sentence("HEHDT,12.5,T");
        QByteArray const bad("$HEHDT,12.5,T*18");
        for (QByteArray const& line : {good, bad, nmeaEncoder_t::sentence("GPTXT,01,01,02,hello"), QByteArray("\x01\x02 noise"), good})
            feed.handleLine(line, 1718000000.0);
        belrix_common_qt::nmeaCounters_t const c = feed.counters();
        QCOMPARE(QList<std::uint64_t>({c.lines, c.accepted, c.badChecksum, c.unknown, c.malformed}), QList<std::uint64_t>({5, 2, 1, 1, 1}));
        QCOMPARE(port.device()->heading().value(), 12.5f);
        QList<rawLine_t> const lines = feed.recentLines();
        // the oldest went
        QVERIFY(lines.size() == 4 && lines.first().result == belrix_common_qt::nmeaBadChecksum && lines.last().sequence == 5u);

        // control bytes are shown, not sent to the screen
        dlgRawNmea_t view(&feed, QStringLiteral("Gyro"));
        view.refresh();
        QCOMPARE(view.findChild<QTreeWidget*>(QStringLiteral("lineList"))->topLevelItem(2)->text(2), QStringLiteral("\\x01\\x02 noise"));
    }

    void applicationEditsItsDevices()
    {
        orvaneApplication_t app(headless());
        QVERIFY(app.start());
        // colour and source change in place
        QPointer<orvane::device_t> first = app.devices().at(0);
        deviceConfig_t changed = app.deviceConfigs().at(0);
        changed.color = QColor("#123456");
        changed.source = QStringLiteral("simulation:receiver-b");
        QVERIFY(app.changeDevice(0, changed));
        QVERIFY(first && first->deviceColor() == QColor("#123456"));
        QVERIFY(app.feed(first)->source()->isConnected());
        // a new name builds the device again, and its settings go with it
        first->resize(640, 480);
        changed.name = QStringLiteral("Bridge GNSS");
        QVERIFY(app.changeDevice(0, changed));
        QVERIFY(!first && app.devices().at(0)->isConnected());
        QCOMPARE(app.devices().at(0)->size(), QSize(640, 480));

        QString error;
        QVERIFY(!app.changeDevice(1, changed, &error) && error.contains(QStringLiteral("Bridge GNSS")));
        QVERIFY(!app.addDevice(declared("Extra", "tcp:nowhere"), &error));
        QVERIFY(app.addDevice(declared("Link", "tcp:127.0.0.1:9")));
        QVERIFY(!app.devices().at(3)->isConnected());   // headless runs do not dial out
        QVERIFY(app.removeDevice(1) && !app.removeDevice(7));
        QCOMPARE(orvane::deviceStore_t::instance()->devices().size(), 3);
        QVERIFY(app.saveConfiguration());
        tolvconfig::config_t config;
        QVERIFY(config.load(m_dir->filePath(QStringLiteral("orvane.conf"))).ok());
        QCOMPARE(deviceConfigList_t::load(config), app.deviceConfigs());
        QVERIFY(config.hasKey("device.Bridge GNSS.geometry"));
    }

    void badSourceLeavesTheOthersRunning()
    {
        // a name from a hand-edited file, longer than any file name may be, still gets its snapshots
        QString const missing = "file:" + m_dir->filePath("recordings/of/the/whole/voyage/from/the/aft/bridge/gnss-2.nmea?rate=10&loop=1");
        orvaneApplication_t app(headless({declared("Broken", "radio:channel 16"), declared("Sim", "simulation:receiver-a"),
                                          declared("Nothing", QString()), declared("Aft Bridge Recording of the Voyage", missing),
                                          declared(QString(250, QLatin1Char('n')), QString())}));
        QVERIFY(app.start());
        QCOMPARE(app.runSnapshots(), 0);
        QVERIFY(!app.devices().at(0)->isConnected() && !app.feed(app.devices().at(0))->statusText().isEmpty());
        QVERIFY(app.devices().at(1)->remoteDevice()->inputPosition().isValid());
        QVERIFY(app.feed(app.devices().at(2))->statusText().isEmpty());   // nothing to say without a source

        // the whole reason is in the device window, and in the list's tooltip
        orvane::device_t* aft = app.devices().at(3);
        QString const reason = app.feed(aft)->stateText();
        QVERIFY2(reason.contains("gnss-2.nmea") && reason.startsWith("Not connected"), qPrintable(reason));
        auto* label = aft->findChild<QLabel*>(QStringLiteral("sourceStatusLabel"));
        QVERIFY(label && label->text() == reason);
        QVERIFY(aft->statusBar()->minimumSizeHint().width() < label->fontMetrics().horizontalAdvance(reason));
        auto* tree = app.mainWindow()->findChild<QTreeWidget*>(QStringLiteral("deviceTree"));
        auto column = [tree](QString const& title) {
            for (int c = 0; c < tree->columnCount(); ++c) {
                if (tree->headerItem()->text(c) == title)
                    return c;
            }
            return -1;
        };
        QCOMPARE(tree->topLevelItem(3)->toolTip(column("Status")), reason);
        // long names, sources and reasons leave the counters in view
        int const malformed = column("Malformed");
        QVERIFY(tree->viewport()->width() > 0);
        QVERIFY(tree->header()->sectionViewportPosition(malformed) + tree->header()->sectionSize(malformed)
                <= tree->viewport()->width());
    }
};

QTEST_MAIN(tst_deviceEditing)
#include "tst_deviceEditing.moc"
