#pragma once

#include "belrix_common_qt_export.h"
#include "belrix_common_qt/constellation.h"
#include "belrix_common_qt/qcSummary.h"

#include <optional>

namespace belrix_common_qt {

// The QC summary of a position solution from the range residuals a receiver reports (GRS),
// the satellites it used (GSA) and where they stand in its sky (GSV).
//
// Model. The linearised code-range equations of the n satellites in the solution, in a local
// east-north-up frame at the receiver, with one receiver clock unknown per time system (GPS
// with SBAS and QZSS, GLONASS, Galileo, BeiDou, other):
//     row i of A = [ -cos(el_i) sin(az_i), -cos(el_i) cos(az_i), -sin(el_i), 0 .. 1 .. 0 ]
// u = 3 + the number of time systems unknowns, equal weights P = I / s^2 with s the a-priori
// range sigma, normal matrix N = A^T P A.
//   - The residuals l are adjusted once more, v = l - A N^-1 A^T P l: the residuals of a
//     receiver's own least squares come back unchanged, while an offset common to one time
//     system (residuals reported against a clock estimated elsewhere) is not counted as error.
//   - A posteriori unit variance  s0^2 = v^T P v / (n - u); about 1 when s is right.
//   - Scaled covariance           C = s0^2 N^-1 (the a-priori sigma cancels here).
//   - Error ellipse from the east-north block of C: the semi-axes are the square roots of its
//     eigenvalues, the orientation is that of the major axis, radians clockwise from true
//     north in [0, pi).
//   - Latitude, longitude and height errors: square roots of the north, east and up variances.
// Everything 1-sigma in metres. A summary needs n > u and a geometry that fixes every unknown.
class BELRIX_COMMON_QT_EXPORT grsQcSolver_t
{
public:
    static constexpr int MaxObservations = 64;

    grsQcSolver_t();
    ~grsQcSolver_t();
    grsQcSolver_t(grsQcSolver_t const&) = delete;
    grsQcSolver_t& operator=(grsQcSolver_t const&) = delete;

    void clear();
    // Azimuth and elevation in degrees, the residual in metres. False, and nothing added, when
    // the solver is full or a value is not finite or out of range.
    bool addObservation(double azimuth, double elevation, double residual, constellation_t constellation);
    int observationCount() const;

    // None when the redundancy is zero, the geometry is singular or the sigma is not positive.
    std::optional<qcSummary_t> solve(double aprioriSigma) const;

private:
    class private_t;
    private_t* d;
};

} // namespace belrix_common_qt
