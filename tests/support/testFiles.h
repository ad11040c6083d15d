#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

// A file's whole content; empty when it cannot be read.
inline QByteArray readFile(QString const& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Writes or appends bytes; true only when all of them were written.
inline bool writeFile(QString const& path, QByteArray const& bytes, bool append = false)
{
    QFile file(path);
    return file.open(append ? QIODevice::WriteOnly | QIODevice::Append : QIODevice::WriteOnly)
           && file.write(bytes) == bytes.size();
}
