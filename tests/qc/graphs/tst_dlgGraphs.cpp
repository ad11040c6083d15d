#include "graphs/dlgGraphs.h"

#include <belrix_common_qt/dataClock.h>
#include <belrix_common_qt/remoteDevice.h>
#include <belrix_common_qt/remotePort.h>
#include <belrix_common_qt_gui/deviceGraphSet.h>
#include <belrix_common_qt_gui/deviceGraphSettingsDialog.h>
#include <belrix_common_qt_gui/graph.h>
#include <belrix_common_qt_gui/orvaneDeviceGui.h>
#include <belrix_common_qt_gui/qualityGraph.h>
#include <orvane/context.h>
#include <orvane/device.h>
#include <tolvcommon_qt_gui/ruler.h>
#include <tolvconfig/config.h>
#include <tolvconfig/configCodec.h>

#include <QtTest>
#include <QtWidgets>

#include <memory>

using namespace orvane::qc;
using namespace belrix_common_qt_gui;
using belrix_common_qt::dataClock_t;

namespace {

constexpr double T0 = 1700000000.0;

// A receiver and its graphs window, as the QC device makes them.
struct fixture_t {
    std::unique_ptr<orvane::context_t> context{new orvane::context_t};
    std::unique_ptr<orvane::device_t> device;
    dlgGraphs_t* window = nullptr;

    fixture_t()
    {
        dataClock_t::setTime(T0);
        device.reset(new orvane::device_t(context.get(), QStringLiteral("GNSS 1"), nullptr));
        device->setPort(new belrix_common_qt::remotePort_t);
        window = new dlgGraphs_t(context.get(), device.get());
    }
    ~fixture_t()
    {
        device.reset();
        dataClock_t::useSystemTime();
    }

    QList<graph_t*> graphs() const { return window->findChildren<graph_t*>(); }
    // The identifiers the shown graphs show, top to bottom.
    QStringList shown() const
    {
        QStringList ids;
        for (graph_t* graph : graphs()) {
            if (!graph->isHidden())
                ids << (graph->source() ? graph->source()->id() : QStringLiteral("?"));
        }
        return ids;
    }
    std::string key(int i) const { return window->outputKey("graph_type_" + std::to_string(i)); }
    void tick(double t)
    {
        dataClock_t::setTime(t);
        device->remoteDevice()->setHdop({1.5f, t});
        window->handleClockTimeout();
    }
};

QStringList defaultIds()
{
    return deviceGraphSet_t().defaultGraphIds();
}

} // namespace

class tst_dlgGraphs : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    // Stored identifiers bind to the graphs from the top: unknown ones are skipped, a missing
    // index ends the list, more than the window holds are ignored, none at all gives the defaults.
    void storedGraphsBindInOrder_data()
    {
        QTest::addColumn<QStringList>("stored");   // "" leaves that index's key out
        QTest::addColumn<QStringList>("shown");
        const QStringList many{"hdop", "nosuch", "pdop", "vdop", "sats_used", "speed", "corr_age", "semi_major"};
        QTest::newRow("A,X,B") << QStringList{"hdop", "nosuch", "pdop"} << QStringList{"hdop", "pdop"};
        QTest::newRow("gap at 1") << QStringList{"hdop", "", "pdop"} << QStringList{"hdop"};
        QTest::newRow("surplus") << many << QStringList{"hdop", "pdop", "vdop", "sats_used", "speed"};
        QTest::newRow("only unknown") << QStringList{"nosuch"} << QStringList{};
        QTest::newRow("no key") << QStringList{} << defaultIds();
    }
    void storedGraphsBindInOrder()
    {
        QFETCH(QStringList, stored);
        QFETCH(QStringList, shown);
        fixture_t f;
        tolvconfig::config_t config;
        for (int i = 0; i < stored.size(); ++i) {
            if (!stored[i].isEmpty())
                tolvconfig::setValue(config, f.key(i), stored[i]);
        }
        f.window->loadSettings(config, 0);
        QCOMPARE(f.shown(), shown);

        // saved: the chosen identifiers in their order, as many as graphs are shown
        const QStringList chosen = stored.isEmpty() ? defaultIds() : stored.mid(0, stored.indexOf(QString()));
        tolvconfig::config_t saved;
        f.window->saveSettings(saved, 0);
        QStringList written;
        for (int i = 0; saved.hasKey(f.key(i)); ++i) {
            QString id;
            tolvconfig::getValue(saved, f.key(i), id);
            written << id;
        }
        QCOMPARE(written, chosen.mid(0, shown.size()));
    }

    // Without a data model there is no graph set: nothing is read and ticks do nothing.
    void withoutGraphSetNothingIsRead()
    {
        fixture_t f;
        f.device->setPort(nullptr);
        tolvconfig::config_t config;
        tolvconfig::setValue(config, f.key(0), QStringLiteral("pdop"));
        f.window->loadSettings(config, 0);
        f.window->handleClockTimeout();
        QCOMPARE(f.shown(), QStringList());
        f.device->setPort(new belrix_common_qt::remotePort_t);
        f.window->handleClockTimeout();
        QCOMPARE(f.shown(), defaultIds());
    }

    // A resize clears the graphs once, 500 ms after the last resize event, so they restart at the new size.
    void resizeClearsOnceAfterTheLastResize()
    {
        fixture_t f;
        f.tick(T0);
        f.tick(T0 + 1);
        graph_t* hdop = f.graphs().at(defaultIds().indexOf("hdop"));
        QCOMPARE(hdop->sampleCount(0), 2);
        auto* timer = f.window->findChild<QTimer*>("resizeTimer");
        QVERIFY(timer);
        for (int width : {620, 640, 660}) {
            QResizeEvent event(QSize(width, 546), QSize(610, 546));
            QApplication::sendEvent(f.window, &event);
        }
        QVERIFY(timer->isActive());
        QCOMPARE(timer->interval(), 500);
        QCOMPARE(hdop->sampleCount(0), 2);
        QMetaObject::invokeMethod(timer, "timeout");
        QCOMPARE(hdop->sampleCount(0), 0);
        QVERIFY(!timer->isActive());
        f.tick(T0 + 2);
        QCOMPARE(hdop->sampleCount(0), 1);
    }

    // The ruler's 30 and 0 minutes stand under the ends of the graphs' plot areas, at any width.
    void rulerLinesUpWithThePlots_data()
    {
        QTest::addColumn<int>("width");
        QTest::newRow("initial") << 610;
        QTest::newRow("narrow") << 400;
        QTest::newRow("wide") << 1200;
    }
    void rulerLinesUpWithThePlots()
    {
        QFETCH(int, width);
        fixture_t f;
        f.window->handleClockTimeout();
        f.window->resize(width, 546);
        f.window->show();
        QVERIFY(QTest::qWaitForWindowExposed(f.window));
        auto* ruler = f.window->findChild<tolvcommon_qt_gui::ruler_t*>("timeRuler");
        graph_t* top = f.graphs().front();
        const QRectF plot = top->scale().plot();
        auto rulerX = [&](double x) { return ruler->mapFromGlobal(top->mapToGlobal(QPoint(int(x), 0))).x(); };
        QVERIFY(std::abs(ruler->valueToX(30.0) - rulerX(plot.left())) <= 1.0);
        QVERIFY(std::abs(ruler->valueToX(0.0) - rulerX(plot.right())) <= 1.0);
    }

    // OK in the graph settings applies the choice and asks the host to save; Cancel does neither.
    void okAppliesAndMarksModifiedCancelDoesNot()
    {
        for (auto button : {QDialogButtonBox::Ok, QDialogButtonBox::Cancel}) {
            fixture_t f;
            f.window->handleClockTimeout();
            QSignalSpy spy(f.window, &dlgGraphs_t::configurationModified);
            f.window->findChild<QPushButton*>("settingsButton")->click();
            auto* dialog = f.window->findChild<deviceGraphSettingsDialog_t*>();
            QVERIFY(dialog->isVisible());
            dialog->findChild<QListWidget*>("chosenList")->setCurrentRow(0);
            dialog->findChild<QPushButton*>("removeButton")->click();
            dialog->findChild<QDialogButtonBox*>("buttonBox")->button(button)->click();
            const bool ok = button == QDialogButtonBox::Ok;
            QCOMPARE(spy.count(), ok ? 1 : 0);
            QCOMPARE(f.shown(), ok ? defaultIds().mid(1) : defaultIds());
        }
    }
};

QTEST_MAIN(tst_dlgGraphs)
#include "tst_dlgGraphs.moc"
