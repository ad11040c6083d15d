#include "belrix_common_qt_gui/qcGraphsView.h"

#include "belrix_common_qt_gui/qcGraph.h"

#include <QStackedLayout>

namespace belrix_common_qt_gui {

class qcGraphsView_t::private_t
{
public:
    QStackedLayout* stack = nullptr;
};

qcGraphsView_t::qcGraphsView_t(QWidget* parent) : QWidget(parent), d(new private_t)
{
    d->stack = new QStackedLayout(this);
    d->stack->setContentsMargins(0, 0, 0, 0);
}

qcGraphsView_t::~qcGraphsView_t() { delete d; }

void qcGraphsView_t::addGraph(qcGraph_t* graph)
{
    if (graph)
        d->stack->addWidget(graph);
}

int qcGraphsView_t::graphCount() const { return d->stack->count(); }

qcGraph_t* qcGraphsView_t::graphAt(int index) const { return qobject_cast<qcGraph_t*>(d->stack->widget(index)); }

int qcGraphsView_t::currentIndex() const { return d->stack->currentIndex(); }

void qcGraphsView_t::setCurrentIndex(int index)
{
    if (index >= 0 && index < d->stack->count())
        d->stack->setCurrentIndex(index);
}

qcGraph_t* qcGraphsView_t::currentGraph() const { return graphAt(d->stack->currentIndex()); }

void qcGraphsView_t::setCurrentTimestamp(double time)
{
    for (int i = 0; i < d->stack->count(); ++i) {
        if (qcGraph_t* graph = graphAt(i))
            graph->setCurrentTimestamp(time);
    }
}

} // namespace belrix_common_qt_gui
