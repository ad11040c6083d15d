#include "messageCatcher.h"

#include <belrix_common_qt/navConstants.h>
#include <belrix_common_qt/remoteController.h>
#include <belrix_common_qt/units.h>
#include <belrix_common_qt_gui/deviceSelectWidget.h>
#include <belrix_common_qt_gui/distanceEdit.h>
#include <belrix_common_qt_gui/errorText.h>
#include <belrix_common_qt_gui/guiSettings.h>
#include <belrix_common_qt_gui/latitudeEdit.h>
#include <belrix_common_qt_gui/longitudeEdit.h>

#include <QtTest>

#include <cmath>
#include <memory>

using namespace belrix_common_qt_gui;
using belrix_common_qt::DegToRad;
using belrix_common_qt::remoteController_t;

namespace {

constexpr double Feet = 1200.0 / 3937.0;   // metres in a US survey foot

bool close(double a, double b, double tolerance = 1e-9) { return std::fabs(a - b) <= tolerance; }

QStringList items(deviceSelectWidget_t const& selector)
{
    QStringList shown;
    for (int i = 0; i < selector.count(); ++i)
        shown << selector.itemText(i);
    return shown;
}

} // namespace

struct required_t { int capabilities; bool all; QStringList items; };
Q_DECLARE_METATYPE(required_t)

class tst_inputWidgets : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { guiSettings_t::get()->useDefaults(); }

    void distanceIsKeptInMeters()
    {
        distanceEdit_t edit;
        QSignalSpy changed(&edit, &distanceEdit_t::distanceChanged);
        edit.setDistance(100.0);
        guiSettings_t::get()->setDistanceUnit(belrix_common_qt::distanceUnitUsSurveyFeet);
        QCOMPARE(edit.value(), 328.08);
        QCOMPARE(edit.meters(), 100.0);   // not the rounded text read back
        edit.setValue(100.0);             // as the user's typing does
        QVERIFY(close(edit.meters(), 100.0 * Feet));
        QCOMPARE(changed.size(), 2);
        edit.setDistance(-5.0);   // refused until negatives are allowed
        QCOMPARE(edit.meters(), 0.0);
        edit.allowNegative(true);
        edit.setDistance(-5.0 / Feet, belrix_common_qt::distanceUnitUsSurveyFeet);
        QVERIFY(close(edit.meters(), -5.0));
        edit.allowNegative(false);
        QCOMPARE(edit.value(), 0.0);
    }

    void angleTextReadsAsRadians_data()
    {
        QTest::addColumn<bool>("longitude");
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("degrees");   // NaN: refused
        const double nan = std::nan("");
        QTest::newRow("degrees and minutes") << false << QStringLiteral("57° 42.000' N") << 57.7;
        QTest::newRow("degrees, minutes, seconds") << false << QStringLiteral("57° 42' 36\" N") << 57.71;
        QTest::newRow("signed degrees") << false << QStringLiteral("-33.25") << -33.25;
        QTest::newRow("the pole") << false << QStringLiteral("90° 00.000' N") << 90.0;
        QTest::newRow("beyond the pole") << false << QStringLiteral("91° N") << nan;
        QTest::newRow("longitude letter") << false << QStringLiteral("57° 42.000' E") << nan;
        QTest::newRow("west") << true << QStringLiteral("005° 30.000' W") << -5.5;
        QTest::newRow("date line") << true << QStringLiteral("180° W") << -180.0;
        QTest::newRow("beyond the date line") << true << QStringLiteral("181° E") << nan;
    }
    void angleTextReadsAsRadians()
    {
        QFETCH(bool, longitude);
        QFETCH(QString, text);
        QFETCH(double, degrees);
        auto make = [longitude]() -> std::unique_ptr<angleEdit_t> {
            if (longitude)
                return std::make_unique<longitudeEdit_t>();
            return std::make_unique<latitudeEdit_t>();
        };
        const auto edit = make();
        edit->setText(text);
        if (std::isnan(degrees)) {
            QVERIFY(!edit->hasValidAngle());
            return;
        }
        QVERIFY2(close(edit->radians(), degrees * DegToRad), qPrintable(QString::number(edit->radians())));
        // what is written from the value reads back as the value
        const double value = edit->radians();
        edit->setRadians(value);
        const auto reader = make();
        reader->setText(edit->text());
        QVERIFY2(close(reader->radians(), value, 1e-8), qPrintable(edit->text()));
    }

    void angleSetByProgram()
    {
        longitudeEdit_t edit;
        const double value = -0.0071234567891234;
        edit.setLongitude(value);
        QVERIFY(edit.text().endsWith(QLatin1Char('W')));
        QCOMPARE(edit.radians(), value);   // exactly, not as the text rounds it
        guiSettings_t::get()->setLatLonFormat(belrix_common_qt::latLonFormatDegrees);
        QCOMPARE(edit.radians(), value);
        // once the user changes the text, the text is what counts
        edit.setText(QStringLiteral("10° E"));
        QVERIFY(close(edit.radians(), 10.0 * DegToRad));

        latitudeEdit_t latitude;
        latitude.setLatitude(0.3);
        latitude.setLatitude(2.0);   // beyond the pole
        QVERIFY(latitude.text().isEmpty() && std::isnan(latitude.radians()));
    }

    void selectorListsDevicesWithTheCapabilities_data()
    {
        QTest::addColumn<required_t>("r");
        QTest::newRow("everything") << required_t{0, true, QStringList{"None", "GNSS 1", "Gyro", "GNSS 2"}};
        QTest::newRow("positions and ellipse") << required_t{0xa, true, QStringList{"None", "GNSS 1"}};
        QTest::newRow("positions or heading")
            << required_t{0x202, false, QStringList{"None", "GNSS 1", "Gyro", "GNSS 2"}};
    }
    void selectorListsDevicesWithTheCapabilities()
    {
        QFETCH(required_t, r);
        remoteController_t controller;
        controller.setDevices({{1, "GNSS 1", 0x5f}, {2, "Gyro", 0x200}, {3, "GNSS 2", 0x2}});
        deviceSelectWidget_t selector;
        selector.init(&controller);
        selector.setRequiredCapabilities(r.capabilities, r.all);
        QCOMPARE(::items(selector), r.items);
        QCOMPARE(selector.selectedDevice(), deviceSelectWidget_t::NoDevice);
    }

    void selectorReportsEveryChange()
    {
        remoteController_t controller;
        controller.setDevices({{1, "GNSS 1", 2}, {7, "GNSS 2", 2}});
        deviceSelectWidget_t selector;
        selector.init(&controller);
        QSignalSpy changed(&selector, &deviceSelectWidget_t::selectedDeviceChanged);
        selector.selectDevice(7);
        selector.selectDevice(7);      // no change, no signal
        selector.setCurrentIndex(1);   // as the user picks it
        selector.selectDevice(42);     // not listed: none
        selector.selectDevice(7);

        // a renamed device stays chosen; one that leaves makes the choice none
        controller.setDevices({{7, "GNSS 2 renamed", 2}, {3, "GNSS 3", 2}});
        QCOMPARE(selector.currentText(), QStringLiteral("GNSS 2 renamed"));
        controller.setDevices({{3, "GNSS 3", 2}});
        QList<uint> seen;
        for (auto const& signal : changed)
            seen << signal.at(0).toUInt();
        QCOMPARE(seen, (QList<uint>{7, 1, 255, 7, 255}));
    }

    void errorTextReportsWhatWasWritten()
    {
        QWidget parent;
        parent.setWindowTitle("Settings");
        messageCatcher_t catcher;
        errorText_t().report(&parent);   // nothing written: no box
        errorText_t errors;
        errors << "Invalid latitude" << Qt::endl << "Value " << 3 << " is out of range" << Qt::endl;
        QCOMPARE(errors.lines(), (QStringList{"Invalid latitude", "Value 3 is out of range"}));
        errors.report(&parent);
        QCOMPARE(catcher.titles, QStringList{"Settings"});
        QCOMPARE(catcher.texts, QStringList{"Invalid latitude\nValue 3 is out of range"});
    }
};

QTEST_MAIN(tst_inputWidgets)
#include "tst_inputWidgets.moc"
