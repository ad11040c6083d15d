#include "forecastFixture.h"

#include "common/qcDeviceDialog.h"
#include "forecast/dlgSatelliteCalculationConfig.h"
#include "forecast/satelliteCalculationConfigSettings.h"

#include <belrix_common_qt_gui/distanceEdit.h>
#include <belrix_common_qt_gui/latitudeEdit.h>
#include <belrix_common_qt_gui/longitudeEdit.h>

#include <QtTest>
#include <QtWidgets>

using namespace orvane::qc;
using namespace forecastTest;
using namespace belrix_common_qt_gui;

namespace {

template <typename T>
T* child(QObject const& parent, char const* name) { return parent.findChild<T*>(name); }

void clickOk(dlgSatelliteCalculationConfig_t& dialog)
{
    child<QDialogButtonBox>(dialog, "buttonBox")->button(QDialogButtonBox::Ok)->click();
}

} // namespace

struct record_t { int offset; double mask; QString maskText; int hours, hoursBack; };
Q_DECLARE_METATYPE(record_t)

struct current_t { double positionAge; bool ownerHasDevice, position, height; };
Q_DECLARE_METATYPE(current_t)

class tst_satelliteCalculationConfig : public QObject
{
    Q_OBJECT

private slots:
    void listOperationsMoveGraphsBetweenUsedAndAvailable()
    {
        using list_t = QList<forecasterType_t>;
        satelliteCalculationConfigSettings_t s;
        s.clearUsed();
        QVERIFY(s.usedGraphs.isEmpty());
        QCOMPARE(s.availableGraphs, (list_t{forecasterNumSats, forecasterHdop, forecasterVdop, forecasterPdop}));
        s.useGraph(forecasterVdop);
        s.useGraph(forecasterVdop);
        QCOMPARE(s.usedGraphs, list_t{forecasterVdop});
        QCOMPARE(s.availableGraphs, (list_t{forecasterNumSats, forecasterHdop, forecasterPdop}));
        s.unuseGraph(forecasterVdop);
        s.unuseGraph(forecasterVdop);
        QVERIFY(s.usedGraphs.isEmpty());
        QCOMPARE(s.availableGraphs, (list_t{forecasterNumSats, forecasterHdop, forecasterPdop, forecasterVdop}));
    }

    // The record is shown with the start in local time and read back in UTC, whatever the
    // offset; the mask on two digits and one decimal; any span but a week as a day.
    void editorShowsAndReadsBackTheRecord_data()
    {
        QTest::addColumn<record_t>("r");
        QTest::newRow("UTC, 7.5°, a week") << record_t{0, 7.5, "07.5", 168, 168};
        QTest::newRow("UTC+1, 10°, a day") << record_t{3600, 10.0, "10.0", 24, 24};
        QTest::newRow("UTC-5:30, 0°, 6 hours") << record_t{-19800, 0.0, "00.0", 6, 24};
    }
    void editorShowsAndReadsBackTheRecord()
    {
        QFETCH(record_t, r);
        fixture_t f;
        guiSettings_t::get()->setUtcOffset(r.offset);
        satelliteCalculationConfigSettings_t s;
        s.clearUsed();
        s.position = belrix_common_qt::position_t(0.5, -0.25);
        s.height = -12.5;
        s.elevationMask = r.mask;
        s.startTime = QDateTime(QDate(2024, 3, 1), QTime(12, 0), Qt::UTC);
        s.durationHours = r.hours;
        dlgSatelliteCalculationConfig_t dialog;
        dialog.setConfigSettings(s);
        QCOMPARE(child<QLineEdit>(dialog, "elevMaskLineEdit")->text(), r.maskText);
        const QDateTime shown = child<QDateTimeEdit>(dialog, "dateTimeEdit")->dateTime();
        QCOMPARE(shown.toUTC(), s.startTime.addSecs(r.offset));

        clickOk(dialog);
        const satelliteCalculationConfigSettings_t back = dialog.newConfigSettings();
        QCOMPARE(back.startTime, s.startTime);
        QCOMPARE(back.elevationMask, r.mask);
        QCOMPARE(back.durationHours, r.hoursBack);
        QVERIFY(back.position.latValid && back.position.lonValid && back.position.lat == 0.5);
        QCOMPARE(back.height, -12.5);   // below the ellipsoid is a height too
        QCOMPARE(back.usedGraphs.size(), 4);   // the default arrangement again
    }

    // Only values younger than 3 s are taken; the others keep what the editor shows. The
    // current time is the data clock's, shown in local time.
    void useCurrentValues_data()
    {
        QTest::addColumn<current_t>("c");
        QTest::newRow("both current") << current_t{0.0, true, true, true};
        QTest::newRow("position 4 s old") << current_t{4.0, true, false, true};
        QTest::newRow("owner without a device") << current_t{0.0, false, false, false};
    }
    void useCurrentValues()
    {
        QFETCH(current_t, c);
        fixture_t f;
        belrix_common_qt::dataClock_t::setTime(T0 + 0.7);
        guiSettings_t::get()->setUtcOffset(-19800);
        f.report(c.positionAge);
        qcDeviceDialog_t owner(f.context.get(), c.ownerHasDevice ? static_cast<QWidget*>(f.device.get()) : nullptr);
        auto* dialog = new dlgSatelliteCalculationConfig_t(&owner);
        satelliteCalculationConfigSettings_t s;
        s.position = belrix_common_qt::position_t(0.1, 0.2);
        s.height = 5.0;
        dialog->setConfigSettings(s);
        child<QPushButton>(*dialog, "useCurrentPositionButton")->click();
        const double rad = belrix_common_qt::Pi / 180.0;
        QCOMPARE(child<latitudeEdit_t>(*dialog, "latitudeEdit")->radians(), c.position ? 57.6 * rad : 0.1);
        QCOMPARE(child<longitudeEdit_t>(*dialog, "longitudeEdit")->radians(), c.position ? 11.1 * rad : 0.2);
        QCOMPARE(child<distanceEdit_t>(*dialog, "heightEdit")->meters(), c.height ? 42.0 : 5.0);
        child<QPushButton>(*dialog, "useCurrentTimeButton")->click();
        QCOMPARE(child<QDateTimeEdit>(*dialog, "dateTimeEdit")->dateTime().toUTC(),
                 QDateTime::fromSecsSinceEpoch(qint64(T0) - 19800, Qt::UTC));
        clickOk(*dialog);
        QCOMPARE(dialog->newConfigSettings().startTime.toSecsSinceEpoch(), qint64(T0));
    }
};

QTEST_MAIN(tst_satelliteCalculationConfig)
#include "tst_satelliteCalculationConfig.moc"
