#include "qcTestFixture.h"

#include <belrix_common_qt/dataClock.h>
#include <belrix_common_qt/navConstants.h>
#include <orvane/fixes/fixManager.h>
#include <orvane/geodetics/geodeticSettings.h>
#include <orvane/menuManager.h>

#include <QAction>
#include <QTemporaryDir>
#include <QToolBar>
#include <QtTest>

#include <cmath>
#include <limits>

using namespace belrix_common_qt;
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

// What the datum conversion does with the position; "gives" hands out the row's coordinate.
enum conversion_t { conversionIdentity, conversionFails, conversionLeavesOutput, conversionGives };
// What is wrong with the position.
enum flaw_t { flawNone = 0, flawItemInvalid = 1, flawLatInvalid = 2, flawLonInvalid = 4 };

bool near(double a, double b) { return std::fabs(a - b) <= 1e-12 * std::max(1.0, std::fabs(b)); }

fixManager_t* store() { return fixManager_t::instance(); }

void setConversion(int conversion, double lon, double lat)
{
    geodeticSettings_t* settings = geodeticSettings_t::instance();
    if (conversion == conversionFails)
        settings->setInputToRawTransformation([](coordLL_t const&, coordLL_t&) { return false; });
    else if (conversion == conversionLeavesOutput)
        settings->setInputToRawTransformation([](coordLL_t const&, coordLL_t&) { return true; });
    else if (conversion == conversionGives)
        settings->setInputToRawTransformation([=](coordLL_t const& in, coordLL_t& out) {
            // the input is the position, longitude first
            out = coordLL_t(lon, lat);
            return near(in.lon, Lon) && near(in.lat, Lat);
        });
}

} // namespace

class tst_manOverboard : public QObject
{
    Q_OBJECT

    std::unique_ptr<orvane::context_t> m_context;
    std::unique_ptr<QTemporaryDir> m_dir;

    std::unique_ptr<qcDevice_t> makeDevice(bool withPort = true, int capabilities = orvane::capPositions)
    {
        qcTest::deviceSpec_t spec;
        spec.capabilities = capabilities;
        spec.withPort = withPort;
        spec.connected = true;
        auto device = qcTest::makeDevice(m_context.get(), spec);
        device->setPortId(PortId);
        return device;
    }

    static void setPosition(qcDevice_t* device, double stamp, int flaws = flawNone)
    {
        position_t position(Lat, Lon);
        position.latValid = !(flaws & flawLatInvalid);
        position.lonValid = !(flaws & flawLonInvalid);
        dataItem_t<position_t> item(position, stamp);
        item.setValid(!(flaws & flawItemInvalid));
        device->remoteDevice()->setInputPosition(item);
    }

    static QAction* action(qcDevice_t* device)
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
        m_context.reset(new orvane::context_t);
        m_dir.reset(new QTemporaryDir);
        QVERIFY(store()->open(m_dir->filePath(QStringLiteral("fixes.journal"))));
        dataClock_t::setTime(Now);
    }

    void cleanup()
    {
        geodeticSettings_t::instance()->setInputToRawTransformation({});
        m_context.reset();
        m_dir.reset();
        dataClock_t::useSystemTime();
    }

    void silentStops_data()
    {
        QTest::addColumn<bool>("withPort");
        QTest::addColumn<double>("age");   // not a number: no position yet
        QTest::addColumn<int>("flaws");
        QTest::addColumn<int>("conversion");
        QTest::addColumn<double>("outLon");
        QTest::addColumn<double>("outLat");
        const int identity = conversionIdentity;
        const int gives = conversionGives;
        QTest::newRow("no data model") << false << NaN << 0 << identity << 0.0 << 0.0;
        QTest::newRow("no position yet") << true << NaN << 0 << identity << 0.0 << 0.0;
        QTest::newRow("position invalid") << true << 0.0 << int(flawItemInvalid) << identity << 0.0 << 0.0;
        QTest::newRow("position exactly 3 s old") << true << DataMaxAge << 0 << identity << 0.0 << 0.0;
        QTest::newRow("position from the future") << true << -3.5 << 0 << identity << 0.0 << 0.0;
        QTest::newRow("latitude invalid") << true << 0.0 << int(flawLatInvalid) << identity << 0.0 << 0.0;
        QTest::newRow("longitude invalid") << true << 0.0 << int(flawLonInvalid) << identity << 0.0 << 0.0;
        QTest::newRow("conversion fails") << true << 0.0 << 0 << int(conversionFails) << 0.0 << 0.0;
        QTest::newRow("conversion fills nothing") << true << 0.0 << 0 << int(conversionLeavesOutput) << 0.0 << 0.0;
        QTest::newRow("latitude beyond the pole") << true << 0.0 << 0 << gives << 0.0 << std::nextafter(Pi / 2, 4.0);
        QTest::newRow("longitude beyond the antimeridian") << true << 0.0 << 0 << gives << std::nextafter(-Pi, -4.0)
                                                           << 0.0;
        QTest::newRow("latitude not a number") << true << 0.0 << 0 << gives << 0.1 << NaN;
        QTest::newRow("longitude not a number") << true << 0.0 << 0 << gives << NaN << 0.1;
    }

    void silentStops()
    {
        QFETCH(bool, withPort);
        QFETCH(double, age);
        QFETCH(int, flaws);
        QFETCH(int, conversion);
        QFETCH(double, outLon);
        QFETCH(double, outLat);
        auto device = makeDevice(withPort);
        if (!std::isnan(age))
            setPosition(device.get(), Now - age, flaws);
        setConversion(conversion, outLon, outLat);
        const int windows = int(QApplication::topLevelWidgets().size());

        QSignalSpy added(store(), &fixManager_t::fixAdded);
        QSignalSpy problems(store(), &fixManager_t::storeProblem);
        QMetaObject::invokeMethod(device.get(), "manOverboard");
        QCOMPARE(added.count(), 0);
        QCOMPARE(store()->count(), 0);
        QCOMPARE(problems.count(), 0);
        // nothing to see either: no warning, no window
        QVERIFY(!QApplication::activeModalWidget());
        QCOMPARE(int(QApplication::topLevelWidgets().size()), windows);
    }

    void recordsTheFix_data()
    {
        QTest::addColumn<double>("positionAge");
        QTest::addColumn<double>("heightAge");   // not a number: no height yet
        QTest::addColumn<bool>("heightValid");
        QTest::addColumn<double>("height");
        QTest::addColumn<double>("rawLon");      // not a number: no datum conversion
        QTest::addColumn<double>("rawLat");
        QTest::addColumn<QString>("time");
        const QString now = QStringLiteral("19:23:45.000");
        QTest::newRow("fresh height") << 0.0 << 0.0 << true << 42.25 << NaN << NaN << now;
        QTest::newRow("height just recent") << 0.0 << 2.9 << true << 42.25 << NaN << NaN << now;
        QTest::newRow("height exactly 3 s old") << 0.0 << DataMaxAge << true << 0.0 << NaN << NaN << now;
        QTest::newRow("height invalid") << 0.0 << 0.0 << false << 0.0 << NaN << NaN << now;
        QTest::newRow("no height") << 0.0 << NaN << true << 0.0 << NaN << NaN << now;
        QTest::newRow("position 2.5 s old: its whole second") << 2.5 << 0.0 << true << 42.25 << NaN << NaN
                                                              << "19:23:42.000";
        QTest::newRow("just below the second") << 0.001 << 0.0 << true << 42.25 << NaN << NaN << "19:23:44.000";
        QTest::newRow("north pole, west antimeridian") << 0.0 << 0.0 << true << 42.25 << -Pi << Pi / 2 << now;
        QTest::newRow("south pole, east antimeridian") << 0.0 << 0.0 << true << 42.25 << Pi << -Pi / 2 << now;
        QTest::newRow("shifted datum") << 0.0 << 0.0 << true << 42.25 << Lon + 1e-5 << Lat - 2e-5 << now;
    }

    void recordsTheFix()
    {
        QFETCH(double, positionAge);
        QFETCH(double, heightAge);
        QFETCH(bool, heightValid);
        QFETCH(double, height);
        QFETCH(double, rawLon);
        QFETCH(double, rawLat);
        QFETCH(QString, time);
        const bool converted = !std::isnan(rawLon);
        if (converted)
            setConversion(conversionGives, rawLon, rawLat);
        auto device = makeDevice();
        setPosition(device.get(), Now - positionAge);
        if (!std::isnan(heightAge)) {
            dataItem_t<double> item(42.25, Now - heightAge);
            item.setValid(heightValid);
            device->remoteDevice()->setEllipsoidalHeight(item);
        }
        action(device.get())->trigger();

        QCOMPARE(store()->count(), 1);
        orvane::fixes::fix_t const fix = store()->fixes().first();
        QCOMPARE(fix.portId, PortId);
        // the exact time of the position, not the truncated one nor the clock's
        QCOMPARE(fix.time, Now - positionAge);
        QCOMPARE(fix.type, orvane::fixes::fixTypeManOverboard);
        QCOMPARE(fix.description, QStringLiteral("Man Overboard - 2026-12-05 ") + time);
        QVERIFY(near(fix.coord.lat, converted ? rawLat : Lat));
        QVERIFY(near(fix.coord.lon, converted ? rawLon : Lon));
        QVERIFY(near(fix.height, height));
    }

    void everyPressRecordsAFixOnDisk()
    {
        auto device = makeDevice();
        setPosition(device.get(), Now);
        action(device.get())->trigger();
        QFile file(store()->path());
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.readAll().contains("Man Overboard - 2026-12-05 19:23:45.000"));
        action(device.get())->trigger();
        QCOMPARE(store()->count(), 2);
        QVERIFY(store()->fixes().at(0).id != store()->fixes().at(1).id);
    }

    // F10 and the tool bar button reach the device window's one action, offered only
    // while the device is connected.
    void actionIsOfferedWhileConnected()
    {
        auto device = makeDevice();
        QAction* overboard = action(device.get());
        QCOMPARE(overboard->shortcut(), QKeySequence(Qt::Key_F10));
        QVERIFY(device->toolBar()->actions().contains(overboard));
        QVERIFY(overboard->isEnabled());
        device->port()->setConnected(false);
        QVERIFY(!overboard->isEnabled());
        QVERIFY(!action(makeDevice(true, orvane::capQc).get()));
    }
};

QTEST_MAIN(tst_manOverboard)
#include "tst_manOverboard.moc"
