#include "belrix_common_qt_gui/qcGraph.h"

#include "belrix_common_qt_gui/dialogPage.h"

#include <QPointer>

namespace belrix_common_qt_gui {

class qcGraph_t::private_t
{
public:
    QString title;
    QPointer<dialogPage_t> page;
};

qcGraph_t::qcGraph_t(QString const& title, QWidget* parent) : QWidget(parent), d(new private_t)
{
    d->title = title;
}

qcGraph_t::~qcGraph_t() { delete d; }

QString qcGraph_t::title() const { return d->title; }

void qcGraph_t::setCurrentTimestamp(double) {}

dialogPage_t* qcGraph_t::infoPage()
{
    if (!d->page && !infoHtml().isEmpty()) {
        d->page = new dialogPage_t(this);
        d->page->setWindowTitle(d->title);
    }
    return d->page;
}

void qcGraph_t::updateInfo()
{
    if (d->page)
        d->page->setHtml(infoHtml());
}

QString qcGraph_t::infoHtml() const { return QString(); }

} // namespace belrix_common_qt_gui
