#pragma once

#include <QByteArray>
#include <QList>

#include <cstdint>

namespace orvane {
namespace app {

// Cuts a byte stream into lines. CR, LF or both end a line; empty lines and NUL bytes are
// dropped (receivers pad with NULs when they power up). A line that grows past the limit is
// handed on cut at the limit, and the rest up to the next line end is discarded, so a port
// that sends garbage without line ends costs bounded memory.
class nmeaLineSplitter_t
{
public:
    static constexpr int DefaultMaxLineLength = 1024;

    explicit nmeaLineSplitter_t(int maxLineLength = DefaultMaxLineLength);
    ~nmeaLineSplitter_t();
    nmeaLineSplitter_t(nmeaLineSplitter_t const&) = delete;
    nmeaLineSplitter_t& operator=(nmeaLineSplitter_t const&) = delete;

    // The lines that these bytes complete, without their line ends.
    QList<QByteArray> feed(char const* data, qsizetype size);
    QList<QByteArray> feed(QByteArray const& data) { return feed(data.constData(), data.size()); }
    // The unfinished line, as at the end of a file or of a datagram; empty when there is none.
    QByteArray flush();
    // Forgets the unfinished line, as when a connection is made again. The counts stay.
    void reset();

    int maxLineLength() const;
    void setMaxLineLength(int length);   // at least 16

    std::uint64_t overlongLines() const;
    std::uint64_t discardedBytes() const;   // of overlong lines, beyond the limit
    std::uint64_t nulBytes() const;

private:
    class private_t;
    private_t* d;
};

} // namespace app
} // namespace orvane
