#pragma once

#include "belrix_common_qt_gui_export.h"

#include <QString>
#include <QStringList>
#include <QTextStream>

class QWidget;

namespace belrix_common_qt_gui {

// Collects the messages of one validation, each written as a line through stream
// output (text << "Invalid latitude" << Qt::endl), and shows them together in one
// warning with report(). It is empty until something is written.
class BELRIX_COMMON_QT_GUI_EXPORT errorText_t
{
public:
    // The warning's title; empty takes the parent's window title at report().
    explicit errorText_t(QString const& title = QString());
    ~errorText_t();
    errorText_t(errorText_t const&) = delete;
    errorText_t& operator=(errorText_t const&) = delete;

    template <typename T>
    errorText_t& operator<<(T const& value)
    {
        stream() << value;
        return *this;
    }
    errorText_t& operator<<(QTextStream& (*manipulator)(QTextStream&));

    bool isEmpty() const;
    // What was written, as written.
    QString text() const;
    // The non-empty lines written so far, in order.
    QStringList lines() const;

    // Shows the collected lines in one modal warning; does nothing while empty.
    void report(QWidget* parent = nullptr) const;

private:
    QTextStream& stream();

    class private_t;
    private_t* d;
};

} // namespace belrix_common_qt_gui
