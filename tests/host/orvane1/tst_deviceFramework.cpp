#include <belrix_common_qt/remoteDevice.h>
#include <belrix_common_qt/remotePort.h>
#include <orvane/abstractTreeWidget.h>
#include <orvane/context.h>
#include <orvane/device.h>
#include <orvane/deviceDialog.h>
#include <orvane/deviceStore.h>
#include <orvane/menuManager.h>
#include <orvane/orvanePage.h>
#include <orvane/orvanePageGroup.h>
#include <orvane/splitter.h>
#include <orvane/textColor.h>
#include <tolvconfig/config.h>

#include <QAction>
#include <QHeaderView>
#include <QMenuBar>
#include <QToolBar>
#include <QMainWindow>
#include <QMenu>
#include <QSignalSpy>
#include <QTreeWidget>
#include <QtTest>

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

class tst_deviceFramework : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void buildersRunInOrderOnce()
    {
        context_t context;
        recordingDevice_t device(&context, QStringLiteral("GNSS 1"), nullptr);
        device.initialize();
        device.initialize();
        QCOMPARE(device.calls, QStringList({"makeDialogs", "makeActions", "makeConnections", "buildMenus",
                                            "buildToolBar", "makeDockWidget"}));
        QVERIFY(device.menuManager()->actionForTitle("File", "Save Snapshot"));
        QVERIFY(device.toolBar()->actions().contains(device.menuManager()->actionForTitle("File", "Save Snapshot")));
        QCOMPARE(int(device.dockWidgets().size()), 1);
    }

    void menusKeepTheirOrderAndTopSection()
    {
        QMainWindow window;
        menuManager_t menus(&window);
        QAction a(QStringLiteral("&Alpha"), nullptr);
        QAction b(QStringLiteral("Beta"), nullptr);
        QAction panel1(QStringLiteral("Panel 1"), nullptr);
        QAction panel2(QStringLiteral("Panel 2"), nullptr);
        QAction before(QStringLiteral("Before Beta"), nullptr);
        menus.addMenuAction("View", &a);
        menus.addMenuSeparator("View");
        menus.addMenuAction("View", &b);
        menus.insertMenuAction("View", nullptr, &panel1);
        menus.insertMenuAction("View", nullptr, &panel2);
        menus.insertMenuAction("View", &b, &before);
        QCOMPARE(texts(menus.menu("View")->actions()),
                 QStringList({"Panel 1", "Panel 2", "|", "&Alpha", "|", "Before Beta", "Beta"}));
        QCOMPARE(menus.actionForTitle("View", "Alpha"), &a);
        QVERIFY(!menus.actionForTitle("View", "Gamma"));
        QVERIFY(!menus.actionForTitle("Nowhere", "Alpha"));
        QStringList titles;
        for (QAction* action : window.menuBar()->actions())
            titles << action->text();
        QCOMPARE(titles.mid(0, 3), QStringList({"File", "Settings", "View"}));
    }

    void keysArePrefixed_data()
    {
        QTest::addColumn<bool>("withDevice");
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("key");
        QTest::newRow("application window") << false << -1 << "dlgTest.range";
        QTest::newRow("indexed window") << false << 2 << "dlgTest_2.range";
        QTest::newRow("device window") << true << -1 << "device.GNSS 1.dlgTest.range";
    }

    void keysArePrefixed()
    {
        QFETCH(bool, withDevice);
        QFETCH(int, index);
        QFETCH(QString, key);
        context_t context;
        device_t device(&context, QStringLiteral("GNSS 1"), nullptr);
        deviceDialog_t dialog(&context, withDevice ? &device : nullptr);
        dialog.setObjectName(QStringLiteral("dlgTest"));
        QCOMPARE(QString::fromStdString(dialog.outputKey("range", index)), key);
    }

    void dialogKeepsGeometryAndVisibility()
    {
        context_t context;
        tolvconfig::config_t config;
        {
            deviceDialog_t dialog(&context, nullptr);
            dialog.setObjectName(QStringLiteral("dlgTest"));
            dialog.setIsWindow(true);
            dialog.resize(345, 234);
            dialog.show();
            dialog.saveSettings(config, -1);
        }
        deviceDialog_t restored(&context, nullptr);
        restored.setObjectName(QStringLiteral("dlgTest"));
        restored.setIsWindow(true);
        restored.loadSettings(config, -1);
        QVERIFY(restored.isVisible());
        QCOMPARE(restored.size(), QSize(345, 234));

        deviceDialog_t other(&context, nullptr);
        other.setObjectName(QStringLiteral("dlgOther"));
        other.loadSettings(config, -1);
        QVERIFY(!other.isVisible());
    }

    void deviceDialogFollowsItsDevice()
    {
        context_t context;
        device_t device(&context, QStringLiteral("GNSS 1"), nullptr);
        auto* port = new belrix_common_qt::remotePort_t;
        device.setPort(port);
        device.setDeviceCapabilities(0x12);
        auto* dialog = new deviceDialog_t(&context, &device);
        dialog->setWindowTitle(QStringLiteral("Error Ellipse"));
        QCOMPARE(dialog->remoteDevice(), port->device());
        QCOMPARE(dialog->deviceCapabilities(), 0x12);
        QVERIFY(dialog->deviceQualitySettings());
        device.setDeviceDescription(QStringLiteral("Bridge GNSS"));
        QCOMPARE(dialog->windowTitle(), QStringLiteral("Bridge GNSS - Error Ellipse"));
        device.setDeviceDescription(QStringLiteral("Aft GNSS"));
        QCOMPARE(dialog->windowTitle(), QStringLiteral("Aft GNSS - Error Ellipse"));
    }

    void connectionDrivesTheMenus()
    {
        context_t context;
        device_t device(&context, QStringLiteral("GNSS 1"), nullptr);
        auto* port = new belrix_common_qt::remotePort_t;
        device.setPort(port);
        device.setCanLogData(true);
        device.initialize();
        QAction* logging = device.menuManager()->actionForTitle("Settings", "Data Logging...");
        QVERIFY(logging);
        QVERIFY(!logging->isEnabled());
        QSignalSpy spy(&device, &device_t::connectionChanged);
        port->setConnected(true);
        QVERIFY(logging->isEnabled());
        QCOMPARE(spy.count(), 1);
        QVERIFY(!device.windowTitle().contains("not connected"));
        port->setConnected(false);
        QVERIFY(device.windowTitle().contains("not connected"));
    }

    void pageActionOpensItsWindow()
    {
        orvanePageGroup_t group;
        QWidget window;
        auto* page = new orvanePage_t(QStringLiteral("Graphs..."), &window);
        QAction* action = group.addPage(page);
        QCOMPARE(action->text(), QStringLiteral("Graphs..."));
        QCOMPARE(page->parent(), &group);
        QVERIFY(!window.isVisible());
        action->trigger();
        QVERIFY(window.isVisible());
        QVERIFY(!group.addPage(nullptr));
    }

    void storeForgetsDestroyedDevices()
    {
        context_t context;
        auto* store = deviceStore_t::instance();
        QSignalSpy removed(store, &deviceStore_t::deviceRemoved);
        auto* a = new device_t(&context, QStringLiteral("A"), nullptr);
        auto* b = new device_t(&context, QStringLiteral("B"), nullptr);
        a->setPortId(11);
        b->setPortId(12);
        store->addDevice(a);
        store->addDevice(b);
        store->addDevice(a);
        QCOMPARE(store->devices(), QList<device_t*>({a, b}));
        QCOMPARE(store->deviceForPortId(12), b);
        delete a;
        QCOMPARE(store->devices(), QList<device_t*>({b}));
        QCOMPARE(removed.count(), 1);
        QVERIFY(!store->deviceForPortId(11));
        store->removeDevice(b);
        QCOMPARE(removed.count(), 2);
        // a device goes with a plain object parent, and leaves no second removal behind
        auto* owner = new QObject;
        b->setParent(owner);
        QPointer<device_t> gone = b;
        delete owner;
        QVERIFY(gone.isNull());
        QCOMPARE(removed.count(), 2);
    }

    void textColorContrasts_data()
    {
        QTest::addColumn<QColor>("background");
        QTest::addColumn<QColor>("text");
        QTest::newRow("white") << QColor(Qt::white) << QColor(Qt::black);
        QTest::newRow("device red") << QColor("#d62728") << QColor(Qt::white);
        QTest::newRow("device green") << QColor("#2ca02c") << QColor(Qt::black);
        QTest::newRow("invalid") << QColor() << QColor(Qt::black);
    }

    void textColorContrasts()
    {
        QFETCH(QColor, background);
        QFETCH(QColor, text);
        QCOMPARE(textColorForBackground(background), text);
    }

    void splitterAndTreeKeepTheirLayout()
    {
        tolvconfig::config_t config;
        {
            splitter_t splitter;
            splitter.addWidget(new QWidget);
            splitter.addWidget(new QWidget);
            splitter.resize(400, 100);
            splitter.setSizes({100, 300});
            splitter.saveSettings(config, "x.");
            abstractTreeWidget_t tree;
            tree.setColumnCount(3);
            tree.header()->resizeSection(1, 177);
            tree.saveSettings(config, "x.");
        }
        splitter_t splitter;
        splitter.addWidget(new QWidget);
        splitter.addWidget(new QWidget);
        splitter.resize(400, 100);
        splitter.loadSettings(config, "x.");
        QVERIFY(qAbs(splitter.sizes().value(0) - 100) <= 2);   // the handle takes its share
        abstractTreeWidget_t tree;
        tree.setColumnCount(3);
        tree.loadSettings(config, "x.");
        QCOMPARE(tree.header()->sectionSize(1), 177);

        splitter_t untouched;
        untouched.addWidget(new QWidget);
        untouched.addWidget(new QWidget);
        untouched.resize(400, 100);
        untouched.setSizes({300, 100});
        const QList<int> before = untouched.sizes();
        untouched.loadSettings(config, "missing.");
        QCOMPARE(untouched.sizes(), before);
    }
};

QTEST_MAIN(tst_deviceFramework)
#include "tst_deviceFramework.moc"
