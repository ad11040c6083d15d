#pragma once

#include "nmeaSource.h"

namespace orvane {
namespace app {

// Replays a recorded NMEA log: a file of --record (each line led by its arrival time) or a
// plain capture, paced by the sentences' own times (ZDA and RMC, GGA and GNS for the time of
// day). Lines between two timed sentences go out with the earlier one; '#' comment lines are
// skipped. A file without any time goes out at ten lines a second.
//
// The replay that drives the data clock sets it to the recording's time as it plays, so the
// displays judge the data by the recording's clock; its lines are stamped with their recorded
// times. Other replays stamp their lines with the data clock's time when they go out. Each loop
// continues the recording's time after the last pass, so time never runs backwards; a jump
// back in the recording is bridged the same way, and a gap of more than a minute is skipped.
class fileReplaySource_t : public nmeaSource_t
{
    Q_OBJECT
public:
    static constexpr int TimerIntervalMs = 25;
    static constexpr double MaxGapSeconds = 60.0;
    static constexpr double UntimedLinesPerSecond = 10.0;

    // rate: times the recorded pace, above 0
    explicit fileReplaySource_t(QString const& path, double rate = 1.0, bool loop = false, QObject* parent = nullptr);
    ~fileReplaySource_t() override;

    void start() override;
    void stop() override;
    // Moves playback on by seconds of playback time (rate times that of the recording).
    void advance(double seconds) override;
    QString description() const override;

    // Headless runs and tests step the replay with advance() instead of its timer.
    void setManualPacing(bool manual);
    void setDrivesDataClock(bool drives);
    bool drivesDataClock() const;
    // Lines without a checksum still give their times where the device accepts them.
    void setAllowMissingChecksum(bool allow);

    // The recording time reached, with the loop offsets; NaN before the first line.
    double position() const;
    bool isFinished() const;
    int loopsCompleted() const;

signals:
    void finished();

private:
    void pump();

    class private_t;
    private_t* d;
};

} // namespace app
} // namespace orvane
