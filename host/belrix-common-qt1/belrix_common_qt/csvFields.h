#pragma once

#include "belrix_common_qt_export.h"

#include <QByteArray>
#include <QString>

#include <cstdint>

namespace belrix_common_qt {

class remoteDevice_t;

// What a device must be able to report for a CSV field to have values.
enum csvFieldGroup_t {
    csvGroupTime,        // always
    csvGroupPosition,    // positions and the solution (capability 0x2)
    csvGroupHeading,     // heading sensors (0x200)
    csvGroupErrors,      // the receiver's pseudorange error statistics (0x8)
    csvGroupQc,          // QC summaries (0x10)
    csvGroupSignal,      // correction signal status (0x1 or 0x40000)
    csvGroupCount
};

// The fields of a device's CSV log. Field i is bit i of csvOutputCfg_t's mask and column i of
// the log when chosen; the order is stored in users' masks, so it never changes.
// Values are written in the C locale with a fixed number of decimals; a value the device does
// not have, or has only older than DataMaxAge at the epoch, is an empty cell.
class BELRIX_COMMON_QT_EXPORT csvFields_t
{
public:
    static constexpr int Count = 28;

    // Short name, for object names and scripts ("latitude").
    static QByteArray key(int field);
    // Name for people ("Latitude"); empty for a number that is no field.
    static QString name(int field);
    // Unit of the values ("deg", "m"); empty for counts and codes.
    static QString unit(int field);
    static csvFieldGroup_t group(int field);

    // The header line of a log with these fields: each name, its unit in brackets.
    static QByteArray header(std::uint32_t mask);
    // One row at the epoch of data time 'now', without its line end.
    static QByteArray row(remoteDevice_t const& device, std::uint32_t mask, double now);
    // A cell as CSV wants it: quoted when it holds a comma, a quote or a line end.
    static QByteArray quoted(QByteArray const& text);
};

} // namespace belrix_common_qt
