#pragma once

#include "nmeaSource.h"

class QTcpSocket;

namespace orvane {
namespace app {

// NMEA from a TCP server (a multiplexer or a receiver's network port). When the link drops,
// is refused or stays silent, it is made again after a delay that doubles up to a limit, and
// goes back to the first delay once a link stands.
class tcpClientSource_t : public nmeaSource_t
{
    Q_OBJECT
public:
    static constexpr int DefaultFirstDelayMs = 1000;
    static constexpr int DefaultMaxDelayMs = 30000;
    static constexpr int DefaultSilenceTimeoutMs = 20000;

    tcpClientSource_t(QString const& host, quint16 port, QObject* parent = nullptr);
    ~tcpClientSource_t() override;

    void start() override;
    void stop() override;
    QString description() const override;

    QString host() const;
    quint16 port() const;
    void setReconnectDelays(int firstMs, int maxMs);
    // A link without data for this long counts as lost, since a sender that loses power
    // never closes it; 0 trusts the link.
    void setSilenceTimeout(int ms);
    // The delay before the next attempt; 0 while connected or stopped.
    int currentDelay() const;

public slots:
    // The attempt the retry timer would make, at once; the delay still grows if it fails.
    void retryNow();

protected:
    // Called once the link stands; gpsd is asked for its data here.
    virtual void handleConnected(QTcpSocket* socket);

private:
    void connectNow();
    void handleReadyRead();
    void handleLost(QString const& why);

    class private_t;
    private_t* d;
};

} // namespace app
} // namespace orvane
