#include "fileReplaySource.h"

#include "nmeaLineSplitter.h"
#include "nmeaRecorder.h"

#include <belrix_common_qt/dataClock.h>
#include <belrix_common_qt/nmeaParser.h>

#include <QDate>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTimer>

#include <cmath>
#include <deque>
#include <limits>
#include <optional>
#include <utility>
#include <vector>

using namespace belrix_common_qt;

namespace orvane {
namespace app {

namespace {
constexpr qint64 ChunkSize = 64 * 1024;
// A file whose first lines carry no time at all is taken as untimed after this many.
constexpr int MaxUntimedLead = 5000;
// Times of day wait this many lines for a sentence that gives the date (RMC, ZDA).
constexpr int MaxUndatedLead = 2000;
// Keeps the interface responsive when a fast replay meets a dense stretch of the file.
constexpr int MaxLinesPerPump = 20000;
// A sentence a little older than the one before (a late GGA after its RMC) keeps its place.
constexpr double BackwardTolerance = 2.0;
constexpr double LoopGap = 1.0;
constexpr double MaxTimerStep = 5.0;
constexpr double SecondsPerDay = 86400.0;
constexpr double NaN = std::numeric_limits<double>::quiet_NaN();

// A sentence's own time: its time of day, and its day when it gives the date.
struct sentenceTime_t {
    double timeOfDay = 0.0;
    std::optional<double> day;   // midnight UTC, seconds since 1970
};

struct pendingLine_t {
    QByteArray text;
    double time = 0.0;   // offset included
};

std::optional<double> midnight(nmeaDate_t const& date)
{
    QDate const d(date.year, date.month, date.day);
    if (!d.isValid())
        return std::nullopt;
    return double(d.toJulianDay() - QDate(1970, 1, 1).toJulianDay()) * SecondsPerDay;
}
} // namespace

class fileReplaySource_t::private_t
{
public:
    QString path;
    double rate = 1.0;
    bool loop = false;
    bool manual = false;
    bool drivesClock = false;
    bool running = false;
    bool finishedSignalled = false;
    bool eof = false;

    QFile file;
    nmeaParser_t parser;
    std::deque<pendingLine_t> queue;
    QList<QByteArray> unassigned;   // lines of a pass before its first time
    // Lines of a pass held until a sentence gives the date, with their time of day (NaN: none).
    std::vector<std::pair<QByteArray, double>> undated;
    double recordingDay = NaN;      // the first day of the recording, the same on every pass

    // of the current pass
    bool haveTime = false;
    double lastTime = 0.0;
    double dayStart = NaN;
    double lastTimeOfDay = -1.0;
    bool untimed = false;
    double untimedBase = 0.0;
    qint64 untimedCount = 0;
    qint64 passLines = 0;

    double offset = 0.0;
    double lastQueued = NaN;   // across passes
    int loops = 0;
    double position = NaN;
    QTimer timer;
    QElapsedTimer elapsed;

    void reset()
    {
        queue.clear();
        unassigned.clear();
        resetPass();
        recordingDay = NaN;
        eof = false;
        finishedSignalled = false;
        offset = 0.0;
        lastQueued = NaN;
        loops = 0;
        position = NaN;
    }

    void resetPass()
    {
        haveTime = false;
        undated.clear();
        dayStart = NaN;
        lastTimeOfDay = -1.0;
        untimed = false;
        untimedCount = 0;
        passLines = 0;
    }

    void setDayStart(double day)
    {
        dayStart = day;
        lastTimeOfDay = -1.0;
        // a loop replays the recording's own days, not the clock's (which the replay drives)
        if (std::isnan(recordingDay))
            recordingDay = day;
    }

    double fromTimeOfDay(double timeOfDay)
    {
        if (std::isnan(dayStart))
            setDayStart(std::floor(dataTimestamp() / SecondsPerDay) * SecondsPerDay);
        if (lastTimeOfDay >= 0.0 && timeOfDay < lastTimeOfDay - SecondsPerDay / 2)
            dayStart += SecondsPerDay;
        lastTimeOfDay = timeOfDay;
        return dayStart + timeOfDay;
    }

    std::optional<sentenceTime_t> sentenceTime(QByteArray const& line)
    {
        nmeaSentence_t s;
        if (parser.parse(line.constData(), std::size_t(line.size()), s) != nmeaAccepted)
            return std::nullopt;
        auto dated = [](std::optional<double> time, std::optional<nmeaDate_t> const& date) -> std::optional<sentenceTime_t> {
            if (!time)
                return std::nullopt;
            return sentenceTime_t{*time, date ? midnight(*date) : std::nullopt};
        };
        switch (s.type) {
        case nmeaTypeZda: return dated(s.zda.time, s.zda.date);
        case nmeaTypeRmc: return dated(s.rmc.time, s.rmc.date);
        case nmeaTypeGga: return dated(s.gga.time, std::nullopt);
        case nmeaTypeGns: return dated(s.gns.time, std::nullopt);
        case nmeaTypeGll: return dated(s.gll.time, std::nullopt);
        default: break;
        }
        return std::nullopt;
    }

    double firstHeldTimeOfDay() const
    {
        for (auto const& held : undated) {
            if (!std::isnan(held.second))
                return held.second;
        }
        return NaN;
    }

    // The held lines get their day now: the date's own, or the one before when they are
    // from before midnight.
    void releaseUndated(double day, double timeOfDay)
    {
        double const first = firstHeldTimeOfDay();
        setDayStart(first > timeOfDay + SecondsPerDay / 2 ? day - SecondsPerDay : day);
        std::vector<std::pair<QByteArray, double>> lines;
        lines.swap(undated);
        for (auto const& held : lines)
            takeTimed(held.first, std::isnan(held.second) ? std::nullopt : std::optional<double>(fromTimeOfDay(held.second)));
    }

    // No date in sight: the recording's first day, or on its first pass, today.
    void releaseUndatedWithoutDate()
    {
        if (undated.empty())
            return;
        double const day = !std::isnan(recordingDay) ? recordingDay
                                                     : std::floor(dataTimestamp() / SecondsPerDay) * SecondsPerDay;
        releaseUndated(day, NaN);
    }

    void push(QByteArray const& text, double time)
    {
        queue.push_back({text, time});
        lastQueued = time;
    }

    void pushUntimed(QByteArray const& text) { push(text, untimedBase + double(untimedCount++) / UntimedLinesPerSecond); }

    void goUntimed()
    {
        untimed = true;
        if (!std::isnan(lastQueued))
            untimedBase = lastQueued + 1.0 / UntimedLinesPerSecond;
        else
            untimedBase = std::isnan(position) ? dataTimestamp() : position;
        untimedCount = 0;
        for (QByteArray const& text : unassigned)
            pushUntimed(text);
        unassigned.clear();
    }

    void take(QByteArray const& line)
    {
        if (line.startsWith('#'))
            return;
        QByteArray text;
        double recorded = 0.0;
        if (nmeaRecorder_t::parseLine(line, &text, &recorded)) {
            takeTimed(text, recorded);
            return;
        }
        if (line.isEmpty())
            return;
        std::optional<sentenceTime_t> const t = sentenceTime(line);
        if (t && t->day) {
            if (!undated.empty())
                releaseUndated(*t->day, t->timeOfDay);
            setDayStart(*t->day);
            lastTimeOfDay = t->timeOfDay;
            takeTimed(line, *t->day + t->timeOfDay);
            return;
        }
        // a time of day alone says nothing of the date: hold it until a sentence gives one
        if (std::isnan(dayStart) && (t || !undated.empty()) && !untimed) {
            undated.emplace_back(line, t ? t->timeOfDay : NaN);
            if (int(undated.size()) > MaxUndatedLead)
                releaseUndatedWithoutDate();
            return;
        }
        takeTimed(line, t ? std::optional<double>(fromTimeOfDay(t->timeOfDay)) : std::nullopt);
    }

    void takeTimed(QByteArray const& text, std::optional<double> raw)
    {
        if (text.isEmpty())
            return;
        ++passLines;
        if (untimed) {
            pushUntimed(text);
            return;
        }
        if (!raw) {
            if (haveTime) {
                push(text, lastTime);
            } else {
                unassigned.append(text);
                if (unassigned.size() > MaxUntimedLead)
                    goUntimed();
            }
            return;
        }
        double time = *raw + offset;
        if (!haveTime) {
            // a loop starts where the last pass ended, so its lines continue the time
            if (!std::isnan(lastQueued) && time <= lastQueued) {
                offset += lastQueued + LoopGap - time;
                time = lastQueued + LoopGap;
            }
            for (QByteArray const& early : unassigned)
                push(early, time);
            unassigned.clear();
        } else if (time < lastTime - BackwardTolerance) {
            offset += lastTime + LoopGap - time;
            time = lastTime + LoopGap;
        } else if (time < lastTime) {
            time = lastTime;
        }
        haveTime = true;
        lastTime = time;
        push(text, time);
    }

    void endOfPass(nmeaLineSplitter_t& splitter)
    {
        QByteArray const rest = splitter.flush();
        if (!rest.isEmpty())
            take(rest);
        releaseUndatedWithoutDate();
        if (!unassigned.isEmpty())
            goUntimed();
        if (loop && passLines > 0 && file.seek(0)) {
            ++loops;
            resetPass();
            splitter.reset();
            return;
        }
        eof = true;
        file.close();
    }

    void readMore(nmeaLineSplitter_t& splitter)
    {
        if (!file.isOpen()) {
            eof = true;
            return;
        }
        QByteArray const chunk = file.read(ChunkSize);
        if (chunk.isEmpty()) {
            endOfPass(splitter);
            return;
        }
        for (QByteArray const& line : splitter.feed(chunk))
            take(line);
    }

    // Reads until every line up to the position is queued, or the first line is known.
    void fill(nmeaLineSplitter_t& splitter)
    {
        while (!eof) {
            if (!queue.empty() && (std::isnan(position) || queue.back().time > position))
                return;
            readMore(splitter);
        }
    }
};

fileReplaySource_t::fileReplaySource_t(QString const& path, double rate, bool loop, QObject* parent)
    : nmeaSource_t(parent), d(new private_t)
{
    d->path = path;
    d->rate = std::isfinite(rate) && rate > 0.0 ? rate : 1.0;
    d->loop = loop;
    d->timer.setInterval(TimerIntervalMs);
    connect(&d->timer, &QTimer::timeout, this, [this] {
        double const seconds = std::min(double(d->elapsed.restart()) / 1000.0, MaxTimerStep);
        advance(seconds);
        if (isFinished() && !d->drivesClock)
            d->timer.stop();
    });
}

fileReplaySource_t::~fileReplaySource_t()
{
    if (d->running && d->drivesClock)
        dataClock_t::useSystemTime();
    delete d;
}

void fileReplaySource_t::start()
{
    if (d->running)
        return;
    d->reset();
    lineSplitter().reset();
    // A pipe, a terminal or a device would block here (open waits for a writer, a read for
    // data) or never end (/dev/zero), and every device with it: those are serial: sources.
    QFileInfo const info(d->path);
    if (info.exists() && !info.isFile()) {
        setStatus(info.isDir() ? tr("%1 is a folder, not a recording").arg(d->path)
                               : tr("%1 is not a recorded file but a pipe or a device; for a port, use serial:%1")
                                     .arg(d->path));
        setConnected(false);
        return;
    }
    d->file.setFileName(d->path);
    if (!d->file.open(QIODevice::ReadOnly)) {
        setStatus(tr("Cannot open %1: %2").arg(d->path, d->file.errorString()));
        setConnected(false);
        return;
    }
    d->running = true;
    d->fill(lineSplitter());
    if (d->queue.empty()) {
        d->running = false;
        d->file.close();
        setStatus(tr("%1 holds no lines to replay").arg(QFileInfo(d->path).fileName()));
        setConnected(false);
        return;
    }
    d->position = d->queue.front().time;
    setStatus(QString());
    setConnected(true);
    if (!d->manual) {
        d->elapsed.start();
        d->timer.start();
    }
    pump();
}

void fileReplaySource_t::stop()
{
    bool const wasRunning = d->running;
    d->running = false;
    d->timer.stop();
    d->file.close();
    d->queue.clear();
    d->unassigned.clear();
    if (wasRunning && d->drivesClock)
        dataClock_t::useSystemTime();
    setStatus(QString());
    setConnected(false);
}

void fileReplaySource_t::advance(double seconds)
{
    if (!d->running || !std::isfinite(seconds) || seconds <= 0.0 || std::isnan(d->position))
        return;
    d->position += seconds * d->rate;
    pump();
}

QString fileReplaySource_t::description() const
{
    QString text = tr("Replay of %1").arg(QFileInfo(d->path).fileName());
    if (d->rate != 1.0)
        text += tr(", %1 times the recorded pace").arg(d->rate);
    if (d->loop)
        text += tr(", looping");
    return text;
}

void fileReplaySource_t::setManualPacing(bool manual)
{
    d->manual = manual;
    if (manual)
        d->timer.stop();
    else if (d->running) {
        d->elapsed.start();
        d->timer.start();
    }
}

void fileReplaySource_t::setDrivesDataClock(bool drives)
{
    if (d->drivesClock == drives)
        return;
    d->drivesClock = drives;
    if (!d->running)
        return;
    if (drives && !std::isnan(d->position))
        dataClock_t::setTime(d->position);
    else if (!drives)
        dataClock_t::useSystemTime();
    if (drives && !d->manual && !d->timer.isActive()) {
        d->elapsed.start();
        d->timer.start();
    }
}

bool fileReplaySource_t::drivesDataClock() const { return d->drivesClock; }

void fileReplaySource_t::setAllowMissingChecksum(bool allow) { d->parser.setAllowMissingChecksum(allow); }

double fileReplaySource_t::position() const { return d->position; }
bool fileReplaySource_t::isFinished() const { return d->eof && d->queue.empty() && !std::isnan(d->position); }
int fileReplaySource_t::loopsCompleted() const { return d->loops; }

void fileReplaySource_t::pump()
{
    int emitted = 0;
    while (d->running) {
        d->fill(lineSplitter());
        if (d->queue.empty())
            break;
        double const next = d->queue.front().time;
        if (next > d->position) {
            if (next - d->position > MaxGapSeconds) {
                d->position = next;
                continue;
            }
            break;
        }
        if (emitted >= MaxLinesPerPump) {
            // the clock waits for the lines still due
            d->position = next;
            break;
        }
        pendingLine_t const line = std::move(d->queue.front());
        d->queue.pop_front();
        if (d->drivesClock)
            dataClock_t::setTime(line.time);
        emitLine(line.text, d->drivesClock ? line.time : dataTimestamp());
        ++emitted;
    }
    if (!d->running)
        return;
    if (d->drivesClock)
        dataClock_t::setTime(d->position);
    if (isFinished() && !d->finishedSignalled) {
        d->finishedSignalled = true;
        setStatus(tr("Replay finished"));
        setConnected(false);
        emit finished();
    }
}

} // namespace app
} // namespace orvane
