#pragma once

#include "belrix_common_qt_gui_export.h"

#include <QDialog>

namespace belrix_common_qt_gui {

// A page of information in a window of its own, beside the window it explains: rich text
// and a Close button. Not modal, so the user can keep it open while watching.
class BELRIX_COMMON_QT_GUI_EXPORT dialogPage_t : public QDialog
{
    Q_OBJECT
public:
    explicit dialogPage_t(QWidget* parent = nullptr);
    ~dialogPage_t() override;

    void setHtml(QString const& html);
    QString html() const;
    // The text as the user reads it, without markup.
    QString plainText() const;

private:
    class private_t;
    private_t* d;
};

} // namespace belrix_common_qt_gui
