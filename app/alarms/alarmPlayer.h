#pragma once

#include <QString>

namespace orvane {
namespace app {

// What sounds an alarm. The alarm logic talks to this, so it runs and is tested without
// a loudspeaker.
class alarmPlayer_t
{
public:
    virtual ~alarmPlayer_t() = default;
    // Plays the sound file once from its start. A file that cannot be played, or a machine
    // without a loudspeaker, stays silent without complaint.
    virtual void play(QString const& file) = 0;
};

} // namespace app
} // namespace orvane
