#include "graphs/dlgGraphs.h"

#include "ui_dlgGraphs.h"

#include <QDialogButtonBox>
#include <QPushButton>

namespace orvane {
namespace qc {

class dlgGraphs_t::private_t
{
public:
    Ui::dlgGraphs ui;
    QPushButton* settingsButton = nullptr;
};

dlgGraphs_t::dlgGraphs_t(orvane::context_t* context, QWidget* parent)
    : qcDeviceDialog_t(context, parent), d(new private_t)
{
    setIsWindow(true);
    d->ui.setupUi(this);
    d->settingsButton = new QPushButton(tr("Settings"), this);
    d->settingsButton->setObjectName(QStringLiteral("settingsButton"));
    d->ui.buttonBox->addButton(d->settingsButton, QDialogButtonBox::ActionRole);
}

dlgGraphs_t::~dlgGraphs_t() { delete d; }

} // namespace qc
} // namespace orvane
