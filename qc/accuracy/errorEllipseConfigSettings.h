#pragma once

#include "orvane_qc_export.h"
#include "accuracy/plotRangeSettings.h"

namespace orvane {
namespace qc {

// Settings of an error ellipse plot: range (1.0 m), auto scale (on) and ring labels
// (none). Both error ellipse windows store it with plotRangeSettings_t's routine; the
// per-device window takes "labels" as optional, the all-devices window as required.
class ORVANE_QC_EXPORT errorEllipseConfigSettings_t : public plotRangeSettings_t
{
public:
    bool load(tolvconfig::config_t const& config, keyFunction_t const& key, labelsKey_t labelsKey)
    {
        return loadPlotRange(config, key, labelsKey);
    }
    void save(tolvconfig::config_t& config, keyFunction_t const& key) const { savePlotRange(config, key); }
};

} // namespace qc
} // namespace orvane
