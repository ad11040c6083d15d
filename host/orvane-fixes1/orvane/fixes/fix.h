#pragma once

#include <tolvgeodesy/coordLL.h>

#include <QMetaType>
#include <QString>

namespace orvane {
namespace fixes {

// Any int: a journal may carry a type this version does not know, and keeps it.
enum fixType_t : int {
    fixTypeManual = 0,        // taken by the operator
    fixTypeManOverboard = 1,
    fixTypeEvent = 2,
};

// One recorded fix: a coordinate of the raw datum (radians) with its time and height.
struct fix_t {
    quint64 id = 0;           // unique within the store, ascending
    unsigned int portId = 0;  // the device it was taken from
    double time = 0.0;        // seconds since 1970-01-01 UTC (data time)
    fixType_t type = fixTypeManual;
    tolvgeodesy::coordLL_t coord;
    double height = 0.0;      // metres, ellipsoidal; NaN when unknown
    QString description;
    // false while the fix waits in memory for a store that can be written
    bool saved = true;
};

} // namespace fixes
} // namespace orvane

Q_DECLARE_METATYPE(orvane::fixes::fix_t)
