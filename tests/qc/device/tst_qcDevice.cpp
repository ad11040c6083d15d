#include <device/qcDevice.h>

#include <belrix_common_qt/navConstants.h>
#include <belrix_common_qt/qcSettingsBase.h>
#include <belrix_common_qt/remoteDevice.h>
#include <belrix_common_qt/remotePort.h>
#include <orvane/context.h>
#include <orvane/dlgLogData.h>
#include <orvane/menuManager.h>
#include <orvane/orvanePage.h>
#include <orvane/orvanePageGroup.h>
#include <tolvconfig/config.h>

#include <QAction>
#include <QDockWidget>
#include <QMenu>
#include <QPushButton>
#include <QToolBar>
#include <QWidgetAction>
#include <QtTest>

using orvane::qc::qcDevice_t;

namespace {

const QString Spacer = QStringLiteral("<spacer>");

QStringList texts(QList<QAction*> const& actions)
{
    QStringList list;
    for (QAction* action : actions) {
        // the dock panels' toggles have tests of their own
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

// A host whose "File" menu names its snapshot action differently.
class noSnapshotDevice_t : public qcDevice_t
{
public:
    using qcDevice_t::qcDevice_t;

protected:
    void buildMenus() override
    {
        qcDevice_t::buildMenus();
        if (QAction* action = menuManager()->actionForTitle("File", "Save Snapshot"))
            action->setText(QStringLiteral("Save Picture"));
    }
};

} // namespace

class tst_qcDevice : public QObject
{
    Q_OBJECT

private:
    orvane::context_t* m_context = nullptr;

    qcDevice_t* makeDevice(int mask, std::string const& type = "GNSS", bool withPort = true)
    {
        auto* device = new qcDevice_t(m_context, QStringLiteral("GNSS 1"), nullptr);
        if (withPort)
            device->setPort(new belrix_common_qt::remotePort_t);
        device->setDeviceCapabilities(mask);
        device->setDeviceOldType(type);
        device->initialize();
        return device;
    }

    // What the host itself puts into "View" before the module adds its entries.
    int hostViewEntries()
    {
        orvane::device_t host(m_context, QStringLiteral("host"), nullptr);
        host.initialize();
        return texts(host.menuManager()->menu("View")->actions()).size();
    }

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void init() { m_context = new orvane::context_t; }
    void cleanup()
    {
        delete m_context;
        m_context = nullptr;
    }

    void constructorOnlySizesTheWindow()
    {
        qcDevice_t device(m_context, QStringLiteral("GNSS 1"), nullptr);
        QCOMPARE(device.size(), QSize(525, 500));
        QCOMPARE(QString(device.metaObject()->className()), QStringLiteral("orvane::qc::qcDevice_t"));
        QVERIFY(device.pageGroup()->pages().isEmpty());
    }

    void maskDecidesWindowsMenusAndToolBar_data()
    {
        QTest::addColumn<int>("mask");
        QTest::addColumn<QString>("type");
        QTest::addColumn<QStringList>("pages");
        QTest::addColumn<QStringList>("settings");
        QTest::addColumn<QStringList>("view");
        QTest::addColumn<QStringList>("toolBar");

        const QString snapshot = QStringLiteral("Save Snapshot");
        QTest::newRow("no capability") << 0 << "GNSS" << QStringList() << QStringList() << QStringList()
                                       << QStringList({Spacer, snapshot});
        QTest::newRow("every capability")
            << (0x2 | 0x4 | 0x8 | 0x10 | 0x40 | 0x200) << "GNSS"
            << QStringList({"Error Ellipse Plot...", "QC Settings...", "QC Graphs...", "Graphs...",
                            "Quality Display Configuration...", "Satellite Calculations...", "Satellite Forecast...",
                            "Take Fix...", "Tape Display...", "Compass Rose..."})
            << QStringList({"Quality Display Configuration...", "QC Settings...", "Man Overboard", "Take Fix..."})
            << QStringList({"|", "Graphs...", "QC Graphs...", "Error Ellipse Plot...", "Satellite Calculations...",
                            "Satellite Forecast...", "Tape Display...", "Compass Rose..."})
            << QStringList({"Man Overboard", "Take Fix...", Spacer, snapshot});
        for (int bit : {0x4, 0x100}) {
            QTest::addRow("graphs from bit 0x%x", bit)
                << bit << "GNSS" << QStringList({"Graphs...", "Quality Display Configuration..."})
                << QStringList({"Quality Display Configuration..."}) << QStringList({"|", "Graphs..."})
                << QStringList({Spacer, snapshot});
        }
        QTest::newRow("gyro heading") << 0x200 << belrix_common_qt::deviceNameGyro << QStringList({"Compass Rose..."})
                                      << QStringList() << QStringList({"Compass Rose..."})
                                      << QStringList({Spacer, snapshot});
        QTest::newRow("receiver heading") << 0x200 << "GNSS" << QStringList({"Tape Display...", "Compass Rose..."})
                                          << QStringList() << QStringList({"Tape Display...", "Compass Rose..."})
                                          << QStringList({Spacer, snapshot});
        QTest::newRow("positions only") << 0x2 << "GNSS" << QStringList({"Take Fix..."})
                                        << QStringList({"Man Overboard", "Take Fix..."}) << QStringList()
                                        << QStringList({"Man Overboard", "Take Fix...", Spacer, snapshot});
        QTest::newRow("QC only") << 0x10 << "GNSS" << QStringList({"QC Settings...", "QC Graphs..."})
                                 << QStringList({"QC Settings..."}) << QStringList({"|", "QC Graphs..."})
                                 << QStringList({Spacer, snapshot});
        QTest::newRow("forecast only") << 0x40 << "GNSS"
                                       << QStringList({"Satellite Calculations...", "Satellite Forecast..."})
                                       << QStringList()
                                       << QStringList({"|", "Satellite Calculations...", "Satellite Forecast..."})
                                       << QStringList({Spacer, snapshot});
        QTest::newRow("ellipse only") << 0x8 << "GNSS" << QStringList({"Error Ellipse Plot..."}) << QStringList()
                                      << QStringList({"|", "Error Ellipse Plot..."}) << QStringList({Spacer, snapshot});
    }

    void maskDecidesWindowsMenusAndToolBar()
    {
        QFETCH(int, mask);
        QFETCH(QString, type);
        QFETCH(QStringList, pages);
        QFETCH(QStringList, settings);
        QFETCH(QStringList, view);
        QFETCH(QStringList, toolBar);

        const int hostView = hostViewEntries();
        std::unique_ptr<qcDevice_t> device(makeDevice(mask, type.toStdString()));

        QStringList pageTitles;
        for (orvane::orvanePage_t* page : device->pageGroup()->pages()) {
            pageTitles << page->title();
            QCOMPARE(page->widget()->parent(), device.get());
        }
        QCOMPARE(pageTitles, pages);
        QCOMPARE(texts(device->menuManager()->menu("Settings")->actions()), settings);
        QCOMPARE(texts(device->menuManager()->menu("View")->actions()).mid(hostView), view);
        QCOMPARE(texts(device->toolBar()->actions()), toolBar);
    }

    void spacerStretchesAndIsDisabled()
    {
        std::unique_ptr<qcDevice_t> device(makeDevice(0x2));
        auto* spacer = qobject_cast<QWidgetAction*>(device->toolBar()->actions().at(2));
        QVERIFY(spacer);
        QWidget* widget = device->toolBar()->widgetForAction(spacer);
        QVERIFY(widget);
        QVERIFY(!widget->isEnabled());
        QCOMPARE(widget->sizePolicy().horizontalPolicy(), QSizePolicy::Expanding);
        QCOMPARE(widget->sizePolicy().verticalPolicy(), QSizePolicy::Fixed);
    }

    void withoutSnapshotActionTheToolBarGetsNothing()
    {
        noSnapshotDevice_t device(m_context, QStringLiteral("GNSS 1"), nullptr);
        device.setDeviceCapabilities(0x2);
        device.initialize();
        QCOMPARE(texts(device.toolBar()->actions()), QStringList({"Save Picture"}));
        QCOMPARE(texts(device.menuManager()->menu("Settings")->actions()),
                 QStringList({"Man Overboard", "Take Fix..."}));
    }

    void actionsAreDecorated()
    {
        std::unique_ptr<qcDevice_t> device(makeDevice(0x2 | 0x4));
        QAction* mob = device->menuManager()->actionForTitle("Settings", "Man Overboard");
        QVERIFY(mob);
        QCOMPARE(mob->shortcut(), QKeySequence(Qt::Key_F10));
        QCOMPARE(mob->statusTip(), QStringLiteral("Man Overboard"));
        QVERIFY(!mob->icon().isNull());
        QAction* takeFix = device->menuManager()->actionForTitle("Settings", "Take Fix...");
        QCOMPARE(takeFix->statusTip(), QStringLiteral("Calculate a Fix"));
        QVERIFY(!takeFix->icon().isNull());
        QAction* quality = device->menuManager()->actionForTitle("Settings", "Quality Display Configuration...");
        QCOMPARE(quality->statusTip(), QStringLiteral("Quality Display Configuration"));
        QVERIFY(!quality->icon().isNull());
        QCOMPARE(QPixmap(":/stopLights.png").size(), QSize(388, 392));
    }

    void enableMenuFollowsTheConnection()
    {
        std::unique_ptr<qcDevice_t> device(makeDevice(0x2 | 0x4 | 0x8 | 0x10 | 0x40 | 0x200));
        QList<QAction*> module;
        for (QString menu : {"Settings", "View"}) {
            for (QAction* action : device->menuManager()->menu(menu)->actions()) {
                if (!action->isSeparator() && !action->text().isEmpty() && action->parent() != nullptr
                    && !qobject_cast<QDockWidget*>(action->parent()))
                    module << action;
            }
        }
        QCOMPARE(module.size(), 4 + 7);
        device->enableMenu(true);
        for (QAction* action : module)
            QVERIFY2(action->isEnabled(), qPrintable(action->text()));
        device->enableMenu(false);
        for (QAction* action : module)
            QVERIFY2(!action->isEnabled(), qPrintable(action->text()));
        // the port reaches the override
        device->port()->setConnected(true);
        for (QAction* action : module)
            QVERIFY2(action->isEnabled(), qPrintable(action->text()));
    }

    void pageActionOpensTheWindow()
    {
        std::unique_ptr<qcDevice_t> device(makeDevice(0x8));
        QAction* action = device->menuManager()->actionForTitle("View", "Error Ellipse Plot...");
        QWidget* window = device->pageGroup()->pages().first()->widget();
        QVERIFY2(!action->isEnabled(), "a disconnected device offers no windows");
        device->port()->setConnected(true);
        action->trigger();
        QVERIFY(window->isVisible());
    }

    void qcSettingsPersistUnderTheDevicePrefix()
    {
        std::unique_ptr<qcDevice_t> device(makeDevice(0x10));
        belrix_common_qt::qcSettingsBase_t* qc = device->remoteDevice()->qcSettings();
        qc->setAprioriSigma(2.5);
        qc->setMinSatellites(9);
        tolvconfig::config_t config;
        device->saveSettings(config);
        QVERIFY(config.hasKey("device.GNSS 1.qc_apriori_sigma"));

        device->useDefaults();
        QVERIFY(*qc == belrix_common_qt::qcSettingsBase_t());
        device->loadSettings(config);
        QCOMPARE(qc->aprioriSigma(), 2.5);
        QCOMPARE(qc->minSatellites(), 9u);
    }

    void withoutDataModelOnlyTheBaseIsStored()
    {
        std::unique_ptr<qcDevice_t> device(makeDevice(0x10, "GNSS", false));
        tolvconfig::config_t config;
        device->saveSettings(config);
        device->loadSettings(config);
        device->useDefaults();
        QVERIFY(config.hasKey("device.GNSS 1.geometry"));
        QVERIFY(!config.hasKey("device.GNSS 1.qc_apriori_sigma"));
    }

    void logCfgOfTheExternalChannelShowsCsvLogging_data()
    {
        QTest::addColumn<bool>("canLog");
        QTest::addColumn<int>("channel");
        QTest::addColumn<bool>("csv");
        QTest::newRow("external channel") << true << 1 << true;
        QTest::newRow("raw channel") << true << 0 << false;
        QTest::newRow("cannot log") << false << 1 << false;
    }

    void logCfgOfTheExternalChannelShowsCsvLogging()
    {
        QFETCH(bool, canLog);
        QFETCH(int, channel);
        QFETCH(bool, csv);
        qcDevice_t device(m_context, QStringLiteral("GNSS 1"), nullptr);
        device.setPort(new belrix_common_qt::remotePort_t);
        device.setCanLogData(canLog);
        device.initialize();
        auto* log = device.findChild<orvane::dlgLogData_t*>();
        QCOMPARE(log != nullptr, canLog);
        belrix_common_qt::logCfg_t cfg;
        cfg.path = "/tmp";
        device.remoteDevice()->setLogCfg(belrix_common_qt::logChannelType_t(channel), cfg);
        bool hasCsvButton = false;
        if (log) {
            for (QPushButton* button : log->findChildren<QPushButton*>())
                hasCsvButton = hasCsvButton || button->text() == QLatin1String("CSV Logging");
        }
        QCOMPARE(hasCsvButton, csv);
    }
};

QTEST_MAIN(tst_qcDevice)
#include "tst_qcDevice.moc"
