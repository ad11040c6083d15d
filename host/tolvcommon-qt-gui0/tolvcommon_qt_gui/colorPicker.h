#pragma once

#include "tolvcommon_qt_gui_export.h"

#include <QColor>
#include <QPushButton>

namespace tolvcommon_qt_gui {

// A button that shows a colour and lets the user choose another in a colour dialog.
class TOLVCOMMON_QT_GUI_EXPORT colorPicker_t : public QPushButton
{
    Q_OBJECT
public:
    explicit colorPicker_t(QWidget* parent = nullptr);
    ~colorPicker_t() override;

    QColor selectedColor() const;

public slots:
    void selectedColor(QColor const& color);
    void chooseColor();

signals:
    void colorChanged(QColor const& color);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    class private_t;
    private_t* d;
};

} // namespace tolvcommon_qt_gui
