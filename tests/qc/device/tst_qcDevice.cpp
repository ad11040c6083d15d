#include "qcTestFixture.h"

#include <device/signalStatusWidget.h>

#include <belrix_common_qt/dataClock.h>
#include <belrix_common_qt/navConstants.h>
#include <belrix_common_qt/qcSettingsBase.h>
#include <belrix_common_qt/remoteNavSat.h>
#include <belrix_common_qt/textFormat.h>
#include <belrix_common_qt_gui/qcQualityPanel.h>
#include <belrix_common_qt_gui/qualityLight.h>
#include <belrix_common_qt_gui/qualitySettings.h>
#include <orvane/dlgLogData.h>
#include <orvane/fixes/fixManager.h>
#include <orvane/geodetics/geodeticSettings.h>
#include <orvane/menuManager.h>
#include <orvane/orvanePage.h>
#include <orvane/orvanePageGroup.h>
#include <tolvconfig/config.h>

#include <QAction>
#include <QDockWidget>
#include <QLabel>
#include <QMenu>
#include <QToolBar>
#include <QWidgetAction>
#include <QtTest>

#include <algorithm>
#include <cmath>
#include <limits>

using namespace belrix_common_qt;
using namespace orvane;
using namespace belrix_common_qt_gui;
using orvane::fixes::fixManager_t;
using orvane::geodetics::geodeticSettings_t;
using orvane::qc::qcDevice_t;
using orvane::qc::signalStatusWidget_t;
using tolvgeodesy::coordLL_t;

namespace {

constexpr double Now = 1796498625.0;   // 2026-12-05 19:23:45 UTC
constexpr double Lat = 0.9995;         // radians, the Kattegat
constexpr double Lon = 0.2005;
constexpr double NaN = std::numeric_limits<double>::quiet_NaN();
constexpr unsigned int PortId = 7;
constexpr int BothPanels = capSignalStatus | capQc;
const QString Spacer = QStringLiteral("<spacer>");

QStringList list(const char* items) { return QString::fromLatin1(items).split(QStringLiteral("; "), Qt::SkipEmptyParts); }

// The entries the module adds; the docks' toggles are listed apart.
QStringList texts(QList<QAction*> const& actions)
{
    QStringList list;
    for (QAction* action : actions) {
        if (qobject_cast<QDockWidget*>(action->parent()))
            continue;
        if (action->isSeparator())
            list << QStringLiteral("|");
        else if (qobject_cast<QWidgetAction*>(action))
            list << Spacer;
        else
            list << action->text();
    }
    return list;
}

// A satellite reporting one signal: its first, or else its second.
remoteNavSat_t makeSat(unsigned int number, int constellation, float level = 40.0f, bool first = true,
                       bool valid = true, double age = 0.0)
{
    remoteNavSat_t sat(number, constellation_t(constellation));
    dataItem_t<freq_t> signal(freq_t{1u, level}, Now - age);
    signal.setValid(valid);
    sat.setFreq(first ? 0 : 1, signal);
    return sat;
}

quality_t light(QWidget* parent, QString const& labelName)
{
    for (auto* light : parent->findChildren<belrix_common_qt_gui::qualityLight_t*>()) {
        if (light->label() && light->label()->objectName() == labelName)
            return light->quality();
    }
    return quality_t(-1);
}

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

// What a capability mask builds (with or without a quality panel in the device's GUI bundle):
// the device's pages and the module's entries in its menus, tool bar and docks.
struct built_t { int mask; QString type; bool qualityPanel; QStringList pages, settings, view, toolBar, docks; };

// A signal lamp's case: satellites of these constellations (none: the correction SNR), the last
// at this level and the others at 0.5; whether the row's lamp is lit, the other staying off.
struct lamp_t { QList<int> constellations; float level; bool first, valid; double age; bool lit; };

// A man-overboard press that records nothing.
struct stop_t { bool withPort; double age; int flaws, conversion = conversionIdentity; double outLon = 0, outLat = 0; };

// A recorded man overboard: the ages of position and height, and the conversion (NaN: none).
struct mob_t { double positionAge, heightAge; bool heightValid; double height, rawLon, rawLat; QString time; };

} // namespace

Q_DECLARE_METATYPE(built_t)
Q_DECLARE_METATYPE(lamp_t)
Q_DECLARE_METATYPE(stop_t)
Q_DECLARE_METATYPE(mob_t)

struct logging_t { bool canLog; int channel; bool csv; };
Q_DECLARE_METATYPE(logging_t)

struct caption_t { bool withPort, belrix; QString caption; };
Q_DECLARE_METATYPE(caption_t)

class tst_qcDevice : public QObject
{
    Q_OBJECT

    std::unique_ptr<context_t> m_context;
    std::unique_ptr<QTemporaryDir> m_dir;

    std::unique_ptr<qcDevice_t> makeDevice(int capabilities, bool withPort = true, bool belrix = false)
    {
        auto device = qcTest::makeDevice(m_context.get(), {capabilities, withPort, true, true, belrix});
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
    // the man-overboard description is written in local time; make it the same everywhere
    void initTestCase() { qputenv("TZ", "UTC"); }

    void init()
    {
        m_context.reset(new context_t);
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

    // ---- what the capability mask builds

    void capabilitiesDecideWindowsMenusToolBarAndDocks_data()
    {
        QTest::addColumn<built_t>("b");
        const QStringList bar = list("<spacer>; Save Snapshot");
        const QStringList dock = list("Position");
        const QStringList none;
        QTest::newRow("no capability") << built_t{0, "GNSS", true, none, none, none, bar, dock};
        QTest::newRow("every capability") << built_t{
            capFullReceiver | capHeading, "GNSS", true,
            list("Error Ellipse Plot...; QC Settings...; QC Graphs...; Graphs...; Quality Display Configuration...; "
                 "Satellite Calculations...; Satellite Forecast...; Take Fix...; Tape Display...; Compass Rose..."),
            list("Quality Display Configuration...; QC Settings...; Man Overboard; Take Fix..."),
            list("|; Graphs...; QC Graphs...; Error Ellipse Plot...; Satellite Calculations...; "
                 "Satellite Forecast...; Tape Display...; Compass Rose..."),
            list("Man Overboard; Take Fix...; <spacer>; Save Snapshot"), list("Position; QC Quality; Signal Status")};
        for (int bit : {int(capDeviceGraphs), int(capDeviceGraphsAlt)}) {
            QTest::addRow("graphs from bit 0x%x", bit)
                << built_t{bit, "GNSS", true, list("Graphs...; Quality Display Configuration..."),
                           list("Quality Display Configuration..."), list("|; Graphs..."), bar, dock};
        }
        QTest::newRow("gyro heading")
            << built_t{capHeading, deviceNameGyro, true, list("Compass Rose..."), none, list("Compass Rose..."), bar,
                       dock};
        QTest::newRow("receiver heading") << built_t{capHeading, "GNSS", true, list("Tape Display...; Compass Rose..."),
                                                     none, list("Tape Display...; Compass Rose..."), bar, dock};
        QTest::newRow("positions only")
            << built_t{capPositions, "GNSS", true, list("Take Fix..."), list("Man Overboard; Take Fix..."), none,
                       list("Man Overboard; Take Fix...; <spacer>; Save Snapshot"), dock};
        QTest::newRow("QC only") << built_t{capQc, "GNSS", true, list("QC Settings...; QC Graphs..."), list("QC Settings..."),
                                            list("|; QC Graphs..."), bar, list("Position; QC Quality")};
        QTest::newRow("QC without a quality panel")
            << built_t{capQc, "GNSS", false, list("QC Settings...; QC Graphs..."), list("QC Settings..."),
                       list("|; QC Graphs..."), bar, dock};
        QTest::newRow("forecast only")
            << built_t{capSatellites, "GNSS", true, list("Satellite Calculations...; Satellite Forecast..."), none,
                       list("|; Satellite Calculations...; Satellite Forecast..."), bar, dock};
        QTest::newRow("signal status from the older bit")
            << built_t{capSignalStatusAlt, "GNSS", true, none, none, none, bar, list("Position; Signal Status")};
    }

    void capabilitiesDecideWindowsMenusToolBarAndDocks()
    {
        QFETCH(built_t, b);

        // what the host itself puts into "View" before the module adds its entries
        device_t host(m_context.get(), QStringLiteral("host"), nullptr);
        host.initialize();
        const int hostView = texts(host.menuManager()->menu("View")->actions()).size();
        auto device =
            qcTest::makeDevice(m_context.get(), {b.mask, true, false, b.qualityPanel, false, b.type.toStdString()});

        QStringList pageTitles;
        for (orvanePage_t* page : device->pageGroup()->pages()) {
            pageTitles << page->title();
            QCOMPARE(page->widget()->parent(), device.get());
        }
        QCOMPARE(pageTitles, b.pages);
        QMenu* viewMenu = device->menuManager()->menu("View");
        QCOMPARE(texts(device->menuManager()->menu("Settings")->actions()), b.settings);
        QCOMPARE(texts(viewMenu->actions()).mid(hostView), b.view);
        QCOMPARE(texts(device->toolBar()->actions()), b.toolBar);
        QStringList dockNames;
        for (QDockWidget* dock : device->dockWidgets()) {
            dockNames << dock->objectName();
            QCOMPARE(dock->parent(), device.get());
            QVERIFY2(viewMenu->actions().contains(dock->toggleViewAction()), qPrintable(dock->objectName()));
        }
        QCOMPARE(dockNames, b.docks);
    }

    void menuFollowsTheConnection()
    {
        auto device = qcTest::makeDevice(m_context.get(), {capFullReceiver | capHeading});
        QList<QAction*> module;
        for (QString menu : {"Settings", "View"}) {
            for (QAction* action : device->menuManager()->menu(menu)->actions()) {
                if (!action->isSeparator() && action->parent() && !qobject_cast<QDockWidget*>(action->parent()))
                    module << action;
            }
        }
        QCOMPARE(module.size(), 4 + 7);
        auto enabled = [&module] {
            return int(std::count_if(module.begin(), module.end(), [](QAction* a) { return a->isEnabled(); }));
        };
        device->enableMenu(true);
        QCOMPARE(enabled(), 11);
        device->enableMenu(false);
        QCOMPARE(enabled(), 0);
        // the port reaches the override
        device->port()->setConnected(true);
        QCOMPARE(enabled(), 11);
        QCOMPARE(action(device.get())->shortcut(), QKeySequence(Qt::Key_F10));
    }

    void qcSettingsPersistUnderTheDevicePrefix()
    {
        auto device = makeDevice(capQc);
        qcSettingsBase_t* qc = device->remoteDevice()->qcSettings();
        qc->setAprioriSigma(2.5);
        qc->setMinSatellites(9);
        tolvconfig::config_t config;
        device->saveSettings(config);
        QVERIFY(config.hasKey("device.GNSS 1.qc_apriori_sigma"));
        device->useDefaults();
        QVERIFY(*qc == qcSettingsBase_t());
        device->loadSettings(config);
        QCOMPARE(qc->aprioriSigma(), 2.5);
        QCOMPARE(qc->minSatellites(), 9u);

        // without a data model only the window's own keys are stored
        auto bare = makeDevice(capQc, false);
        tolvconfig::config_t bareConfig;
        bare->saveSettings(bareConfig);
        bare->loadSettings(bareConfig);
        bare->useDefaults();
        QVERIFY(bareConfig.hasKey("device.GNSS 1.geometry"));
        QVERIFY(!bareConfig.hasKey("device.GNSS 1.qc_apriori_sigma"));
    }

    void logCfgOfTheExternalChannelShowsCsvLogging_data()
    {
        QTest::addColumn<logging_t>("l");
        QTest::newRow("external channel") << logging_t{true, 1, true};
        QTest::newRow("raw channel") << logging_t{true, 0, false};
        QTest::newRow("cannot log") << logging_t{false, 1, false};
    }

    void logCfgOfTheExternalChannelShowsCsvLogging()
    {
        QFETCH(logging_t, l);
        qcDevice_t device(m_context.get(), QStringLiteral("GNSS 1"), nullptr);
        device.setPort(new belrix_common_qt::remotePort_t);
        device.setCanLogData(l.canLog);
        device.initialize();
        auto* log = device.findChild<dlgLogData_t*>();
        QCOMPARE(log != nullptr, l.canLog);
        belrix_common_qt::logCfg_t cfg;
        cfg.path = "/tmp";
        device.remoteDevice()->setLogCfg(belrix_common_qt::logChannelType_t(l.channel), cfg);
        QCOMPARE(log && log->findChild<QWidget*>(QStringLiteral("csvGroup")), l.csv);
    }

    // ---- dock panels

    void docksTakeTheirAreas()
    {
        auto device = makeDevice(BothPanels);
        QDockWidget* quality = device->findChild<QDockWidget*>("QC Quality");
        QCOMPARE(quality->widget(), device->deviceGui()->qcQualityPanel());
        QCOMPARE(device->dockWidgetArea(quality), Qt::LeftDockWidgetArea);
        QDockWidget* position = device->findChild<QDockWidget*>("Position");
        QVERIFY(device->tabifiedDockWidgets(position).contains(quality));
        // the window opens on the position tab
        device->show();
        QVERIFY(!position->visibleRegion().isEmpty() && quality->visibleRegion().isEmpty());
        QDockWidget* signal = device->findChild<QDockWidget*>("Signal Status");
        QCOMPARE(device->dockWidgetArea(signal), Qt::TopDockWidgetArea);
        // a moved dock is part of the configuration
        for (QDockWidget* dock : {quality, signal}) {
            QSignalSpy modified(device.get(), &qcDevice_t::configurationModified);
            device->addDockWidget(Qt::RightDockWidgetArea, dock);
            QVERIFY2(modified.count() >= 1, qPrintable(dock->objectName()));
        }
    }

    // An SBAS satellite lights its lamp by its first signal; the correction service by its SNR.
    void signalLights_data()
    {
        QTest::addColumn<lamp_t>("l");
        const QList<int> sbas = {constellationSbas};
        const QList<int> corr;
        QTest::newRow("SBAS level exactly 1.0") << lamp_t{sbas, 1.0f, true, true, 0.0, true};
        QTest::newRow("SBAS level just below 1.0") << lamp_t{sbas, 0.999f, true, true, 0.0, false};
        QTest::newRow("strong GPS only") << lamp_t{{constellationGps}, 50.0f, true, true, 0.0, false};
        QTest::newRow("SBAS without first signal") << lamp_t{sbas, 42.0f, false, true, 0.0, false};
        QTest::newRow("SBAS signal invalid") << lamp_t{sbas, 42.0f, true, false, 0.0, false};
        QTest::newRow("SBAS older than 3 s") << lamp_t{sbas, 42.0f, true, true, SatDataMaxAge - 0.1, true};
        QTest::newRow("SBAS at its age limit") << lamp_t{sbas, 42.0f, true, true, SatDataMaxAge, false};
        QTest::newRow("a weak SBAS first does not end the search")
            << lamp_t{{constellationGps, constellationSbas, constellationSbas}, 42.0f, true, true, 0.0, true};
        QTest::newRow("correction 2.0") << lamp_t{corr, 2.0f, true, true, 0.0, true};
        QTest::newRow("correction exactly 1.0") << lamp_t{corr, 1.0f, true, true, 0.0, false};
        QTest::newRow("correction exactly 3 s old") << lamp_t{corr, 2.0f, true, true, DataMaxAge, false};
        QTest::newRow("correction invalid") << lamp_t{corr, 40.0f, true, false, 0.0, false};
    }

    void signalLights()
    {
        QFETCH(lamp_t, l);
        auto device = makeDevice(capSignalStatus);
        for (int i = 0; i < l.constellations.size(); ++i) {
            const float satLevel = i + 1 == l.constellations.size() ? l.level : 0.5f;
            const int constellation = l.constellations.at(i);
            device->remoteDevice()->setNavSat(makeSat(33 + i, constellation, satLevel, l.first, l.valid, l.age));
        }
        if (l.constellations.isEmpty()) {
            dataItem_t<float> snr(l.level, Now - l.age);
            snr.setValid(l.valid);
            device->remoteDevice()->setCorrSatSnr(snr);
        }
        device->handleClockTimeout();
        const bool sbas = !l.constellations.isEmpty();
        QCOMPARE(light(device.get(), "sbasLightLabel"), l.lit && sbas ? qualityGood : qualityOff);
        QCOMPARE(light(device.get(), "veskLightLabel"), l.lit && !sbas ? qualityGood : qualityOff);
    }

    void panelsGradeByTheDeviceAndEmptyWithoutData()
    {
        auto device = makeDevice(BothPanels);
        remoteDevice_t* data = device->remoteDevice();
        data->setNavSat(makeSat(40, constellationSbas));
        data->setCorrSatSnr(dataItem_t<float>(45.0f, Now));
        data->setHdop(dataItem_t<float>(1.5f, Now));
        device->handleClockTimeout();
        auto* panel = device->findChild<qcQualityPanel_t*>();
        QCOMPARE(panel->quality(qcQualityPanel_t::rowHdop), qualityGood);

        // what the quality display configuration writes reaches the panel on the next tick
        device->deviceQualitySettings()->hdopLess = 1.0f;
        device->deviceQualitySettings()->hdopGreater = 1.2f;
        device->handleClockTimeout();
        QCOMPARE(panel->quality(qcQualityPanel_t::rowHdop), qualityBad);

        // the device loses its data source
        device->setPort(nullptr);
        device->handleClockTimeout();
        QCOMPARE(light(device.get(), "sbasLightLabel"), qualityOff);
        QCOMPARE(light(device.get(), "veskLightLabel"), qualityOff);
        QCOMPARE(panel->valueText(qcQualityPanel_t::rowHdop), NoDataString);
        QCOMPARE(panel->quality(qcQualityPanel_t::rowHdop), qualityOff);
    }

    void destroyedPanelsAreSkipped()
    {
        auto device = makeDevice(BothPanels);
        delete device->findChild<signalStatusWidget_t*>();
        delete device->findChild<qcQualityPanel_t*>();
        device->remoteDevice()->setNavSat(makeSat(40, constellationSbas));
        device->handleClockTimeout();   // must not reach the deleted widgets
    }

    void correctionCaption_data()
    {
        QTest::addColumn<caption_t>("c");
        QTest::newRow("belrix receiver") << caption_t{true, true, "VESK"};
        QTest::newRow("other receiver") << caption_t{true, false, "L-Band"};
        QTest::newRow("no data source yet") << caption_t{false, true, "L-Band"};
    }

    void correctionCaption()
    {
        QFETCH(caption_t, c);
        auto device = makeDevice(capSignalStatus, c.withPort, c.belrix);
        QCOMPARE(device->findChild<QLabel*>("veskLabel")->text(), c.caption);
    }

    // ---- man overboard

    void silentStops_data()
    {
        QTest::addColumn<stop_t>("c");
        const int gives = conversionGives;
        QTest::newRow("no data model") << stop_t{false, 0.0, 0};
        QTest::newRow("position invalid") << stop_t{true, 0.0, flawItemInvalid};
        QTest::newRow("position exactly 3 s old") << stop_t{true, DataMaxAge, 0};
        QTest::newRow("latitude invalid") << stop_t{true, 0.0, flawLatInvalid};
        QTest::newRow("longitude invalid") << stop_t{true, 0.0, flawLonInvalid};
        QTest::newRow("conversion fails") << stop_t{true, 0.0, 0, conversionFails};
        QTest::newRow("conversion fills nothing") << stop_t{true, 0.0, 0, conversionLeavesOutput};
        QTest::newRow("latitude beyond the pole") << stop_t{true, 0.0, 0, gives, 0.0, std::nextafter(Pi / 2, 4.0)};
        QTest::newRow("longitude beyond the antimeridian") << stop_t{true, 0.0, 0, gives, std::nextafter(-Pi, -4.0)};
        QTest::newRow("latitude not a number") << stop_t{true, 0.0, 0, gives, 0.1, NaN};
    }

    void silentStops()
    {
        QFETCH(stop_t, c);
        auto device = makeDevice(capPositions, c.withPort);
        if (c.withPort)
            setPosition(device.get(), Now - c.age, c.flaws);
        setConversion(c.conversion, c.outLon, c.outLat);
        const int windows = int(QApplication::topLevelWidgets().size());

        QMetaObject::invokeMethod(device.get(), "manOverboard");
        QCOMPARE(store()->count(), 0);
        // nothing to see either: no warning, no window
        QVERIFY(!QApplication::activeModalWidget());
        QCOMPARE(int(QApplication::topLevelWidgets().size()), windows);
    }

    void recordsTheFix_data()
    {
        QTest::addColumn<mob_t>("m");
        const QString now = QStringLiteral("19:23:45.000");
        QTest::newRow("fresh height") << mob_t{0.0, 0.0, true, 42.25, NaN, NaN, now};
        QTest::newRow("height exactly 3 s old") << mob_t{0.0, DataMaxAge, true, 0.0, NaN, NaN, now};
        QTest::newRow("height invalid") << mob_t{0.0, 0.0, false, 0.0, NaN, NaN, now};
        QTest::newRow("position 2.5 s old: its whole second") << mob_t{2.5, 0.0, true, 42.25, NaN, NaN, "19:23:42.000"};
        QTest::newRow("north pole, west antimeridian") << mob_t{0.0, 0.0, true, 42.25, -Pi, Pi / 2, now};
        QTest::newRow("south pole, east antimeridian") << mob_t{0.0, 0.0, true, 42.25, Pi, -Pi / 2, now};
    }

    void recordsTheFix()
    {
        QFETCH(mob_t, m);
        const bool converted = !std::isnan(m.rawLon);
        if (converted)
            setConversion(conversionGives, m.rawLon, m.rawLat);
        auto device = makeDevice(capPositions);
        setPosition(device.get(), Now - m.positionAge);
        dataItem_t<double> heightItem(42.25, Now - m.heightAge);
        heightItem.setValid(m.heightValid);
        device->remoteDevice()->setEllipsoidalHeight(heightItem);
        action(device.get())->trigger();

        QCOMPARE(store()->count(), 1);
        orvane::fixes::fix_t const fix = store()->fixes().first();
        QCOMPARE(fix.portId, PortId);
        // the exact time of the position, not the truncated one nor the clock's
        QCOMPARE(fix.time, Now - m.positionAge);
        QCOMPARE(fix.type, orvane::fixes::fixTypeManOverboard);
        QCOMPARE(fix.description, QStringLiteral("Man Overboard - 2026-12-05 ") + m.time);
        QVERIFY(near(fix.coord.lat, converted ? m.rawLat : Lat));
        QVERIFY(near(fix.coord.lon, converted ? m.rawLon : Lon));
        QVERIFY(near(fix.height, m.height));
    }
};

QTEST_MAIN(tst_qcDevice)
#include "tst_qcDevice.moc"
