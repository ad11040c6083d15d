#include "orvane/orvanePageGroup.h"

#include "orvane/orvanePage.h"

#include <QAction>
#include <QWidget>

namespace orvane {

class orvanePageGroup_t::private_t
{
public:
    QList<orvanePage_t*> pages;
    QList<QAction*> actions;
};

orvanePageGroup_t::orvanePageGroup_t(QObject* parent) : QObject(parent), d(new private_t) {}

orvanePageGroup_t::~orvanePageGroup_t() { delete d; }

QAction* orvanePageGroup_t::addPage(orvanePage_t* page)
{
    if (!page)
        return nullptr;
    page->setParent(this);
    auto* action = new QAction(page->title(), this);
    connect(action, &QAction::triggered, page, [page] { showPage(page); });
    d->pages.append(page);
    d->actions.append(action);
    return action;
}

QList<orvanePage_t*> orvanePageGroup_t::pages() const { return d->pages; }

QAction* orvanePageGroup_t::actionForPage(orvanePage_t const* page) const
{
    const int index = d->pages.indexOf(const_cast<orvanePage_t*>(page));
    return index < 0 ? nullptr : d->actions.at(index);
}

void orvanePageGroup_t::showPage(orvanePage_t const* page)
{
    QWidget* widget = page ? page->widget() : nullptr;
    if (!widget)
        return;
    widget->show();
    widget->raise();
    widget->activateWindow();
}

} // namespace orvane
