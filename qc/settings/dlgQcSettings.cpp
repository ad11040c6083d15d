#include "settings/dlgQcSettings.h"

#include "ui_dlgQcSettings.h"

#include <QDialogButtonBox>

namespace orvane {
namespace qc {

class dlgQcSettings_t::private_t
{
public:
    Ui::dlgQcSettings ui;
};

dlgQcSettings_t::dlgQcSettings_t(orvane::context_t* context, QWidget* parent)
    : qcDeviceDialog_t(context, parent), d(new private_t)
{
    d->ui.setupUi(this);
    connect(d->ui.buttonBox, &QDialogButtonBox::rejected, this, &QWidget::hide);
}

dlgQcSettings_t::~dlgQcSettings_t() { delete d; }

} // namespace qc
} // namespace orvane
