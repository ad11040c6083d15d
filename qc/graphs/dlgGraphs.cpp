#include "graphs/dlgGraphs.h"

#include "ui_dlgGraphs.h"

#include <belrix_common_qt/dataClock.h>
#include <belrix_common_qt_gui/deviceGraphSet.h>
#include <belrix_common_qt_gui/deviceGraphSettingsDialog.h>
#include <belrix_common_qt_gui/graph.h>
#include <belrix_common_qt_gui/orvaneDeviceGui.h>
#include <belrix_common_qt_gui/qualityGraph.h>
#include <tolvconfig/configCodec.h>

#include <QDialogButtonBox>
#include <QPushButton>
#include <QTimer>

#include <vector>

namespace orvane {
namespace qc {

using namespace belrix_common_qt_gui;

namespace {

const std::string GraphTypeKey = "graph_type_";
constexpr int ResizeDelay = 500;   // ms after the last resize event

} // namespace

class dlgGraphs_t::private_t
{
public:
    Ui::dlgGraphs ui;
    QPushButton* settingsButton = nullptr;
    deviceGraphSettingsDialog_t* settingsDialog = nullptr;
    deviceGraphSettings_t settings;
    std::vector<graph_t*> graphs;
    deviceGraphSet_t* graphSet = nullptr;
    QTimer resizeTimer;
};

dlgGraphs_t::dlgGraphs_t(orvane::context_t* context, QWidget* parent)
    : qcDeviceDialog_t(context, parent), d(new private_t)
{
    setIsWindow(true);
    d->ui.setupUi(this);
    d->settingsButton = new QPushButton(tr("Settings"), this);
    d->settingsButton->setObjectName(QStringLiteral("settingsButton"));
    d->ui.buttonBox->addButton(d->settingsButton, QDialogButtonBox::ActionRole);
    d->settingsDialog = new deviceGraphSettingsDialog_t(this);
    d->settingsDialog->setObjectName(QStringLiteral("settingsDialog"));

    for (unsigned int i = 0; i < deviceGraphSet_t::DEFAULT_MAX_USED_GRAPHS; ++i) {
        auto* graph = new graph_t(d->ui.graphGroup);
        graph->setObjectName(QStringLiteral("graph%1").arg(i));
        graph->hide();
        d->ui.graphLayout->addWidget(graph, 1);
        d->graphs.push_back(graph);
    }

    tolvcommon_qt_gui::ruler_t* ruler = d->ui.timeRuler;
    ruler->axisLocation(0);
    ruler->interactive(false);
    ruler->range(0.0, 30.0);
    ruler->showMinorTicks(true);
    ruler->invert(true);
    ruler->tickTable({{5.0, 5}}, 1.0);
    // the scale lines up with the graphs' plot areas above it, wherever the layouts put them
    const QMarginsF margins = timePlot_t::plotMargins(d->graphs.front()->font());
    ruler->setMargins(margins.left(), margins.right(), d->graphs.front());
    ruler->setCaption(tr("min ago"));

    d->resizeTimer.setObjectName(QStringLiteral("resizeTimer"));
    d->resizeTimer.setParent(this);
    d->resizeTimer.setSingleShot(true);

    connect(d->settingsButton, &QPushButton::clicked, this, &dlgGraphs_t::showConfigSettings);
    connect(d->settingsDialog, &QDialog::accepted, this, &dlgGraphs_t::getNewConfigSettings);
    connect(&d->resizeTimer, &QTimer::timeout, this, &dlgGraphs_t::updateResize);
}

dlgGraphs_t::~dlgGraphs_t()
{
    // the timer is a member and a child: take it from the children before it goes with d
    d->resizeTimer.setParent(nullptr);
    delete d;
}

bool dlgGraphs_t::checkGraphSet()
{
    if (d->graphSet)
        return true;
    orvaneDeviceGui_t* gui = deviceGui();
    if (!gui)
        return false;
    d->graphSet = gui->graphSet();
    if (!d->graphSet)
        return false;
    connect(d->graphSet, &QObject::destroyed, this, &dlgGraphs_t::handleGraphSetDestroyed);
    initializeGraphIds();
    return true;
}

void dlgGraphs_t::initializeGraphIds()
{
    if (d->graphSet)
        d->settingsDialog->setDeviceGraphSet(d->graphSet);
    if (d->settings.count() == 0)
        useDefaults();
}

void dlgGraphs_t::clear()
{
    for (graph_t* graph : d->graphs)
        graph->clear();
}

void dlgGraphs_t::setConfigSettings(deviceGraphSettings_t settings)
{
    d->settings = settings;
    for (graph_t* graph : d->graphs)
        graph->setSource(nullptr);
    // the first sources the settings name and the set offers, in order; unknown ones are skipped
    int k = 0;
    for (graph_t* graph : d->graphs) {
        qualityGraph_t* source = nullptr;
        while (d->graphSet && k < d->settings.count() && !source) {
            source = d->graphSet->sourceForId(d->settings.graphId(k).graphId());
            if (!source)
                ++k;
        }
        if (!source)
            break;
        graph->setSource(source);
        ++k;
    }
    for (graph_t* graph : d->graphs)
        graph->setVisible(graph->source() != nullptr);
    clear();
}

void dlgGraphs_t::handleClockTimeout()
{
    if (!checkGraphSet())
        return;
    belrix_common_qt::remoteDevice_t* device = remoteDevice();
    if (!device)
        return;
    const double t = belrix_common_qt::dataTimestamp();
    for (graph_t* graph : d->graphs)
        graph->update(t, device);
}

void dlgGraphs_t::resizeEvent(QResizeEvent* event)
{
    qcDeviceDialog_t::resizeEvent(event);
    d->resizeTimer.start(ResizeDelay);
}

void dlgGraphs_t::updateResize()
{
    if (d->resizeTimer.isActive())
        d->resizeTimer.stop();
    clear();
}

void dlgGraphs_t::showConfigSettings()
{
    d->settingsDialog->setSettings(d->settings);
    d->settingsDialog->show();
}

void dlgGraphs_t::getNewConfigSettings()
{
    setConfigSettings(d->settingsDialog->settings());
    emit configurationModified();
}

void dlgGraphs_t::handleGraphSetDestroyed()
{
    d->graphSet = nullptr;
    d->settings.clear();
}

void dlgGraphs_t::saveSettings(tolvconfig::config_t& config, int index)
{
    qcDeviceDialog_t::saveSettings(config, index);
    // The chosen identifiers as they stand, one per graph shown: an identifier this version
    // does not know is kept for a version that does.
    for (size_t i = 0; i < d->graphs.size() && d->graphs[i]->source(); ++i)
        tolvconfig::setValue(config, outputKey(GraphTypeKey + std::to_string(i)),
                             d->settings.graphId(int(i)).graphId());
}

void dlgGraphs_t::loadSettings(tolvconfig::config_t& config, int index)
{
    if (!checkGraphSet())
        return;
    deviceGraphSettings_t settings(d->graphSet);
    settings.clear();
    for (size_t i = 0; i < d->graphs.size(); ++i) {
        QString id;
        tolvconfig::getValue(config, outputKey(GraphTypeKey + std::to_string(i)), id);
        if (id.isEmpty())
            break;
        settings.addGraphId(graphId_t(id));
    }
    if (settings.count() == 0)
        useDefaults();
    else
        setConfigSettings(settings);
    qcDeviceDialog_t::loadSettings(config, index);
}

void dlgGraphs_t::useDefaults() { setConfigSettings(deviceGraphSettings_t(d->graphSet)); }

} // namespace qc
} // namespace orvane
