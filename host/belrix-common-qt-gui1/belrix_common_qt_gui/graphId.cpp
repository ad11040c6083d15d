#include "belrix_common_qt_gui/graphId.h"

namespace belrix_common_qt_gui {

graphId_t::graphId_t(QString const& id) : m_id(id) {}

QString graphId_t::graphId() const { return m_id; }

void graphId_t::setGraphId(QString const& id) { m_id = id; }

} // namespace belrix_common_qt_gui
