#pragma once

#include "nmeaSource.h"

namespace orvane {
namespace app {

// NMEA sent as UDP datagrams (IEC 61162-450 style multiplexers, "NMEA over UDP" of chart
// plotters). A datagram ends any line it leaves open. UDP has no link, so the source counts as
// connected while datagrams keep coming.
class udpSource_t : public nmeaSource_t
{
    Q_OBJECT
public:
    static constexpr quint16 DefaultPort = 10110;
    static constexpr int DefaultSilenceTimeoutMs = 5000;
    static constexpr int RebindIntervalMs = 5000;

    // An empty address listens on every interface.
    explicit udpSource_t(quint16 port, QString const& address = QString(), QObject* parent = nullptr);
    ~udpSource_t() override;

    void start() override;
    void stop() override;
    QString description() const override;

    void setSilenceTimeout(int ms);
    // The port listened on; useful when 0 was asked for.
    quint16 boundPort() const;

private:
    void bindNow();
    void handleReadyRead();

    class private_t;
    private_t* d;
};

} // namespace app
} // namespace orvane
