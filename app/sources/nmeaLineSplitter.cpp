#include "nmeaLineSplitter.h"

#include <algorithm>
#include <utility>

namespace orvane {
namespace app {

class nmeaLineSplitter_t::private_t
{
public:
    QByteArray line;
    int maxLength = DefaultMaxLineLength;
    bool discarding = false;   // inside an overlong line, waiting for its end
    std::uint64_t overlong = 0;
    std::uint64_t discarded = 0;
    std::uint64_t nul = 0;
};

nmeaLineSplitter_t::nmeaLineSplitter_t(int maxLineLength) : d(new private_t)
{
    setMaxLineLength(maxLineLength);
}

nmeaLineSplitter_t::~nmeaLineSplitter_t() { delete d; }

QList<QByteArray> nmeaLineSplitter_t::feed(char const* data, qsizetype size)
{
    QList<QByteArray> lines;
    if (!data || size <= 0)
        return lines;
    char const* const end = data + size;
    char const* p = data;
    while (p < end) {
        char const c = *p;
        if (c == '\r' || c == '\n') {
            if (d->discarding)
                d->discarding = false;
            else if (!d->line.isEmpty())
                lines.append(std::exchange(d->line, QByteArray()));
            ++p;
            continue;
        }
        if (c == '\0') {
            ++d->nul;
            ++p;
            continue;
        }
        // the run of ordinary bytes up to the next special one
        char const* q = p;
        while (q < end && *q != '\r' && *q != '\n' && *q != '\0')
            ++q;
        qsizetype run = q - p;
        if (d->discarding) {
            d->discarded += std::uint64_t(run);
            p = q;
            continue;
        }
        qsizetype const room = qsizetype(d->maxLength) - d->line.size();
        if (run > room) {
            d->line.append(p, room);
            lines.append(std::exchange(d->line, QByteArray()));
            d->discarding = true;
            ++d->overlong;
            d->discarded += std::uint64_t(run - room);
        } else {
            d->line.append(p, run);
        }
        p = q;
    }
    return lines;
}

QByteArray nmeaLineSplitter_t::flush()
{
    d->discarding = false;
    return std::exchange(d->line, QByteArray());
}

void nmeaLineSplitter_t::reset()
{
    d->discarding = false;
    d->line.clear();
}

int nmeaLineSplitter_t::maxLineLength() const { return d->maxLength; }

void nmeaLineSplitter_t::setMaxLineLength(int length)
{
    d->maxLength = std::max(length, 16);
    if (d->line.size() > d->maxLength)
        d->line.truncate(d->maxLength);
}

std::uint64_t nmeaLineSplitter_t::overlongLines() const { return d->overlong; }
std::uint64_t nmeaLineSplitter_t::discardedBytes() const { return d->discarded; }
std::uint64_t nmeaLineSplitter_t::nulBytes() const { return d->nul; }

} // namespace app
} // namespace orvane
