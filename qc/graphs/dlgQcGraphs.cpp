#include "graphs/dlgQcGraphs.h"

#include "ui_dlgQcGraphs.h"

namespace orvane {
namespace qc {

class dlgQcGraphs_t::private_t
{
public:
    Ui::dlgQcGraphs ui;
};

dlgQcGraphs_t::dlgQcGraphs_t(orvane::context_t* context, QWidget* parent)
    : qcDeviceDialog_t(context, parent), d(new private_t)
{
    setIsWindow(true);
    d->ui.setupUi(this);
    // nothing to show until the device offers a graph with an information page
    d->ui.infoButton->setEnabled(false);
}

dlgQcGraphs_t::~dlgQcGraphs_t() { delete d; }

} // namespace qc
} // namespace orvane
