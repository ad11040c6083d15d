#include <device/qcDevice.h>
#include <device/signalStatusWidget.h>

#include <belrix_common_qt/dataClock.h>
#include <belrix_common_qt/qcDataStore.h>
#include <belrix_common_qt/remoteDevice.h>
#include <belrix_common_qt/remoteNavSat.h>
#include <belrix_common_qt/remotePort.h>
#include <belrix_common_qt/textFormat.h>
#include <belrix_common_qt_gui/orvaneDeviceGui.h>
#include <belrix_common_qt_gui/qcQualityPanel.h>
#include <belrix_common_qt_gui/qualityLight.h>
#include <belrix_common_qt_gui/qualitySettings.h>
#include <orvane/context.h>
#include <orvane/menuManager.h>

#include <QBoxLayout>
#include <QDockWidget>
#include <QLabel>
#include <QMenu>
#include <QSignalSpy>
#include <QTranslator>
#include <QtTest>

#include <memory>

using namespace belrix_common_qt;
using belrix_common_qt_gui::quality_t;
using belrix_common_qt_gui::qualityLight_t;
using orvane::qc::qcDevice_t;
using orvane::qc::signalStatusWidget_t;

namespace {

constexpr double Now = 1796498625.0;   // 2026-12-05 19:23:45 UTC

// What a satellite reports on its first signal.
struct satCase_t {
    int constellation = constellationSbas;
    bool hasFirstSignal = true;
    bool valid = true;
    float level = 40.0f;
    double age = 0.0;
};

remoteNavSat_t makeSat(unsigned int number, satCase_t const& c)
{
    remoteNavSat_t sat(number, constellation_t(c.constellation));
    dataItem_t<freq_t> signal(freq_t{1u, c.level}, Now - c.age);
    signal.setValid(c.valid);
    // without a first signal the satellite still reports a second one
    sat.setFreq(c.hasFirstSignal ? 0 : 1, signal);
    return sat;
}

QDockWidget* dockOf(QWidget* widget)
{
    for (QWidget* w = widget; w; w = w->parentWidget()) {
        if (auto* dock = qobject_cast<QDockWidget*>(w))
            return dock;
    }
    return nullptr;
}

// Puts the text of each source in brackets, to show which context a form translates in.
class markingTranslator_t : public QTranslator
{
public:
    explicit markingTranslator_t(QString const& context) : m_context(context) {}
    bool isEmpty() const override { return false; }
    QString translate(const char* context, const char* sourceText, const char* = nullptr, int = -1) const override
    {
        if (m_context == QLatin1String(context))
            return QStringLiteral("[%1]").arg(QString::fromUtf8(sourceText));
        return QString();
    }

private:
    QString m_context;
};

} // namespace

class tst_dockPanels : public QObject
{
    Q_OBJECT

private:
    orvane::context_t* m_context = nullptr;

    qcDevice_t* makeDevice(int mask, bool withPort = true, bool withPanel = true, bool belrix = false)
    {
        auto* device = new qcDevice_t(m_context, QStringLiteral("GNSS 1"), nullptr);
        if (withPort) {
            auto* port = new remotePort_t;
            port->device()->setBelrixReceiver(belrix);
            device->setPort(port);
        }
        device->deviceGui()->setHasQcQualityPanel(withPanel);
        device->setDeviceCapabilities(mask);
        device->initialize();
        return device;
    }

    static QStringList dockNames(qcDevice_t* device)
    {
        QStringList names;
        for (QDockWidget* dock : device->dockWidgets())
            names << dock->objectName();
        return names;
    }

    static QDockWidget* dockNamed(qcDevice_t* device, QString const& name)
    {
        for (QDockWidget* dock : device->dockWidgets()) {
            if (dock->objectName() == name)
                return dock;
        }
        return nullptr;
    }

    static quality_t light(qcDevice_t* device, QString const& labelName)
    {
        for (qualityLight_t* light : device->findChildren<qualityLight_t*>()) {
            if (light->label() && light->label()->objectName() == labelName)
                return light->quality();
        }
        return quality_t(-1);
    }

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void init()
    {
        m_context = new orvane::context_t;
        dataClock_t::setTime(Now);
    }
    void cleanup()
    {
        delete m_context;
        m_context = nullptr;
        dataClock_t::useSystemTime();
    }

    void docksFollowTheMask_data()
    {
        QTest::addColumn<int>("mask");
        QTest::addColumn<bool>("withPanel");
        QTest::addColumn<QStringList>("docks");

        QTest::newRow("0x1") << 0x1 << true << QStringList({"Position", "Signal Status"});
        QTest::newRow("0x40000 without 0x1") << 0x40000 << true << QStringList({"Position", "Signal Status"});
        QTest::newRow("0x10 with a panel") << 0x10 << true << QStringList({"Position", "QC Quality"});
        QTest::newRow("0x10 without a panel") << 0x10 << false << QStringList({"Position"});
        QTest::newRow("neither") << (0x2 | 0x4 | 0x8 | 0x40 | 0x200) << true << QStringList({"Position"});
        QTest::newRow("panel in the bundle but no 0x10") << 0x1 << true << QStringList({"Position", "Signal Status"});
        QTest::newRow("both") << (0x1 | 0x10) << true
                              << QStringList({"Position", "QC Quality", "Signal Status"});
    }

    void docksFollowTheMask()
    {
        QFETCH(int, mask);
        QFETCH(bool, withPanel);
        QFETCH(QStringList, docks);

        std::unique_ptr<qcDevice_t> device(makeDevice(mask, true, withPanel));
        QCOMPARE(dockNames(device.get()), docks);
        QMenu* view = device->menuManager()->menu("View");
        for (QDockWidget* dock : device->dockWidgets()) {
            QCOMPARE(dock->parent(), device.get());
            QCOMPARE(dock->windowTitle(), dock->objectName());
            QVERIFY2(view->actions().contains(dock->toggleViewAction()), qPrintable(dock->objectName()));
        }
        QCOMPARE(device->findChildren<signalStatusWidget_t*>().size(), docks.contains("Signal Status") ? 1 : 0);
        QCOMPARE(device->findChildren<belrix_common_qt_gui::qcQualityPanel_t*>().size(),
                 docks.contains("QC Quality") ? 1 : 0);
    }

    void qcQualityDockSharesTheLeftArea()
    {
        std::unique_ptr<qcDevice_t> device(makeDevice(0x10 | 0x1));
        QDockWidget* position = dockNamed(device.get(), "Position");
        QDockWidget* quality = dockNamed(device.get(), "QC Quality");
        QVERIFY(position && quality);
        QCOMPARE(device->dockWidgetArea(quality), Qt::LeftDockWidgetArea);
        QCOMPARE(quality->allowedAreas(), Qt::LeftDockWidgetArea | Qt::RightDockWidgetArea);
        QVERIFY(device->tabifiedDockWidgets(position).contains(quality));
        QCOMPARE(quality->widget(), device->deviceGui()->qcQualityPanel());

        QDockWidget* signal = dockNamed(device.get(), "Signal Status");
        QCOMPARE(device->dockWidgetArea(signal), Qt::TopDockWidgetArea);
        QCOMPARE(signal->allowedAreas(), Qt::AllDockWidgetAreas);
        QVERIFY(!signal->isFloating());
        QVERIFY(device->tabifiedDockWidgets(signal).isEmpty());
    }

    void movingADockMarksTheConfiguration_data()
    {
        QTest::addColumn<QString>("dock");
        QTest::newRow("QC quality") << "QC Quality";
        QTest::newRow("signal status") << "Signal Status";
    }

    void movingADockMarksTheConfiguration()
    {
        QFETCH(QString, dock);
        std::unique_ptr<qcDevice_t> device(makeDevice(0x10 | 0x1));
        QSignalSpy modified(device.get(), &qcDevice_t::configurationModified);
        device->addDockWidget(Qt::RightDockWidgetArea, dockNamed(device.get(), dock));
        QVERIFY(modified.count() >= 1);
    }

    void sbasLight_data()
    {
        QTest::addColumn<QList<int>>("constellations");
        QTest::addColumn<bool>("hasFirstSignal");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<float>("level");
        QTest::addColumn<double>("age");
        QTest::addColumn<bool>("lit");

        const QList<int> sbas = {constellationSbas};
        QTest::newRow("strong SBAS") << sbas << true << true << 42.0f << 0.0 << true;
        QTest::newRow("SBAS level exactly 1.0") << sbas << true << true << 1.0f << 0.0 << true;
        QTest::newRow("SBAS level just below 1.0") << sbas << true << true << 0.999f << 0.0 << false;
        QTest::newRow("strong GPS only") << QList<int>({constellationGps}) << true << true << 50.0f << 0.0 << false;
        QTest::newRow("strong correction satellite only")
            << QList<int>({constellationCorrection}) << true << true << 50.0f << 0.0 << false;
        QTest::newRow("SBAS without first signal") << sbas << false << true << 42.0f << 0.0 << false;
        QTest::newRow("SBAS signal invalid") << sbas << true << false << 42.0f << 0.0 << false;
        QTest::newRow("SBAS just recent") << sbas << true << true << 42.0f << SatDataMaxAge - 0.1 << true;
        QTest::newRow("SBAS at the satellite age limit") << sbas << true << true << 42.0f << SatDataMaxAge << false;
        QTest::newRow("SBAS among others") << QList<int>({constellationGps, constellationGlonass, constellationSbas})
                                           << true << true << 42.0f << 0.0 << true;
    }

    void sbasLight()
    {
        QFETCH(QList<int>, constellations);
        QFETCH(bool, hasFirstSignal);
        QFETCH(bool, valid);
        QFETCH(float, level);
        QFETCH(double, age);
        QFETCH(bool, lit);

        std::unique_ptr<qcDevice_t> device(makeDevice(0x1));
        unsigned int number = 1;
        for (int constellation : constellations)
            device->remoteDevice()->setNavSat(makeSat(number++, {constellation, hasFirstSignal, valid, level, age}));
        device->handleClockTimeout();
        QCOMPARE(light(device.get(), "sbasLightLabel"), lit ? belrix_common_qt_gui::qualityGood
                                                             : belrix_common_qt_gui::qualityOff);
        QCOMPARE(light(device.get(), "veskLightLabel"), belrix_common_qt_gui::qualityOff);
    }

    void sbasLightGoesOutWhenTheSatellitesStop()
    {
        std::unique_ptr<qcDevice_t> device(makeDevice(0x1));
        // a weak SBAS satellite first in key order must not end the search
        device->remoteDevice()->setNavSat(makeSat(33, {constellationSbas, true, true, 0.5f, 0.0}));
        device->remoteDevice()->setNavSat(makeSat(40, {}));
        device->handleClockTimeout();
        QCOMPARE(light(device.get(), "sbasLightLabel"), belrix_common_qt_gui::qualityGood);

        dataClock_t::advance(SatDataMaxAge);
        device->handleClockTimeout();
        QCOMPARE(light(device.get(), "sbasLightLabel"), belrix_common_qt_gui::qualityOff);
    }

    void correctionLight_data()
    {
        QTest::addColumn<bool>("valid");
        QTest::addColumn<float>("value");
        QTest::addColumn<double>("age");
        QTest::addColumn<bool>("lit");

        QTest::newRow("fresh 2.0") << true << 2.0f << 0.0 << true;
        QTest::newRow("fresh exactly 1.0") << true << 1.0f << 0.0 << false;
        QTest::newRow("fresh just above 1.0") << true << 1.001f << 0.0 << true;
        QTest::newRow("2.0 at 2.9 s") << true << 2.0f << 2.9 << true;
        QTest::newRow("2.0 at exactly 3 s") << true << 2.0f << 3.0 << false;
        QTest::newRow("2.0 at 10 s") << true << 2.0f << 10.0 << false;
        QTest::newRow("invalid 40.0") << false << 40.0f << 0.0 << false;
    }

    void correctionLight()
    {
        QFETCH(bool, valid);
        QFETCH(float, value);
        QFETCH(double, age);
        QFETCH(bool, lit);

        std::unique_ptr<qcDevice_t> device(makeDevice(0x40000));
        dataItem_t<float> snr(value, Now - age);
        snr.setValid(valid);
        device->remoteDevice()->setCorrSatSnr(snr);
        device->handleClockTimeout();
        QCOMPARE(light(device.get(), "veskLightLabel"), lit ? belrix_common_qt_gui::qualityGood
                                                             : belrix_common_qt_gui::qualityOff);
        QCOMPARE(light(device.get(), "sbasLightLabel"), belrix_common_qt_gui::qualityOff);
    }

    void withoutDataModelBothPanelsEmpty()
    {
        std::unique_ptr<qcDevice_t> device(makeDevice(0x1 | 0x10));
        remoteDevice_t* data = device->remoteDevice();
        data->setNavSat(makeSat(40, {}));
        data->setCorrSatSnr(dataItem_t<float>(45.0f, Now));
        data->setHdop(dataItem_t<float>(0.8f, Now));
        device->handleClockTimeout();
        QCOMPARE(light(device.get(), "sbasLightLabel"), belrix_common_qt_gui::qualityGood);
        QCOMPARE(light(device.get(), "veskLightLabel"), belrix_common_qt_gui::qualityGood);
        auto* panel = device->findChild<belrix_common_qt_gui::qcQualityPanel_t*>();
        QCOMPARE(panel->valueText(belrix_common_qt_gui::qcQualityPanel_t::rowHdop), QStringLiteral("0.8"));

        // the device loses its data source
        device->setPort(nullptr);
        device->handleClockTimeout();
        QCOMPARE(light(device.get(), "sbasLightLabel"), belrix_common_qt_gui::qualityOff);
        QCOMPARE(light(device.get(), "veskLightLabel"), belrix_common_qt_gui::qualityOff);
        QCOMPARE(panel->valueText(belrix_common_qt_gui::qcQualityPanel_t::rowHdop), NoDataString);
        QCOMPARE(panel->quality(belrix_common_qt_gui::qcQualityPanel_t::rowHdop), belrix_common_qt_gui::qualityOff);
    }

    void qcQualityPanelGradesByTheDeviceThresholds()
    {
        std::unique_ptr<qcDevice_t> device(makeDevice(0x10));
        device->remoteDevice()->setHdop(dataItem_t<float>(1.5f, Now));
        device->handleClockTimeout();
        auto* panel = device->findChild<belrix_common_qt_gui::qcQualityPanel_t*>();
        QCOMPARE(panel->quality(belrix_common_qt_gui::qcQualityPanel_t::rowHdop), belrix_common_qt_gui::qualityGood);

        // what the quality display configuration writes reaches the panel on the next tick
        device->deviceQualitySettings()->hdopLess = 1.0f;
        device->deviceQualitySettings()->hdopGreater = 1.2f;
        device->handleClockTimeout();
        QCOMPARE(panel->quality(belrix_common_qt_gui::qcQualityPanel_t::rowHdop), belrix_common_qt_gui::qualityBad);
    }

    void destroyedPanelsAreSkipped_data()
    {
        QTest::addColumn<bool>("signalWidget");
        QTest::newRow("signal status widget") << true;
        QTest::newRow("QC quality panel") << false;
    }

    void destroyedPanelsAreSkipped()
    {
        QFETCH(bool, signalWidget);
        std::unique_ptr<qcDevice_t> device(makeDevice(0x1 | 0x10));
        QWidget* doomed = signalWidget ? static_cast<QWidget*>(device->findChild<signalStatusWidget_t*>())
                                       : device->findChild<belrix_common_qt_gui::qcQualityPanel_t*>();
        QWidget* other = signalWidget ? static_cast<QWidget*>(device->findChild<belrix_common_qt_gui::qcQualityPanel_t*>())
                                      : device->findChild<signalStatusWidget_t*>();
        QVERIFY(doomed && other);
        QDockWidget* dock = dockOf(doomed);
        delete doomed;
        QVERIFY(dock->widget() == nullptr);

        device->remoteDevice()->setNavSat(makeSat(40, {}));
        device->remoteDevice()->setHdop(dataItem_t<float>(0.8f, Now));
        device->handleClockTimeout();   // must not reach the deleted widget
        device->handleClockTimeout();
        // the other panel goes on
        if (signalWidget)
            QCOMPARE(static_cast<belrix_common_qt_gui::qcQualityPanel_t*>(other)->valueText(
                         belrix_common_qt_gui::qcQualityPanel_t::rowHdop),
                     QStringLiteral("0.8"));
        else
            QCOMPARE(light(device.get(), "sbasLightLabel"), belrix_common_qt_gui::qualityGood);
        // and the device still goes cleanly
        device.reset();
    }

    void correctionCaption_data()
    {
        QTest::addColumn<bool>("withPort");
        QTest::addColumn<bool>("belrix");
        QTest::addColumn<QString>("caption");
        QTest::newRow("belrix receiver") << true << true << "VESK";
        QTest::newRow("other receiver") << true << false << "L-Band";
        QTest::newRow("no data source yet") << false << true << "L-Band";
    }

    void correctionCaption()
    {
        QFETCH(bool, withPort);
        QFETCH(bool, belrix);
        QFETCH(QString, caption);
        std::unique_ptr<qcDevice_t> device(makeDevice(0x1, withPort, true, belrix));
        auto* label = device->findChild<QLabel*>("veskLabel");
        QCOMPARE(label->text(), caption);

        // chosen once, when the widget is built
        if (withPort) {
            device->remoteDevice()->setBelrixReceiver(!belrix);
            device->handleClockTimeout();
            QCOMPARE(label->text(), caption);
        }
    }

    void widgetOutsideADevice()
    {
        QWidget plain;
        signalStatusWidget_t widget(&plain);
        QCOMPARE(widget.findChild<QLabel*>("veskLabel")->text(), QStringLiteral("L-Band"));
        signalStatusWidget_t orphan;
        QCOMPARE(orphan.findChild<QLabel*>("veskLabel")->text(), QStringLiteral("L-Band"));
    }

    void slotsSetTheLights()
    {
        signalStatusWidget_t widget;
        auto lights = widget.findChildren<qualityLight_t*>();
        QCOMPARE(lights.size(), 2);
        auto quality = [&](QString const& label) {
            for (qualityLight_t* light : lights) {
                if (light->label()->objectName() == label)
                    return light->quality();
            }
            return quality_t(-1);
        };
        QCOMPARE(quality("sbasLightLabel"), belrix_common_qt_gui::qualityOff);
        widget.setSbasSignalAvailable(true);
        QCOMPARE(quality("sbasLightLabel"), belrix_common_qt_gui::qualityGood);
        QCOMPARE(quality("veskLightLabel"), belrix_common_qt_gui::qualityOff);
        widget.setVeskSignalAvailable(true);
        QCOMPARE(quality("veskLightLabel"), belrix_common_qt_gui::qualityGood);
        widget.setSbasSignalAvailable(false);
        QCOMPARE(quality("sbasLightLabel"), belrix_common_qt_gui::qualityOff);
        widget.setSbasSignalAvailable(true);
        widget.clear();
        QCOMPARE(quality("sbasLightLabel"), belrix_common_qt_gui::qualityOff);
        QCOMPARE(quality("veskLightLabel"), belrix_common_qt_gui::qualityOff);
        // the lamp replaces the form's placeholder text
        QVERIFY(!widget.findChild<QLabel*>("sbasLightLabel")->pixmap(Qt::ReturnByValue).isNull());
    }

    void form()
    {
        signalStatusWidget_t widget;
        QCOMPARE(QString(widget.metaObject()->className()), QStringLiteral("orvane::qc::signalStatusWidget_t"));
        QCOMPARE(widget.objectName(), QStringLiteral("signalStatusWidget"));
        QCOMPARE(widget.windowTitle(), QStringLiteral("Signal Status"));
        QCOMPARE(widget.size(), QSize(465, 38));
        auto* layout = widget.findChild<QHBoxLayout*>("horizontalLayout");
        QVERIFY(layout);
        QStringList order;
        for (int i = 0; i < layout->count(); ++i)
            order << (layout->itemAt(i)->widget() ? layout->itemAt(i)->widget()->objectName()
                                                  : QStringLiteral("<spacer>"));
        QCOMPARE(order, QStringList({"sbasLightLabel", "label_2", "veskLightLabel", "veskLabel", "<spacer>"}));
        QCOMPARE(widget.findChild<QLabel*>("label_2")->text(), QStringLiteral("SBAS"));
        QSpacerItem* spacer = layout->itemAt(4)->spacerItem();
        QCOMPARE(spacer->sizeHint(), QSize(40, 20));
        QCOMPARE(spacer->sizePolicy().horizontalPolicy(), QSizePolicy::Expanding);

        const QMetaObject* meta = widget.metaObject();
        const int sbas = meta->indexOfSlot("setSbasSignalAvailable(bool)");
        QVERIFY(sbas >= 0);
        QCOMPARE(meta->method(sbas).parameterNames(), QList<QByteArray>({"available_"}));
        QVERIFY(meta->indexOfSlot("setVeskSignalAvailable(bool)") > sbas);
        QVERIFY(meta->indexOfSlot("clear()") > meta->indexOfSlot("setVeskSignalAvailable(bool)"));
    }

    void formTranslatesInItsOwnContext()
    {
        markingTranslator_t translator(QStringLiteral("signalStatusWidget"));
        QCoreApplication::installTranslator(&translator);
        signalStatusWidget_t widget;
        QCoreApplication::removeTranslator(&translator);
        QCOMPARE(widget.findChild<QLabel*>("label_2")->text(), QStringLiteral("[SBAS]"));
        QCOMPARE(widget.windowTitle(), QStringLiteral("[Signal Status]"));
        // the correction caption is the data library's name, not a form text
        QCOMPARE(widget.findChild<QLabel*>("veskLabel")->text(), QStringLiteral("L-Band"));
    }
};

QTEST_MAIN(tst_dockPanels)
#include "tst_dockPanels.moc"
