#include "qcTestFixture.h"

#include <device/signalStatusWidget.h>

#include <belrix_common_qt/dataClock.h>
#include <belrix_common_qt/remoteNavSat.h>
#include <belrix_common_qt/textFormat.h>
#include <belrix_common_qt_gui/qcQualityPanel.h>
#include <belrix_common_qt_gui/qualityLight.h>
#include <belrix_common_qt_gui/qualitySettings.h>

#include <QDockWidget>
#include <QLabel>
#include <QSignalSpy>
#include <QtTest>

using namespace belrix_common_qt;
using belrix_common_qt_gui::qcQualityPanel_t;
using belrix_common_qt_gui::quality_t;
using belrix_common_qt_gui::qualityBad;
using belrix_common_qt_gui::qualityGood;
using belrix_common_qt_gui::qualityOff;
using orvane::qc::qcDevice_t;
using orvane::qc::signalStatusWidget_t;

namespace {

constexpr double Now = 1796498625.0;   // 2026-12-05 19:23:45 UTC
constexpr int BothPanels = orvane::capSignalStatus | orvane::capQc;

// A satellite reporting one signal: its first, or else its second.
remoteNavSat_t makeSat(unsigned int number, int constellation, float level = 40.0f, bool first = true,
                       bool valid = true, double age = 0.0)
{
    remoteNavSat_t sat(number, constellation_t(constellation));
    dataItem_t<freq_t> signal(freq_t{1u, level}, Now - age);
    signal.setValid(valid);
    sat.setFreq(first ? 0 : 1, signal);
    return sat;
}

quality_t light(QWidget* parent, QString const& labelName)
{
    for (auto* light : parent->findChildren<belrix_common_qt_gui::qualityLight_t*>()) {
        if (light->label() && light->label()->objectName() == labelName)
            return light->quality();
    }
    return quality_t(-1);
}

QDockWidget* dockNamed(qcDevice_t* device, QString const& name)
{
    for (QDockWidget* dock : device->dockWidgets()) {
        if (dock->objectName() == name)
            return dock;
    }
    return nullptr;
}

} // namespace

class tst_dockPanels : public QObject
{
    Q_OBJECT

    std::unique_ptr<orvane::context_t> m_context;

    std::unique_ptr<qcDevice_t> makeDevice(int capabilities, bool withPort = true, bool belrix = false)
    {
        qcTest::deviceSpec_t spec;
        spec.capabilities = capabilities;
        spec.withPort = withPort;
        spec.belrixReceiver = belrix;
        return qcTest::makeDevice(m_context.get(), spec);
    }

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void init()
    {
        m_context.reset(new orvane::context_t);
        dataClock_t::setTime(Now);
    }
    void cleanup()
    {
        m_context.reset();
        dataClock_t::useSystemTime();
    }

    void docksTakeTheirAreas()
    {
        auto device = makeDevice(BothPanels);
        QDockWidget* quality = dockNamed(device.get(), "QC Quality");
        QCOMPARE(quality->widget(), device->deviceGui()->qcQualityPanel());
        QCOMPARE(device->dockWidgetArea(quality), Qt::LeftDockWidgetArea);
        QCOMPARE(quality->allowedAreas(), Qt::LeftDockWidgetArea | Qt::RightDockWidgetArea);
        QVERIFY(device->tabifiedDockWidgets(dockNamed(device.get(), "Position")).contains(quality));
        QDockWidget* signal = dockNamed(device.get(), "Signal Status");
        QCOMPARE(device->dockWidgetArea(signal), Qt::TopDockWidgetArea);
        QVERIFY(device->tabifiedDockWidgets(signal).isEmpty());
        // a moved dock is part of the configuration
        for (QDockWidget* dock : {quality, signal}) {
            QSignalSpy modified(device.get(), &qcDevice_t::configurationModified);
            device->addDockWidget(Qt::RightDockWidgetArea, dock);
            QVERIFY2(modified.count() >= 1, qPrintable(dock->objectName()));
        }
    }

    void sbasLight_data()
    {
        QTest::addColumn<QList<int>>("constellations");
        QTest::addColumn<float>("lastLevel");   // the others report 0.5
        QTest::addColumn<bool>("first");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<double>("age");
        QTest::addColumn<bool>("lit");
        const QList<int> sbas = {constellationSbas};
        QTest::newRow("strong SBAS") << sbas << 42.0f << true << true << 0.0 << true;
        QTest::newRow("SBAS level exactly 1.0") << sbas << 1.0f << true << true << 0.0 << true;
        QTest::newRow("SBAS level just below 1.0") << sbas << 0.999f << true << true << 0.0 << false;
        QTest::newRow("strong GPS only") << QList<int>({constellationGps}) << 50.0f << true << true << 0.0 << false;
        QTest::newRow("strong correction satellite only") << QList<int>({constellationCorrection}) << 50.0f << true
                                                          << true << 0.0 << false;
        QTest::newRow("SBAS without first signal") << sbas << 42.0f << false << true << 0.0 << false;
        QTest::newRow("SBAS signal invalid") << sbas << 42.0f << true << false << 0.0 << false;
        QTest::newRow("SBAS just recent") << sbas << 42.0f << true << true << SatDataMaxAge - 0.1 << true;
        QTest::newRow("SBAS at the satellite age limit") << sbas << 42.0f << true << true << SatDataMaxAge << false;
        QTest::newRow("a weak SBAS first does not end the search")
            << QList<int>({constellationGps, constellationSbas, constellationSbas}) << 42.0f << true << true << 0.0
            << true;
    }

    void sbasLight()
    {
        QFETCH(QList<int>, constellations);
        QFETCH(float, lastLevel);
        QFETCH(bool, first);
        QFETCH(bool, valid);
        QFETCH(double, age);
        QFETCH(bool, lit);
        auto device = makeDevice(orvane::capSignalStatus);
        for (int i = 0; i < constellations.size(); ++i) {
            const float level = i + 1 == constellations.size() ? lastLevel : 0.5f;
            device->remoteDevice()->setNavSat(makeSat(33 + i, constellations.at(i), level, first, valid, age));
        }
        device->handleClockTimeout();
        QCOMPARE(light(device.get(), "sbasLightLabel"), lit ? qualityGood : qualityOff);
        QCOMPARE(light(device.get(), "veskLightLabel"), qualityOff);
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
        QTest::newRow("2.0 just recent") << true << 2.0f << 2.9 << true;
        QTest::newRow("2.0 at exactly 3 s") << true << 2.0f << DataMaxAge << false;
        QTest::newRow("invalid 40.0") << false << 40.0f << 0.0 << false;
    }

    void correctionLight()
    {
        QFETCH(bool, valid);
        QFETCH(float, value);
        QFETCH(double, age);
        QFETCH(bool, lit);
        // the older signal status bit builds the panel alike
        auto device = makeDevice(orvane::capSignalStatusAlt);
        dataItem_t<float> snr(value, Now - age);
        snr.setValid(valid);
        device->remoteDevice()->setCorrSatSnr(snr);
        device->handleClockTimeout();
        QCOMPARE(light(device.get(), "veskLightLabel"), lit ? qualityGood : qualityOff);
        QCOMPARE(light(device.get(), "sbasLightLabel"), qualityOff);
    }

    void panelsGradeByTheDeviceAndEmptyWithoutData()
    {
        auto device = makeDevice(BothPanels);
        remoteDevice_t* data = device->remoteDevice();
        data->setNavSat(makeSat(40, constellationSbas));
        data->setCorrSatSnr(dataItem_t<float>(45.0f, Now));
        data->setHdop(dataItem_t<float>(1.5f, Now));
        device->handleClockTimeout();
        auto* panel = device->findChild<qcQualityPanel_t*>();
        QCOMPARE(panel->valueText(qcQualityPanel_t::rowHdop), QStringLiteral("1.5"));
        QCOMPARE(panel->quality(qcQualityPanel_t::rowHdop), qualityGood);

        // what the quality display configuration writes reaches the panel on the next tick
        device->deviceQualitySettings()->hdopLess = 1.0f;
        device->deviceQualitySettings()->hdopGreater = 1.2f;
        device->handleClockTimeout();
        QCOMPARE(panel->quality(qcQualityPanel_t::rowHdop), qualityBad);

        // the device loses its data source
        device->setPort(nullptr);
        device->handleClockTimeout();
        QCOMPARE(light(device.get(), "sbasLightLabel"), qualityOff);
        QCOMPARE(light(device.get(), "veskLightLabel"), qualityOff);
        QCOMPARE(panel->valueText(qcQualityPanel_t::rowHdop), NoDataString);
        QCOMPARE(panel->quality(qcQualityPanel_t::rowHdop), qualityOff);
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
        auto device = makeDevice(BothPanels);
        auto* signal = device->findChild<signalStatusWidget_t*>();
        auto* panel = device->findChild<qcQualityPanel_t*>();
        if (signalWidget)
            delete signal;
        else
            delete panel;
        device->remoteDevice()->setNavSat(makeSat(40, constellationSbas));
        device->remoteDevice()->setHdop(dataItem_t<float>(0.8f, Now));
        device->handleClockTimeout();   // must not reach the deleted widget
        // the other panel goes on
        if (signalWidget)
            QCOMPARE(panel->valueText(qcQualityPanel_t::rowHdop), QStringLiteral("0.8"));
        else
            QCOMPARE(light(signal, "sbasLightLabel"), qualityGood);
        // and the device still goes cleanly
        device.reset();
    }

    void correctionCaption_data()
    {
        QTest::addColumn<bool>("inDevice");
        QTest::addColumn<bool>("withPort");
        QTest::addColumn<bool>("belrix");
        QTest::addColumn<QString>("caption");
        QTest::newRow("belrix receiver") << true << true << true << "VESK";
        QTest::newRow("other receiver") << true << true << false << "L-Band";
        QTest::newRow("no data source yet") << true << false << true << "L-Band";
        QTest::newRow("outside a device") << false << false << false << "L-Band";
    }

    void correctionCaption()
    {
        QFETCH(bool, inDevice);
        QFETCH(bool, withPort);
        QFETCH(bool, belrix);
        QFETCH(QString, caption);
        QWidget plain;
        auto device = makeDevice(orvane::capSignalStatus, withPort, belrix);
        auto* widget = inDevice ? device->findChild<signalStatusWidget_t*>() : new signalStatusWidget_t(&plain);
        auto* label = widget->findChild<QLabel*>("veskLabel");
        QCOMPARE(label->text(), caption);
        // chosen once, when the widget is built
        if (withPort) {
            device->remoteDevice()->setBelrixReceiver(!belrix);
            device->handleClockTimeout();
            QCOMPARE(label->text(), caption);
        }
    }
};

QTEST_MAIN(tst_dockPanels)
#include "tst_dockPanels.moc"
