#include "accuracyFixture.h"

#include "accuracy/dlgPositionComparison.h"
#include "accuracy/dlgPositionComparisonConfig.h"

#include <belrix_common_qt/coordConverter.h>
#include <belrix_common_qt/geodesy.h>
#include <belrix_common_qt/remoteController.h>
#include <belrix_common_qt_gui/deviceSelectWidget.h>
#include <belrix_common_qt_gui/positionComparisonWidget.h>
#include <orvane/textColor.h>

using namespace accuracyTest;
using namespace orvane::qc;
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

// A listing of the devices: centred on the active device or a fixed centre, the range before
// (and after, when it has room), and the order of the rows.
struct listing_t { bool fixedCentre, autoScale; double range; int sortColumn, order; QStringList names; };
Q_DECLARE_METATYPE(listing_t)

struct centre_t { bool device; QString lat, lon; bool converts; QString faults; };
Q_DECLARE_METATYPE(centre_t)

struct warning_t { QString cause, title, text; };
Q_DECLARE_METATYPE(warning_t)

class tst_dlgPositionComparison : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_fleet.reset(new fleet_t);
        m_active = m_fleet->add("GNSS 1", 1);
        fleet_t::setPosition(m_active, Centre);
        m_window.reset(new dlgPositionComparison_t(m_fleet->context.get(), nullptr));
    }
    void cleanup()
    {
        m_window.reset();
        m_fleet.reset();
    }

    void listsDevicesAroundTheCentre_data()
    {
        QTest::addColumn<listing_t>("l");

        // by text, "10.15 m" and "150.xx m" would come before "50.00 m", and "350.0°" before "90.0°"
        QTest::newRow("active device, grows, by name")
            << listing_t{false, true, 1.0, 0, int(Qt::AscendingOrder), QStringList{"East", "GNSS 1", "NNW", "North"}};
        QTest::newRow("fixed centre, room, by range")
            << listing_t{true, true, 1000.0, 2, int(Qt::AscendingOrder), QStringList{"GNSS 1", "NNW", "East", "North"}};
        QTest::newRow("fixed range, by range descending")
            << listing_t{false, false, 1.0, 2, int(Qt::DescendingOrder), QStringList{"North", "East", "NNW", "GNSS 1"}};
        QTest::newRow("grows, by bearing")
            << listing_t{true, true, 1.0, 3, int(Qt::AscendingOrder), QStringList{"GNSS 1", "North", "East", "NNW"}};
    }
    void listsDevicesAroundTheCentre()
    {
        QFETCH(listing_t, l);

        addAt("North", offset(150.0, 5.0), 1.5);
        addAt("East", offset(0.0, 50.0));
        addAt("East", offset(0.0, 50.0));   // one row per description
        addAt("NNW", offset(10.0, -1.76));
        fleet_t::setPosition(m_fleet->add("Gyro", 4, Qt::gray, orvane::capHeading), offset(10.0, 10.0));   // no positions
        addAt("Stale", offset(10.0, 10.0), 3.0);
        m_fleet->add("Portless", 6, Qt::gray, orvane::capPositions, false);
        position_t half = offset(10.0, 10.0);
        half.lonValid = false;
        addAt("Half", half);

        m_window->show();
        configure(l.fixedCentre ? nullptr : m_active, l.range, l.autoScale);
        QCOMPARE(label(m_window.get(), "activeDeviceLabel"), l.fixedCentre ? NoDataString : QStringLiteral("GNSS 1"));
        QCOMPARE(label(m_window.get(), "latitudeLabel") == NoDataString, !l.fixedCentre);
        tree()->sortByColumn(l.sortColumn, Qt::SortOrder(l.order));
        QCOMPARE(column(0), l.names);
        const int east = l.names.indexOf("East");
        QCOMPARE(column(2).at(east), metres(belrix_common_qt::calcRange(Centre, offset(0.0, 50.0))));
        QCOMPARE(column(3).at(east), QStringLiteral("90.0°"));
        QVERIFY(column(1).at(east).contains(QLatin1Char('\n')));

        // with auto scale the range grows to the next entry above the farthest device, never shrinks
        if (l.autoScale && l.range < 200.0)
            l.range = 200.0;
        QCOMPARE(m_window->configSettings().range, l.range);
        QCOMPARE(plot()->range(), l.range);
        QCOMPARE(plot()->positions().size(), 4);
        for (positionComparisonWidget_t::point_t const& point : plot()->positions()) {
            if (point.name == QLatin1String("North"))
                QVERIFY(close(point.relativeRange, belrix_common_qt::calcRange(Centre, offset(150.0, 5.0)) / l.range));
        }
        QVERIFY(!warning());

        // a new distance unit: the caption at once, the rows with the next positions
        guiSettings_t::get()->setDistanceUnit(belrix_common_qt::distanceUnitUsSurveyFeet);
        QVERIFY(label(m_window.get(), "rangeLabel").endsWith("ftUS"));
        m_window->handleClockTimeout();
        QVERIFY(column(2).at(east).endsWith("ftUS"));

        // a selected row keeps its device's colour, with text readable on it
        tree()->topLevelItem(east)->setSelected(true);
        QCOMPARE(tree()->styleSheet(), QStringLiteral("QTreeView::item:selected { background-color: #ff0000; color: %1; }")
                                           .arg(orvane::textColorForBackground(Qt::red).name()));
    }
    void rowsAgeOutWhenPositionsStop()
    {
        orvane::device_t* other = addAt("GNSS 2", offset(5.0, 5.0), -0.5);   // stamped T0 + 0.5: whole second T0
        m_window->show();
        configure(m_active, 50.0);
        QCOMPARE(tree()->topLevelItemCount(), 2);

        // the receiver falls silent: 2.5 s on, its whole-second time is too old
        other->remoteDevice()->setDisplayPosition({});
        belrix_common_qt::dataClock_t::setTime(T0 + 3.0);
        fleet_t::setPosition(m_active, Centre, -3.0);
        m_window->handleClockTimeout();
        QCOMPARE(column(0), QStringList{"GNSS 1"});
        QVERIFY(!plot()->hasPosition("GNSS 2"));
    }
    void warnsOnceWithoutBlocking_data()
    {
        QTest::addColumn<warning_t>("w");

        QString const noCentre = "No active device has been configured and no center coordinates have been set. "
                                 "Please configure one to continue.";
        QTest::newRow("no centre") << warning_t{"none", "No Center", noCentre};
        QTest::newRow("centre that cannot be shown") << warning_t{"converter", "No Center", noCentre};
        QTest::newRow("active device removed") << warning_t{"removed", "No Center", noCentre};
        QTest::newRow("beyond every automatic range")
            << warning_t{"far", "Range is too large",
                         "The range to the center position is too large.  Please configure a new center or active device."};
    }
    void warnsOnceWithoutBlocking()
    {
        QFETCH(warning_t, w);

        messageCatcher_t catcher;
        if (w.cause == QLatin1String("converter"))
            m_fleet->context->controllerContext()->controller()->setCoordConverter(new failingConverter_t);
        orvane::device_t* centre = w.cause == QLatin1String("removed") ? addAt("GNSS 2", offset(5.0, 0.0)) : m_active;
        addAt("Far", w.cause == QLatin1String("far") ? degrees(59.0, 11.0) : offset(5.0, 5.0));   // about 220 km
        m_window->handleClockTimeout();   // hidden: it does nothing
        m_window->show();
        configDialog()->show();   // nor while its settings are open
        const bool withoutDevice = w.cause == QLatin1String("none") || w.cause == QLatin1String("converter");
        configure(withoutDevice ? nullptr : centre, 1000.0, true, w.cause == QLatin1String("converter"));
        QVERIFY(!warning());
        configDialog()->hide();

        if (w.cause == QLatin1String("removed"))
            delete m_fleet->devices.takeAt(m_fleet->devices.indexOf(centre));
        else
            m_window->handleClockTimeout();   // returns with the warning up
        QVERIFY(warning() && warning()->isVisible());
        QCOMPARE(warning()->windowTitle(), w.title);
        QCOMPARE(warning()->text(), w.text);
        QCOMPARE(warning()->icon(), QMessageBox::Warning);
        QCOMPARE(label(m_window.get(), "latitudeLabel"), NoDataString);
        m_window->handleClockTimeout();   // the ticks go on, and it is not stacked
        QCOMPARE(m_window->findChildren<QMessageBox*>().size(), 1);
        QVERIFY(w.cause != QLatin1String("far") || plot()->hasPosition("Far"));

        // dismissed, it opens the settings; then it stays quiet until a configuration is confirmed
        warning()->button(QMessageBox::Ok)->click();
        QVERIFY(configDialog()->isVisible());
        QCOMPARE(catcher.titles,
                 w.cause == QLatin1String("converter") ? QStringList{"Invalid Coordinates"} : QStringList());
        configDialog()->hide();
        m_window->handleClockTimeout();
        QVERIFY(!warning()->isVisible());
        m_window->getNewConfigSettings();
        m_window->handleClockTimeout();
        QVERIFY(warning()->isVisible());
    }
    void configDialogChecksTheCentre_data()
    {
        QTest::addColumn<centre_t>("c");

        QTest::newRow("north pole, date line east") << centre_t{false, "90° N", "180° E", true, QString()};
        QTest::newRow("south pole, date line west") << centre_t{false, "90° S", "180° W", true, QString()};
        QTest::newRow("every fault at once")
            << centre_t{false, "95° N", "east", false,
                        "Invalid latitude\nInvalid longitude\nFailed to convert the coordinates"};
        QTest::newRow("only the conversion")
            << centre_t{false, "57° N", "11° E", false, "Failed to convert the coordinates"};
        QTest::newRow("a device: the centre is ignored") << centre_t{true, "nonsense", "", false, QString()};
    }
    void configDialogChecksTheCentre()
    {
        QFETCH(centre_t, c);

        messageCatcher_t catcher;
        if (!c.converts)
            m_fleet->context->controllerContext()->controller()->setCoordConverter(new failingConverter_t);
        dlgPositionComparisonConfig_t* config = configDialog();
        config->show();
        if (c.device)
            config->findChild<belrix_common_qt_gui::deviceSelectWidget_t*>()->selectDevice(1);
        QCOMPARE(config->findChild<QLineEdit*>("latitudeEdit")->isEnabled(), !c.device);
        config->findChild<QLineEdit*>("latitudeEdit")->setText(c.lat);
        config->findChild<QLineEdit*>("longitudeEdit")->setText(c.lon);
        QSignalSpy accepted(config, &QDialog::accepted);
        config->submit();
        // a fault keeps the dialog open and names every fault in one message
        QCOMPARE(catcher.texts, c.faults.isEmpty() ? QStringList() : QStringList{c.faults});
        QCOMPARE(accepted.size(), c.faults.isEmpty() ? 1 : 0);
        QCOMPARE(config->isVisible(), !c.faults.isEmpty());
        positionComparisonConfigSettings_t const settings = m_window->configSettings();
        QCOMPARE(settings.activeDevice.data(), c.device ? m_active : nullptr);
        if (c.faults.isEmpty()) {
            QCOMPARE(settings.center.latValid && settings.center.lonValid, !c.device);
            QVERIFY(c.device || close(std::fabs(settings.center.lat), Pi / 2.0));
        }
    }
    void storedSettings_data()
    {
        QTest::addColumn<bool>("activeDevice");
        QTest::addColumn<bool>("withLabels");

        QTest::newRow("active device") << true << true;
        QTest::newRow("fixed centre") << false << true;
        QTest::newRow("no labels: nothing") << false << false;
    }
    void storedSettings()
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
        other.useDefaults();
        QCOMPARE(other.configSettings(), positionComparisonConfigSettings_t());
    }

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
        orvane::device_t* device = m_fleet->add(name, 10 + m_fleet->devices.size(), Qt::red, orvane::capPositions);
        fleet_t::setPosition(device, position, age);
        return device;
    }

    std::unique_ptr<fleet_t> m_fleet;
    std::unique_ptr<dlgPositionComparison_t> m_window;
    orvane::device_t* m_active = nullptr;
};

QTEST_MAIN(tst_dlgPositionComparison)
#include "tst_dlgPositionComparison.moc"
