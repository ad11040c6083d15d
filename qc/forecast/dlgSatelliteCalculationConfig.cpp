#include "forecast/dlgSatelliteCalculationConfig.h"

#include "common/qcDeviceDialog.h"

#include "ui_dlgSatelliteCalculationConfig.h"

#include <belrix_common_qt/dataClock.h>
#include <belrix_common_qt/remoteDevice.h>
#include <belrix_common_qt_gui/guiSettings.h>

#include <cmath>

namespace orvane {
namespace qc {

using namespace belrix_common_qt;
using belrix_common_qt_gui::guiSettings_t;

class dlgSatelliteCalculationConfig_t::private_t
{
public:
    Ui::dlgSatelliteCalculationConfig ui;
    satelliteCalculationConfigSettings_t settings;
};

dlgSatelliteCalculationConfig_t::dlgSatelliteCalculationConfig_t(QWidget* parent) : QDialog(parent), d(new private_t)
{
    d->ui.setupUi(this);
    d->ui.dateTimeEdit->setTimeSpec(Qt::UTC);
    // ellipsoidal heights below zero are common where the geoid lies under the ellipsoid
    d->ui.heightEdit->allowNegative(true);
    connect(d->ui.buttonBox, &QDialogButtonBox::accepted, this, &dlgSatelliteCalculationConfig_t::submit);
    connect(d->ui.buttonBox, &QDialogButtonBox::rejected, this, &QDialog::hide);
    connect(d->ui.useCurrentPositionButton, &QPushButton::clicked, this,
            &dlgSatelliteCalculationConfig_t::useCurrentPosition);
    connect(d->ui.useCurrentTimeButton, &QPushButton::clicked, this, &dlgSatelliteCalculationConfig_t::useCurrentTime);
}

dlgSatelliteCalculationConfig_t::~dlgSatelliteCalculationConfig_t() { delete d; }

void dlgSatelliteCalculationConfig_t::setConfigSettings(satelliteCalculationConfigSettings_t const& settings)
{
    d->settings = settings;
    d->ui.latitudeEdit->setLatitude(settings.position.lat);
    d->ui.longitudeEdit->setLongitude(settings.position.lon);
    d->ui.heightEdit->setDistance(settings.height, distanceUnitMeters);
    d->ui.elevMaskLineEdit->setText(QStringLiteral("%1").arg(settings.elevationMask, 4, 'f', 1, QLatin1Char('0')));
    d->ui.dateTimeEdit->setDateTime(settings.startTime.toUTC().addSecs(guiSettings_t::get()->utcOffset()));
    d->ui.durationCombo->setCurrentIndex(settings.durationHours == 168 ? 1 : 0);
}

satelliteCalculationConfigSettings_t dlgSatelliteCalculationConfig_t::newConfigSettings() const { return d->settings; }

void dlgSatelliteCalculationConfig_t::submit()
{
    satelliteCalculationConfigSettings_t s;
    s.position.latValid = true;
    s.position.lat = d->ui.latitudeEdit->radians();
    s.position.lonValid = true;
    s.position.lon = d->ui.longitudeEdit->radians();
    s.height = d->ui.heightEdit->meters();
    s.elevationMask = d->ui.elevMaskLineEdit->text().toDouble();   // 0 when it is no number
    s.startTime = d->ui.dateTimeEdit->dateTime().toUTC().addSecs(-guiSettings_t::get()->utcOffset());
    s.durationHours = d->ui.durationCombo->currentIndex() != 0 ? 168 : 24;
    d->settings = s;
    QDialog::accept();
}

void dlgSatelliteCalculationConfig_t::useCurrentTime()
{
    const double shown = std::floor(dataTimestamp() + guiSettings_t::get()->utcOffset());
    d->ui.dateTimeEdit->setDateTime(QDateTime::fromSecsSinceEpoch(qint64(shown), Qt::UTC));
}

void dlgSatelliteCalculationConfig_t::useCurrentPosition()
{
    auto* owner = qobject_cast<qcDeviceDialog_t*>(parentWidget());
    remoteDevice_t const* device = owner ? owner->remoteDevice() : nullptr;
    if (!device)
        return;
    const double now = dataTimestamp();
    dataItem_t<position_t> const& p = device->displayPosition();
    if (isItemCurrent(p, now)) {
        if (p.value().latValid)
            d->ui.latitudeEdit->setLatitude(p.value().lat);
        if (p.value().lonValid)
            d->ui.longitudeEdit->setLongitude(p.value().lon);
    }
    dataItem_t<double> const& h = device->ellipsoidalHeight();
    if (isItemCurrent(h, now))
        d->ui.heightEdit->setDistance(h.value(), distanceUnitMeters);
}

} // namespace qc
} // namespace orvane
