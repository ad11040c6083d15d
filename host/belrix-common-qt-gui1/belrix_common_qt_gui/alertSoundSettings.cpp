#include "belrix_common_qt_gui/alertSoundSettings.h"

namespace belrix_common_qt_gui {

alertSoundSettings_t::alertSoundSettings_t(bool enabled_, QString const& file_, unsigned int interval_)
    : enabled(enabled_), file(file_), interval(interval_)
{
}

alertSoundSettings_t::~alertSoundSettings_t() = default;

bool alertSoundSettings_t::operator==(alertSoundSettings_t const& other) const
{
    return enabled == other.enabled && file == other.file && interval == other.interval;
}

} // namespace belrix_common_qt_gui
