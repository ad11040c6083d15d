#include <belrix_common_qt_gui/guiSettings.h>
#include <belrix_common_qt_gui/orvaneDeviceGui.h>
#include <belrix_common_qt_gui/qcQualityPanel.h>
#include <belrix_common_qt_gui/qualityGrader.h>
#include <belrix_common_qt_gui/qualityLight.h>
#include <belrix_common_qt_gui/qualitySettings.h>
#include <belrix_common_qt_gui/styleManager.h>

#include <belrix_common_qt/dataClock.h>
#include <belrix_common_qt/qcDataStore.h>
#include <belrix_common_qt/qcSettingsBase.h>
#include <belrix_common_qt/remoteDevice.h>
#include <belrix_common_qt/textFormat.h>

#include <QLabel>
#include <QtTest>

#include <limits>
#include <memory>

using namespace belrix_common_qt_gui;
using namespace belrix_common_qt;

Q_DECLARE_METATYPE(belrix_common_qt_gui::quality_t)

namespace {

constexpr double Now = 1796498625.0;
constexpr double NaN = std::numeric_limits<double>::quiet_NaN();

// Each pair its own bounds, so a value graded by the wrong pair shows.
qualitySettings_t thresholds()
{
    qualitySettings_t s;
    s.hdopLess = 1.0f, s.hdopGreater = 2.0f;
    s.pdopLess = 3.0f, s.pdopGreater = 4.0f;
    s.vdopLess = 5.0f, s.vdopGreater = 6.0f;
    s.ageLess = 7, s.ageGreater = 8;
    s.typeCorrYellow = 3;   // up to RTK float marginal
    s.typeCorrRed = 1;      // autonomous bad
    return s;
}

quality_t grade(QString const& rule, double value)
{
    const qualitySettings_t s = thresholds();
    if (rule == "hdop") return qualityGrader_t::hdop(value, s);
    if (rule == "pdop") return qualityGrader_t::pdop(value, s);
    if (rule == "vdop") return qualityGrader_t::vdop(value, s);
    if (rule == "age") return qualityGrader_t::correctionAge(value, s);
    if (rule == "satellites") return qualityGrader_t::satellitesUsed(value, qualitySettings_t());
    if (rule == "fix") return qualityGrader_t::fix(int(value), s);
    if (rule == "variance") return qualityGrader_t::unitVariance(value, 4.0);
    if (rule == "reversed small") return qualityGrader_t::smallerIsBetter(value, 5.0, 2.0);
    return qualityGrader_t::largerIsBetter(value, 4.0, 8.0);
}

int brightest(QLabel const& label)
{
    const QImage image = label.pixmap(Qt::ReturnByValue).toImage();
    int top = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixelColor(x, y).alpha() > 0)
                top = std::max(top, image.pixelColor(x, y).lightness());
    return top;
}

void setNight(bool night)
{
    guiSettings_t::get()->setDisplayMode(night ? displayModeNight : displayModeDay);
}

} // namespace

struct grade_t { QString rule; double value; quality_t quality; };
Q_DECLARE_METATYPE(grade_t)

class tst_qualityDisplay : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        setNight(false);
        styleManager_t::get()->setGlobalTags({});
    }
    void cleanup() { init(); }

    void grading_data()
    {
        QTest::addColumn<grade_t>("g");
        QTest::newRow("hdop below the good bound") << grade_t{"hdop", 0.999, qualityGood};
        QTest::newRow("hdop at the good bound") << grade_t{"hdop", 1.0, qualityMarginal};
        QTest::newRow("hdop at the bad bound") << grade_t{"hdop", 2.0, qualityMarginal};
        QTest::newRow("hdop above the bad bound") << grade_t{"hdop", 2.001, qualityBad};
        QTest::newRow("hdop not a number") << grade_t{"hdop", NaN, qualityOff};
        QTest::newRow("pdop by its own pair") << grade_t{"pdop", 3.5, qualityMarginal};
        QTest::newRow("vdop by its own pair") << grade_t{"vdop", 4.5, qualityGood};
        QTest::newRow("age by its own pair") << grade_t{"age", 8.5, qualityBad};
        QTest::newRow("satellites below the bad bound") << grade_t{"satellites", 3.0, qualityBad};
        QTest::newRow("satellites at the bad bound") << grade_t{"satellites", 4.0, qualityMarginal};
        QTest::newRow("satellites above the good bound") << grade_t{"satellites", 7.0, qualityGood};
        QTest::newRow("satellites not a number") << grade_t{"satellites", NaN, qualityOff};
        QTest::newRow("autonomous at the red level") << grade_t{"fix", double(fixQualityGps), qualityBad};
        QTest::newRow("RTK float at the yellow level") << grade_t{"fix", double(fixQualityRtkFloat), qualityMarginal};
        QTest::newRow("RTK fixed") << grade_t{"fix", double(fixQualityRtkFixed), qualityGood};
        QTest::newRow("variance at the limit") << grade_t{"variance", 4.0, qualityGood};
        QTest::newRow("variance above the limit") << grade_t{"variance", 4.01, qualityBad};
        QTest::newRow("variance not a number") << grade_t{"variance", NaN, qualityOff};
        // bounds the wrong way round must not show green for a value also called bad
        QTest::newRow("reversed smaller bounds") << grade_t{"reversed small", 3.0, qualityBad};
        QTest::newRow("reversed larger bounds") << grade_t{"reversed large", 5.0, qualityBad};
    }
    void grading()
    {
        QFETCH(grade_t, g);
        QCOMPARE(grade(g.rule, g.value), g.quality);
    }

    void lightDrawsItsLevel_data()
    {
        QTest::addColumn<bool>("night");
        QTest::addColumn<quality_t>("quality");
        QTest::newRow("day bad") << false << qualityBad;
        QTest::newRow("day good") << false << qualityGood;
        QTest::newRow("night marginal") << true << qualityMarginal;
    }
    void lightDrawsItsLevel()
    {
        QFETCH(bool, night);
        QFETCH(quality_t, quality);
        QSet<QRgb> colors;
        for (quality_t q : {qualityOff, qualityBad, qualityMarginal, qualityGood})
            colors.insert(qualityLight_t::lampColor(q, night).rgb());
        QCOMPARE(colors.size(), 4);

        auto* label = new QLabel(QStringLiteral("--"));
        qualityLight_t light(label);
        light.setQuality(quality);
        const int day = brightest(*label);
        setNight(night);
        QVERIFY(label->text().isEmpty());
        const QImage image = label->pixmap(Qt::ReturnByValue).toImage();
        const QColor drawn = image.pixelColor(image.width() / 2, image.height() / 2);
        const QColor expected = qualityLight_t::lampColor(quality, night);
        // the day lamp glows towards its upper left, so its centre is a little lighter
        QVERIFY2(std::abs(drawn.hue() - expected.hue()) <= 12, qPrintable(drawn.name() + " for " + expected.name()));
        if (night) {
            QVERIFY2(brightest(*label) < std::min(day, 140), "a night lamp must not glare");
            // the style tags alone also make it night
            const int dimmed = brightest(*label);
            setNight(false);
            QCOMPARE(brightest(*label), day);
            styleManager_t::get()->setGlobalTags({guiSettings_t::nightModeTag});
            QCOMPARE(brightest(*label), dimmed);
        }
        // the label may go first
        delete label;
        light.setQuality(qualityOff);
        setNight(!night);
        QCOMPARE(light.quality(), qualityOff);
        QVERIFY(!light.label());
    }

    void panelGradesCurrentValues()
    {
        remoteDevice_t device;
        device.setFixQuality(dataItem_t<int>(fixQualityRtkFloat, Now));
        device.setSatellitesUsed(dataItem_t<unsigned int>(5, Now - 2.9));
        device.setHdop(dataItem_t<float>(4.5f, Now));
        device.setPdop(dataItem_t<float>(1.25f, Now - DataMaxAge));
        device.setCorrectionAge(dataItem_t<float>(12.0f, Now));
        qcSummary_t summary;
        summary.unitVariance = 5.5f;
        device.qcDataStore()->addSummary(Now - 1.0, summary);
        receiverIntegrity_t integrity;
        integrity.failedSatellite = 7;
        integrity.bias = 30.9f;
        device.setReceiverIntegrity(dataItem_t<receiverIntegrity_t>(integrity, Now));

        // the device's bundle hands its thresholds to every panel it makes
        qualitySettings_t thresholds;
        orvaneDeviceGui_t gui;
        gui.setQualitySettings(&thresholds);
        std::unique_ptr<QWidget> widget(gui.qcQualityPanel());
        auto* panel = qobject_cast<qcQualityPanel_t*>(widget.get());
        QVERIFY(panel);
        panel->updateData(Now, &device);
        using row = qcQualityPanel_t;
        const QStringList texts = {fixQualityString(fixQualityRtkFloat), "5", "4.5", NoDataString, "12.0 s", "5.50",
                                   "G07 suspect, bias 30.9 m"};
        const QList<quality_t> grades = {qualityGood,     qualityMarginal, qualityBad, qualityOff,
                                         qualityMarginal, qualityBad,      qualityBad};
        for (int r = 0; r < row::rowCount; ++r) {
            QCOMPARE(panel->valueText(row::row_t(r)), texts.at(r));
            QCOMPARE(panel->quality(row::row_t(r)), grades.at(r));
        }
        thresholds.hdopGreater = 5.0f;
        device.qcSettings()->setUnitVarianceLimit(6.0);
        widget.reset();
        widget.reset(gui.qcQualityPanel());   // made anew once destroyed
        panel = qobject_cast<qcQualityPanel_t*>(widget.get());
        panel->updateData(Now, &device);
        QCOMPARE(panel->quality(row::rowHdop), qualityMarginal);
        QCOMPARE(panel->quality(row::rowUnitVariance), qualityGood);
        device.setReceiverIntegrity(dataItem_t<receiverIntegrity_t>(receiverIntegrity_t(), Now));
        panel->updateData(Now, &device);
        QCOMPARE(panel->quality(row::rowIntegrity), qualityGood);
        // a stale summary is no summary
        panel->updateData(Now + 2.0, &device);
        QCOMPARE(panel->valueText(row::rowUnitVariance), NoDataString);

        panel->updateData(Now + DataMaxAge, &device);
        for (int r = 0; r < row::rowCount; ++r)
            QCOMPARE(panel->quality(row::row_t(r)), qualityOff);
        panel->updateData(Now, nullptr);
        QCOMPARE(panel->quality(row::rowFix), qualityOff);
        panel->updateData(Now, &device);
        panel->clearData();
        QCOMPARE(panel->valueText(row::rowHdop), NoDataString);
        gui.setHasQcQualityPanel(false);
        QVERIFY(!gui.qcQualityPanel());
    }
};

QTEST_MAIN(tst_qualityDisplay)
#include "tst_qualityDisplay.moc"
