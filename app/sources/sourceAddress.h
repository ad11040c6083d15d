#pragma once

#include <QString>

namespace orvane {
namespace app {

// A device's source as the configuration declares it, "<kind>:<details>":
//   simulation:receiver-a | simulation:receiver-b | simulation:gyro
//   file:/path/log.nmea?rate=1&loop=1       replay, rate 1 = the recorded pace
//   tcp:host:port                           TCP client, IPv6 hosts in brackets
//   udp:10110 | udp:address:port            UDP listener
//   serial:/dev/ttyUSB0?baud=4800&parity=none
//   gpsd:localhost:2947?device=/dev/ttyUSB0 gpsd's raw NMEA; host, port and device optional
// An empty text is no source at all.
struct sourceAddress_t {
    enum kind_t { kindNone, kindSimulation, kindFile, kindTcp, kindUdp, kindSerial, kindGpsd };

    static constexpr quint16 DefaultUdpPort = 10110;
    static constexpr quint16 DefaultGpsdPort = 2947;
    static constexpr int DefaultBaudRate = 4800;
    static constexpr double MaxRate = 1000.0;

    kind_t kind = kindNone;
    QString simulated;           // receiver-a, receiver-b or gyro
    QString path;                // replayed file
    double rate = 1.0;           // replay pace, times the recorded one
    bool loop = false;
    QString host;                // tcp and gpsd; udp: the address to listen on, empty for any
    quint16 port = 0;
    QString device;              // serial port, or the device gpsd is asked for
    int baudRate = DefaultBaudRate;
    QString parity = QStringLiteral("none");   // none, even, odd, mark, space

    // False with a message for the user when the text cannot be used; address is then untouched.
    static bool parse(QString const& text, sourceAddress_t* address, QString* error = nullptr);
    // The text that parses back to this source.
    QString toString() const;
    // For the device list, e.g. "TCP client 10.0.0.5:4001".
    QString description() const;
    // The kind's word in the text ("file", "tcp", ...); empty for kindNone.
    static QString kindName(kind_t kind);

    bool operator==(sourceAddress_t const& o) const;
    bool operator!=(sourceAddress_t const& o) const { return !(*this == o); }
};

} // namespace app
} // namespace orvane
