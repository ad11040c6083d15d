#include "accuracy/dlgErrorEllipse.h"
#include "forecast/dlgSatelliteCalculation.h"
#include "forecast/dlgSatelliteForecast.h"
#include "graphs/dlgGraphs.h"
#include "graphs/dlgQcGraphs.h"
#include "instruments/dlgCompassRose.h"
#include "instruments/dlgTapeDisplay.h"
#include "settings/dlgQcSettings.h"
#include "settings/dlgQualityDisplayConfiguration.h"

#include <orvane/context.h>
#include <orvane/device.h>

#include <QAbstractButton>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QStackedWidget>
#include <QtTest>

#include <memory>

using namespace orvane::qc;

Q_DECLARE_METATYPE(QDialogButtonBox::StandardButtons)

namespace {

qcDeviceDialog_t* makeWindow(QString const& kind, orvane::context_t* context, QWidget* parent)
{
    if (kind == QLatin1String("errorEllipse"))
        return new dlgErrorEllipse_t(context, parent);
    if (kind == QLatin1String("qcSettings"))
        return new dlgQcSettings_t(context, parent);
    if (kind == QLatin1String("qualityDisplay"))
        return new dlgQualityDisplayConfiguration_t(context, parent);
    if (kind == QLatin1String("satelliteForecast"))
        return new dlgSatelliteForecast_t(context, parent);
    if (kind == QLatin1String("satelliteCalculation"))
        return new dlgSatelliteCalculation_t(context, parent);
    if (kind == QLatin1String("graphs"))
        return new dlgGraphs_t(context, parent);
    if (kind == QLatin1String("qcGraphs"))
        return new dlgQcGraphs_t(context, parent);
    if (kind == QLatin1String("compassRose"))
        return new dlgCompassRose_t(context, parent);
    if (kind == QLatin1String("tapeDisplay"))
        return new dlgTapeDisplay_t(context, parent);
    return nullptr;
}

const char* const allKinds[] = {"errorEllipse", "qcSettings", "qualityDisplay", "satelliteForecast",
                                "satelliteCalculation", "graphs", "qcGraphs", "compassRose", "tapeDisplay"};

// What the user reads on a child: a label's text, a button's text, a group's title.
bool textOf(QObject* child, QString& text)
{
    if (auto* label = qobject_cast<QLabel*>(child))
        text = label->text();
    else if (auto* button = qobject_cast<QAbstractButton*>(child))
        text = button->text();
    else if (auto* group = qobject_cast<QGroupBox*>(child))
        text = group->title();
    else
        return false;
    return true;
}

// Texts of the buttons the window adds itself, as far as they are offered.
QStringList customButtonTexts(QDialogButtonBox* box)
{
    QStringList texts;
    for (QAbstractButton* button : box->buttons()) {
        if (box->standardButton(button) == QDialogButtonBox::NoButton && !button->isHidden())
            texts << button->text();
    }
    texts.sort();
    return texts;
}

} // namespace

class tst_qcWindows : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void form_data();
    void form();
    void childTexts_data();
    void childTexts();
    void buttonBox_data();
    void buttonBox();
    void graphBoxesAreStyledAsGraphs_data();
    void graphBoxesAreStyledAsGraphs();
    void headingWindowsHoldTheirWidgetAlone_data();
    void headingWindowsHoldTheirWidgetAlone();
    void eachWindowOfADeviceHasKeysOfItsOwn();

private:
    std::unique_ptr<orvane::context_t> context;
    std::unique_ptr<orvane::device_t> device;
};

void tst_qcWindows::init()
{
    context.reset(new orvane::context_t);
    device.reset(new orvane::device_t(context.get(), QStringLiteral("GNSS 1"), nullptr));
}

void tst_qcWindows::cleanup()
{
    device.reset();
    context.reset();
}

void tst_qcWindows::form_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("objectName");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<int>("minimumWidth");
    QTest::addColumn<bool>("ownWindow");

    QTest::newRow("errorEllipse") << "errorEllipse" << "dlgErrorEllipse" << "Error Ellipse" << QSize(536, 462) << 0 << true;
    QTest::newRow("qcSettings") << "qcSettings" << "dlgQcSettings" << "QC Settings" << QSize(500, 370) << 0 << false;
    QTest::newRow("qualityDisplay") << "qualityDisplay" << "dlgQualityDisplayConfiguration"
                                    << "Quality Display Configuration" << QSize(500, 423) << 0 << false;
    QTest::newRow("satelliteForecast") << "satelliteForecast" << "dlgSatelliteForecast" << "Satellite Forecast"
                                       << QSize(747, 630) << 0 << true;
    QTest::newRow("satelliteCalculation") << "satelliteCalculation" << "dlgSatelliteCalculation"
                                          << "Satellite Calculation" << QSize(747, 630) << 0 << true;
    QTest::newRow("graphs") << "graphs" << "dlgGraphs" << "Graphs" << QSize(610, 546) << 400 << true;
    QTest::newRow("qcGraphs") << "qcGraphs" << "dlgQcGraphs" << "Graphs" << QSize(610, 546) << 0 << true;
    QTest::newRow("compassRose") << "compassRose" << "dlgCompassRose" << "Compass Rose" << QSize(634, 449) << 400 << true;
    QTest::newRow("tapeDisplay") << "tapeDisplay" << "dlgTapeDisplay" << "Tape Display" << QSize(610, 546) << 400 << true;
}

void tst_qcWindows::form()
{
    QFETCH(QString, kind);
    QFETCH(QString, objectName);
    QFETCH(QString, title);
    QFETCH(QSize, size);
    QFETCH(int, minimumWidth);
    QFETCH(bool, ownWindow);

    qcDeviceDialog_t* window = makeWindow(kind, context.get(), device.get());
    QVERIFY(window);
    QCOMPARE(window->parent(), device.get());
    QCOMPARE(window->device(), device.get());
    QCOMPARE(window->objectName(), objectName);
    QCOMPARE(window->windowTitle(), title);
    QCOMPARE(window->size(), size);
    QCOMPARE(window->minimumWidth(), minimumWidth);
    QCOMPARE(static_cast<orvane::orvaneDialog_t*>(window)->isWindow(), ownWindow);
    QCOMPARE(window->windowType(), ownWindow ? Qt::Window : Qt::Dialog);
}

void tst_qcWindows::childTexts_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QVariantMap>("texts");        // object name -> text shown
    QTest::addColumn<QStringList>("placeholders"); // widgets that later carry the library's classes

    QTest::newRow("errorEllipse")
        << "errorEllipse"
        << QVariantMap{{"label", "Range:"}, {"rangeLabel", "(Auto) 1.00 m"}, {"label_2", "Data Mode:"},
                       {"modeLabel", "NMEA"}, {"label_3", "Lat. Error:"}, {"latErrorLabel", "--"},
                       {"label_4", "Lon. Error:"}, {"lonErrorLabel", "--"}, {"label_5", "Height Error:"},
                       {"heightErrorLabel", "--"}, {"label_6", "Unit Var.:"}, {"unitVarianceLabel", "N/A"},
                       {"dataGroup", ""},
                       {"widgetGroup", ""}, {"graphGroup", ""}, {"buttonsGroup", ""}}
        << QStringList{"errorEllipseWidget"};
    QTest::newRow("qcSettings") << "qcSettings" << QVariantMap{{"blankGroup", ""}, {"buttonsGroup", ""}}
                                << QStringList{"configStack", "blankPage"};
    QTest::newRow("qualityDisplay") << "qualityDisplay" << QVariantMap{{"settingsGroup", ""}, {"buttonsGroup", ""}}
                                    << QStringList{"stackedWidget"};
    const QVariantMap forecastTexts{
        {"groupBox", "Current Settings"}, {"label", "Latitude:"}, {"label_3", "Longitude:"}, {"label_5", "Height:"},
        {"label_2", "Start Time:"}, {"label_4", "End Time:"}, {"label_6", "Elev Mask:"}, {"latitudeLabel", "--"},
        {"longitudeLabel", "--"}, {"heightLabel", "--"}, {"startTimeLabel", "--"}, {"endTimeLabel", "--"},
        {"elevMaskLabel", "--"}, {"graph1Group", "Graph 1"}, {"graph2Group", "Graph 2"}, {"graph3Group", "Graph 3"},
        {"graph4Group", "Graph 4"}, {"groupBox_2", ""}};
    QTest::newRow("satelliteForecast") << "satelliteForecast" << forecastTexts << QStringList{"almanacInfoWidget"};
    QTest::newRow("satelliteCalculation") << "satelliteCalculation" << forecastTexts
                                          << QStringList{"almanacInfoWidget"};
    QTest::newRow("graphs") << "graphs" << QVariantMap{{"graphGroup", ""}, {"rulerGroup", ""}, {"buttonsGroup", ""}}
                            << QStringList{"timeRuler"};
    QTest::newRow("qcGraphs") << "qcGraphs"
                              << QVariantMap{{"graphsGroup", ""}, {"buttonsGroup", ""}, {"label", "Graph:"},
                                             {"toggleUpdateButton", "Stop Update"}, {"infoButton", "Graph Info"}}
                              << QStringList{"deviceStack", "blankPage", "graphCombo"};
    QTest::newRow("compassRose") << "compassRose" << QVariantMap{} << QStringList{"compassRoseStatusWidget"};
    QTest::newRow("tapeDisplay") << "tapeDisplay" << QVariantMap{} << QStringList{"headingStatusWidget"};
}

void tst_qcWindows::childTexts()
{
    QFETCH(QString, kind);
    QFETCH(QVariantMap, texts);
    QFETCH(QStringList, placeholders);

    qcDeviceDialog_t* window = makeWindow(kind, context.get(), device.get());
    QVERIFY(window);
    for (auto it = texts.cbegin(); it != texts.cend(); ++it) {
        QObject* child = window->findChild<QObject*>(it.key());
        QVERIFY2(child, qPrintable(it.key()));
        QString text;
        QVERIFY2(textOf(child, text), qPrintable(it.key()));
        QCOMPARE(text, it.value().toString());
    }
    for (QString const& name : placeholders)
        QVERIFY2(window->findChild<QWidget*>(name), qPrintable(name));
}

void tst_qcWindows::buttonBox_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QDialogButtonBox::StandardButtons>("standard");
    QTest::addColumn<QStringList>("added");

    const QDialogButtonBox::StandardButtons none = QDialogButtonBox::NoButton;
    const QDialogButtonBox::StandardButtons applyResetCancel =
        QDialogButtonBox::Apply | QDialogButtonBox::Reset | QDialogButtonBox::Cancel;
    QTest::newRow("errorEllipse") << "errorEllipse" << none << QStringList{"Settings", "Toggle NMEA/IMCA Data"};
    QTest::newRow("qcSettings") << "qcSettings" << applyResetCancel << QStringList{};
    QTest::newRow("qualityDisplay") << "qualityDisplay" << applyResetCancel << QStringList{};
    QTest::newRow("satelliteForecast") << "satelliteForecast" << none << QStringList{"Refresh"};
    QTest::newRow("satelliteCalculation") << "satelliteCalculation" << none << QStringList{"Settings"};
    QTest::newRow("graphs") << "graphs" << none << QStringList{"Settings"};
}

void tst_qcWindows::buttonBox()
{
    QFETCH(QString, kind);
    QFETCH(QDialogButtonBox::StandardButtons, standard);
    QFETCH(QStringList, added);

    qcDeviceDialog_t* window = makeWindow(kind, context.get(), device.get());
    QVERIFY(window);
    auto* box = window->findChild<QDialogButtonBox*>(QStringLiteral("buttonBox"));
    QVERIFY(box);
    QCOMPARE(box->standardButtons(), standard);
    QCOMPARE(customButtonTexts(box), added);
}

void tst_qcWindows::graphBoxesAreStyledAsGraphs_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QStringList>("graphBoxes");

    const QStringList forecastBoxes{"graph1Group", "graph2Group", "graph3Group", "graph4Group"};
    QTest::newRow("satelliteForecast") << "satelliteForecast" << forecastBoxes;
    QTest::newRow("satelliteCalculation") << "satelliteCalculation" << forecastBoxes;
    QTest::newRow("graphs") << "graphs" << QStringList{"rulerGroup"};
}

// The style sheets pick the graph frames by this property; any other group box stays plain.
void tst_qcWindows::graphBoxesAreStyledAsGraphs()
{
    QFETCH(QString, kind);
    QFETCH(QStringList, graphBoxes);

    qcDeviceDialog_t* window = makeWindow(kind, context.get(), device.get());
    QVERIFY(window);
    const QList<QGroupBox*> boxes = window->findChildren<QGroupBox*>();
    QStringList styled;
    for (QGroupBox* box : boxes) {
        if (box->property("groupBoxType").toString() == QLatin1String("graph"))
            styled << box->objectName();
    }
    styled.sort();
    QCOMPARE(styled, graphBoxes);
}

void tst_qcWindows::headingWindowsHoldTheirWidgetAlone_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("widgetName");

    QTest::newRow("compassRose") << "compassRose" << "compassRoseStatusWidget";
    QTest::newRow("tapeDisplay") << "tapeDisplay" << "headingStatusWidget";
}

void tst_qcWindows::headingWindowsHoldTheirWidgetAlone()
{
    QFETCH(QString, kind);
    QFETCH(QString, widgetName);

    qcDeviceDialog_t* window = makeWindow(kind, context.get(), device.get());
    QVERIFY(window);
    QCOMPARE(window->sizePolicy().horizontalPolicy(), QSizePolicy::Preferred);
    QCOMPARE(window->sizePolicy().verticalPolicy(), QSizePolicy::Preferred);
    QCOMPARE(window->baseSize(), QSize(610, 546));
    auto* grid = qobject_cast<QGridLayout*>(window->layout());
    QVERIFY(grid);
    QCOMPARE(grid->objectName(), QStringLiteral("gridLayout"));
    QCOMPARE(grid->count(), 1);
    QWidget* widget = window->findChild<QWidget*>(widgetName);
    QVERIFY(widget);
    QCOMPARE(grid->itemAtPosition(0, 0)->widget(), widget);
}

// Two windows of one device that stored under the same prefix would overwrite each
// other's geometry; the calculation shares the forecast's form, so this is easy to get wrong.
void tst_qcWindows::eachWindowOfADeviceHasKeysOfItsOwn()
{
    QSet<QString> keys;
    for (const char* kind : allKinds) {
        qcDeviceDialog_t* window = makeWindow(QLatin1String(kind), context.get(), device.get());
        QVERIFY2(window, kind);
        const QString key = QString::fromStdString(window->outputKey("geometry"));
        QVERIFY2(!keys.contains(key), qPrintable(key));
        keys.insert(key);
    }
}

QTEST_MAIN(tst_qcWindows)
#include "tst_qcWindows.moc"
