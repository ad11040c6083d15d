#pragma once

#include "belrix_common_qt_gui_export.h"

#include <QColor>
#include <QString>
#include <QVector>
#include <QWidget>

namespace belrix_common_qt_gui {

// A legend of coloured squares and plain texts, flowed over as many lines as the width needs.
// Painted rather than set as rich text in a label: a label parses its text into a document on
// every change, which costs more than the whole graph it explains when it changes each second.
class BELRIX_COMMON_QT_GUI_EXPORT colorLegend_t : public QWidget
{
    Q_OBJECT
public:
    struct item_t {
        QColor color;
        QString text;
    };

    explicit colorLegend_t(QWidget* parent = nullptr);
    ~colorLegend_t() override;

    void setItems(QVector<item_t> const& items);
    QVector<item_t> items() const;
    // Shown when there are no items.
    void setEmptyText(QString const& text);

    bool hasHeightForWidth() const override;
    int heightForWidth(int width) const override;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    // The top-left corner of each item at this width, and the height they take.
    QVector<QPoint> layoutItems(int width, int* height) const;

    class private_t;
    private_t* d;
};

} // namespace belrix_common_qt_gui
