#include "orvane/orvanePage.h"

#include <QPointer>
#include <QWidget>

namespace orvane {

class orvanePage_t::private_t
{
public:
    QString title;
    QPointer<QWidget> widget;
};

orvanePage_t::orvanePage_t(QString const& title, QWidget* widget, QObject* parent) : QObject(parent), d(new private_t)
{
    d->title = title;
    d->widget = widget;
}

orvanePage_t::~orvanePage_t() { delete d; }

QString orvanePage_t::title() const { return d->title; }
QWidget* orvanePage_t::widget() const { return d->widget.data(); }

} // namespace orvane
