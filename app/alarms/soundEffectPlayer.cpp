#include "soundEffectPlayer.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QHash>
#include <QSoundEffect>
#include <QUrl>

#if QT_VERSION >= QT_VERSION_CHECK(6, 0, 0)
#include <QAudioDevice>
#include <QMediaDevices>
#else
#include <QAudioDeviceInfo>
#endif

namespace orvane {
namespace app {

namespace {
// Asking for the audio outputs reaches out to the sound server; without one, ask again
// only now and then, so a loudspeaker plugged in later is still found.
constexpr qint64 RecheckMs = 60000;
}

class soundEffectPlayer_t::private_t
{
public:
    QHash<QString, QSoundEffect*> effects;
    QElapsedTimer sinceNoOutput;
};

soundEffectPlayer_t::soundEffectPlayer_t(QObject* parent) : QObject(parent), d(new private_t) {}

soundEffectPlayer_t::~soundEffectPlayer_t() { delete d; }

bool soundEffectPlayer_t::hasAudioOutput()
{
#if QT_VERSION >= QT_VERSION_CHECK(6, 0, 0)
    return !QMediaDevices::audioOutputs().isEmpty();
#else
    return !QAudioDeviceInfo::availableDevices(QAudio::AudioOutput).isEmpty();
#endif
}

void soundEffectPlayer_t::play(QString const& file)
{
    if (file.isEmpty() || !QFileInfo(file).isFile())
        return;
    if (d->sinceNoOutput.isValid() && d->sinceNoOutput.elapsed() < RecheckMs)
        return;
    if (!hasAudioOutput()) {
        d->sinceNoOutput.start();
        return;
    }
    d->sinceNoOutput.invalidate();
    QSoundEffect*& effect = d->effects[file];
    if (!effect) {
        effect = new QSoundEffect(this);
        effect->setSource(QUrl::fromLocalFile(file));
    }
    // an alarm that is still sounding starts again rather than piling up
    effect->stop();
    effect->play();
}

} // namespace app
} // namespace orvane
