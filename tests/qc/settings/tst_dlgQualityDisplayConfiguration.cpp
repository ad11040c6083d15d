#include <settings/dlgQualityDisplayConfiguration.h>

#include <belrix_common_qt_gui/orvaneDeviceGui.h>
#include <belrix_common_qt_gui/qualityConfigWidget.h>
#include <belrix_common_qt_gui/qualitySettings.h>
#include <orvane/context.h>
#include <orvane/device.h>
#include <tolvconfig/config.h>

#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QGroupBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QStackedWidget>
#include <QtTest>

#include <memory>

using belrix_common_qt_gui::qualityConfigWidget_t;
using belrix_common_qt_gui::qualitySettings_t;
using orvane::qc::dlgQualityDisplayConfiguration_t;

namespace {
// The eighteen keys with a stored text that differs from each field's default.
const std::vector<std::pair<const char*, const char*>> StoredKeys = {
    {"qc_color_freq_ca", "2"},     {"qc_color_mode_auto_2d", "2"}, {"qc_pdop_less", "3.5"},
    {"qc_pdop_greater", "7.5"},    {"qc_hdop_less", "1.5"},        {"qc_hdop_greater", "3.5"},
    {"qc_vdop_less", "2.5"},       {"qc_vdop_greater", "6.5"},     {"qc_age_less", "12"},
    {"qc_age_greater", "40"},      {"qc_sat_used_greater", "8"},   {"qc_sat_used_less", "3"},
    {"qc_fom_less", "1.25"},       {"qc_fom_greater", "8.75"},     {"qc_snr_greater", "45"},
    {"qc_snr_less", "25"},         {"qc_type_corr_yellow", "3"},   {"qc_type_corr_red", "2"},
};

qualitySettings_t storedRecord()
{
    qualitySettings_t s;
    s.colorFreqCa = 2;
    s.colorModeAuto2d = 2;
    s.pdopLess = 3.5f;
    s.pdopGreater = 7.5f;
    s.hdopLess = 1.5f;
    s.hdopGreater = 3.5f;
    s.vdopLess = 2.5f;
    s.vdopGreater = 6.5f;
    s.ageLess = 12;
    s.ageGreater = 40;
    s.satUsedGreater = 8;
    s.satUsedLess = 3;
    s.fomLess = 1.25f;
    s.fomGreater = 8.75f;
    s.snrGreater = 45.0f;
    s.snrLess = 25.0f;
    s.typeCorrYellow = 3;
    s.typeCorrRed = 2;
    return s;
}
} // namespace

class tst_dlgQualityDisplayConfiguration : public QObject
{
    Q_OBJECT

    std::unique_ptr<orvane::context_t> m_context;
    std::unique_ptr<orvane::device_t> m_device;
    dlgQualityDisplayConfiguration_t* m_dialog = nullptr;   // the device's child

    qualitySettings_t* record() { return m_device->deviceQualitySettings(); }
    qualityConfigWidget_t* editor() { return m_device->deviceGui()->qualityConfigWidget(); }
    QDoubleSpinBox* hdopBad() { return editor()->findChild<QDoubleSpinBox*>("hdopBadSpin"); }
    QPushButton* button(QDialogButtonBox::StandardButton which)
    {
        return m_dialog->findChild<QDialogButtonBox*>("buttonBox")->button(which);
    }
    // What the editor holds, written into a record of its own.
    qualitySettings_t editorValues()
    {
        qualitySettings_t values;
        editor()->applySettings(&values);
        return values;
    }
    tolvconfig::config_t storeWith(bool gatingKey, bool otherKeys)
    {
        tolvconfig::config_t config;
        for (auto const& entry : StoredKeys) {
            const bool gating = std::string(entry.first) == "qc_color_freq_ca";
            if ((gating && gatingKey) || (!gating && otherKeys))
                config.setValue(m_dialog->outputKey(entry.first), entry.second);
        }
        return config;
    }

private slots:
    void init()
    {
        m_context.reset(new orvane::context_t);
        m_device.reset(new orvane::device_t(m_context.get(), QStringLiteral("GNSS 1"), nullptr));
        record()->hdopLess = 0.5f;   // off the defaults, so the constructor's reset shows
        m_dialog = new dlgQualityDisplayConfiguration_t(m_context.get(), m_device.get());
    }

    void cleanup()
    {
        m_device.reset();
        m_context.reset();
    }

    void constructionDefaultsTheRecordAndShowsIt()
    {
        QVERIFY(*record() == qualitySettings_t());
        QCOMPARE(m_dialog->findChild<QStackedWidget*>("stackedWidget")->currentWidget(), editor());
        QVERIFY(m_dialog->findChild<QGroupBox*>("buttonsGroup")->isEnabled());
        QVERIFY(editorValues() == *record());
    }

    void loadSettings_data()
    {
        QTest::addColumn<bool>("gatingKey");
        QTest::addColumn<bool>("otherKeys");
        QTest::addColumn<QVariantMap>("unreadable");
        QTest::addColumn<int>("expected");   // 0: the defaults, 1: with the gating field, 2: every field
        QTest::newRow("nothing without the gating key") << false << true << QVariantMap() << 0;
        QTest::newRow("the gating key alone") << true << false << QVariantMap() << 1;
        QTest::newRow("every key") << true << true << QVariantMap() << 2;
        QTest::newRow("unreadable values keep their field")
            << true << false << QVariantMap{{"qc_hdop_greater", "lots"}, {"qc_sat_used_less", "-2"}} << 1;
    }

    void loadSettings()
    {
        QFETCH(bool, gatingKey);
        QFETCH(bool, otherKeys);
        QFETCH(QVariantMap, unreadable);
        QFETCH(int, expected);
        tolvconfig::config_t config = storeWith(gatingKey, otherKeys);
        for (auto it = unreadable.cbegin(); it != unreadable.cend(); ++it)
            config.setValue(m_dialog->outputKey(it.key().toStdString()), it.value().toString().toStdString());
        m_dialog->loadSettings(config, -1);
        qualitySettings_t want = expected == 2 ? storedRecord() : qualitySettings_t();
        if (expected == 1)
            want.colorFreqCa = 2;
        QVERIFY(*record() == want);
        QVERIFY(editorValues() == want);
    }

    void applyTakesTheEditAndCancelLeavesIt()
    {
        QSignalSpy modified(m_dialog, &orvane::orvaneDialog_t::configurationModified);
        m_dialog->show();
        hdopBad()->setValue(5.5);
        button(QDialogButtonBox::Apply)->click();
        QCOMPARE(record()->hdopGreater, 5.5f);
        QCOMPARE(modified.count(), 1);

        hdopBad()->setValue(9.25);
        button(QDialogButtonBox::Cancel)->click();
        QVERIFY(!m_dialog->isVisible());
        QCOMPARE(record()->hdopGreater, 5.5f);
        QCOMPARE(hdopBad()->value(), 9.25);   // the edit waits in the editor
        button(QDialogButtonBox::Reset)->click();
        QCOMPARE(hdopBad()->value(), 5.5);
    }

    void withoutDeviceTheButtonsAreOff()
    {
        QWidget parent;
        dlgQualityDisplayConfiguration_t dialog(m_context.get(), &parent);
        QSignalSpy modified(&dialog, &orvane::orvaneDialog_t::configurationModified);
        tolvconfig::config_t config;
        config.setValue(dialog.outputKey("qc_color_freq_ca"), "2");
        dialog.loadSettings(config, -1);
        dialog.submit();
        dialog.updateUi();
        QVERIFY(!dialog.findChild<QGroupBox*>("buttonsGroup")->isEnabled());
        QCOMPARE(modified.count(), 0);
    }

    // The record may change while the window is closed (a host loading its store).
    void editorCatchesUpWhenTheWindowOpens()
    {
        record()->pdopGreater = 9.5f;
        m_dialog->show();
        QCOMPARE(editor()->findChild<QDoubleSpinBox*>("pdopBadSpin")->value(), 9.5);
    }
};

QTEST_MAIN(tst_dlgQualityDisplayConfiguration)
#include "tst_dlgQualityDisplayConfiguration.moc"
