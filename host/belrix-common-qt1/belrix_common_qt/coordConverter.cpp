#include "belrix_common_qt/coordConverter.h"

namespace belrix_common_qt {

coordConverter_t::coordConverter_t() = default;
coordConverter_t::~coordConverter_t() = default;

bool coordConverter_t::storedToDisplay(position_t const& stored, position_t& display) const
{
    display = stored;
    return true;
}

bool coordConverter_t::displayToStored(position_t const& display, position_t& stored) const
{
    stored = display;
    return true;
}

} // namespace belrix_common_qt
