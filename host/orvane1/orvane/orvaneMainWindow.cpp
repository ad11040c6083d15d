#include "orvane/orvaneMainWindow.h"

#include <QPixmap>

namespace orvane {

orvaneMainWindow_t::orvaneMainWindow_t(QObject* parent)
    : QMainWindow(qobject_cast<QWidget*>(parent), Qt::Window)
{
    // A widget cannot have a plain object as parent; follow its lifetime instead.
    if (parent && !parent->isWidgetType())
        connect(parent, &QObject::destroyed, this, [this] { delete this; });
}

orvaneMainWindow_t::~orvaneMainWindow_t() = default;

bool orvaneMainWindow_t::saveSnapshot(QString const& path)
{
    return grab().save(path, "PNG");
}

} // namespace orvane
