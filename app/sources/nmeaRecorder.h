#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

namespace orvane {
namespace app {

// Keeps a device's lines as they arrive, for replay later. One line per received line:
// the arrival time in seconds since 1970-01-01 UTC with milliseconds, a space, and the line
// as received ("1718000000.250 $GNGGA,...*5C"). Lines starting with '#' are comments.
//
// Every write is checked. The first that fails (a full disk) stops the recording: the file
// keeps every whole line written before, and errorString() and failed() give the system's
// reason. The file is synced to the disk when closed.
class nmeaRecorder_t : public QObject
{
    Q_OBJECT
public:
    explicit nmeaRecorder_t(QObject* parent = nullptr);
    ~nmeaRecorder_t() override;

    // Starts a new file (an existing one is replaced) with a comment naming the device.
    bool open(QString const& path, QString const& deviceName, QString* error = nullptr);
    void close();
    bool isOpen() const;
    QString path() const;
    // Why the recording stopped, for the user; empty while it runs or after a plain close.
    QString errorString() const;

    // A recorded line reaches the file within a second, also when nothing follows it (a
    // burst, then silence): a timer, "flushTimer", writes out what is held.
    void record(QByteArray const& line, double arrival);
    void flush();

    static QByteArray formatLine(QByteArray const& line, double arrival);
    // False for a line that is not in this format (a plain NMEA log's line).
    static bool parseLine(QByteArray const& recorded, QByteArray* line, double* arrival);
    // The file of one device when one --record path serves them all: "capture.nmea" and
    // "GNSS 1" give "capture-gnss-1.nmea".
    static QString pathForDevice(QString const& path, QString const& deviceName);

signals:
    // The recording stopped on a failed write; the reason is errorString()'s.
    void failed(QString const& reason);

private:
    void fail(QString const& reason);

    class private_t;
    private_t* d;
};

} // namespace app
} // namespace orvane
