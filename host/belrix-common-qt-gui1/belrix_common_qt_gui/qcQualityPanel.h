#pragma once

#include "belrix_common_qt_gui_export.h"

#include <QWidget>

namespace belrix_common_qt {
class remoteDevice_t;
}

namespace belrix_common_qt_gui {

// A device's QC quality panel: the quality of its current solution at a glance.
class BELRIX_COMMON_QT_GUI_EXPORT qcQualityPanel_t : public QWidget
{
    Q_OBJECT
public:
    explicit qcQualityPanel_t(QWidget* parent = nullptr);
    ~qcQualityPanel_t() override;

public slots:
    // Empties the panel, as when the device has no data.
    virtual void clearData();
    // Brings the panel up to date with the device's data at the data time now.
    virtual void updateData(double now, belrix_common_qt::remoteDevice_t const* device);

private:
    class private_t;
    private_t* d;
};

} // namespace belrix_common_qt_gui
