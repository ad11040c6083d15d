#include "accuracyFixture.h"

#include "accuracy/autoRange.h"
#include "accuracy/errorEllipseConfigSettings.h"
#include "accuracy/positionComparisonConfigSettings.h"

#include <tolvconfig/config.h>
#include <tolvconfig/configCodec.h>

#include <QtTest>

#include <limits>

using namespace orvane::qc;
using namespace accuracyTest;

namespace {

std::string key(std::string const& name) { return "w." + name; }

// A configuration holding the given keys of the plot part ("-" leaves a key out).
tolvconfig::config_t plotConfig(QString const& range, QString const& autoScale, QString const& labels)
{
    tolvconfig::config_t config;
    if (range != QLatin1String("-"))
        config.setValue(key("range"), range.toStdString());
    if (autoScale != QLatin1String("-"))
        config.setValue(key("auto_scale"), autoScale.toStdString());
    if (labels != QLatin1String("-"))
        config.setValue(key("labels"), labels.toStdString());
    return config;
}

const double Empty[] = {0.0};
const double Short[] = {1.0, 5.0, 0.0};

} // namespace

class tst_accuracySettings : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void autoRangeFollowsTheEllipse_data();
    void autoRangeFollowsTheEllipse();
    void autoRangeAboveOnlyWhenThereIsOne_data();
    void autoRangeAboveOnlyWhenThereIsOne();
    void autoRangeStaysInsideTheTable();

    void plotRangeLoading_data();
    void plotRangeLoading();
    void plotRangeRoundTrip();

    void comparisonCentreLoading_data();
    void comparisonCentreLoading();
    void comparisonSavesEitherDeviceOrCentre();
    void activeDeviceThatIsGoneReadsAsNull();
};

void tst_accuracySettings::autoRangeFollowsTheEllipse_data()
{
    QTest::addColumn<double>("size");
    QTest::addColumn<double>("range");

    QTest::newRow("below the first entry") << 0.001 << 0.01;
    QTest::newRow("just below an entry") << 0.99 << 1.0;
    QTest::newRow("at an entry goes to the next") << 1.0 << 2.0;
    QTest::newRow("just above an entry") << 1.01 << 2.0;
    QTest::newRow("at the largest entry") << 100000.0 << 100000.0;
    QTest::newRow("beyond every entry") << 250000.0 << 100000.0;
    QTest::newRow("no ellipse at all") << -1.0 << 0.01;
    QTest::newRow("not a number") << std::numeric_limits<double>::quiet_NaN() << 100000.0;
}

void tst_accuracySettings::autoRangeFollowsTheEllipse()
{
    QFETCH(double, size);
    QFETCH(double, range);
    QCOMPARE(autoRangeFor(size), range);
}

void tst_accuracySettings::autoRangeAboveOnlyWhenThereIsOne_data()
{
    QTest::addColumn<double>("size");
    QTest::addColumn<double>("range");

    QTest::newRow("1500 m") << 1500.0 << 2000.0;
    QTest::newRow("at an entry goes to the next") << 2000.0 << 5000.0;
    QTest::newRow("just below the largest") << 99999.0 << 100000.0;
    QTest::newRow("at the largest: none") << 100000.0 << 0.0;
    QTest::newRow("beyond every entry: none") << 3.0e6 << 0.0;
}

void tst_accuracySettings::autoRangeAboveOnlyWhenThereIsOne()
{
    QFETCH(double, size);
    QFETCH(double, range);
    QCOMPARE(autoRangeAbove(size), range);
}

void tst_accuracySettings::autoRangeStaysInsideTheTable()
{
    QCOMPARE(autoRangeFor(3.0, Empty), 0.0);
    QCOMPARE(autoRangeAbove(3.0, Empty), 0.0);
    QCOMPARE(autoRangeFor(7.0, Short), 5.0);
    QCOMPARE(autoRangeFor(1.0, Short), 5.0);
    QCOMPARE(autoRangeAbove(5.0, Short), 0.0);
    QCOMPARE(autoRangeFor(1.0, nullptr), 0.0);
}

void tst_accuracySettings::plotRangeLoading_data()
{
    QTest::addColumn<QString>("range");
    QTest::addColumn<QString>("autoScale");
    QTest::addColumn<QString>("labels");
    QTest::addColumn<bool>("labelsRequired");
    QTest::addColumn<bool>("loaded");
    QTest::addColumn<double>("expectedRange");
    QTest::addColumn<bool>("expectedAuto");
    QTest::addColumn<int>("expectedLabels");

    // the record starts as 7 m, auto off, vertical labels, so "unchanged" shows
    QTest::newRow("all keys") << "25.00" << "false" << "Horizontal" << true << true << 25.0 << false << 1;
    QTest::newRow("range zero takes 1 m") << "0.00" << "false" << "Vertical" << true << true << 1.0 << false << 2;
    QTest::newRow("negative range takes 1 m") << "-4.00" << "true" << "None" << false << true << 1.0 << true << 0;
    QTest::newRow("no range: nothing") << "-" << "true" << "None" << false << false << 7.0 << false << 2;
    QTest::newRow("no auto_scale: nothing") << "5.00" << "-" << "None" << false << false << 7.0 << false << 2;
    QTest::newRow("labels optional and absent") << "5.00" << "true" << "-" << false << true << 5.0 << true << 0;
    QTest::newRow("labels required and absent") << "5.00" << "true" << "-" << true << false << 7.0 << false << 2;
    QTest::newRow("unknown labels text") << "5.00" << "true" << "Diagonal" << true << true << 5.0 << true << 0;
    QTest::newRow("undecodable range: nothing") << "five" << "true" << "None" << false << false << 7.0 << false << 2;
}

void tst_accuracySettings::plotRangeLoading()
{
    QFETCH(QString, range);
    QFETCH(QString, autoScale);
    QFETCH(QString, labels);
    QFETCH(bool, labelsRequired);
    QFETCH(bool, loaded);
    QFETCH(double, expectedRange);
    QFETCH(bool, expectedAuto);
    QFETCH(int, expectedLabels);

    errorEllipseConfigSettings_t settings;
    settings.range = 7.0;
    settings.autoScale = false;
    settings.labels = 2;
    const bool result = settings.loadPlotRange(plotConfig(range, autoScale, labels), key,
                                               labelsRequired ? plotRangeSettings_t::labelsRequired
                                                              : plotRangeSettings_t::labelsOptional);
    QCOMPARE(result, loaded);
    QCOMPARE(settings.range, expectedRange);
    QCOMPARE(settings.autoScale, expectedAuto);
    QCOMPARE(settings.labels, expectedLabels);
}

void tst_accuracySettings::plotRangeRoundTrip()
{
    errorEllipseConfigSettings_t saved;
    saved.range = 12.345;
    saved.autoScale = false;
    saved.labels = 2;
    tolvconfig::config_t config;
    saved.savePlotRange(config, key);
    std::string text;
    QVERIFY(config.getValue(key("range"), text));
    QCOMPARE(QString::fromStdString(text), QStringLiteral("12.35"));   // two decimals
    QVERIFY(config.getValue(key("labels"), text));
    QCOMPARE(QString::fromStdString(text), QStringLiteral("Vertical"));

    errorEllipseConfigSettings_t loaded;
    QVERIFY(loaded.loadPlotRange(config, key, plotRangeSettings_t::labelsRequired));
    QCOMPARE(loaded.range, 12.35);
    QCOMPARE(loaded.autoScale, false);
    QCOMPARE(loaded.labels, 2);
}

void tst_accuracySettings::comparisonCentreLoading_data()
{
    QTest::addColumn<QString>("lat");
    QTest::addColumn<QString>("lon");
    QTest::addColumn<bool>("latValid");
    QTest::addColumn<bool>("lonValid");

    QTest::newRow("inside") << "1.000000000000" << "0.200000000000" << true << true;
    // written with 12 decimals, the bounds round outwards and still read as the bounds
    QTest::newRow("at the pole and the date line") << "1.570796326795" << "-3.141592653590" << true << true;
    QTest::newRow("just beyond the rounding") << "1.570796326797" << "3.141592653592" << false << false;
    QTest::newRow("latitude beyond the pole") << "1.600000000000" << "0.2" << false << true;
    QTest::newRow("longitude beyond the date line") << "0.5" << "3.200000000000" << true << false;
    QTest::newRow("no latitude key") << "-" << "0.2" << false << true;
    QTest::newRow("placeholder of an unset centre") << QString::number(std::numeric_limits<double>::max(), 'f', 12)
                                                    << "-" << false << false;
}

void tst_accuracySettings::comparisonCentreLoading()
{
    QFETCH(QString, lat);
    QFETCH(QString, lon);
    QFETCH(bool, latValid);
    QFETCH(bool, lonValid);

    tolvconfig::config_t config = plotConfig("10.00", "true", "None");
    if (lat != QLatin1String("-"))
        config.setValue(key("center_lat"), lat.toStdString());
    if (lon != QLatin1String("-"))
        config.setValue(key("center_lon"), lon.toStdString());
    positionComparisonConfigSettings_t settings;
    QVERIFY(settings.load(config, key));
    QVERIFY(!settings.activeDevice);
    QCOMPARE(settings.center.latValid, latValid);
    QCOMPARE(settings.center.lonValid, lonValid);
    if (latValid)
        QVERIFY(close(settings.center.lat, lat.toDouble(), 1e-12));
}

void tst_accuracySettings::comparisonSavesEitherDeviceOrCentre()
{
    fleet_t fleet;
    orvane::device_t* gnss = fleet.add("GNSS 1", 4);

    positionComparisonConfigSettings_t fixed;
    fixed.center = degrees(57.5, 11.25);
    tolvconfig::config_t config;
    fixed.save(config, key);
    QVERIFY(!config.hasKey(key("active_device")));
    std::string text;
    QVERIFY(config.getValue(key("center_lat"), text));
    QCOMPARE(QString::fromStdString(text), QString::number(57.5 * Pi / 180.0, 'f', 12));
    positionComparisonConfigSettings_t reloaded;
    QVERIFY(reloaded.load(config, key));
    QVERIFY(close(reloaded.center.lat, fixed.center.lat, 1e-12));
    QVERIFY(close(reloaded.center.lon, fixed.center.lon, 1e-12));

    positionComparisonConfigSettings_t active;
    active.activeDevice = gnss;
    tolvconfig::config_t second;
    active.save(second, key);
    QVERIFY(second.getValue(key("active_device"), text));
    QCOMPARE(QString::fromStdString(text), QStringLiteral("4"));
    QVERIFY(!second.hasKey(key("center_lat")));
    // with the centre keys there as well, the active device wins
    second.setValue(key("center_lat"), "0.5");
    second.setValue(key("center_lon"), "0.5");
    QVERIFY(reloaded.load(second, key));
    QCOMPARE(reloaded.activeDevice.data(), gnss);
    QVERIFY(!reloaded.center.latValid);
    QVERIFY(!reloaded.center.lonValid);
}

void tst_accuracySettings::activeDeviceThatIsGoneReadsAsNull()
{
    fleet_t fleet;
    orvane::device_t* gnss = fleet.add("GNSS 1", 4);
    tolvconfig::config_t config = plotConfig("10.00", "true", "None");
    config.setValue(key("active_device"), "9");
    positionComparisonConfigSettings_t settings;
    QVERIFY(settings.load(config, key));
    QVERIFY(!settings.activeDevice);
    QVERIFY(!settings.center.latValid);

    settings.activeDevice = gnss;
    fleet.remove(gnss);
    QVERIFY(!settings.activeDevice);
}

QTEST_MAIN(tst_accuracySettings)
#include "tst_accuracySettings.moc"
