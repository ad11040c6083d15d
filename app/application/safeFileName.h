#pragma once

#include <QString>

namespace orvane {
namespace app {

// Names the user chooses (devices) and window titles become parts of file names: snapshots,
// per-device recordings. Every such part is made here, so they all obey the same rules.
class safeFileName_t
{
public:
    // Short enough that a prefix, two parts and a suffix stay well below the 255 bytes most
    // file systems allow for a name.
    static constexpr int MaxPartLength = 64;

    // Lower-case ASCII letters and digits, with single dashes for everything between them and
    // accents dropped: "Kompass Süd 2" is "kompass-sud-2". Text that leaves nothing (empty, or
    // another script) gives the fallback; a text that had to be cut, or that only the fallback
    // can stand for, ends in eight hex digits of its hash, so two such texts stay apart.
    // A part is meant to follow a prefix ("device-"): on its own it may be a reserved name.
    static QString part(QString const& text, QString const& fallback);
};

} // namespace app
} // namespace orvane
