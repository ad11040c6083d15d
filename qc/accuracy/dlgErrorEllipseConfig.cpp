#include "accuracy/dlgErrorEllipseConfig.h"

#include "ui_dlgErrorEllipseConfig.h"

#include <belrix_common_qt/units.h>

namespace orvane {
namespace qc {

class dlgErrorEllipseConfig_t::private_t
{
public:
    Ui::dlgErrorEllipseConfig ui;
    errorEllipseConfigSettings_t settings;
};

dlgErrorEllipseConfig_t::dlgErrorEllipseConfig_t(QWidget* parent) : QDialog(parent), d(new private_t)
{
    d->ui.setupUi(this);
    d->ui.rangeEdit->allowNegative(false);
    connect(d->ui.buttonBox, &QDialogButtonBox::accepted, this, &dlgErrorEllipseConfig_t::submit);
    connect(d->ui.buttonBox, &QDialogButtonBox::rejected, this, &QDialog::hide);
    connect(d->ui.autoCombo, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &dlgErrorEllipseConfig_t::checkAutoScale);
    d->ui.rangeEdit->setEnabled(d->ui.autoCombo->currentIndex() == 0);
}

dlgErrorEllipseConfig_t::~dlgErrorEllipseConfig_t() { delete d; }

void dlgErrorEllipseConfig_t::setConfigSettings(errorEllipseConfigSettings_t const& settings)
{
    d->settings = settings;
    d->ui.rangeEdit->setDistance(settings.range, belrix_common_qt::distanceUnitMeters);
    d->ui.autoCombo->setCurrentIndex(settings.autoScale ? 1 : 0);
    d->ui.labelsCombo->setCurrentIndex(settings.labels);
}

errorEllipseConfigSettings_t dlgErrorEllipseConfig_t::newConfigSettings() const { return d->settings; }

void dlgErrorEllipseConfig_t::submit()
{
    d->settings.autoScale = d->ui.autoCombo->currentIndex() != 0;
    d->settings.labels = d->ui.labelsCombo->currentIndex();
    d->settings.range = d->ui.rangeEdit->meters();
    QDialog::accept();
}

void dlgErrorEllipseConfig_t::updateRange()
{
    d->ui.rangeEdit->setDistance(d->settings.range, belrix_common_qt::distanceUnitMeters);
}

void dlgErrorEllipseConfig_t::checkAutoScale()
{
    d->ui.rangeEdit->setEnabled(d->ui.autoCombo->currentIndex() == 0);
}

} // namespace qc
} // namespace orvane
