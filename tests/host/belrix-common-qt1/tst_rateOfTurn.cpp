#include <belrix_common_qt/rateOfTurnCalculator.h>

#include <QtTest>

#include <cmath>

using namespace belrix_common_qt;

namespace {
bool near(double a, double b, double tolerance = 1e-6) { return std::fabs(a - b) <= tolerance; }
}

// A steady turn from a heading, and the rate expected in degrees per minute.
struct turn_t { double start, degreesPerSecond, expected; };
Q_DECLARE_METATYPE(turn_t)

struct next_t { double nextTime, nextHeading; bool known; };
Q_DECLARE_METATYPE(next_t)

class tst_rateOfTurn : public QObject
{
    Q_OBJECT

private slots:
    void steadyTurn_data()
    {
        QTest::addColumn<turn_t>("t");
        QTest::newRow("to port") << turn_t{200.0, -0.25, -15.0};
        QTest::newRow("through north to starboard") << turn_t{358.0, 1.0, 60.0};
        QTest::newRow("through north to port") << turn_t{2.0, -1.0, -60.0};
    }

    void steadyTurn()
    {
        QFETCH(turn_t, t);
        rateOfTurnCalculator_t calculator(5);
        double rate = 1e9;
        for (int i = 0; i < 8; ++i)
            QCOMPARE(calculator.addHeading(1.7e9 + i, std::fmod(t.start + t.degreesPerSecond * i + 360.0, 360.0), rate),
                     i >= 1);
        QVERIFY2(near(rate, t.expected), qPrintable(QString::number(rate)));
        // the turn ends: once the window holds only the steady course the rate is zero
        for (int i = 8; i < 13; ++i)
            calculator.addHeading(1.7e9 + i, std::fmod(t.start + t.degreesPerSecond * 7 + 360.0, 360.0), rate);
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
        QTest::addColumn<next_t>("n");
        QTest::newRow("gap just within the limit") << next_t{3.0 + rateOfTurnCalculator_t::MaxGapSeconds, 300.0, true};
        QTest::newRow("gap beyond the limit")
            << next_t{3.0 + rateOfTurnCalculator_t::MaxGapSeconds + 0.5, 300.0, false};
        QTest::newRow("clock stepped back") << next_t{1.5, 300.0, false};
        QTest::newRow("NaN heading") << next_t{4.0, std::nan(""), false};
    }

    void whenARateIsKnown()
    {
        QFETCH(next_t, n);
        rateOfTurnCalculator_t calculator(5);
        double rate = 0.0;
        for (int i = 0; i < 4; ++i)
            calculator.addHeading(i, 5.0 * i, rate);
        QCOMPARE(calculator.addHeading(n.nextTime, n.nextHeading, rate), n.known);
    }
};

QTEST_GUILESS_MAIN(tst_rateOfTurn)
#include "tst_rateOfTurn.moc"
