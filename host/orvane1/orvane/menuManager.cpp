#include "orvane/menuManager.h"

#include <QAction>
#include <QMainWindow>
#include <QMap>
#include <QMenu>
#include <QMenuBar>

namespace orvane {

namespace {
QString plainText(QString text) { return text.remove(QLatin1Char('&')); }
}

class menuManager_t::private_t
{
public:
    QMainWindow* window = nullptr;
    QMap<QString, QMenu*> menus;
    QMap<QString, QAction*> topSectionEnd;   // separator that closes a menu's top section
};

menuManager_t::menuManager_t(QMainWindow* window) : QObject(window), d(new private_t)
{
    d->window = window;
    for (const char* title : {"File", "Settings", "View"})
        menu(QString::fromLatin1(title));
}

menuManager_t::~menuManager_t() { delete d; }

QMenu* menuManager_t::menu(QString const& title)
{
    if (QMenu* existing = d->menus.value(title))
        return existing;
    QMenu* created = d->window->menuBar()->addMenu(title);
    created->setObjectName(title);
    d->menus.insert(title, created);
    return created;
}

bool menuManager_t::hasMenu(QString const& title) const { return d->menus.contains(title); }

void menuManager_t::addMenuAction(QString const& title, QAction* action)
{
    if (action)
        menu(title)->addAction(action);
}

void menuManager_t::addMenuSeparator(QString const& title) { menu(title)->addSeparator(); }

void menuManager_t::insertMenuAction(QString const& title, QAction* before, QAction* action)
{
    if (!action)
        return;
    QMenu* m = menu(title);
    if (before && m->actions().contains(before)) {
        m->insertAction(before, action);
        return;
    }
    QAction* sectionEnd = d->topSectionEnd.value(title);
    if (!sectionEnd) {
        sectionEnd = new QAction(m);
        sectionEnd->setSeparator(true);
        QList<QAction*> actions = m->actions();
        m->insertAction(actions.isEmpty() ? nullptr : actions.first(), sectionEnd);
        d->topSectionEnd.insert(title, sectionEnd);
    }
    m->insertAction(sectionEnd, action);
}

QAction* menuManager_t::actionForTitle(QString const& title, QString const& text) const
{
    QMenu* m = d->menus.value(title);
    if (!m)
        return nullptr;
    const QString wanted = plainText(text);
    for (QAction* action : m->actions()) {
        if (!action->isSeparator() && plainText(action->text()) == wanted)
            return action;
    }
    return nullptr;
}

} // namespace orvane
