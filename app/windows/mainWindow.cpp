#include "mainWindow.h"

#include "application/deviceFeed.h"

#include <belrix_common_qt/dataClock.h>
#include <belrix_common_qt/remotePort.h>
#include <belrix_common_qt/textFormat.h>
#include <orvane/device.h>

#include <QAction>
#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPainter>
#include <QPixmap>
#include <QPointer>
#include <QStatusBar>
#include <QStyle>
#include <QTreeWidget>

#include <algorithm>
#include <limits>
#include <utility>
#include <vector>

namespace orvane {
namespace app {

namespace {
enum column_t {
    ColumnName,
    ColumnType,
    ColumnSource,
    ColumnStatus,
    ColumnLines,
    ColumnBadChecksum,
    ColumnUnknown,
    ColumnMalformed,
    ColumnCount
};

QIcon swatch(QColor const& color)
{
    QPixmap pixmap(14, 14);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Qt::black, 1));
    painter.setBrush(color);
    painter.drawEllipse(QRectF(1.5, 1.5, 11, 11));
    return QIcon(pixmap);
}
} // namespace

class mainWindow_t::private_t
{
public:
    QTreeWidget* tree = nullptr;
    QMenu* devicesMenu = nullptr;
    QMenu* windowsMenu = nullptr;
    QLabel* timeLabel = nullptr;
    QLabel* configLabel = nullptr;
    QList<QPointer<orvane::device_t>> devices;
    QList<QAction*> deviceActions;   // add, edit, remove, raw NMEA: kept below the device entries

    // all: every column to its text, the text columns within the room the window leaves.
    // Otherwise only the counters grow, to hold every digit; what the user widened stays so.
    void fitColumns(bool all)
    {
        QHeaderView* header = tree->header();
        QAbstractItemView const* view = tree;   // where the column's size hint is public
        int counters = 0;
        for (int c = ColumnLines; c < ColumnCount; ++c) {
            const int needed = std::max(view->sizeHintForColumn(c), header->sectionSizeHint(c));
            if (all || header->sectionSize(c) < needed)
                header->resizeSection(c, needed);
            counters += header->sectionSize(c);
        }
        if (!all)
            return;
        // Name, type, source and status share what the counters leave of the window: none
        // gets more than its text needs, and the others split the rest evenly. The status
        // may have more to say later, and stretches over what is left in the end.
        const int width = tree->window()->width() - 2 * tree->frameWidth()
                          - tree->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
        int room = width - counters;
        std::vector<std::pair<int, int>> needs;   // width, column
        for (int column : {ColumnName, ColumnType, ColumnSource}) {
            tree->resizeColumnToContents(column);
            needs.emplace_back(header->sectionSize(column), column);
        }
        needs.emplace_back(std::numeric_limits<int>::max(), ColumnStatus);
        std::sort(needs.begin(), needs.end());
        int left = int(needs.size());
        for (auto const& [need, column] : needs) {
            const int share = std::max(std::min(need, room / left--), header->minimumSectionSize());
            if (column != ColumnStatus)
                header->resizeSection(column, share);
            room -= share;
        }
    }
};

mainWindow_t::mainWindow_t(QWidget* parent) : orvaneMainWindow_t(parent), d(new private_t)
{
    setObjectName(QStringLiteral("orvaneMainWindow"));
    setWindowTitle(tr("orvane"));
    resize(920, 300);

    d->tree = new QTreeWidget(this);
    d->tree->setObjectName(QStringLiteral("deviceTree"));
    d->tree->setColumnCount(ColumnCount);
    d->tree->setHeaderLabels({tr("Device"), tr("Type"), tr("Source"), tr("Status"), tr("Lines"), tr("Bad Checksum"),
                              tr("Unknown"), tr("Malformed")});
    for (int c = ColumnLines; c < ColumnCount; ++c)
        d->tree->headerItem()->setTextAlignment(c, Qt::AlignRight | Qt::AlignVCenter);
    d->tree->setRootIsDecorated(false);
    d->tree->setAllColumnsShowFocus(true);
    // the status says why a link is down, which takes the room left
    d->tree->header()->setSectionResizeMode(ColumnStatus, QHeaderView::Stretch);
    d->tree->header()->setStretchLastSection(false);
    setCentralWidget(d->tree);
    connect(d->tree, &QTreeWidget::itemActivated, this, &mainWindow_t::openSelectedDevice);

    QMenu* file = menuBar()->addMenu(tr("&File"));
    QAction* save = file->addAction(tr("&Save Configuration"));
    save->setShortcut(QKeySequence::Save);
    connect(save, &QAction::triggered, this, &mainWindow_t::saveRequested);
    QAction* snapshot = file->addAction(tr("Save Snapshot"));
    connect(snapshot, &QAction::triggered, this, [this] {
        const QString path = QStringLiteral("orvane-%1.png").arg(QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss")));
        showMessage(saveSnapshot(path) ? tr("Snapshot written to %1").arg(path) : tr("The snapshot could not be written."));
    });
    file->addSeparator();
    QAction* quit = file->addAction(tr("&Quit"));
    quit->setShortcut(QKeySequence::Quit);
    connect(quit, &QAction::triggered, qApp, &QApplication::closeAllWindows);
    connect(quit, &QAction::triggered, qApp, &QApplication::quit);

    d->devicesMenu = menuBar()->addMenu(tr("&Devices"));
    QAction* addDevice = new QAction(tr("&Add Device..."), this);
    addDevice->setObjectName(QStringLiteral("addDeviceAction"));
    connect(addDevice, &QAction::triggered, this, &mainWindow_t::addDeviceRequested);
    QAction* editDevice = new QAction(tr("&Edit Device..."), this);
    editDevice->setObjectName(QStringLiteral("editDeviceAction"));
    connect(editDevice, &QAction::triggered, this, [this] {
        if (orvane::device_t* device = selectedDevice())
            emit editDeviceRequested(device);
    });
    QAction* removeDevice = new QAction(tr("&Remove Device"), this);
    removeDevice->setObjectName(QStringLiteral("removeDeviceAction"));
    connect(removeDevice, &QAction::triggered, this, [this] {
        if (orvane::device_t* device = selectedDevice())
            emit removeDeviceRequested(device);
    });
    QAction* rawNmea = new QAction(tr("Raw &NMEA..."), this);
    rawNmea->setObjectName(QStringLiteral("rawNmeaAction"));
    connect(rawNmea, &QAction::triggered, this, [this] {
        if (orvane::device_t* device = selectedDevice())
            emit rawNmeaRequested(device);
    });
    d->deviceActions = {addDevice, editDevice, removeDevice, rawNmea};
    // what needs a device waits for one to be selected
    auto updateActions = [this, editDevice, removeDevice, rawNmea] {
        bool const selected = selectedDevice() != nullptr;
        for (QAction* action : {editDevice, removeDevice, rawNmea})
            action->setEnabled(selected);
    };
    connect(d->tree, &QTreeWidget::currentItemChanged, this, updateActions);
    updateActions();
    d->tree->setContextMenuPolicy(Qt::ActionsContextMenu);
    d->tree->addActions(d->deviceActions);
    d->windowsMenu = menuBar()->addMenu(tr("&Windows"));
    QMenu* help = menuBar()->addMenu(tr("&Help"));
    help->addAction(tr("About orvane"), this, [this] {
        QMessageBox::about(this, tr("About orvane"),
                           tr("orvane monitors the ship's navigation devices and the quality of their positions."));
    });

    d->timeLabel = new QLabel(this);
    d->configLabel = new QLabel(this);
    statusBar()->addPermanentWidget(d->configLabel);
    statusBar()->addPermanentWidget(d->timeLabel);
}

mainWindow_t::~mainWindow_t() { delete d; }

void mainWindow_t::setDevices(QList<orvane::device_t*> const& devices)
{
    d->devices.clear();
    d->tree->clear();
    d->devicesMenu->clear();
    for (orvane::device_t* device : devices) {
        d->devices.append(device);
        auto* item = new QTreeWidgetItem(d->tree);
        item->setData(ColumnName, Qt::UserRole, QVariant::fromValue<QObject*>(device));
        QAction* open = d->devicesMenu->addAction(device->deviceDescription());
        connect(open, &QAction::triggered, device, &orvane::device_t::showDevice);
    }
    d->devicesMenu->addSeparator();
    d->devicesMenu->addActions(d->deviceActions);
    updateDevices();
}

QAction* mainWindow_t::addWindow(QString const& title, QWidget* window)
{
    QAction* action = d->windowsMenu->addAction(title);
    QPointer<QWidget> target = window;
    connect(action, &QAction::triggered, this, [target] {
        if (target) {
            target->show();
            target->raise();
            target->activateWindow();
        }
    });
    return action;
}

void mainWindow_t::setConfigPath(QString const& path)
{
    // the name alone: a full path would squeeze out the messages beside it
    d->configLabel->setText(path.isEmpty() ? tr("Configuration not saved") : QFileInfo(path).fileName());
    d->configLabel->setToolTip(path.isEmpty() ? QString() : QDir::toNativeSeparators(path));
}

void mainWindow_t::updateDevices()
{
    bool textChanged = false;
    auto setText = [&textChanged](QTreeWidgetItem* item, int column, QString const& text) {
        textChanged = textChanged || item->text(column) != text;
        item->setText(column, text);
        item->setToolTip(column, text);
    };
    for (int i = 0; i < d->tree->topLevelItemCount() && i < d->devices.size(); ++i) {
        QTreeWidgetItem* item = d->tree->topLevelItem(i);
        orvane::device_t* device = d->devices.at(i);
        if (!device) {
            item->setText(ColumnStatus, tr("Removed"));
            item->setToolTip(ColumnStatus, QString());
            continue;
        }
        item->setIcon(ColumnName, swatch(device->deviceColor()));
        setText(item, ColumnName, device->deviceDescription());
        setText(item, ColumnType, QString::fromStdString(device->deviceOldType()));
        setText(item, ColumnSource, device->port() ? device->port()->sourceDescription() : QString());
        const bool connected = device->isConnected();
        deviceFeed_t const* feed = device->findChild<deviceFeed_t*>(QString(), Qt::FindDirectChildrenOnly);
        // elided when long: the tooltip has it whole
        const QString state = feed ? feed->stateText() : tr("Not connected");
        item->setText(ColumnStatus, state);
        item->setToolTip(ColumnStatus, state);
        item->setForeground(ColumnStatus, connected ? palette().color(QPalette::Text) : QColor(Qt::red));
        const belrix_common_qt::nmeaCounters_t counters = feed ? feed->counters() : belrix_common_qt::nmeaCounters_t();
        const quint64 values[] = {counters.lines, counters.badChecksum, counters.unknown,
                                  counters.malformed};
        for (int c = ColumnLines; c < ColumnCount; ++c) {
            item->setText(c, feed ? QString::number(values[c - ColumnLines]) : QString());
            item->setTextAlignment(c, Qt::AlignRight | Qt::AlignVCenter);
        }
    }
    d->fitColumns(textChanged);
    const QDateTime now = QDateTime::fromMSecsSinceEpoch(qint64(belrix_common_qt::dataTimestamp() * 1000.0), Qt::UTC);
    d->timeLabel->setText(now.toString(belrix_common_qt::TimeFormatString) + belrix_common_qt::utcString);
}

void mainWindow_t::showMessage(QString const& message, int timeoutMs) { statusBar()->showMessage(message, timeoutMs); }

orvane::device_t* mainWindow_t::selectedDevice() const
{
    QTreeWidgetItem* item = d->tree->currentItem();
    if (!item)
        return nullptr;
    return qobject_cast<orvane::device_t*>(item->data(ColumnName, Qt::UserRole).value<QObject*>());
}

void mainWindow_t::openSelectedDevice()
{
    QTreeWidgetItem* item = d->tree->currentItem();
    if (!item)
        return;
    if (auto* device = qobject_cast<orvane::device_t*>(item->data(ColumnName, Qt::UserRole).value<QObject*>()))
        device->showDevice();
}

} // namespace app
} // namespace orvane
