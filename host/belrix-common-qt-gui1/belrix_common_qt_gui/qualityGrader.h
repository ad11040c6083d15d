#pragma once

#include "belrix_common_qt_gui_export.h"
#include "belrix_common_qt_gui/quality.h"

namespace belrix_common_qt_gui {

class qualitySettings_t;

// Grades a device's values against its quality thresholds. A value that is not a number
// gets no grade (off). Where badly set thresholds overlap, bad wins: a navigator must
// never be shown green for a value the configuration also calls bad.
class BELRIX_COMMON_QT_GUI_EXPORT qualityGrader_t
{
public:
    static quality_t fix(int fixQuality, qualitySettings_t const& settings);
    static quality_t satellitesUsed(double count, qualitySettings_t const& settings);
    static quality_t hdop(double value, qualitySettings_t const& settings);
    static quality_t pdop(double value, qualitySettings_t const& settings);
    static quality_t vdop(double value, qualitySettings_t const& settings);
    static quality_t correctionAge(double seconds, qualitySettings_t const& settings);
    // The QC summary's a posteriori unit variance against the QC settings' limit.
    static quality_t unitVariance(double value, double limit);

    // Smaller is better: good below goodBelow, bad above badAbove, marginal from one
    // bound to the other, both included.
    static quality_t smallerIsBetter(double value, double goodBelow, double badAbove);
    // Larger is better: good above goodAbove, bad below badBelow, marginal between.
    static quality_t largerIsBetter(double value, double goodAbove, double badBelow);
    // How much correction a GGA fix quality carries: 0 none or not a measured fix
    // (dead reckoning, manual, simulation), 1 autonomous, 2 differential, 3 RTK float,
    // 4 RTK fixed.
    static int correctionLevel(int fixQuality);
};

} // namespace belrix_common_qt_gui
