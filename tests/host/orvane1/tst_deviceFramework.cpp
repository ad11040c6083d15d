#include <belrix_common_qt/dataClock.h>
#include <belrix_common_qt/remoteDevice.h>
#include <belrix_common_qt/remotePort.h>
#include <orvane/context.h>
#include <orvane/device.h>
#include <orvane/deviceDialog.h>
#include <orvane/devicePositionPanel.h>
#include <orvane/deviceStore.h>
#include <orvane/menuManager.h>
#include <orvane/orvanePage.h>
#include <orvane/orvanePageGroup.h>
#include <orvane/textColor.h>
#include <tolvconfig/config.h>

#include <QAction>
#include <QLabel>
#include <QMenuBar>
#include <QMainWindow>
#include <QMenu>
#include <QtTest>

#include <memory>

using namespace orvane;

namespace {

// Records the order in which the host runs the builders.
class recordingDevice_t : public device_t
{
public:
    using device_t::device_t;
    QStringList calls;

protected:
    void makeDialogs() override { calls << "makeDialogs"; device_t::makeDialogs(); }
    void makeActions() override { calls << "makeActions"; device_t::makeActions(); }
    void makeConnections() override { calls << "makeConnections"; device_t::makeConnections(); }
    void buildMenus() override { calls << "buildMenus"; device_t::buildMenus(); }
    void buildToolBar() override { calls << "buildToolBar"; device_t::buildToolBar(); }
    void makeDockWidget() override { calls << "makeDockWidget"; device_t::makeDockWidget(); }
};

QStringList texts(QList<QAction*> const& actions)
{
    QStringList list;
    for (QAction* action : actions)
        list << (action->isSeparator() ? QStringLiteral("|") : action->text());
    return list;
}

} // namespace

// What a device reports (no DTM without a datum, no time of its own when fixAge is NaN), and a
// text the panel must show.
struct panel_t { QString datum; bool trueHeading; double fixAge; QString shown; bool warns; };
Q_DECLARE_METATYPE(panel_t)

struct keys_t { bool withDevice; int index; QString key; };
Q_DECLARE_METATYPE(keys_t)

class tst_deviceFramework : public QObject
{
    Q_OBJECT

private slots:

    void builtDeviceFollowsItsPort()
    {
        context_t context;
        recordingDevice_t device(&context, QStringLiteral("GNSS 1"), nullptr);
        auto* port = new belrix_common_qt::remotePort_t;
        device.setPort(port);
        device.setCanLogData(true);
        device.setDeviceCapabilities(0x12);
        device.initialize();
        device.initialize();
        QCOMPARE(device.calls, QStringList({"makeDialogs", "makeActions", "makeConnections", "buildMenus",
                                            "buildToolBar", "makeDockWidget"}));

        // a window of the device takes its data and its name
        auto* dialog = new deviceDialog_t(&context, &device);
        dialog->setWindowTitle(QStringLiteral("Error Ellipse"));
        QCOMPARE(dialog->remoteDevice(), port->device());
        QCOMPARE(dialog->deviceCapabilities(), 0x12);
        device.setDeviceDescription(QStringLiteral("Bridge GNSS"));
        QCOMPARE(dialog->windowTitle(), QStringLiteral("Bridge GNSS - Error Ellipse"));

        // the connection drives the menus and the title
        QAction* logging = device.menuManager()->actionForTitle("Settings", "Data Logging...");
        QVERIFY(logging && !logging->isEnabled());
        QSignalSpy spy(&device, &device_t::connectionChanged);
        port->setConnected(true);
        QVERIFY(logging->isEnabled() && spy.count() == 1 && !device.windowTitle().contains("not connected"));
        port->setConnected(false);
        QVERIFY(device.windowTitle().contains("not connected"));
    }

    void menusKeepTheirOrderAndTopSection()
    {
        QMainWindow window;
        menuManager_t menus(&window);
        QAction a(QStringLiteral("&Alpha")), b(QStringLiteral("Beta")), panel1(QStringLiteral("Panel 1")),
            panel2(QStringLiteral("Panel 2")), before(QStringLiteral("Before Beta"));
        menus.addMenuAction("View", &a);
        menus.addMenuSeparator("View");
        menus.addMenuAction("View", &b);
        menus.insertMenuAction("View", nullptr, &panel1);
        menus.insertMenuAction("View", nullptr, &panel2);
        menus.insertMenuAction("View", &b, &before);
        QCOMPARE(texts(menus.menu("View")->actions()),
                 QStringList({"Panel 1", "Panel 2", "|", "&Alpha", "|", "Before Beta", "Beta"}));
        QCOMPARE(menus.actionForTitle("View", "Alpha"), &a);
        QVERIFY(!menus.actionForTitle("View", "Gamma") && !menus.actionForTitle("Nowhere", "Alpha"));
        QStringList titles;
        for (QAction* action : window.menuBar()->actions())
            titles << action->text();
        QCOMPARE(titles.mid(0, 3), QStringList({"File", "Settings", "View"}));
    }

    void dialogKeysArePrefixedAndRestored_data()
    {
        QTest::addColumn<keys_t>("k");
        QTest::newRow("application window") << keys_t{false, -1, "dlgTest.visible"};
        QTest::newRow("indexed window") << keys_t{false, 2, "dlgTest_2.visible"};
        QTest::newRow("device window") << keys_t{true, -1, "device.GNSS 1.dlgTest.visible"};
    }
    void dialogKeysArePrefixedAndRestored()
    {
        QFETCH(keys_t, k);
        context_t context;
        device_t device(&context, QStringLiteral("GNSS 1"), nullptr);
        tolvconfig::config_t config;
        auto make = [&] {
            auto* dialog = new deviceDialog_t(&context, k.withDevice ? &device : nullptr);
            dialog->setObjectName(QStringLiteral("dlgTest"));
            dialog->setIsWindow(true);
            return dialog;
        };
        std::unique_ptr<deviceDialog_t> saved(make());
        saved->resize(345, 234);
        saved->show();
        saved->saveSettings(config, k.index);
        QVERIFY(config.hasKey(k.key.toStdString()));
        std::unique_ptr<deviceDialog_t> restored(make());
        restored->loadSettings(config, k.index);
        QVERIFY(restored->isVisible());
        QCOMPARE(restored->size(), QSize(345, 234));
        // another window finds nothing of its own and stays as it is
        restored.reset(make());
        restored->loadSettings(config, k.index + 1);
        QVERIFY(!restored->isVisible());
    }

    void pageActionOpensItsWindow()
    {
        orvanePageGroup_t group;
        QWidget window;
        auto* page = new orvanePage_t(QStringLiteral("Graphs..."), &window);
        QAction* action = group.addPage(page);
        action->trigger();
        QVERIFY(window.isVisible());
        QVERIFY(!group.addPage(nullptr));
    }

    void storeForgetsDestroyedDevices()
    {
        context_t context;
        auto* store = deviceStore_t::instance();
        QSignalSpy removed(store, &deviceStore_t::deviceRemoved);
        auto* owner = new QObject;   // a plain object parent takes its devices with it
        QPointer<device_t> a = new device_t(&context, QStringLiteral("A"), owner);
        auto* b = new device_t(&context, QStringLiteral("B"), nullptr);
        store->addDevice(a);
        store->addDevice(b);
        store->addDevice(a);
        QCOMPARE(store->devices(), QList<device_t*>({a, b}));
        // listeners may still look at a leaving device, so it must not be half destroyed yet
        QPointer<QObject> leaving = a.data();
        bool whole = true;
        QObject listener;
        connect(store, &deviceStore_t::deviceRemoved, &listener, [&] {
            whole = whole && (leaving.isNull() || qobject_cast<device_t*>(leaving.data()));
        });
        delete owner;
        QVERIFY(a.isNull());
        QVERIFY(whole);
        QCOMPARE(store->devices(), QList<device_t*>({b}));
        store->removeDevice(b);
        delete b;
        QCOMPARE(removed.count(), 2);
    }

    // what the panel adds to the plain values: who measured the heading, whose datum, and
    // whose time (the receiver's own while current, else the data clock's)
    void positionPanel_data()
    {
        QTest::addColumn<panel_t>("p");
        const double none = qQNaN();
        QTest::newRow("WGS84") << panel_t{"W84", true, none, "12.0\u00b0", false};
        QTest::newRow("another datum") << panel_t{"P90", true, none, "datum P90, not WGS84", true};
        QTest::newRow("compass only") << panel_t{QString(), false, none, "12.5\u00b0 magnetic", false};
        QTest::newRow("the receiver's own time") << panel_t{QString(), true, 0.0, "2019-04-12 00:39:56 UTC", false};
        QTest::newRow("none of its own") << panel_t{QString(), true, none, "2024-06-10 06:13:20 UTC", false};
        QTest::newRow("its own time gone stale") << panel_t{QString(), true, 3.0, "2024-06-10 06:13:20 UTC", false};
    }
    void positionPanel()
    {
        QFETCH(panel_t, p);
        using namespace belrix_common_qt;
        double const now = 1718000000.0;   // another replay's data time
        remoteDevice_t remote;
        remote.setDisplayPosition(dataItem_t<position_t>(position_t(0.9, 0.1), now));
        if (!qIsNaN(p.fixAge))
            remote.setFixTime(dataItem_t<double>(1555029596.0, now - p.fixAge));
        if (!p.datum.isEmpty()) {
            outputDatum_t d;
            qstrncpy(d.local, p.datum.toLatin1().constData(), sizeof d.local);
            remote.setOutputDatum(dataItem_t<outputDatum_t>(d, now));
        }
        if (p.trueHeading)
            remote.setHeading(dataItem_t<float>(12.0f, now));
        magneticHeading_t magnetic;
        magnetic.sensor = 10.0f;
        magnetic.deviation = 2.5f;
        remote.setMagneticHeading(dataItem_t<magneticHeading_t>(magnetic, now));
        devicePositionPanel_t panel;
        auto texts = [&panel] {
            QStringList all;
            for (QLabel const* label : panel.findChildren<QLabel*>())
                all << label->text();
            return all.join('|');
        };
        panel.updateData(now, &remote);   // hidden: only remembered, and filled in when shown
        QVERIFY(!texts().contains(p.shown));
        belrix_common_qt::dataClock_t::setTime(now);
        panel.show();
        QVERIFY2(texts().contains(p.shown), qPrintable(texts()));
        auto* warning = panel.findChild<QLabel*>(QStringLiteral("datumWarning"));
        QVERIFY(warning);
        QCOMPARE(!warning->isHidden(), p.warns);
        panel.updateData(now + 3.0, &remote);   // a stale datum says nothing
        QVERIFY(warning->isHidden());
    }

    void textColorContrasts()
    {
        QCOMPARE(textColorForBackground(QColor("#d62728")), QColor(Qt::white));
        QCOMPARE(textColorForBackground(QColor("#2ca02c")), QColor(Qt::black));
        QCOMPARE(textColorForBackground(QColor()), QColor(Qt::black));
    }
};

QTEST_MAIN(tst_deviceFramework)
#include "tst_deviceFramework.moc"
