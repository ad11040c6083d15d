#pragma once

// What the fuzz targets share: a check that stops the run, and a scratch folder for the
// targets that read files.

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>

namespace fuzz {

// A property that must hold whatever the input; libFuzzer keeps the input that breaks it.
inline void require(bool condition, char const* what)
{
    if (!condition) {
        std::fprintf(stderr, "fuzz: %s\n", what);
        std::abort();
    }
}

// One folder for the whole run, emptied for every input. In memory where the system has a
// place for it, as the stores sync every write to the disk.
inline QDir scratchFolder()
{
    static QTemporaryDir dir((QDir(QStringLiteral("/dev/shm")).exists() ? QStringLiteral("/dev/shm") : QDir::tempPath())
                             + QStringLiteral("/orvane-fuzz-XXXXXX"));
    require(dir.isValid(), "no scratch folder");
    QDir folder(dir.path());
    for (QString const& name : folder.entryList(QDir::Files | QDir::Hidden | QDir::System))
        folder.remove(name);
    return folder;
}

inline void writeFile(QString const& path, char const* data, qint64 size)
{
    QFile file(path);
    require(file.open(QIODevice::WriteOnly) && file.write(data, size) == size, "cannot write the input file");
}

inline QByteArray readFile(QString const& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace fuzz
