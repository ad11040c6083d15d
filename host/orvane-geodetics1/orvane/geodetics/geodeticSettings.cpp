#include "orvane/geodetics/geodeticSettings.h"

#include <cmath>

namespace orvane {
namespace geodetics {

tolvgeodesy::coordLL_t coordFromPosition(belrix_common_qt::position_t const& position)
{
    return tolvgeodesy::coordLL_t(position.lon, position.lat);
}

class geodeticSettings_t::private_t
{
public:
    transformation_t transformation;
};

geodeticSettings_t* geodeticSettings_t::instance()
{
    static geodeticSettings_t* settings = new geodeticSettings_t;
    return settings;
}

geodeticSettings_t::geodeticSettings_t() : d(new private_t) {}
geodeticSettings_t::~geodeticSettings_t() { delete d; }

bool geodeticSettings_t::inputToRaw(tolvgeodesy::coordLL_t const& in, tolvgeodesy::coordLL_t& out) const
{
    if (d->transformation)
        return d->transformation(in, out);
    if (!std::isfinite(in.lat) || !std::isfinite(in.lon))
        return false;
    out = in;
    return true;
}

void geodeticSettings_t::setInputToRawTransformation(transformation_t transformation)
{
    d->transformation = std::move(transformation);
}

} // namespace geodetics
} // namespace orvane
