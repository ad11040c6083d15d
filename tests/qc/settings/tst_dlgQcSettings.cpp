#include <settings/dlgQcSettings.h>

#include <belrix_common_qt/qcSettingsBase.h>
#include <belrix_common_qt/remoteDevice.h>
#include <belrix_common_qt/remotePort.h>
#include <belrix_common_qt_gui/orvaneDeviceGui.h>
#include <belrix_common_qt_gui/qcConfigWidgetBase.h>
#include <orvane/context.h>
#include <orvane/device.h>

#include <QDialogButtonBox>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QStackedWidget>
#include <QtTest>

#include <memory>

using namespace belrix_common_qt;
using belrix_common_qt_gui::qcConfigWidgetBase_t;
using orvane::qc::dlgQcSettings_t;

class tst_dlgQcSettings : public QObject
{
    Q_OBJECT

    std::unique_ptr<orvane::context_t> m_context;
    std::unique_ptr<orvane::device_t> m_device;
    dlgQcSettings_t* m_dialog = nullptr;   // the device's child

    dlgQcSettings_t* makeDialog()
    {
        m_dialog = new dlgQcSettings_t(m_context.get(), m_device.get());
        return m_dialog;
    }
    QStackedWidget* stack() { return m_dialog->findChild<QStackedWidget*>("configStack"); }
    QWidget* blankPage() { return m_dialog->findChild<QWidget*>("blankPage"); }
    QPushButton* button(QDialogButtonBox::StandardButton which)
    {
        return m_dialog->findChild<QDialogButtonBox*>("buttonBox")->button(which);
    }
    static QSpinBox* minSatellites(QWidget* editor) { return editor->findChild<QSpinBox*>("minSatellitesSpin"); }
    void connectPort() { m_device->setPort(new remotePort_t); }

private slots:
    void init()
    {
        m_context.reset(new orvane::context_t);
        m_device.reset(new orvane::device_t(m_context.get(), QStringLiteral("GNSS 1"), nullptr));
    }

    void cleanup()
    {
        m_device.reset();
        m_context.reset();
        m_dialog = nullptr;
    }

    void editorOfADeviceWithDataIsShownAtOnce()
    {
        connectPort();
        m_device->remoteDevice()->qcSettings()->setMinSatellites(8);
        makeDialog();
        QCOMPARE(stack()->count(), 2);
        auto* editor = qobject_cast<qcConfigWidgetBase_t*>(stack()->currentWidget());
        QVERIFY(editor);
        QCOMPARE(editor, m_device->deviceGui()->qcConfigWidget());
        QCOMPARE(minSatellites(editor)->value(), 8);
    }

    void editorFoundLate()
    {
        makeDialog();   // no data model yet: the bundle has no editor
        QCOMPARE(stack()->currentWidget(), blankPage());
        QCOMPARE(stack()->count(), 1);

        connectPort();
        m_device->remoteDevice()->qcSettings()->setMinSatellites(11);
        m_dialog->updateUi();
        QCOMPARE(stack()->count(), 2);
        QVERIFY(stack()->currentWidget() != blankPage());
        QCOMPARE(minSatellites(stack()->currentWidget())->value(), 11);

        // found once: another update neither adds nor switches pages
        m_dialog->updateUi();
        QCOMPARE(stack()->count(), 2);
    }

    void editorFoundAgainAfterItWasDestroyed()
    {
        connectPort();
        makeDialog();
        QPointer<QWidget> first = stack()->currentWidget();
        delete first.data();   // the device GUI rebuilt its pieces
        QCOMPARE(stack()->count(), 1);

        m_device->remoteDevice()->qcSettings()->setMinSatellites(6);
        button(QDialogButtonBox::Reset)->click();
        QCOMPARE(stack()->count(), 2);
        QWidget* second = stack()->currentWidget();
        QVERIFY(second != blankPage());
        QCOMPARE(minSatellites(second)->value(), 6);
    }

    void applyWritesTheRecord()
    {
        connectPort();
        makeDialog();
        QSignalSpy modified(m_dialog, &orvane::orvaneDialog_t::configurationModified);
        minSatellites(stack()->currentWidget())->setValue(9);
        QCOMPARE(m_device->remoteDevice()->qcSettings()->minSatellites(), 5u);   // not before Apply
        button(QDialogButtonBox::Apply)->click();
        QCOMPARE(m_device->remoteDevice()->qcSettings()->minSatellites(), 9u);
        QCOMPARE(modified.count(), 1);
    }

    void resetAndCancelDiscardEdits()
    {
        connectPort();
        makeDialog();
        m_dialog->show();
        minSatellites(stack()->currentWidget())->setValue(12);
        button(QDialogButtonBox::Cancel)->click();
        QVERIFY(!m_dialog->isVisible());
        QCOMPARE(m_device->remoteDevice()->qcSettings()->minSatellites(), 5u);
        button(QDialogButtonBox::Reset)->click();
        QCOMPARE(minSatellites(stack()->currentWidget())->value(), 5);
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
        m_dialog->updateUi();
        QCOMPARE(modified.count(), 0);
        QCOMPARE(minSatellites(editor)->value(), 14);
    }

    void windowWithoutDeviceShowsTheBlankPage()
    {
        QWidget parent;
        dlgQcSettings_t dialog(m_context.get(), &parent);
        QSignalSpy modified(&dialog, &orvane::orvaneDialog_t::configurationModified);
        dialog.updateUi();
        dialog.submit();
        QCOMPARE(dialog.findChild<QStackedWidget*>("configStack")->count(), 1);
        QCOMPARE(modified.count(), 0);
    }
};

QTEST_MAIN(tst_dlgQcSettings)
#include "tst_dlgQcSettings.moc"
