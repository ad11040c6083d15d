#include "accuracy/dlgErrorEllipse.h"

#include "ui_dlgErrorEllipse.h"

#include <QDialogButtonBox>
#include <QPushButton>

namespace orvane {
namespace qc {

class dlgErrorEllipse_t::private_t
{
public:
    Ui::dlgErrorEllipse ui;
    QPushButton* settingsButton = nullptr;
    QPushButton* toggleButton = nullptr;
};

dlgErrorEllipse_t::dlgErrorEllipse_t(orvane::context_t* context, QWidget* parent)
    : qcDeviceDialog_t(context, parent), d(new private_t)
{
    setIsWindow(true);
    d->ui.setupUi(this);
    d->settingsButton = new QPushButton(tr("Settings"), this);
    d->settingsButton->setObjectName(QStringLiteral("settingsButton"));
    d->ui.buttonBox->addButton(d->settingsButton, QDialogButtonBox::ActionRole);
    d->toggleButton = new QPushButton(tr("Toggle NMEA/IMCA Data"), this);
    d->toggleButton->setObjectName(QStringLiteral("toggleButton"));
    d->ui.buttonBox->addButton(d->toggleButton, QDialogButtonBox::ActionRole);
}

dlgErrorEllipse_t::~dlgErrorEllipse_t() { delete d; }

} // namespace qc
} // namespace orvane
