#include <belrix_common_qt/qcDataStore.h>
#include <belrix_common_qt/remoteDevice.h>
#include <belrix_common_qt/remoteNavSat.h>
#include <belrix_common_qt_gui/deviceGraphSet.h>
#include <belrix_common_qt_gui/deviceGraphSettingsDialog.h>
#include <belrix_common_qt_gui/graph.h>
#include <belrix_common_qt_gui/guiSettings.h>
#include <belrix_common_qt_gui/orvaneDeviceGui.h>
#include <belrix_common_qt_gui/qualityGraph.h>
#include <belrix_common_qt_gui/qualitySettings.h>

#include <QtTest>
#include <QtWidgets>

#include <cmath>

using namespace belrix_common_qt;
using namespace belrix_common_qt_gui;

namespace {

constexpr double T0 = 1700000000.0;

void addSat(remoteDevice_t& device, unsigned int number, constellation_t constellation, float level, double time)
{
    remoteNavSat_t sat(number, constellation);
    sat.setElevation({30.0f, time});
    freq_t signal;
    signal.level = level;
    sat.setFreq(0, {signal, time});
    device.setNavSat(sat);
}

QStringList items(QListWidget const* list)
{
    QStringList ids;
    for (int i = 0; i < list->count(); ++i)
        ids << list->item(i)->data(Qt::UserRole).toString();
    return ids;
}

} // namespace

struct read_t { QString id; double age, expected; };   // expected NaN: no value
Q_DECLARE_METATYPE(read_t)

class tst_deviceGraphs : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void cleanup() { guiSettings_t::get()->useDefaults(); }

    // Each identifier reads its own item of the device's data, and nothing 3 s old or older.
    void sourcesReadTheirQuantity_data()
    {
        QTest::addColumn<read_t>("r");
        const double none = std::nan("");
        QTest::newRow("hdop") << read_t{"hdop", 0.0, 1.25};
        QTest::newRow("hdop 2.9 s old") << read_t{"hdop", 2.9, 1.25};
        QTest::newRow("hdop 3 s old") << read_t{"hdop", 3.0, none};
        QTest::newRow("sats_used") << read_t{"sats_used", 0.0, 9.0};
        QTest::newRow("sats_view") << read_t{"sats_view", 0.0, 3.0};
        QTest::newRow("sats_view_glonass") << read_t{"sats_view_glonass", 0.0, 1.0};
        QTest::newRow("sats_view_qzss, none") << read_t{"sats_view_qzss", 0.0, 0.0};
        QTest::newRow("sats 6 s old") << read_t{"sats_view_gps", 6.0, none};
        QTest::newRow("signal_mean") << read_t{"signal_mean", 0.0, 40.0};
        QTest::newRow("semi_minor") << read_t{"semi_minor", 0.0, 0.5};
        QTest::newRow("height_error") << read_t{"height_error", 0.0, none};   // GST left it empty
        QTest::newRow("unit_variance") << read_t{"unit_variance", 0.0, 0.75};
        QTest::newRow("speed in knots") << read_t{"speed", 0.0, 10.0};
    }
    void sourcesReadTheirQuantity()
    {
        QFETCH(read_t, r);
        const double t = T0 - r.age;
        remoteDevice_t device;
        device.setHdop({1.25f, t});
        device.setSatellitesUsed({9u, t});
        device.setSpeedOverGround({float(10.0 * 1852.0 / 3600.0), t});
        addSat(device, 3, constellationGps, 35.0f, t);
        addSat(device, 9, constellationGps, 45.0f, t);
        addSat(device, 70, constellationGlonass, 40.0f, t);
        pseudorangeStats_t stats;
        stats.semiMinor = 0.5f;
        device.setPseudorangeStats({stats, t});
        qcSummary_t summary;
        summary.unitVariance = 0.75f;
        device.qcDataStore()->addSummary(t, summary);
        guiSettings_t::get()->setSpeedUnit(speedUnitKnots);

        deviceGraphSet_t set;
        qualityGraph_t const* source = set.sourceForId(r.id);
        QVERIFY(source);
        const std::optional<double> value = source->value(&device, T0);
        QCOMPARE(bool(value), !std::isnan(r.expected));
        if (value)
            QVERIFY(std::abs(*value - r.expected) < 1e-4);
    }

    // A graph takes one sample per data time, a gap when there is no value, and its bands
    // follow the device's thresholds when they change.
    void graphSamplesOncePerDataTime()
    {
        qualitySettings_t thresholds;
        deviceGraphSet_t set;
        set.setQualitySettings(&thresholds);
        remoteDevice_t device;
        graph_t graph;
        graph.setSource(set.sourceForId(QStringLiteral("hdop")));
        device.setHdop({1.5f, T0});
        graph.update(T0, &device);
        graph.update(T0, &device);
        QCOMPARE(graph.sampleCount(0), 1);
        QCOMPARE(graph.valueText(), QStringLiteral("1.50"));
        graph.update(T0 + 5, &device);
        QCOMPARE(graph.sampleCount(0), 2);
        QVERIFY(std::isnan(graph.newestValue(0)));
        QCOMPARE(graph.valueText(), QStringLiteral("--"));

        thresholds.hdopLess = 8.0f;
        thresholds.hdopGreater = 9.0f;
        graph.update(T0 + 6, &device);
        QCOMPARE(graph.scale().top(), 12.0);   // the good band and half as much again
        graph.setSource(nullptr);
        graph.update(T0 + 7, &device);
        QCOMPARE(graph.sampleCount(0), 0);
    }

    // The chooser adds, moves and removes; what leaves the chosen list returns to its place.
    void settingsDialogChoosesAndOrders()
    {
        deviceGraphSet_t set;
        deviceGraphSettingsDialog_t dialog;
        dialog.setDeviceGraphSet(&set);
        deviceGraphSettings_t start;
        start.addGraphId(graphId_t(QStringLiteral("hdop")));
        start.addGraphId(graphId_t(QStringLiteral("pdop")));
        dialog.setSettings(start);
        auto* available = dialog.findChild<QListWidget*>("availableList");
        auto* chosen = dialog.findChild<QListWidget*>("chosenList");
        auto click = [&dialog](char const* name) { dialog.findChild<QPushButton*>(name)->click(); };
        QCOMPARE(available->count(), set.sources().size() - 2);

        available->setCurrentRow(items(available).indexOf("speed"));
        click("addButton");
        chosen->setCurrentRow(2);
        click("upButton");
        QCOMPARE(dialog.settings().graphIds(), QStringList({"hdop", "speed", "pdop"}));
        chosen->setCurrentRow(0);
        click("downButton");
        chosen->setCurrentRow(0);
        click("removeButton");
        QCOMPARE(dialog.settings().graphIds(), QStringList({"hdop", "pdop"}));
        QCOMPARE(items(available).last(), QStringLiteral("speed"));

        // no more than a window shows
        while (available->count() > 0 && dialog.findChild<QPushButton*>("addButton")->isEnabled()) {
            available->setCurrentRow(0);
            click("addButton");
        }
        QCOMPARE(chosen->count(), int(deviceGraphSet_t::DEFAULT_MAX_USED_GRAPHS));
    }

    // The bundle offers one graph set while the device has a data model, and a new one after
    // its user destroyed it.
    void bundleOffersAGraphSet()
    {
        orvaneDeviceGui_t gui;
        QVERIFY(!gui.graphSet());
        remoteDevice_t device;
        gui.setRemoteDevice(&device);
        QPointer<deviceGraphSet_t> first = gui.graphSet();
        QVERIFY(first);
        QCOMPARE(gui.graphSet(), first.data());
        delete first.data();
        QVERIFY(gui.graphSet());
    }
};

QTEST_MAIN(tst_deviceGraphs)
#include "tst_deviceGraphs.moc"
