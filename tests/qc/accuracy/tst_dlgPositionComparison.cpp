#include "accuracyFixture.h"

#include "accuracy/dlgPositionComparison.h"
#include "accuracy/dlgPositionComparisonConfig.h"

#include <belrix_common_qt/coordConverter.h>
#include <belrix_common_qt/geodesy.h>
#include <belrix_common_qt/remoteController.h>
#include <belrix_common_qt/textFormat.h>
#include <belrix_common_qt_gui/deviceSelectWidget.h>
#include <belrix_common_qt_gui/distanceEdit.h>
#include <belrix_common_qt_gui/guiSettings.h>
#include <belrix_common_qt_gui/latitudeEdit.h>
#include <belrix_common_qt_gui/longitudeEdit.h>
#include <belrix_common_qt_gui/positionComparisonWidget.h>
#include <orvane/abstractTreeWidget.h>
#include <orvane/textColor.h>
#include <tolvconfig/config.h>

#include <QComboBox>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

using namespace orvane::qc;
using namespace accuracyTest;
using belrix_common_qt::NoDataString;
using belrix_common_qt::position_t;
using belrix_common_qt_gui::deviceSelectWidget_t;
using belrix_common_qt_gui::guiSettings_t;
using belrix_common_qt_gui::positionComparisonWidget_t;

namespace {

const QString NoCenterText = QStringLiteral(
    "No active device has been configured and no center coordinates have been set. Please configure one to continue.");
const QString TooLargeText = QStringLiteral(
    "The range to the center position is too large.  Please configure a new center or active device.");

const position_t Centre = degrees(57.0, 11.0);

// metres north and east of the centre, near enough for tests of a few kilometres
position_t offset(double north, double east)
{
    const double lat = 57.0 + north / 111400.0;
    const double lon = 11.0 + east / (111400.0 * std::cos(57.0 * Pi / 180.0));
    return degrees(lat, lon);
}

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

    void form();
    void listsEveryPositionedDeviceFromTheActiveDevice();
    void sortingIsNumeric_data();
    void sortingIsNumeric();
    void rowsAgeOutWhenPositionsStop();
    void hiddenWindowDoesNothing();
    void noCenterWarnsOnceUntilANewConfiguration();
    void noWarningWhileTheConfigDialogIsOpen();
    void rangeTooLargeWarnsAndStillPlots();
    void autoRangeOnlyGrows_data();
    void autoRangeOnlyGrows();
    void devicesOfOneDescriptionShareARow();
    void selectionKeepsTheDeviceColour();
    void distanceUnitChange();
    void fixedCentre();
    void centreThatCannotBeShown();
    void removingTheActiveDevice();

    void configDialogForm();
    void configDialogChoosesBetweenDeviceAndCentre();
    void configDialogAcceptsTheBounds_data();
    void configDialogAcceptsTheBounds();
    void configDialogReportsEveryFault();
    void configDialogWarnsWhenTheCentreCannotBeShown();

    void settingsRoundTrip();
    void loadingWithoutLabelsChangesNothing();

private:
    QString text(char const* name) const { return m_window->findChild<QLabel*>(name)->text(); }
    QTreeWidget* tree() const { return m_window->findChild<QTreeWidget*>("deviceTree"); }
    positionComparisonWidget_t* plot() const
    {
        return m_window->findChild<positionComparisonWidget_t*>("positionComparisonWidget");
    }
    dlgPositionComparisonConfig_t* configDialog() const { return m_window->findChild<dlgPositionComparisonConfig_t*>(); }
    QStringList column(int index) const
    {
        QStringList texts;
        for (int i = 0; i < tree()->topLevelItemCount(); ++i)
            texts << tree()->topLevelItem(i)->text(index);
        return texts;
    }
    void useActiveDevice(orvane::device_t* device, double range = 1.0, bool autoScale = true)
    {
        positionComparisonConfigSettings_t settings;
        settings.activeDevice = device;
        settings.range = range;
        settings.autoScale = autoScale;
        m_window->setConfigSettings(settings);
    }

    std::unique_ptr<fleet_t> m_fleet;
    std::unique_ptr<dlgPositionComparison_t> m_window;
    orvane::device_t* m_active = nullptr;
};

void tst_dlgPositionComparison::init()
{
    m_fleet.reset(new fleet_t);
    m_active = m_fleet->add("GNSS 1", 1, 0x5f, QColor("#1f77b4"));
    fleet_t::setPosition(m_active, Centre);
    m_window.reset(new dlgPositionComparison_t(m_fleet->context.get(), nullptr));
}

void tst_dlgPositionComparison::cleanup()
{
    m_window.reset();
    m_fleet.reset();
    guiSettings_t::get()->useDefaults();
}

void tst_dlgPositionComparison::form()
{
    QCOMPARE(m_window->objectName(), QStringLiteral("dlgPositionComparison"));
    QCOMPARE(m_window->windowTitle(), QStringLiteral("Position Comparison"));
    QCOMPARE(m_window->size(), QSize(885, 381));
    QVERIFY(qobject_cast<orvane::abstractTreeWidget_t*>(tree()));
    QCOMPARE(tree()->columnCount(), 4);
    QTreeWidgetItem* header = tree()->headerItem();
    QCOMPARE((QStringList{header->text(0), header->text(1), header->text(2), header->text(3)}),
             (QStringList{"Device", "Position", "Range", "Bearing"}));
    QVERIFY(!tree()->rootIsDecorated());
    QVERIFY(tree()->isSortingEnabled());
    QVERIFY(tree()->header()->isSortIndicatorShown());
    QVERIFY(tree()->allColumnsShowFocus());
    QCOMPARE(tree()->header()->defaultSectionSize(), 100);
    QCOMPARE(tree()->editTriggers(), QAbstractItemView::NoEditTriggers);
    const QStringList captions{"label", "label_2", "label_8", "label_6"};
    const QStringList texts{"Range:", "Active Device:", "Latitude:", "Longitude:"};
    for (int i = 0; i < captions.size(); ++i)
        QCOMPARE(text(qPrintable(captions.at(i))), texts.at(i));
    auto* box = m_window->findChild<QDialogButtonBox*>("buttonBox");
    QCOMPARE(box->buttons().size(), 1);
    QCOMPARE(box->buttons().first()->text(), QStringLiteral("Settings"));
    QCOMPARE(text("activeDeviceLabel"), NoDataString);
    QCOMPARE(text("rangeLabel"), QStringLiteral("(Auto) 1.00 m"));
}

void tst_dlgPositionComparison::listsEveryPositionedDeviceFromTheActiveDevice()
{
    orvane::device_t* north = m_fleet->add("North", 2, 0x2, Qt::red);
    fleet_t::setPosition(north, offset(150.0, 0.0), 1.5);
    orvane::device_t* east = m_fleet->add("East", 3, 0x2, Qt::green);
    fleet_t::setPosition(east, offset(0.0, 50.0));
    orvane::device_t* gyro = m_fleet->add("Gyro", 4, 0x200, Qt::gray);   // no positions
    fleet_t::setPosition(gyro, offset(10.0, 10.0));
    orvane::device_t* stale = m_fleet->add("Stale", 5, 0x2, Qt::gray);
    fleet_t::setPosition(stale, offset(10.0, 10.0), 3.0);
    m_fleet->add("Portless", 6, 0x2, Qt::gray, false);
    orvane::device_t* half = m_fleet->add("Half", 7, 0x2, Qt::gray);
    position_t halfPosition = offset(10.0, 10.0);
    halfPosition.lonValid = false;
    fleet_t::setPosition(half, halfPosition);

    m_window->show();
    useActiveDevice(m_active);
    QCOMPARE(text("activeDeviceLabel"), QStringLiteral("GNSS 1"));
    QCOMPARE(text("latitudeLabel"), NoDataString);

    tree()->sortByColumn(0, Qt::AscendingOrder);
    QCOMPARE(column(0), (QStringList{"East", "GNSS 1", "North"}));
    const double northRange = belrix_common_qt::calcRange(Centre, offset(150.0, 0.0));
    QCOMPARE(column(2), (QStringList{belrix_common_qt::distanceString(belrix_common_qt::calcRange(Centre, offset(0, 50)),
                                                                      belrix_common_qt::distanceUnitMeters, 2),
                                     "0.00 m",
                                     belrix_common_qt::distanceString(northRange, belrix_common_qt::distanceUnitMeters, 2)}));
    QCOMPARE(column(3), (QStringList{"90.0°", "0.0°", "0.0°"}));
    QVERIFY(column(1).at(1).contains(QLatin1Char('\n')));

    // the range grew to take in the farthest device, and the plot holds every row
    QCOMPARE(m_window->configSettings().range, 200.0);
    QCOMPARE(text("rangeLabel"), QStringLiteral("(Auto) 200.00 m"));
    QCOMPARE(plot()->positions().size(), 3);
    for (positionComparisonWidget_t::point_t const& point : plot()->positions()) {
        if (point.name == QLatin1String("North")) {
            QVERIFY(close(point.relativeRange, northRange / 200.0, 1e-9));
            QCOMPARE(point.color, QColor(Qt::red));
        }
    }
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
    const struct {
        char const* name;
        double north, east;
    } devices[] = {{"A", 0.0, 2.0}, {"B", 7.07, 7.07}, {"C", -17.4 * -5.7, -17.4}, {"D", 996.0, 87.0}};
    unsigned int portId = 10;
    for (auto const& device : devices)
        fleet_t::setPosition(m_fleet->add(device.name, portId++, 0x2, Qt::red), offset(device.north, device.east));
    m_window->show();
    useActiveDevice(m_active, 5000.0);

    tree()->sortByColumn(sortColumn, Qt::SortOrder(order));
    QCOMPARE(column(0), names);
}

void tst_dlgPositionComparison::rowsAgeOutWhenPositionsStop()
{
    orvane::device_t* other = m_fleet->add("GNSS 2", 2, 0x2, Qt::red);
    fleet_t::setPosition(other, offset(5.0, 5.0), -0.5);   // stamped T0 + 0.5: whole second T0
    m_window->show();
    useActiveDevice(m_active, 50.0);
    QCOMPARE(tree()->topLevelItemCount(), 2);

    // the receiver falls silent; its row stays while its whole-second time is recent
    other->remoteDevice()->setDisplayPosition({});
    belrix_common_qt::dataClock_t::setTime(T0 + 2.5);
    fleet_t::setPosition(m_active, Centre, -2.5);
    m_window->handleClockTimeout();
    QCOMPARE(column(0).size(), 2);
    QVERIFY(plot()->hasPosition("GNSS 2"));
    belrix_common_qt::dataClock_t::setTime(T0 + 3.0);
    fleet_t::setPosition(m_active, Centre, -3.0);
    m_window->handleClockTimeout();
    QCOMPARE(column(0), QStringList{"GNSS 1"});
    QVERIFY(!plot()->hasPosition("GNSS 2"));
}

void tst_dlgPositionComparison::hiddenWindowDoesNothing()
{
    messageCatcher_t catcher;
    fleet_t::setPosition(m_fleet->add("GNSS 2", 2, 0x2, Qt::red), offset(5.0, 5.0));
    m_window->handleClockTimeout();   // no centre, but hidden: no warning either
    useActiveDevice(m_active);
    QCOMPARE(tree()->topLevelItemCount(), 0);
    QVERIFY(catcher.texts.isEmpty());
}

void tst_dlgPositionComparison::noCenterWarnsOnceUntilANewConfiguration()
{
    messageCatcher_t catcher;
    m_window->show();
    m_window->handleClockTimeout();
    QCOMPARE(catcher.titles, QStringList{"No Center"});
    QCOMPARE(catcher.texts, QStringList{NoCenterText});
    QVERIFY(configDialog()->isVisible());

    configDialog()->hide();
    m_window->handleClockTimeout();
    m_window->handleClockTimeout();
    QCOMPARE(catcher.texts.size(), 1);

    // a confirmed configuration, still without a centre, arms it again
    m_window->getNewConfigSettings();
    QCOMPARE(catcher.texts.size(), 1);
    m_window->handleClockTimeout();
    QCOMPARE(catcher.texts.size(), 2);
}

void tst_dlgPositionComparison::noWarningWhileTheConfigDialogIsOpen()
{
    messageCatcher_t catcher;
    m_window->show();
    configDialog()->show();
    m_window->handleClockTimeout();
    QVERIFY(catcher.texts.isEmpty());
    configDialog()->hide();
    m_window->handleClockTimeout();
    QCOMPARE(catcher.texts.size(), 1);
}

void tst_dlgPositionComparison::rangeTooLargeWarnsAndStillPlots()
{
    messageCatcher_t catcher;
    fleet_t::setPosition(m_fleet->add("Far", 2, 0x2, Qt::red), degrees(59.0, 11.0));   // about 220 km
    m_window->show();
    useActiveDevice(m_active, 1000.0);
    QCOMPARE(catcher.titles, QStringList{"Range is too large"});
    QCOMPARE(catcher.texts, QStringList{TooLargeText});
    QCOMPARE(m_window->configSettings().range, 1000.0);
    QVERIFY(plot()->hasPosition("Far"));
    for (positionComparisonWidget_t::point_t const& point : plot()->positions()) {
        if (point.name == QLatin1String("Far"))
            QVERIFY(point.relativeRange > 200.0);
    }
    m_window->handleClockTimeout();
    QCOMPARE(catcher.texts.size(), 1);
}

void tst_dlgPositionComparison::autoRangeOnlyGrows_data()
{
    QTest::addColumn<double>("farthest");
    QTest::addColumn<double>("range");

    QTest::newRow("beyond: next entry above") << 1500.0 << 2000.0;
    QTest::newRow("inside: stays") << 300.0 << 1000.0;
}

void tst_dlgPositionComparison::autoRangeOnlyGrows()
{
    QFETCH(double, farthest);
    QFETCH(double, range);
    fleet_t::setPosition(m_fleet->add("GNSS 2", 2, 0x2, Qt::red), offset(farthest, 0.0));
    m_window->show();
    useActiveDevice(m_active, 1000.0);
    QCOMPARE(m_window->configSettings().range, range);
    QCOMPARE(plot()->range(), range);
}

void tst_dlgPositionComparison::devicesOfOneDescriptionShareARow()
{
    fleet_t::setPosition(m_fleet->add("Twin", 2, 0x2, Qt::red), offset(5.0, 0.0));
    fleet_t::setPosition(m_fleet->add("Twin", 3, 0x2, Qt::green), offset(0.0, 5.0));
    m_window->show();
    useActiveDevice(m_active, 10.0);
    QCOMPARE(tree()->topLevelItemCount(), 2);
    QCOMPARE(plot()->positions().size(), 2);
}

void tst_dlgPositionComparison::selectionKeepsTheDeviceColour()
{
    m_window->show();
    useActiveDevice(m_active);
    QCOMPARE(tree()->topLevelItemCount(), 1);
    tree()->topLevelItem(0)->setSelected(true);
    const QColor text = orvane::textColorForBackground(QColor("#1f77b4"));
    QCOMPARE(tree()->styleSheet(), QStringLiteral("QTreeView::item:selected { background-color: #1f77b4; color: %1; }")
                                        .arg(text.name()));
    tree()->clearSelection();
    QCOMPARE(tree()->styleSheet(),
             QStringLiteral("QTreeView::item:selected { background-color: #000000; color: #000000; }"));
}

void tst_dlgPositionComparison::distanceUnitChange()
{
    fleet_t::setPosition(m_fleet->add("GNSS 2", 2, 0x2, Qt::red), offset(0.0, 3.0));
    m_window->show();
    useActiveDevice(m_active, 5.0);
    guiSettings_t::get()->setDistanceUnit(belrix_common_qt::distanceUnitUsSurveyFeet);
    QCOMPARE(text("rangeLabel"), QStringLiteral("(Auto) 16.40 ftUS"));
    QVERIFY(!column(2).join(' ').contains("ftUS"));
    m_window->handleClockTimeout();
    QVERIFY(column(2).at(1).endsWith("ftUS"));
}

void tst_dlgPositionComparison::fixedCentre()
{
    fleet_t::setPosition(m_fleet->add("GNSS 2", 2, 0x2, Qt::red), offset(20.0, 0.0));
    fleet_t::setPosition(m_active, offset(0.0, -20.0));
    m_window->show();
    positionComparisonConfigSettings_t settings;
    settings.center = Centre;
    settings.range = 50.0;
    m_window->setConfigSettings(settings);
    QCOMPARE(text("activeDeviceLabel"), NoDataString);
    belrix_common_qt::latLonStringOptions_t options;
    options.format = guiSettings_t::get()->latLonFormat();
    QCOMPARE(text("latitudeLabel"), belrix_common_qt::latitudeString(Centre.lat, options));
    QCOMPARE(text("longitudeLabel"), belrix_common_qt::longitudeString(Centre.lon, options));
    tree()->sortByColumn(0, Qt::AscendingOrder);
    QCOMPARE(column(3), (QStringList{"270.0°", "0.0°"}));

    // a lat/lon format change shows the centre in the new format
    guiSettings_t::get()->setLatLonFormat(belrix_common_qt::latLonFormatDegrees);
    options.format = belrix_common_qt::latLonFormatDegrees;
    QCOMPARE(text("latitudeLabel"), belrix_common_qt::latitudeString(Centre.lat, options));
}

void tst_dlgPositionComparison::centreThatCannotBeShown()
{
    messageCatcher_t catcher;
    m_fleet->context->controllerContext()->controller()->setCoordConverter(new failingConverter_t);
    m_window->show();
    positionComparisonConfigSettings_t settings;
    settings.center = Centre;
    m_window->setConfigSettings(settings);
    QCOMPARE(text("latitudeLabel"), NoDataString);
    QCOMPARE(text("longitudeLabel"), NoDataString);
    // nothing to compare against; the settings then opened cannot show the centre either
    QCOMPARE(catcher.titles, (QStringList{"No Center", "Invalid Coordinates"}));
}

void tst_dlgPositionComparison::removingTheActiveDevice()
{
    messageCatcher_t catcher;
    orvane::device_t* other = m_fleet->add("GNSS 2", 2, 0x2, Qt::red);
    fleet_t::setPosition(other, offset(5.0, 0.0));
    m_window->show();
    useActiveDevice(other, 10.0);
    QCOMPARE(text("activeDeviceLabel"), QStringLiteral("GNSS 2"));
    m_fleet->remove(other);
    QVERIFY(!m_window->configSettings().activeDevice);
    QCOMPARE(text("activeDeviceLabel"), NoDataString);
    QCOMPARE(text("latitudeLabel"), NoDataString);
    QCOMPARE(catcher.titles, QStringList{"No Center"});
}

void tst_dlgPositionComparison::configDialogForm()
{
    m_fleet->add("Gyro", 2, 0x200, Qt::gray);
    orvane::device_t* gone = m_fleet->add("Gone", 4, 0x2, Qt::gray);
    orvane::device_t* renamed = m_fleet->add("GNSS", 3, 0x2, Qt::red);
    // the device store keeps the selector's list current
    m_fleet->remove(gone);
    renamed->setDeviceDescription("GNSS 2");
    dlgPositionComparisonConfig_t* config = configDialog();
    QCOMPARE(config->objectName(), QStringLiteral("dlgPositionComparisonConfig"));
    QCOMPARE(config->windowTitle(), QStringLiteral("Position Comparison Config"));
    QCOMPARE(config->size(), QSize(389, 215));
    auto* selector = config->findChild<deviceSelectWidget_t*>("deviceSelectWidget");
    QStringList items;
    for (int i = 0; i < selector->count(); ++i)
        items << selector->itemText(i);
    QCOMPARE(items, (QStringList{"None", "GNSS 1", "GNSS 2"}));
    const QStringList captions{"label", "label_2", "label_6", "label_4", "label_3", "label_5"};
    const QStringList texts{"Active Device:", "Latitude:", "Longitude:", "Auto Range:", "Range:", "Labels:"};
    for (int i = 0; i < captions.size(); ++i)
        QCOMPARE(config->findChild<QLabel*>(captions.at(i))->text(), texts.at(i));
    QCOMPARE(config->findChild<QDialogButtonBox*>("buttonBox")->standardButtons(),
             QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
}

void tst_dlgPositionComparison::configDialogChoosesBetweenDeviceAndCentre()
{
    dlgPositionComparisonConfig_t* config = configDialog();
    auto* selector = config->findChild<deviceSelectWidget_t*>("deviceSelectWidget");
    auto* latitude = config->findChild<belrix_common_qt_gui::latitudeEdit_t*>("latitudeEdit");
    auto* longitude = config->findChild<belrix_common_qt_gui::longitudeEdit_t*>("longitudeEdit");
    QVERIFY(latitude->isEnabled());
    selector->selectDevice(1);
    QVERIFY(!latitude->isEnabled());
    QVERIFY(!longitude->isEnabled());

    // OK with a device ignores whatever the coordinate fields hold
    latitude->setText(QStringLiteral("nonsense"));
    QSignalSpy accepted(config, &QDialog::accepted);
    config->submit();
    QCOMPARE(accepted.size(), 1);
    QCOMPARE(config->newConfigSettings().activeDevice.data(), m_active);
    QVERIFY(!config->newConfigSettings().center.latValid);
    QCOMPARE(m_window->configSettings().activeDevice.data(), m_active);

    selector->selectNone();
    QVERIFY(latitude->isEnabled());
    QVERIFY(longitude->isEnabled());
}

void tst_dlgPositionComparison::configDialogAcceptsTheBounds_data()
{
    QTest::addColumn<QString>("lat");
    QTest::addColumn<QString>("lon");
    QTest::newRow("north pole, date line east") << "90° N" << "180° E";
    QTest::newRow("south pole, date line west") << "90° S" << "180° W";
}

void tst_dlgPositionComparison::configDialogAcceptsTheBounds()
{
    QFETCH(QString, lat);
    QFETCH(QString, lon);
    dlgPositionComparisonConfig_t* config = configDialog();
    config->findChild<QLineEdit*>("latitudeEdit")->setText(lat);
    config->findChild<QLineEdit*>("longitudeEdit")->setText(lon);
    QSignalSpy accepted(config, &QDialog::accepted);
    config->submit();
    QCOMPARE(accepted.size(), 1);
    QVERIFY(config->newConfigSettings().center.latValid);
    QVERIFY(config->newConfigSettings().center.lonValid);
    QVERIFY(close(std::fabs(config->newConfigSettings().center.lat), Pi / 2.0));
}

void tst_dlgPositionComparison::configDialogReportsEveryFault()
{
    messageCatcher_t catcher;
    dlgPositionComparisonConfig_t* config = configDialog();
    config->show();
    config->findChild<QLineEdit*>("latitudeEdit")->setText(QStringLiteral("95° N"));
    config->findChild<QLineEdit*>("longitudeEdit")->setText(QStringLiteral("east"));
    m_fleet->context->controllerContext()->controller()->setCoordConverter(new failingConverter_t);
    QSignalSpy accepted(config, &QDialog::accepted);
    config->submit();
    QCOMPARE(catcher.texts, QStringList{"Invalid latitude\nInvalid longitude\nFailed to convert the coordinates"});
    QCOMPARE(accepted.size(), 0);
    QVERIFY(config->isVisible());

    // only the conversion failing
    config->findChild<QLineEdit*>("latitudeEdit")->setText(QStringLiteral("57° N"));
    config->findChild<QLineEdit*>("longitudeEdit")->setText(QStringLiteral("11° E"));
    config->submit();
    QCOMPARE(catcher.texts.last(), QStringLiteral("Failed to convert the coordinates"));
    QCOMPARE(accepted.size(), 0);
}

void tst_dlgPositionComparison::configDialogWarnsWhenTheCentreCannotBeShown()
{
    messageCatcher_t catcher;
    m_fleet->context->controllerContext()->controller()->setCoordConverter(new failingConverter_t);
    positionComparisonConfigSettings_t settings;
    settings.center = Centre;
    configDialog()->setConfigSettings(settings);
    QCOMPARE(catcher.titles, QStringList{"Invalid Coordinates"});
    QCOMPARE(catcher.texts, QStringList{"Failed to convert the coordinates"});
    // with an active device the centre is not shown, so not converted
    settings.activeDevice = m_active;
    configDialog()->setConfigSettings(settings);
    QCOMPARE(catcher.texts.size(), 1);
}

void tst_dlgPositionComparison::settingsRoundTrip()
{
    positionComparisonConfigSettings_t settings;
    settings.activeDevice = m_active;
    settings.range = 20.0;
    settings.autoScale = false;
    settings.labels = 1;
    m_window->setConfigSettings(settings);
    tolvconfig::config_t config;
    m_window->saveSettings(config, -1);
    QVERIFY(config.hasKey("dlgPositionComparison.active_device"));
    QVERIFY(!config.hasKey("dlgPositionComparison.center_lat"));
    QVERIFY(config.hasKey("dlgPositionComparison.splitter_state"));

    dlgPositionComparison_t other(m_fleet->context.get(), nullptr);
    other.loadSettings(config, -1);
    QCOMPARE(other.configSettings(), settings);
    QCOMPARE(other.findChild<QLabel*>("activeDeviceLabel")->text(), QStringLiteral("GNSS 1"));
    other.useDefaults();
    QCOMPARE(other.configSettings(), positionComparisonConfigSettings_t());
}

void tst_dlgPositionComparison::loadingWithoutLabelsChangesNothing()
{
    positionComparisonConfigSettings_t settings;
    settings.center = Centre;
    settings.range = 20.0;
    m_window->setConfigSettings(settings);
    m_window->resize(700, 420);
    tolvconfig::config_t config;
    m_window->saveSettings(config, -1);
    QVERIFY(config.removeValue("dlgPositionComparison.labels"));

    dlgPositionComparison_t other(m_fleet->context.get(), nullptr);
    other.loadSettings(config, -1);
    QCOMPARE(other.configSettings(), positionComparisonConfigSettings_t());
    QVERIFY(other.size() != QSize(700, 420));
}

QTEST_MAIN(tst_dlgPositionComparison)
#include "tst_dlgPositionComparison.moc"
