#include <belrix_common_qt/grsQcSolver.h>

#include <QtTest>

#include <cmath>
#include <belrix_common_qt/navConstants.h>

using namespace belrix_common_qt;

namespace {

bool near(double actual, double expected, double tolerance = 1e-5)
{
    return std::fabs(actual - expected) <= tolerance;
}

// The worked example, done by hand. Five GPS satellites: one at the zenith, two at 60 degrees
// elevation at azimuths 30 and 210, two on the horizon at 120 and 300. In a frame turned 30
// degrees (x' along azimuth 30, y' along 120) the normal matrix is block-diagonal:
//     N(x'x') = 0.5, N(y'y') = 2, and for height and clock [[2.5, -(1 + sqrt3)], [-(1 + sqrt3), 5]]
// with determinant 10 - 2 sqrt3 = 5.0359, so Q(x'x') = 2, Q(y'y') = 0.5, Q(uu) = 5 / 5.0359.
// The residual space (n - u = 1) is spanned by w = (-sqrt3, 1, 1, -(2 - sqrt3)/2, -(2 - sqrt3)/2),
// with w.w = 10 - 2 sqrt3. The residuals are v = w / 2, so v.v = (10 - 2 sqrt3) / 4 = 1.25897
// and the scaled covariance is 1.25897 Q:
//     semi-major sqrt(2 * 1.25897) = 1.58680 along azimuth 30,
//     semi-minor sqrt(0.5 * 1.25897) = 0.79340,
//     height error sqrt(1.25) = 1.11803 (the determinant cancels),
//     north variance 2.51795 cos^2 30 + 0.62949 sin^2 30 = 2.04583 -> 1.43033,
//     east variance 2.51795 sin^2 30 + 0.62949 cos^2 30 = 1.10160 -> 1.04957.
// With an a-priori sigma of 1 m the unit variance is v.v / 1 = 1.25897.
constexpr double WorkedVtv = 1.2589746;

} // namespace

struct observations_t { int gpsCount, glonassCount; bool sameDirection; double sigma; bool solved; };
Q_DECLARE_METATYPE(observations_t)

class tst_grsQcSolver : public QObject
{
    Q_OBJECT

private slots:
    void workedExample_data()
    {
        // A clock error left in the residuals is adjusted away and must not change the summary;
        // the a-priori sigma scales only the unit variance.
        QTest::addColumn<double>("clock");
        QTest::addColumn<double>("sigma");
        QTest::newRow("least-squares residuals") << 0.0 << 1.0;
        QTest::newRow("clock offset left in") << 12.5 << 1.0;
        QTest::newRow("a-priori sigma 0.5 m") << 0.0 << 0.5;
    }

    void workedExample()
    {
        QFETCH(double, clock);
        QFETCH(double, sigma);
        double const azimuth[5] = {0.0, 30.0, 210.0, 120.0, 300.0};
        double const elevation[5] = {90.0, 60.0, 60.0, 0.0, 0.0};
        double const s3 = std::sqrt(3.0);
        double const w[5] = {-s3, 1.0, 1.0, -(2.0 - s3) / 2.0, -(2.0 - s3) / 2.0};
        grsQcSolver_t solver;
        for (int i = 0; i < 5; ++i)
            QVERIFY(solver.addObservation(azimuth[i], elevation[i], w[i] / 2.0 + clock, constellationGps));
        std::optional<qcSummary_t> const summary = solver.solve(sigma);
        QVERIFY(summary);
        QVERIFY2(near(summary->unitVariance, WorkedVtv / (sigma * sigma)), qPrintable(QString::number(summary->unitVariance)));
        QVERIFY(near(summary->semiMajor, 1.58680) && near(summary->semiMinor, 0.79340));
        QVERIFY2(near(summary->orientation, 30.0 * DegToRad), qPrintable(QString::number(summary->orientation)));
        QVERIFY(near(summary->latError, 1.43033) && near(summary->lonError, 1.04957) && near(summary->heightError, 1.11803));
    }

    void summaryNeedsRedundancyGeometryAndSigma_data()
    {
        QTest::addColumn<observations_t>("o");
        QTest::newRow("eight satellites") << observations_t{8, 0, false, 1.0, true};
        QTest::newRow("four satellites, one system") << observations_t{4, 0, false, 1.0, false};
        QTest::newRow("five satellites, two systems") << observations_t{3, 2, false, 1.0, false};
        QTest::newRow("all in one direction") << observations_t{8, 0, true, 1.0, false};
        QTest::newRow("sigma zero") << observations_t{8, 0, false, 0.0, false};
    }

    void summaryNeedsRedundancyGeometryAndSigma()
    {
        QFETCH(observations_t, o);
        grsQcSolver_t solver;
        for (int i = 0; i < o.gpsCount + o.glonassCount; ++i) {
            double const azimuth = o.sameDirection ? 45.0 : 40.0 * i;
            double const elevation = o.sameDirection ? 30.0 : 15.0 + 10.0 * i;
            solver.addObservation(azimuth, elevation, 0.1 * i,
                                  i < o.gpsCount ? constellationGps : constellationGlonass);
        }
        QCOMPARE(solver.solve(o.sigma).has_value(), o.solved);
    }

    void rejectsBadInputAndOverflow()
    {
        grsQcSolver_t solver;
        QVERIFY(!solver.addObservation(10.0, 20.0, std::nan(""), constellationGps));
        QVERIFY(!solver.addObservation(10.0, 90.5, 1.0, constellationGps));
        for (int i = 0; i < grsQcSolver_t::MaxObservations; ++i)
            QVERIFY(solver.addObservation(5.0 * i, 10.0 + i % 70, 0.1, constellationGps));
        QVERIFY(!solver.addObservation(1.0, 45.0, 0.1, constellationGps));
        QCOMPARE(solver.observationCount(), grsQcSolver_t::MaxObservations);
    }
};

QTEST_APPLESS_MAIN(tst_grsQcSolver)
#include "tst_grsQcSolver.moc"
