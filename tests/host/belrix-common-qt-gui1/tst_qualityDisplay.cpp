#include <belrix_common_qt_gui/guiSettings.h>
#include <belrix_common_qt_gui/orvaneDeviceGui.h>
#include <belrix_common_qt_gui/qcQualityPanel.h>
#include <belrix_common_qt_gui/qualityGrader.h>
#include <belrix_common_qt_gui/qualityLight.h>
#include <belrix_common_qt_gui/qualitySettings.h>
#include <belrix_common_qt_gui/styleManager.h>

#include <belrix_common_qt/qcDataStore.h>
#include <belrix_common_qt/qcSettingsBase.h>
#include <belrix_common_qt/remoteDevice.h>
#include <belrix_common_qt/textFormat.h>

#include <QImage>
#include <QLabel>
#include <QtTest>

#include <limits>
#include <memory>

using namespace belrix_common_qt_gui;
using belrix_common_qt::dataItem_t;
using belrix_common_qt::remoteDevice_t;

Q_DECLARE_METATYPE(belrix_common_qt_gui::quality_t)

namespace {

constexpr double Now = 1796498625.0;
constexpr double NaN = std::numeric_limits<double>::quiet_NaN();
constexpr double Inf = std::numeric_limits<double>::infinity();

QImage lampImage(QLabel const& label)
{
    return label.pixmap(Qt::ReturnByValue).toImage();
}

QColor centre(QLabel const& label)
{
    const QImage image = lampImage(label);
    return image.pixelColor(image.width() / 2, image.height() / 2);
}

int brightest(QImage const& image)
{
    int top = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c.alpha() > 0)
                top = std::max(top, c.lightness());
        }
    }
    return top;
}

void setNight(bool night)
{
    guiSettings_t::get()->setDisplayMode(night ? belrix_common_qt::displayModeNight
                                               : belrix_common_qt::displayModeDay);
}

} // namespace

class tst_qualityDisplay : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void init()
    {
        setNight(false);
        styleManager_t::get()->setGlobalTags({});
    }
    void cleanup() { init(); }

    // ---- grading --------------------------------------------------------------------

    void smallerIsBetter_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<quality_t>("quality");
        // good below 2, bad above 4
        QTest::newRow("well below") << 0.5 << qualityGood;
        QTest::newRow("just below the good bound") << 1.999 << qualityGood;
        QTest::newRow("at the good bound") << 2.0 << qualityMarginal;
        QTest::newRow("between") << 3.0 << qualityMarginal;
        QTest::newRow("at the bad bound") << 4.0 << qualityMarginal;
        QTest::newRow("just above the bad bound") << 4.001 << qualityBad;
        QTest::newRow("infinite") << Inf << qualityBad;
        QTest::newRow("not a number") << NaN << qualityOff;
    }

    void smallerIsBetter()
    {
        QFETCH(double, value);
        QFETCH(quality_t, quality);
        QCOMPARE(qualityGrader_t::smallerIsBetter(value, 2.0, 4.0), quality);
    }

    void largerIsBetter_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<quality_t>("quality");
        // satellites used with the defaults: good above 6, bad below 4
        QTest::newRow("three") << 3.0 << qualityBad;
        QTest::newRow("four") << 4.0 << qualityMarginal;
        QTest::newRow("six") << 6.0 << qualityMarginal;
        QTest::newRow("seven") << 7.0 << qualityGood;
        QTest::newRow("none") << 0.0 << qualityBad;
        QTest::newRow("not a number") << NaN << qualityOff;
    }

    void largerIsBetter()
    {
        QFETCH(double, value);
        QFETCH(quality_t, quality);
        QCOMPARE(qualityGrader_t::satellitesUsed(value, qualitySettings_t()), quality);
    }

    void overlappingThresholdsFavourBad()
    {
        // a configuration with the bounds the wrong way round must not show green for
        // a value it also calls bad
        QCOMPARE(qualityGrader_t::smallerIsBetter(3.0, 5.0, 2.0), qualityBad);
        QCOMPARE(qualityGrader_t::largerIsBetter(5.0, 4.0, 8.0), qualityBad);
    }

    void thresholdsReachTheirValues()
    {
        qualitySettings_t s;
        s.hdopLess = 1.0f;
        s.hdopGreater = 2.0f;
        s.pdopLess = 3.0f;
        s.pdopGreater = 4.0f;
        s.vdopLess = 5.0f;
        s.vdopGreater = 6.0f;
        s.ageLess = 7;
        s.ageGreater = 8;
        // each value is graded by its own pair and no other
        QCOMPARE(qualityGrader_t::hdop(1.5, s), qualityMarginal);
        QCOMPARE(qualityGrader_t::hdop(2.5, s), qualityBad);
        QCOMPARE(qualityGrader_t::pdop(2.5, s), qualityGood);
        QCOMPARE(qualityGrader_t::pdop(3.5, s), qualityMarginal);
        QCOMPARE(qualityGrader_t::vdop(4.5, s), qualityGood);
        QCOMPARE(qualityGrader_t::vdop(6.5, s), qualityBad);
        QCOMPARE(qualityGrader_t::correctionAge(6.5, s), qualityGood);
        QCOMPARE(qualityGrader_t::correctionAge(7.5, s), qualityMarginal);
        QCOMPARE(qualityGrader_t::correctionAge(8.5, s), qualityBad);
    }

    void fixType_data()
    {
        QTest::addColumn<int>("fixQuality");
        QTest::addColumn<quality_t>("quality");
        // defaults: correction level 1 (autonomous) marginal, 0 bad
        QTest::newRow("no fix") << int(belrix_common_qt::fixQualityInvalid) << qualityBad;
        QTest::newRow("autonomous") << int(belrix_common_qt::fixQualityGps) << qualityMarginal;
        QTest::newRow("differential") << int(belrix_common_qt::fixQualityDgps) << qualityGood;
        QTest::newRow("RTK float") << int(belrix_common_qt::fixQualityRtkFloat) << qualityGood;
        QTest::newRow("RTK fixed") << int(belrix_common_qt::fixQualityRtkFixed) << qualityGood;
        QTest::newRow("dead reckoning") << int(belrix_common_qt::fixQualityEstimated) << qualityBad;
        QTest::newRow("manual") << int(belrix_common_qt::fixQualityManual) << qualityBad;
        QTest::newRow("simulation") << int(belrix_common_qt::fixQualitySimulation) << qualityBad;
        QTest::newRow("unknown code") << 42 << qualityBad;
        QTest::newRow("negative code") << -1 << qualityBad;
    }

    void fixType()
    {
        QFETCH(int, fixQuality);
        QFETCH(quality_t, quality);
        QCOMPARE(qualityGrader_t::fix(fixQuality, qualitySettings_t()), quality);
    }

    void fixTypeFollowsTheCorrectionThresholds()
    {
        qualitySettings_t s;
        s.typeCorrYellow = 3;   // only RTK fixed is good
        s.typeCorrRed = 1;      // autonomous is bad
        QCOMPARE(qualityGrader_t::fix(belrix_common_qt::fixQualityGps, s), qualityBad);
        QCOMPARE(qualityGrader_t::fix(belrix_common_qt::fixQualityDgps, s), qualityMarginal);
        QCOMPARE(qualityGrader_t::fix(belrix_common_qt::fixQualityRtkFloat, s), qualityMarginal);
        QCOMPARE(qualityGrader_t::fix(belrix_common_qt::fixQualityRtkFixed, s), qualityGood);
    }

    void unitVariance_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<quality_t>("quality");
        QTest::newRow("below the limit") << 1.0 << qualityGood;
        QTest::newRow("at the limit") << 4.0 << qualityGood;
        QTest::newRow("above the limit") << 4.01 << qualityBad;
        QTest::newRow("not a number") << NaN << qualityOff;
    }

    void unitVariance()
    {
        QFETCH(double, value);
        QFETCH(quality_t, quality);
        QCOMPARE(qualityGrader_t::unitVariance(value, 4.0), quality);
    }

    // ---- the light --------------------------------------------------------------------

    void lampsDifferByLevelAndMode()
    {
        for (bool night : {false, true}) {
            QSet<QRgb> colors;
            for (quality_t q : {qualityOff, qualityBad, qualityMarginal, qualityGood})
                colors.insert(qualityLight_t::lampColor(q, night).rgb());
            QCOMPARE(colors.size(), 4);
        }
        for (quality_t q : {qualityOff, qualityBad, qualityMarginal, qualityGood})
            QVERIFY(qualityLight_t::lampColor(q, true).lightness() < qualityLight_t::lampColor(q, false).lightness());
    }

    void lightDrawsItsLevel_data()
    {
        QTest::addColumn<bool>("night");
        QTest::addColumn<quality_t>("quality");
        for (bool night : {false, true}) {
            const char* mode = night ? "night" : "day";
            QTest::addRow("%s off", mode) << night << qualityOff;
            QTest::addRow("%s bad", mode) << night << qualityBad;
            QTest::addRow("%s marginal", mode) << night << qualityMarginal;
            QTest::addRow("%s good", mode) << night << qualityGood;
        }
    }

    void lightDrawsItsLevel()
    {
        QFETCH(bool, night);
        QFETCH(quality_t, quality);
        setNight(night);
        QLabel label(QStringLiteral("--"));
        qualityLight_t light(&label);
        light.setQuality(quality);
        QCOMPARE(light.quality(), quality);
        QVERIFY(label.text().isEmpty());
        const QColor expected = qualityLight_t::lampColor(quality, night);
        const QColor drawn = centre(label);
        // the day lamp glows towards its upper left, so its centre is a little lighter
        QVERIFY2(std::abs(drawn.hue() - expected.hue()) <= 12 || quality == qualityOff,
                 qPrintable(drawn.name() + " for " + expected.name()));
        if (night)
            QVERIFY2(brightest(lampImage(label)) < 140, "a night lamp must not glare");
    }

    void lightFollowsTheDisplayMode()
    {
        QLabel label;
        qualityLight_t light(&label);
        light.setQuality(qualityGood);
        const int day = brightest(lampImage(label));
        setNight(true);
        const int night = brightest(lampImage(label));
        QVERIFY2(night < day, qPrintable(QStringLiteral("%1 %2").arg(night).arg(day)));
        setNight(false);
        QCOMPARE(brightest(lampImage(label)), day);

        // the style tags alone also make it night
        styleManager_t::get()->setGlobalTags({guiSettings_t::nightModeTag});
        QCOMPARE(brightest(lampImage(label)), night);
    }

    void labelMayGoFirst()
    {
        auto* label = new QLabel;
        qualityLight_t light(label);
        delete label;
        light.setQuality(qualityBad);
        setNight(true);
        QCOMPARE(light.quality(), qualityBad);
        QVERIFY(!light.label());
    }

    // ---- the QC quality panel ------------------------------------------------------------

    void panelGradesCurrentValues()
    {
        remoteDevice_t device;
        device.setFixQuality(dataItem_t<int>(belrix_common_qt::fixQualityRtkFloat, Now));
        device.setSatellitesUsed(dataItem_t<unsigned int>(5, Now - 2.9));
        device.setHdop(dataItem_t<float>(4.5f, Now));
        device.setPdop(dataItem_t<float>(1.25f, Now - 3.0));   // too old
        device.setCorrectionAge(dataItem_t<float>(12.0f, Now));
        belrix_common_qt::qcSummary_t summary;
        summary.unitVariance = 5.5f;
        device.qcDataStore()->addSummary(Now - 1.0, summary);

        qcQualityPanel_t panel;
        panel.updateData(Now, &device);
        using row = qcQualityPanel_t;
        QCOMPARE(panel.valueText(row::rowFix), belrix_common_qt::fixQualityString(belrix_common_qt::fixQualityRtkFloat));
        QCOMPARE(panel.quality(row::rowFix), qualityGood);
        QCOMPARE(panel.valueText(row::rowSatellites), QStringLiteral("5"));
        QCOMPARE(panel.quality(row::rowSatellites), qualityMarginal);
        QCOMPARE(panel.valueText(row::rowHdop), QStringLiteral("4.5"));
        QCOMPARE(panel.quality(row::rowHdop), qualityBad);
        QCOMPARE(panel.valueText(row::rowPdop), belrix_common_qt::NoDataString);
        QCOMPARE(panel.quality(row::rowPdop), qualityOff);
        QCOMPARE(panel.valueText(row::rowCorrectionAge), QStringLiteral("12.0 s"));
        QCOMPARE(panel.quality(row::rowCorrectionAge), qualityMarginal);
        QCOMPARE(panel.valueText(row::rowUnitVariance), QStringLiteral("5.50"));
        QCOMPARE(panel.quality(row::rowUnitVariance), qualityBad);   // default limit 4

        device.qcSettings()->setUnitVarianceLimit(6.0);
        panel.updateData(Now, &device);
        QCOMPARE(panel.quality(row::rowUnitVariance), qualityGood);

        // a stale summary is no summary
        panel.updateData(Now + 2.0, &device);
        QCOMPARE(panel.quality(row::rowUnitVariance), qualityOff);
        QCOMPARE(panel.valueText(row::rowUnitVariance), belrix_common_qt::NoDataString);
    }

    void panelEmptiesWithoutData()
    {
        remoteDevice_t device;
        device.setHdop(dataItem_t<float>(0.9f, Now));
        qcQualityPanel_t panel;
        panel.updateData(Now, &device);
        QCOMPARE(panel.quality(qcQualityPanel_t::rowHdop), qualityGood);
        panel.updateData(Now, nullptr);
        for (int r = 0; r < qcQualityPanel_t::rowCount; ++r) {
            QCOMPARE(panel.valueText(qcQualityPanel_t::row_t(r)), belrix_common_qt::NoDataString);
            QCOMPARE(panel.quality(qcQualityPanel_t::row_t(r)), qualityOff);
        }
        panel.updateData(Now, &device);
        panel.clearData();
        QCOMPARE(panel.quality(qcQualityPanel_t::rowHdop), qualityOff);
    }

    void bundleHandsItsThresholdsToThePanel()
    {
        qualitySettings_t thresholds;
        orvaneDeviceGui_t gui;
        gui.setQualitySettings(&thresholds);
        std::unique_ptr<QWidget> widget(gui.qcQualityPanel());
        auto* panel = qobject_cast<qcQualityPanel_t*>(widget.get());
        QVERIFY(panel);
        QCOMPARE(panel->windowTitle(), QStringLiteral("QC Quality"));

        remoteDevice_t device;
        device.setHdop(dataItem_t<float>(1.5f, Now));
        panel->updateData(Now, &device);
        QCOMPARE(panel->quality(qcQualityPanel_t::rowHdop), qualityGood);
        thresholds.hdopGreater = 1.0f;
        panel->updateData(Now, &device);
        QCOMPARE(panel->quality(qcQualityPanel_t::rowHdop), qualityBad);

        // a destroyed panel is made anew on the next request, with the same thresholds
        widget.reset();
        widget.reset(gui.qcQualityPanel());
        panel = qobject_cast<qcQualityPanel_t*>(widget.get());
        panel->updateData(Now, &device);
        QCOMPARE(panel->quality(qcQualityPanel_t::rowHdop), qualityBad);

        gui.setHasQcQualityPanel(false);
        QVERIFY(!gui.qcQualityPanel());
    }
};

QTEST_MAIN(tst_qualityDisplay)
#include "tst_qualityDisplay.moc"
