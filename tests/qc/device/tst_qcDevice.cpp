#include "qcTestFixture.h"

#include <belrix_common_qt/navConstants.h>
#include <belrix_common_qt/qcSettingsBase.h>
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

using namespace orvane;
using orvane::qc::qcDevice_t;

namespace {

const QString Spacer = QStringLiteral("<spacer>");

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

} // namespace

class tst_qcDevice : public QObject
{
    Q_OBJECT

    std::unique_ptr<context_t> m_context;

    // What the host itself puts into "View" before the module adds its entries.
    int hostViewEntries()
    {
        device_t host(m_context.get(), QStringLiteral("host"), nullptr);
        host.initialize();
        return texts(host.menuManager()->menu("View")->actions()).size();
    }

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void init() { m_context.reset(new context_t); }
    void cleanup() { m_context.reset(); }

    void capabilitiesDecideWindowsMenusToolBarAndDocks_data()
    {
        QTest::addColumn<int>("mask");
        QTest::addColumn<QString>("type");
        QTest::addColumn<bool>("qualityPanel");   // whether the device's GUI bundle offers one
        QTest::addColumn<QStringList>("pages");
        QTest::addColumn<QStringList>("settings");
        QTest::addColumn<QStringList>("view");
        QTest::addColumn<QStringList>("toolBar");
        QTest::addColumn<QStringList>("docks");

        const QString snapshot = QStringLiteral("Save Snapshot");
        const QStringList plainBar = {Spacer, snapshot};
        const QStringList position = {"Position"};
        QTest::newRow("no capability") << 0 << "GNSS" << true << QStringList() << QStringList() << QStringList()
                                       << plainBar << position;
        QTest::newRow("every capability")
            << (capFullReceiver | capHeading) << "GNSS" << true
            << QStringList({"Error Ellipse Plot...", "QC Settings...", "QC Graphs...", "Graphs...",
                            "Quality Display Configuration...", "Satellite Calculations...", "Satellite Forecast...",
                            "Take Fix...", "Tape Display...", "Compass Rose..."})
            << QStringList({"Quality Display Configuration...", "QC Settings...", "Man Overboard", "Take Fix..."})
            << QStringList({"|", "Graphs...", "QC Graphs...", "Error Ellipse Plot...", "Satellite Calculations...",
                            "Satellite Forecast...", "Tape Display...", "Compass Rose..."})
            << QStringList({"Man Overboard", "Take Fix...", Spacer, snapshot})
            << QStringList({"Position", "QC Quality", "Signal Status"});
        for (int bit : {int(capDeviceGraphs), int(capDeviceGraphsAlt)}) {
            QTest::addRow("graphs from bit 0x%x", bit)
                << bit << "GNSS" << true << QStringList({"Graphs...", "Quality Display Configuration..."})
                << QStringList({"Quality Display Configuration..."}) << QStringList({"|", "Graphs..."}) << plainBar
                << position;
        }
        QTest::newRow("gyro heading") << int(capHeading) << belrix_common_qt::deviceNameGyro << true
                                      << QStringList({"Compass Rose..."}) << QStringList()
                                      << QStringList({"Compass Rose..."}) << plainBar << position;
        QTest::newRow("receiver heading") << int(capHeading) << "GNSS" << true
                                          << QStringList({"Tape Display...", "Compass Rose..."}) << QStringList()
                                          << QStringList({"Tape Display...", "Compass Rose..."}) << plainBar
                                          << position;
        QTest::newRow("positions only") << int(capPositions) << "GNSS" << true << QStringList({"Take Fix..."})
                                        << QStringList({"Man Overboard", "Take Fix..."}) << QStringList()
                                        << QStringList({"Man Overboard", "Take Fix...", Spacer, snapshot}) << position;
        QTest::newRow("QC only") << int(capQc) << "GNSS" << true << QStringList({"QC Settings...", "QC Graphs..."})
                                 << QStringList({"QC Settings..."}) << QStringList({"|", "QC Graphs..."}) << plainBar
                                 << QStringList({"Position", "QC Quality"});
        QTest::newRow("QC without a quality panel") << int(capQc) << "GNSS" << false
                                                    << QStringList({"QC Settings...", "QC Graphs..."})
                                                    << QStringList({"QC Settings..."})
                                                    << QStringList({"|", "QC Graphs..."}) << plainBar << position;
        QTest::newRow("forecast only") << int(capSatellites) << "GNSS" << true
                                       << QStringList({"Satellite Calculations...", "Satellite Forecast..."})
                                       << QStringList()
                                       << QStringList({"|", "Satellite Calculations...", "Satellite Forecast..."})
                                       << plainBar << position;
        QTest::newRow("ellipse only") << int(capErrorEllipse) << "GNSS" << true
                                      << QStringList({"Error Ellipse Plot..."}) << QStringList()
                                      << QStringList({"|", "Error Ellipse Plot..."}) << plainBar << position;
        QTest::newRow("signal status") << int(capSignalStatus) << "GNSS" << true << QStringList() << QStringList()
                                       << QStringList() << plainBar << QStringList({"Position", "Signal Status"});
        QTest::newRow("signal status from the older bit")
            << int(capSignalStatusAlt) << "GNSS" << true << QStringList() << QStringList() << QStringList()
            << plainBar << QStringList({"Position", "Signal Status"});
    }

    void capabilitiesDecideWindowsMenusToolBarAndDocks()
    {
        QFETCH(int, mask);
        QFETCH(QString, type);
        QFETCH(bool, qualityPanel);
        QFETCH(QStringList, pages);
        QFETCH(QStringList, settings);
        QFETCH(QStringList, view);
        QFETCH(QStringList, toolBar);
        QFETCH(QStringList, docks);

        const int hostView = hostViewEntries();
        qcTest::deviceSpec_t spec;
        spec.capabilities = mask;
        spec.type = type.toStdString();
        spec.qcQualityPanel = qualityPanel;
        auto device = qcTest::makeDevice(m_context.get(), spec);

        QStringList pageTitles;
        for (orvanePage_t* page : device->pageGroup()->pages()) {
            pageTitles << page->title();
            QCOMPARE(page->widget()->parent(), device.get());
        }
        QCOMPARE(pageTitles, pages);
        QMenu* viewMenu = device->menuManager()->menu("View");
        QCOMPARE(texts(device->menuManager()->menu("Settings")->actions()), settings);
        QCOMPARE(texts(viewMenu->actions()).mid(hostView), view);
        QCOMPARE(texts(device->toolBar()->actions()), toolBar);
        QStringList dockNames;
        for (QDockWidget* dock : device->dockWidgets()) {
            dockNames << dock->objectName();
            QCOMPARE(dock->parent(), device.get());
            QVERIFY2(viewMenu->actions().contains(dock->toggleViewAction()), qPrintable(dock->objectName()));
        }
        QCOMPARE(dockNames, docks);
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
        device->enableMenu(true);
        for (QAction* action : module)
            QVERIFY2(action->isEnabled(), qPrintable(action->text()));
        device->enableMenu(false);
        for (QAction* action : module)
            QVERIFY2(!action->isEnabled(), qPrintable(action->text()));
        // the port reaches the override, and a page action then opens its window
        device->port()->setConnected(true);
        for (QAction* action : module)
            QVERIFY2(action->isEnabled(), qPrintable(action->text()));
        QAction* ellipse = device->menuManager()->actionForTitle("View", "Error Ellipse Plot...");
        ellipse->trigger();
        QVERIFY(device->pageGroup()->pages().first()->widget()->isVisible());
    }

    void qcSettingsPersistUnderTheDevicePrefix_data()
    {
        QTest::addColumn<bool>("withPort");
        QTest::newRow("with a data model") << true;
        QTest::newRow("without one only the base is stored") << false;
    }

    void qcSettingsPersistUnderTheDevicePrefix()
    {
        QFETCH(bool, withPort);
        qcTest::deviceSpec_t spec;
        spec.capabilities = capQc;
        spec.withPort = withPort;
        auto device = qcTest::makeDevice(m_context.get(), spec);
        belrix_common_qt::qcSettingsBase_t* qc = withPort ? device->remoteDevice()->qcSettings() : nullptr;
        if (qc) {
            qc->setAprioriSigma(2.5);
            qc->setMinSatellites(9);
        }
        tolvconfig::config_t config;
        device->saveSettings(config);
        QVERIFY(config.hasKey("device.GNSS 1.geometry"));
        QCOMPARE(config.hasKey("device.GNSS 1.qc_apriori_sigma"), withPort);

        device->useDefaults();
        if (qc)
            QVERIFY(*qc == belrix_common_qt::qcSettingsBase_t());
        device->loadSettings(config);
        if (qc) {
            QCOMPARE(qc->aprioriSigma(), 2.5);
            QCOMPARE(qc->minSatellites(), 9u);
        }
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
        qcDevice_t device(m_context.get(), QStringLiteral("GNSS 1"), nullptr);
        device.setPort(new belrix_common_qt::remotePort_t);
        device.setCanLogData(canLog);
        device.initialize();
        auto* log = device.findChild<dlgLogData_t*>();
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
