#include "nmeaRecorder.h"

#include "application/safeFileName.h"

#include <tolvconfig/durableFile.h>

#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTimer>

#include <cmath>
#include <cstdio>

namespace orvane {
namespace app {

namespace {
constexpr qint64 FlushIntervalMs = 1000;
// Arrival times outside these bounds are not ours; such a line is taken as plain text.
constexpr double EarliestArrival = 1.0e8;   // 1973
constexpr double LatestArrival = 1.0e11;
} // namespace

class nmeaRecorder_t::private_t
{
public:
    QFile file;
    QByteArray pending;       // lines not yet handed to the system
    qint64 complete = 0;      // bytes of the file that end in a whole line
    QString error;
    QElapsedTimer sinceFlush;
    QTimer* flushTimer = nullptr;   // child of the recorder

    bool append(QByteArray const& data, QString* reason)
    {
        if (tolvconfig::writeAll(file, data, reason)) {
            complete += data.size();
            return true;
        }
        // a line cut by the full disk would replay as garbage: take it back
        file.resize(complete);
        return false;
    }
};

nmeaRecorder_t::nmeaRecorder_t(QObject* parent) : QObject(parent), d(new private_t)
{
    d->flushTimer = new QTimer(this);
    d->flushTimer->setObjectName(QStringLiteral("flushTimer"));
    d->flushTimer->setSingleShot(true);
    d->flushTimer->setInterval(int(FlushIntervalMs));
    connect(d->flushTimer, &QTimer::timeout, this, &nmeaRecorder_t::flush);
}

nmeaRecorder_t::~nmeaRecorder_t()
{
    close();
    delete d;
}

bool nmeaRecorder_t::open(QString const& path, QString const& deviceName, QString* error)
{
    close();
    d->error.clear();
    QFileInfo const info(path);
    if (!info.dir().exists() && !QDir().mkpath(info.absolutePath())) {
        if (error)
            *error = QObject::tr("Cannot create the folder of %1.").arg(QDir::toNativeSeparators(path));
        return false;
    }
    d->file.setFileName(path);
    // unbuffered: every write is the system's answer, not a copy in Qt's buffer
    if (!d->file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered)) {
        if (error)
            *error = QObject::tr("Cannot record to %1: %2").arg(QDir::toNativeSeparators(path), d->file.errorString());
        return false;
    }
    d->complete = 0;
    QByteArray const header = "# orvane recording of " + deviceName.toUtf8().replace('\n', ' ').replace('\r', ' ')
                              + ", started " + QDateTime::currentDateTimeUtc().toString(Qt::ISODate).toUtf8()
                              + "\n# arrival time (UTC seconds since 1970), a space, the line as received\n";
    QString reason;
    if (!d->append(header, &reason)) {
        d->file.close();
        if (error)
            *error = QObject::tr("Cannot record to %1: %2").arg(QDir::toNativeSeparators(path), reason);
        return false;
    }
    tolvconfig::syncFolder(info.absolutePath());
    d->sinceFlush.start();
    return true;
}

void nmeaRecorder_t::close()
{
    if (!d->file.isOpen())
        return;
    flush();
    QString reason;
    if (d->file.isOpen() && !tolvconfig::syncDurably(d->file, &reason))
        fail(reason);
    d->file.close();
}

bool nmeaRecorder_t::isOpen() const { return d->file.isOpen(); }
QString nmeaRecorder_t::path() const { return d->file.fileName(); }
QString nmeaRecorder_t::errorString() const { return d->error; }

void nmeaRecorder_t::record(QByteArray const& line, double arrival)
{
    if (!d->file.isOpen())
        return;
    d->pending += formatLine(line, arrival);
    if (d->sinceFlush.elapsed() >= FlushIntervalMs)
        flush();
    else if (!d->flushTimer->isActive())
        d->flushTimer->start();
}

void nmeaRecorder_t::flush()
{
    d->sinceFlush.restart();
    d->flushTimer->stop();
    if (!d->file.isOpen() || d->pending.isEmpty())
        return;
    QString reason;
    bool const written = d->append(d->pending, &reason);
    d->pending.clear();
    if (!written)
        fail(reason);
}

void nmeaRecorder_t::fail(QString const& reason)
{
    d->error = tr("Recording to %1 stopped: %2").arg(QDir::toNativeSeparators(d->file.fileName()), reason);
    d->pending.clear();
    d->file.close();
    qWarning("orvane: %s", qPrintable(d->error));
    emit failed(d->error);
}

QByteArray nmeaRecorder_t::formatLine(QByteArray const& line, double arrival)
{
    if (!std::isfinite(arrival))
        arrival = 0.0;
    char stamp[32];
    std::snprintf(stamp, sizeof stamp, "%.3f ", arrival);
    QByteArray text = QByteArray(stamp) + line;
    // a line never holds its own end; keep the file one record per line whatever comes
    text.replace('\r', ' ').replace('\n', ' ');
    return text + '\n';
}

bool nmeaRecorder_t::parseLine(QByteArray const& recorded, QByteArray* line, double* arrival)
{
    int const space = recorded.indexOf(' ');
    if (space <= 0 || space > 20)
        return false;
    for (int i = 0; i < space; ++i) {
        char const c = recorded.at(i);
        if (!(c >= '0' && c <= '9') && c != '.')
            return false;
    }
    bool ok = false;
    double const t = recorded.left(space).toDouble(&ok);
    if (!ok || !(t >= EarliestArrival && t < LatestArrival))
        return false;
    if (line)
        *line = recorded.mid(space + 1);
    if (arrival)
        *arrival = t;
    return true;
}

QString nmeaRecorder_t::pathForDevice(QString const& path, QString const& deviceName)
{
    QString const part = safeFileName_t::part(deviceName, QStringLiteral("device"));
    QFileInfo const info(path);
    QString const suffix = info.suffix();
    QString const base = suffix.isEmpty() ? info.fileName() : info.fileName().left(info.fileName().size() - suffix.size() - 1);
    QString const name = base + QLatin1Char('-') + part + (suffix.isEmpty() ? QString() : QLatin1Char('.') + suffix);
    return info.dir().filePath(name);
}

} // namespace app
} // namespace orvane
