#include "device/qcDevice.h"

#include "device/signalStatusWidget.h"
#include "accuracy/dlgErrorEllipse.h"
#include "forecast/dlgSatelliteCalculation.h"
#include "forecast/dlgSatelliteForecast.h"
#include "graphs/dlgGraphs.h"
#include "graphs/dlgQcGraphs.h"
#include "instruments/dlgCompassRose.h"
#include "instruments/dlgExtLogData.h"
#include "instruments/dlgTapeDisplay.h"
#include "settings/dlgQcSettings.h"
#include "settings/dlgQualityDisplayConfiguration.h"

#include <belrix_common_qt/dataClock.h>
#include <belrix_common_qt/navConstants.h>
#include <belrix_common_qt/qcSettingsBase.h>
#include <belrix_common_qt/remoteDevice.h>
#include <belrix_common_qt/remoteNavSat.h>
#include <belrix_common_qt/textFormat.h>
#include <belrix_common_qt_gui/orvaneDeviceGui.h>
#include <belrix_common_qt_gui/qcQualityPanel.h>
#include <orvane/fixes/dlgTakeFix.h>
#include <orvane/fixes/fixManager.h>
#include <orvane/geodetics/geodeticSettings.h>
#include <orvane/menuManager.h>
#include <orvane/orvanePage.h>
#include <orvane/orvanePageGroup.h>

#include <QAction>
#include <QDateTime>
#include <QDockWidget>
#include <QIcon>
#include <QToolBar>

#include <cmath>
#include <limits>

namespace orvane {
namespace qc {

using namespace belrix_common_qt;

namespace {

const QString MenuSettings = QStringLiteral("Settings");
const QString MenuView = QStringLiteral("View");
}

class qcDevice_t::private_t
{
public:
    QWidget* qcQualityPanel = nullptr;
    signalStatusWidget_t* signalStatusWidget = nullptr;
    fixes::dlgTakeFix_t* takeFixDialog = nullptr;
    dlgExtLogData_t* logDataDialog = nullptr;
    QAction* compassRoseAction = nullptr;
    QAction* errorEllipseAction = nullptr;
    QAction* graphsAction = nullptr;
    QAction* manOverboardAction = nullptr;
    QAction* qcGraphsAction = nullptr;
    QAction* qcSettingsAction = nullptr;
    QAction* qualityDisplayConfigurationAction = nullptr;
    QAction* satelliteCalculationsAction = nullptr;
    QAction* satelliteForecastAction = nullptr;
    QAction* takeFixAction = nullptr;
    QAction* tapeDisplayAction = nullptr;
};

qcDevice_t::qcDevice_t(orvane::context_t* context, QString name, QObject* parent)
    : device_t(context, name, parent), d(new private_t)
{
    resize(525, 500);
}

qcDevice_t::~qcDevice_t()
{
    // The panel came from the device's GUI bundle; it must not outlive the device.
    if (d->qcQualityPanel) {
        disconnect(d->qcQualityPanel, nullptr, this, nullptr);
        delete d->qcQualityPanel;
    }
    // The widget goes with the dock after this block is freed: it must not report back.
    if (d->signalStatusWidget)
        disconnect(d->signalStatusWidget, nullptr, this, nullptr);
    delete d;
}

void qcDevice_t::saveSettings(tolvconfig::config_t& cfg)
{
    device_t::saveSettings(cfg);
    remoteDevice_t* device = remoteDevice();
    if (device && device->qcSettings())
        device->qcSettings()->save(cfg, outputKey(""));
}

void qcDevice_t::loadSettings(tolvconfig::config_t& cfg)
{
    device_t::loadSettings(cfg);
    remoteDevice_t* device = remoteDevice();
    if (device && device->qcSettings())
        device->qcSettings()->load(cfg, outputKey(""));
}

void qcDevice_t::useDefaults()
{
    device_t::useDefaults();
    remoteDevice_t* device = remoteDevice();
    if (device && device->qcSettings())
        device->qcSettings()->useDefaults();
}

void qcDevice_t::enableMenu(bool connected)
{
    device_t::enableMenu(connected);
    for (QAction* action : {d->graphsAction, d->errorEllipseAction, d->qcGraphsAction, d->qcSettingsAction,
                            d->qualityDisplayConfigurationAction, d->manOverboardAction,
                            d->satelliteCalculationsAction, d->satelliteForecastAction, d->takeFixAction,
                            d->tapeDisplayAction, d->compassRoseAction}) {
        if (action)
            action->setEnabled(connected);
    }
}

void qcDevice_t::ageData()
{
    device_t::ageData();
    ageQcQualityPanel();
    ageSignalStatusWidget();
}

void qcDevice_t::ageQcQualityPanel()
{
    auto* panel = qobject_cast<belrix_common_qt_gui::qcQualityPanel_t*>(d->qcQualityPanel);
    if (!panel)
        return;
    remoteDevice_t* device = remoteDevice();
    if (!device)
        panel->clearData();
    else
        panel->updateData(dataTimestamp(), device);
}

void qcDevice_t::ageSignalStatusWidget()
{
    signalStatusWidget_t* widget = d->signalStatusWidget;
    if (!widget)
        return;
    remoteDevice_t* device = remoteDevice();
    if (!device) {
        widget->clear();
        return;
    }
    const double now = dataTimestamp();

    bool sbas = false;
    for (auto const& entry : device->allNavSats()) {
        remoteNavSat_t const* sat = entry.second;
        if (!sat || sat->constellation() != constellationSbas)
            continue;
        dataItem_t<freq_t> const* signal = sat->freq(0);
        if (signal && signal->isValid() && isSatDataRecent(signal->timestamp(), now) && signal->value().level >= 1.0f) {
            sbas = true;
            break;
        }
    }
    widget->setSbasSignalAvailable(sbas);

    dataItem_t<float> const& correction = device->corrSatSnr();
    widget->setVeskSignalAvailable(isItemCurrent(correction, now)
                                   && correction.value() > 1.0f);
}

void qcDevice_t::manOverboard()
{
    remoteDevice_t* device = remoteDevice();
    if (!device)
        return;
    const double now = dataTimestamp();
    dataItem_t<position_t> const& item = device->inputPosition();
    if (!isItemCurrent(item, now))
        return;
    position_t const& position = item.value();
    if (!position.latValid || !position.lonValid)
        return;

    const tolvgeodesy::coordLL_t input = geodetics::coordFromPosition(position);
    // A conversion that fills nothing leaves these, which fail the range test below.
    tolvgeodesy::coordLL_t output(std::numeric_limits<double>::max(), std::numeric_limits<double>::max());
    if (!geodetics::geodeticSettings_t::instance()->inputToRaw(input, output))
        return;
    if (!(output.lat >= -Pi / 2 && output.lat <= Pi / 2 && output.lon >= -Pi && output.lon <= Pi))
        return;

    double height = 0.0;
    dataItem_t<double> const& heightItem = device->ellipsoidalHeight();
    if (isItemCurrent(heightItem, now))
        height = heightItem.value();

    const qint64 wholeSeconds = qint64(std::trunc(item.timestamp()));
    const QString time = QDateTime::fromSecsSinceEpoch(wholeSeconds).toString(MillisecondTimeFormatString);
    const QString description = QStringLiteral("Man Overboard - %1").arg(time);

    fixes::fixManager_t::instance()->addFix(portId(), item.timestamp(), fixes::fixTypeManOverboard, output, height,
                                            description);
}

void qcDevice_t::handleLogCfgUpdated(logChannelType_t channel, const logCfg_t* cfg)
{
    if (!canLogData())
        return;
    if (channel == logChannelExternal && d->logDataDialog)
        d->logDataDialog->showCsvLogging();
    device_t::handleLogCfgUpdated(channel, cfg);
}

void qcDevice_t::handleQcQualityPanelDestroyed() { d->qcQualityPanel = nullptr; }

void qcDevice_t::handleSignalStatusWidgetDestroyed() { d->signalStatusWidget = nullptr; }

void qcDevice_t::createLogDataDialog()
{
    if (canLogData() && !d->logDataDialog)
        d->logDataDialog = new dlgExtLogData_t(context(), this);
}

orvane::dlgLogData_t* qcDevice_t::dlgLogData() { return d->logDataDialog; }

void qcDevice_t::makeDialogs()
{
    device_t::makeDialogs();
    orvane::context_t* ctx = context();
    const int caps = deviceCapabilities();
    auto addPage = [this](QString const& title, QWidget* dialog) {
        return pageGroup()->addPage(new orvanePage_t(title, dialog, nullptr));
    };

    if (caps & capErrorEllipse)
        d->errorEllipseAction = addPage(QStringLiteral("Error Ellipse Plot..."), new dlgErrorEllipse_t(ctx, this));
    if (caps & capQc) {
        d->qcSettingsAction = addPage(QStringLiteral("QC Settings..."), new dlgQcSettings_t(ctx, this));
        d->qcGraphsAction = addPage(QStringLiteral("QC Graphs..."), new dlgQcGraphs_t(ctx, this));
    }
    if (caps & (capDeviceGraphs | capDeviceGraphsAlt)) {
        d->graphsAction = addPage(QStringLiteral("Graphs..."), new dlgGraphs_t(ctx, this));
        d->qualityDisplayConfigurationAction = addPage(QStringLiteral("Quality Display Configuration..."),
                                                       new dlgQualityDisplayConfiguration_t(ctx, this));
    }
    if (caps & capSatellites) {
        d->satelliteCalculationsAction =
            addPage(QStringLiteral("Satellite Calculations..."), new dlgSatelliteCalculation_t(ctx, this));
        d->satelliteForecastAction =
            addPage(QStringLiteral("Satellite Forecast..."), new dlgSatelliteForecast_t(ctx, this));
    }
    if (caps & capPositions) {
        d->takeFixDialog = new fixes::dlgTakeFix_t(ctx, this);
        d->takeFixAction = addPage(QStringLiteral("Take Fix..."), d->takeFixDialog);
    }
    if ((caps & capHeading) && deviceOldType() != deviceNameGyro)
        d->tapeDisplayAction = addPage(QStringLiteral("Tape Display..."), new dlgTapeDisplay_t(ctx, this));
    if (caps & capHeading)
        d->compassRoseAction = addPage(QStringLiteral("Compass Rose..."), new dlgCompassRose_t(ctx, this));
}

void qcDevice_t::makeActions()
{
    device_t::makeActions();
    if (deviceCapabilities() & capPositions) {
        d->manOverboardAction = new QAction(QIcon(QStringLiteral(":/overboard.png")), QStringLiteral("Man Overboard"), this);
        d->manOverboardAction->setStatusTip(QStringLiteral("Man Overboard"));
        d->manOverboardAction->setShortcut(QKeySequence(Qt::Key_F10));
        if (d->takeFixAction) {
            d->takeFixAction->setIcon(QIcon(QStringLiteral(":/takeFix.png")));
            d->takeFixAction->setStatusTip(QStringLiteral("Calculate a Fix"));
        }
    }
    if (d->qualityDisplayConfigurationAction) {
        d->qualityDisplayConfigurationAction->setIcon(QIcon(QStringLiteral(":/stopLights.png")));
        d->qualityDisplayConfigurationAction->setStatusTip(QStringLiteral("Quality Display Configuration"));
    }
}

void qcDevice_t::makeConnections()
{
    device_t::makeConnections();
    if (d->manOverboardAction)
        connect(d->manOverboardAction, &QAction::triggered, this, &qcDevice_t::manOverboard);
}

void qcDevice_t::buildMenus()
{
    device_t::buildMenus();
    orvane::menuManager_t* menus = menuManager();
    for (QAction* action : {d->qualityDisplayConfigurationAction, d->qcSettingsAction, d->manOverboardAction,
                            d->takeFixAction}) {
        if (action)
            menus->addMenuAction(MenuSettings, action);
    }
    if (d->graphsAction || d->qcGraphsAction || d->errorEllipseAction || d->satelliteCalculationsAction
        || d->satelliteForecastAction)
        menus->addMenuSeparator(MenuView);
    for (QAction* action : {d->graphsAction, d->qcGraphsAction, d->errorEllipseAction, d->satelliteCalculationsAction,
                            d->satelliteForecastAction, d->tapeDisplayAction, d->compassRoseAction}) {
        if (action)
            menus->addMenuAction(MenuView, action);
    }
}

void qcDevice_t::buildToolBar()
{
    device_t::buildToolBar();
    QAction* snapshot = menuManager()->actionForTitle(QStringLiteral("File"), QStringLiteral("Save Snapshot"));
    if (!snapshot)
        return;
    QToolBar* bar = toolBar();
    if (d->manOverboardAction)
        bar->insertAction(snapshot, d->manOverboardAction);
    if (d->takeFixAction)
        bar->insertAction(snapshot, d->takeFixAction);
    auto* spacer = new QWidget(this);
    spacer->setEnabled(false);
    spacer->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    bar->insertWidget(snapshot, spacer);
}

void qcDevice_t::makeDockWidget()
{
    device_t::makeDockWidget();
    std::vector<QDockWidget*>& docks = dockWidgets();
    const int caps = deviceCapabilities();

    if (caps & capQc) {
        d->qcQualityPanel = deviceGui() ? deviceGui()->qcQualityPanel() : nullptr;
        if (QWidget* panel = d->qcQualityPanel) {
            auto* dock = new QDockWidget(this, Qt::WindowFlags());
            dock->setWidget(panel);
            dock->setObjectName(panel->windowTitle());
            dock->setAllowedAreas(Qt::LeftDockWidgetArea | Qt::RightDockWidgetArea);
            addDockWidget(Qt::LeftDockWidgetArea, dock);
            docks.push_back(dock);
            // Alone in the list, the dock has nothing to share a tab with. Where it shares
            // one, the window opens on the position, the first thing a navigator looks for.
            if (docks.front() != dock) {
                tabifyDockWidget(docks.front(), dock);
                docks.front()->raise();
            }
            menuManager()->insertMenuAction(MenuView, nullptr, dock->toggleViewAction());
            connect(dock, &QDockWidget::dockLocationChanged, this, &qcDevice_t::configurationModified);
            connect(panel, &QObject::destroyed, this, &qcDevice_t::handleQcQualityPanelDestroyed);
        }
    }

    if (caps & (capSignalStatus | capSignalStatusAlt)) {
        d->signalStatusWidget = new signalStatusWidget_t(this);
        auto* dock = new QDockWidget(this, Qt::WindowFlags());
        dock->setWidget(d->signalStatusWidget);
        dock->setFloating(false);
        dock->setObjectName(QStringLiteral("Signal Status"));
        addDockWidget(Qt::TopDockWidgetArea, dock);
        docks.push_back(dock);
        menuManager()->insertMenuAction(MenuView, nullptr, dock->toggleViewAction());
        connect(dock, &QDockWidget::dockLocationChanged, this, &qcDevice_t::configurationModified);
        connect(d->signalStatusWidget, &QObject::destroyed, this, &qcDevice_t::handleSignalStatusWidgetDestroyed);
    }

    updateDockWidgetName();
}

} // namespace qc
} // namespace orvane
