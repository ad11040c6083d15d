#include "accuracy/dlgAllErrorEllipse.h"

#include "accuracy/dlgErrorEllipseConfig.h"
#include "accuracy/plotRangeControl.h"

#include "ui_dlgAllErrorEllipse.h"

#include <belrix_common_qt/dataClock.h>
#include <belrix_common_qt/navConstants.h>
#include <belrix_common_qt/pseudorangeStats.h>
#include <belrix_common_qt/remoteDevice.h>
#include <belrix_common_qt/remotePort.h>
#include <orvane/device.h>
#include <orvane/deviceStore.h>

namespace orvane {
namespace qc {

using namespace belrix_common_qt;

class dlgAllErrorEllipse_t::private_t
{
public:
    Ui::dlgAllErrorEllipse ui;
    plotRangeControl_t<errorEllipseConfigSettings_t, dlgErrorEllipseConfig_t> range;
};

dlgAllErrorEllipse_t::dlgAllErrorEllipse_t(orvane::context_t* context, QWidget* parent)
    : mainWindowDialog_t(context, parent), d(new private_t)
{
    setIsWindow(true);
    d->ui.setupUi(this);
    d->range.attach(this, d->ui.buttonBox, d->ui.rangeLabel, d->ui.errorEllipseWidget,
                    new dlgErrorEllipseConfig_t(this), [this](std::string const& name) { return outputKey(name, -1); },
                    plotRangeSettings_t::labelsRequired);
    setConfigSettings(errorEllipseConfigSettings_t());
}

dlgAllErrorEllipse_t::~dlgAllErrorEllipse_t() { delete d; }

errorEllipseConfigSettings_t dlgAllErrorEllipse_t::configSettings() const { return d->range.settings(); }

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
                                             *stats.semiMinor, d->range.settings().range, device->deviceColor());
    }
    // after the ellipses: a changed range reaches them on the next tick
    d->range.follow(largest);
}

void dlgAllErrorEllipse_t::updateRange() { d->range.updateCaption(); }

void dlgAllErrorEllipse_t::showConfigSettings() { d->range.showDialog(); }

void dlgAllErrorEllipse_t::getNewConfigSettings()
{
    setConfigSettings(d->range.dialogSettings());
    emit configurationModified();
}

void dlgAllErrorEllipse_t::setConfigSettings(errorEllipseConfigSettings_t settings) { d->range.setSettings(settings); }

void dlgAllErrorEllipse_t::saveSettings(tolvconfig::config_t& config, int index)
{
    mainWindowDialog_t::saveSettings(config, index);
    d->range.save(config);
}

void dlgAllErrorEllipse_t::loadSettings(tolvconfig::config_t& config, int index)
{
    const std::optional<errorEllipseConfigSettings_t> loaded = d->range.load(config);
    if (!loaded)
        return;
    setConfigSettings(*loaded);
    mainWindowDialog_t::loadSettings(config, index);
}

void dlgAllErrorEllipse_t::useDefaults() { setConfigSettings(errorEllipseConfigSettings_t()); }

} // namespace qc
} // namespace orvane
