#pragma once

#include "nmeaSource.h"

namespace orvane {
namespace app {

// NMEA from a serial port, 8 data bits and 1 stop bit. A port that cannot be opened or goes
// away (a USB adapter pulled out) is tried again every few seconds.
class serialSource_t : public nmeaSource_t
{
    Q_OBJECT
public:
    static constexpr int DefaultRetryIntervalMs = 3000;

    // parity: none, even, odd, mark or space
    serialSource_t(QString const& portName, int baudRate, QString const& parity = QStringLiteral("none"),
                   QObject* parent = nullptr);
    ~serialSource_t() override;

    void start() override;
    void stop() override;
    QString description() const override;

    void setRetryInterval(int ms);

private:
    void openNow();
    void handleReadyRead();
    void handleLost(QString const& why);

    class private_t;
    private_t* d;
};

} // namespace app
} // namespace orvane
