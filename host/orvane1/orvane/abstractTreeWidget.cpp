#include "orvane/abstractTreeWidget.h"

#include <tolvconfig/configCodec.h>

#include <QHeaderView>

namespace orvane {

namespace {
const char* const KeyHeader = "tree_header_state";
}

abstractTreeWidget_t::abstractTreeWidget_t(QWidget* parent) : QTreeWidget(parent) {}
abstractTreeWidget_t::~abstractTreeWidget_t() = default;

void abstractTreeWidget_t::saveSettings(tolvconfig::config_t& config, std::string const& prefix) const
{
    tolvconfig::setValue(config, prefix + KeyHeader, QString::fromLatin1(header()->saveState().toBase64()));
}

void abstractTreeWidget_t::loadSettings(tolvconfig::config_t const& config, std::string const& prefix)
{
    QString state;
    if (tolvconfig::getValue(config, prefix + KeyHeader, state))
        header()->restoreState(QByteArray::fromBase64(state.toLatin1()));
}

} // namespace orvane
