#include "orvane/fixes/dlgTakeFix.h"

#include "orvane/fixes/fixManager.h"

#include <orvane/device.h>
#include <orvane/geodetics/geodeticSettings.h>

#include <belrix_common_qt/dataClock.h>
#include <belrix_common_qt/remoteDevice.h>
#include <belrix_common_qt/textFormat.h>
#include <belrix_common_qt_gui/guiSettings.h>

#include <QDateTime>
#include <QDir>
#include <QFileDialog>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QStandardPaths>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <cmath>
#include <limits>
#include <belrix_common_qt/navConstants.h>

namespace orvane {
namespace fixes {

using namespace belrix_common_qt;

namespace {

// Years 1 to 9999, all QDateTime can show.
constexpr double minTime = -62135596800.0;
constexpr double maxTime = 253402300799.0;

enum column_t { columnTime, columnLatitude, columnLongitude, columnHeight, columnDescription, columnCount };

latLonStringOptions_t latLonOptions()
{
    latLonStringOptions_t options;
    options.format = belrix_common_qt_gui::guiSettings_t::get()->latLonFormat();
    return options;
}

// Data time as the user reads times elsewhere in the application: UTC shifted by the
// configured offset.
QString displayTime(double time, QString const& format)
{
    if (!(time >= minTime && time <= maxTime))
        return NoDataString;
    const int offset = belrix_common_qt_gui::guiSettings_t::get()->utcOffset();
    const QDateTime t = QDateTime::fromMSecsSinceEpoch(qint64(std::llround(time * 1000.0)), Qt::UTC).addSecs(offset);
    return t.toString(format) + (offset == 0 ? utcString : QString());
}


bool isCurrentPosition(dataItem_t<position_t> const& item, double now)
{
    return isItemCurrent(item, now) && item.value().latValid && item.value().lonValid;
}

QString heightText(double height)
{
    return distanceString(height, belrix_common_qt_gui::guiSettings_t::get()->distanceUnit(), 2);
}

} // namespace

class dlgTakeFix_t::private_t
{
public:
    QLabel* timeLabel = nullptr;
    QLabel* latitudeLabel = nullptr;
    QLabel* longitudeLabel = nullptr;
    QLabel* heightLabel = nullptr;
    QLineEdit* descriptionEdit = nullptr;
    QPushButton* takeFixButton = nullptr;
    QTreeWidget* fixList = nullptr;
    QPushButton* exportButton = nullptr;

    QTreeWidgetItem* makeItem(fix_t const& fix) const
    {
        const latLonStringOptions_t options = latLonOptions();
        auto* item = new QTreeWidgetItem;
        item->setText(columnTime, displayTime(fix.time, MillisecondTimeFormatString));
        item->setText(columnLatitude, latitudeString(fix.coord.lat, options));
        item->setText(columnLongitude, longitudeString(fix.coord.lon, options));
        item->setText(columnHeight, heightText(fix.height));
        item->setText(columnDescription, fix.saved ? fix.description
                                                   : dlgTakeFix_t::tr("NOT SAVED YET: %1").arg(fix.description));
        item->setData(columnTime, Qt::UserRole, QVariant::fromValue(fix.id));
        if (!fix.saved) {
            QFont font = item->font(columnDescription);
            font.setBold(true);
            for (int column = 0; column <= columnDescription; ++column)
                item->setFont(column, font);
        }
        return item;
    }
};

dlgTakeFix_t::dlgTakeFix_t(orvane::context_t* context, QWidget* parent)
    : deviceDialog_t(context, parent), d(new private_t)
{
    setObjectName(QStringLiteral("dlgTakeFix"));
    setWindowTitle(tr("Take Fix"));
    setIsWindow(true);

    auto* layout = new QVBoxLayout(this);

    auto* positionBox = new QGroupBox(tr("Current Position"), this);
    auto* form = new QFormLayout(positionBox);
    auto addRow = [&](QString const& caption, QString const& name) {
        auto* value = new QLabel(positionBox);
        value->setObjectName(name);
        value->setTextInteractionFlags(Qt::TextSelectableByMouse);
        QFont bold = value->font();
        bold.setBold(true);
        value->setFont(bold);
        form->addRow(caption, value);
        return value;
    };
    d->timeLabel = addRow(tr("Time:"), QStringLiteral("timeLabel"));
    d->latitudeLabel = addRow(tr("Latitude:"), QStringLiteral("latitudeLabel"));
    d->longitudeLabel = addRow(tr("Longitude:"), QStringLiteral("longitudeLabel"));
    d->heightLabel = addRow(tr("Ell. Height:"), QStringLiteral("heightLabel"));
    layout->addWidget(positionBox);

    auto* takeRow = new QHBoxLayout;
    auto* descriptionCaption = new QLabel(tr("Description:"), this);
    d->descriptionEdit = new QLineEdit(this);
    d->descriptionEdit->setObjectName(QStringLiteral("descriptionEdit"));
    d->descriptionEdit->setPlaceholderText(tr("Fix - <time>"));
    descriptionCaption->setBuddy(d->descriptionEdit);
    d->takeFixButton = new QPushButton(tr("Take Fix"), this);
    d->takeFixButton->setObjectName(QStringLiteral("takeFixButton"));
    // Return in the description takes the fix through the default button, once
    d->takeFixButton->setDefault(true);
    takeRow->addWidget(descriptionCaption);
    takeRow->addWidget(d->descriptionEdit, 1);
    takeRow->addWidget(d->takeFixButton);
    layout->addLayout(takeRow);

    d->fixList = new QTreeWidget(this);
    d->fixList->setObjectName(QStringLiteral("fixList"));
    d->fixList->setColumnCount(columnCount);
    d->fixList->setHeaderLabels(
        {tr("Time"), tr("Latitude"), tr("Longitude"), tr("Ell. Height"), tr("Description")});
    d->fixList->setRootIsDecorated(false);
    d->fixList->setUniformRowHeights(true);
    d->fixList->setSelectionMode(QAbstractItemView::ExtendedSelection);
    layout->addWidget(d->fixList, 1);

    auto* bottomRow = new QHBoxLayout;
    d->exportButton = new QPushButton(tr("Export GPX..."), this);
    d->exportButton->setObjectName(QStringLiteral("exportGpxButton"));
    d->exportButton->setAutoDefault(false);
    bottomRow->addStretch(1);
    bottomRow->addWidget(d->exportButton);
    layout->addLayout(bottomRow);

    connect(d->takeFixButton, &QPushButton::clicked, this, &dlgTakeFix_t::takeFix);
    connect(d->exportButton, &QPushButton::clicked, this, &dlgTakeFix_t::exportGpx);

    fixManager_t* store = fixManager_t::instance();
    connect(store, &fixManager_t::storeOpened, this, &dlgTakeFix_t::updateFixList);
    connect(store, &fixManager_t::fixSaved, this, &dlgTakeFix_t::updateFixList);
    connect(store, &fixManager_t::fixAdded, this, [this](fix_t const& fix) {
        if (device() && fix.portId == device()->portId())
            d->fixList->insertTopLevelItem(0, d->makeItem(fix));
    });

    auto* gui = belrix_common_qt_gui::guiSettings_t::get();
    auto refresh = [this]() {
        updateFixList();
        handleClockTimeout();
    };
    connect(gui, &belrix_common_qt_gui::guiSettings_t::latLonFormatChanged, this, refresh);
    connect(gui, &belrix_common_qt_gui::guiSettings_t::utcOffsetChanged, this, refresh);
    connect(gui, &belrix_common_qt_gui::guiSettings_t::distanceUnitChanged, this, refresh);

    resize(640, 420);
    updateFixList();
    handleClockTimeout();
}

dlgTakeFix_t::~dlgTakeFix_t() { delete d; }

void dlgTakeFix_t::handleClockTimeout()
{
    // shown again, it fills in at once (showEvent)
    if (!isVisible())
        return;
    const double now = dataTimestamp();
    remoteDevice_t const* source = remoteDevice();
    if (source && isCurrentPosition(source->inputPosition(), now)) {
        auto const& item = source->inputPosition();
        const latLonStringOptions_t options = latLonOptions();
        d->timeLabel->setText(displayTime(item.timestamp(), TimeFormatString));
        d->latitudeLabel->setText(latitudeString(item.value().lat, options));
        d->longitudeLabel->setText(longitudeString(item.value().lon, options));
    } else {
        d->timeLabel->setText(NoDataString);
        d->latitudeLabel->setText(NoDataString);
        d->longitudeLabel->setText(NoDataString);
    }
    d->heightLabel->setText(source && isItemCurrent(source->ellipsoidalHeight(), now)
                                ? heightText(source->ellipsoidalHeight().value())
                                : NoDataString);
}

bool dlgTakeFix_t::takeFix()
{
    auto fail = [this](QString const& message) {
        emit takeFixFailed(message);
        if (isVisible())
            QMessageBox::warning(this, tr("Take Fix"), message);
        return false;
    };

    remoteDevice_t const* source = remoteDevice();
    if (!source)
        return fail(tr("No fix was recorded: the device has no data source."));
    const double now = dataTimestamp();
    auto const& position = source->inputPosition();
    if (!isCurrentPosition(position, now))
        return fail(tr("No fix was recorded: the device has no current position."));

    const tolvgeodesy::coordLL_t in = geodetics::coordFromPosition(position.value());
    // a conversion that leaves the output alone fails the range test below
    tolvgeodesy::coordLL_t out(std::numeric_limits<double>::max(), std::numeric_limits<double>::max());
    const bool converted = geodetics::geodeticSettings_t::instance()->inputToRaw(in, out);
    if (!converted || !(out.lon >= -Pi && out.lon <= Pi) || !(out.lat >= -Pi / 2.0 && out.lat <= Pi / 2.0))
        return fail(tr("No fix was recorded: the position could not be converted to the datum of the fixes."));

    double height = 0.0;
    if (isItemCurrent(source->ellipsoidalHeight(), now))
        height = source->ellipsoidalHeight().value();

    QString description = d->descriptionEdit->text().trimmed();
    if (description.isEmpty()) {
        const QDateTime local = QDateTime::fromMSecsSinceEpoch(qint64(std::llround(position.timestamp() * 1000.0)));
        description = tr("Fix - %1").arg(local.toString(MillisecondTimeFormatString));
    }

    fixManager_t* store = fixManager_t::instance();
    const unsigned int portId = device() ? device()->portId() : 0;
    if (!store->addFix(portId, position.timestamp(), fixTypeManual, out, height, description)) {
        QString message = tr("The fix was NOT recorded.");
        if (!store->errorString().isEmpty())
            message += QLatin1Char('\n') + store->errorString();
        return fail(message);
    }
    d->descriptionEdit->clear();
    if (store->unsavedCount() > 0 && isVisible()) {
        QMessageBox::warning(this, tr("Take Fix"),
                             tr("The fix is kept in memory but is NOT saved yet: %1\n"
                                "It is saved as soon as the fix store can be written again.")
                                 .arg(store->errorString()));
    }
    return true;
}

void dlgTakeFix_t::exportGpx()
{
    const QString start = QDir(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation))
                              .filePath(QStringLiteral("fixes.gpx"));
    QString path = QFileDialog::getSaveFileName(this, tr("Export GPX"), start,
                                                tr("GPX files (*.gpx);;All files (*)"));
    if (path.isEmpty())
        return;
    QString error;
    if (!fixManager_t::instance()->exportGpx(path, &error))
        QMessageBox::warning(this, tr("Export GPX"), error);
}

void dlgTakeFix_t::updateFixList()
{
    d->fixList->clear();
    if (!device())
        return;
    const unsigned int portId = device()->portId();
    QList<QTreeWidgetItem*> items;
    const QList<fix_t> fixes = fixManager_t::instance()->fixes();
    for (auto it = fixes.crbegin(); it != fixes.crend(); ++it) {
        if (it->portId == portId)
            items.append(d->makeItem(*it));
    }
    d->fixList->addTopLevelItems(items);
    for (int column = 0; column < columnDescription; ++column)
        d->fixList->resizeColumnToContents(column);
}

void dlgTakeFix_t::showEvent(QShowEvent* event)
{
    // the host sets the device's port after creating its windows
    updateFixList();
    handleClockTimeout();
    deviceDialog_t::showEvent(event);
}

} // namespace fixes
} // namespace orvane
