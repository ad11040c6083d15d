#include <belrix_common_qt/rateOfTurnCalculator.h>
#include <belrix_common_qt/remoteDevice.h>

#include <QtTest>

#include <cmath>

using namespace belrix_common_qt;

namespace {
bool near(double a, double b, double tolerance = 1e-6) { return std::fabs(a - b) <= tolerance; }
}

class tst_rateOfTurn : public QObject
{
    Q_OBJECT

private slots:
    void steadyTurn_data()
    {
        QTest::addColumn<double>("start");
        QTest::addColumn<double>("degreesPerSecond");
        QTest::addColumn<double>("expected");   // degrees per minute
        QTest::newRow("to starboard") << 10.0 << 0.5 << 30.0;
        QTest::newRow("to port") << 200.0 << -0.25 << -15.0;
        QTest::newRow("through north to starboard") << 358.0 << 1.0 << 60.0;
        QTest::newRow("through north to port") << 2.0 << -1.0 << -60.0;
    }

    void steadyTurn()
    {
        QFETCH(double, start);
        QFETCH(double, degreesPerSecond);
        QFETCH(double, expected);
        rateOfTurnCalculator_t calculator(5);
        double rate = 1e9;
        for (int i = 0; i < 8; ++i) {
            const double heading = std::fmod(start + degreesPerSecond * i + 360.0, 360.0);
            const bool known = calculator.addHeading(1.7e9 + i, heading, rate);
            QCOMPARE(known, i >= 1);
        }
        QVERIFY2(near(rate, expected, 1e-6), qPrintable(QString::number(rate)));
    }

    void oneNoisyHeadingMovesTheRateLittle()
    {
        rateOfTurnCalculator_t calculator(9);
        double rate = 0.0;
        for (int i = 0; i < 9; ++i)
            calculator.addHeading(100.0 + i, i == 4 ? 52.0 : 50.0, rate);
        // two degrees off in the middle of a steady course: a least-squares slope ignores it
        QVERIFY(near(rate, 0.0, 1e-9));
    }

    void windowFollowsTheLatestHeadings()
    {
        // a turn that ended: once the window holds only the steady part the rate is zero
        rateOfTurnCalculator_t calculator(3);
        double rate = 0.0;
        for (int i = 0; i < 5; ++i)
            calculator.addHeading(i, 10.0 * i, rate);
        QVERIFY(near(rate, 600.0));
        for (int i = 5; i < 8; ++i)
            calculator.addHeading(i, 40.0, rate);
        QVERIFY(near(rate, 0.0));
    }

    void sampleSize_data()
    {
        QTest::addColumn<unsigned int>("configured");
        QTest::addColumn<unsigned int>("inForce");
        QTest::newRow("zero lets the source decide") << 0u << rateOfTurnCalculator_t::DefaultSampleSize;
        QTest::newRow("one cannot make a rate") << 1u << 2u;
        QTest::newRow("largest the form takes") << 99u << 99u;
    }

    void sampleSize()
    {
        QFETCH(unsigned int, configured);
        QFETCH(unsigned int, inForce);
        rateOfTurnCalculator_t calculator;
        calculator.setSampleSize(configured);
        QCOMPARE(calculator.sampleSize(), inForce);
    }

    void whenARateIsKnown_data()
    {
        // after headings at 0, 1, 2 and 3 s
        QTest::addColumn<double>("nextTime");
        QTest::addColumn<double>("nextHeading");
        QTest::addColumn<bool>("known");
        QTest::newRow("gap just within the limit") << 3.0 + rateOfTurnCalculator_t::MaxGapSeconds << 300.0 << true;
        QTest::newRow("gap beyond the limit") << 3.0 + rateOfTurnCalculator_t::MaxGapSeconds + 0.5 << 300.0 << false;
        QTest::newRow("clock stepped back") << 1.5 << 300.0 << false;
        QTest::newRow("NaN time") << std::nan("") << 300.0 << false;
        QTest::newRow("NaN heading") << 4.0 << std::nan("") << false;
    }

    void whenARateIsKnown()
    {
        QFETCH(double, nextTime);
        QFETCH(double, nextHeading);
        QFETCH(bool, known);
        rateOfTurnCalculator_t calculator(5);
        double rate = 0.0;
        for (int i = 0; i < 4; ++i)
            calculator.addHeading(i, 5.0 * i, rate);
        QCOMPARE(calculator.addHeading(nextTime, nextHeading, rate), known);
    }

    void sameInstantTwiceIsOneHeading()
    {
        rateOfTurnCalculator_t calculator(5);
        double rate = 0.0;
        QVERIFY(!calculator.addHeading(10.0, 20.0, rate));
        QVERIFY(!calculator.addHeading(10.0, 21.0, rate));
        QVERIFY(calculator.addHeading(11.0, 22.0, rate));
        QVERIFY(near(rate, 60.0));
    }

    void deviceComputesFromItsHeadings()
    {
        remoteDevice_t device;
        device.setRotSampleSize(3);
        for (int i = 0; i < 4; ++i)
            device.setHeading(dataItem_t<float>(float(350.0 + 2.0 * i), 1000.0 + i));
        QVERIFY(device.rateOfTurn().isValid() && device.rateOfTurn().timestamp() == 1003.0);
        QVERIFY(near(device.rateOfTurn().value(), 120.0, 1e-3));

        dataItem_t<float> lost;
        device.setHeading(lost);
        QVERIFY(!device.rateOfTurn().isValid());
        // after the loss a single heading gives no rate yet
        device.setHeading(dataItem_t<float>(10.0f, 1010.0));
        QVERIFY(!device.rateOfTurn().isValid());
    }
};

QTEST_GUILESS_MAIN(tst_rateOfTurn)
#include "tst_rateOfTurn.moc"
