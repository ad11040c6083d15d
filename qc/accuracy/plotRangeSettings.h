#pragma once

#include "orvane_qc_export.h"

#include <QString>

#include <functional>
#include <string>

namespace tolvconfig {
class config_t;
}

namespace orvane {
namespace qc {

// The part that every accuracy plot's settings record shares: how far the plot reaches,
// whether the window picks that by itself, and how the rings are labelled. Its keys and
// their loading rules are kept here once for all owners.
class ORVANE_QC_EXPORT plotRangeSettings_t
{
public:
    double range = 1.0;      // metres
    bool autoScale = true;
    int labels = 0;          // graph label type: 0 none, 1 horizontal, 2 vertical

    // Forms an owner's configuration key from a plain name.
    using keyFunction_t = std::function<std::string(std::string const&)>;
    enum labelsKey_t { labelsOptional, labelsRequired };

    // Reads "range", "auto_scale" and "labels" over the defaults. Returns false, leaving
    // the record as it was, when "range" or "auto_scale" is missing, or "labels" is
    // missing and required. A range of 0 or less reads as the default.
    bool loadPlotRange(tolvconfig::config_t const& config, keyFunction_t const& key, labelsKey_t labelsKey);
    // Writes "range", "auto_scale", "labels", in that order.
    void savePlotRange(tolvconfig::config_t& config, keyFunction_t const& key) const;

    // The range as the windows caption it: "(Auto) " while auto scaling, then the range in
    // the distance unit in force.
    QString rangeCaption() const;

    bool operator==(plotRangeSettings_t const& other) const;
    bool operator!=(plotRangeSettings_t const& other) const { return !(*this == other); }
};

} // namespace qc
} // namespace orvane
