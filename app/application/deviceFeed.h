#pragma once

#include <belrix_common_qt/nmeaDecoder.h>

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>

namespace belrix_common_qt {
class remoteController_t;
class remotePort_t;
}

namespace orvane {
namespace app {

class nmeaSource_t;

// One received line as the raw view shows it.
struct rawLine_t {
    quint64 sequence = 0;   // counts from 1 over the feed's life
    double time = 0.0;      // the data time it arrived with
    QByteArray text;
    belrix_common_qt::nmeaLineResult_t result = belrix_common_qt::nmeaAccepted;
};

// The road of one device's data: its source's lines go to the device's logs (when kept),
// the device's decoder and the history the raw view shows; the source's connection state
// becomes the port's, which enables the device's menus.
class deviceFeed_t : public QObject
{
    Q_OBJECT
public:
    static constexpr int DefaultHistorySize = 500;

    deviceFeed_t(belrix_common_qt::remotePort_t* port, belrix_common_qt::remoteController_t* controller,
                 QObject* parent = nullptr);
    ~deviceFeed_t() override;

    belrix_common_qt::remotePort_t* port() const;

    // The feed takes the source; the one before is stopped and deleted. Null for none.
    void setSource(nmeaSource_t* source);
    nmeaSource_t* source() const;
    void start();
    void stop();

    void setAllowMissingChecksum(bool allow);
    bool allowMissingChecksum() const;

    // Keeps every line with its arrival time in that file from now on, through the device's
    // raw log channel (as its logging window would); an empty path stops.
    bool setRecordFile(QString const& path, QString const& deviceName, QString* error = nullptr);
    QString recordFile() const;

    // Why the declared source could not be made; shown in place of the source's own status.
    void setProblem(QString const& problem);
    // The problem, or the source's status; empty while all is well.
    QString statusText() const;
    // "Connected" or "Not connected", and the status text after it when there is one.
    QString stateText() const;

    belrix_common_qt::nmeaCounters_t counters() const;
    // Lines cut because they ran past the length limit without a line end.
    quint64 overlongLines() const;
    void resetCounters();

    QList<rawLine_t> recentLines() const;
    quint64 lastSequence() const;
    void setHistorySize(int lines);
    int historySize() const;

public slots:
    void handleLine(QByteArray const& line, double dataTime);

signals:
    void statusChanged();

private:
    class private_t;
    private_t* d;
};

} // namespace app
} // namespace orvane
