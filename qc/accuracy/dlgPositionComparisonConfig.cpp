#include "accuracy/dlgPositionComparisonConfig.h"

#include "ui_dlgPositionComparisonConfig.h"

#include <belrix_common_qt/coordConverter.h>
#include <belrix_common_qt/remoteController.h>
#include <belrix_common_qt/units.h>
#include <belrix_common_qt_gui/errorText.h>
#include <orvane/context.h>
#include <orvane/device.h>
#include <orvane/deviceStore.h>

#include <QMessageBox>
#include <belrix_common_qt/navConstants.h>

namespace orvane {
namespace qc {

using namespace belrix_common_qt;
using belrix_common_qt_gui::deviceSelectWidget_t;

namespace {
constexpr double HalfPi = 1.57079632679489661923;

remoteController_t* controllerOf(orvane::context_t* context)
{
    return context && context->controllerContext() ? context->controllerContext()->controller() : nullptr;
}

coordConverter_t* converterOf(orvane::context_t* context)
{
    remoteController_t* controller = controllerOf(context);
    return controller ? controller->coordConverter() : nullptr;
}
} // namespace

class dlgPositionComparisonConfig_t::private_t
{
public:
    Ui::dlgPositionComparisonConfig ui;
    positionComparisonConfigSettings_t settings;
    orvane::context_t* context = nullptr;
};

dlgPositionComparisonConfig_t::dlgPositionComparisonConfig_t(orvane::context_t* context, QWidget* parent)
    : QDialog(parent), d(new private_t)
{
    d->ui.setupUi(this);
    d->context = context;
    d->ui.rangeEdit->allowNegative(false);
    d->ui.deviceSelectWidget->init(controllerOf(context));
    d->ui.deviceSelectWidget->setRequiredCapabilities(2, true);
    connect(d->ui.buttonBox, &QDialogButtonBox::accepted, this, &dlgPositionComparisonConfig_t::submit);
    connect(d->ui.buttonBox, &QDialogButtonBox::rejected, this, &QDialog::hide);
    connect(d->ui.autoCombo, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &dlgPositionComparisonConfig_t::checkAutoScale);
    connect(d->ui.deviceSelectWidget, &deviceSelectWidget_t::selectedDeviceChanged, this,
            &dlgPositionComparisonConfig_t::checkActiveDevice);
    d->ui.rangeEdit->setEnabled(d->ui.autoCombo->currentIndex() == 0);
    d->ui.latitudeEdit->setEnabled(true);
    d->ui.longitudeEdit->setEnabled(true);
}

dlgPositionComparisonConfig_t::~dlgPositionComparisonConfig_t() { delete d; }

void dlgPositionComparisonConfig_t::setConfigSettings(positionComparisonConfigSettings_t const& settings)
{
    d->settings = settings;
    d->ui.rangeEdit->setDistance(settings.range, distanceUnitMeters);
    d->ui.autoCombo->setCurrentIndex(settings.autoScale ? 1 : 0);
    d->ui.labelsCombo->setCurrentIndex(settings.labels);
    resetActiveDevice();
    if (settings.activeDevice)
        return;
    coordConverter_t* converter = converterOf(d->context);
    position_t display;
    if (!converter || !converter->storedToDisplay(settings.center, display)) {
        QMessageBox::warning(this, tr("Invalid Coordinates"), tr("Failed to convert the coordinates"),
                             QMessageBox::Ok);
        return;
    }
    if (settings.center.latValid)
        d->ui.latitudeEdit->setLatitude(display.lat);
    if (settings.center.lonValid)
        d->ui.longitudeEdit->setLongitude(display.lon);
}

positionComparisonConfigSettings_t dlgPositionComparisonConfig_t::newConfigSettings() const { return d->settings; }

void dlgPositionComparisonConfig_t::resetActiveDevice()
{
    if (d->settings.activeDevice)
        d->ui.deviceSelectWidget->selectDevice(d->settings.activeDevice->portId());
    else
        d->ui.deviceSelectWidget->selectNone();
}

void dlgPositionComparisonConfig_t::checkActiveDevice(uint portId)
{
    const bool none = portId == deviceSelectWidget_t::NoDevice;
    d->ui.latitudeEdit->setEnabled(none);
    d->ui.longitudeEdit->setEnabled(none);
}

void dlgPositionComparisonConfig_t::submit()
{
    positionComparisonConfigSettings_t submitted;
    belrix_common_qt_gui::errorText_t errors;
    submitted.autoScale = d->ui.autoCombo->currentIndex() != 0;
    submitted.labels = d->ui.labelsCombo->currentIndex();
    submitted.range = d->ui.rangeEdit->meters();
    submitted.activeDevice = orvane::deviceStore_t::instance()->deviceForPortId(d->ui.deviceSelectWidget->selectedDevice());
    if (!submitted.activeDevice) {
        position_t display;
        display.lat = d->ui.latitudeEdit->radians();
        display.latValid = display.lat >= -HalfPi && display.lat <= HalfPi;
        display.lon = d->ui.longitudeEdit->radians();
        display.lonValid = display.lon >= -Pi && display.lon <= Pi;
        if (!display.latValid)
            errors << tr("Invalid latitude") << Qt::endl;
        if (!display.lonValid)
            errors << tr("Invalid longitude") << Qt::endl;
        coordConverter_t* converter = converterOf(d->context);
        if (!converter || !converter->displayToStored(display, submitted.center))
            errors << tr("Failed to convert the coordinates") << Qt::endl;
    }
    d->settings = submitted;
    if (!errors.isEmpty()) {
        errors.report(this);
        return;
    }
    QDialog::accept();
}

void dlgPositionComparisonConfig_t::updateRange()
{
    d->ui.rangeEdit->setDistance(d->settings.range, distanceUnitMeters);
}

void dlgPositionComparisonConfig_t::checkAutoScale()
{
    d->ui.rangeEdit->setEnabled(d->ui.autoCombo->currentIndex() == 0);
}

} // namespace qc
} // namespace orvane
