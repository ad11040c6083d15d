#pragma once

#include "alarmPlayer.h"

#include <QObject>

namespace orvane {
namespace app {

// Plays alarm sounds through the default audio output with Qt Multimedia. Each file is
// loaded once, on its first alarm, and kept ready for the next.
class soundEffectPlayer_t : public QObject, public alarmPlayer_t
{
    Q_OBJECT
public:
    explicit soundEffectPlayer_t(QObject* parent = nullptr);
    ~soundEffectPlayer_t() override;

    void play(QString const& file) override;

    // False on a machine without an audio output; playing then does nothing.
    static bool hasAudioOutput();

private:
    class private_t;
    private_t* d;
};

} // namespace app
} // namespace orvane
