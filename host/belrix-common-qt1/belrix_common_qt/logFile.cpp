#include "belrix_common_qt/logFile.h"

#include "belrix_common_qt/navConstants.h"

#include <tolvconfig/durableFile.h>

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <cmath>

namespace belrix_common_qt {

namespace {

const char* const Context = "belrix_common_qt::logFile_t";

qint64 dayOf(double time)
{
    return std::isfinite(time) ? qint64(std::floor(time / double(SECONDS_PER_DAY))) : 0;
}

QDateTime utcOf(double time)
{
    return QDateTime::fromMSecsSinceEpoch(std::isfinite(time) ? qint64(time * 1000.0) : 0, Qt::UTC);
}

QString tr(const char* text) { return QCoreApplication::translate(Context, text); }

} // namespace

class logFile_t::private_t
{
public:
    int mode = 0;
    unsigned int age = 0;
    QByteArray header;
    QString folder;
    QString pattern;
    QString deviceName;
    QFile file;
    qint64 day = 0;
    qint64 complete = 0;   // bytes of the file that end in a whole line
    qint64 written = 0;
    QString error;

    bool rotates() const { return pattern.contains(QLatin1String("{date}")); }

    bool fail(QString const& reason)
    {
        error = reason;
        if (file.isOpen()) {
            QString ignored;
            tolvconfig::syncDurably(file, &ignored);
            file.close();
        }
        return false;
    }

    bool append(QByteArray const& data)
    {
        // a file deleted or moved away would swallow every line from now on
        if (!QFileInfo::exists(file.fileName()))
            return fail(tr("%1 was removed").arg(QDir::toNativeSeparators(file.fileName())));
        QString reason;
        if (!tolvconfig::writeAll(file, data, &reason)) {
            // a cut line would read as garbage: take it back
            file.resize(complete);
            return fail(tr("cannot write %1: %2").arg(QDir::toNativeSeparators(file.fileName()), reason));
        }
        complete += data.size();
        written += data.size();
        return true;
    }

    // Files of this stream older than the age allows; never the open one.
    void deleteOld(double now)
    {
        if (age == 0 || !rotates())
            return;
        const qint64 lastKept = dayOf(now - double(age));
        QString expression = QRegularExpression::escape(pattern);
        expression.replace(QRegularExpression::escape(QStringLiteral("{device}")),
                           QRegularExpression::escape(safeName(deviceName)));
        expression.replace(QRegularExpression::escape(QStringLiteral("{date}")), QStringLiteral("(\\d{8})"));
        expression.replace(QRegularExpression::escape(QStringLiteral("{time}")), QStringLiteral("\\d{6}"));
        const QString suffix = QFileInfo(pattern).suffix();
        if (!suffix.isEmpty()) {
            // the "-2" of a second session of a day goes before the suffix
            const QString dotSuffix = QRegularExpression::escape(QLatin1Char('.') + suffix);
            expression.chop(dotSuffix.size());
            expression += QStringLiteral("(-\\d+)?") + dotSuffix;
        } else {
            expression += QStringLiteral("(-\\d+)?");
        }
        const QRegularExpression re(QLatin1Char('^') + expression + QLatin1Char('$'));
        const QDir dir(folder);
        const QString open = QFileInfo(file.fileName()).fileName();
        for (const QString& name : dir.entryList(QDir::Files)) {
            const QRegularExpressionMatch match = re.match(name);
            if (!match.hasMatch() || name == open)
                continue;
            const QDate date = QDate::fromString(match.captured(1), QStringLiteral("yyyyMMdd"));
            if (!date.isValid())
                continue;
            const qint64 fileDay = QDate(1970, 1, 1).daysTo(date);
            if (fileDay < lastKept)
                QFile::remove(dir.filePath(name));
        }
    }

    // A file that can go on under our header: none yet, empty, or begun with it.
    bool takesHeader(QString const& path) const
    {
        QFile existing(path);
        if (header.isEmpty() || !existing.exists())
            return true;
        if (!existing.open(QIODevice::ReadOnly))
            return false;
        const QByteArray first = header + '\n';
        return existing.size() == 0 || existing.read(first.size()) == first;
    }

    bool begin(double now, QString* reason)
    {
        day = dayOf(now);
        QString name = expand(pattern, deviceName, now);
        const QDir dir(folder);
        QString path = dir.filePath(name);
        // a new session never replaces what an earlier one logged, and appends only below its
        // own header: rows under another header would be read as the wrong columns
        const QFileInfo info(name);
        const QString base = info.completeBaseName();
        const QString suffix = info.suffix().isEmpty() ? QString() : QLatin1Char('.') + info.suffix();
        for (int n = 2; mode == 0 ? QFileInfo::exists(path) : !takesHeader(path); ++n)
            path = dir.filePath(base + QLatin1Char('-') + QString::number(n) + suffix);
        file.setFileName(path);
        // unbuffered: every write is the system's answer, not a copy in Qt's buffer
        const QIODevice::OpenMode openMode = QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered;
        if (!file.open(openMode)) {
            *reason = tr("cannot write %1: %2").arg(QDir::toNativeSeparators(path), file.errorString());
            return false;
        }
        complete = file.size();
        if (complete == 0 && !header.isEmpty() && !append(header + '\n')) {
            *reason = error;
            return false;
        }
        tolvconfig::syncFolder(folder);
        deleteOld(now);
        return true;
    }
};

logFile_t::logFile_t() : d(new private_t) {}

logFile_t::~logFile_t()
{
    stop();
    delete d;
}

void logFile_t::setMode(int mode) { d->mode = mode == 1 ? 1 : 0; }
void logFile_t::setAge(unsigned int seconds) { d->age = seconds; }
void logFile_t::setHeader(QByteArray const& header) { d->header = header; }

bool logFile_t::start(QString const& folder, QString const& pattern, QString const& deviceName, double now,
                      QString* error)
{
    stop();
    d->error.clear();
    d->written = 0;
    d->folder = folder;
    d->pattern = pattern;
    d->deviceName = deviceName;
    QString reason;
    if (folder.isEmpty() || pattern.isEmpty())
        reason = tr("no folder or file name is given");
    else if (pattern.contains(QLatin1Char('/')) || pattern.contains(QLatin1Char('\\')))
        reason = tr("the file name %1 names a folder").arg(pattern);
    else if (!QDir().mkpath(folder))
        reason = tr("cannot create the folder %1").arg(QDir::toNativeSeparators(folder));
    if (reason.isEmpty() && d->begin(now, &reason))
        return true;
    d->fail(reason);
    if (error)
        *error = reason;
    return false;
}

void logFile_t::stop()
{
    if (!d->file.isOpen())
        return;
    QString reason;
    if (!tolvconfig::syncDurably(d->file, &reason))
        d->error = tr("cannot write %1: %2").arg(QDir::toNativeSeparators(d->file.fileName()), reason);
    d->file.close();
}

bool logFile_t::isActive() const { return d->file.isOpen(); }

bool logFile_t::writeLine(QByteArray const& line, double time)
{
    if (!d->file.isOpen())
        return false;
    if (d->rotates() && dayOf(time) != d->day) {
        stop();
        if (!d->error.isEmpty())
            return false;
        QString reason;
        if (!d->begin(time, &reason))
            return d->fail(reason);
    }
    return d->append(line + '\n');
}

QString logFile_t::fileName() const { return d->file.fileName(); }
qint64 logFile_t::bytesWritten() const { return d->written; }
QString logFile_t::errorString() const { return d->error; }

QString logFile_t::safeName(QString const& deviceName)
{
    QString name;
    for (const QChar c : deviceName.trimmed())
        name += c.isLetterOrNumber() || c == QLatin1Char('-') || c == QLatin1Char('.') ? c : QLatin1Char('_');
    return name.isEmpty() ? QStringLiteral("device") : name;
}

QString logFile_t::expand(QString const& pattern, QString const& deviceName, double time)
{
    const QDateTime when = utcOf(time);
    QString name = pattern;
    name.replace(QLatin1String("{device}"), safeName(deviceName));
    name.replace(QLatin1String("{date}"), when.toString(QStringLiteral("yyyyMMdd")));
    name.replace(QLatin1String("{time}"), when.toString(QStringLiteral("HHmmss")));
    return name;
}

} // namespace belrix_common_qt
