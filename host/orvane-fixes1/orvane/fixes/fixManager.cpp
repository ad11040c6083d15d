#include "orvane/fixes/fixManager.h"

#include <belrix_common_qt/navConstants.h>
#include <tolvconfig/durableFile.h>

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <QJsonValue>
#include <QLockFile>
#include <QSaveFile>
#include <QStandardPaths>
#include <QStringList>
#include <QTimer>
#include <QXmlStreamWriter>
#include <QtGlobal>

#include <cmath>
#include <limits>
#include <memory>

#include <zlib.h>


namespace orvane {
namespace fixes {

namespace {

using belrix_common_qt::Pi;
constexpr double halfPi = Pi / 2.0;
// Integers beyond this do not survive a trip through a JSON number.
constexpr double maxExactInteger = 9007199254740992.0;
// Years 1 to 9999: what QDateTime and xsd:dateTime both write as four digits.
constexpr double minGpxTime = -62135596800.0;
constexpr double maxGpxTime = 253402300799.0;

const char* const gpxNamespace = "http://www.topografix.com/GPX/1/1";
const char* const xsiNamespace = "http://www.w3.org/2001/XMLSchema-instance";

bool coordinateInRange(tolvgeodesy::coordLL_t const& coord)
{
    // written so that NaN fails
    return coord.lon >= -Pi && coord.lon <= Pi && coord.lat >= -halfPi && coord.lat <= halfPi;
}

QByteArray numberText(double value)
{
    // 17 significant digits bring back the same double
    return QByteArray::number(value, 'g', 17);
}

QByteArray jsonString(QString const& text)
{
    const QByteArray array = QJsonDocument(QJsonArray{QJsonValue(text)}).toJson(QJsonDocument::Compact);
    return array.mid(1, array.size() - 2);
}

// CRC-32 (IEEE 802.3): every single and double bit flip in a record changes it.
quint32 recordCrc(QByteArray const& data)
{
    return quint32(::crc32(::crc32(0L, Z_NULL, 0), reinterpret_cast<Bytef const*>(data.constData()), uInt(data.size())));
}

constexpr int checkLength = 10;   // " *" and eight hex digits

QByteArray checkText(QByteArray const& record)
{
    return " *" + QByteArray::number(recordCrc(record), 16).rightJustified(8, '0').toUpper();
}

bool isCheckAt(QByteArray const& text, int at)
{
    if (at < 0 || at + checkLength > text.size() || text[at] != ' ' || text[at + 1] != '*')
        return false;
    for (int i = at + 2; i < at + checkLength; ++i) {
        char const c = text[i];
        if (!((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F')))
            return false;
    }
    return true;
}

// The records of one line of the journal. A record ends after its check and a new one starts
// at '{"id":', so a damaged line end or a damaged check costs one record, not its neighbour.
QList<QByteArray> recordsOf(QByteArray const& line)
{
    static QByteArray const start = "{\"id\":";
    QList<QByteArray> pieces;
    int from = 0;
    for (int i = 0; i <= line.size(); ++i) {
        bool cut = i == line.size();
        int next = i;
        if (!cut && isCheckAt(line, i)) {
            cut = true;
            next = i + checkLength;
        } else if (!cut && i > from && line.at(i) == '{' && line.mid(i, start.size()) == start) {
            cut = true;
        }
        if (!cut)
            continue;
        QByteArray const piece = line.mid(from, next - from).trimmed();
        // a byte left from a damaged line end is no record
        if (piece.size() > 1 || piece.contains('{'))
            pieces.append(piece);
        if (i == line.size())
            break;
        from = next;
        i = next - 1;
    }
    return pieces;
}

QByteArray recordLine(fix_t const& fix)
{
    QByteArray line;
    line += "{\"id\":" + QByteArray::number(fix.id);
    line += ",\"port\":" + QByteArray::number(fix.portId);
    line += ",\"time\":" + numberText(fix.time);
    line += ",\"type\":" + QByteArray::number(int(fix.type));
    line += ",\"lon\":" + numberText(fix.coord.lon);
    line += ",\"lat\":" + numberText(fix.coord.lat);
    line += ",\"height\":" + (std::isfinite(fix.height) ? numberText(fix.height) : QByteArray("null"));
    line += ",\"description\":" + jsonString(fix.description);
    line += "}";
    return line + checkText(line) + '\n';
}

bool integralIn(QJsonValue const& value, double low, double high, double& out)
{
    if (!value.isDouble())
        return false;
    const double v = value.toDouble();
    if (!(v >= low && v <= high) || v != std::floor(v))
        return false;
    out = v;
    return true;
}

// Only time and coordinate are essential; a fix whose other fields are damaged is still
// worth more to the user than no fix.
bool parseRecord(QByteArray const& piece, fix_t& fix)
{
    // journals written before records carried a check have none
    QByteArray line = piece;
    int const checkAt = line.size() - checkLength;
    if (isCheckAt(line, checkAt)) {
        line.truncate(checkAt);
        if (checkText(line) != piece.mid(checkAt))
            return false;
    }
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(line, &error);
    if (error.error != QJsonParseError::NoError || !doc.isObject())
        return false;
    const QJsonObject object = doc.object();
    const QJsonValue time = object.value(QStringLiteral("time"));
    const QJsonValue lon = object.value(QStringLiteral("lon"));
    const QJsonValue lat = object.value(QStringLiteral("lat"));
    if (!time.isDouble() || !lon.isDouble() || !lat.isDouble())
        return false;
    fix = fix_t();
    fix.time = time.toDouble();
    fix.coord = tolvgeodesy::coordLL_t(lon.toDouble(), lat.toDouble());
    if (!std::isfinite(fix.time) || !coordinateInRange(fix.coord))
        return false;

    double number = 0.0;
    fix.id = integralIn(object.value(QStringLiteral("id")), 1.0, maxExactInteger, number) ? quint64(number) : 0;
    if (integralIn(object.value(QStringLiteral("port")), 0.0, double(std::numeric_limits<unsigned int>::max()), number))
        fix.portId = static_cast<unsigned int>(number);
    if (integralIn(object.value(QStringLiteral("type")), double(std::numeric_limits<int>::min()),
                   double(std::numeric_limits<int>::max()), number))
        fix.type = static_cast<fixType_t>(int(number));
    const QJsonValue height = object.value(QStringLiteral("height"));
    fix.height = height.isDouble() ? height.toDouble() : std::numeric_limits<double>::quiet_NaN();
    fix.description = object.value(QStringLiteral("description")).toString();
    return true;
}

// True when the file ends in the middle of a line, as after a write cut short.
bool endsWithoutNewline(QString const& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const qint64 size = file.size();
    char last = '\n';
    return size > 0 && file.seek(size - 1) && file.getChar(&last) && last != '\n';
}

QString gpxTime(double time)
{
    if (!(time >= minGpxTime && time <= maxGpxTime))
        return QString();
    const qint64 ms = qint64(std::llround(time * 1000.0));
    return QDateTime::fromMSecsSinceEpoch(ms, Qt::UTC).toString(QStringLiteral("yyyy-MM-dd'T'HH:mm:ss.zzz"))
           + QLatin1Char('Z');
}

QString gpxDegrees(double radians, bool longitude)
{
    double degrees = std::round(radians * 180.0 / Pi * 1e9) / 1e9;
    // the schema's longitude range is [-180, 180)
    if (longitude && degrees >= 180.0)
        degrees -= 360.0;
    if (degrees == 0.0)
        degrees = 0.0;   // no "-0.000000000"
    return QString::number(degrees, 'f', 9);
}

// XML 1.0 has no way to carry most control characters; a description typed with one
// must not make the whole file unreadable.
QString xmlText(QString const& text)
{
    QString out;
    out.reserve(text.size());
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        const ushort u = c.unicode();
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            out += c;
            out += text.at(++i);
            continue;
        }
        if (c.isSurrogate() || u == 0xFFFE || u == 0xFFFF)
            continue;
        if (u < 0x20 && u != '\t' && u != '\n' && u != '\r')
            continue;
        out += c;
    }
    return out;
}

QString gpxName(fix_t const& fix)
{
    return (fix.type == fixTypeManOverboard ? QStringLiteral("MOB %1") : QStringLiteral("Fix %1")).arg(fix.id);
}

QString gpxType(fixType_t type)
{
    switch (type) {
    case fixTypeManual: return QStringLiteral("Manual");
    case fixTypeManOverboard: return QStringLiteral("Man Overboard");
    case fixTypeEvent: return QStringLiteral("Event");
    }
    return QStringLiteral("Fix");
}

} // namespace

class fixManager_t::private_t
{
public:
    explicit private_t(fixManager_t* owner) : q(owner) {}

    void ensureOpen()
    {
        if (!opened)
            q->open(fixManager_t::defaultPath());
    }

    bool append(QByteArray const& line, QString& error)
    {
        const bool existed = QFileInfo::exists(path);
        QByteArray data;
        if (existed && endsWithoutNewline(path))
            data += '\n';   // keep the new record off the torn one
        data += line;

        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered)) {
            error = file.errorString();
            return false;
        }
        qint64 const size = file.size();
        if (!tolvconfig::writeAll(file, data, &error)) {
            file.resize(size);   // no torn record left behind for the next start
            return false;
        }
        if (!tolvconfig::syncDurably(file, &error))
            return false;
        file.close();
        if (!existed)
            tolvconfig::syncFolder(QFileInfo(path).absolutePath());
        return true;
    }

    // Reads the journal at path into fixes; false, with the reason, when it cannot be read.
    bool read(QList<fix_t>& out, quint64& maxId, int& damaged, QString& error) const
    {
        QFile file(path);
        if (!file.exists())
            return true;
        if (!file.open(QIODevice::ReadOnly)) {
            error = file.errorString();
            return false;
        }
        const QList<QByteArray> lines = file.readAll().split('\n');
        for (QByteArray const& line : lines) {
            for (QByteArray const& record : recordsOf(line)) {
                fix_t fix;
                if (!parseRecord(record, fix)) {
                    ++damaged;
                    continue;
                }
                maxId = qMax(maxId, fix.id);
                out.append(fix);
            }
        }
        for (fix_t& fix : out) {
            if (fix.id == 0)
                fix.id = ++maxId;
        }
        return true;
    }

    // Takes the store's lock; who holds it otherwise is left in lockedBy.
    bool takeLock()
    {
        // a crashed program's lock is stale (its process is gone); a live one's never is
        auto candidate = std::make_unique<QLockFile>(path + QStringLiteral(".lock"));
        candidate->setStaleLockTime(0);
        if (candidate->tryLock(0)) {
            lock = std::move(candidate);
            lockedBy.clear();
            return true;
        }
        qint64 pid = 0;
        QString host, application;
        lockedBy = candidate->getLockInfo(&pid, &host, &application)
                       ? fixManager_t::tr("%1 (process %2 on %3)")
                             .arg(application.isEmpty() ? fixManager_t::tr("a program") : application)
                             .arg(pid)
                             .arg(host)
                       : fixManager_t::tr("another program");
        return false;
    }

    int unsavedCount() const
    {
        int n = 0;
        for (fix_t const& fix : fixes)
            n += fix.saved ? 0 : 1;
        return n;
    }

    // Ids taken by fixes held while another program wrote the store may be in use by now:
    // held fixes move behind the ones the store holds today.
    void rebaseUnsaved()
    {
        QList<fix_t> stored, held;
        quint64 maxId = 0;
        int damaged = 0;
        QString error;
        read(stored, maxId, damaged, error);
        for (fix_t const& fix : fixes) {
            if (!fix.saved) {
                held.append(fix);
                held.last().id = ++maxId;
            }
        }
        fixes = stored + held;
        nextId = maxId + 1;
        emit q->storeOpened();
    }

    // Also takes the store's lock when it has come free.
    bool writeUnsaved()
    {
        if (!lock) {
            if (!takeLock()) {
                errorString = fixManager_t::tr("the fix store %1 is in use by %2.")
                                  .arg(QDir::toNativeSeparators(path), lockedBy);
                return false;
            }
            rebaseUnsaved();
        }
        for (fix_t& fix : fixes) {
            if (fix.saved)
                continue;
            QString error;
            if (!append(recordLine(fix), error)) {
                errorString = fixManager_t::tr("%1 cannot be written (%2).").arg(QDir::toNativeSeparators(path), error);
                return false;
            }
            fix.saved = true;
            emit q->fixSaved(fix);
        }
        retryTimer->stop();
        return true;
    }

    void report(QString const& message)
    {
        errorString = message;
        emit q->storeProblem(message);
    }

    fixManager_t* q;
    std::unique_ptr<QLockFile> lock;   // one writer per store: ids must not repeat
    QString lockedBy;                  // who holds the store when we could not take it
    bool opened = false;
    QString path;
    QList<fix_t> fixes;
    quint64 nextId = 1;
    QString errorString;
    QTimer* retryTimer = nullptr;      // runs while fixes wait in memory
};

fixManager_t* fixManager_t::instance()
{
    static fixManager_t* manager = new fixManager_t;
    return manager;
}

fixManager_t::fixManager_t() : d(new private_t(this))
{
    qRegisterMetaType<fix_t>("orvane::fixes::fix_t");
    d->retryTimer = new QTimer(this);
    d->retryTimer->setObjectName(QStringLiteral("retryTimer"));
    d->retryTimer->setInterval(5000);
    connect(d->retryTimer, &QTimer::timeout, this, [this] { d->writeUnsaved(); });
}

fixManager_t::~fixManager_t() { delete d; }

QString fixManager_t::defaultPath()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + QStringLiteral("/fixes.journal");
}

bool fixManager_t::open(QString const& path, QString* errorMessage)
{
    // fixes still waiting for a store go into the new one
    QList<fix_t> held;
    for (fix_t const& fix : d->fixes) {
        if (!fix.saved)
            held.append(fix);
    }
    d->opened = true;
    d->path = path;
    d->fixes.clear();
    d->nextId = 1;
    d->errorString.clear();
    d->lock.reset();
    d->lockedBy.clear();

    bool ok = true;
    QStringList problems;
    const QFileInfo info(path);
    int damaged = 0;
    if (info.isDir()) {
        ok = false;
        problems << tr("The fix store %1 is a folder, not a file. Fixes cannot be recorded.")
                        .arg(QDir::toNativeSeparators(path));
    } else {
        quint64 maxId = 0;
        QString error;
        if (!d->read(d->fixes, maxId, damaged, error)) {
            ok = false;
            problems << tr("The fix store %1 cannot be read: %2").arg(QDir::toNativeSeparators(path), error);
        }
        d->nextId = maxId + 1;
        if (!info.exists())
            QDir().mkpath(info.absolutePath());
        if (!d->takeLock()) {
            ok = false;
            problems << tr("The fix store %1 is in use by %2. Its fixes are shown, but new fixes cannot be "
                           "saved in it until that program ends.")
                            .arg(QDir::toNativeSeparators(path), d->lockedBy);
        }
        // find out now, not when the first man-overboard fix is taken
        QFile writer(path);
        if (d->lock && !writer.open(QIODevice::WriteOnly | QIODevice::Append)) {
            ok = false;
            problems << tr("Fixes cannot be saved: %1 cannot be written (%2).")
                            .arg(QDir::toNativeSeparators(path), writer.errorString());
        }
    }
    if (damaged > 0) {
        const QString file = QDir::toNativeSeparators(path);
        problems << (damaged == 1 ? tr("1 damaged record in %1 was skipped.").arg(file)
                                  : tr("%1 damaged records in %2 were skipped.").arg(damaged).arg(file));
    }
    for (fix_t fix : held) {
        fix.id = d->nextId++;
        d->fixes.append(fix);
    }

    emit storeOpened();
    const QString message = problems.join(QLatin1Char('\n'));
    if (errorMessage)
        *errorMessage = message;
    if (!message.isEmpty())
        d->report(message);
    if (!held.isEmpty() && !d->writeUnsaved())
        d->retryTimer->start();
    return ok;
}

QList<fix_t> fixManager_t::close()
{
    if (d->opened)
        d->writeUnsaved();
    QList<fix_t> dropped;
    for (fix_t const& fix : d->fixes) {
        if (!fix.saved)
            dropped.append(fix);
    }
    d->retryTimer->stop();
    d->lock.reset();
    d->lockedBy.clear();
    d->fixes.clear();
    d->opened = false;
    return dropped;
}

QString fixManager_t::path() const
{
    d->ensureOpen();
    return d->path;
}

bool fixManager_t::addFix(unsigned int portId, double time, fixType_t type, tolvgeodesy::coordLL_t const& coord,
                          double height, QString const& description)
{
    if (!std::isfinite(time) || !coordinateInRange(coord))
        return false;
    d->ensureOpen();

    // the ones still waiting go first, so the journal keeps the order they were taken in
    const bool ready = d->writeUnsaved();

    fix_t fix;
    fix.id = d->nextId++;
    fix.portId = portId;
    fix.time = time;
    fix.type = type;
    fix.coord = coord;
    fix.height = std::isfinite(height) ? height : std::numeric_limits<double>::quiet_NaN();
    fix.description = description;

    QString error;
    if (!ready) {
        fix.saved = false;
    } else if (!d->append(recordLine(fix), error)) {
        fix.saved = false;
        d->errorString = tr("%1 cannot be written (%2).").arg(QDir::toNativeSeparators(d->path), error);
    } else {
        d->errorString.clear();
    }
    d->fixes.append(fix);
    if (!fix.saved)
        d->retryTimer->start();
    emit fixAdded(fix);
    return true;
}

QList<fix_t> fixManager_t::fixes() const
{
    d->ensureOpen();
    return d->fixes;
}

int fixManager_t::count() const
{
    d->ensureOpen();
    return d->fixes.size();
}

int fixManager_t::unsavedCount() const { return d->unsavedCount(); }

bool fixManager_t::writeUnsaved()
{
    d->ensureOpen();
    return d->writeUnsaved();
}

QString fixManager_t::errorString() const { return d->errorString; }

bool fixManager_t::exportGpx(QString const& path, QString* errorMessage) const
{
    d->ensureOpen();
    auto fail = [&](QString const& reason) {
        if (errorMessage)
            *errorMessage = tr("The fixes could not be exported to %1: %2").arg(QDir::toNativeSeparators(path), reason);
        return false;
    };

    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return fail(file.errorString());

    const QString ns = QString::fromLatin1(gpxNamespace);
    QXmlStreamWriter xml(&file);
    xml.setAutoFormatting(true);
    xml.writeStartDocument();
    xml.writeDefaultNamespace(ns);
    xml.writeNamespace(QString::fromLatin1(xsiNamespace), QStringLiteral("xsi"));
    xml.writeStartElement(ns, QStringLiteral("gpx"));
    xml.writeAttribute(QStringLiteral("version"), QStringLiteral("1.1"));
    xml.writeAttribute(QStringLiteral("creator"), QStringLiteral("orvane"));
    xml.writeAttribute(QString::fromLatin1(xsiNamespace), QStringLiteral("schemaLocation"),
                       ns + QStringLiteral(" http://www.topografix.com/GPX/1/1/gpx.xsd"));

    xml.writeStartElement(ns, QStringLiteral("metadata"));
    xml.writeTextElement(ns, QStringLiteral("name"), QStringLiteral("Fixes"));
    xml.writeTextElement(ns, QStringLiteral("time"),
                         gpxTime(double(QDateTime::currentMSecsSinceEpoch()) / 1000.0));
    xml.writeEndElement();

    // the schema fixes the order of a waypoint's elements
    for (fix_t const& fix : d->fixes) {
        xml.writeStartElement(ns, QStringLiteral("wpt"));
        xml.writeAttribute(QStringLiteral("lat"), gpxDegrees(fix.coord.lat, false));
        xml.writeAttribute(QStringLiteral("lon"), gpxDegrees(fix.coord.lon, true));
        if (std::isfinite(fix.height))
            xml.writeTextElement(ns, QStringLiteral("ele"), QString::number(fix.height, 'f', 3));
        const QString time = gpxTime(fix.time);
        if (!time.isEmpty())
            xml.writeTextElement(ns, QStringLiteral("time"), time);
        xml.writeTextElement(ns, QStringLiteral("name"), gpxName(fix));
        if (!fix.description.isEmpty())
            xml.writeTextElement(ns, QStringLiteral("desc"), xmlText(fix.description));
        xml.writeTextElement(ns, QStringLiteral("src"), tr("Port %1").arg(fix.portId));
        xml.writeTextElement(ns, QStringLiteral("sym"),
                             fix.type == fixTypeManOverboard ? QStringLiteral("Man Overboard")
                                                             : QStringLiteral("Waypoint"));
        xml.writeTextElement(ns, QStringLiteral("type"), gpxType(fix.type));
        xml.writeEndElement();
    }
    xml.writeEndElement();
    xml.writeEndDocument();

    if (xml.hasError()) {
        QString const reason = file.errorString();
        file.cancelWriting();
        return fail(reason);
    }
    QString reason;
    if (!tolvconfig::commitDurably(file, &reason))
        return fail(reason);
    if (errorMessage)
        errorMessage->clear();
    return true;
}

} // namespace fixes
} // namespace orvane
