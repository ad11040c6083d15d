#pragma once

#include "belrix_common_qt_export.h"
#include "belrix_common_qt/position.h"

namespace belrix_common_qt {

// Converts between positions as stored (receiver datum) and as shown to the user. The
// base class shows positions as stored; a datum-shifting converter overrides both.
class BELRIX_COMMON_QT_EXPORT coordConverter_t
{
public:
    coordConverter_t();
    virtual ~coordConverter_t();

    // Each writes the destination and returns false when it cannot convert.
    virtual bool storedToDisplay(position_t const& stored, position_t& display) const;
    virtual bool displayToStored(position_t const& display, position_t& stored) const;
};

} // namespace belrix_common_qt
