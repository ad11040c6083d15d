#pragma once

#include "belrix_common_qt_gui_export.h"
#include "belrix_common_qt_gui/graphId.h"

#include <QStringList>
#include <QVector>

namespace belrix_common_qt_gui {

class deviceGraphSet_t;

// The graphs a device's graph window shows, top to bottom, by identifier.
class BELRIX_COMMON_QT_GUI_EXPORT deviceGraphSettings_t
{
public:
    // The set's default list; empty without a set.
    explicit deviceGraphSettings_t(deviceGraphSet_t const* set = nullptr);

    int count() const;
    // An empty identifier for an index out of range.
    graphId_t graphId(int index) const;
    void addGraphId(graphId_t const& id);
    void clear();
    QStringList graphIds() const;

    bool operator==(deviceGraphSettings_t const& other) const { return m_ids == other.m_ids; }
    bool operator!=(deviceGraphSettings_t const& other) const { return !(*this == other); }

private:
    QVector<graphId_t> m_ids;
};

} // namespace belrix_common_qt_gui
