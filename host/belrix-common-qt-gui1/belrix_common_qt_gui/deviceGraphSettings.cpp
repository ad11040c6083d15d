#include "belrix_common_qt_gui/deviceGraphSettings.h"

#include "belrix_common_qt_gui/deviceGraphSet.h"

#include <QStringList>

namespace belrix_common_qt_gui {

deviceGraphSettings_t::deviceGraphSettings_t(deviceGraphSet_t const* set)
{
    if (!set)
        return;
    for (QString const& id : set->defaultGraphIds())
        m_ids.append(graphId_t(id));
}

int deviceGraphSettings_t::count() const { return int(m_ids.size()); }

graphId_t deviceGraphSettings_t::graphId(int index) const
{
    return index >= 0 && index < m_ids.size() ? m_ids.at(index) : graphId_t();
}

void deviceGraphSettings_t::addGraphId(graphId_t const& id) { m_ids.append(id); }

void deviceGraphSettings_t::clear() { m_ids.clear(); }

QStringList deviceGraphSettings_t::graphIds() const
{
    QStringList ids;
    for (graphId_t const& id : m_ids)
        ids.append(id.graphId());
    return ids;
}

} // namespace belrix_common_qt_gui
