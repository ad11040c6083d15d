#pragma once

#include "nmeaSource.h"

namespace orvane {
namespace app {

// NMEA sent as UDP datagrams (IEC 61162-450 style multiplexers, "NMEA over UDP" of chart
// plotters). A datagram ends any line it leaves open. UDP has no link, so the source counts as
// connected while datagrams keep coming.
//
// A flood is read in passes of bounded size so the windows stay responsive; a pass that leaves
// datagrams behind comes back at once through a zero timer. What the system drops because the
// socket's queue overflowed is counted and named in the status.
class udpSource_t : public nmeaSource_t
{
    Q_OBJECT
public:
    static constexpr quint16 DefaultPort = 10110;
    static constexpr int DefaultSilenceTimeoutMs = 5000;
    static constexpr int RebindIntervalMs = 5000;
    // Asked of the system for the socket's queue; it may grant less.
    static constexpr int ReceiveBufferBytes = 4 * 1024 * 1024;

    // An empty address listens on every interface.
    explicit udpSource_t(quint16 port, QString const& address = QString(), QObject* parent = nullptr);
    ~udpSource_t() override;

    void start() override;
    void stop() override;
    QString description() const override;

    void setSilenceTimeout(int ms);
    // The port listened on; useful when 0 was asked for.
    quint16 boundPort() const;
    // Datagrams lost since the socket was opened: dropped by the system because its queue was
    // full (where the system says so: Linux), or unreadable.
    quint64 droppedDatagrams() const;

private:
    void bindNow();
    void handleReadyRead();
    void updateStatus(QString const& state);

    class private_t;
    private_t* d;
};

} // namespace app
} // namespace orvane
