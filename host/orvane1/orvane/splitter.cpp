#include "orvane/splitter.h"

#include <tolvconfig/configCodec.h>

namespace orvane {

namespace {
const char* const KeySplitter = "splitter_state";
}

splitter_t::splitter_t(QWidget* parent) : QSplitter(parent) {}
splitter_t::splitter_t(Qt::Orientation orientation, QWidget* parent) : QSplitter(orientation, parent) {}
splitter_t::~splitter_t() = default;

void splitter_t::saveSettings(tolvconfig::config_t& config, std::string const& prefix) const
{
    tolvconfig::setValue(config, prefix + KeySplitter, QString::fromLatin1(saveState().toBase64()));
}

void splitter_t::loadSettings(tolvconfig::config_t const& config, std::string const& prefix)
{
    QString state;
    if (tolvconfig::getValue(config, prefix + KeySplitter, state))
        restoreState(QByteArray::fromBase64(state.toLatin1()));
}

} // namespace orvane
