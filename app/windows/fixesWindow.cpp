#include "fixesWindow.h"

#include <belrix_common_qt/textFormat.h>
#include <belrix_common_qt_gui/guiSettings.h>
#include <orvane/device.h>
#include <orvane/deviceStore.h>
#include <orvane/fixes/fixManager.h>

#include <QDateTime>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QStandardPaths>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace orvane {
namespace app {

using namespace belrix_common_qt;
using belrix_common_qt_gui::guiSettings_t;
using orvane::fixes::fix_t;
using orvane::fixes::fixManager_t;

namespace {

// Years 1 to 9999, all QDateTime can show.
constexpr double MinTime = -62135596800.0;
constexpr double MaxTime = 253402300799.0;

latLonStringOptions_t latLonOptions()
{
    latLonStringOptions_t options;
    options.format = guiSettings_t::get()->latLonFormat();
    options.hemisphere = 1;
    options.decimals = -1;
    return options;
}

// Data time as the user reads times elsewhere: UTC shifted by the configured offset.
QString timeText(double time)
{
    if (!(time >= MinTime && time <= MaxTime))
        return NoDataString;
    const int offset = guiSettings_t::get()->utcOffset();
    const QDateTime t = QDateTime::fromMSecsSinceEpoch(qint64(std::llround(time * 1000.0)), Qt::UTC).addSecs(offset);
    return t.toString(TimeFormatString) + (offset == 0 ? utcString : QString());
}

QString typeText(orvane::fixes::fixType_t type)
{
    switch (type) {
    case orvane::fixes::fixTypeManual: return fixesWindow_t::tr("Fix");
    case orvane::fixes::fixTypeManOverboard: return fixesWindow_t::tr("Man Overboard");
    case orvane::fixes::fixTypeEvent: return fixesWindow_t::tr("Event");
    }
    return fixesWindow_t::tr("Fix (%1)").arg(int(type));
}

QString deviceText(unsigned int portId)
{
    if (orvane::device_t* device = orvane::deviceStore_t::instance()->deviceForPortId(portId))
        return device->deviceDescription();
    return fixesWindow_t::tr("Port %1").arg(portId);
}

} // namespace

class fixesWindow_t::private_t
{
public:
    QLabel* storeLabel = nullptr;
    QLabel* problemLabel = nullptr;
    QTableWidget* table = nullptr;
    QPushButton* exportButton = nullptr;
};

fixesWindow_t::fixesWindow_t(orvane::context_t* context, QWidget* parent)
    : mainWindowDialog_t(context, parent), d(new private_t)
{
    setObjectName(QStringLiteral("fixesWindow"));
    setWindowTitle(tr("Fixes"));
    setIsWindow(true);
    resize(1000, 360);

    auto* layout = new QVBoxLayout(this);
    d->storeLabel = new QLabel(this);
    d->storeLabel->setObjectName(QStringLiteral("storeLabel"));
    d->storeLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(d->storeLabel);
    d->problemLabel = new QLabel(this);
    d->problemLabel->setObjectName(QStringLiteral("problemLabel"));
    d->problemLabel->setWordWrap(true);
    d->problemLabel->setStyleSheet(QStringLiteral("QLabel { color: #b00000; font-weight: bold; }"));
    d->problemLabel->hide();
    layout->addWidget(d->problemLabel);

    d->table = new QTableWidget(0, columnCount, this);
    d->table->setObjectName(QStringLiteral("fixTable"));
    d->table->setHorizontalHeaderLabels({tr("Time"), tr("Latitude"), tr("Longitude"), tr("Height"), tr("Type"),
                                         tr("Description"), tr("Device")});
    d->table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    d->table->setSelectionBehavior(QAbstractItemView::SelectRows);
    // no alternating rows: their light base would glare in the night look
    d->table->setWordWrap(false);
    d->table->verticalHeader()->hide();
    d->table->horizontalHeader()->setSectionResizeMode(columnDescription, QHeaderView::Stretch);
    layout->addWidget(d->table, 1);

    auto* buttons = new QDialogButtonBox(this);
    d->exportButton = buttons->addButton(tr("Export GPX..."), QDialogButtonBox::ActionRole);
    d->exportButton->setObjectName(QStringLiteral("exportButton"));
    QPushButton* close = buttons->addButton(QDialogButtonBox::Close);
    layout->addWidget(buttons);

    connect(d->exportButton, &QPushButton::clicked, this, &fixesWindow_t::exportGpx);
    connect(close, &QPushButton::clicked, this, &fixesWindow_t::hide);
    fixManager_t* store = fixManager_t::instance();
    connect(store, &fixManager_t::fixAdded, this, &fixesWindow_t::updateFixList);
    connect(store, &fixManager_t::fixSaved, this, &fixesWindow_t::updateFixList);
    // another file: its problems, if any, are reported after this
    connect(store, &fixManager_t::storeOpened, this, [this] { handleStoreProblem(QString()); });
    connect(store, &fixManager_t::storeOpened, this, &fixesWindow_t::updateFixList);
    connect(store, &fixManager_t::storeProblem, this, &fixesWindow_t::handleStoreProblem);
    guiSettings_t* gui = guiSettings_t::get();
    connect(gui, &guiSettings_t::latLonFormatChanged, this, &fixesWindow_t::updateFixList);
    connect(gui, &guiSettings_t::distanceUnitChanged, this, &fixesWindow_t::updateFixList);
    connect(gui, &guiSettings_t::utcOffsetChanged, this, &fixesWindow_t::updateFixList);
    connect(orvane::deviceStore_t::instance(), &orvane::deviceStore_t::deviceRemoved, this,
            &fixesWindow_t::updateFixList);
    if (!store->errorString().isEmpty())
        handleStoreProblem(store->errorString());
    updateFixList();
}

fixesWindow_t::~fixesWindow_t() { delete d; }

QString fixesWindow_t::fixSummary(fix_t const& fix)
{
    QString text = tr("%1: %2").arg(fixTitle(fix), fixPlace(fix));
    // a man-overboard description only repeats the time
    if (!fix.description.isEmpty() && fix.type != orvane::fixes::fixTypeManOverboard)
        text += QStringLiteral(" - ") + fix.description;
    return text;
}

QString fixesWindow_t::fixTitle(fix_t const& fix)
{
    return tr("%1 recorded from %2").arg(typeText(fix.type), deviceText(fix.portId));
}

QString fixesWindow_t::fixPlace(fix_t const& fix) { return tr("%1 at %2").arg(fixPosition(fix), fixTime(fix)); }

QString fixesWindow_t::fixPosition(fix_t const& fix)
{
    const latLonStringOptions_t options = latLonOptions();
    return latitudeString(fix.coord.lat, options) + QLatin1Char(' ') + longitudeString(fix.coord.lon, options);
}

QString fixesWindow_t::fixTime(fix_t const& fix) { return timeText(fix.time); }

bool fixesWindow_t::exportGpxTo(QString const& path)
{
    QString error;
    if (!fixManager_t::instance()->exportGpx(path, &error)) {
        QMessageBox::warning(this, tr("Export GPX"), error);
        return false;
    }
    const int count = fixManager_t::instance()->count();
    const QString file = QDir::toNativeSeparators(path);
    d->storeLabel->setText(count == 1 ? tr("1 fix exported to %1").arg(file)
                                      : tr("%1 fixes exported to %2").arg(count).arg(file));
    return true;
}

void fixesWindow_t::exportGpx()
{
    const QString dir = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    const QString suggested = QDir(dir).filePath(
        QStringLiteral("fixes-%1.gpx").arg(QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"))));
    const QString path = QFileDialog::getSaveFileName(this, tr("Export GPX"), suggested, tr("GPX files (*.gpx)"));
    if (!path.isEmpty())
        exportGpxTo(path);
}

void fixesWindow_t::updateFixList()
{
    fixManager_t* store = fixManager_t::instance();
    QList<fix_t> fixes = store->fixes();
    // The one just recorded stands at the top, whatever data time it carries.
    std::sort(fixes.begin(), fixes.end(), [](fix_t const& a, fix_t const& b) { return a.id > b.id; });

    const latLonStringOptions_t options = latLonOptions();
    const distanceUnit_t unit = guiSettings_t::get()->distanceUnit();
    d->table->setRowCount(0);
    d->table->setRowCount(fixes.size());
    for (int row = 0; row < fixes.size(); ++row) {
        fix_t const& fix = fixes.at(row);
        const QStringList texts = {timeText(fix.time),
                                   latitudeString(fix.coord.lat, options),
                                   longitudeString(fix.coord.lon, options),
                                   distanceString(fix.height, unit, 2),
                                   fix.saved ? typeText(fix.type) : tr("%1 - NOT SAVED YET").arg(typeText(fix.type)),
                                   fix.description,
                                   deviceText(fix.portId)};
        for (int column = 0; column < columnCount; ++column) {
            auto* item = new QTableWidgetItem(texts.at(column));
            if (fix.type == orvane::fixes::fixTypeManOverboard || !fix.saved) {
                QFont bold = item->font();
                bold.setBold(true);
                item->setFont(bold);
            }
            if (column == columnHeight)
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            d->table->setItem(row, column, item);
        }
    }
    d->table->resizeColumnsToContents();
    const QString file = QDir::toNativeSeparators(store->path());
    QString text = fixes.size() == 1 ? tr("1 fix in %1").arg(file) : tr("%1 fixes in %2").arg(fixes.size()).arg(file);
    if (int const unsaved = store->unsavedCount())
        text += tr(", %n not saved yet: they are kept in memory and saved when the store can be written",
                   nullptr, unsaved);
    d->storeLabel->setText(text);
}

void fixesWindow_t::handleStoreProblem(QString const& message)
{
    d->problemLabel->setText(message);
    d->problemLabel->setVisible(!message.isEmpty());
}

} // namespace app
} // namespace orvane
