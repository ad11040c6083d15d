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

#include <QPushButton>
#include <QtTest>

using namespace orvane::qc;

namespace {
template <typename T>
qcDeviceDialog_t* make(orvane::context_t* context, QWidget* parent) { return new T(context, parent); }
} // namespace

class tst_qcWindows : public QObject
{
    Q_OBJECT

private slots:
    // Two windows of one device under one prefix would overwrite each other's geometry; the
    // calculation shares the forecast's form, so this is easy to get wrong.
    void eachWindowOfADeviceHasKeysOfItsOwn()
    {
        orvane::context_t context;
        orvane::device_t device(&context, QStringLiteral("GNSS 1"), nullptr);
        using maker_t = qcDeviceDialog_t* (*)(orvane::context_t*, QWidget*);
        // the two settings windows are dialogs of the device; the rest stand on their own
        const std::pair<maker_t, bool> windows[] = {
            {make<dlgErrorEllipse_t>, true}, {make<dlgQcSettings_t>, false},
            {make<dlgQualityDisplayConfiguration_t>, false}, {make<dlgSatelliteForecast_t>, true},
            {make<dlgSatelliteCalculation_t>, true}, {make<dlgGraphs_t>, true}, {make<dlgQcGraphs_t>, true},
            {make<dlgCompassRose_t>, true}, {make<dlgTapeDisplay_t>, true}};
        QSet<QString> keys;
        for (auto const& [maker, ownWindow] : windows) {
            qcDeviceDialog_t* window = maker(&context, &device);
            QCOMPARE(window->device(), &device);
            QCOMPARE(window->isWindow(), ownWindow);
            const QString key = QString::fromStdString(window->outputKey("geometry"));
            QVERIFY2(!keys.contains(key), qPrintable(key));
            keys.insert(key);
        }
    }

    // exactly one of the two buttons, in the night look too (a style change re-lays the box)
    void forecastShowsOneOfRefreshAndSettings_data()
    {
        QTest::addColumn<bool>("calculation");
        QTest::newRow("forecast: Refresh") << false;
        QTest::newRow("calculation: Settings") << true;
    }
    void forecastShowsOneOfRefreshAndSettings()
    {
        QFETCH(bool, calculation);
        orvane::context_t context;
        orvane::device_t device(&context, QStringLiteral("GNSS 1"), nullptr);
        QWidget* window = calculation ? make<dlgSatelliteCalculation_t>(&context, &device)
                                      : make<dlgSatelliteForecast_t>(&context, &device);
        window->show();
        for (QString const& sheet : {QStringLiteral("QPushButton { color: #101010; }"), QString()}) {
            qApp->setStyleSheet(sheet);
            QStringList shown;
            for (QPushButton* button : window->findChildren<QPushButton*>()) {
                if (button->isVisibleTo(window))
                    shown << button->text();
            }
            QCOMPARE(shown, QStringList(calculation ? "Settings" : "Refresh"));
        }
    }
};

QTEST_MAIN(tst_qcWindows)
#include "tst_qcWindows.moc"
