#include "belrix_common_qt_gui/errorText.h"

#include <QIODevice>
#include <QMessageBox>
#include <QWidget>

namespace belrix_common_qt_gui {

class errorText_t::private_t
{
public:
    QString title;
    QString text;
    QTextStream stream{&text, QIODevice::WriteOnly};
};

errorText_t::errorText_t(QString const& title) : d(new private_t)
{
    d->title = title;
}

errorText_t::~errorText_t() { delete d; }

errorText_t& errorText_t::operator<<(QTextStream& (*manipulator)(QTextStream&))
{
    stream() << manipulator;
    return *this;
}

QTextStream& errorText_t::stream() { return d->stream; }

bool errorText_t::isEmpty() const { return text().trimmed().isEmpty(); }

QString errorText_t::text() const
{
    // the stream buffers; what it holds belongs to the text already
    d->stream.flush();
    return d->text;
}

QStringList errorText_t::lines() const
{
    QStringList result;
    const QStringList all = text().split(QLatin1Char('\n'));
    for (QString const& line : all) {
        if (!line.trimmed().isEmpty())
            result << line;
    }
    return result;
}

void errorText_t::report(QWidget* parent) const
{
    if (isEmpty())
        return;
    QString title = d->title;
    if (title.isEmpty() && parent)
        title = parent->window()->windowTitle();
    if (title.isEmpty())
        title = QStringLiteral("Invalid Input");
    QMessageBox::warning(parent, title, lines().join(QLatin1Char('\n')), QMessageBox::Ok);
}

} // namespace belrix_common_qt_gui
