#pragma once

#include "belrix_common_qt_gui_export.h"

#include <QObject>

class QWidget;

namespace belrix_common_qt {
class qcSettingsBase_t;
class remoteDevice_t;
}

namespace belrix_common_qt_gui {

class deviceGraphSet_t;
class qcConfigWidgetBase_t;
class qcGraphsView_t;
class qcQualityPanel_t;
class qualityConfigWidget_t;
class qualitySettings_t;

// The GUI pieces the shared library provides for one device. Each piece is created on
// first request and may be destroyed by its user; the next request makes a new one.
class BELRIX_COMMON_QT_GUI_EXPORT orvaneDeviceGui_t : public QObject
{
    Q_OBJECT
public:
    explicit orvaneDeviceGui_t(QObject* parent = nullptr);
    ~orvaneDeviceGui_t() override;

    // The panel has no parent until its user docks it; null for a bundle without one.
    QWidget* qcQualityPanel();
    // Whether the bundle offers a QC quality panel (a source that gives no quality data
    // has none); true unless set.
    void setHasQcQualityPanel(bool has);

    // The device's quality thresholds, by which the pieces grade its values. They must
    // outlive the pieces; null grades by the defaults.
    void setQualitySettings(qualitySettings_t const* settings);
    qualitySettings_t const* qualitySettings() const;

    // The device's data model, whose QC settings the QC editor edits; may be null.
    void setRemoteDevice(belrix_common_qt::remoteDevice_t* device);
    belrix_common_qt::remoteDevice_t* remoteDevice() const;
    // The data model's QC settings, or null without a data model.
    belrix_common_qt::qcSettingsBase_t* qcSettings() const;

    // The editor of the device's QC settings; null while the device has no data model.
    // It has no parent until its user places it.
    qcConfigWidgetBase_t* qcConfigWidget();
    // The editor of the device's quality thresholds; null while there are none.
    qualityConfigWidget_t* qualityConfigWidget();

    // The quantities the device offers for live graphs, graded by the quality thresholds;
    // null while the device has no data model.
    deviceGraphSet_t* graphSet();
    // The device's QC graphs; null while the device has no data model. It has no parent
    // until its user places it; after it is destroyed the next request makes a new one.
    qcGraphsView_t* qcGraphsView();

private:
    class private_t;
    private_t* d;
};

} // namespace belrix_common_qt_gui
