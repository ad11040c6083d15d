#pragma once

#include <QList>
#include <QString>

namespace belrix_common_qt {

// What the navigation side knows of one of the host's devices: enough to offer it in a
// selector without depending on the host's device classes.
struct deviceEntry_t {
    unsigned int portId = 0;
    QString name;
    int capabilities = 0;

    bool operator==(deviceEntry_t const& other) const
    {
        return portId == other.portId && name == other.name && capabilities == other.capabilities;
    }
    bool operator!=(deviceEntry_t const& other) const { return !(*this == other); }
};

using deviceEntryList_t = QList<deviceEntry_t>;

} // namespace belrix_common_qt
