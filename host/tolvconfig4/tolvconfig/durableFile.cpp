#include "tolvconfig/durableFile.h"

#include <QFile>
#include <QSaveFile>

#include <cerrno>
#include <cstring>

#ifdef Q_OS_WIN
#include <io.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

namespace tolvconfig {

bool writeAll(QFileDevice& file, QByteArray const& data, QString* reason)
{
    // Qt reports a short write on a full disk as "Unknown error"; the system knows better
    char const* p = data.constData();
    qint64 left = data.size();
    while (left > 0) {
#ifdef Q_OS_WIN
        auto const written = ::_write(file.handle(), p, unsigned(left));
#else
        auto const written = ::write(file.handle(), p, std::size_t(left));
#endif
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0) {
            if (reason)
                *reason = QString::fromLocal8Bit(std::strerror(written < 0 ? errno : ENOSPC));
            return false;
        }
        p += written;
        left -= written;
    }
    return true;
}

bool syncDurably(QFileDevice& file, QString* reason)
{
    // a buffered write that did not fit only fails here
    if (!file.flush()) {
        if (reason)
            *reason = file.errorString();
        return false;
    }
#ifdef Q_OS_WIN
    bool const synced = ::_commit(file.handle()) == 0;
#else
    bool const synced = ::fsync(file.handle()) == 0;
#endif
    if (!synced && reason)
        *reason = QString::fromLocal8Bit(std::strerror(errno));
    return synced;
}

bool commitDurably(QSaveFile& file, QString* reason)
{
    if (file.error() != QFileDevice::NoError) {
        if (reason)
            *reason = file.errorString();
        file.cancelWriting();
        return false;
    }
    if (!syncDurably(file, reason)) {
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        if (reason)
            *reason = file.errorString();
        return false;
    }
    return true;
}

void syncFolder(QString const& path)
{
#ifndef Q_OS_WIN
    int const fd = ::open(QFile::encodeName(path).constData(), O_RDONLY);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
#else
    Q_UNUSED(path);
#endif
}

} // namespace tolvconfig
