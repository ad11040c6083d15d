#include "graphs/dlgQcGraphs.h"

#include "ui_dlgQcGraphs.h"

#include <belrix_common_qt/dataClock.h>
#include <belrix_common_qt_gui/dialogPage.h>
#include <belrix_common_qt_gui/orvaneDeviceGui.h>
#include <belrix_common_qt_gui/qcGraph.h>
#include <belrix_common_qt_gui/qcGraphsView.h>
#include <tolvconfig/configCodec.h>

#include <QTimer>

namespace orvane {
namespace qc {

using belrix_common_qt_gui::qcGraph_t;
using belrix_common_qt_gui::qcGraphsView_t;

namespace {
const char* const KeySelectedGraph = "selected_graph";
const char* const KeyUpdateGraph = "update_graph";
constexpr int UpdateInterval = 1000;   // ms
} // namespace

class dlgQcGraphs_t::private_t
{
public:
    Ui::dlgQcGraphs ui;
    qcGraphsView_t* graphsView = nullptr;
    QTimer updateTimer;
};

dlgQcGraphs_t::dlgQcGraphs_t(orvane::context_t* context, QWidget* parent)
    : qcDeviceDialog_t(context, parent), d(new private_t)
{
    setIsWindow(true);
    d->ui.setupUi(this);
    d->updateTimer.setObjectName(QStringLiteral("updateTimer"));
    connect(d->ui.toggleUpdateButton, &QPushButton::clicked, this, &dlgQcGraphs_t::toggleUpdate);
    connect(d->ui.infoButton, &QPushButton::clicked, this, &dlgQcGraphs_t::showInfo);
    connect(d->ui.graphCombo, QOverload<int>::of(&QComboBox::currentIndexChanged), this, &dlgQcGraphs_t::selectGraph);
    connect(&d->updateTimer, &QTimer::timeout, this, &dlgQcGraphs_t::updateActiveGraph);

    d->ui.deviceStack->setCurrentWidget(d->ui.blankPage);
    updateInfoButton();
    updateActiveGraph();
    startUpdate();
}

dlgQcGraphs_t::~dlgQcGraphs_t()
{
    // the view dies with the stack below; its signal must not reach a half-destroyed window
    if (d->graphsView)
        disconnect(d->graphsView, nullptr, this, nullptr);
    delete d;
}

bool dlgQcGraphs_t::checkGraphsView()
{
    if (d->graphsView)
        return true;
    belrix_common_qt_gui::orvaneDeviceGui_t* gui = deviceGui();
    if (!gui)
        return false;
    d->graphsView = gui->qcGraphsView();
    if (!d->graphsView)
        return false;
    connect(d->graphsView, &QObject::destroyed, this, &dlgQcGraphs_t::handleGraphsViewDestroyed);

    // filling the combo must not select (and so save) a graph on the user's behalf
    const QSignalBlocker blocker(d->ui.graphCombo);
    d->ui.graphCombo->clear();
    if (d->ui.deviceStack->indexOf(d->graphsView) < 0)
        d->ui.deviceStack->addWidget(d->graphsView);
    d->ui.deviceStack->setCurrentWidget(d->graphsView);
    for (int i = 0; i < d->graphsView->graphCount(); ++i)
        d->ui.graphCombo->addItem(d->graphsView->graphAt(i)->title());
    d->ui.graphCombo->setCurrentIndex(d->graphsView->currentIndex());
    updateInfoButton();
    return true;
}

void dlgQcGraphs_t::updateActiveGraph()
{
    if (!checkGraphsView())
        return;
    const double t = belrix_common_qt::dataTimestamp();
    d->graphsView->setCurrentTimestamp(t);
    if (qcGraph_t* graph = d->graphsView->currentGraph()) {
        if (belrix_common_qt::remoteDevice_t* device = remoteDevice())
            graph->update(device, t);
    }
}

void dlgQcGraphs_t::selectGraph(int index)
{
    if (!checkGraphsView())
        return;
    d->graphsView->setCurrentIndex(index);
    updateInfoButton();
    updateActiveGraph();
    emit configurationModified();
}

void dlgQcGraphs_t::updateInfoButton()
{
    qcGraph_t* graph = d->graphsView ? d->graphsView->currentGraph() : nullptr;
    d->ui.infoButton->setEnabled(graph && graph->infoPage());
}

void dlgQcGraphs_t::showInfo()
{
    if (!checkGraphsView())
        return;
    qcGraph_t* graph = d->graphsView->currentGraph();
    if (!graph || !graph->infoPage())
        return;
    graph->updateInfo();
    graph->infoPage()->show();
    graph->infoPage()->raise();
}

void dlgQcGraphs_t::startUpdate()
{
    d->ui.toggleUpdateButton->setText(tr("Stop Update"));
    d->updateTimer.setInterval(UpdateInterval);
    d->updateTimer.start();
    updateActiveGraph();
}

void dlgQcGraphs_t::stopUpdate()
{
    d->ui.toggleUpdateButton->setText(tr("Start Update"));
    d->updateTimer.stop();
}

void dlgQcGraphs_t::toggleUpdate()
{
    if (!d->updateTimer.isActive())
        startUpdate();
    else
        stopUpdate();
    emit configurationModified();
}

void dlgQcGraphs_t::handleGraphsViewDestroyed() { d->graphsView = nullptr; }

void dlgQcGraphs_t::saveSettings(tolvconfig::config_t& config, int index)
{
    qcDeviceDialog_t::saveSettings(config, index);
    tolvconfig::setValue(config, outputKey(KeySelectedGraph), d->ui.graphCombo->currentText());
    tolvconfig::setValue(config, outputKey(KeyUpdateGraph), d->updateTimer.isActive());
}

void dlgQcGraphs_t::loadSettings(tolvconfig::config_t& config, int index)
{
    if (!checkGraphsView())
        return;
    QString selected;
    tolvconfig::getValue(config, outputKey(KeySelectedGraph), selected);
    if (!selected.isEmpty())
        d->ui.graphCombo->setCurrentIndex(d->ui.graphCombo->findText(selected, Qt::MatchExactly | Qt::MatchCaseSensitive));
    bool update = true;
    if (tolvconfig::getValue(config, outputKey(KeyUpdateGraph), update) && !update)
        stopUpdate();
    qcDeviceDialog_t::loadSettings(config, index);
}

} // namespace qc
} // namespace orvane
