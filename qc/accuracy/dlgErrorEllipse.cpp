#include "accuracy/dlgErrorEllipse.h"

#include "accuracy/dlgErrorEllipseConfig.h"
#include "accuracy/plotRangeControl.h"

#include "ui_dlgErrorEllipse.h"

#include <belrix_common_qt/dataClock.h>
#include <belrix_common_qt/pseudorangeStats.h>
#include <belrix_common_qt/qcDataStore.h>
#include <belrix_common_qt/remoteDevice.h>
#include <belrix_common_qt/navConstants.h>
#include <belrix_common_qt/textFormat.h>
#include <orvane/splitter.h>

#include <QDialogButtonBox>
#include <QPushButton>

#include <optional>

namespace orvane {
namespace qc {

using namespace belrix_common_qt;

namespace {

QString valueText(double value) { return QString::number(value, 'f', 2); }

QString valueText(std::optional<float> const& value)
{
    return value ? valueText(double(*value)) : NoDataString;
}
} // namespace

class dlgErrorEllipse_t::private_t
{
public:
    Ui::dlgErrorEllipse ui;
    plotRangeControl_t<errorEllipseConfigSettings_t, dlgErrorEllipseConfig_t> range;
    bool raimMode = true;
    orvane::splitter_t* splitter = nullptr;
    QPushButton* toggleButton = nullptr;

    void showErrors(QString const& lat, QString const& lon, QString const& height)
    {
        ui.latErrorLabel->setText(lat);
        ui.lonErrorLabel->setText(lon);
        ui.heightErrorLabel->setText(height);
    }
};

dlgErrorEllipse_t::dlgErrorEllipse_t(orvane::context_t* context, QWidget* parent)
    : qcDeviceDialog_t(context, parent), d(new private_t)
{
    setIsWindow(true);
    d->ui.setupUi(this);

    d->splitter = new orvane::splitter_t(this);
    d->splitter->setObjectName(QStringLiteral("splitter"));
    d->splitter->addWidget(d->ui.dataGroup);
    d->splitter->addWidget(d->ui.widgetGroup);
    d->splitter->setCollapsible(0, true);
    d->splitter->setCollapsible(1, false);
    d->splitter->setSizes({205, 285});
    d->ui.graphGroup->layout()->addWidget(d->splitter);

    // a device's window takes a record stored without "labels"
    d->range.attach(this, d->ui.buttonBox, d->ui.rangeLabel, d->ui.errorEllipseWidget,
                    new dlgErrorEllipseConfig_t(this), [this](std::string const& name) { return outputKey(name); },
                    plotRangeSettings_t::labelsOptional);

    d->toggleButton = new QPushButton(tr("Toggle NMEA/IMCA Data"), this);
    d->toggleButton->setObjectName(QStringLiteral("toggleButton"));
    d->ui.buttonBox->addButton(d->toggleButton, QDialogButtonBox::ActionRole);
    connect(d->toggleButton, &QPushButton::clicked, this, &dlgErrorEllipse_t::toggle);

    setRaimMode(true);
    setConfigSettings(errorEllipseConfigSettings_t());
}

dlgErrorEllipse_t::~dlgErrorEllipse_t() { delete d; }

errorEllipseConfigSettings_t dlgErrorEllipse_t::configSettings() const { return d->range.settings(); }

bool dlgErrorEllipse_t::raimMode() const { return d->raimMode; }

void dlgErrorEllipse_t::setRaimMode(bool flag)
{
    d->raimMode = flag;
    if (flag) {
        d->ui.unitVarianceLabel->setText(tr("N/A"));
        d->ui.modeLabel->setText(tr("NMEA"));
    } else {
        d->ui.modeLabel->setText(tr("IMCA"));
    }
    handleClockTimeout();
}

void dlgErrorEllipse_t::toggle()
{
    setRaimMode(!d->raimMode);
    emit configurationModified();
}

void dlgErrorEllipse_t::handleClockTimeout()
{
    d->ui.errorEllipseWidget->clear();
    if (d->raimMode)
        updateDataRaim();
    else
        updateDataUkooa();
}

void dlgErrorEllipse_t::updateDataRaim()
{
    remoteDevice_t* device = remoteDevice();
    if (!device || !device->isInput())
        return;
    dataItem_t<pseudorangeStats_t> const& item = device->pseudorangeStats();
    if (!isItemCurrent(item, dataTimestamp())) {
        // stale errors next to an empty plot would read as current ones
        d->showErrors(NoDataString, NoDataString, NoDataString);
        return;
    }
    pseudorangeStats_t const& stats = item.value();
    if (stats.orientation && stats.semiMajor && stats.semiMinor) {
        d->range.follow(*stats.semiMajor);
        d->ui.errorEllipseWidget->addEllipse(double(*stats.orientation) * RadToDeg, *stats.semiMajor,
                                             *stats.semiMinor, d->range.settings().range, deviceColor());
    }
    d->showErrors(valueText(stats.latError), valueText(stats.lonError), valueText(stats.heightError));
}

void dlgErrorEllipse_t::updateDataUkooa()
{
    remoteDevice_t* device = remoteDevice();
    if (!device || !device->isInput())
        return;
    qcDataStore_t const* store = device->qcDataStore();
    const bool present = store && !store->summary().empty()
        && isDataRecent(store->summary().back().timestamp, dataTimestamp(), DataMaxAge);
    if (!present) {
        d->showErrors(NoDataString, NoDataString, NoDataString);
        d->ui.unitVarianceLabel->setText(NoDataString);
        return;
    }
    qcSummary_t const& summary = store->summary().back().summary;
    d->range.follow(summary.semiMajor);
    d->ui.errorEllipseWidget->addEllipse(double(summary.orientation) * RadToDeg, summary.semiMajor,
                                         summary.semiMinor, d->range.settings().range, deviceColor());
    d->showErrors(valueText(summary.latError), valueText(summary.lonError), valueText(summary.heightError));
    d->ui.unitVarianceLabel->setText(valueText(summary.unitVariance));
}

void dlgErrorEllipse_t::updateRange() { d->range.updateCaption(); }

void dlgErrorEllipse_t::showConfigSettings() { d->range.showDialog(); }

void dlgErrorEllipse_t::getNewConfigSettings()
{
    setConfigSettings(d->range.dialogSettings());
    emit configurationModified();
}

void dlgErrorEllipse_t::setConfigSettings(errorEllipseConfigSettings_t settings) { d->range.setSettings(settings); }

void dlgErrorEllipse_t::saveSettings(tolvconfig::config_t& config, int index)
{
    qcDeviceDialog_t::saveSettings(config, index);
    d->range.save(config);
    d->splitter->saveSettings(config, outputKey(std::string()));
}

void dlgErrorEllipse_t::loadSettings(tolvconfig::config_t& config, int index)
{
    d->splitter->loadSettings(config, outputKey(std::string()));
    const std::optional<errorEllipseConfigSettings_t> loaded = d->range.load(config);
    if (!loaded)
        return;
    setConfigSettings(*loaded);
    qcDeviceDialog_t::loadSettings(config, index);
}

void dlgErrorEllipse_t::useDefaults() { setConfigSettings(errorEllipseConfigSettings_t()); }

} // namespace qc
} // namespace orvane
