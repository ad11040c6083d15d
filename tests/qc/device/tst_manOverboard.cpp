#include <device/qcDevice.h>

#include <belrix_common_qt/dataClock.h>
#include <belrix_common_qt/remoteDevice.h>
#include <belrix_common_qt/remotePort.h>
#include <orvane/context.h>
#include <orvane/fixes/fixManager.h>
#include <orvane/geodetics/geodeticSettings.h>
#include <orvane/menuManager.h>

#include <QAction>
#include <QTemporaryDir>
#include <QToolBar>
#include <QToolButton>
#include <QtTest>

#include <cmath>
#include <limits>
#include <memory>
#include <belrix_common_qt/navConstants.h>

using namespace belrix_common_qt;
using orvane::fixes::fix_t;
using orvane::fixes::fixManager_t;
using orvane::geodetics::geodeticSettings_t;
using orvane::qc::qcDevice_t;
using tolvgeodesy::coordLL_t;

namespace {

constexpr double Now = 1796498625.0;   // 2026-12-05 19:23:45 UTC
constexpr double Lat = 0.9995;         // radians, the Kattegat
constexpr double Lon = 0.2005;
constexpr double NaN = std::numeric_limits<double>::quiet_NaN();
constexpr unsigned int PortId = 7;

enum conversion_t { conversionIdentity, conversionFails, conversionLeavesOutput, conversionGives };

bool near(double a, double b) { return std::fabs(a - b) <= 1e-12 * std::max(1.0, std::fabs(b)); }

fixManager_t* store() { return fixManager_t::instance(); }

} // namespace

class tst_manOverboard : public QObject
{
    Q_OBJECT

private:
    orvane::context_t* m_context = nullptr;
    std::unique_ptr<QTemporaryDir> m_dir;

    qcDevice_t* makeDevice(bool withPort = true, int mask = 0x2)
    {
        auto* device = new qcDevice_t(m_context, QStringLiteral("GNSS 1"), nullptr);
        if (withPort)
            device->setPort(new remotePort_t);
        device->setPortId(PortId);
        device->setDeviceCapabilities(mask);
        device->initialize();
        if (withPort)
            device->port()->setConnected(true);
        return device;
    }

    static void setPosition(qcDevice_t* device, double age, bool latValid = true, bool lonValid = true,
                            bool valid = true)
    {
        position_t position(Lat, Lon);
        position.latValid = latValid;
        position.lonValid = lonValid;
        dataItem_t<position_t> item(position, Now - age);
        item.setValid(valid);
        device->remoteDevice()->setInputPosition(item);
    }

    static QAction* manOverboardAction(qcDevice_t* device)
    {
        return device->menuManager()->actionForTitle(QStringLiteral("Settings"), QStringLiteral("Man Overboard"));
    }

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        // the description is written in local time; make it the same on every machine
        qputenv("TZ", "UTC");
    }

    void init()
    {
        m_context = new orvane::context_t;
        m_dir.reset(new QTemporaryDir);
        QVERIFY(store()->open(m_dir->filePath(QStringLiteral("fixes.journal"))));
        dataClock_t::setTime(Now);
    }

    void cleanup()
    {
        geodeticSettings_t::instance()->setInputToRawTransformation({});
        delete m_context;
        m_context = nullptr;
        m_dir.reset();
        dataClock_t::useSystemTime();
    }

    void silentStops_data()
    {
        QTest::addColumn<bool>("withPort");
        QTest::addColumn<bool>("hasPosition");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<double>("age");
        QTest::addColumn<bool>("latValid");
        QTest::addColumn<bool>("lonValid");
        QTest::addColumn<int>("conversion");
        QTest::addColumn<double>("outLon");
        QTest::addColumn<double>("outLat");

        QTest::newRow("no data model") << false << false << true << 0.0 << true << true << int(conversionIdentity)
                                       << 0.0 << 0.0;
        QTest::newRow("no position yet") << true << false << true << 0.0 << true << true << int(conversionIdentity)
                                         << 0.0 << 0.0;
        QTest::newRow("position invalid") << true << true << false << 0.0 << true << true << int(conversionIdentity)
                                          << 0.0 << 0.0;
        QTest::newRow("position exactly 3 s old") << true << true << true << 3.0 << true << true
                                                  << int(conversionIdentity) << 0.0 << 0.0;
        QTest::newRow("position from the future") << true << true << true << -3.5 << true << true
                                                  << int(conversionIdentity) << 0.0 << 0.0;
        QTest::newRow("latitude invalid") << true << true << true << 0.0 << false << true << int(conversionIdentity)
                                          << 0.0 << 0.0;
        QTest::newRow("longitude invalid") << true << true << true << 0.0 << true << false << int(conversionIdentity)
                                           << 0.0 << 0.0;
        QTest::newRow("conversion fails") << true << true << true << 0.0 << true << true << int(conversionFails)
                                          << 0.0 << 0.0;
        QTest::newRow("conversion fills nothing") << true << true << true << 0.0 << true << true
                                                  << int(conversionLeavesOutput) << 0.0 << 0.0;
        QTest::newRow("latitude beyond the pole") << true << true << true << 0.0 << true << true
                                                  << int(conversionGives) << 0.0 << std::nextafter(Pi / 2, 4.0);
        QTest::newRow("longitude beyond the antimeridian") << true << true << true << 0.0 << true << true
                                                           << int(conversionGives) << std::nextafter(-Pi, -4.0)
                                                           << 0.0;
        QTest::newRow("latitude not a number") << true << true << true << 0.0 << true << true << int(conversionGives)
                                               << 0.1 << NaN;
        QTest::newRow("longitude not a number") << true << true << true << 0.0 << true << true
                                                << int(conversionGives) << NaN << 0.1;
    }

    void silentStops()
    {
        QFETCH(bool, withPort);
        QFETCH(bool, hasPosition);
        QFETCH(bool, valid);
        QFETCH(double, age);
        QFETCH(bool, latValid);
        QFETCH(bool, lonValid);
        QFETCH(int, conversion);
        QFETCH(double, outLon);
        QFETCH(double, outLat);

        std::unique_ptr<qcDevice_t> device(makeDevice(withPort));
        if (hasPosition)
            setPosition(device.get(), age, latValid, lonValid, valid);
        switch (conversion) {
        case conversionFails:
            geodeticSettings_t::instance()->setInputToRawTransformation(
                [](coordLL_t const&, coordLL_t&) { return false; });
            break;
        case conversionLeavesOutput:
            geodeticSettings_t::instance()->setInputToRawTransformation(
                [](coordLL_t const&, coordLL_t&) { return true; });
            break;
        case conversionGives:
            geodeticSettings_t::instance()->setInputToRawTransformation([=](coordLL_t const&, coordLL_t& out) {
                out = coordLL_t(outLon, outLat);
                return true;
            });
            break;
        default: break;
        }

        QSignalSpy added(store(), &fixManager_t::fixAdded);
        QSignalSpy problems(store(), &fixManager_t::storeProblem);
        QMetaObject::invokeMethod(device.get(), "manOverboard");
        QCOMPARE(added.count(), 0);
        QCOMPARE(store()->count(), 0);
        QCOMPARE(problems.count(), 0);
    }

    void recordsTheFix_data()
    {
        QTest::addColumn<double>("positionAge");
        QTest::addColumn<bool>("heightValid");
        QTest::addColumn<double>("heightAge");
        QTest::addColumn<double>("height");

        QTest::newRow("fresh height") << 0.0 << true << 0.0 << 42.25;
        QTest::newRow("position 2.5 s old") << 2.5 << true << 0.0 << 42.25;
        QTest::newRow("height 2.9 s old") << 0.0 << true << 2.9 << 42.25;
        QTest::newRow("no height") << 0.0 << false << -1.0 << 0.0;
        QTest::newRow("height invalid") << 0.0 << false << 0.0 << 0.0;
        QTest::newRow("height exactly 3 s old") << 0.0 << true << 3.0 << 0.0;
    }

    void recordsTheFix()
    {
        QFETCH(double, positionAge);
        QFETCH(bool, heightValid);
        QFETCH(double, heightAge);
        QFETCH(double, height);

        std::unique_ptr<qcDevice_t> device(makeDevice());
        setPosition(device.get(), positionAge);
        if (heightAge >= 0.0) {
            dataItem_t<double> item(42.25, Now - heightAge);
            item.setValid(heightValid);
            device->remoteDevice()->setEllipsoidalHeight(item);
        }
        manOverboardAction(device.get())->trigger();

        QCOMPARE(store()->count(), 1);
        fix_t const fix = store()->fixes().first();
        QCOMPARE(fix.portId, PortId);
        QCOMPARE(fix.time, Now - positionAge);
        QCOMPARE(fix.type, orvane::fixes::fixTypeManOverboard);
        QVERIFY(near(fix.coord.lat, Lat));
        QVERIFY(near(fix.coord.lon, Lon));
        QVERIFY(near(fix.height, height));
    }

    void theConvertedCoordinateIsRecorded_data()
    {
        QTest::addColumn<double>("outLon");
        QTest::addColumn<double>("outLat");
        QTest::newRow("north pole, west antimeridian") << -Pi << Pi / 2;
        QTest::newRow("south pole, east antimeridian") << Pi << -Pi / 2;
        QTest::newRow("shifted datum") << Lon + 1e-5 << Lat - 2e-5;
    }

    void theConvertedCoordinateIsRecorded()
    {
        QFETCH(double, outLon);
        QFETCH(double, outLat);
        geodeticSettings_t::instance()->setInputToRawTransformation([=](coordLL_t const& in, coordLL_t& out) {
            // the input is the position, longitude first
            if (!near(in.lon, Lon) || !near(in.lat, Lat))
                return false;
            out = coordLL_t(outLon, outLat);
            return true;
        });
        std::unique_ptr<qcDevice_t> device(makeDevice());
        setPosition(device.get(), 0.0);
        manOverboardAction(device.get())->trigger();
        QCOMPARE(store()->count(), 1);
        QCOMPARE(store()->fixes().first().coord.lon, outLon);
        QCOMPARE(store()->fixes().first().coord.lat, outLat);
    }

    void descriptionShowsTheWholeSecondBelow_data()
    {
        QTest::addColumn<double>("fraction");
        QTest::addColumn<QString>("description");
        QTest::newRow("whole second") << 0.0 << "Man Overboard - 2026-12-05 19:23:44.000";
        QTest::newRow("just below the next second") << 0.999 << "Man Overboard - 2026-12-05 19:23:44.000";
        QTest::newRow("half a second") << 0.5 << "Man Overboard - 2026-12-05 19:23:44.000";
    }

    void descriptionShowsTheWholeSecondBelow()
    {
        QFETCH(double, fraction);
        QFETCH(QString, description);
        std::unique_ptr<qcDevice_t> device(makeDevice());
        const double stamp = Now - 1.0 + fraction;
        device->remoteDevice()->setInputPosition(dataItem_t<position_t>(position_t(Lat, Lon), stamp));
        manOverboardAction(device.get())->trigger();
        QCOMPARE(store()->count(), 1);
        QCOMPARE(store()->fixes().first().description, description);
        // the fix keeps the exact time of the position, not the truncated one nor the clock's
        QCOMPARE(store()->fixes().first().time, stamp);
    }

    void everyPressRecordsAFix()
    {
        std::unique_ptr<qcDevice_t> device(makeDevice());
        setPosition(device.get(), 0.0);
        QAction* action = manOverboardAction(device.get());
        action->trigger();
        action->trigger();
        QCOMPARE(store()->count(), 2);
        QVERIFY(store()->fixes().at(0).id != store()->fixes().at(1).id);
    }

    void fixIsOnDiskWhenTheTriggerReturns()
    {
        std::unique_ptr<qcDevice_t> device(makeDevice());
        setPosition(device.get(), 0.0);
        manOverboardAction(device.get())->trigger();
        QFile file(store()->path());
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.readAll().contains("Man Overboard - 2026-12-05 19:23:45.000"));
    }

    void f10InTheDeviceWindow_data()
    {
        QTest::addColumn<bool>("connected");
        QTest::addColumn<int>("fixes");
        QTest::newRow("connected") << true << 1;
        QTest::newRow("disconnected") << false << 0;
    }

    void f10InTheDeviceWindow()
    {
        QFETCH(bool, connected);
        QFETCH(int, fixes);
        std::unique_ptr<qcDevice_t> device(makeDevice());
        setPosition(device.get(), 0.0);
        device->port()->setConnected(connected);
        device->show();
        device->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(device.get()));
        QTest::keyClick(device.get(), Qt::Key_F10);
        QCOMPARE(store()->count(), fixes);
    }

    void toolBarButton()
    {
        std::unique_ptr<qcDevice_t> device(makeDevice());
        setPosition(device.get(), 0.0);
        auto* button = qobject_cast<QToolButton*>(device->toolBar()->widgetForAction(manOverboardAction(device.get())));
        QVERIFY(button);
        device->show();
        QTest::mouseClick(button, Qt::LeftButton);
        QCOMPARE(store()->count(), 1);
    }

    void staleF10HasNoVisibleEffect()
    {
        std::unique_ptr<qcDevice_t> device(makeDevice());
        setPosition(device.get(), 0.0);
        dataClock_t::advance(3.0);
        device->show();
        QVERIFY(QTest::qWaitForWindowActive(device.get()));
        const int before = int(QApplication::topLevelWidgets().size());
        QTest::keyClick(device.get(), Qt::Key_F10);
        QCOMPARE(store()->count(), 0);
        QCOMPARE(int(QApplication::topLevelWidgets().size()), before);
        QVERIFY(!QApplication::activeModalWidget());
    }

    void withoutPositionsThereIsNoAction()
    {
        std::unique_ptr<qcDevice_t> device(makeDevice(true, 0x10));
        QVERIFY(!manOverboardAction(device.get()));
        QTest::keyClick(device.get(), Qt::Key_F10);
        QCOMPARE(store()->count(), 0);
    }
};

QTEST_MAIN(tst_manOverboard)
#include "tst_manOverboard.moc"
