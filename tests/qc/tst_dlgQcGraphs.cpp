#include "qcTestFixture.h"

#include "graphs/dlgQcGraphs.h"

#include <belrix_common_qt/dataClock.h>
#include <belrix_common_qt/remoteNavSat.h>
#include <belrix_common_qt_gui/dialogPage.h>
#include <belrix_common_qt_gui/qcGraph.h>
#include <belrix_common_qt_gui/qcGraphsView.h>
#include <belrix_common_qt_gui/skyPlotGraph.h>
#include <belrix_common_qt_gui/skyPlotWidget.h>
#include <tolvconfig/config.h>
#include <tolvconfig/configCodec.h>

#include <QComboBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QStackedWidget>
#include <QtTest>

using belrix_common_qt_gui::qcGraph_t;
using belrix_common_qt_gui::qcGraphsView_t;
using orvane::qc::dlgQcGraphs_t;

namespace {
// A graph that explains nothing.
class bareGraph_t : public qcGraph_t
{
public:
    bareGraph_t() : qcGraph_t(QStringLiteral("Bare")) {}
    using qcGraph_t::update;
    void update(belrix_common_qt::remoteDevice_t*, double) override {}
};
} // namespace

// stored: empty when the key is absent; shown: the graph and the update button's text
struct restored_t { QString selected, update, graph, button; };
Q_DECLARE_METATYPE(restored_t)

class tst_dlgQcGraphs : public QObject
{
    Q_OBJECT

    std::unique_ptr<orvane::context_t> m_context;
    std::unique_ptr<orvane::qc::qcDevice_t> m_device;

    qcGraphsView_t* view() { return m_device->deviceGui()->qcGraphsView(); }
    std::unique_ptr<dlgQcGraphs_t> makeDialog() { return std::make_unique<dlgQcGraphs_t>(m_context.get(), m_device.get()); }
    static QString buttonText(dlgQcGraphs_t& dialog)
    {
        return dialog.findChild<QPushButton*>(QStringLiteral("toggleUpdateButton"))->text();
    }
    static QComboBox* combo(dlgQcGraphs_t& dialog) { return dialog.findChild<QComboBox*>(QStringLiteral("graphCombo")); }

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void init()
    {
        m_context.reset(new orvane::context_t);
        m_device = qcTest::makeDevice(m_context.get(), {0x10});
    }
    void cleanup()
    {
        m_device.reset();
        m_context.reset();
        belrix_common_qt::dataClock_t::useSystemTime();
    }

    void loadRestoresGraphAndUpdating_data()
    {
        QTest::addColumn<restored_t>("r");
        QTest::newRow("nothing stored: first graph, updating") << restored_t{"", "", "Sky Plot", "Stop Update"};
        QTest::newRow("paused") << restored_t{"", "false", "Sky Plot", "Start Update"};
        QTest::newRow("updating") << restored_t{"Range Residuals", "true", "Range Residuals", "Stop Update"};
        QTest::newRow("titles are case-sensitive") << restored_t{"range residuals", "", "", "Stop Update"};
    }
    void loadRestoresGraphAndUpdating()
    {
        QFETCH(restored_t, r);
        auto dialog = makeDialog();
        tolvconfig::config_t config;
        if (!r.selected.isEmpty())
            tolvconfig::setValue(config, dialog->outputKey("selected_graph"), r.selected);
        if (!r.update.isEmpty())
            tolvconfig::setValue(config, dialog->outputKey("update_graph"), r.update == QLatin1String("true"));
        dialog->loadSettings(config, -1);
        QCOMPARE(combo(*dialog)->currentText(), r.graph);
        QCOMPARE(buttonText(*dialog), r.button);
        if (!r.graph.isEmpty())
            QCOMPARE(view()->currentGraph()->title(), r.graph);

        // a toggle asks the host to save, and is saved
        QSignalSpy modified(dialog.get(), &dlgQcGraphs_t::configurationModified);
        dialog->findChild<QPushButton*>(QStringLiteral("toggleUpdateButton"))->click();
        const bool updating = r.button == QLatin1String("Start Update");
        bool stored = !updating;
        tolvconfig::config_t saved;
        dialog->saveSettings(saved, -1);
        QVERIFY(tolvconfig::getValue(saved, dialog->outputKey("update_graph"), stored));
        QCOMPARE(stored, updating);
        QCOMPARE(modified.count(), 1);
    }

    void infoButtonFollowsTheGraph()
    {
        view()->addGraph(new bareGraph_t);
        auto dialog = makeDialog();
        auto* info = dialog->findChild<QPushButton*>(QStringLiteral("infoButton"));
        QVERIFY(info->isEnabled());
        combo(*dialog)->setCurrentText(QStringLiteral("Bare"));
        QVERIFY(!info->isEnabled());
        combo(*dialog)->setCurrentIndex(0);
        QVERIFY(info->isEnabled());
        info->click();
        QVERIFY(view()->currentGraph()->infoPage()->isVisible());
    }

    // the timer's slot feeds the current graph, from a view the device makes again
    void updatesFindANewViewAfterTheOldIsGone()
    {
        auto dialog = makeDialog();
        belrix_common_qt::dataClock_t::setTime(1000.0);
        belrix_common_qt::remoteNavSat_t sat(7, belrix_common_qt::constellationGps);
        sat.setAzimuth({90.0f, 1000.0});
        sat.setElevation({45.0f, 1000.0});
        m_device->remoteDevice()->setNavSat(sat);

        delete view();
        QVERIFY(QMetaObject::invokeMethod(dialog.get(), "updateActiveGraph"));
        qcGraphsView_t* fresh = view();
        QCOMPARE(dialog->findChild<QStackedWidget*>(QStringLiteral("deviceStack"))->currentWidget(), fresh);
        QCOMPARE(combo(*dialog)->count(), fresh->graphCount());
        auto* sky = qobject_cast<belrix_common_qt_gui::skyPlotGraph_t*>(fresh->currentGraph());
        QVERIFY(sky);
        QCOMPARE(sky->plot()->satellites().size(), 1);
    }
};

QTEST_MAIN(tst_dlgQcGraphs)
#include "tst_dlgQcGraphs.moc"
