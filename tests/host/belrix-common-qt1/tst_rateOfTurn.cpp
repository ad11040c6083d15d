#include <belrix_common_qt/rateOfTurnCalculator.h>

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
        for (int i = 0; i < 8; ++i)
            QCOMPARE(calculator.addHeading(1.7e9 + i, std::fmod(start + degreesPerSecond * i + 360.0, 360.0), rate), i >= 1);
        QVERIFY2(near(rate, expected), qPrintable(QString::number(rate)));
        // the turn ends: once the window holds only the steady course the rate is zero
        for (int i = 8; i < 13; ++i)
            calculator.addHeading(1.7e9 + i, std::fmod(start + degreesPerSecond * 7 + 360.0, 360.0), rate);
        QVERIFY(near(rate, 0.0));
    }

    void sampleSizeInForce()
    {
        QCOMPARE(rateOfTurnCalculator_t(0).sampleSize(), rateOfTurnCalculator_t::DefaultSampleSize);
        QCOMPARE(rateOfTurnCalculator_t(1).sampleSize(), 2u);   // one heading cannot make a rate
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
};

QTEST_GUILESS_MAIN(tst_rateOfTurn)
#include "tst_rateOfTurn.moc"
