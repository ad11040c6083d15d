#include "settings/dlgQualityDisplayConfiguration.h"

#include "ui_dlgQualityDisplayConfiguration.h"

#include <QDialogButtonBox>

namespace orvane {
namespace qc {

class dlgQualityDisplayConfiguration_t::private_t
{
public:
    Ui::dlgQualityDisplayConfiguration ui;
};

dlgQualityDisplayConfiguration_t::dlgQualityDisplayConfiguration_t(orvane::context_t* context, QWidget* parent)
    : qcDeviceDialog_t(context, parent), d(new private_t)
{
    d->ui.setupUi(this);
    connect(d->ui.buttonBox, &QDialogButtonBox::rejected, this, &QWidget::hide);
}

dlgQualityDisplayConfiguration_t::~dlgQualityDisplayConfiguration_t() { delete d; }

} // namespace qc
} // namespace orvane
