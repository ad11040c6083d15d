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
#include <QtTest>

#include <memory>

using belrix_common_qt_gui::qualityConfigWidget_t;
using belrix_common_qt_gui::qualitySettings_t;
using orvane::qc::dlgQualityDisplayConfiguration_t;

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
    // Every key the record stores, each with a text of its own, so a key read into the wrong
    // field shows.
    tolvconfig::config_t storeWith(bool gatingKey)
    {
        tolvconfig::config_t config;
        qualitySettings_t().save(config, m_dialog->outputKey(""));
        int text = 2;
        for (std::string const& key : config.keys())
            config.setValue(key, std::to_string(text++));
        if (!gatingKey)
            config.removeValue(m_dialog->outputKey("qc_color_freq_ca"));
        return config;
    }

private slots:
    void init()
    {
        m_device.reset();
        m_context.reset(new orvane::context_t);
        m_device.reset(new orvane::device_t(m_context.get(), QStringLiteral("GNSS 1"), nullptr));
        record()->hdopLess = 0.5f;   // off the defaults, so the constructor's reset shows
        m_dialog = new dlgQualityDisplayConfiguration_t(m_context.get(), m_device.get());
    }

    void constructionDefaultsTheRecordAndShowsIt()
    {
        QVERIFY(*record() == qualitySettings_t());
        qualitySettings_t shown;
        editor()->applySettings(&shown);
        QVERIFY(shown == *record());
    }

    // the record's own reading, but only when the gating key is there; the editor shows it
    void loadSettingsNeedsTheGatingKey()
    {
        for (bool gatingKey : {false, true}) {
            tolvconfig::config_t config = storeWith(gatingKey);
            m_dialog->loadSettings(config, -1);
            qualitySettings_t want;
            if (gatingKey)
                want.load(config, m_dialog->outputKey(""));
            QVERIFY2(*record() == want, gatingKey ? "with the key" : "without the key");
            QCOMPARE(hdopBad()->value(), double(want.hdopGreater));
        }
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
};

QTEST_MAIN(tst_dlgQualityDisplayConfiguration)
#include "tst_dlgQualityDisplayConfiguration.moc"
