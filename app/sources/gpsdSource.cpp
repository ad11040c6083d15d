#include "gpsdSource.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QTcpSocket>

namespace orvane {
namespace app {

namespace {
// gpsd's reports of a busy sky run to several kilobytes a line.
constexpr int MaxGpsdLineLength = 32 * 1024;
}

class gpsdSource_t::private_t
{
public:
    QString device;
};

gpsdSource_t::gpsdSource_t(QString const& host, quint16 port, QString const& device, QObject* parent)
    : tcpClientSource_t(host, port, parent), d(new private_t)
{
    d->device = device;
    setMaxLineLength(MaxGpsdLineLength);
}

gpsdSource_t::~gpsdSource_t() { delete d; }

QString gpsdSource_t::description() const
{
    QString const host = this->host().contains(QLatin1Char(':')) ? QLatin1Char('[') + this->host() + QLatin1Char(']')
                                                                 : this->host();
    QString text = tr("gpsd %1:%2").arg(host).arg(port());
    if (!d->device.isEmpty())
        text += QStringLiteral(", ") + d->device;
    return text;
}

QByteArray gpsdSource_t::watchRequest() const
{
    QJsonObject watch;
    watch.insert(QStringLiteral("enable"), true);
    watch.insert(QStringLiteral("raw"), 1);
    if (!d->device.isEmpty())
        watch.insert(QStringLiteral("device"), d->device);
    return "?WATCH=" + QJsonDocument(watch).toJson(QJsonDocument::Compact) + "\n";
}

void gpsdSource_t::handleConnected(QTcpSocket* socket) { socket->write(watchRequest()); }

bool gpsdSource_t::acceptsLine(QByteArray const& line) const { return !line.startsWith('{'); }

} // namespace app
} // namespace orvane
