#include "instruments/dlgAlmanacInfo.h"

#include "ui_dlgAlmanacInfo.h"

#include <belrix_common_qt/remoteController.h>
#include <orvane/context.h>

namespace orvane {
namespace qc {

class dlgAlmanacInfo_t::private_t
{
public:
    Ui::dlgAlmanacInfo ui;
};

dlgAlmanacInfo_t::dlgAlmanacInfo_t(orvane::context_t* context, QWidget* parent)
    : mainWindowDialog_t(context, parent), d(new private_t)
{
    d->ui.setupUi(this);
    // the form's width was made for narrower fonts: the times must not be cut off
    resize(size().expandedTo(sizeHint()));
    if (!context)
        return;
    belrix_common_qt::remoteController_t* controller = context->controllerContext()->controller();
    d->ui.almanacInfoWidget->setAlmMgrGps(controller->almMgrGps());
    d->ui.almanacInfoWidget->setAlmMgrGlonass(controller->almMgrGlonass());
}

dlgAlmanacInfo_t::~dlgAlmanacInfo_t() { delete d; }

} // namespace qc
} // namespace orvane
