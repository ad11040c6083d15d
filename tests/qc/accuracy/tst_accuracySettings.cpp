#include "accuracyFixture.h"

#include "accuracy/autoRange.h"
#include "accuracy/dlgErrorEllipseConfig.h"
#include "accuracy/plotRangeControl.h"
#include "accuracy/positionComparisonConfigSettings.h"

#include <belrix_common_qt_gui/distanceEdit.h>
#include <belrix_common_qt_gui/errorEllipseWidget.h>

using namespace accuracyTest;
using namespace orvane::qc;

namespace {

std::string key(std::string const& name) { return "w." + name; }

// A configuration holding the given keys ("-" leaves a key out).
tolvconfig::config_t config(QStringList const& names, QStringList const& values)
{
    tolvconfig::config_t config;
    for (int i = 0; i < names.size(); ++i)
        if (values.at(i) != QLatin1String("-"))
            config.setValue(key(names.at(i).toStdString()), values.at(i).toStdString());
    return config;
}

const QStringList PlotKeys{"range", "auto_scale", "labels"};
const double Short[] = {1.0, 5.0, 0.0};

// the least a window does to host a range control
class rangeHost_t : public QWidget
{
public:
    plotRangeControl_t<errorEllipseConfigSettings_t, dlgErrorEllipseConfig_t> range;
    QDialogButtonBox buttons;
    QLabel caption;
    belrix_common_qt_gui::errorEllipseWidget_t plot;

    rangeHost_t()
    {
        range.attach(this, &buttons, &caption, &plot, new dlgErrorEllipseConfig_t(this), key,
                     plotRangeSettings_t::labelsRequired);
    }
    void showConfigSettings() { range.showDialog(); }
    void getNewConfigSettings() { range.setSettings(range.dialogSettings()); }
    void updateRange() { range.updateCaption(); }
};

} // namespace

// A range table, a size, and what autoRangeFor and autoRangeAbove make of it.
struct table_t { quintptr table; double size, following, above; };
Q_DECLARE_METATYPE(table_t)

// A size, and the ranges follow() and rangeToFit() (0: none) give from 5 m.
struct control_t { bool autoScale; double size, followed, fit; };
Q_DECLARE_METATYPE(control_t)

// The stored range, auto_scale and labels, and what loading makes of them.
struct loading_t { QString stored; bool labelsRequired, loaded; QList<double> read; };
Q_DECLARE_METATYPE(loading_t)

struct centre_t { QString device, lat, lon; bool valid; };
Q_DECLARE_METATYPE(centre_t)

class tst_accuracySettings : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { guiSettings_t::get()->useDefaults(); }

    void autoRange_data()
    {
        QTest::addColumn<table_t>("t");

        const auto standard = quintptr(belrix_common_qt::GRAPH_AUTO_RANGE_VALUES);
        QTest::newRow("at an entry goes to the next") << table_t{standard, 1.0, 2.0, 2.0};
        QTest::newRow("at the largest entry") << table_t{standard, 100000.0, 100000.0, 0.0};
        QTest::newRow("short table, beyond") << table_t{quintptr(Short), 7.0, 5.0, 0.0};
        QTest::newRow("no table") << table_t{quintptr(0), 1.0, 0.0, 0.0};
    }

    void autoRange()
    {
        QFETCH(table_t, t);
        auto const* entries = reinterpret_cast<double const*>(t.table);
        QCOMPARE(autoRangeFor(t.size, entries), t.following);
        QCOMPARE(autoRangeAbove(t.size, entries), t.above);
    }

    void rangeControl_data()
    {
        QTest::addColumn<control_t>("c");

        QTest::newRow("auto, larger: both grow") << control_t{true, 7.0, 10.0, 10.0};
        QTest::newRow("auto, at the range: only follow moves") << control_t{true, 5.0, 10.0, 5.0};
        QTest::newRow("auto, smaller: only follow shrinks") << control_t{true, 0.3, 0.5, 5.0};
        QTest::newRow("fixed range holds") << control_t{false, 70.0, 5.0, 5.0};
    }

    void rangeControl()
    {
        QFETCH(control_t, c);

        rangeHost_t host;
        errorEllipseConfigSettings_t settings;
        settings.range = 5.0;
        settings.autoScale = c.autoScale;
        host.range.setSettings(settings);
        QCOMPARE(host.range.rangeToFit(c.size).value_or(0.0), c.fit);
        host.range.follow(c.size);
        QCOMPARE(host.range.settings().range, c.followed);
        QCOMPARE(host.plot.range(), c.followed);
        const QString prefix = c.autoScale ? QStringLiteral("(Auto) ") : QString();
        QCOMPARE(host.caption.text(), prefix + QString::number(c.followed, 'f', 2) + " m");
    }

    void rangeDialogEditsACopy()
    {
        guiSettings_t::get()->setDistanceUnit(belrix_common_qt::distanceUnitUsSurveyFeet);
        rangeHost_t host;
        host.buttons.findChild<QPushButton*>("settingsButton")->click();
        auto* dialog = host.range.dialog();
        dialog->findChild<QComboBox*>("autoCombo")->setCurrentIndex(0);
        dialog->findChild<belrix_common_qt_gui::distanceEdit_t*>("rangeEdit")->setValue(100.0);   // in the unit shown
        dialog->findChild<QComboBox*>("labelsCombo")->setCurrentIndex(2);
        QCOMPARE(host.range.settings(), errorEllipseConfigSettings_t());
        dialog->findChild<QDialogButtonBox*>("buttonBox")->button(QDialogButtonBox::Ok)->click();
        QVERIFY(close(host.range.settings().range, 30.48006096, 1e-6));
        QCOMPARE(host.plot.graphLabelType(), 2);
        QCOMPARE(host.caption.text(), QStringLiteral("100.00 ftUS"));
    }

    void plotRangeLoading_data()
    {
        QTest::addColumn<loading_t>("l");

        // the record starts as 7 m, auto off, vertical labels, so "unchanged" shows
        QTest::newRow("all keys") << loading_t{"25.00 false Horizontal", true, true, QList<double>{25.0, 0, 1}};
        QTest::newRow("range zero takes 1 m") << loading_t{"0.00 false Vertical", true, true, QList<double>{1.0, 0, 2}};
        QTest::newRow("no range: nothing") << loading_t{"- true None", false, false, QList<double>{7.0, 0, 2}};
        QTest::newRow("no auto_scale: nothing") << loading_t{"5.00 - None", false, false, QList<double>{7.0, 0, 2}};
        QTest::newRow("labels optional, absent") << loading_t{"5.00 true -", false, true, QList<double>{5.0, 1, 0}};
        QTest::newRow("labels required, absent") << loading_t{"5.00 true -", true, false, QList<double>{7.0, 0, 2}};
    }

    void plotRangeLoading()
    {
        QFETCH(loading_t, l);

        errorEllipseConfigSettings_t settings;
        settings.range = 7.0;
        settings.autoScale = false;
        settings.labels = 2;
        QCOMPARE(settings.load(config(PlotKeys, l.stored.split(QLatin1Char(' '))), key,
                               l.labelsRequired ? plotRangeSettings_t::labelsRequired : plotRangeSettings_t::labelsOptional),
                 l.loaded);
        QCOMPARE((QList<double>{settings.range, double(settings.autoScale), double(settings.labels)}), l.read);

        // what is written reads back the same, the range with two decimals
        errorEllipseConfigSettings_t written = settings, reread;
        written.range += 0.004;
        tolvconfig::config_t out;
        written.save(out, key);
        QVERIFY(reread.load(out, key, plotRangeSettings_t::labelsRequired));
        QCOMPARE(reread, settings);
    }

    void comparisonCentreLoading_data()
    {
        QTest::addColumn<centre_t>("c");

        // written with 12 decimals, the bounds round outwards and still read as the bounds
        QTest::newRow("at the pole and the date line") << centre_t{"-", "1.570796326795", "-3.141592653590", true};
        QTest::newRow("just beyond the rounding") << centre_t{"-", "1.570796326797", "3.141592653592", false};
        // the device wins over centre keys, even one that is gone
        QTest::newRow("port of no device: no centre either") << centre_t{"9", "0.5", "0.5", false};
    }

    void comparisonCentreLoading()
    {
        QFETCH(centre_t, c);

        const QStringList names = PlotKeys + QStringList{"active_device", "center_lat", "center_lon"};
        positionComparisonConfigSettings_t settings;
        QVERIFY(settings.load(config(names, {"10.00", "true", "None", c.device, c.lat, c.lon}), key));
        QVERIFY(!settings.activeDevice);
        QCOMPARE(QList<bool>({settings.center.latValid, settings.center.lonValid}), QList<bool>({c.valid, c.valid}));
        if (c.valid)
            QVERIFY(close(settings.center.lat, c.lat.toDouble(), 1e-12));
    }
};

QTEST_MAIN(tst_accuracySettings)
#include "tst_accuracySettings.moc"
