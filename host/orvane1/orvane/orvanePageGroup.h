#pragma once

#include "orvane_export.h"

#include <QList>
#include <QObject>

class QAction;

namespace orvane {

class orvanePage_t;

// A device's pages. Each page gets an action that opens its window; the group owns the
// pages and their actions.
class ORVANE_EXPORT orvanePageGroup_t : public QObject
{
    Q_OBJECT
public:
    explicit orvanePageGroup_t(QObject* parent = nullptr);
    ~orvanePageGroup_t() override;

    // Takes the page; returns the action that shows it (null for a null page).
    QAction* addPage(orvanePage_t* page);
    QList<orvanePage_t*> pages() const;
    QAction* actionForPage(orvanePage_t const* page) const;

    static void showPage(orvanePage_t const* page);

private:
    class private_t;
    private_t* d;
};

} // namespace orvane
