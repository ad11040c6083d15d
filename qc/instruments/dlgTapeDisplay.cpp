#include "instruments/dlgTapeDisplay.h"

#include "ui_dlgTapeDisplay.h"

namespace orvane {
namespace qc {

class dlgTapeDisplay_t::private_t
{
public:
    Ui::dlgTapeDisplay ui;
};

dlgTapeDisplay_t::dlgTapeDisplay_t(orvane::context_t* context, QWidget* parent)
    : qcDeviceDialog_t(context, parent), d(new private_t)
{
    setIsWindow(true);
    d->ui.setupUi(this);
}

dlgTapeDisplay_t::~dlgTapeDisplay_t() { delete d; }

} // namespace qc
} // namespace orvane
