#include "accuracy/dlgPositionComparison.h"

#include "accuracy/dlgPositionComparisonConfig.h"
#include "accuracy/plotRangeControl.h"

#include "ui_dlgPositionComparison.h"

#include <belrix_common_qt/coordConverter.h>
#include <belrix_common_qt/dataClock.h>
#include <belrix_common_qt/geodesy.h>
#include <belrix_common_qt/remoteController.h>
#include <belrix_common_qt/remoteDevice.h>
#include <belrix_common_qt/textFormat.h>
#include <belrix_common_qt_gui/guiSettings.h>
#include <orvane/context.h>
#include <orvane/device.h>
#include <orvane/deviceStore.h>
#include <orvane/splitter.h>
#include <orvane/textColor.h>

#include <QHash>
#include <QHeaderView>
#include <QMessageBox>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <optional>

namespace orvane {
namespace qc {

using namespace belrix_common_qt;
using belrix_common_qt_gui::guiSettings_t;

namespace {

enum column_t { columnDevice = 0, columnPosition = 1, columnRange = 2, columnBearing = 3 };

latLonStringOptions_t latLonOptions()
{
    latLonStringOptions_t options;
    options.format = guiSettings_t::get()->latLonFormat();
    options.hemisphere = 1;
    options.decimals = -1;
    return options;
}
} // namespace

// ---- item_t ----

class dlgPositionComparison_t::item_t::private_t
{
public:
    QString name;
    QColor colour;
    int time = 0;
    double range = 0.0;
    double bearing = 0.0;
};

dlgPositionComparison_t::item_t::item_t(QString const& name, QColor const& colour, double lat, double lon,
                                        double range, double bearing)
    : d(new private_t)
{
    d->name = name;
    setText(columnDevice, name);
    // numbers line up on their last digit; setData because the two Qt versions differ here
    setData(columnRange, Qt::TextAlignmentRole, int(Qt::AlignRight | Qt::AlignVCenter));
    setData(columnBearing, Qt::TextAlignmentRole, int(Qt::AlignRight | Qt::AlignVCenter));
    setColor(colour);
    update(0, lat, lon, range, bearing, QColor());
}

dlgPositionComparison_t::item_t::~item_t() { delete d; }

void dlgPositionComparison_t::item_t::update(int time, double lat, double lon, double range, double bearing,
                                             QColor const& colour)
{
    d->time = time;
    d->range = range;
    d->bearing = bearing;
    const latLonStringOptions_t options = latLonOptions();
    setText(columnPosition, latitudeString(lat, options) + QLatin1Char('\n') + longitudeString(lon, options));
    setText(columnRange, distanceString(range, guiSettings_t::get()->distanceUnit(), 2));
    setText(columnBearing, angleString(bearing, 1));
    setColor(colour);
}

void dlgPositionComparison_t::item_t::setColor(QColor const& colour)
{
    if (!colour.isValid() || colour == d->colour)
        return;
    d->colour = colour;
    setBackground(columnDevice, QBrush(colour, Qt::SolidPattern));
    // the name must stay readable on any device colour
    setForeground(columnDevice, QBrush(orvane::textColorForBackground(colour)));
}

QString dlgPositionComparison_t::item_t::name() const { return d->name; }
QColor dlgPositionComparison_t::item_t::colour() const { return d->colour; }
int dlgPositionComparison_t::item_t::time() const { return d->time; }
double dlgPositionComparison_t::item_t::range() const { return d->range; }
double dlgPositionComparison_t::item_t::bearing() const { return d->bearing; }

bool dlgPositionComparison_t::item_t::operator<(QTreeWidgetItem const& other) const
{
    QTreeWidget* tree = treeWidget();
    const int column = tree ? tree->sortColumn() : columnDevice;
    auto const* row = dynamic_cast<item_t const*>(&other);
    if (row && column == columnRange)
        return d->range < row->d->range;
    if (row && column == columnBearing)
        return d->bearing < row->d->bearing;
    return QTreeWidgetItem::operator<(other);
}

// ---- dlgPositionComparison_t ----

class dlgPositionComparison_t::private_t
{
public:
    Ui::dlgPositionComparison ui;
    plotRangeControl_t<positionComparisonConfigSettings_t, dlgPositionComparisonConfig_t> range;
    bool warnArmed = true;
    // opened rather than run, so the clock ticks on while it is up; built on first use
    QMessageBox* warning = nullptr;
    orvane::splitter_t* splitter = nullptr;
    position_t displayCentre;
    // whether displayCentre is the record's fixed centre as shown now; a centre the
    // record no longer holds is never compared against
    bool displayCentreCurrent = false;
    // rows by name, so a tick with many devices does not search the tree for each
    QHash<QString, item_t*> rows;
};

dlgPositionComparison_t::dlgPositionComparison_t(orvane::context_t* context, QWidget* parent)
    : mainWindowDialog_t(context, parent), d(new private_t)
{
    setIsWindow(true);
    d->ui.setupUi(this);

    d->splitter = new orvane::splitter_t(this);
    d->splitter->setObjectName(QStringLiteral("splitter"));
    d->splitter->addWidget(d->ui.dataGroup);
    d->splitter->addWidget(d->ui.widgetGroup);
    d->splitter->setCollapsible(0, true);
    d->splitter->setCollapsible(1, false);
    d->splitter->setSizes({430, 405});
    d->ui.graphGroup->layout()->addWidget(d->splitter);

    // Columns as wide as their usual contents, so all four fit beside the plot, and
    // nearest devices first; the user's own widths and order come with loadSettings.
    {
        QTreeWidget* tree = d->ui.deviceTree;
        latLonStringOptions_t longest = latLonOptions();
        longest.format = latLonFormatDegreesMinutesSeconds;
        const QString samples[] = {QString(), longitudeString(-3.0, longest),
                                   distanceString(99999.99, distanceUnitMeters, 2), angleString(359.9, 1)};
        for (int column = columnPosition; column <= columnBearing; ++column) {
            const int content = tree->fontMetrics().horizontalAdvance(samples[column]);
            // the header also holds the sort arrow
            const int header = tree->fontMetrics().horizontalAdvance(tree->headerItem()->text(column)) + 20;
            tree->header()->resizeSection(column, std::max(content + 10, header));
        }
        tree->sortByColumn(columnRange, Qt::AscendingOrder);
    }

    d->range.attach(this, d->ui.buttonBox, d->ui.rangeLabel, d->ui.positionComparisonWidget,
                    new dlgPositionComparisonConfig_t(context, this),
                    [this](std::string const& name) { return outputKey(name, -1); },
                    plotRangeSettings_t::labelsRequired);
    connect(guiSettings_t::get(), &guiSettings_t::latLonFormatChanged, this,
            &dlgPositionComparison_t::updateCenterPosition);
    connect(orvane::deviceStore_t::instance(), &orvane::deviceStore_t::deviceRemoved, this,
            &dlgPositionComparison_t::checkActiveDevice);
    connect(d->ui.deviceTree, &QTreeWidget::itemSelectionChanged, this, &dlgPositionComparison_t::checkSelection);

    setConfigSettings(positionComparisonConfigSettings_t());
}

dlgPositionComparison_t::~dlgPositionComparison_t()
{
    // the warning goes with the window, and must not open the settings of a window going away
    if (d->warning)
        d->warning->disconnect(this);
    delete d;
}

positionComparisonConfigSettings_t dlgPositionComparison_t::configSettings() const { return d->range.settings(); }

void dlgPositionComparison_t::handleClockTimeout()
{
    if (!isVisible())
        return;
    agePositions();
    const double now = dataTimestamp();
    positionComparisonConfigSettings_t const& settings = d->range.settings();

    position_t centre;
    if (settings.activeDevice) {
        remoteDevice_t* active = settings.activeDevice->remoteDevice();
        if (!active)
            return;
        dataItem_t<position_t> const& item = active->displayPosition();
        if (!isItemCurrent(item, now))
            return;
        centre = item.value();
    } else if (d->displayCentreCurrent) {
        centre = d->displayCentre;
    }
    if (!centre.latValid || !centre.lonValid) {
        warn(tr("No Center"), tr("No active device has been configured and no center coordinates have been set. "
                                 "Please configure one to continue."));
        return;
    }

    double maxRange = 0.0;
    const QList<orvane::device_t*> devices = orvane::deviceStore_t::instance()->devices();
    for (orvane::device_t* device : devices) {
        if (!(device->deviceCapabilities() & capPositions))
            continue;
        remoteDevice_t* data = device->remoteDevice();
        if (!data)
            continue;
        dataItem_t<position_t> const& item = data->displayPosition();
        if (!isItemCurrent(item, now))
            continue;
        position_t const& position = item.value();
        if (!position.latValid || !position.lonValid)
            continue;

        const double range = calcRange(centre, position);
        const double bearing = calcBearing(centre, position);
        const QString name = device->deviceDescription();
        const int time = int(std::trunc(item.timestamp()));
        item_t* row = findItemByName(name);
        if (!row) {
            row = new item_t(name, device->deviceColor(), 0.0, 0.0, 0.0, 0.0);
            d->ui.deviceTree->addTopLevelItem(row);
            d->rows.insert(name, row);
            row->update(time, position.lat, position.lon, range, bearing, QColor());
        } else {
            row->update(time, position.lat, position.lon, range, bearing, device->deviceColor());
        }
        if (std::isfinite(range))
            maxRange = std::max(maxRange, std::fabs(range));
        d->ui.positionComparisonWidget->addPosition(name, range / settings.range, bearing, row->colour());
    }

    // grows only, so the plot does not pump while devices move about
    const std::optional<double> fit = d->range.rangeToFit(maxRange);
    if (!fit) {
        warn(tr("Range is too large"), tr("The range to the center position is too large.  Please configure a "
                                          "new center or active device."));
    } else if (*fit != settings.range) {
        positionComparisonConfigSettings_t grown = settings;
        grown.range = *fit;
        setConfigSettings(grown);
    }
}

void dlgPositionComparison_t::warn(QString const& title, QString const& text)
{
    if (d->range.dialog()->isVisible() || !d->warnArmed || (d->warning && d->warning->isVisible()))
        return;
    d->warnArmed = false;
    if (!d->warning) {
        d->warning = new QMessageBox(QMessageBox::Warning, title, text, QMessageBox::Ok, this);
        // the settings follow the warning, as they would after a blocking one
        connect(d->warning, &QMessageBox::finished, this, &dlgPositionComparison_t::showConfigSettings);
    }
    d->warning->setWindowTitle(title);
    d->warning->setText(text);
    d->warning->open();
}

void dlgPositionComparison_t::updateRange() { d->range.updateCaption(); }

void dlgPositionComparison_t::showConfigSettings() { d->range.showDialog(); }

void dlgPositionComparison_t::getNewConfigSettings()
{
    setConfigSettings(d->range.dialogSettings());
    d->warnArmed = true;
    emit configurationModified();
}

void dlgPositionComparison_t::setConfigSettings(positionComparisonConfigSettings_t settings)
{
    d->range.setSettings(settings);
    updateActiveDevice();
    updateCenterPosition();
    handleClockTimeout();
}

void dlgPositionComparison_t::updateActiveDevice()
{
    positionComparisonConfigSettings_t const& settings = d->range.settings();
    d->ui.activeDeviceLabel->setText(settings.activeDevice ? settings.activeDevice->deviceDescription() : NoDataString);
}

void dlgPositionComparison_t::updateCenterPosition()
{
    d->displayCentreCurrent = false;
    positionComparisonConfigSettings_t const& settings = d->range.settings();
    position_t const& stored = settings.center;
    if (settings.activeDevice || !stored.latValid || !stored.lonValid) {
        d->ui.latitudeLabel->setText(NoDataString);
        d->ui.longitudeLabel->setText(NoDataString);
        return;
    }
    remoteController_t* controller =
        context() && context()->controllerContext() ? context()->controllerContext()->controller() : nullptr;
    coordConverter_t* converter = controller ? controller->coordConverter() : nullptr;
    if (converter) {
        if (!converter->storedToDisplay(stored, d->displayCentre)) {
            d->ui.latitudeLabel->setText(NoDataString);
            d->ui.longitudeLabel->setText(NoDataString);
            return;
        }
    } else {
        // no datum to convert to: the stored centre is all there is
        d->displayCentre = stored;
    }
    d->displayCentreCurrent = d->displayCentre.latValid && d->displayCentre.lonValid;
    const latLonStringOptions_t options = latLonOptions();
    d->ui.latitudeLabel->setText(latitudeString(d->displayCentre.lat, options));
    d->ui.longitudeLabel->setText(longitudeString(d->displayCentre.lon, options));
}

void dlgPositionComparison_t::agePositions()
{
    const double now = dataTimestamp();
    QTreeWidget* tree = d->ui.deviceTree;
    for (int i = tree->topLevelItemCount() - 1; i >= 0; --i) {
        auto* row = dynamic_cast<item_t*>(tree->topLevelItem(i));
        if (row && !isDataRecent(double(std::uint32_t(row->time())), now, DataMaxAge))
            removeItem(row);
    }
}

void dlgPositionComparison_t::checkActiveDevice()
{
    positionComparisonConfigSettings_t settings = d->range.settings();
    if (settings.activeDevice && !orvane::deviceStore_t::instance()->devices().contains(settings.activeDevice))
        settings.activeDevice = nullptr;
    setConfigSettings(settings);
}

void dlgPositionComparison_t::checkSelection()
{
    item_t* row = selectedItem();
    const QColor highlight = row ? row->background(columnDevice).color() : QColor(Qt::transparent);
    const QColor text = orvane::textColorForBackground(highlight);
    d->ui.deviceTree->setStyleSheet(QStringLiteral("QTreeView::item:selected { background-color: %1; color: %2; }")
                                        .arg(highlight.name(), text.name()));
}

dlgPositionComparison_t::item_t* dlgPositionComparison_t::findItemByName(QString const& name) const
{
    return d->rows.value(name, nullptr);
}

void dlgPositionComparison_t::removeItem(item_t* item)
{
    if (!item)
        return;
    d->ui.positionComparisonWidget->removePosition(item->name());
    if (d->rows.value(item->name()) == item)
        d->rows.remove(item->name());
    delete item;
}

dlgPositionComparison_t::item_t* dlgPositionComparison_t::selectedItem() const
{
    const QList<QTreeWidgetItem*> selected = d->ui.deviceTree->selectedItems();
    return selected.isEmpty() ? nullptr : dynamic_cast<item_t*>(selected.first());
}

void dlgPositionComparison_t::saveSettings(tolvconfig::config_t& config, int index)
{
    mainWindowDialog_t::saveSettings(config, index);
    d->range.save(config);
    d->ui.deviceTree->saveSettings(config, outputKey(std::string(), -1));
    d->splitter->saveSettings(config, outputKey(std::string(), -1));
}

void dlgPositionComparison_t::loadSettings(tolvconfig::config_t& config, int index)
{
    d->splitter->loadSettings(config, outputKey(std::string(), -1));
    d->ui.deviceTree->loadSettings(config, outputKey(std::string(), -1));
    const std::optional<positionComparisonConfigSettings_t> loaded = d->range.load(config);
    if (!loaded)
        return;
    setConfigSettings(*loaded);
    mainWindowDialog_t::loadSettings(config, index);
}

void dlgPositionComparison_t::useDefaults() { setConfigSettings(positionComparisonConfigSettings_t()); }

} // namespace qc
} // namespace orvane
