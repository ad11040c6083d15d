#pragma once

#include "orvane_export.h"

#include <QObject>
#include <QString>

class QAction;
class QMainWindow;
class QMenu;

namespace orvane {

// The menus of a main window, reached by their titles. Menus are created on first use,
// "File", "Settings" and "View" first and in that order.
class ORVANE_EXPORT menuManager_t : public QObject
{
    Q_OBJECT
public:
    explicit menuManager_t(QMainWindow* window);
    ~menuManager_t() override;

    QMenu* menu(QString const& title);
    bool hasMenu(QString const& title) const;

    void addMenuAction(QString const& title, QAction* action);
    void addMenuSeparator(QString const& title);
    // Inserts before the given action; with none, the action joins the section at the top
    // of the menu where panel toggles and similar entries stand.
    void insertMenuAction(QString const& title, QAction* before, QAction* action);
    // The action of that text (mnemonic ampersands ignored), or null.
    QAction* actionForTitle(QString const& title, QString const& text) const;

private:
    class private_t;
    private_t* d;
};

} // namespace orvane
