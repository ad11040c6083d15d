#pragma once

#include "orvane_export.h"

#include <QSplitter>

#include <string>

namespace tolvconfig {
class config_t;
}

namespace orvane {

// A splitter that keeps the sizes of its panes under a key prefix.
class ORVANE_EXPORT splitter_t : public QSplitter
{
    Q_OBJECT
public:
    explicit splitter_t(QWidget* parent = nullptr);
    explicit splitter_t(Qt::Orientation orientation, QWidget* parent = nullptr);
    ~splitter_t() override;

    void saveSettings(tolvconfig::config_t& config, std::string const& prefix) const;
    // A missing or unreadable entry leaves the splitter as it is.
    void loadSettings(tolvconfig::config_t const& config, std::string const& prefix);
};

} // namespace orvane
