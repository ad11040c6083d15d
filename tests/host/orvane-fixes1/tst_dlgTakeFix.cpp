#include "orvane/fixes/dlgTakeFix.h"
#include "orvane/fixes/fixManager.h"

#include <orvane/context.h>
#include <orvane/device.h>
#include <orvane/geodetics/geodeticSettings.h>

#include <belrix_common_qt/dataClock.h>
#include <belrix_common_qt/remoteDevice.h>
#include <belrix_common_qt/remotePort.h>
#include <belrix_common_qt/textFormat.h>
#include <belrix_common_qt_gui/guiSettings.h>

#include <QDateTime>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QtTest>

#include <cmath>
#include <limits>
#include <memory>
#include <belrix_common_qt/navConstants.h>

using namespace orvane::fixes;
using namespace belrix_common_qt;
using orvane::geodetics::geodeticSettings_t;
using tolvgeodesy::coordLL_t;

namespace {

constexpr double now = 1796498625.0;   // 2026-12-05 19:23:45 UTC
constexpr double lat = 0.9;
constexpr double lon = -0.05;

fixManager_t* store() { return fixManager_t::instance(); }

bool near(double a, double b) { return std::fabs(a - b) <= 1e-12; }

QString itemText(QTreeWidget* tree, int row, int column)
{
    QTreeWidgetItem* item = tree->topLevelItem(row);
    return item ? item->text(column) : QString();
}

} // namespace

class tst_dlgTakeFix : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void takeFixNeedsCurrentPosition_data();
    void takeFixNeedsCurrentPosition();
    void takeFixWithoutSource();
    void heightOnlyWhenCurrent_data();
    void heightOnlyWhenCurrent();
    void description_data();
    void description();
    void conversion_data();
    void conversion();
    void storeRefusalReported();
    void listShowsThisDevicesFixesNewestFirst();
    void positionLabels_data();
    void positionLabels();

private:
    dataItem_t<position_t> positionItem(double age, bool latValid = true, bool lonValid = true) const;
    remoteDevice_t* source() const { return m_port->device(); }

    std::unique_ptr<QTemporaryDir> m_dir;
    orvane::context_t* m_context = nullptr;
    orvane::device_t* m_device = nullptr;
    remotePort_t* m_port = nullptr;
    dlgTakeFix_t* m_dialog = nullptr;
};

dataItem_t<position_t> tst_dlgTakeFix::positionItem(double age, bool latValid, bool lonValid) const
{
    position_t position(lat, lon);
    position.latValid = latValid;
    position.lonValid = lonValid;
    return dataItem_t<position_t>(position, now - age);
}

void tst_dlgTakeFix::initTestCase() { QStandardPaths::setTestModeEnabled(true); }

void tst_dlgTakeFix::init()
{
    m_dir.reset(new QTemporaryDir);
    QVERIFY(m_dir->isValid());
    QVERIFY(store()->open(m_dir->filePath(QStringLiteral("fixes.journal"))));
    dataClock_t::setTime(now);
    m_context = new orvane::context_t;
    m_device = new orvane::device_t(m_context, QStringLiteral("dev1"), nullptr);
    m_device->setPortId(7);
    m_port = new remotePort_t;
    m_device->setPort(m_port);
    m_dialog = new dlgTakeFix_t(m_context, m_device);
}

void tst_dlgTakeFix::cleanup()
{
    delete m_device;   // takes the window and the port with it
    delete m_context;
    m_device = nullptr;
    m_dialog = nullptr;
    m_port = nullptr;
    dataClock_t::useSystemTime();
    geodeticSettings_t::instance()->setInputToRawTransformation({});
    belrix_common_qt_gui::guiSettings_t::get()->useDefaults();
    m_dir.reset();
}

void tst_dlgTakeFix::takeFixNeedsCurrentPosition_data()
{
    QTest::addColumn<double>("age");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<bool>("latValid");
    QTest::addColumn<bool>("lonValid");
    QTest::addColumn<bool>("recorded");

    QTest::newRow("fresh") << 0.0 << true << true << true << true;
    QTest::newRow("2.5 s old") << 2.5 << true << true << true << true;
    QTest::newRow("fractional second") << 0.375 << true << true << true << true;
    QTest::newRow("3 s old") << 3.0 << true << true << true << false;
    QTest::newRow("3 s ahead") << -3.0 << true << true << true << false;
    QTest::newRow("invalid item") << 0.0 << false << true << true << false;
    QTest::newRow("latitude invalid") << 0.0 << true << false << true << false;
    QTest::newRow("longitude invalid") << 0.0 << true << true << false << false;
}

void tst_dlgTakeFix::takeFixNeedsCurrentPosition()
{
    QFETCH(double, age);
    QFETCH(bool, valid);
    QFETCH(bool, latValid);
    QFETCH(bool, lonValid);
    QFETCH(bool, recorded);

    dataItem_t<position_t> item = positionItem(age, latValid, lonValid);
    item.setValid(valid);
    source()->setInputPosition(item);

    QSignalSpy failed(m_dialog, &dlgTakeFix_t::takeFixFailed);
    QCOMPARE(m_dialog->takeFix(), recorded);
    QCOMPARE(failed.count(), recorded ? 0 : 1);
    QCOMPARE(store()->count(), recorded ? 1 : 0);
    if (!recorded)
        return;
    fix_t const fix = store()->fixes().first();
    QCOMPARE(fix.portId, 7u);
    QCOMPARE(fix.type, fixTypeManual);
    QCOMPARE(fix.time, now - age);   // the position's own time, not the clock's
    QVERIFY(near(fix.coord.lat, lat));
    QVERIFY(near(fix.coord.lon, lon));
    QCOMPARE(fix.height, 0.0);
}

void tst_dlgTakeFix::takeFixWithoutSource()
{
    auto* bare = new orvane::device_t(m_context, QStringLiteral("bare"), nullptr);
    auto* dialog = new dlgTakeFix_t(m_context, bare);
    dlgTakeFix_t orphan(m_context, nullptr);
    QSignalSpy failed(dialog, &dlgTakeFix_t::takeFixFailed);
    QSignalSpy orphanFailed(&orphan, &dlgTakeFix_t::takeFixFailed);
    QVERIFY(!dialog->takeFix());
    QVERIFY(!orphan.takeFix());
    QCOMPARE(failed.count(), 1);
    QCOMPARE(orphanFailed.count(), 1);
    QCOMPARE(store()->count(), 0);
    delete bare;
}

void tst_dlgTakeFix::heightOnlyWhenCurrent_data()
{
    QTest::addColumn<double>("heightAge");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<double>("recorded");

    QTest::newRow("current") << 1.0 << true << 17.25;
    QTest::newRow("3 s old") << 3.0 << true << 0.0;
    QTest::newRow("invalid") << 0.0 << false << 0.0;
}

void tst_dlgTakeFix::heightOnlyWhenCurrent()
{
    QFETCH(double, heightAge);
    QFETCH(bool, valid);
    QFETCH(double, recorded);

    source()->setInputPosition(positionItem(0.0));
    dataItem_t<double> height(17.25, now - heightAge);
    height.setValid(valid);
    source()->setEllipsoidalHeight(height);
    QVERIFY(m_dialog->takeFix());
    QCOMPARE(store()->fixes().first().height, recorded);
}

void tst_dlgTakeFix::description_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("recorded");

    const QString time = QDateTime::fromMSecsSinceEpoch(qint64((now - 0.25) * 1000.0)).toString(MillisecondTimeFormatString);
    QTest::newRow("typed") << QStringLiteral("  buoy 4 ") << QStringLiteral("buoy 4");
    QTest::newRow("empty") << QString() << QStringLiteral("Fix - ") + time;
    QTest::newRow("blanks") << QStringLiteral("   ") << QStringLiteral("Fix - ") + time;
}

void tst_dlgTakeFix::description()
{
    QFETCH(QString, typed);
    QFETCH(QString, recorded);

    source()->setInputPosition(positionItem(0.25));
    auto* edit = m_dialog->findChild<QLineEdit*>(QStringLiteral("descriptionEdit"));
    QVERIFY(edit);
    edit->setText(typed);
    auto* button = m_dialog->findChild<QPushButton*>(QStringLiteral("takeFixButton"));
    QVERIFY(button);
    button->click();
    QCOMPARE(store()->count(), 1);
    QCOMPARE(store()->fixes().first().description, recorded);
    // ready for the next fix
    QVERIFY(edit->text().isEmpty());
}

void tst_dlgTakeFix::conversion_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<bool>("recorded");

    QTest::newRow("converts") << 0 << true;
    QTest::newRow("leaves the output alone") << 1 << false;
    QTest::newRow("fails") << 2 << false;
    QTest::newRow("NaN result") << 3 << false;
    QTest::newRow("exactly on the limits") << 4 << true;
}

void tst_dlgTakeFix::conversion()
{
    QFETCH(int, mode);
    QFETCH(bool, recorded);

    geodeticSettings_t::instance()->setInputToRawTransformation([mode](coordLL_t const& in, coordLL_t& out) {
        switch (mode) {
        case 0: out = coordLL_t(in.lon + 0.001, in.lat - 0.001); return true;
        case 1: return true;
        case 2: out = in; return false;
        case 3: out = coordLL_t(std::numeric_limits<double>::quiet_NaN(), in.lat); return true;
        default: out = coordLL_t(-Pi, Pi / 2.0); return true;
        }
    });
    source()->setInputPosition(positionItem(0.0));
    QSignalSpy failed(m_dialog, &dlgTakeFix_t::takeFixFailed);
    QCOMPARE(m_dialog->takeFix(), recorded);
    QCOMPARE(failed.count(), recorded ? 0 : 1);
    QCOMPARE(store()->count(), recorded ? 1 : 0);
    if (mode == 0) {
        QVERIFY(near(store()->fixes().first().coord.lon, lon + 0.001));
        QVERIFY(near(store()->fixes().first().coord.lat, lat - 0.001));
    }
    if (mode == 4) {
        QCOMPARE(store()->fixes().first().coord.lon, -Pi);
        QCOMPARE(store()->fixes().first().coord.lat, Pi / 2.0);
    }
}

void tst_dlgTakeFix::storeRefusalReported()
{
    QFile blocker(m_dir->filePath(QStringLiteral("blocker")));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    QVERIFY(!store()->open(m_dir->filePath(QStringLiteral("blocker/fixes.journal"))));

    source()->setInputPosition(positionItem(0.0));
    auto* edit = m_dialog->findChild<QLineEdit*>(QStringLiteral("descriptionEdit"));
    edit->setText(QStringLiteral("diver down"));
    QSignalSpy failed(m_dialog, &dlgTakeFix_t::takeFixFailed);
    QVERIFY(!m_dialog->takeFix());
    QCOMPARE(failed.count(), 1);
    QVERIFY2(failed.first().first().toString().contains(QStringLiteral("NOT recorded")),
             qPrintable(failed.first().first().toString()));
    // the operator's text is kept for another try
    QCOMPARE(edit->text(), QStringLiteral("diver down"));
    auto* tree = m_dialog->findChild<QTreeWidget*>(QStringLiteral("fixList"));
    QCOMPARE(tree->topLevelItemCount(), 0);
}

void tst_dlgTakeFix::listShowsThisDevicesFixesNewestFirst()
{
    // the store already holds fixes of this and another device
    QVERIFY(store()->addFix(7, now - 100.0, fixTypeManOverboard, coordLL_t(0.1, 0.2), 1.0, QStringLiteral("old MOB")));
    QVERIFY(store()->addFix(8, now - 90.0, fixTypeManual, coordLL_t(0.1, 0.2), 1.0, QStringLiteral("other device")));
    const QString path = store()->path();
    auto* tree = m_dialog->findChild<QTreeWidget*>(QStringLiteral("fixList"));
    QVERIFY(tree);
    // the list follows a store that is opened anew
    QVERIFY(store()->open(m_dir->filePath(QStringLiteral("empty.journal"))));
    QCOMPARE(tree->topLevelItemCount(), 0);
    QVERIFY(store()->open(path));
    QCOMPARE(tree->topLevelItemCount(), 1);
    QCOMPARE(itemText(tree, 0, 4), QStringLiteral("old MOB"));

    source()->setInputPosition(positionItem(0.0));
    auto* edit = m_dialog->findChild<QLineEdit*>(QStringLiteral("descriptionEdit"));
    edit->setText(QStringLiteral("first"));
    QVERIFY(m_dialog->takeFix());
    QVERIFY(store()->addFix(8, now, fixTypeManual, coordLL_t(0.1, 0.2), 1.0, QStringLiteral("other again")));
    edit->setText(QStringLiteral("second"));
    QVERIFY(m_dialog->takeFix());

    QCOMPARE(tree->topLevelItemCount(), 3);
    QCOMPARE(itemText(tree, 0, 4), QStringLiteral("second"));
    QCOMPARE(itemText(tree, 1, 4), QStringLiteral("first"));
    QCOMPARE(itemText(tree, 2, 4), QStringLiteral("old MOB"));
    latLonStringOptions_t options;
    options.format = belrix_common_qt_gui::guiSettings_t::get()->latLonFormat();
    QCOMPARE(itemText(tree, 0, 1), latitudeString(lat, options));
    QCOMPARE(itemText(tree, 0, 2), longitudeString(lon, options));
}

void tst_dlgTakeFix::positionLabels_data()
{
    QTest::addColumn<double>("age");
    QTest::addColumn<int>("format");
    QTest::addColumn<bool>("shown");

    QTest::newRow("fresh, degrees") << 0.0 << int(latLonFormatDegrees) << true;
    QTest::newRow("fresh, degrees minutes seconds") << 2.9 << int(latLonFormatDegreesMinutesSeconds) << true;
    QTest::newRow("3 s old") << 3.0 << int(latLonFormatDegrees) << false;
}

void tst_dlgTakeFix::positionLabels()
{
    QFETCH(double, age);
    QFETCH(int, format);
    QFETCH(bool, shown);

    belrix_common_qt_gui::guiSettings_t::get()->setLatLonFormat(latLonFormat_t(format));
    source()->setInputPosition(positionItem(age));
    source()->setEllipsoidalHeight(dataItem_t<double>(5.5, now - age));
    m_dialog->handleClockTimeout();

    auto label = [this](const char* name) {
        auto* widget = m_dialog->findChild<QLabel*>(QString::fromLatin1(name));
        return widget ? widget->text() : QStringLiteral("<missing>");
    };
    latLonStringOptions_t options;
    options.format = latLonFormat_t(format);
    QCOMPARE(label("latitudeLabel"), shown ? latitudeString(lat, options) : NoDataString);
    QCOMPARE(label("longitudeLabel"), shown ? longitudeString(lon, options) : NoDataString);
    QCOMPARE(label("heightLabel"), shown ? distanceString(5.5, distanceUnitMeters, 2) : NoDataString);
    QCOMPARE(label("timeLabel") == NoDataString, !shown);

    // a position that goes stale on a later tick is no longer shown
    dataClock_t::advance(3.0);
    m_dialog->handleClockTimeout();
    QCOMPARE(label("latitudeLabel"), NoDataString);
}

QTEST_MAIN(tst_dlgTakeFix)
#include "tst_dlgTakeFix.moc"
