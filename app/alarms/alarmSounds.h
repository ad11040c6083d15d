#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <vector>

namespace orvane {
namespace app {

// The alarm sounds the application brings along, made in code so no binary travels with
// it: 16-bit mono PCM WAV files, each about a second and a half.
class alarmSounds_t
{
public:
    static constexpr int SampleRate = 22050;

    static QString generalAlarmName();   // "general_alarm.wav"
    static QString qualityAlarmName();   // "quality_alarm.wav"
    static QString fixRecordedName();    // "fix_recorded.wav"

    // A two-tone warble, low and high alternating eight times a second.
    static QByteArray generalAlarm();
    // A harsh pulsed tone: short bursts of a buzzing high note.
    static QByteArray qualityAlarm();

    // Two short rising notes: a fix is recorded. A confirmation, meant not to be taken for an alarm.
    static QByteArray fixRecorded();

    // A WAV file (RIFF, PCM, 16 bit, mono) of the samples.
    static QByteArray wav(std::vector<qint16> const& samples, int sampleRate = SampleRate);

    // Writes the sounds into dir (made if missing) unless files of their names are
    // already there, so a user's own sound under that name is kept. Each sound is on the disk
    // whole or not there at all. Returns the problems, with the system's reasons.
    static QStringList seed(QString const& dir);
};

} // namespace app
} // namespace orvane
