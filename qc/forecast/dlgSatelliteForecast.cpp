#include "forecast/dlgSatelliteForecast.h"

#include "ui_dlgSatelliteForecast.h"

#include <QDialogButtonBox>
#include <QPushButton>

namespace orvane {
namespace qc {

class dlgSatelliteForecast_t::private_t
{
public:
    Ui::dlgSatelliteForecast ui;
    QPushButton* refreshButton = nullptr;
    QPushButton* settingsButton = nullptr;
};

dlgSatelliteForecast_t::dlgSatelliteForecast_t(orvane::context_t* context, QWidget* parent)
    : qcDeviceDialog_t(context, parent), d(new private_t)
{
    setIsWindow(true);
    d->ui.setupUi(this);

    d->settingsButton = new QPushButton(tr("Settings"), this);
    d->settingsButton->setObjectName(QStringLiteral("settingsButton"));
    d->ui.buttonBox->addButton(d->settingsButton, QDialogButtonBox::ActionRole);
    d->refreshButton = new QPushButton(tr("Refresh"), this);
    d->refreshButton->setObjectName(QStringLiteral("refreshButton"));
    d->ui.buttonBox->addButton(d->refreshButton, QDialogButtonBox::ResetRole);

    setSettingsButtonVisible(false);
}

dlgSatelliteForecast_t::~dlgSatelliteForecast_t() { delete d; }

void dlgSatelliteForecast_t::setSettingsButtonVisible(bool v)
{
    // A button box shows every button it holds again when the style changes, as on a switch
    // to the night look: the hidden button is kept out of it.
    QPushButton* shown = v ? d->settingsButton : d->refreshButton;
    QPushButton* hidden = v ? d->refreshButton : d->settingsButton;
    d->ui.buttonBox->removeButton(hidden);
    hidden->setParent(this);
    hidden->hide();
    if (d->ui.buttonBox->buttonRole(shown) == QDialogButtonBox::InvalidRole)
        d->ui.buttonBox->addButton(shown, v ? QDialogButtonBox::ActionRole : QDialogButtonBox::ResetRole);
    shown->show();
}

} // namespace qc
} // namespace orvane
