#include <belrix_common_qt/qcSettingsBase.h>
#include <belrix_common_qt/remoteDevice.h>
#include <belrix_common_qt_gui/orvaneDeviceGui.h>
#include <belrix_common_qt_gui/qcConfigWidgetBase.h>
#include <belrix_common_qt_gui/qualityConfigWidget.h>
#include <belrix_common_qt_gui/qualitySettings.h>
#include <tolvconfig/config.h>
#include <tolvconfig/configCodec.h>

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QPointer>
#include <QSpinBox>
#include <QtTest>

#include <cmath>

using namespace belrix_common_qt;
using namespace belrix_common_qt_gui;

namespace {
// Every field off its default, each with its own value, so a field mixed up with another shows.
qualitySettings_t unusual()
{
    qualitySettings_t s;
    s.pdopLess = 3.25f;
    s.pdopGreater = 7.5f;
    s.hdopLess = 1.5f;
    s.hdopGreater = 3.75f;
    s.vdopLess = 2.25f;
    s.vdopGreater = 6.5f;
    s.fomLess = 0.75f;
    s.fomGreater = 9.5f;
    s.snrGreater = 42.5f;
    s.snrLess = 28.5f;
    s.colorModeAuto2d = 2;
    s.ageLess = 12;
    s.ageGreater = 45;
    s.satUsedGreater = 8;
    s.satUsedLess = 3;
    s.colorFreqCa = 0;
    s.typeCorrYellow = 3;
    s.typeCorrRed = 2;
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
        QVERIFY(config.hasKey("device.GNSS 1.qc_color_freq_ca"));
        QCOMPARE(int(config.keys().size()), 18);

        qualitySettings_t loaded;
        loaded.load(config, "device.GNSS 1.");
        QVERIFY(loaded == stored);
    }

    void qualitySettingsKeepWhatTheStoreLacks()
    {
        tolvconfig::config_t config;
        config.setValue("p.qc_hdop_less", "2.5");
        config.setValue("p.qc_pdop_less", "not a number");
        config.setValue("p.qc_age_less", "-3");   // no unsigned value
        qualitySettings_t loaded = unusual();
        loaded.load(config, "p.");
        qualitySettings_t expected = unusual();
        expected.hdopLess = 2.5f;
        QVERIFY(loaded == expected);
    }

    void qualityEditorRoundTrip()
    {
        qualityConfigWidget_t editor;
        qualitySettings_t shown = unusual();
        editor.showSettings(&shown);
        QVERIFY(!editor.isModified());
        qualitySettings_t written;
        editor.applySettings(&written);
        QVERIFY(written == shown);
    }

    void qualityEditorKeepsAnUnknownGrade()
    {
        qualityConfigWidget_t editor;
        qualitySettings_t shown;
        shown.typeCorrYellow = 17;   // written by another tool; the list has no such level
        editor.showSettings(&shown);
        QCOMPARE(editor.findChild<QComboBox*>("typeCorrYellowCombo")->currentIndex(), -1);
        qualitySettings_t written;
        written.typeCorrYellow = 17;
        editor.applySettings(&written);
        QCOMPARE(written.typeCorrYellow, 17u);
    }

    void qualityEditorCatchesUpWhenShownUnedited()
    {
        orvaneDeviceGui_t gui;
        qualitySettings_t record;
        gui.setQualitySettings(&record);
        QPointer<qualityConfigWidget_t> editor = gui.qualityConfigWidget();
        QVERIFY(editor);
        editor->showSettings(&record);

        record.hdopGreater = 8.25f;   // loaded after the editor was filled
        editor->show();
        qualitySettings_t written;
        editor->applySettings(&written);
        QCOMPARE(written.hdopGreater, 8.25f);
        delete editor.data();
    }

    void qualityEditorKeepsTheUsersEditsWhenShown()
    {
        orvaneDeviceGui_t gui;
        qualitySettings_t record;
        gui.setQualitySettings(&record);
        QPointer<qualityConfigWidget_t> editor = gui.qualityConfigWidget();
        editor->showSettings(&record);
        editor->findChild<QDoubleSpinBox*>("hdopBadSpin")->setValue(6.5);
        QVERIFY(editor->isModified());

        editor->show();
        qualitySettings_t written;
        editor->applySettings(&written);
        QCOMPARE(written.hdopGreater, 6.5f);
        delete editor.data();
    }

    void qcEditorRoundTrip()
    {
        qcConfigWidgetBase_t editor;
        qcSettingsBase_t shown;
        shown.setAprioriSigma(0.25);
        shown.setUnitVarianceLimit(2.5);
        shown.setSemiMajorLimit(1.75);
        shown.setMinSatellites(7);
        shown.setMaxCorrectionAge(12.5);
        editor.showSettings(&shown);
        qcSettingsBase_t written;
        editor.applySettings(&written);
        QVERIFY(written == shown);
    }

    void qcEditorOnlyWithADataModel()
    {
        orvaneDeviceGui_t gui;
        QVERIFY(!gui.qcConfigWidget());
        remoteDevice_t device;
        gui.setRemoteDevice(&device);
        QPointer<qcConfigWidgetBase_t> first = gui.qcConfigWidget();
        QVERIFY(first);
        QCOMPARE(gui.qcConfigWidget(), first.data());
        delete first.data();
        QVERIFY(!first);
        QPointer<qcConfigWidgetBase_t> second = gui.qcConfigWidget();
        QVERIFY(second);
        delete second.data();
    }

    void qcEditorCatchesUpWhenShownUnedited()
    {
        orvaneDeviceGui_t gui;
        remoteDevice_t device;
        gui.setRemoteDevice(&device);
        QPointer<qcConfigWidgetBase_t> editor = gui.qcConfigWidget();
        editor->showSettings(device.qcSettings());
        device.qcSettings()->setMinSatellites(9);
        editor->show();
        QCOMPARE(editor->findChild<QSpinBox*>("minSatellitesSpin")->value(), 9);
        delete editor.data();
    }

    void bundleForgetsAGoneDataModel()
    {
        orvaneDeviceGui_t gui;
        auto* device = new remoteDevice_t;
        gui.setRemoteDevice(device);
        QVERIFY(gui.qcSettings());
        delete device;
        QVERIFY(!gui.qcSettings());
        QVERIFY(!gui.qcConfigWidget());
    }
};

QTEST_MAIN(tst_settingsEditors)
#include "tst_settingsEditors.moc"
