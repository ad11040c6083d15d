#include "orvane/device.h"

#include "orvane/context.h"
#include "orvane/devicePositionPanel.h"
#include "orvane/deviceStore.h"
#include "orvane/dlgLogData.h"
#include "orvane/menuManager.h"
#include "orvane/orvaneDialog.h"
#include "orvane/orvanePage.h"
#include "orvane/orvanePageGroup.h"

#include <belrix_common_qt/dataClock.h>
#include <belrix_common_qt/remoteController.h>
#include <belrix_common_qt/remoteDevice.h>
#include <belrix_common_qt/remotePort.h>
#include <belrix_common_qt_gui/orvaneDeviceGui.h>
#include <belrix_common_qt_gui/qualitySettings.h>
#include <tolvconfig/configCodec.h>

#include <QAction>
#include <QCloseEvent>
#include <QDateTime>
#include <QDir>
#include <QDockWidget>
#include <QFileDialog>
#include <QMessageBox>
#include <QPointer>
#include <QStandardPaths>
#include <QStatusBar>
#include <QToolBar>

namespace orvane {

namespace {
const char* const KeyGeometry = "geometry";
const char* const KeyState = "window_state";
const char* const KeyVisible = "visible";
}

class device_t::private_t
{
public:
    context_t* context = nullptr;
    QString name;
    belrix_common_qt::remotePort_t* port = nullptr;
    unsigned int portId = 0;
    QColor color{Qt::darkCyan};
    QString description;
    int capabilities = 0;
    std::string type;
    bool canLogData = false;
    bool initialized = false;

    orvanePageGroup_t* pageGroup = nullptr;
    menuManager_t* menuManager = nullptr;
    QToolBar* toolBar = nullptr;
    std::vector<QDockWidget*> dockWidgets;
    belrix_common_qt_gui::orvaneDeviceGui_t* deviceGui = nullptr;
    belrix_common_qt_gui::qualitySettings_t qualitySettings;

    dlgLogData_t* logDialog = nullptr;
    QAction* logAction = nullptr;
    QAction* saveSnapshotAction = nullptr;
    QAction* closeAction = nullptr;
    QPointer<devicePositionPanel_t> positionPanel;
};

device_t::device_t(context_t* context, QString name, QObject* parent) : orvaneMainWindow_t(parent), d(new private_t)
{
    d->context = context;
    d->name = name;
    d->description = name;
    setObjectName(name);
    d->pageGroup = new orvanePageGroup_t(this);
    d->menuManager = new menuManager_t(this);
    d->toolBar = addToolBar(tr("Tools"));
    d->toolBar->setObjectName(QStringLiteral("deviceToolBar"));
    // the host's messages and the source's state go here
    statusBar()->setObjectName(QStringLiteral("deviceStatusBar"));
    d->deviceGui = new belrix_common_qt_gui::orvaneDeviceGui_t(this);
    d->deviceGui->setQualitySettings(&d->qualitySettings);
    if (context) {
        belrix_common_qt::remoteController_t* controller = context->controllerContext()->controller();
        connect(controller, &belrix_common_qt::remoteController_t::rotSampleSizeUpdated, this, [this](endian::u32_t size) {
            if (belrix_common_qt::remoteDevice_t* device = remoteDevice())
                device->setRotSampleSize(size);
        });
    }
    setDockNestingEnabled(true);
}

device_t::~device_t()
{
    // leave while still a device: QObject::destroyed comes from ~QWidget, too late for listeners
    deviceStore_t::instance()->removeDevice(this);
    delete d;
}

context_t* device_t::context() const { return d->context; }
QString device_t::deviceName() const { return d->name; }
belrix_common_qt::remotePort_t* device_t::port() const { return d->port; }
belrix_common_qt::remoteDevice_t* device_t::remoteDevice() const { return d->port ? d->port->device() : nullptr; }
unsigned int device_t::portId() const { return d->portId; }
QColor device_t::deviceColor() const { return d->color; }
QString device_t::deviceDescription() const { return d->description; }
int device_t::deviceCapabilities() const { return d->capabilities; }
std::string device_t::deviceOldType() const { return d->type; }
bool device_t::canLogData() const { return d->canLogData; }
bool device_t::isConnected() const { return d->port && d->port->isConnected(); }

void device_t::setPort(belrix_common_qt::remotePort_t* port)
{
    if (d->port == port)
        return;
    d->port = port;
    if (port)
        port->setParent(this);
    d->deviceGui->setRemoteDevice(port ? port->device() : nullptr);
    if (port && port->device() && d->context)
        port->device()->setRotSampleSize(d->context->controllerContext()->controller()->rotSampleSize());
    if (d->initialized) {
        if (port) {
            connect(port, &belrix_common_qt::remotePort_t::connectionChanged, this, &device_t::enableMenu);
            makePortConnections(port->device());
        }
        enableMenu(isConnected());
    }
}

void device_t::setPortId(unsigned int portId) { d->portId = portId; }

void device_t::setDeviceColor(QColor const& color)
{
    if (d->color == color)
        return;
    d->color = color;
    emit deviceColorChanged(color);
}

void device_t::setDeviceDescription(QString const& description)
{
    if (d->description == description)
        return;
    d->description = description;
    updateWindowTitle();
    emit deviceDescriptionChanged(description);
}

void device_t::setDeviceCapabilities(int capabilities) { d->capabilities = capabilities; }
void device_t::setDeviceOldType(std::string const& type) { d->type = type; }
void device_t::setCanLogData(bool canLog) { d->canLogData = canLog; }

orvanePageGroup_t* device_t::pageGroup() const { return d->pageGroup; }
menuManager_t* device_t::menuManager() const { return d->menuManager; }
QToolBar* device_t::toolBar() const { return d->toolBar; }
std::vector<QDockWidget*>& device_t::dockWidgets() { return d->dockWidgets; }
belrix_common_qt_gui::orvaneDeviceGui_t* device_t::deviceGui() const { return d->deviceGui; }
belrix_common_qt_gui::qualitySettings_t* device_t::deviceQualitySettings() const { return &d->qualitySettings; }

QList<orvaneDialog_t*> device_t::dialogs() const
{
    return findChildren<orvaneDialog_t*>(QString(), Qt::FindDirectChildrenOnly);
}

std::string device_t::outputKey(std::string const& name) const
{
    return "device." + d->name.toStdString() + "." + name;
}

void device_t::saveSettings(tolvconfig::config_t& config)
{
    tolvconfig::setValue(config, outputKey(KeyGeometry), QString::fromLatin1(saveGeometry().toBase64()));
    tolvconfig::setValue(config, outputKey(KeyState), QString::fromLatin1(saveState().toBase64()));
    tolvconfig::setValue(config, outputKey(KeyVisible), isVisible());
    d->qualitySettings.save(config, outputKey(""));
}

void device_t::loadSettings(tolvconfig::config_t& config)
{
    QString text;
    if (tolvconfig::getValue(config, outputKey(KeyGeometry), text))
        restoreGeometry(QByteArray::fromBase64(text.toLatin1()));
    if (tolvconfig::getValue(config, outputKey(KeyState), text))
        restoreState(QByteArray::fromBase64(text.toLatin1()));
    bool visible = false;
    if (tolvconfig::getValue(config, outputKey(KeyVisible), visible))
        setVisible(visible);
    d->qualitySettings.load(config, outputKey(""));
}

bool device_t::canCloseAll() { return true; }

void device_t::closeAll()
{
    for (orvaneDialog_t* dialog : dialogs())
        dialog->hide();
    hide();
}

void device_t::updateWindowTitle()
{
    QString title = d->description;
    if (!d->type.empty())
        title += QStringLiteral(" (") + QString::fromStdString(d->type) + QLatin1Char(')');
    if (d->port && !d->port->isConnected())
        title += QStringLiteral(" - ") + tr("not connected");
    setWindowTitle(title);
    for (orvaneDialog_t* dialog : dialogs())
        dialog->updateWindowTitle();
}

void device_t::handleClockTimeout()
{
    ageData();
    for (orvaneDialog_t* dialog : dialogs())
        dialog->handleClockTimeout();
}

void device_t::initialize()
{
    if (d->initialized)
        return;
    d->initialized = true;
    makeDialogs();
    makeActions();
    makeConnections();
    buildMenus();
    buildToolBar();
    makeDockWidget();
    // Without a central widget the main window would share spare height between the top or
    // bottom strips and the side panels; strips start at their own height instead.
    QList<QDockWidget*> strips;
    QList<int> heights;
    for (QDockWidget* dock : d->dockWidgets) {
        const Qt::DockWidgetArea area = dockWidgetArea(dock);
        if (dock && (area == Qt::TopDockWidgetArea || area == Qt::BottomDockWidgetArea)) {
            strips << dock;
            heights << dock->sizeHint().height();
        }
    }
    if (!strips.isEmpty())
        resizeDocks(strips, heights, Qt::Vertical);
    if (d->port)
        makePortConnections(d->port->device());
    updateWindowTitle();
    enableMenu(isConnected());
}

void device_t::showDevice()
{
    show();
    raiseDevice();
}

void device_t::hideDevice() { hide(); }

void device_t::raiseDevice()
{
    raise();
    activateWindow();
}

void device_t::useDefaults() { d->qualitySettings.useDefaults(); }

void device_t::enableMenu(bool connected)
{
    if (d->logAction)
        d->logAction->setEnabled(connected);
    updateWindowTitle();
    emit connectionChanged(connected);
}

void device_t::handleLogCfgUpdated(belrix_common_qt::logChannelType_t, belrix_common_qt::logCfg_t const*)
{
    if (d->logDialog)
        d->logDialog->updateUi();
}

void device_t::ageData()
{
    if (d->positionPanel)
        d->positionPanel->updateData(belrix_common_qt::dataTimestamp(), remoteDevice());
}

void device_t::updateDockWidgetName()
{
    for (QDockWidget* dock : d->dockWidgets) {
        if (dock && !dock->objectName().isEmpty())
            dock->setWindowTitle(dock->objectName());
    }
}

void device_t::saveSnapshotAs()
{
    const QString dir = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    const QString suggested = QDir(dir).filePath(
        d->name + QStringLiteral("-") + QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss")) + QStringLiteral(".png"));
    const QString path = QFileDialog::getSaveFileName(this, tr("Save Snapshot"), suggested, tr("PNG images (*.png)"));
    if (path.isEmpty())
        return;
    if (!saveSnapshot(path))
        QMessageBox::warning(this, tr("Save Snapshot"), tr("The snapshot could not be written to %1.").arg(path));
}

void device_t::createLogDataDialog()
{
    if (d->canLogData && !d->logDialog)
        d->logDialog = new dlgLogData_t(d->context, this);
}

dlgLogData_t* device_t::dlgLogData() { return d->logDialog; }

void device_t::makeDialogs()
{
    createLogDataDialog();
    if (dlgLogData_t* log = dlgLogData())
        d->logAction = d->pageGroup->addPage(new orvanePage_t(tr("Data Logging..."), log, nullptr));
}

void device_t::makeActions()
{
    d->saveSnapshotAction = new QAction(QIcon(QStringLiteral(":/snapshot.png")), QStringLiteral("Save Snapshot"), this);
    d->saveSnapshotAction->setStatusTip(tr("Save a picture of this window"));
    d->closeAction = new QAction(tr("Close"), this);
    d->closeAction->setShortcut(QKeySequence::Close);
}

void device_t::makeConnections()
{
    connect(d->saveSnapshotAction, &QAction::triggered, this, &device_t::saveSnapshotAs);
    connect(d->closeAction, &QAction::triggered, this, &device_t::hideDevice);
    if (d->port)
        connect(d->port, &belrix_common_qt::remotePort_t::connectionChanged, this, &device_t::enableMenu);
}

void device_t::makePortConnections(belrix_common_qt::remoteDevice_t* device)
{
    if (device)
        connect(device, &belrix_common_qt::remoteDevice_t::logCfgUpdated, this, &device_t::handleLogCfgUpdated,
                Qt::UniqueConnection);
}

void device_t::buildMenus()
{
    d->menuManager->addMenuAction(QStringLiteral("File"), d->saveSnapshotAction);
    d->menuManager->addMenuSeparator(QStringLiteral("File"));
    d->menuManager->addMenuAction(QStringLiteral("File"), d->closeAction);
    if (d->logAction)
        d->menuManager->addMenuAction(QStringLiteral("Settings"), d->logAction);
}

void device_t::buildToolBar() { d->toolBar->addAction(d->saveSnapshotAction); }

void device_t::makeDockWidget()
{
    d->positionPanel = new devicePositionPanel_t;
    auto* dock = new QDockWidget(this);
    dock->setObjectName(d->positionPanel->windowTitle());
    dock->setWidget(d->positionPanel);
    addDockWidget(Qt::LeftDockWidgetArea, dock);
    d->dockWidgets.push_back(dock);
    d->menuManager->insertMenuAction(QStringLiteral("View"), nullptr, dock->toggleViewAction());
    connect(dock, &QDockWidget::dockLocationChanged, this, &device_t::configurationModified);
}

void device_t::closeEvent(QCloseEvent* event)
{
    // Closing a device window hides it; the device goes on being monitored.
    event->accept();
    emit configurationModified();
}

} // namespace orvane
