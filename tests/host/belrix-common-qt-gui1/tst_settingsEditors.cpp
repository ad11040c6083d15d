#include <belrix_common_qt_gui/orvaneDeviceGui.h>
#include <belrix_common_qt_gui/qualityConfigWidget.h>
#include <belrix_common_qt_gui/qualitySettings.h>
#include <tolvconfig/config.h>

#include <QDoubleSpinBox>
#include <QtTest>

#include <memory>

using namespace belrix_common_qt;
using namespace belrix_common_qt_gui;

namespace {
// Every field off its default, each with its own value, so a field mixed up with another shows.
qualitySettings_t unusual()
{
    qualitySettings_t s;
    s.pdopLess = 3.25f, s.pdopGreater = 7.5f, s.hdopLess = 1.5f, s.hdopGreater = 3.75f;
    s.vdopLess = 2.25f, s.vdopGreater = 6.5f, s.fomLess = 0.75f, s.fomGreater = 9.5f;
    s.snrGreater = 42.5f, s.snrLess = 28.5f, s.ageLess = 12, s.ageGreater = 45;
    s.satUsedGreater = 8, s.satUsedLess = 3, s.colorModeAuto2d = 2, s.colorFreqCa = 0;
    s.typeCorrYellow = 3, s.typeCorrRed = 2;
    return s;
}
} // namespace

class tst_settingsEditors : public QObject
{
    Q_OBJECT

private slots:
    void qualitySettingsSurviveTheStore()
    {
        tolvconfig::config_t config;
        const qualitySettings_t stored = unusual();
        stored.save(config, "device.GNSS 1.");
        qualitySettings_t loaded;
        loaded.load(config, "device.GNSS 1.");
        QVERIFY(loaded == stored);

        // what the store lacks or cannot read keeps its value
        config.clear();
        config.setValue("p.qc_hdop_less", "2.5");
        config.setValue("p.qc_pdop_less", "not a number");
        config.setValue("p.qc_age_less", "-3");
        loaded.load(config, "p.");
        qualitySettings_t expected = unusual();
        expected.hdopLess = 2.5f;
        QVERIFY(loaded == expected);
    }

    void qualityEditorShownAgain_data()
    {
        QTest::addColumn<bool>("edited");
        QTest::newRow("catches up when unedited") << false;
        QTest::newRow("keeps the user's edits") << true;
    }
    void qualityEditorShownAgain()
    {
        QFETCH(bool, edited);
        orvaneDeviceGui_t gui;
        qualitySettings_t record = unusual();
        gui.setQualitySettings(&record);
        std::unique_ptr<qualityConfigWidget_t> editor(gui.qualityConfigWidget());
        editor->showSettings(&record);
        QVERIFY(!editor->isModified());
        qualitySettings_t written;
        editor->applySettings(&written);
        QVERIFY(written == record);

        if (edited)
            editor->findChild<QDoubleSpinBox*>("hdopBadSpin")->setValue(6.5);
        QCOMPARE(editor->isModified(), edited);
        record.hdopGreater = 8.25f;   // loaded after the editor was filled
        record.typeCorrYellow = 17;   // written by another tool; the list has no such grade
        editor->show();
        written.typeCorrYellow = 17;
        editor->applySettings(&written);
        QCOMPARE(written.hdopGreater, edited ? 6.5f : 8.25f);
        QCOMPARE(written.typeCorrYellow, edited ? 3u : 17u);
    }
};

QTEST_MAIN(tst_settingsEditors)
#include "tst_settingsEditors.moc"
