#include "nmeaSource.h"

#include "nmeaLineSplitter.h"

namespace orvane {
namespace app {

class nmeaSource_t::private_t
{
public:
    nmeaLineSplitter_t splitter;
    QString status;
    bool connected = false;
};

nmeaSource_t::nmeaSource_t(QObject* parent) : QObject(parent), d(new private_t) {}

nmeaSource_t::~nmeaSource_t() { delete d; }

void nmeaSource_t::advance(double) {}

bool nmeaSource_t::isConnected() const { return d->connected; }
QString nmeaSource_t::status() const { return d->status; }
nmeaLineSplitter_t const& nmeaSource_t::splitter() const { return d->splitter; }

void nmeaSource_t::setConnected(bool connected)
{
    if (d->connected == connected)
        return;
    d->connected = connected;
    emit connectionChanged(connected);
}

void nmeaSource_t::setStatus(QString const& status)
{
    if (d->status == status)
        return;
    d->status = status;
    emit statusChanged(status);
}

void nmeaSource_t::receiveBytes(char const* data, qsizetype size, double dataTime)
{
    for (QByteArray const& line : d->splitter.feed(data, size))
        emitLine(line, dataTime);
}

void nmeaSource_t::endPartialLine(double dataTime)
{
    QByteArray const line = d->splitter.flush();
    if (!line.isEmpty())
        emitLine(line, dataTime);
}

void nmeaSource_t::resetPartialLine() { d->splitter.reset(); }

void nmeaSource_t::setMaxLineLength(int length) { d->splitter.setMaxLineLength(length); }

nmeaLineSplitter_t& nmeaSource_t::lineSplitter() { return d->splitter; }

bool nmeaSource_t::acceptsLine(QByteArray const&) const { return true; }

void nmeaSource_t::emitLine(QByteArray const& line, double dataTime)
{
    if (acceptsLine(line))
        emit lineReceived(line, dataTime);
}

} // namespace app
} // namespace orvane
