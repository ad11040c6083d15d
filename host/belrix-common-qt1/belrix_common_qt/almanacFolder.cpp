#include "belrix_common_qt/almanacFolder.h"

#include "belrix_common_qt/almMgrGlonass.h"
#include "belrix_common_qt/almMgrGps.h"
#include "belrix_common_qt/almanacFileReader.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QMap>
#include <QStandardPaths>
#include <QTimer>

namespace belrix_common_qt {

namespace {
constexpr int SettleMs = 1000;   // editors and copies write in bursts
constexpr qint64 MaxFileSize = 4 * 1024 * 1024;
}

class almanacFolder_t::private_t
{
public:
    almMgrGps_t* gps = nullptr;
    almMgrGlonass_t* glonass = nullptr;
    QString path;
    QFileSystemWatcher* watcher = nullptr;
    QTimer* settle = nullptr;
    QMap<QString, QByteArray> digests;   // file → digest of the content last read
    QMap<QString, QString> errors;       // file → why it was not taken
};

almanacFolder_t::almanacFolder_t(almMgrGps_t* gps, almMgrGlonass_t* glonass, QObject* parent)
    : QObject(parent), d(new private_t)
{
    d->gps = gps;
    d->glonass = glonass;
    d->watcher = new QFileSystemWatcher(this);
    d->settle = new QTimer(this);
    d->settle->setSingleShot(true);
    d->settle->setInterval(SettleMs);
    connect(d->settle, &QTimer::timeout, this, &almanacFolder_t::reload);
    auto changed = [this] { d->settle->start(); };
    connect(d->watcher, &QFileSystemWatcher::directoryChanged, this, changed);
    connect(d->watcher, &QFileSystemWatcher::fileChanged, this, changed);
}

almanacFolder_t::~almanacFolder_t() { delete d; }

QString almanacFolder_t::defaultPath()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)).filePath(QStringLiteral("almanac"));
}

void almanacFolder_t::setPath(QString const& path)
{
    QStringList const watched = d->watcher->files() + d->watcher->directories();
    if (!watched.isEmpty())
        d->watcher->removePaths(watched);
    d->path = path;
    d->digests.clear();
    bool const hadErrors = !d->errors.isEmpty();
    d->errors.clear();
    if (hadErrors)
        emit errorsChanged();
    if (path.isEmpty())
        return;
    QDir().mkpath(path);
    reload();
}

QString almanacFolder_t::path() const { return d->path; }

QStringList almanacFolder_t::errors() const { return d->errors.values(); }

void almanacFolder_t::reload()
{
    d->settle->stop();
    if (d->path.isEmpty())
        return;
    QDir const dir(d->path);
    if (dir.exists() && !d->watcher->directories().contains(d->path))
        d->watcher->addPath(d->path);
    QMap<QString, QString> const errorsBefore = d->errors;

    QStringList present;
    for (QFileInfo const& info : dir.entryInfoList(QDir::Files | QDir::Readable, QDir::Name)) {
        QString const file = info.absoluteFilePath();
        // editors' backups and half-written temporaries are not almanacs
        if (info.fileName().startsWith(QLatin1Char('.')) || info.fileName().endsWith(QLatin1Char('~')))
            continue;
        present << file;
        // an editor that saves by renaming drops the file from the watcher
        if (!d->watcher->files().contains(file))
            d->watcher->addPath(file);
        QFile in(file);
        if (info.size() > MaxFileSize || !in.open(QIODevice::ReadOnly)) {
            d->digests.remove(file);
            d->errors.insert(file, info.size() > MaxFileSize
                                       ? QStringLiteral("%1: too large for an almanac").arg(QDir::toNativeSeparators(file))
                                       : QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(file), in.errorString()));
            continue;
        }
        QByteArray const content = in.readAll();
        QByteArray const digest = QCryptographicHash::hash(content, QCryptographicHash::Sha1);
        if (d->digests.value(file) == digest)
            continue;
        d->digests.insert(file, digest);
        almanacFileReader_t reader;
        if (!reader.readData(content, QDir::toNativeSeparators(file))) {
            d->errors.insert(file, reader.errorString());
            continue;
        }
        d->errors.remove(file);
        if (d->gps) {
            for (almanacGps_t const& a : reader.gps())
                d->gps->addAlmanac(a);
        }
        if (d->glonass) {
            for (almanacGlonass_t const& a : reader.glonass())
                d->glonass->addAlmanac(a);
        }
    }
    for (QString const& file : d->digests.keys()) {
        if (!present.contains(file))
            d->digests.remove(file);
    }
    for (QString const& file : d->errors.keys()) {
        if (!present.contains(file))
            d->errors.remove(file);
    }
    if (d->errors != errorsBefore)
        emit errorsChanged();
}

} // namespace belrix_common_qt
