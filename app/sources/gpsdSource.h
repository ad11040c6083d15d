#pragma once

#include "tcpClientSource.h"

namespace orvane {
namespace app {

// The NMEA of a receiver that gpsd serves: asks gpsd's watch for the raw sentences (of one
// device, when named) and drops gpsd's own JSON reports. Reconnects like any TCP client.
class gpsdSource_t : public tcpClientSource_t
{
    Q_OBJECT
public:
    static constexpr quint16 DefaultPort = 2947;

    gpsdSource_t(QString const& host, quint16 port, QString const& device = QString(), QObject* parent = nullptr);
    ~gpsdSource_t() override;

    QString description() const override;
    // The watch request sent once the link stands.
    QByteArray watchRequest() const;

protected:
    void handleConnected(QTcpSocket* socket) override;
    bool acceptsLine(QByteArray const& line) const override;

private:
    class private_t;
    private_t* d;
};

} // namespace app
} // namespace orvane
