#pragma once

#include "belrix_common_qt_export.h"

#include <QByteArray>
#include <QString>

namespace belrix_common_qt {

// One stream of log lines into a folder: a file per UTC day of the data time, old files
// deleted, every line handed to the system whole as it comes, so that a crash loses at most
// the line being written. The first failure (a full disk, a folder that cannot be written, the
// file removed underneath) stops the stream; errorString() tells why.
//
// The name pattern knows {device} (the device's name, safe for a file name), {date} (yyyyMMdd,
// UTC day of the data) and {time} (hhmmss of the data time the file was begun at). Without {date} the stream
// keeps one file and deletes nothing.
class BELRIX_COMMON_QT_EXPORT logFile_t
{
public:
    logFile_t();
    ~logFile_t();
    logFile_t(logFile_t const&) = delete;
    logFile_t& operator=(logFile_t const&) = delete;

    // Mode 0 begins a new file each session (never replacing one: "-2" and up is added to the
    // name); mode 1 appends to the day's file, or, when that file begins with another header
    // (the fields were changed), to the first of "-2" and up that is new or has this header.
    void setMode(int mode);
    // Files of days ending more than this many seconds before the data time are deleted when a
    // file is begun; 0 keeps every file.
    void setAge(unsigned int seconds);
    // Written first into every file begun empty.
    void setHeader(QByteArray const& header);

    // Begins the file for the day of the data time 'now'. False, with the reason, when the
    // folder or the file cannot be written.
    bool start(QString const& folder, QString const& pattern, QString const& deviceName, double now,
               QString* error = nullptr);
    // Syncs and closes the file.
    void stop();
    bool isActive() const;

    // Writes one line (its end is added) stamped with data time 'time'; begins the next day's
    // file first when the day has changed. False once the stream has stopped.
    bool writeLine(QByteArray const& line, double time);

    QString fileName() const;
    qint64 bytesWritten() const;   // since start(), over every file
    QString errorString() const;   // empty unless a failure stopped the stream

    // A device name as a part of a file name: "GNSS 1/A" gives "GNSS_1_A".
    static QString safeName(QString const& deviceName);
    // The name the pattern gives for that day.
    static QString expand(QString const& pattern, QString const& deviceName, double time);

private:
    class private_t;
    private_t* d;
};

} // namespace belrix_common_qt
