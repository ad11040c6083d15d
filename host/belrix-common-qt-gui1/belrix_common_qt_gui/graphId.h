#pragma once

#include "belrix_common_qt_gui_export.h"

#include <QString>

namespace belrix_common_qt_gui {

// Names one graph source of a device's graph set: a short stable lower-case text ("hdop",
// "sats_used") that configurations store, so it never changes with the language.
class BELRIX_COMMON_QT_GUI_EXPORT graphId_t
{
public:
    graphId_t() = default;
    explicit graphId_t(QString const& id);

    QString graphId() const;
    void setGraphId(QString const& id);

    bool operator==(graphId_t const& other) const { return m_id == other.m_id; }
    bool operator!=(graphId_t const& other) const { return !(*this == other); }

private:
    QString m_id;
};

} // namespace belrix_common_qt_gui
