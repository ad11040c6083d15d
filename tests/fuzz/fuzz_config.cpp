// libFuzzer target: any bytes as a configuration file. A file that loads must come back the
// same through a save and a load, and its values must decode consistently; one that does not
// load must be kept aside byte for byte, as the user's settings are never lost.

#include "fuzzSupport.h"

#include <tolvconfig/config.h>
#include <tolvconfig/configCodec.h>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>

using fuzz::require;

namespace {

bool sameContents(tolvconfig::config_t const& a, tolvconfig::config_t const& b)
{
    if (a.keys() != b.keys())
        return false;
    for (std::string const& key : a.keys()) {
        std::string x, y;
        if (!a.getValue(key, x) || !b.getValue(key, y) || x != y)
            return false;
    }
    return true;
}

// What a settings record does with a value read by hand-editing: decode it as its type.
void checkCodec(std::string const& text)
{
    int i = 0;
    if (tolvconfig::tolvConfigDecode(text, i)) {
        int back = i + 1;
        require(tolvconfig::tolvConfigDecode(tolvconfig::tolvConfigEncode(i), back) && back == i, "int round trip");
    }
    unsigned int u = 0;
    if (tolvconfig::tolvConfigDecode(text, u)) {
        unsigned int back = u + 1;
        require(tolvconfig::tolvConfigDecode(tolvconfig::tolvConfigEncode(u), back) && back == u, "unsigned round trip");
    }
    bool b = false;
    if (tolvconfig::tolvConfigDecode(text, b)) {
        bool back = !b;
        require(tolvconfig::tolvConfigDecode(tolvconfig::tolvConfigEncode(b), back) && back == b, "bool round trip");
    }
    double d = 0.0;
    if (tolvconfig::tolvConfigDecode(text, d))
        require(std::isfinite(d), "a number that is not finite");
    float f = 0.0f;
    if (tolvconfig::tolvConfigDecode(text, f))
        require(std::isfinite(f), "a float that is not finite");
    QString q;
    require(tolvconfig::tolvConfigDecode(text, q), "text that does not decode as text");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(std::uint8_t const* data, std::size_t size)
{
    QDir const folder = fuzz::scratchFolder();
    QString const path = folder.filePath(QStringLiteral("orvane.conf"));
    fuzz::writeFile(path, reinterpret_cast<char const*>(data), qint64(size));

    tolvconfig::config_t config;
    tolvconfig::loadResult_t const result = config.load(path);
    if (result.status == tolvconfig::loadResult_t::Loaded) {
        tolvconfig::config_t copy;
        for (std::string const& key : config.keys()) {
            std::string value;
            require(config.getValue(key, value) && copy.setValue(key, value), "a loaded value cannot be stored");
            checkCodec(value);
        }
        QString const again = folder.filePath(QStringLiteral("again.conf"));
        require(config.save(again), "a loaded configuration cannot be saved");
        require(copy.load(again).status == tolvconfig::loadResult_t::Loaded && sameContents(config, copy),
                "a configuration changes through a save and a load");
    } else {
        require(result.status == tolvconfig::loadResult_t::Corrupt && config.isEmpty(), "unexpected load status");
        require(!result.backupPath.isEmpty() && !QFileInfo::exists(path), "a damaged file was not moved aside");
        require(fuzz::readFile(result.backupPath) == QByteArray::fromRawData(reinterpret_cast<char const*>(data), int(size)),
                "the damaged file was not kept as it was");
    }
    return 0;
}
