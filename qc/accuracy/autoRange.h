#pragma once

#include "orvane_qc_export.h"

#include <belrix_common_qt/navConstants.h>

namespace orvane {
namespace qc {

// Automatic plot ranges from an ascending table of ranges in metres ended by 0.0
// (GRAPH_AUTO_RANGE_VALUES unless a table is given). Both read the table only up to its
// terminating 0.0.

// The first entry strictly greater than size, or the largest entry when none is; 0.0
// for an empty table. An error ellipse plot follows its ellipse up and down with it.
ORVANE_QC_EXPORT double autoRangeFor(double size,
                                     double const* table = belrix_common_qt::GRAPH_AUTO_RANGE_VALUES);

// The first entry strictly greater than size, or 0.0 when no entry is (size reaches or
// passes every range). The position comparison only grows its range with it.
ORVANE_QC_EXPORT double autoRangeAbove(double size,
                                       double const* table = belrix_common_qt::GRAPH_AUTO_RANGE_VALUES);

} // namespace qc
} // namespace orvane
