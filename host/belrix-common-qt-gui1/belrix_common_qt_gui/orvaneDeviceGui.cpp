#include "belrix_common_qt_gui/orvaneDeviceGui.h"

#include "belrix_common_qt_gui/deviceGraphSet.h"
#include "belrix_common_qt_gui/errorEllipseAxesGraph.h"
#include "belrix_common_qt_gui/positionScatterGraph.h"
#include "belrix_common_qt_gui/qcConfigWidgetBase.h"
#include "belrix_common_qt_gui/qcGraphsView.h"
#include "belrix_common_qt_gui/rangeResidualGraph.h"
#include "belrix_common_qt_gui/skyPlotGraph.h"
#include "belrix_common_qt_gui/unitVarianceGraph.h"
#include "belrix_common_qt_gui/qcQualityPanel.h"
#include "belrix_common_qt_gui/qualityConfigWidget.h"

#include <belrix_common_qt/remoteDevice.h>

#include <QPointer>

namespace belrix_common_qt_gui {

class orvaneDeviceGui_t::private_t
{
public:
    QPointer<qcQualityPanel_t> qcQualityPanel;
    qualitySettings_t const* qualitySettings = nullptr;
    bool hasQcQualityPanel = true;
    QPointer<belrix_common_qt::remoteDevice_t> remoteDevice;
    QPointer<qcConfigWidgetBase_t> qcConfigWidget;
    QPointer<qualityConfigWidget_t> qualityConfigWidget;
    QPointer<deviceGraphSet_t> graphSet;
    QPointer<qcGraphsView_t> qcGraphsView;
};

orvaneDeviceGui_t::orvaneDeviceGui_t(QObject* parent) : QObject(parent), d(new private_t) {}

orvaneDeviceGui_t::~orvaneDeviceGui_t()
{
    // a view nobody placed has no parent to delete it
    if (d->qcGraphsView && !d->qcGraphsView->parent())
        delete d->qcGraphsView;
    delete d;
}

QWidget* orvaneDeviceGui_t::qcQualityPanel()
{
    if (!d->hasQcQualityPanel)
        return nullptr;
    if (!d->qcQualityPanel) {
        d->qcQualityPanel = new qcQualityPanel_t;
        d->qcQualityPanel->setQualitySettings(d->qualitySettings);
    }
    return d->qcQualityPanel;
}

void orvaneDeviceGui_t::setHasQcQualityPanel(bool has) { d->hasQcQualityPanel = has; }

void orvaneDeviceGui_t::setQualitySettings(qualitySettings_t const* settings)
{
    d->qualitySettings = settings;
    if (d->qcQualityPanel)
        d->qcQualityPanel->setQualitySettings(settings);
    if (d->graphSet)
        d->graphSet->setQualitySettings(settings);
}

qualitySettings_t const* orvaneDeviceGui_t::qualitySettings() const { return d->qualitySettings; }

void orvaneDeviceGui_t::setRemoteDevice(belrix_common_qt::remoteDevice_t* device) { d->remoteDevice = device; }

belrix_common_qt::remoteDevice_t* orvaneDeviceGui_t::remoteDevice() const { return d->remoteDevice.data(); }

belrix_common_qt::qcSettingsBase_t* orvaneDeviceGui_t::qcSettings() const
{
    return d->remoteDevice ? d->remoteDevice->qcSettings() : nullptr;
}

qcConfigWidgetBase_t* orvaneDeviceGui_t::qcConfigWidget()
{
    if (!d->qcConfigWidget && d->remoteDevice)
        d->qcConfigWidget = new qcConfigWidgetBase_t(this);
    return d->qcConfigWidget;
}

qualityConfigWidget_t* orvaneDeviceGui_t::qualityConfigWidget()
{
    if (!d->qualityConfigWidget && d->qualitySettings)
        d->qualityConfigWidget = new qualityConfigWidget_t(this);
    return d->qualityConfigWidget;
}

deviceGraphSet_t* orvaneDeviceGui_t::graphSet()
{
    if (!d->graphSet && d->remoteDevice) {
        d->graphSet = new deviceGraphSet_t(this);
        d->graphSet->setQualitySettings(d->qualitySettings);
    }
    return d->graphSet;
}

qcGraphsView_t* orvaneDeviceGui_t::qcGraphsView()
{
    if (!d->qcGraphsView && d->remoteDevice) {
        d->qcGraphsView = new qcGraphsView_t;
        // the sky first: it is what the window opens on
        d->qcGraphsView->addGraph(new skyPlotGraph_t);
        d->qcGraphsView->addGraph(new unitVarianceGraph_t);
        d->qcGraphsView->addGraph(new errorEllipseAxesGraph_t);
        d->qcGraphsView->addGraph(new positionScatterGraph_t);
        d->qcGraphsView->addGraph(new rangeResidualGraph_t);
    }
    return d->qcGraphsView;
}

} // namespace belrix_common_qt_gui
