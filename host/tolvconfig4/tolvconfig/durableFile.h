#pragma once

#include "tolvconfig_export.h"

#include <QByteArray>
#include <QString>

class QFileDevice;
class QSaveFile;

namespace tolvconfig {

// Files the user cannot afford to lose (configuration, fixes, exports) are replaced only once
// their new content is on the disk: a full disk or a crash at any moment leaves the last good
// version.

// Flushes, syncs and commits a QSaveFile that has been written. False, with the system's
// reason ("No space left on device"), when any step fails; the old file is then untouched.
TOLVCONFIG_EXPORT bool commitDurably(QSaveFile& file, QString* reason);

// Appends data to a file opened unbuffered, all or nothing said: false with the system's
// reason when the disk takes less than all of it.
TOLVCONFIG_EXPORT bool writeAll(QFileDevice& file, QByteArray const& data, QString* reason);

// Flushes and syncs an open file (after an append). False, with the reason, when either fails.
TOLVCONFIG_EXPORT bool syncDurably(QFileDevice& file, QString* reason);

// A new file's name is durable only once its folder is synced too.
TOLVCONFIG_EXPORT void syncFolder(QString const& path);

} // namespace tolvconfig
