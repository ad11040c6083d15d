#include "application/deviceConfig.h"
#include "application/orvaneApplication.h"

#include <belrix_common_qt/dataClock.h>
#include <belrix_common_qt/navConstants.h>
#include <orvane/device.h>
#include <orvane/deviceStore.h>
#include <orvane/menuManager.h>
#include <orvane/orvanePage.h>
#include <orvane/orvanePageGroup.h>
#include <tolvconfig/config.h>

#include <QAction>
#include <QDir>
#include <QImage>
#include <QTemporaryDir>
#include <QtTest>

using orvane::app::deviceConfig_t;
using orvane::app::deviceConfigList_t;
using orvane::app::orvaneApplication_t;

namespace {

QStringList pageTitles(orvane::device_t* device)
{
    QStringList titles;
    for (orvane::orvanePage_t* page : device->pageGroup()->pages())
        titles << page->title();
    return titles;
}

} // namespace

class tst_application : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir* m_dir = nullptr;

    QString path(QString const& name) const { return m_dir->filePath(name); }

    void writeConfig(QString const& file, QList<deviceConfig_t> const& devices)
    {
        tolvconfig::config_t config;
        deviceConfigList_t::save(config, devices);
        QVERIFY(config.save(file));
    }

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void init() { m_dir = new QTemporaryDir; }
    void cleanup()
    {
        delete m_dir;
        belrix_common_qt::dataClock_t::useSystemTime();
    }

    void snapshotsOfEveryWindow()
    {
        orvaneApplication_t::options_t options;
        options.snapshotDir = path("snapshots");
        options.runFor = 5;
        orvaneApplication_t app(options);
        QVERIFY(app.start());
        QCOMPARE(app.devices().size(), 3);
        QCOMPARE(app.runSnapshots(), 0);

        QStringList expected = {"main-window.png", "device-gnss-1.png", "device-gnss-2.png", "device-gyro.png",
                                "device-gnss-1-error-ellipse-plot.png", "device-gyro-compass-rose.png"};
        for (QString const& file : expected) {
            QImage image(QDir(options.snapshotDir).filePath(file));
            QVERIFY2(!image.isNull(), qPrintable(file));
            QVERIFY2(image.width() > 100 && image.height() > 100, qPrintable(file));
        }
        QVERIFY(!QFile::exists(QDir(options.snapshotDir).filePath("device-gyro-tape-display.png")));
        for (orvane::device_t* device : app.devices())
            QVERIFY2(device->isConnected(), qPrintable(device->deviceName()));
    }

    void devicesComeFromTheConfiguration()
    {
        deviceConfig_t bare;
        bare.name = "Log Port";
        bare.capabilities = 0;
        bare.color = QColor("#777777");
        deviceConfig_t gyro;
        gyro.name = "Gyro";
        gyro.type = belrix_common_qt::deviceNameGyro;
        gyro.capabilities = 0x200;
        gyro.color = QColor("#2ca02c");
        gyro.source = "simulation:gyro";
        writeConfig(path("orvane.conf"), {bare, gyro});

        orvaneApplication_t::options_t options;
        options.configPath = path("orvane.conf");
        orvaneApplication_t app(options);
        QVERIFY(app.start());
        QCOMPARE(app.devices().size(), 2);
        orvane::device_t* port = app.devices().at(0);
        QVERIFY(pageTitles(port).filter(QRegularExpression("Plot|Graphs|Fix|Compass|Tape|Settings")).isEmpty());
        QCOMPARE(pageTitles(app.devices().at(1)).filter("Compass Rose...").size(), 1);
        QVERIFY(pageTitles(app.devices().at(1)).filter("Tape Display...").isEmpty());
        QCOMPARE(orvane::deviceStore_t::instance()->devices().size(), 2);
        QCOMPARE(app.devices().at(1)->deviceColor(), QColor("#2ca02c"));
    }

    void savingKeepsDevicesAndWindows()
    {
        orvaneApplication_t::options_t options;
        options.configPath = path("sub/orvane.conf");
        {
            orvaneApplication_t app(options);
            QVERIFY(app.start());
            app.devices().at(0)->resize(700, 610);
            QVERIFY(app.saveConfiguration());
        }
        tolvconfig::config_t config;
        QVERIFY(config.load(options.configPath).status == tolvconfig::loadResult_t::Loaded);
        QCOMPARE(deviceConfigList_t::load(config), deviceConfigList_t::simulationDevices());
        QVERIFY(config.hasKey("device.GNSS 1.geometry"));
        QVERIFY(config.hasKey("device.GNSS 1.dlgErrorEllipse.geometry"));

        orvaneApplication_t again(options);
        QVERIFY(again.start());
        QCOMPARE(again.devices().at(0)->size(), QSize(700, 610));
    }

    void damagedConfigurationIsKeptAndDefaultsUsed()
    {
        QFile file(path("orvane.conf"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("{\"format\": \"orvane-configuration\", \"values\": {");
        file.close();

        orvaneApplication_t::options_t options;
        options.configPath = path("orvane.conf");
        options.snapshotDir = path("snapshots");   // no message boxes
        orvaneApplication_t app(options);
        QVERIFY(app.start());
        QCOMPARE(app.devices().size(), 3);
        QStringList backups = QDir(m_dir->path()).entryList({"orvane.conf.corrupt-*"});
        QCOMPARE(backups.size(), 1);
    }

    void deviceListSkipsWhatCannotBeUsed()
    {
        tolvconfig::config_t config;
        config.setValue("devices.count", "3");
        config.setValue("devices.0.name", "A");
        config.setValue("devices.1.name", "");
        config.setValue("devices.2.name", "A");
        QStringList problems;
        QList<deviceConfig_t> devices = deviceConfigList_t::load(config, &problems);
        QCOMPARE(devices.size(), 1);
        QCOMPARE(problems.size(), 2);
        QVERIFY(devices.first().color.isValid());

        config.setValue("devices.count", "100000");
        problems.clear();
        deviceConfigList_t::load(config, &problems);
        QCOMPARE(problems.size(), 3);
    }
};

QTEST_MAIN(tst_application)
#include "tst_application.moc"
