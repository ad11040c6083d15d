#pragma once

#include <QFile>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>

// A tiny file system of its own (tmpfs), filled to the last byte on request, to see what
// writers do when the disk is full. Needs the right to mount: tests skip without it.
class fullDisk_t
{
public:
    fullDisk_t()
    {
        m_mounted = m_dir.isValid()
                    && QProcess::execute("mount", QStringList{"-t", "tmpfs", "-o", "size=256k", "tmpfs", m_dir.path()}) == 0;
    }
    ~fullDisk_t()
    {
        if (m_mounted)
            QProcess::execute("umount", QStringList{"-l", m_dir.path()});
    }
    fullDisk_t(fullDisk_t const&) = delete;
    fullDisk_t& operator=(fullDisk_t const&) = delete;

    bool isMounted() const { return m_mounted; }
    QString filePath(QString const& name) const { return m_dir.filePath(name); }

    // Takes every free byte.
    void fill()
    {
        QFile filler(m_dir.filePath(QStringLiteral("filler")));
        if (!filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
            return;
        QByteArray const block(4096, '\0');
        while (filler.write(block) == block.size()) {
        }
        while (filler.write(block.constData(), 1) == 1) {
        }
    }

    // Gives the space back.
    void release() { QFile::remove(m_dir.filePath(QStringLiteral("filler"))); }

private:
    QTemporaryDir m_dir;
    bool m_mounted = false;
};
