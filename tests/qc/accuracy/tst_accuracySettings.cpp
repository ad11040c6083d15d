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

class tst_accuracySettings : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { guiSettings_t::get()->useDefaults(); }

    void autoRange_data()
    {
        QTest::addColumn<quintptr>("table");
        QTest::addColumn<double>("size");
        QTest::addColumn<double>("following");   // autoRangeFor
        QTest::addColumn<double>("above");       // autoRangeAbove

        const auto standard = quintptr(belrix_common_qt::GRAPH_AUTO_RANGE_VALUES);
        QTest::newRow("at an entry goes to the next") << standard << 1.0 << 2.0 << 2.0;
        QTest::newRow("at the largest entry") << standard << 100000.0 << 100000.0 << 0.0;
        QTest::newRow("short table, beyond") << quintptr(Short) << 7.0 << 5.0 << 0.0;
        QTest::newRow("no table") << quintptr(0) << 1.0 << 0.0 << 0.0;
    }

    void autoRange()
    {
        QFETCH(quintptr, table);
        QFETCH(double, size);
        QFETCH(double, following);
        QFETCH(double, above);
        auto const* entries = reinterpret_cast<double const*>(table);
        QCOMPARE(autoRangeFor(size, entries), following);
        QCOMPARE(autoRangeAbove(size, entries), above);
    }

    void rangeControl_data()
    {
        QTest::addColumn<bool>("autoScale");
        QTest::addColumn<double>("size");
        QTest::addColumn<double>("followed");   // follow() from 5 m
        QTest::addColumn<double>("fit");        // rangeToFit() from 5 m, 0 for none

        QTest::newRow("auto, larger: both grow") << true << 7.0 << 10.0 << 10.0;
        QTest::newRow("auto, at the range: only follow moves") << true << 5.0 << 10.0 << 5.0;
        QTest::newRow("auto, smaller: only follow shrinks") << true << 0.3 << 0.5 << 5.0;
        QTest::newRow("fixed range holds") << false << 70.0 << 5.0 << 5.0;
    }

    void rangeControl()
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
        QTest::addColumn<QString>("stored");   // range, auto_scale, labels
        QTest::addColumn<bool>("labelsRequired");
        QTest::addColumn<bool>("loaded");
        QTest::addColumn<QList<double>>("read");   // range, auto_scale, labels

        // the record starts as 7 m, auto off, vertical labels, so "unchanged" shows
        QTest::newRow("all keys") << "25.00 false Horizontal" << true << true << QList<double>{25.0, 0, 1};
        QTest::newRow("range zero takes 1 m") << "0.00 false Vertical" << true << true << QList<double>{1.0, 0, 2};
        QTest::newRow("no range: nothing") << "- true None" << false << false << QList<double>{7.0, 0, 2};
        QTest::newRow("no auto_scale: nothing") << "5.00 - None" << false << false << QList<double>{7.0, 0, 2};
        QTest::newRow("labels optional, absent") << "5.00 true -" << false << true << QList<double>{5.0, 1, 0};
        QTest::newRow("labels required, absent") << "5.00 true -" << true << false << QList<double>{7.0, 0, 2};
    }

    void plotRangeLoading()
    {
        QFETCH(QString, stored);
        QFETCH(bool, labelsRequired);
        QFETCH(bool, loaded);
        QFETCH(QList<double>, read);

        errorEllipseConfigSettings_t settings;
        settings.range = 7.0;
        settings.autoScale = false;
        settings.labels = 2;
        QCOMPARE(settings.load(config(PlotKeys, stored.split(QLatin1Char(' '))), key,
                               labelsRequired ? plotRangeSettings_t::labelsRequired : plotRangeSettings_t::labelsOptional),
                 loaded);
        QCOMPARE((QList<double>{settings.range, double(settings.autoScale), double(settings.labels)}), read);

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
        QTest::addColumn<QString>("device");
        QTest::addColumn<QString>("lat");
        QTest::addColumn<QString>("lon");
        QTest::addColumn<bool>("valid");

        // written with 12 decimals, the bounds round outwards and still read as the bounds
        QTest::newRow("at the pole and the date line") << "-" << "1.570796326795" << "-3.141592653590" << true;
        QTest::newRow("just beyond the rounding") << "-" << "1.570796326797" << "3.141592653592" << false;
        // the device wins over centre keys, even one that is gone
        QTest::newRow("port of no device: no centre either") << "9" << "0.5" << "0.5" << false;
    }

    void comparisonCentreLoading()
    {
        QFETCH(QString, device);
        QFETCH(QString, lat);
        QFETCH(QString, lon);
        QFETCH(bool, valid);

        const QStringList names = PlotKeys + QStringList{"active_device", "center_lat", "center_lon"};
        positionComparisonConfigSettings_t settings;
        QVERIFY(settings.load(config(names, {"10.00", "true", "None", device, lat, lon}), key));
        QVERIFY(!settings.activeDevice);
        QCOMPARE(QList<bool>({settings.center.latValid, settings.center.lonValid}), QList<bool>({valid, valid}));
        if (valid)
            QVERIFY(close(settings.center.lat, lat.toDouble(), 1e-12));
    }
};

QTEST_MAIN(tst_accuracySettings)
#include "tst_accuracySettings.moc"
