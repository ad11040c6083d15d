#pragma once

#include "orvane_qc_export.h"

#include <belrix_common_qt/position.h>
#include <belrix_common_qt_gui/forecasterType.h>

#include <QDateTime>
#include <QList>

namespace orvane {
namespace qc {

// The inputs of one satellite forecast: which quantity each graph box shows, the observer,
// the elevation mask and the span. Handed by value between the forecast windows and the
// editor; never stored.
class ORVANE_QC_EXPORT satelliteCalculationConfigSettings_t
{
public:
    using forecasterType_t = belrix_common_qt_gui::forecasterType_t;

    satelliteCalculationConfigSettings_t();

    // Moves t from the available graphs to the end of the used ones, unless it is used already.
    void useGraph(forecasterType_t t);
    // Moves t from the used graphs to the end of the available ones, when it is used.
    void unuseGraph(forecasterType_t t);
    // No graph used, all four available.
    void clearUsed();

    QList<forecasterType_t> usedGraphs;        // box order: entry 0 is "Graph 1"
    QList<forecasterType_t> availableGraphs;
    belrix_common_qt::position_t position;     // radians, each half flagged
    double height = 0.0;                       // ellipsoidal, metres
    QDateTime startTime;                       // UTC
    double elevationMask = 0.0;                // degrees
    qint32 durationHours = 24;
};

} // namespace qc
} // namespace orvane
