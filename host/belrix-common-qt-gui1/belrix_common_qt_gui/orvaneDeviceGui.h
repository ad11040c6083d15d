#pragma once

#include "belrix_common_qt_gui_export.h"

#include <QObject>

class QWidget;

namespace belrix_common_qt_gui {

class qcQualityPanel_t;

// The GUI pieces the shared library provides for one device. Each piece is created on
// first request and may be destroyed by its user; the next request makes a new one.
class BELRIX_COMMON_QT_GUI_EXPORT orvaneDeviceGui_t : public QObject
{
    Q_OBJECT
public:
    explicit orvaneDeviceGui_t(QObject* parent = nullptr);
    ~orvaneDeviceGui_t() override;

    // The panel has no parent until its user docks it.
    QWidget* qcQualityPanel();

private:
    class private_t;
    private_t* d;
};

} // namespace belrix_common_qt_gui
