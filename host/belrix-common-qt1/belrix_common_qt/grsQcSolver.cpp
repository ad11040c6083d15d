#include "belrix_common_qt/grsQcSolver.h"

#include <Eigen/Dense>

#include <algorithm>
#include <cmath>
#include "belrix_common_qt/navConstants.h"

namespace belrix_common_qt {

namespace {

constexpr int TimeSystems = 5;
constexpr int MaxUnknowns = 3 + TimeSystems;
// Eigenvalues of N below this share of the largest leave an unknown undetermined.
constexpr double SingularRatio = 1e-10;

// Fixed upper bounds keep every matrix on the stack.
using designMatrix_t = Eigen::Matrix<double, Eigen::Dynamic, Eigen::Dynamic, 0, grsQcSolver_t::MaxObservations, MaxUnknowns>;
using vector_t = Eigen::Matrix<double, Eigen::Dynamic, 1, 0, grsQcSolver_t::MaxObservations, 1>;
using normalMatrix_t = Eigen::Matrix<double, Eigen::Dynamic, Eigen::Dynamic, 0, MaxUnknowns, MaxUnknowns>;

int timeSystemOf(constellation_t constellation)
{
    switch (constellation) {
    case constellationGps:
    case constellationSbas:
    case constellationQzss: return 0;
    case constellationGlonass: return 1;
    case constellationGalileo: return 2;
    case constellationBeidou: return 3;
    case constellationCorrection:
    case constellationUnknown: break;
    }
    return 4;
}

struct observation_t {
    double azimuth = 0.0;     // radians
    double elevation = 0.0;
    double residual = 0.0;
    int timeSystem = 0;
};

} // namespace

class grsQcSolver_t::private_t
{
public:
    observation_t observations[MaxObservations];
    int count = 0;
};

grsQcSolver_t::grsQcSolver_t() : d(new private_t) {}
grsQcSolver_t::~grsQcSolver_t() { delete d; }

void grsQcSolver_t::clear() { d->count = 0; }

bool grsQcSolver_t::addObservation(double azimuth, double elevation, double residual, constellation_t constellation)
{
    if (d->count >= MaxObservations || !std::isfinite(azimuth) || !std::isfinite(elevation)
        || !std::isfinite(residual) || elevation < -90.0 || elevation > 90.0 || std::fabs(azimuth) > 720.0)
        return false;
    observation_t& o = d->observations[d->count++];
    o.azimuth = azimuth * DegToRad;
    o.elevation = elevation * DegToRad;
    o.residual = residual;
    o.timeSystem = timeSystemOf(constellation);
    return true;
}

int grsQcSolver_t::observationCount() const { return d->count; }

std::optional<qcSummary_t> grsQcSolver_t::solve(double aprioriSigma) const
{
    if (!(aprioriSigma > 0.0) || !std::isfinite(aprioriSigma))
        return std::nullopt;
    // a clock column only for the time systems present
    int column[TimeSystems];
    int unknowns = 3;
    for (int& c : column)
        c = -1;
    for (int i = 0; i < d->count; ++i) {
        int& c = column[d->observations[i].timeSystem];
        if (c < 0)
            c = unknowns++;
    }
    int const n = d->count;
    if (n <= unknowns)
        return std::nullopt;

    designMatrix_t a = designMatrix_t::Zero(n, unknowns);
    vector_t l(n);
    for (int i = 0; i < n; ++i) {
        observation_t const& o = d->observations[i];
        double const cosEl = std::cos(o.elevation);
        a(i, 0) = -cosEl * std::sin(o.azimuth);
        a(i, 1) = -cosEl * std::cos(o.azimuth);
        a(i, 2) = -std::sin(o.elevation);
        a(i, column[o.timeSystem]) = 1.0;
        l(i) = o.residual;
    }

    // Equal weights: P cancels from the solution, so work with the unweighted N and bring
    // the sigma in where it matters, the unit variance.
    normalMatrix_t const normal = a.transpose() * a;
    Eigen::SelfAdjointEigenSolver<normalMatrix_t> eigen(normal);
    if (eigen.info() != Eigen::Success)
        return std::nullopt;
    auto const& values = eigen.eigenvalues();
    double const largest = values(unknowns - 1);
    if (!(largest > 0.0) || values(0) <= largest * SingularRatio)
        return std::nullopt;
    normalMatrix_t const inverse =
        eigen.eigenvectors() * values.cwiseInverse().asDiagonal() * eigen.eigenvectors().transpose();

    vector_t const v = l - a * (inverse * (a.transpose() * l));
    double const vtv = v.squaredNorm();
    int const redundancy = n - unknowns;
    double const varianceFactor = vtv / redundancy;   // s0^2 * s^2

    qcSummary_t summary;
    summary.unitVariance = float(varianceFactor / (aprioriSigma * aprioriSigma));
    double const cee = varianceFactor * inverse(0, 0);
    double const cnn = varianceFactor * inverse(1, 1);
    double const cen = varianceFactor * inverse(0, 1);
    double const cuu = varianceFactor * inverse(2, 2);

    Eigen::Matrix2d horizontal;
    horizontal << cee, cen, cen, cnn;
    Eigen::SelfAdjointEigenSolver<Eigen::Matrix2d> ellipse(horizontal);
    Eigen::Vector2d const major = ellipse.eigenvectors().col(1);   // east, north
    double orientation = std::atan2(major(0), major(1));
    if (orientation < 0.0)
        orientation += Pi;
    if (orientation >= Pi)
        orientation -= Pi;
    summary.semiMajor = float(std::sqrt(std::max(ellipse.eigenvalues()(1), 0.0)));
    summary.semiMinor = float(std::sqrt(std::max(ellipse.eigenvalues()(0), 0.0)));
    summary.orientation = float(orientation);
    summary.latError = float(std::sqrt(std::max(cnn, 0.0)));
    summary.lonError = float(std::sqrt(std::max(cee, 0.0)));
    summary.heightError = float(std::sqrt(std::max(cuu, 0.0)));
    if (!std::isfinite(summary.unitVariance) || !std::isfinite(summary.semiMajor) || !std::isfinite(summary.heightError))
        return std::nullopt;
    return summary;
}

} // namespace belrix_common_qt
