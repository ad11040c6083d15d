#include "belrix_common_qt_gui/timeGraph.h"

#include "belrix_common_qt_gui/timePlot.h"

#include <tolvcommon_qt_gui/ruler.h>

#include <QVBoxLayout>

namespace belrix_common_qt_gui {

class timeGraph_t::private_t
{
public:
    QVBoxLayout* layout = nullptr;
    timePlot_t* plot = nullptr;
};

timeGraph_t::timeGraph_t(QString const& title, QString const& plotTitle, double spanSeconds, QWidget* parent)
    : qcGraph_t(title, parent), d(new private_t)
{
    d->layout = new QVBoxLayout(this);
    d->layout->setContentsMargins(0, 0, 0, 0);
    d->layout->setSpacing(2);
    d->plot = new timePlot_t(this);
    d->plot->setTitle(plotTitle);
    d->plot->setSpan(spanSeconds);
    d->layout->addWidget(d->plot, 1);

    auto* ruler = new tolvcommon_qt_gui::ruler_t(this);
    ruler->setObjectName(QStringLiteral("timeRuler"));
    ruler->axisLocation(tolvcommon_qt_gui::ruler_t::axisTop);
    ruler->interactive(false);
    ruler->range(0.0, spanSeconds / 60.0);
    ruler->showMinorTicks(true);
    ruler->invert(true);
    ruler->tickTable({{1.0, 2}, {2.0, 2}, {5.0, 5}, {10.0, 2}}, 1.0);
    // lined up with the plot area above, wherever the layout puts it
    const QMarginsF margins = timePlot_t::plotMargins(d->plot->font());
    ruler->setMargins(margins.left(), margins.right(), d->plot);
    ruler->setCaption(tr("min ago"));
    d->layout->addWidget(ruler);
}

timeGraph_t::~timeGraph_t() { delete d; }

void timeGraph_t::setCurrentTimestamp(double time) { d->plot->setNow(time); }

timePlot_t* timeGraph_t::plot() const { return d->plot; }

void timeGraph_t::addFooter(QWidget* widget) { d->layout->addWidget(widget); }

} // namespace belrix_common_qt_gui
