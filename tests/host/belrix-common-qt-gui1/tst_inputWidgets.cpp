#include <belrix_common_qt/remoteController.h>
#include <belrix_common_qt/units.h>
#include <belrix_common_qt_gui/deviceSelectWidget.h>
#include <belrix_common_qt_gui/distanceEdit.h>
#include <belrix_common_qt_gui/errorText.h>
#include <belrix_common_qt_gui/guiSettings.h>
#include <belrix_common_qt_gui/latitudeEdit.h>
#include <belrix_common_qt_gui/longitudeEdit.h>

#include <QMessageBox>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>

#include <cmath>
#include <memory>
#include <belrix_common_qt/navConstants.h>

using namespace belrix_common_qt_gui;
using belrix_common_qt::deviceEntry_t;
using belrix_common_qt::remoteController_t;

namespace {

using belrix_common_qt::Pi;
constexpr double Feet = 1200.0 / 3937.0;   // metres in a US survey foot

bool close(double a, double b, double tolerance = 1e-9) { return std::fabs(a - b) <= tolerance; }

// Answers the next message box and keeps what it said.
class messageCatcher_t : public QObject
{
public:
    QStringList titles;
    QStringList texts;

    messageCatcher_t()
    {
        connect(&timer, &QTimer::timeout, this, [this] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                titles << box->windowTitle();
                texts << box->text();
                box->done(QMessageBox::Ok);
            }
        });
        timer.start(20);
    }

private:
    QTimer timer;
};

} // namespace

class tst_inputWidgets : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void cleanup() { guiSettings_t::get()->useDefaults(); }

    void distanceShownInTheUnitReadInMeters_data();
    void distanceShownInTheUnitReadInMeters();
    void distanceSetByProgramIsKeptExactly();
    void distanceFollowsAUnitChange();
    void negativeDistances();

    void latitudeTextReadsAsRadians_data();
    void latitudeTextReadsAsRadians();
    void longitudeTextReadsAsRadians_data();
    void longitudeTextReadsAsRadians();
    void angleSetByProgramIsKeptExactly();
    void angleFollowsAFormatChange();
    void angleOutOfRangeEmptiesTheField();

    void selectorListsDevicesWithTheCapabilities_data();
    void selectorListsDevicesWithTheCapabilities();
    void selectorReportsEveryChange();
    void chosenDeviceThatLeavesMakesTheChoiceNone();

    void errorTextCollectsLines();
    void errorTextReportsOnlyWhenSomethingWasWritten();
};

void tst_inputWidgets::distanceShownInTheUnitReadInMeters_data()
{
    QTest::addColumn<int>("unit");
    QTest::addColumn<double>("typed");
    QTest::addColumn<double>("meters");

    QTest::newRow("metres") << int(belrix_common_qt::distanceUnitMeters) << 12.5 << 12.5;
    QTest::newRow("feet") << int(belrix_common_qt::distanceUnitUsSurveyFeet) << 100.0 << 100.0 * Feet;
}

void tst_inputWidgets::distanceShownInTheUnitReadInMeters()
{
    QFETCH(int, unit);
    QFETCH(double, typed);
    QFETCH(double, meters);

    guiSettings_t::get()->setDistanceUnit(belrix_common_qt::distanceUnit_t(unit));
    distanceEdit_t edit;
    QSignalSpy changed(&edit, &distanceEdit_t::distanceChanged);
    edit.setValue(typed);   // as the user's typing does
    QVERIFY(close(edit.meters(), meters, 1e-9));
    QCOMPARE(changed.size(), 1);
    QVERIFY(edit.suffix().contains(belrix_common_qt::distanceUnitSymbol(belrix_common_qt::distanceUnit_t(unit))));
}

void tst_inputWidgets::distanceSetByProgramIsKeptExactly()
{
    guiSettings_t::get()->setDistanceUnit(belrix_common_qt::distanceUnitUsSurveyFeet);
    distanceEdit_t edit;
    edit.setDistance(1.0);
    // shown as 3.28 ftUS, which is not 1 m; the value is what was set
    QCOMPARE(edit.value(), 3.28);
    QCOMPARE(edit.meters(), 1.0);
    edit.setDistance(10.0, belrix_common_qt::distanceUnitUsSurveyFeet);
    QVERIFY(close(edit.meters(), 10.0 * Feet));
}

void tst_inputWidgets::distanceFollowsAUnitChange()
{
    distanceEdit_t edit;
    edit.setDistance(100.0);
    QCOMPARE(edit.value(), 100.0);
    guiSettings_t::get()->setDistanceUnit(belrix_common_qt::distanceUnitUsSurveyFeet);
    QCOMPARE(edit.value(), 328.08);
    QCOMPARE(edit.meters(), 100.0);
}

void tst_inputWidgets::negativeDistances()
{
    distanceEdit_t edit;
    QVERIFY(!edit.negativeAllowed());
    edit.setDistance(-5.0);
    QCOMPARE(edit.meters(), 0.0);
    edit.allowNegative(true);
    edit.setDistance(-5.0);
    QCOMPARE(edit.meters(), -5.0);
    QCOMPARE(edit.value(), -5.0);
    edit.allowNegative(false);
    QCOMPARE(edit.meters(), 0.0);
    QCOMPARE(edit.value(), 0.0);
}

void tst_inputWidgets::latitudeTextReadsAsRadians_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("degrees");   // NaN: not a latitude

    const double nan = std::nan("");
    QTest::newRow("degrees and minutes, north") << QStringLiteral("57° 42.000' N") << 57.7;
    QTest::newRow("degrees, south") << QStringLiteral("12.5° S") << -12.5;
    QTest::newRow("degrees, minutes, seconds") << QStringLiteral("57° 42' 36\" N") << 57.71;
    QTest::newRow("signed") << QStringLiteral("-33.25") << -33.25;
    QTest::newRow("the pole") << QStringLiteral("90° 00.000' N") << 90.0;
    QTest::newRow("beyond the pole") << QStringLiteral("91° N") << nan;
    QTest::newRow("longitude letter") << QStringLiteral("57° 42.000' E") << nan;
    QTest::newRow("empty") << QString() << nan;
    QTest::newRow("words") << QStringLiteral("north") << nan;
}

void tst_inputWidgets::latitudeTextReadsAsRadians()
{
    QFETCH(QString, text);
    QFETCH(double, degrees);

    latitudeEdit_t edit;
    edit.setText(text);
    if (std::isnan(degrees)) {
        QVERIFY(std::isnan(edit.radians()));
        QVERIFY(!edit.hasValidAngle());
    } else {
        QVERIFY2(close(edit.radians(), degrees * Pi / 180.0, 1e-9), qPrintable(QString::number(edit.radians())));
    }
}

void tst_inputWidgets::longitudeTextReadsAsRadians_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("degrees");

    const double nan = std::nan("");
    QTest::newRow("east") << QStringLiteral("011° 18.600' E") << 11.31;
    QTest::newRow("west") << QStringLiteral("005° 30.000' W") << -5.5;
    QTest::newRow("date line") << QStringLiteral("180° W") << -180.0;
    QTest::newRow("beyond the date line") << QStringLiteral("181° E") << nan;
}

void tst_inputWidgets::longitudeTextReadsAsRadians()
{
    QFETCH(QString, text);
    QFETCH(double, degrees);

    longitudeEdit_t edit;
    edit.setText(text);
    if (std::isnan(degrees))
        QVERIFY(std::isnan(edit.radians()));
    else
        QVERIFY2(close(edit.radians(), degrees * Pi / 180.0, 1e-9), qPrintable(QString::number(edit.radians())));
}

void tst_inputWidgets::angleSetByProgramIsKeptExactly()
{
    latitudeEdit_t edit;
    const double value = 1.0071234567891234;
    edit.setLatitude(value);
    QVERIFY(edit.text().endsWith(QLatin1Char('N')));
    QCOMPARE(edit.radians(), value);
    // once the user changes the text, the text is what counts
    edit.setText(QStringLiteral("10° S"));
    QVERIFY(close(edit.radians(), -10.0 * Pi / 180.0));
}

void tst_inputWidgets::angleFollowsAFormatChange()
{
    longitudeEdit_t edit;
    edit.setLongitude(-0.5);
    const QString before = edit.text();
    guiSettings_t::get()->setLatLonFormat(belrix_common_qt::latLonFormatDegrees);
    QVERIFY(edit.text() != before);
    QVERIFY(edit.text().endsWith(QLatin1Char('W')));
    QCOMPARE(edit.radians(), -0.5);
}

void tst_inputWidgets::angleOutOfRangeEmptiesTheField()
{
    latitudeEdit_t edit;
    edit.setLatitude(0.3);
    edit.setLatitude(2.0);   // beyond the pole
    QVERIFY(edit.text().isEmpty());
    QVERIFY(std::isnan(edit.radians()));
    edit.setLatitude(std::numeric_limits<double>::max());
    QVERIFY(edit.text().isEmpty());
}

void tst_inputWidgets::selectorListsDevicesWithTheCapabilities_data()
{
    QTest::addColumn<int>("capabilities");
    QTest::addColumn<bool>("all");
    QTest::addColumn<QStringList>("items");

    QTest::newRow("positions") << 2 << true << QStringList{"None", "GNSS 1", "GNSS 2"};
    QTest::newRow("everything") << 0 << true << QStringList{"None", "GNSS 1", "Gyro", "GNSS 2"};
    QTest::newRow("positions and ellipse") << 0xa << true << QStringList{"None", "GNSS 1"};
    QTest::newRow("positions or heading") << 0x202 << false << QStringList{"None", "GNSS 1", "Gyro", "GNSS 2"};
}

void tst_inputWidgets::selectorListsDevicesWithTheCapabilities()
{
    QFETCH(int, capabilities);
    QFETCH(bool, all);
    QFETCH(QStringList, items);

    remoteController_t controller;
    controller.setDevices({{1, "GNSS 1", 0x5f}, {2, "Gyro", 0x200}, {3, "GNSS 2", 0x2}});
    deviceSelectWidget_t selector;
    selector.init(&controller);
    selector.setRequiredCapabilities(capabilities, all);
    QStringList shown;
    for (int i = 0; i < selector.count(); ++i)
        shown << selector.itemText(i);
    QCOMPARE(shown, items);
    QCOMPARE(selector.selectedDevice(), deviceSelectWidget_t::NoDevice);
}

void tst_inputWidgets::selectorReportsEveryChange()
{
    remoteController_t controller;
    controller.setDevices({{1, "GNSS 1", 2}, {7, "GNSS 2", 2}});
    deviceSelectWidget_t selector;
    selector.init(&controller);
    QSignalSpy changed(&selector, &deviceSelectWidget_t::selectedDeviceChanged);

    selector.selectDevice(7);
    QCOMPARE(selector.selectedDevice(), 7u);
    selector.selectDevice(7);   // no change, no signal
    selector.setCurrentIndex(1);   // as the user picks it
    selector.selectDevice(42);  // not listed: none
    QCOMPARE(selector.selectedDevice(), deviceSelectWidget_t::NoDevice);
    QCOMPARE(changed.size(), 3);
    QCOMPARE(changed.at(0).at(0).toUInt(), 7u);
    QCOMPARE(changed.at(1).at(0).toUInt(), 1u);
    QCOMPARE(changed.at(2).at(0).toUInt(), 255u);
}

void tst_inputWidgets::chosenDeviceThatLeavesMakesTheChoiceNone()
{
    remoteController_t controller;
    controller.setDevices({{1, "GNSS 1", 2}, {2, "GNSS 2", 2}});
    deviceSelectWidget_t selector;
    selector.init(&controller);
    selector.selectDevice(2);
    QSignalSpy changed(&selector, &deviceSelectWidget_t::selectedDeviceChanged);

    controller.setDevices({{2, "GNSS 2 renamed", 2}, {3, "GNSS 3", 2}});
    QCOMPARE(selector.selectedDevice(), 2u);
    QCOMPARE(selector.currentText(), QStringLiteral("GNSS 2 renamed"));
    QCOMPARE(changed.size(), 0);

    controller.setDevices({{3, "GNSS 3", 2}});
    QCOMPARE(selector.selectedDevice(), deviceSelectWidget_t::NoDevice);
    QCOMPARE(changed.size(), 1);
    QCOMPARE(changed.at(0).at(0).toUInt(), 255u);
}

void tst_inputWidgets::errorTextCollectsLines()
{
    errorText_t errors;
    QVERIFY(errors.isEmpty());
    errors << "Invalid latitude" << Qt::endl;
    errors << QStringLiteral("Invalid longitude") << Qt::endl;
    errors << "Value " << 3 << " is out of range" << Qt::endl;
    QVERIFY(!errors.isEmpty());
    QCOMPARE(errors.lines(), (QStringList{"Invalid latitude", "Invalid longitude", "Value 3 is out of range"}));
}

void tst_inputWidgets::errorTextReportsOnlyWhenSomethingWasWritten()
{
    messageCatcher_t catcher;
    QWidget parent;
    parent.setWindowTitle("Settings");
    {
        errorText_t errors;
        errors.report(&parent);
    }
    QVERIFY(catcher.texts.isEmpty());
    errorText_t errors;
    errors << "First" << Qt::endl << "Second" << Qt::endl;
    errors.report(&parent);
    QCOMPARE(catcher.texts, QStringList{"First\nSecond"});
    QCOMPARE(catcher.titles, QStringList{"Settings"});
}

QTEST_MAIN(tst_inputWidgets)
#include "tst_inputWidgets.moc"
