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
#include <QtTest>

#include <functional>
#include <memory>

using namespace orvane::qc;

namespace {

using maker_t = std::function<qcDeviceDialog_t*(orvane::context_t*, QWidget*)>;

template <typename T>
maker_t maker()
{
    return [](orvane::context_t* context, QWidget* parent) { return new T(context, parent); };
}

const QList<QPair<QString, maker_t>> Windows = {
    {"errorEllipse", maker<dlgErrorEllipse_t>()},
    {"qcSettings", maker<dlgQcSettings_t>()},
    {"qualityDisplay", maker<dlgQualityDisplayConfiguration_t>()},
    {"satelliteForecast", maker<dlgSatelliteForecast_t>()},
    {"satelliteCalculation", maker<dlgSatelliteCalculation_t>()},
    {"graphs", maker<dlgGraphs_t>()},
    {"qcGraphs", maker<dlgQcGraphs_t>()},
    {"compassRose", maker<dlgCompassRose_t>()},
    {"tapeDisplay", maker<dlgTapeDisplay_t>()},
};

// The buttons a window adds to its form's box and offers, sorted.
QStringList offeredButtons(QWidget* window)
{
    QStringList texts;
    if (auto* box = window->findChild<QDialogButtonBox*>(QStringLiteral("buttonBox"))) {
        for (QAbstractButton* button : box->buttons()) {
            if (box->standardButton(button) == QDialogButtonBox::NoButton && !button->isHidden())
                texts << button->text();
        }
    }
    texts.sort();
    return texts;
}

} // namespace

class tst_qcWindows : public QObject
{
    Q_OBJECT

    std::unique_ptr<orvane::context_t> m_context;
    std::unique_ptr<orvane::device_t> m_device;

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
    }

    void windowBelongsToItsDevice_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<bool>("ownWindow");
        QTest::addColumn<QStringList>("buttons");
        const QList<bool> own = {true, false, false, true, true, true, true, true, true};
        const QList<QStringList> buttons = {{"Settings", "Toggle NMEA/IMCA Data"}, {}, {}, {"Refresh"}, {"Settings"},
                                            {"Settings"}, {}, {}, {}};
        for (int i = 0; i < Windows.size(); ++i)
            QTest::newRow(qPrintable(Windows.at(i).first)) << i << own.at(i) << buttons.at(i);
    }

    void windowBelongsToItsDevice()
    {
        QFETCH(int, index);
        QFETCH(bool, ownWindow);
        QFETCH(QStringList, buttons);
        qcDeviceDialog_t* window = Windows.at(index).second(m_context.get(), m_device.get());
        QCOMPARE(window->device(), m_device.get());
        QCOMPARE(window->isWindow(), ownWindow);
        QCOMPARE(offeredButtons(window), buttons);
    }

    // Two windows of one device under one prefix would overwrite each other's geometry; the
    // calculation shares the forecast's form, so this is easy to get wrong.
    void eachWindowOfADeviceHasKeysOfItsOwn()
    {
        QSet<QString> keys;
        for (auto const& window : Windows) {
            const QString key =
                QString::fromStdString(window.second(m_context.get(), m_device.get())->outputKey("geometry"));
            QVERIFY2(!keys.contains(key), qPrintable(key));
            keys.insert(key);
        }
    }
};

QTEST_MAIN(tst_qcWindows)
#include "tst_qcWindows.moc"
