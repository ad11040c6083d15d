#pragma once

#include <QColor>
#include <QList>
#include <QString>

#include <string>

namespace tolvconfig {
class config_t;
}

namespace orvane {
namespace app {

// One device as the configuration declares it.
struct deviceConfig_t {
    // A name is part of file names (snapshots, recordings); longer ones are refused when edited.
    static constexpr int MaxNameLength = 64;

    QString name;
    std::string type = "GNSS";
    int capabilities = 0;
    QColor color;
    // "<kind>:<details>" as sourceAddress_t reads it: simulation, file, tcp, udp, serial, gpsd.
    QString source;
    // Some old receivers send no checksum; their lines are accepted only where this is set.
    bool allowMissingChecksum = false;

    bool operator==(deviceConfig_t const& o) const
    {
        return name == o.name && type == o.type && capabilities == o.capabilities && color == o.color
            && source == o.source && allowMissingChecksum == o.allowMissingChecksum;
    }
    bool operator!=(deviceConfig_t const& o) const { return !(*this == o); }

    // Why a device cannot have this name (none, or too long); empty when it can.
    static QString nameProblem(QString const& name);
};

// The device list under "devices.count" and "devices.<i>.<field>".
class deviceConfigList_t
{
public:
    // The built-in simulation: two receivers of different quality and a gyro.
    static QList<deviceConfig_t> simulationDevices();

    // Devices that are incomplete or repeat a name are skipped and named in problems; a name
    // too long to be edited is kept, and said.
    static QList<deviceConfig_t> load(tolvconfig::config_t const& config, QStringList* problems = nullptr);
    // Declared: the file has a devices.count, readable or not.
    static bool isDeclared(tolvconfig::config_t const& config);
    // Readable: that count is a whole number. A declared list that is not is kept as it is.
    static bool isReadable(tolvconfig::config_t const& config);
    static void save(tolvconfig::config_t& config, QList<deviceConfig_t> const& devices);
};

} // namespace app
} // namespace orvane
