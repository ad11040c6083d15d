#include "belrix_common_qt_gui/deviceSelectWidget.h"

#include <belrix_common_qt/remoteController.h>

#include <QPointer>

namespace belrix_common_qt_gui {

class deviceSelectWidget_t::private_t
{
public:
    QPointer<belrix_common_qt::remoteController_t> controller;
    QMetaObject::Connection listConnection;
    int capabilities = 0;
    bool all = true;
    unsigned int selected = NoDevice;

    bool accepts(belrix_common_qt::deviceEntry_t const& entry) const
    {
        if (capabilities == 0)
            return true;
        return all ? (entry.capabilities & capabilities) == capabilities : (entry.capabilities & capabilities) != 0;
    }
};

deviceSelectWidget_t::deviceSelectWidget_t(QWidget* parent) : QComboBox(parent), d(new private_t)
{
    setSizeAdjustPolicy(QComboBox::AdjustToContents);
    connect(this, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &deviceSelectWidget_t::handleIndexChanged);
    updateDevices();
}

deviceSelectWidget_t::~deviceSelectWidget_t() { delete d; }

void deviceSelectWidget_t::init(belrix_common_qt::remoteController_t* controller)
{
    disconnect(d->listConnection);
    d->controller = controller;
    if (controller)
        d->listConnection = connect(controller, &belrix_common_qt::remoteController_t::devicesChanged, this,
                                    &deviceSelectWidget_t::updateDevices);
    updateDevices();
}

void deviceSelectWidget_t::setRequiredCapabilities(int capabilities, bool all)
{
    d->capabilities = capabilities;
    d->all = all;
    updateDevices();
}

unsigned int deviceSelectWidget_t::selectedDevice() const { return d->selected; }

void deviceSelectWidget_t::selectDevice(unsigned int portId)
{
    const int index = findData(portId);
    setCurrentIndex(index >= 0 ? index : 0);
}

void deviceSelectWidget_t::selectNone() { setCurrentIndex(0); }

void deviceSelectWidget_t::updateDevices()
{
    const unsigned int keep = d->selected;
    {
        const QSignalBlocker blocker(this);
        clear();
        addItem(tr("None"), NoDevice);
        if (d->controller) {
            const belrix_common_qt::deviceEntryList_t entries = d->controller->devices();
            for (belrix_common_qt::deviceEntry_t const& entry : entries) {
                if (d->accepts(entry) && entry.portId != NoDevice)
                    addItem(entry.name, entry.portId);
            }
        }
        const int index = findData(keep);
        setCurrentIndex(index >= 0 ? index : 0);
    }
    handleIndexChanged(currentIndex());
}

void deviceSelectWidget_t::handleIndexChanged(int index)
{
    bool ok = false;
    const unsigned int portId = index >= 0 ? itemData(index).toUInt(&ok) : NoDevice;
    const unsigned int selected = ok ? portId : NoDevice;
    if (selected == d->selected)
        return;
    d->selected = selected;
    emit selectedDeviceChanged(selected);
}

} // namespace belrix_common_qt_gui
