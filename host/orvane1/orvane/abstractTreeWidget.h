#pragma once

#include "orvane_export.h"

#include <QTreeWidget>

#include <string>

namespace tolvconfig {
class config_t;
}

namespace orvane {

// A tree that keeps its column widths, order and sorting under a key prefix.
class ORVANE_EXPORT abstractTreeWidget_t : public QTreeWidget
{
    Q_OBJECT
public:
    explicit abstractTreeWidget_t(QWidget* parent = nullptr);
    ~abstractTreeWidget_t() override;

    void saveSettings(tolvconfig::config_t& config, std::string const& prefix) const;
    // A missing or unreadable entry leaves the tree as it is.
    void loadSettings(tolvconfig::config_t const& config, std::string const& prefix);
};

} // namespace orvane
