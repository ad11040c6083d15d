#include "instruments/dlgCompassRose.h"
#include "instruments/dlgTapeDisplay.h"

#include <belrix_common_qt/dataClock.h>
#include <belrix_common_qt/remoteDevice.h>
#include <belrix_common_qt/remotePort.h>
#include <belrix_common_qt_gui/headingStatusWidget.h>
#include <orvane/context.h>
#include <orvane/device.h>

#include <QtTest>

#include <memory>

using namespace orvane::qc;
using belrix_common_qt::dataItem_t;
using belrix_common_qt_gui::headingStatusWidget_t;
using belrix_common_qt_gui::headingWidgetBase_t;

namespace {
constexpr double T0 = 1700000000.0;
}

// A heading report, and the heading shown (-1: blank).
struct shown_t { bool tape; double age; bool valid, withModel; double shown; };
Q_DECLARE_METATYPE(shown_t)

class tst_headingWindows : public QObject
{
    Q_OBJECT

    std::unique_ptr<orvane::context_t> m_context;
    std::unique_ptr<orvane::device_t> m_device;

    orvane::deviceDialog_t* makeWindow(bool tape)
    {
        if (tape)
            return new dlgTapeDisplay_t(m_context.get(), m_device.get());
        return new dlgCompassRose_t(m_context.get(), m_device.get());
    }
    void setHeading(float degrees, double age, bool valid = true)
    {
        dataItem_t<float> item(degrees, T0 - age);
        item.setValid(valid);
        m_device->remoteDevice()->setHeading(item);
    }

private slots:
    void init()
    {
        belrix_common_qt::dataClock_t::setTime(T0);
        m_context.reset(new orvane::context_t);
        m_device.reset(new orvane::device_t(m_context.get(), QStringLiteral("Gyro"), nullptr));
        m_device->setPort(new belrix_common_qt::remotePort_t);
        m_device->setDeviceColor(QColor("#1f77b4"));
    }
    void cleanup()
    {
        m_device.reset();
        m_context.reset();
        belrix_common_qt::dataClock_t::useSystemTime();
    }

    void headingShownWhileCurrent_data()
    {
        QTest::addColumn<shown_t>("h");
        for (bool tape : {false, true}) {
            const char* name = tape ? "tape" : "rose";
            QTest::addRow("%s: 1 s old", name) << shown_t{tape, 1.0, true, true, 123.4};
            QTest::addRow("%s: 3 s old", name) << shown_t{tape, 3.0, true, true, -1.0};
            QTest::addRow("%s: invalid, fresh", name) << shown_t{tape, 0.0, false, true, -1.0};
            QTest::addRow("%s: data model gone", name) << shown_t{tape, 1.0, true, false, 10.0};
        }
    }
    void headingShownWhileCurrent()
    {
        QFETCH(shown_t, h);
        orvane::deviceDialog_t* window = makeWindow(h.tape);
        auto* widget = window->findChild<headingWidgetBase_t*>();
        setHeading(10.0f, 0.0);
        window->handleClockTimeout();
        QVERIFY(widget->hasHeading());
        // the device's colour reaches the instrument at once
        QCOMPARE(widget->deviceColor(), QColor("#1f77b4"));
        m_device->setDeviceColor(QColor("#d62728"));
        QCOMPARE(widget->deviceColor(), QColor("#d62728"));

        setHeading(123.4f, h.age, h.valid);
        if (!h.withModel)
            m_device->setPort(nullptr);
        window->handleClockTimeout();
        QCOMPARE(widget->hasHeading(), h.shown >= 0.0);
        if (h.shown >= 0.0)
            QCOMPARE(float(widget->heading()), float(h.shown));
    }

    void tapeShowsTheCurrentRateOfTurn()
    {
        orvane::deviceDialog_t* window = makeWindow(true);
        auto* tape = window->findChild<headingStatusWidget_t*>();
        for (double age : {1.0, 3.0}) {
            m_device->remoteDevice()->setRateOfTurn({-12.5f, T0 - age});
            setHeading(200.0f, 0.0);
            window->handleClockTimeout();
            QVERIFY(tape->hasHeading());
            QCOMPARE(tape->hasRateOfTurn(), age < 3.0);
            if (age < 3.0)
                QCOMPARE(tape->rateOfTurn(), -12.5);
        }
    }
};

QTEST_MAIN(tst_headingWindows)
#include "tst_headingWindows.moc"
