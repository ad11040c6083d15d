#include "sourceAddress.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QHash>
#include <QHostAddress>
#include <QStringList>

#include <cmath>

namespace orvane {
namespace app {

namespace {

QString tr(char const* text) { return QCoreApplication::translate("orvane::app::sourceAddress_t", text); }

bool parsePort(QString const& text, quint16* port)
{
    bool ok = false;
    int const value = text.toInt(&ok);
    if (!ok || value < 1 || value > 65535)
        return false;
    *port = quint16(value);
    return true;
}

// "host:port" or "[v6]:port"; the port may be optional.
bool splitHostPort(QString const& text, QString* host, quint16* port, bool portRequired, QString* error)
{
    QString portText;
    if (text.startsWith(QLatin1Char('['))) {
        int const close = text.indexOf(QLatin1Char(']'));
        if (close < 0) {
            *error = tr("The address \"%1\" lacks its closing bracket.").arg(text);
            return false;
        }
        *host = text.mid(1, close - 1);
        QString const rest = text.mid(close + 1);
        if (!rest.isEmpty() && !rest.startsWith(QLatin1Char(':'))) {
            *error = tr("\"%1\" is not an address and port.").arg(text);
            return false;
        }
        portText = rest.mid(1);
    } else {
        int const colon = text.lastIndexOf(QLatin1Char(':'));
        if (colon >= 0 && text.indexOf(QLatin1Char(':')) != colon) {
            *error = tr("Write an IPv6 address in brackets, as in [::1]:10110.");
            return false;
        }
        *host = colon < 0 ? text : text.left(colon);
        portText = colon < 0 ? QString() : text.mid(colon + 1);
    }
    if (portText.isEmpty()) {
        if (portRequired) {
            *error = tr("\"%1\" needs a port, as in host:10110.").arg(text);
            return false;
        }
        return true;
    }
    if (!parsePort(portText, port)) {
        *error = tr("The port \"%1\" is not a number from 1 to 65535.").arg(portText);
        return false;
    }
    return true;
}

QString joinHostPort(QString const& host, quint16 port)
{
    QString const h = host.contains(QLatin1Char(':')) ? QLatin1Char('[') + host + QLatin1Char(']') : host;
    return h + QLatin1Char(':') + QString::number(port);
}

// "key=value&key=value"; false with a message for a part without '=' or a key met twice.
bool parseOptions(QString const& text, QHash<QString, QString>* options, QString* error)
{
    if (text.isEmpty())
        return true;
    for (QString const& part : text.split(QLatin1Char('&'))) {
        int const eq = part.indexOf(QLatin1Char('='));
        QString const key = part.left(eq).trimmed().toLower();
        if (eq <= 0 || options->contains(key)) {
            *error = tr("The option \"%1\" is not of the form name=value, or is given twice.").arg(part);
            return false;
        }
        options->insert(key, part.mid(eq + 1).trimmed());
    }
    return true;
}

bool takeFlag(QHash<QString, QString>* options, QString const& key, bool* value, QString* error)
{
    if (!options->contains(key))
        return true;
    QString const text = options->take(key).toLower();
    if (text == QLatin1String("1") || text == QLatin1String("true") || text == QLatin1String("yes"))
        *value = true;
    else if (text == QLatin1String("0") || text == QLatin1String("false") || text == QLatin1String("no"))
        *value = false;
    else {
        *error = tr("The option %1 takes 1 or 0, not \"%2\".").arg(key, text);
        return false;
    }
    return true;
}

bool noneLeft(QHash<QString, QString> const& options, QString* error)
{
    if (options.isEmpty())
        return true;
    QStringList keys = options.keys();
    keys.sort();
    *error = tr("Unknown option: %1.").arg(keys.join(QStringLiteral(", ")));
    return false;
}

QString formatRate(double rate) { return QString::number(rate, 'g', 6); }

} // namespace

QString sourceAddress_t::kindName(kind_t kind)
{
    switch (kind) {
    case kindSimulation: return QStringLiteral("simulation");
    case kindFile: return QStringLiteral("file");
    case kindTcp: return QStringLiteral("tcp");
    case kindUdp: return QStringLiteral("udp");
    case kindSerial: return QStringLiteral("serial");
    case kindGpsd: return QStringLiteral("gpsd");
    case kindNone: break;
    }
    return QString();
}

bool sourceAddress_t::parse(QString const& text, sourceAddress_t* address, QString* error)
{
    QString message;
    sourceAddress_t s;
    QString const trimmed = text.trimmed();
    auto fail = [&](QString const& why) {
        if (error)
            *error = why;
        return false;
    };
    if (trimmed.isEmpty()) {
        if (address)
            *address = s;
        return true;
    }
    int const colon = trimmed.indexOf(QLatin1Char(':'));
    QString const kind = trimmed.left(colon).toLower();
    QString const detail = colon < 0 ? QString() : trimmed.mid(colon + 1);
    if (colon < 0)
        return fail(tr("The source \"%1\" does not start with its kind, as in tcp:host:port.").arg(trimmed));

    // options follow the last '?' of the kinds that take them
    auto splitOptions = [&](QString* main, QHash<QString, QString>* options) {
        int const q = detail.lastIndexOf(QLatin1Char('?'));
        *main = q < 0 ? detail : detail.left(q);
        return parseOptions(q < 0 ? QString() : detail.mid(q + 1), options, &message);
    };

    QHash<QString, QString> options;
    QString main;
    if (kind == QLatin1String("simulation")) {
        s.kind = kindSimulation;
        s.simulated = detail.trimmed().toLower();
        if (s.simulated != QLatin1String("receiver-a") && s.simulated != QLatin1String("receiver-b")
            && s.simulated != QLatin1String("gyro"))
            return fail(tr("The simulation has receiver-a, receiver-b and gyro, not \"%1\".").arg(detail));
    } else if (kind == QLatin1String("file")) {
        s.kind = kindFile;
        if (!splitOptions(&main, &options))
            return fail(message);
        s.path = main.trimmed();
        if (s.path.isEmpty())
            return fail(tr("A file source needs the path of the file, as in file:/data/log.nmea."));
        if (options.contains(QStringLiteral("rate"))) {
            bool ok = false;
            s.rate = options.take(QStringLiteral("rate")).toDouble(&ok);
            if (!ok || !std::isfinite(s.rate) || s.rate <= 0.0 || s.rate > MaxRate)
                return fail(tr("The replay rate must be a number above 0 and up to %1.").arg(MaxRate));
        }
        if (!takeFlag(&options, QStringLiteral("loop"), &s.loop, &message) || !noneLeft(options, &message))
            return fail(message);
    } else if (kind == QLatin1String("tcp")) {
        s.kind = kindTcp;
        if (!splitHostPort(detail.trimmed(), &s.host, &s.port, true, &message))
            return fail(message);
        if (s.host.isEmpty())
            return fail(tr("A TCP source needs the host to connect to, as in tcp:192.168.1.20:10110."));
    } else if (kind == QLatin1String("udp")) {
        s.kind = kindUdp;
        s.port = DefaultUdpPort;
        QString const d = detail.trimmed();
        if (!d.isEmpty()) {
            quint16 port = 0;
            if (parsePort(d, &port)) {
                s.port = port;
            } else if (!splitHostPort(d, &s.host, &s.port, true, &message)) {
                return fail(message);
            }
            if (!s.host.isEmpty() && QHostAddress(s.host).isNull())
                return fail(tr("A UDP source listens on an address of this computer; \"%1\" is not an address.")
                                .arg(s.host));
        }
    } else if (kind == QLatin1String("serial")) {
        s.kind = kindSerial;
        if (!splitOptions(&main, &options))
            return fail(message);
        s.device = main.trimmed();
        if (s.device.isEmpty())
            return fail(tr("A serial source needs the port, as in serial:/dev/ttyUSB0."));
        if (options.contains(QStringLiteral("baud"))) {
            bool ok = false;
            s.baudRate = options.take(QStringLiteral("baud")).toInt(&ok);
            if (!ok || s.baudRate < 50 || s.baudRate > 4000000)
                return fail(tr("The baud rate must be a number from 50 to 4000000."));
        }
        if (options.contains(QStringLiteral("parity"))) {
            s.parity = options.take(QStringLiteral("parity")).toLower();
            static QStringList const parities = {QStringLiteral("none"), QStringLiteral("even"), QStringLiteral("odd"),
                                                 QStringLiteral("mark"), QStringLiteral("space")};
            if (!parities.contains(s.parity))
                return fail(tr("The parity is one of none, even, odd, mark and space."));
        }
        if (!noneLeft(options, &message))
            return fail(message);
    } else if (kind == QLatin1String("gpsd")) {
        s.kind = kindGpsd;
        if (!splitOptions(&main, &options))
            return fail(message);
        s.port = DefaultGpsdPort;
        if (!main.trimmed().isEmpty() && !splitHostPort(main.trimmed(), &s.host, &s.port, false, &message))
            return fail(message);
        if (s.host.isEmpty())
            s.host = QStringLiteral("localhost");
        s.device = options.take(QStringLiteral("device"));
        if (!noneLeft(options, &message))
            return fail(message);
    } else {
        return fail(tr("Unknown kind of source \"%1\": use simulation, file, tcp, udp, serial or gpsd.").arg(kind));
    }
    if (address)
        *address = s;
    return true;
}

QString sourceAddress_t::toString() const
{
    QString const head = kindName(kind) + QLatin1Char(':');
    switch (kind) {
    case kindNone: return QString();
    case kindSimulation: return head + simulated;
    case kindFile: {
        QStringList options;
        if (rate != 1.0)
            options << QStringLiteral("rate=") + formatRate(rate);
        if (loop)
            options << QStringLiteral("loop=1");
        return head + path + (options.isEmpty() ? QString() : QLatin1Char('?') + options.join(QLatin1Char('&')));
    }
    case kindTcp: return head + joinHostPort(host, port);
    case kindUdp: return head + (host.isEmpty() ? QString::number(port) : joinHostPort(host, port));
    case kindSerial:
        return head + device + QStringLiteral("?baud=%1&parity=%2").arg(baudRate).arg(parity);
    case kindGpsd:
        return head + joinHostPort(host, port) + (device.isEmpty() ? QString() : QStringLiteral("?device=") + device);
    }
    return QString();
}

QString sourceAddress_t::description() const
{
    switch (kind) {
    case kindNone: return tr("No source");
    case kindSimulation: return tr("Simulation (%1)").arg(simulated);
    case kindFile: {
        QString text = tr("Replay of %1").arg(QFileInfo(path).fileName());
        if (rate != 1.0)
            text += tr(", %1 times the recorded pace").arg(formatRate(rate));
        if (loop)
            text += tr(", looping");
        return text;
    }
    case kindTcp: return tr("TCP client %1").arg(joinHostPort(host, port));
    case kindUdp:
        return host.isEmpty() ? tr("UDP port %1").arg(port) : tr("UDP %1").arg(joinHostPort(host, port));
    case kindSerial: return tr("Serial %1, %2 baud, parity %3").arg(device).arg(baudRate).arg(parity);
    case kindGpsd:
        return device.isEmpty() ? tr("gpsd %1").arg(joinHostPort(host, port))
                                : tr("gpsd %1, %2").arg(joinHostPort(host, port), device);
    }
    return QString();
}

bool sourceAddress_t::operator==(sourceAddress_t const& o) const
{
    return kind == o.kind && simulated == o.simulated && path == o.path && rate == o.rate && loop == o.loop
        && host == o.host && port == o.port && device == o.device && baudRate == o.baudRate && parity == o.parity;
}

} // namespace app
} // namespace orvane
