#include <settings/dlgQcSettings.h>

#include <belrix_common_qt/qcSettingsBase.h>
#include <belrix_common_qt/remoteDevice.h>
#include <belrix_common_qt/remotePort.h>
#include <orvane/context.h>
#include <orvane/device.h>

#include <QDialogButtonBox>
#include <QPushButton>
#include <QSpinBox>
#include <QStackedWidget>
#include <QtTest>

#include <memory>

using namespace belrix_common_qt;
using orvane::qc::dlgQcSettings_t;

class tst_dlgQcSettings : public QObject
{
    Q_OBJECT

    std::unique_ptr<orvane::context_t> m_context;
    std::unique_ptr<orvane::device_t> m_device;
    dlgQcSettings_t* m_dialog = nullptr;   // the device's child

    void makeDialog() { m_dialog = new dlgQcSettings_t(m_context.get(), m_device.get()); }
    QStackedWidget* stack() { return m_dialog->findChild<QStackedWidget*>("configStack"); }
    QPushButton* button(QDialogButtonBox::StandardButton which)
    {
        return m_dialog->findChild<QDialogButtonBox*>("buttonBox")->button(which);
    }
    static QSpinBox* minSatellites(QWidget* editor) { return editor->findChild<QSpinBox*>("minSatellitesSpin"); }
    void connectPort() { m_device->setPort(new remotePort_t); }

private slots:
    void init()
    {
        m_device.reset();
        m_context.reset(new orvane::context_t);
        m_device.reset(new orvane::device_t(m_context.get(), QStringLiteral("GNSS 1"), nullptr));
    }

    void editorIsFound_data()
    {
        QTest::addColumn<int>("when");
        QTest::newRow("data model before the window") << 0;
        QTest::newRow("data model later: on update") << 1;
        QTest::newRow("editor rebuilt: again on Reset") << 2;
    }

    void editorIsFound()
    {
        QFETCH(int, when);
        if (when != 1) {
            connectPort();
            m_device->remoteDevice()->qcSettings()->setMinSatellites(8);
        }
        makeDialog();
        if (when == 1) {
            QCOMPARE(stack()->count(), 1);   // no data model yet: the bundle has no editor
            connectPort();
            m_device->remoteDevice()->qcSettings()->setMinSatellites(8);
            m_dialog->updateUi();
            m_dialog->updateUi();   // found once: neither adds nor switches pages
        } else if (when == 2) {
            delete stack()->currentWidget();   // the device GUI rebuilt its pieces
            QCOMPARE(stack()->count(), 1);
            button(QDialogButtonBox::Reset)->click();
        }
        QCOMPARE(stack()->count(), 2);
        QCOMPARE(minSatellites(stack()->currentWidget())->value(), 8);
    }

    void applyWritesTheRecordResetAndCancelDiscard()
    {
        connectPort();
        makeDialog();
        m_dialog->show();
        QSignalSpy modified(m_dialog, &orvane::orvaneDialog_t::configurationModified);
        QSpinBox* spin = minSatellites(stack()->currentWidget());
        spin->setValue(12);
        button(QDialogButtonBox::Cancel)->click();
        QCOMPARE(m_device->remoteDevice()->qcSettings()->minSatellites(), 5u);
        button(QDialogButtonBox::Reset)->click();
        QCOMPARE(spin->value(), 5);

        spin->setValue(9);
        button(QDialogButtonBox::Apply)->click();
        QCOMPARE(m_device->remoteDevice()->qcSettings()->minSatellites(), 9u);
        QCOMPARE(modified.count(), 1);
    }

    void withoutDataModelNothingHappens()
    {
        connectPort();
        makeDialog();
        QWidget* editor = stack()->currentWidget();
        minSatellites(editor)->setValue(14);
        m_device->setPort(nullptr);   // the source went away; the editor stays
        QSignalSpy modified(m_dialog, &orvane::orvaneDialog_t::configurationModified);
        button(QDialogButtonBox::Apply)->click();
        button(QDialogButtonBox::Reset)->click();
        QCOMPARE(modified.count(), 0);
        QCOMPARE(minSatellites(editor)->value(), 14);

        dlgQcSettings_t orphan(m_context.get(), nullptr);
        QSignalSpy orphanModified(&orphan, &orvane::orvaneDialog_t::configurationModified);
        orphan.submit();
        QCOMPARE(orphanModified.count(), 0);
    }
};

QTEST_MAIN(tst_dlgQcSettings)
#include "tst_dlgQcSettings.moc"
