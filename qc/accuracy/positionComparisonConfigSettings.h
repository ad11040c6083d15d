#pragma once

#include "orvane_qc_export.h"
#include "accuracy/plotRangeSettings.h"

#include <belrix_common_qt/position.h>

#include <QPointer>

namespace orvane {
class device_t;

namespace qc {

// Settings of the position comparison: the plot part, and the centre, which is either an
// active device's live position or a fixed position (stored datum, radians). The active
// device is watched, not owned: it reads as null once the device is gone.
class ORVANE_QC_EXPORT positionComparisonConfigSettings_t : public plotRangeSettings_t
{
public:
    QPointer<orvane::device_t> activeDevice;
    belrix_common_qt::position_t center;   // only meaningful while activeDevice is null

    // Reads the plot part ("labels" required unless told otherwise), then "active_device"
    // or, without it, "center_lat" and "center_lon". Returns false, leaving the record as
    // it was, when a key of the plot part is missing. A port identifier of no current
    // device reads as no active device with no centre.
    bool load(tolvconfig::config_t const& config, keyFunction_t const& key, labelsKey_t labelsKey = labelsRequired);
    // The plot part, then "active_device" with an active device, else the centre keys.
    void save(tolvconfig::config_t& config, keyFunction_t const& key) const;

    bool operator==(positionComparisonConfigSettings_t const& other) const;
    bool operator!=(positionComparisonConfigSettings_t const& other) const { return !(*this == other); }
};

} // namespace qc
} // namespace orvane
