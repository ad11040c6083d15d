#include "tolvconfig/config.h"
#include "tolvconfig/durableFile.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <QJsonValue>
#include <QLocale>
#include <QSaveFile>

#include <algorithm>
#include <map>

namespace tolvconfig {

namespace {

QString const formatName = QStringLiteral("orvane-configuration");
int const formatVersion = 1;

QString const formatKey = QStringLiteral("format");
QString const versionKey = QStringLiteral("version");
QString const valuesKey = QStringLiteral("values");

// Far beyond any real configuration; keeps a stray huge file from being parsed into memory.
qint64 const maximumFileSize = 64 * 1024 * 1024;

// The file keeps text as JSON strings, so only text that survives UTF-8 -> UTF-16 -> UTF-8
// unchanged can be stored without being silently altered on the next load.
bool isStorableText(std::string const& text)
{
    // Sized conversion: Qt 5's QByteArray overload stops at the first NUL.
    QByteArray const bytes(text.data(), int(text.size()));
    return QString::fromUtf8(bytes.constData(), bytes.size()).toUtf8() == bytes;
}

QString toQString(std::string const& text)
{
    return QString::fromUtf8(text.data(), int(text.size()));
}

std::string toStdString(QString const& text)
{
    QByteArray const bytes = text.toUtf8();
    return std::string(bytes.constData(), size_t(bytes.size()));
}

QString displayPath(QString const& path)
{
    return QDir::toNativeSeparators(path);
}

// Line of a byte offset into the file, counted from 1.
int lineOfOffset(QByteArray const& data, int offset)
{
    int const end = std::max(0, std::min(offset, int(data.size())));
    return 1 + int(std::count(data.constBegin(), data.constBegin() + end, '\n'));
}

// A free name beside the file for keeping an unusable copy.
QString backupName(QString const& path)
{
    QString const base = path + QStringLiteral(".corrupt-")
        + QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString candidate = base;
    for (int counter = 2; QFileInfo::exists(candidate) || QFileInfo(candidate).isSymLink(); ++counter)
        candidate = base + QLatin1Char('-') + QString::number(counter);
    return candidate;
}

struct parsed_t {
    bool ok = false;
    QString problem;   // why the file cannot be used, as part of a sentence
    std::map<std::string, std::string> values;
};

parsed_t parse(QByteArray const& data)
{
    parsed_t result;
    if (data.trimmed().isEmpty()) {
        result.problem = QStringLiteral("the file is empty");
        return result;
    }

    QJsonParseError error;
    QJsonDocument const document = QJsonDocument::fromJson(data, &error);
    if (error.error != QJsonParseError::NoError) {
        result.problem = QStringLiteral("line %1: %2")
                             .arg(lineOfOffset(data, error.offset))
                             .arg(error.errorString());
        return result;
    }
    if (!document.isObject()) {
        result.problem = QStringLiteral("it does not hold a configuration object");
        return result;
    }

    QJsonObject const root = document.object();
    QJsonValue const format = root.value(formatKey);
    if (!format.isString() || format.toString() != formatName) {
        result.problem = QStringLiteral("it is not a configuration file of this application");
        return result;
    }
    // A newer version is read as far as its shape is the same: settings written by a later
    // release should not be thrown away by an earlier one.
    QJsonValue const version = root.value(versionKey);
    if (!version.isDouble() || !(version.toDouble() >= formatVersion)) {
        result.problem = QStringLiteral("its format version is missing or invalid");
        return result;
    }
    QJsonValue const values = root.value(valuesKey);
    if (!values.isObject()) {
        result.problem = QStringLiteral("it holds no list of values");
        return result;
    }

    QJsonObject const entries = values.toObject();
    for (auto it = entries.constBegin(); it != entries.constEnd(); ++it) {
        // Values are text, but a hand-edited file may say 95 or true where it means "95" or
        // "true": read those as their text. Lists, objects and null carry nothing we could
        // read, so such a key is left out and its default applies.
        QJsonValue const value = it.value();
        QString text;
        if (value.isString())
            text = value.toString();
        else if (value.isDouble())
            text = QString::number(value.toDouble(), 'g', QLocale::FloatingPointShortest);
        else if (value.isBool())
            text = value.toBool() ? QStringLiteral("true") : QStringLiteral("false");
        else
            continue;
        result.values[toStdString(it.key())] = toStdString(text);
    }
    result.ok = true;
    return result;
}

} // namespace

class config_t::private_t
{
public:
    std::map<std::string, std::string> values;
};

config_t::config_t()
    : d(new private_t)
{
}

config_t::config_t(config_t const& other)
    : d(new private_t(*other.d))
{
}

config_t& config_t::operator=(config_t const& other)
{
    if (this != &other)
        *d = *other.d;
    return *this;
}

config_t::~config_t()
{
    delete d;
}

bool config_t::setValue(std::string const& key, std::string const& value)
{
    if (!isStorableText(key) || !isStorableText(value))
        return false;
    d->values[key] = value;
    return true;
}

bool config_t::getValue(std::string const& key, std::string& value) const
{
    auto const it = d->values.find(key);
    if (it == d->values.end())
        return false;
    value = it->second;
    return true;
}

bool config_t::hasKey(std::string const& key) const
{
    return d->values.count(key) != 0;
}

bool config_t::removeValue(std::string const& key)
{
    return d->values.erase(key) != 0;
}

void config_t::clear()
{
    d->values.clear();
}

std::vector<std::string> config_t::keys() const
{
    std::vector<std::string> result;
    result.reserve(d->values.size());
    for (auto const& entry : d->values)
        result.push_back(entry.first);
    return result;
}

bool config_t::isEmpty() const
{
    return d->values.empty();
}

loadResult_t config_t::load(QString const& path)
{
    d->values.clear();
    loadResult_t result;

    QFileInfo const info(path);
    if (!info.exists()) {
        result.status = loadResult_t::Missing;
        return result;
    }

    QString const shown = displayPath(path);
    if (info.isDir()) {
        result.status = loadResult_t::Unreadable;
        result.message = QStringLiteral("The configuration file %1 cannot be read because it is a "
                                        "folder. The application starts from default settings.")
                             .arg(shown);
        return result;
    }

    QFile file(path);
    QByteArray data;
    QString readProblem;
    bool tooLarge = false;
    if (!file.open(QIODevice::ReadOnly)) {
        readProblem = file.errorString();
    } else if (file.size() > maximumFileSize) {
        tooLarge = true;
    } else {
        data = file.readAll();
        if (file.error() != QFileDevice::NoError)
            readProblem = file.errorString();
    }
    file.close();

    if (!readProblem.isEmpty()) {
        result.status = loadResult_t::Unreadable;
        // The copy may fail for the same reason the read did; the user still gets the message.
        QString const backup = backupName(path);
        if (QFile::copy(path, backup))
            result.backupPath = backup;
        result.message = QStringLiteral("The configuration file %1 cannot be read (%2).")
                             .arg(shown, readProblem);
        if (!result.backupPath.isEmpty())
            result.message += QStringLiteral(" A copy was kept as %1.").arg(displayPath(result.backupPath));
        result.message += QStringLiteral(" The application starts from default settings.");
        return result;
    }

    QString problem;
    if (tooLarge) {
        problem = QStringLiteral("it is too large to be a configuration file");
    } else {
        parsed_t parsed = parse(data);
        if (parsed.ok) {
            d->values.swap(parsed.values);
            result.status = loadResult_t::Loaded;
            return result;
        }
        problem = parsed.problem;
    }

    result.status = loadResult_t::Corrupt;
    QString const backup = backupName(path);
    QFile damaged(path);
    if (damaged.rename(backup)) {
        result.backupPath = backup;
        result.message = QStringLiteral("The configuration file %1 is damaged (%2). It was kept as "
                                        "%3 and the application starts from default settings.")
                             .arg(shown, problem, displayPath(backup));
    } else {
        result.message = QStringLiteral("The configuration file %1 is damaged (%2). It could not be "
                                        "moved aside (%3) and the application starts from default "
                                        "settings.")
                             .arg(shown, problem, damaged.errorString());
    }
    return result;
}

bool config_t::save(QString const& path, QString* errorMessage) const
{
    QString const shown = displayPath(path);
    auto fail = [&](QString const& reason) {
        if (errorMessage) {
            *errorMessage = QStringLiteral("The configuration could not be saved to %1 (%2).")
                                .arg(shown, reason);
            if (QFileInfo::exists(path))
                *errorMessage += QStringLiteral(" The file there was left as it was.");
        }
        return false;
    };

    if (path.isEmpty())
        return fail(QStringLiteral("no file name was given"));

    QString const folder = QFileInfo(path).absolutePath();
    if (!QDir().mkpath(folder))
        return fail(QStringLiteral("the folder %1 could not be created").arg(displayPath(folder)));

    QJsonObject values;
    for (auto const& entry : d->values)
        values.insert(toQString(entry.first), toQString(entry.second));
    QJsonObject root;
    root.insert(formatKey, formatName);
    root.insert(versionKey, formatVersion);
    root.insert(valuesKey, values);
    QByteArray const data = QJsonDocument(root).toJson(QJsonDocument::Indented);

    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return fail(file.errorString());
    if (file.write(data) != data.size()) {
        QString const reason = file.errorString();
        file.cancelWriting();
        return fail(reason);
    }
    QString reason;
    if (!commitDurably(file, &reason))
        return fail(reason);
    if (errorMessage)
        errorMessage->clear();
    return true;
}

} // namespace tolvconfig
