#include "instruments/dlgCompassRose.h"

#include "ui_dlgCompassRose.h"

namespace orvane {
namespace qc {

class dlgCompassRose_t::private_t
{
public:
    Ui::dlgCompassRose ui;
};

dlgCompassRose_t::dlgCompassRose_t(orvane::context_t* context, QWidget* parent)
    : qcDeviceDialog_t(context, parent), d(new private_t)
{
    setIsWindow(true);
    d->ui.setupUi(this);
}

dlgCompassRose_t::~dlgCompassRose_t() { delete d; }

} // namespace qc
} // namespace orvane
