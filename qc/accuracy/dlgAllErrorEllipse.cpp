#include "accuracy/dlgAllErrorEllipse.h"

#include "accuracy/autoRange.h"
#include "accuracy/dlgErrorEllipseConfig.h"

#include "ui_dlgAllErrorEllipse.h"

#include <belrix_common_qt/dataClock.h>
#include <belrix_common_qt/pseudorangeStats.h>
#include <belrix_common_qt/remoteDevice.h>
#include <belrix_common_qt/remotePort.h>
#include <belrix_common_qt/textFormat.h>
#include <belrix_common_qt_gui/guiSettings.h>
#include <orvane/device.h>
#include <orvane/deviceStore.h>

#include <QDialogButtonBox>
#include <QPushButton>
#include <belrix_common_qt/navConstants.h>

namespace orvane {
namespace qc {

using namespace belrix_common_qt;
using belrix_common_qt_gui::guiSettings_t;

namespace {
} // namespace

class dlgAllErrorEllipse_t::private_t
{
public:
    Ui::dlgAllErrorEllipse ui;
    dlgErrorEllipseConfig_t* configDialog = nullptr;
    errorEllipseConfigSettings_t settings;
    QPushButton* settingsButton = nullptr;
};

dlgAllErrorEllipse_t::dlgAllErrorEllipse_t(orvane::context_t* context, QWidget* parent)
    : mainWindowDialog_t(context, parent), d(new private_t)
{
    setIsWindow(true);
    d->ui.setupUi(this);
    d->configDialog = new dlgErrorEllipseConfig_t(this);
    d->settingsButton = new QPushButton(tr("Settings"), this);
    d->settingsButton->setObjectName(QStringLiteral("settingsButton"));
    d->ui.buttonBox->addButton(d->settingsButton, QDialogButtonBox::ActionRole);
    connect(d->settingsButton, &QPushButton::clicked, this, &dlgAllErrorEllipse_t::showConfigSettings);
    connect(d->configDialog, &QDialog::accepted, this, &dlgAllErrorEllipse_t::getNewConfigSettings);
    connect(guiSettings_t::get(), &guiSettings_t::distanceUnitChanged, this, &dlgAllErrorEllipse_t::updateRange);
    setConfigSettings(errorEllipseConfigSettings_t());
}

dlgAllErrorEllipse_t::~dlgAllErrorEllipse_t() { delete d; }

errorEllipseConfigSettings_t dlgAllErrorEllipse_t::configSettings() const { return d->settings; }

void dlgAllErrorEllipse_t::handleClockTimeout()
{
    d->ui.errorEllipseWidget->clear();
    const double now = dataTimestamp();
    double largest = -1.0;
    const QList<orvane::device_t*> devices = orvane::deviceStore_t::instance()->devices();
    for (orvane::device_t* device : devices) {
        remotePort_t* port = device->port();
        if (!port)
            continue;
        remoteDevice_t* data = port->device();
        if (!data || !data->isInput())
            continue;
        dataItem_t<pseudorangeStats_t> const& item = data->pseudorangeStats();
        if (!isItemCurrent(item, now))
            continue;
        pseudorangeStats_t const& stats = item.value();
        if (!stats.orientation || !stats.semiMajor || !stats.semiMinor)
            continue;
        if (*stats.semiMajor > largest)
            largest = *stats.semiMajor;
        d->ui.errorEllipseWidget->addEllipse(double(*stats.orientation) * RadToDeg, *stats.semiMajor,
                                             *stats.semiMinor, d->settings.range, device->deviceColor());
    }
    // after the ellipses: a changed range reaches them on the next tick
    if (d->settings.autoScale)
        autoScale(largest);
}

void dlgAllErrorEllipse_t::autoScale(double size)
{
    const double chosen = autoRangeFor(size);
    if (chosen <= 0.0 || chosen == d->settings.range)
        return;
    d->settings.range = chosen;
    updateRange();
    d->ui.errorEllipseWidget->setRange(d->settings.range);
    d->ui.errorEllipseWidget->setGraphLabelType(d->settings.labels);
}

void dlgAllErrorEllipse_t::updateRange()
{
    d->ui.rangeLabel->setText(d->settings.rangeCaption());
}

void dlgAllErrorEllipse_t::showConfigSettings()
{
    d->configDialog->setConfigSettings(d->settings);
    d->configDialog->show();
}

void dlgAllErrorEllipse_t::getNewConfigSettings()
{
    setConfigSettings(d->configDialog->newConfigSettings());
    emit configurationModified();
}

void dlgAllErrorEllipse_t::setConfigSettings(errorEllipseConfigSettings_t settings)
{
    d->settings = settings;
    updateRange();
    d->ui.errorEllipseWidget->setRange(d->settings.range);
    d->ui.errorEllipseWidget->setGraphLabelType(d->settings.labels);
}

void dlgAllErrorEllipse_t::saveSettings(tolvconfig::config_t& config, int index)
{
    mainWindowDialog_t::saveSettings(config, index);
    d->settings.savePlotRange(config, [this](std::string const& name) { return outputKey(name, -1); });
}

void dlgAllErrorEllipse_t::loadSettings(tolvconfig::config_t& config, int index)
{
    errorEllipseConfigSettings_t loaded;
    if (!loaded.loadPlotRange(config, [this](std::string const& name) { return outputKey(name, -1); },
                              plotRangeSettings_t::labelsRequired))
        return;
    setConfigSettings(loaded);
    mainWindowDialog_t::loadSettings(config, index);
}

void dlgAllErrorEllipse_t::useDefaults() { setConfigSettings(errorEllipseConfigSettings_t()); }

} // namespace qc
} // namespace orvane
