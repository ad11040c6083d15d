#include "accuracyFixture.h"

#include "accuracy/dlgPositionComparison.h"
#include "accuracy/dlgPositionComparisonConfig.h"

#include <belrix_common_qt/coordConverter.h>
#include <belrix_common_qt/geodesy.h>
#include <belrix_common_qt/remoteController.h>
#include <belrix_common_qt/textFormat.h>
#include <belrix_common_qt_gui/deviceSelectWidget.h>
#include <belrix_common_qt_gui/positionComparisonWidget.h>
#include <orvane/textColor.h>
#include <tolvconfig/config.h>

#include <QAbstractButton>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTreeWidget>
#include <QtTest>

using namespace orvane::qc;
using namespace accuracyTest;
using belrix_common_qt::NoDataString;
using belrix_common_qt::position_t;
using belrix_common_qt_gui::positionComparisonWidget_t;

namespace {

const position_t Centre = degrees(57.0, 11.0);

// metres north and east of the centre, near enough for tests of a few kilometres
position_t offset(double north, double east)
{
    return degrees(57.0 + north / 111400.0, 11.0 + east / (111400.0 * std::cos(57.0 * Pi / 180.0)));
}

QString metres(double range) { return belrix_common_qt::distanceString(range, belrix_common_qt::distanceUnitMeters, 2); }

class failingConverter_t : public belrix_common_qt::coordConverter_t
{
public:
    bool storedToDisplay(position_t const&, position_t&) const override { return false; }
    bool displayToStored(position_t const&, position_t&) const override { return false; }
};

} // namespace

class tst_dlgPositionComparison : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void init();
    void cleanup();

    void listsDevicesAroundTheCentre_data();
    void listsDevicesAroundTheCentre();
    void sortingIsNumeric_data();
    void sortingIsNumeric();
    void rowsAgeOutWhenPositionsStop();
    void warnsOnceWithoutBlocking_data();
    void warnsOnceWithoutBlocking();
    void autoRangeOnlyGrows_data();
    void autoRangeOnlyGrows();
    void tableFollowsTheDisplaySettings();
    void centreThatCannotBeShown();
    void removingTheActiveDevice();
    void configDialogChecksTheCentre_data();
    void configDialogChecksTheCentre();
    void configDialogWithADeviceIgnoresTheCentre();
    void storedSettings_data();
    void storedSettings();

private:
    QTreeWidget* tree() const { return m_window->findChild<QTreeWidget*>("deviceTree"); }
    positionComparisonWidget_t* plot() const { return m_window->findChild<positionComparisonWidget_t*>(); }
    dlgPositionComparisonConfig_t* configDialog() const { return m_window->findChild<dlgPositionComparisonConfig_t*>(); }
    QMessageBox* warning() const { return m_window->findChild<QMessageBox*>(); }
    QStringList column(int index) const
    {
        QStringList texts;
        for (int i = 0; i < tree()->topLevelItemCount(); ++i)
            texts << tree()->topLevelItem(i)->text(index);
        return texts;
    }
    // centred on device, or on Centre without one
    void configure(orvane::device_t* device, double range, bool autoScale = true, bool withCentre = true)
    {
        positionComparisonConfigSettings_t settings;
        settings.activeDevice = device;
        if (!device && withCentre)
            settings.center = Centre;
        settings.range = range;
        settings.autoScale = autoScale;
        m_window->setConfigSettings(settings);
    }
    orvane::device_t* addAt(QString const& name, position_t const& position, double age = 0.0)
    {
        orvane::device_t* device = m_fleet->add(name, 10 + m_fleet->devices.size(), Qt::red, 0x2);
        fleet_t::setPosition(device, position, age);
        return device;
    }

    std::unique_ptr<fleet_t> m_fleet;
    std::unique_ptr<dlgPositionComparison_t> m_window;
    orvane::device_t* m_active = nullptr;
};

void tst_dlgPositionComparison::init()
{
    m_fleet.reset(new fleet_t);
    m_active = m_fleet->add("GNSS 1", 1);
    fleet_t::setPosition(m_active, Centre);
    m_window.reset(new dlgPositionComparison_t(m_fleet->context.get(), nullptr));
}

void tst_dlgPositionComparison::cleanup()
{
    m_window.reset();
    m_fleet.reset();
}

void tst_dlgPositionComparison::listsDevicesAroundTheCentre_data()
{
    QTest::addColumn<bool>("fixedCentre");
    QTest::newRow("active device") << false;
    QTest::newRow("fixed centre") << true;
}

void tst_dlgPositionComparison::listsDevicesAroundTheCentre()
{
    QFETCH(bool, fixedCentre);
    addAt("North", offset(150.0, 0.0), 1.5);
    addAt("East", offset(0.0, 50.0));
    addAt("East", offset(0.0, 50.0));   // one row per description
    fleet_t::setPosition(m_fleet->add("Gyro", 4, Qt::gray, 0x200), offset(10.0, 10.0));   // no positions
    addAt("Stale", offset(10.0, 10.0), 3.0);
    m_fleet->add("Portless", 6, Qt::gray, 0x2, false);
    position_t half = offset(10.0, 10.0);
    half.lonValid = false;
    addAt("Half", half);

    m_window->show();
    configure(fixedCentre ? nullptr : m_active, 1.0);
    QCOMPARE(label(m_window.get(), "activeDeviceLabel"), fixedCentre ? NoDataString : QStringLiteral("GNSS 1"));
    belrix_common_qt::latLonStringOptions_t options;
    options.format = guiSettings_t::get()->latLonFormat();
    QCOMPARE(label(m_window.get(), "latitudeLabel"),
             fixedCentre ? belrix_common_qt::latitudeString(Centre.lat, options) : NoDataString);

    tree()->sortByColumn(0, Qt::AscendingOrder);
    QCOMPARE(column(0), (QStringList{"East", "GNSS 1", "North"}));
    const double northRange = belrix_common_qt::calcRange(Centre, offset(150.0, 0.0));
    QCOMPARE(column(2), (QStringList{metres(belrix_common_qt::calcRange(Centre, offset(0.0, 50.0))), "0.00 m",
                                     metres(northRange)}));
    QCOMPARE(column(3), (QStringList{"90.0°", "0.0°", "0.0°"}));
    QVERIFY(column(1).at(1).contains(QLatin1Char('\n')));

    // the range grew to take in the farthest device, and the plot holds every row
    QCOMPARE(m_window->configSettings().range, 200.0);
    QCOMPARE(label(m_window.get(), "rangeLabel"), QStringLiteral("(Auto) 200.00 m"));
    QCOMPARE(plot()->positions().size(), 3);
    for (positionComparisonWidget_t::point_t const& point : plot()->positions()) {
        if (point.name == QLatin1String("North"))
            QVERIFY(close(point.relativeRange, northRange / 200.0));
    }
    QVERIFY(!warning());
}

void tst_dlgPositionComparison::sortingIsNumeric_data()
{
    QTest::addColumn<int>("sortColumn");
    QTest::addColumn<int>("order");
    QTest::addColumn<QStringList>("names");

    QTest::newRow("range ascending") << 2 << int(Qt::AscendingOrder) << QStringList{"GNSS 1", "A", "B", "C", "D"};
    QTest::newRow("range descending") << 2 << int(Qt::DescendingOrder) << QStringList{"D", "C", "B", "A", "GNSS 1"};
    QTest::newRow("bearing ascending") << 3 << int(Qt::AscendingOrder) << QStringList{"GNSS 1", "D", "B", "A", "C"};
}

void tst_dlgPositionComparison::sortingIsNumeric()
{
    QFETCH(int, sortColumn);
    QFETCH(int, order);
    QFETCH(QStringList, names);

    // ranges 2, 10, 100, 1000 m (text order would put 10 and 100 before 2); bearings
    // about 90, 45, 350, 5 degrees (text order would put 350 before 45 and 5)
    addAt("A", offset(0.0, 2.0));
    addAt("B", offset(7.07, 7.07));
    addAt("C", offset(99.2, -17.4));
    addAt("D", offset(996.0, 87.0));
    m_window->show();
    configure(m_active, 5000.0);
    tree()->sortByColumn(sortColumn, Qt::SortOrder(order));
    QCOMPARE(column(0), names);
}

void tst_dlgPositionComparison::rowsAgeOutWhenPositionsStop()
{
    orvane::device_t* other = addAt("GNSS 2", offset(5.0, 5.0), -0.5);   // stamped T0 + 0.5: whole second T0
    m_window->show();
    configure(m_active, 50.0);
    QCOMPARE(tree()->topLevelItemCount(), 2);

    // the receiver falls silent; its row stays while its whole-second time is recent
    other->remoteDevice()->setDisplayPosition({});
    for (double later : {2.5, 3.0}) {
        belrix_common_qt::dataClock_t::setTime(T0 + later);
        fleet_t::setPosition(m_active, Centre, -later);
        m_window->handleClockTimeout();
    }
    QCOMPARE(column(0), QStringList{"GNSS 1"});
    QVERIFY(!plot()->hasPosition("GNSS 2"));
}

void tst_dlgPositionComparison::warnsOnceWithoutBlocking_data()
{
    QTest::addColumn<bool>("farDevice");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("text");

    QTest::newRow("no centre") << false << "No Center"
                               << "No active device has been configured and no center coordinates have been set. "
                                  "Please configure one to continue.";
    QTest::newRow("range too large") << true << "Range is too large"
                                     << "The range to the center position is too large.  Please configure a new "
                                        "center or active device.";
}

void tst_dlgPositionComparison::warnsOnceWithoutBlocking()
{
    QFETCH(bool, farDevice);
    QFETCH(QString, title);
    QFETCH(QString, text);

    if (farDevice)
        addAt("Far", degrees(59.0, 11.0));   // about 220 km
    m_window->handleClockTimeout();   // hidden: it does nothing
    QVERIFY(!warning());
    m_window->show();
    configDialog()->show();   // nor while its settings are open
    configure(farDevice ? m_active : nullptr, 1000.0, true, false);
    QVERIFY(!warning());
    configDialog()->hide();

    m_window->handleClockTimeout();   // returns with the warning up
    QVERIFY(warning() && warning()->isVisible());
    QCOMPARE(warning()->windowTitle(), title);
    QCOMPARE(warning()->text(), text);
    QCOMPARE(warning()->icon(), QMessageBox::Warning);
    QCOMPARE(warning()->standardButtons(), QMessageBox::StandardButtons(QMessageBox::Ok));
    QVERIFY(!configDialog()->isVisible());
    m_window->handleClockTimeout();
    QCOMPARE(m_window->findChildren<QMessageBox*>().size(), 1);
    QCOMPARE(plot()->hasPosition("Far"), farDevice);   // the ticks go on while it is up
    QCOMPARE(m_window->configSettings().range, 1000.0);

    // dismissed, it opens the settings; then it stays quiet until a configuration is confirmed
    warning()->button(QMessageBox::Ok)->click();
    QVERIFY(!warning()->isVisible());
    QVERIFY(configDialog()->isVisible());
    configDialog()->hide();
    m_window->handleClockTimeout();
    QVERIFY(!warning()->isVisible());
    m_window->getNewConfigSettings();
    m_window->handleClockTimeout();
    QVERIFY(warning()->isVisible());
    QCOMPARE(m_window->findChildren<QMessageBox*>().size(), 1);
}

void tst_dlgPositionComparison::autoRangeOnlyGrows_data()
{
    QTest::addColumn<double>("farthest");
    QTest::addColumn<bool>("autoScale");
    QTest::addColumn<double>("range");

    QTest::newRow("beyond: next entry above") << 1500.0 << true << 2000.0;
    QTest::newRow("inside: stays") << 300.0 << true << 1000.0;
    QTest::newRow("beyond, fixed range") << 1500.0 << false << 1000.0;
}

void tst_dlgPositionComparison::autoRangeOnlyGrows()
{
    QFETCH(double, farthest);
    QFETCH(bool, autoScale);
    QFETCH(double, range);
    addAt("GNSS 2", offset(farthest, 0.0));
    m_window->show();
    configure(m_active, 1000.0, autoScale);
    QCOMPARE(m_window->configSettings().range, range);
    QCOMPARE(plot()->range(), range);
    QCOMPARE(label(m_window.get(), "rangeLabel"), (autoScale ? QStringLiteral("(Auto) ") : QString()) + metres(range));
}

void tst_dlgPositionComparison::tableFollowsTheDisplaySettings()
{
    addAt("GNSS 2", offset(0.0, 3.0));
    m_window->show();
    configure(m_active, 5.0);
    tree()->sortByColumn(0, Qt::AscendingOrder);
    guiSettings_t::get()->setDistanceUnit(belrix_common_qt::distanceUnitUsSurveyFeet);
    QCOMPARE(label(m_window.get(), "rangeLabel"), QStringLiteral("(Auto) 16.40 ftUS"));
    m_window->handleClockTimeout();   // the rows with the next positions
    QVERIFY(column(2).at(1).endsWith("ftUS"));

    // a selected row keeps its device's colour, with text readable on it
    tree()->topLevelItem(0)->setSelected(true);
    const QColor text = orvane::textColorForBackground(QColor("#1f77b4"));
    QCOMPARE(tree()->styleSheet(), QStringLiteral("QTreeView::item:selected { background-color: #1f77b4; color: %1; }")
                                        .arg(text.name()));
}

void tst_dlgPositionComparison::centreThatCannotBeShown()
{
    messageCatcher_t catcher;
    m_fleet->context->controllerContext()->controller()->setCoordConverter(new failingConverter_t);
    m_window->show();
    configure(nullptr, 10.0);
    QCOMPARE(label(m_window.get(), "latitudeLabel"), NoDataString);
    QCOMPARE(label(m_window.get(), "longitudeLabel"), NoDataString);
    // nothing to compare against; the settings it then opens cannot show the centre either
    QCOMPARE(warning()->windowTitle(), QStringLiteral("No Center"));
    warning()->done(QMessageBox::Ok);
    QCOMPARE(catcher.titles, QStringList{"Invalid Coordinates"});
    QCOMPARE(catcher.texts, QStringList{"Failed to convert the coordinates"});
}

void tst_dlgPositionComparison::removingTheActiveDevice()
{
    orvane::device_t* other = addAt("GNSS 2", offset(5.0, 0.0));
    m_window->show();
    configure(other, 10.0);
    m_fleet->remove(other);
    QVERIFY(!m_window->configSettings().activeDevice);
    QCOMPARE(label(m_window.get(), "activeDeviceLabel"), NoDataString);
    QCOMPARE(warning()->windowTitle(), QStringLiteral("No Center"));
}

void tst_dlgPositionComparison::configDialogChecksTheCentre_data()
{
    QTest::addColumn<QString>("lat");
    QTest::addColumn<QString>("lon");
    QTest::addColumn<bool>("converts");
    QTest::addColumn<QString>("faults");

    QTest::newRow("north pole, date line east") << "90° N" << "180° E" << true << QString();
    QTest::newRow("south pole, date line west") << "90° S" << "180° W" << true << QString();
    QTest::newRow("every fault at once") << "95° N" << "east" << false
                                         << "Invalid latitude\nInvalid longitude\nFailed to convert the coordinates";
    QTest::newRow("only the conversion") << "57° N" << "11° E" << false << "Failed to convert the coordinates";
}

void tst_dlgPositionComparison::configDialogChecksTheCentre()
{
    QFETCH(QString, lat);
    QFETCH(QString, lon);
    QFETCH(bool, converts);
    QFETCH(QString, faults);

    messageCatcher_t catcher;
    if (!converts)
        m_fleet->context->controllerContext()->controller()->setCoordConverter(new failingConverter_t);
    dlgPositionComparisonConfig_t* config = configDialog();
    config->show();
    config->findChild<QLineEdit*>("latitudeEdit")->setText(lat);
    config->findChild<QLineEdit*>("longitudeEdit")->setText(lon);
    QSignalSpy accepted(config, &QDialog::accepted);
    config->submit();
    // a fault keeps the dialog open and names every fault in one message
    QCOMPARE(catcher.texts, faults.isEmpty() ? QStringList() : QStringList{faults});
    QCOMPARE(accepted.size(), faults.isEmpty() ? 1 : 0);
    QCOMPARE(config->isVisible(), !faults.isEmpty());
    if (faults.isEmpty()) {
        QVERIFY(m_window->configSettings().center.latValid && m_window->configSettings().center.lonValid);
        QVERIFY(close(std::fabs(m_window->configSettings().center.lat), Pi / 2.0));
    }
}

void tst_dlgPositionComparison::configDialogWithADeviceIgnoresTheCentre()
{
    dlgPositionComparisonConfig_t* config = configDialog();
    auto* latitude = config->findChild<QLineEdit*>("latitudeEdit");
    config->findChild<belrix_common_qt_gui::deviceSelectWidget_t*>()->selectDevice(1);
    QVERIFY(!latitude->isEnabled());
    latitude->setText(QStringLiteral("nonsense"));
    config->submit();
    QCOMPARE(m_window->configSettings().activeDevice.data(), m_active);
    QVERIFY(!m_window->configSettings().center.latValid);
    config->findChild<belrix_common_qt_gui::deviceSelectWidget_t*>()->selectNone();
    QVERIFY(latitude->isEnabled());
}

void tst_dlgPositionComparison::storedSettings_data()
{
    QTest::addColumn<bool>("activeDevice");
    QTest::addColumn<bool>("withLabels");

    QTest::newRow("active device") << true << true;
    QTest::newRow("fixed centre") << false << true;
    QTest::newRow("no labels: nothing") << false << false;
}

void tst_dlgPositionComparison::storedSettings()
{
    QFETCH(bool, activeDevice);
    QFETCH(bool, withLabels);

    positionComparisonConfigSettings_t settings;
    settings.activeDevice = activeDevice ? m_active : nullptr;
    settings.center = activeDevice ? position_t() : position_t(1.0, 0.2);   // exact in 12 decimals
    settings.range = 20.0;
    settings.labels = 1;
    m_window->setConfigSettings(settings);
    m_window->resize(700, 420);
    tolvconfig::config_t config;
    m_window->saveSettings(config, -1);
    QCOMPARE(config.hasKey("dlgPositionComparison.active_device"), activeDevice);
    QCOMPARE(config.hasKey("dlgPositionComparison.center_lat"), !activeDevice);
    if (!withLabels)
        QVERIFY(config.removeValue("dlgPositionComparison.labels"));

    dlgPositionComparison_t other(m_fleet->context.get(), nullptr);
    other.loadSettings(config, -1);
    QCOMPARE(other.configSettings() == settings, withLabels);
    QCOMPARE(other.size() == QSize(700, 420), withLabels);
    QCOMPARE(label(&other, "activeDeviceLabel"), withLabels && activeDevice ? QStringLiteral("GNSS 1") : NoDataString);
    other.useDefaults();
    QCOMPARE(other.configSettings(), positionComparisonConfigSettings_t());
}

QTEST_MAIN(tst_dlgPositionComparison)
#include "tst_dlgPositionComparison.moc"
