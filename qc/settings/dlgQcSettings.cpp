#include "settings/dlgQcSettings.h"

#include "ui_dlgQcSettings.h"

#include <belrix_common_qt/remoteDevice.h>
#include <belrix_common_qt_gui/orvaneDeviceGui.h>
#include <belrix_common_qt_gui/qcConfigWidgetBase.h>

#include <QDialogButtonBox>
#include <QPushButton>

namespace orvane {
namespace qc {

using belrix_common_qt_gui::qcConfigWidgetBase_t;

class dlgQcSettings_t::private_t
{
public:
    Ui::dlgQcSettings ui;
    qcConfigWidgetBase_t* configWidget = nullptr;   // the device GUI's; not owned
};

dlgQcSettings_t::dlgQcSettings_t(orvane::context_t* context, QWidget* parent)
    : qcDeviceDialog_t(context, parent), d(new private_t)
{
    d->ui.setupUi(this);
    connect(d->ui.buttonBox->button(QDialogButtonBox::Apply), &QPushButton::clicked, this, &dlgQcSettings_t::submit);
    connect(d->ui.buttonBox, &QDialogButtonBox::rejected, this, &QWidget::hide);
    connect(d->ui.buttonBox->button(QDialogButtonBox::Reset), &QPushButton::clicked, this, &dlgQcSettings_t::reset);
    if (checkConfigWidget() && remoteDevice())
        d->configWidget->showSettings(remoteDevice()->qcSettings());
}

dlgQcSettings_t::~dlgQcSettings_t()
{
    // the editor is the device GUI's: it may go on after this window
    if (d->configWidget)
        disconnect(d->configWidget, nullptr, this, nullptr);
    delete d;
}

bool dlgQcSettings_t::checkConfigWidget()
{
    if (d->configWidget)
        return true;
    belrix_common_qt_gui::orvaneDeviceGui_t* gui = deviceGui();
    if (!gui)
        return false;
    d->configWidget = gui->qcConfigWidget();
    if (!d->configWidget)
        return false;
    connect(d->configWidget, &QObject::destroyed, this, &dlgQcSettings_t::handleConfigWidgetDestroyed);
    if (d->ui.configStack->indexOf(d->configWidget) < 0)
        d->ui.configStack->addWidget(d->configWidget);
    d->ui.configStack->setCurrentWidget(d->configWidget);
    return true;
}

void dlgQcSettings_t::handleConfigWidgetDestroyed() { d->configWidget = nullptr; }

void dlgQcSettings_t::reset()
{
    if (checkConfigWidget() && remoteDevice())
        d->configWidget->showSettings(remoteDevice()->qcSettings());
}

void dlgQcSettings_t::updateUi() { reset(); }

void dlgQcSettings_t::submit()
{
    if (!checkConfigWidget() || !remoteDevice())
        return;
    d->configWidget->applySettings(remoteDevice()->qcSettings());
    if (checkConfigWidget() && remoteDevice())
        d->configWidget->showSettings(remoteDevice()->qcSettings());
    emit configurationModified();
}

} // namespace qc
} // namespace orvane
