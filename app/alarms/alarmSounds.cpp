#include "alarmSounds.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QtEndian>

#include <QObject>

#include <algorithm>
#include <cmath>
#include <belrix_common_qt/navConstants.h>
#include <tolvconfig/durableFile.h>

namespace orvane {
namespace app {

namespace {
using belrix_common_qt::Pi;
constexpr double Amplitude = 0.6 * 32767.0;
constexpr double BuzzPeak = 0.9333333;   // the largest value of buzz()

// Odd harmonics make a tone buzz like a bell or a klaxon rather than a soft sine.
double buzz(double phase) { return std::sin(phase) + std::sin(3.0 * phase) / 3.0 + std::sin(5.0 * phase) / 5.0; }

// Short ramps at every start and stop keep the speaker from clicking.
double ramp(double t, double length, double rampSeconds)
{
    if (t < rampSeconds)
        return t / rampSeconds;
    if (length - t < rampSeconds)
        return std::max(0.0, (length - t) / rampSeconds);
    return 1.0;
}

qint16 toSample(double value)
{
    const double scaled = std::round(value * Amplitude / BuzzPeak);
    return qint16(std::max(-32767.0, std::min(32767.0, scaled)));
}

void appendLE16(QByteArray& out, quint16 v)
{
    char bytes[2];
    qToLittleEndian(v, bytes);
    out.append(bytes, 2);
}

void appendLE32(QByteArray& out, quint32 v)
{
    char bytes[4];
    qToLittleEndian(v, bytes);
    out.append(bytes, 4);
}
} // namespace

QString alarmSounds_t::generalAlarmName() { return QStringLiteral("general_alarm.wav"); }
QString alarmSounds_t::qualityAlarmName() { return QStringLiteral("quality_alarm.wav"); }
QString alarmSounds_t::fixRecordedName() { return QStringLiteral("fix_recorded.wav"); }

QByteArray alarmSounds_t::fixRecorded()
{
    const double note = 0.12;
    const double gap = 0.04;
    const double frequencies[] = {988.0, 1319.0};   // B5 then E6: a rising fourth reads as "done"
    std::vector<qint16> samples;
    for (double frequency : frequencies) {
        const int count = int(note * SampleRate);
        for (int i = 0; i < count; ++i) {
            const double t = double(i) / SampleRate;
            // a pure tone, softer than the alarms' buzz
            samples.push_back(toSample(BuzzPeak * std::sin(2.0 * Pi * frequency * t) * ramp(t, note, 0.008)));
        }
        samples.insert(samples.end(), std::size_t(gap * SampleRate), 0);
    }
    return wav(samples);
}

QByteArray alarmSounds_t::generalAlarm()
{
    const double length = 1.5;
    const double toneSeconds = 0.125;
    const int count = int(length * SampleRate);
    std::vector<qint16> samples(std::size_t(count), 0);
    double phase = 0.0;
    for (int i = 0; i < count; ++i) {
        const double t = double(i) / SampleRate;
        // phase runs on across the tone changes, so the warble has no clicks
        const double frequency = int(t / toneSeconds) % 2 == 0 ? 660.0 : 880.0;
        phase += 2.0 * Pi * frequency / SampleRate;
        samples[std::size_t(i)] = toSample(buzz(phase) * ramp(t, length, 0.01));
    }
    return wav(samples);
}

QByteArray alarmSounds_t::qualityAlarm()
{
    const double on = 0.12;
    const double off = 0.08;
    const int pulses = 7;
    const double length = pulses * (on + off);
    const int count = int(length * SampleRate);
    std::vector<qint16> samples(std::size_t(count), 0);
    for (int i = 0; i < count; ++i) {
        const double t = double(i) / SampleRate;
        const double inPulse = std::fmod(t, on + off);
        if (inPulse >= on)
            continue;
        // two notes a semitone apart beat against each other: hard to ignore
        const double a = buzz(2.0 * Pi * 1480.0 * t);
        const double b = buzz(2.0 * Pi * 1568.0 * t);
        samples[std::size_t(i)] = toSample(0.5 * (a + b) * ramp(inPulse, on, 0.004));
    }
    return wav(samples);
}

QByteArray alarmSounds_t::wav(std::vector<qint16> const& samples, int sampleRate)
{
    const quint32 dataBytes = quint32(samples.size() * 2);
    QByteArray out;
    out.reserve(int(44 + dataBytes));
    out.append("RIFF", 4);
    appendLE32(out, 36 + dataBytes);
    out.append("WAVE", 4);
    out.append("fmt ", 4);
    appendLE32(out, 16);                         // size of the format chunk
    appendLE16(out, 1);                          // PCM
    appendLE16(out, 1);                          // mono
    appendLE32(out, quint32(sampleRate));
    appendLE32(out, quint32(sampleRate) * 2);    // bytes per second
    appendLE16(out, 2);                          // bytes per frame
    appendLE16(out, 16);                         // bits per sample
    out.append("data", 4);
    appendLE32(out, dataBytes);
    for (qint16 sample : samples)
        appendLE16(out, quint16(sample));
    return out;
}

QStringList alarmSounds_t::seed(QString const& dir)
{
    QStringList problems;
    if (!QDir().mkpath(dir)) {
        problems << QObject::tr("The sounds folder %1 cannot be made.").arg(QDir::toNativeSeparators(dir));
        return problems;
    }
    const struct {
        QString name;
        QByteArray (*make)();
    } sounds[] = {{generalAlarmName(), &alarmSounds_t::generalAlarm}, {qualityAlarmName(), &alarmSounds_t::qualityAlarm},
                 {fixRecordedName(), &alarmSounds_t::fixRecorded}};
    for (auto const& sound : sounds) {
        const QString path = QDir(dir).filePath(sound.name);
        if (QFileInfo::exists(path))
            continue;
        // a sound cut short by a full disk would be kept as the user's own next time: all or nothing
        QSaveFile file(path);
        QString reason;
        bool written = file.open(QIODevice::WriteOnly);
        if (!written)
            reason = file.errorString();
        else
            written = tolvconfig::writeAll(file, sound.make(), &reason) && tolvconfig::commitDurably(file, &reason);
        if (!written)
            problems << QObject::tr("The alarm sound %1 cannot be written: %2").arg(QDir::toNativeSeparators(path), reason);
    }
    tolvconfig::syncFolder(dir);
    return problems;
}

} // namespace app
} // namespace orvane
