#include "accuracyFixture.h"

#include "accuracy/autoRange.h"
#include "accuracy/dlgErrorEllipseConfig.h"
#include "accuracy/plotRangeControl.h"
#include "accuracy/positionComparisonConfigSettings.h"

#include <belrix_common_qt_gui/distanceEdit.h>
#include <belrix_common_qt_gui/errorEllipseWidget.h>

#include <limits>

using namespace accuracyTest;
using namespace orvane::qc;

namespace {

std::string key(std::string const& name) { return "w." + name; }

// A configuration holding the given keys ("-" leaves a key out).
tolvconfig::config_t config(QStringList const& names, QStringList const& values)
{
    tolvconfig::config_t config;
    for (int i = 0; i < names.size(); ++i) {
        if (values.at(i) != QLatin1String("-"))
            config.setValue(key(names.at(i).toStdString()), values.at(i).toStdString());
    }
    return config;
}

const QStringList PlotKeys{"range", "auto_scale", "labels"};
const double Empty[] = {0.0};
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

class tst_accuracySettings : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void cleanup() { guiSettings_t::get()->useDefaults(); }

    void autoRange_data();
    void autoRange();
    void rangeControl_data();
    void rangeControl();
    void rangeDialogEditsACopy();
    void plotRangeLoading_data();
    void plotRangeLoading();
    void comparisonCentreLoading_data();
    void comparisonCentreLoading();
};

void tst_accuracySettings::autoRange_data()
{
    QTest::addColumn<quintptr>("table");
    QTest::addColumn<double>("size");
    QTest::addColumn<double>("following");   // autoRangeFor
    QTest::addColumn<double>("above");       // autoRangeAbove

    const auto standard = quintptr(belrix_common_qt::GRAPH_AUTO_RANGE_VALUES);
    QTest::newRow("below the first entry") << standard << 0.001 << 0.01 << 0.01;
    QTest::newRow("at an entry goes to the next") << standard << 1.0 << 2.0 << 2.0;
    QTest::newRow("just below the largest") << standard << 99999.0 << 100000.0 << 100000.0;
    QTest::newRow("at the largest entry") << standard << 100000.0 << 100000.0 << 0.0;
    QTest::newRow("beyond every entry") << standard << 250000.0 << 100000.0 << 0.0;
    QTest::newRow("not a number") << standard << std::numeric_limits<double>::quiet_NaN() << 100000.0 << 0.0;
    QTest::newRow("empty table") << quintptr(Empty) << 3.0 << 0.0 << 0.0;
    QTest::newRow("short table, beyond") << quintptr(Short) << 7.0 << 5.0 << 0.0;
    QTest::newRow("no table") << quintptr(0) << 1.0 << 0.0 << 0.0;
}

void tst_accuracySettings::autoRange()
{
    QFETCH(quintptr, table);
    QFETCH(double, size);
    QFETCH(double, following);
    QFETCH(double, above);
    auto const* entries = reinterpret_cast<double const*>(table);
    QCOMPARE(autoRangeFor(size, entries), following);
    QCOMPARE(autoRangeAbove(size, entries), above);
}

void tst_accuracySettings::rangeControl_data()
{
    QTest::addColumn<bool>("autoScale");
    QTest::addColumn<double>("size");
    QTest::addColumn<double>("followed");   // follow() from 5 m
    QTest::addColumn<double>("fit");        // rangeToFit() from 5 m, 0 for none

    QTest::newRow("auto, larger: both grow") << true << 7.0 << 10.0 << 10.0;
    QTest::newRow("auto, at the range: only follow moves") << true << 5.0 << 10.0 << 5.0;
    QTest::newRow("auto, smaller: only follow shrinks") << true << 0.3 << 0.5 << 5.0;
    QTest::newRow("auto, beyond every range") << true << 250000.0 << 100000.0 << 0.0;
    QTest::newRow("fixed range holds") << false << 70.0 << 5.0 << 5.0;
}

void tst_accuracySettings::rangeControl()
{
    QFETCH(bool, autoScale);
    QFETCH(double, size);
    QFETCH(double, followed);
    QFETCH(double, fit);

    rangeHost_t host;
    errorEllipseConfigSettings_t settings;
    settings.range = 5.0;
    settings.autoScale = autoScale;
    host.range.setSettings(settings);
    QCOMPARE(host.range.rangeToFit(size).value_or(0.0), fit);
    host.range.follow(size);
    QCOMPARE(host.range.settings().range, followed);
    QCOMPARE(host.plot.range(), followed);
    const QString prefix = autoScale ? QStringLiteral("(Auto) ") : QString();
    QCOMPARE(host.caption.text(), prefix + QString::number(followed, 'f', 2) + " m");
    guiSettings_t::get()->setDistanceUnit(belrix_common_qt::distanceUnitUsSurveyFeet);
    QVERIFY(host.caption.text().startsWith(prefix) && host.caption.text().endsWith(" ftUS"));
}

void tst_accuracySettings::rangeDialogEditsACopy()
{
    guiSettings_t::get()->setDistanceUnit(belrix_common_qt::distanceUnitUsSurveyFeet);
    rangeHost_t host;
    host.buttons.findChild<QPushButton*>("settingsButton")->click();
    auto* dialog = host.range.dialog();
    QVERIFY(dialog->isVisible());
    auto* rangeEdit = dialog->findChild<belrix_common_qt_gui::distanceEdit_t*>("rangeEdit");
    QVERIFY(!rangeEdit->isEnabled());   // auto scale picks the range
    dialog->findChild<QComboBox*>("autoCombo")->setCurrentIndex(0);
    QVERIFY(rangeEdit->isEnabled());
    rangeEdit->setValue(100.0);   // typed in the unit shown
    dialog->findChild<QComboBox*>("labelsCombo")->setCurrentIndex(2);
    QCOMPARE(host.range.settings(), errorEllipseConfigSettings_t());
    dialog->findChild<QDialogButtonBox*>("buttonBox")->button(QDialogButtonBox::Ok)->click();
    QVERIFY(!dialog->isVisible());
    QVERIFY(close(host.range.settings().range, 30.48006096, 1e-6));
    QVERIFY(!host.range.settings().autoScale);
    QCOMPARE(host.plot.graphLabelType(), 2);
    QCOMPARE(host.caption.text(), QStringLiteral("100.00 ftUS"));
}

void tst_accuracySettings::plotRangeLoading_data()
{
    QTest::addColumn<QStringList>("stored");   // range, auto_scale, labels
    QTest::addColumn<bool>("labelsRequired");
    QTest::addColumn<bool>("loaded");
    QTest::addColumn<double>("range");
    QTest::addColumn<bool>("autoScale");
    QTest::addColumn<int>("labels");

    // the record starts as 7 m, auto off, vertical labels, so "unchanged" shows
    QTest::newRow("all keys") << QStringList{"25.00", "false", "Horizontal"} << true << true << 25.0 << false << 1;
    QTest::newRow("range zero takes 1 m") << QStringList{"0.00", "false", "Vertical"} << true << true << 1.0 << false << 2;
    QTest::newRow("no range: nothing") << QStringList{"-", "true", "None"} << false << false << 7.0 << false << 2;
    QTest::newRow("no auto_scale: nothing") << QStringList{"5.00", "-", "None"} << false << false << 7.0 << false << 2;
    QTest::newRow("labels optional, absent") << QStringList{"5.00", "true", "-"} << false << true << 5.0 << true << 0;
    QTest::newRow("labels required, absent") << QStringList{"5.00", "true", "-"} << true << false << 7.0 << false << 2;
}

void tst_accuracySettings::plotRangeLoading()
{
    QFETCH(QStringList, stored);
    QFETCH(bool, labelsRequired);
    QFETCH(bool, loaded);
    QFETCH(double, range);
    QFETCH(bool, autoScale);
    QFETCH(int, labels);

    errorEllipseConfigSettings_t settings;
    settings.range = 7.0;
    settings.autoScale = false;
    settings.labels = 2;
    QCOMPARE(settings.load(config(PlotKeys, stored), key,
                           labelsRequired ? plotRangeSettings_t::labelsRequired : plotRangeSettings_t::labelsOptional),
             loaded);
    QCOMPARE(settings.range, range);
    QCOMPARE(settings.autoScale, autoScale);
    QCOMPARE(settings.labels, labels);

    // what is written reads back the same, the range with two decimals
    errorEllipseConfigSettings_t written = settings, reread;
    written.range += 0.004;
    tolvconfig::config_t out;
    written.save(out, key);
    QVERIFY(reread.load(out, key, plotRangeSettings_t::labelsRequired));
    QCOMPARE(reread, settings);
}

void tst_accuracySettings::comparisonCentreLoading_data()
{
    QTest::addColumn<QString>("device");
    QTest::addColumn<QString>("lat");
    QTest::addColumn<QString>("lon");
    QTest::addColumn<bool>("latValid");
    QTest::addColumn<bool>("lonValid");

    QTest::newRow("inside") << "-" << "1.000000000000" << "0.200000000000" << true << true;
    // written with 12 decimals, the bounds round outwards and still read as the bounds
    QTest::newRow("at the pole and the date line") << "-" << "1.570796326795" << "-3.141592653590" << true << true;
    QTest::newRow("just beyond the rounding") << "-" << "1.570796326797" << "3.141592653592" << false << false;
    QTest::newRow("no latitude key") << "-" << "-" << "0.2" << false << true;
    // the device wins over centre keys, even one that is gone
    QTest::newRow("port of no device: no centre either") << "9" << "0.5" << "0.5" << false << false;
}

void tst_accuracySettings::comparisonCentreLoading()
{
    QFETCH(QString, device);
    QFETCH(QString, lat);
    QFETCH(QString, lon);
    QFETCH(bool, latValid);
    QFETCH(bool, lonValid);

    const QStringList names = PlotKeys + QStringList{"active_device", "center_lat", "center_lon"};
    positionComparisonConfigSettings_t settings;
    QVERIFY(settings.load(config(names, {"10.00", "true", "None", device, lat, lon}), key));
    QVERIFY(!settings.activeDevice);
    QCOMPARE(settings.center.latValid, latValid);
    QCOMPARE(settings.center.lonValid, lonValid);
    if (latValid)
        QVERIFY(close(settings.center.lat, lat.toDouble(), 1e-12));
}

QTEST_MAIN(tst_accuracySettings)
#include "tst_accuracySettings.moc"
