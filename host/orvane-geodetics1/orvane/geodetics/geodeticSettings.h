#pragma once

#include "orvane_geodetics_export.h"

#include <belrix_common_qt/position.h>
#include <tolvgeodesy/coordLL.h>

#include <functional>

namespace orvane {
namespace geodetics {

// The position as a coordinate, longitude first.
ORVANE_GEODETICS_EXPORT tolvgeodesy::coordLL_t coordFromPosition(belrix_common_qt::position_t const& position);

// Datums of the application: the input datum the receivers report in and the raw datum
// fixes are stored in. Both are WGS84 unless a transformation is configured.
class ORVANE_GEODETICS_EXPORT geodeticSettings_t
{
public:
    using transformation_t = std::function<bool(tolvgeodesy::coordLL_t const&, tolvgeodesy::coordLL_t&)>;

    static geodeticSettings_t* instance();

    // Converts a coordinate of the input datum into the raw datum; false when it cannot.
    bool inputToRaw(tolvgeodesy::coordLL_t const& in, tolvgeodesy::coordLL_t& out) const;
    // An empty transformation restores the identity.
    void setInputToRawTransformation(transformation_t transformation);

private:
    geodeticSettings_t();
    ~geodeticSettings_t();

    class private_t;
    private_t* d;
};

} // namespace geodetics
} // namespace orvane
