#pragma once

#include "belrix_common_qt_gui_export.h"

#include <QString>

namespace belrix_common_qt_gui {

// One audio alarm: whether it sounds, the sound file's full path, and the seconds
// between repetitions while the condition lasts.
class BELRIX_COMMON_QT_GUI_EXPORT alertSoundSettings_t
{
public:
    alertSoundSettings_t(bool enabled = false, QString const& file = QString(), unsigned int interval = 5);
    virtual ~alertSoundSettings_t();
    alertSoundSettings_t(alertSoundSettings_t const&) = default;
    alertSoundSettings_t& operator=(alertSoundSettings_t const&) = default;

    bool operator==(alertSoundSettings_t const& other) const;
    bool operator!=(alertSoundSettings_t const& other) const { return !(*this == other); }

    bool enabled;
    QString file;
    unsigned int interval;
};

} // namespace belrix_common_qt_gui
