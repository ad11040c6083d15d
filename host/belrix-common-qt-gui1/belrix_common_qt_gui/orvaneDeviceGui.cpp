#include "belrix_common_qt_gui/orvaneDeviceGui.h"

#include "belrix_common_qt_gui/qcQualityPanel.h"

#include <QPointer>

namespace belrix_common_qt_gui {

class orvaneDeviceGui_t::private_t
{
public:
    QPointer<qcQualityPanel_t> qcQualityPanel;
};

orvaneDeviceGui_t::orvaneDeviceGui_t(QObject* parent) : QObject(parent), d(new private_t) {}

orvaneDeviceGui_t::~orvaneDeviceGui_t() { delete d; }

QWidget* orvaneDeviceGui_t::qcQualityPanel()
{
    if (!d->qcQualityPanel)
        d->qcQualityPanel = new qcQualityPanel_t;
    return d->qcQualityPanel;
}

} // namespace belrix_common_qt_gui
