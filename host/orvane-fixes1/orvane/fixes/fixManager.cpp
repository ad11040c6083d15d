#include "orvane/fixes/fixManager.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <QJsonValue>
#include <QSaveFile>
#include <QStandardPaths>
#include <QStringList>
#include <QXmlStreamWriter>
#include <QtGlobal>

#include <cmath>
#include <limits>
#include <belrix_common_qt/navConstants.h>

#ifdef Q_OS_WIN
#include <io.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

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
    line += "}\n";
    return line;
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
bool parseRecord(QByteArray const& line, fix_t& fix)
{
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

bool syncFile(QFile& file)
{
#ifdef Q_OS_WIN
    return ::_commit(file.handle()) == 0;
#else
    return ::fsync(file.handle()) == 0;
#endif
}

// A new file's name is only durable once its folder is.
void syncDirectory(QString const& dirPath)
{
#ifndef Q_OS_WIN
    const int fd = ::open(QFile::encodeName(dirPath).constData(), O_RDONLY);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
#else
    Q_UNUSED(dirPath);
#endif
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
        if (!file.open(QIODevice::WriteOnly | QIODevice::Append)) {
            error = file.errorString();
            return false;
        }
        if (file.write(data) != data.size() || !file.flush()) {
            error = file.errorString();
            return false;
        }
        if (!syncFile(file)) {
            error = fixManager_t::tr("the data could not be flushed to the disk");
            return false;
        }
        file.close();
        if (!existed)
            syncDirectory(QFileInfo(path).absolutePath());
        return true;
    }

    void report(QString const& message)
    {
        errorString = message;
        emit q->storeProblem(message);
    }

    fixManager_t* q;
    bool opened = false;
    QString path;
    QList<fix_t> fixes;
    quint64 nextId = 1;
    QString errorString;
};

fixManager_t* fixManager_t::instance()
{
    static fixManager_t* manager = new fixManager_t;
    return manager;
}

fixManager_t::fixManager_t() : d(new private_t(this))
{
    qRegisterMetaType<fix_t>("orvane::fixes::fix_t");
}

fixManager_t::~fixManager_t() { delete d; }

QString fixManager_t::defaultPath()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + QStringLiteral("/fixes.journal");
}

bool fixManager_t::open(QString const& path, QString* errorMessage)
{
    d->opened = true;
    d->path = path;
    d->fixes.clear();
    d->nextId = 1;
    d->errorString.clear();

    bool ok = true;
    QStringList problems;
    const QFileInfo info(path);
    int damaged = 0;
    if (info.isDir()) {
        ok = false;
        problems << tr("The fix store %1 is a folder, not a file. Fixes cannot be recorded.")
                        .arg(QDir::toNativeSeparators(path));
    } else {
        if (info.exists()) {
            QFile file(path);
            if (!file.open(QIODevice::ReadOnly)) {
                ok = false;
                problems << tr("The fix store %1 cannot be read: %2")
                                .arg(QDir::toNativeSeparators(path), file.errorString());
            } else {
                const QList<QByteArray> lines = file.readAll().split('\n');
                quint64 maxId = 0;
                for (QByteArray const& raw : lines) {
                    QByteArray line = raw;
                    if (line.endsWith('\r'))
                        line.chop(1);
                    if (line.trimmed().isEmpty())
                        continue;
                    fix_t fix;
                    if (!parseRecord(line, fix)) {
                        ++damaged;
                        continue;
                    }
                    maxId = qMax(maxId, fix.id);
                    d->fixes.append(fix);
                }
                for (fix_t& fix : d->fixes) {
                    if (fix.id == 0)
                        fix.id = ++maxId;
                }
                d->nextId = maxId + 1;
            }
        } else {
            QDir().mkpath(info.absolutePath());
        }
        // find out now, not when the first man-overboard fix is lost
        QFile writer(path);
        if (!writer.open(QIODevice::WriteOnly | QIODevice::Append)) {
            ok = false;
            problems << tr("Fixes cannot be recorded: %1 cannot be written (%2).")
                            .arg(QDir::toNativeSeparators(path), writer.errorString());
        }
    }
    if (damaged > 0) {
        const QString file = QDir::toNativeSeparators(path);
        problems << (damaged == 1 ? tr("1 damaged record in %1 was skipped.").arg(file)
                                  : tr("%1 damaged records in %2 were skipped.").arg(damaged).arg(file));
    }

    emit storeOpened();
    const QString message = problems.join(QLatin1Char('\n'));
    if (errorMessage)
        *errorMessage = message;
    if (!message.isEmpty())
        d->report(message);
    return ok;
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

    fix_t fix;
    fix.id = d->nextId;
    fix.portId = portId;
    fix.time = time;
    fix.type = type;
    fix.coord = coord;
    fix.height = std::isfinite(height) ? height : std::numeric_limits<double>::quiet_NaN();
    fix.description = description;

    QString error;
    if (!d->append(recordLine(fix), error)) {
        d->report(tr("The fix was NOT recorded: %1 cannot be written (%2).")
                      .arg(QDir::toNativeSeparators(d->path), error));
        return false;
    }
    d->fixes.append(fix);
    ++d->nextId;
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

    if (xml.hasError())
        return fail(file.errorString());
    if (!file.commit())
        return fail(file.errorString());
    if (errorMessage)
        errorMessage->clear();
    return true;
}

} // namespace fixes
} // namespace orvane
