#include "deviceConfig.h"

#include <belrix_common_qt/navConstants.h>
#include <orvane/device.h>
#include <tolvconfig/configCodec.h>

#include <QObject>
#include <QSet>

namespace orvane {
namespace app {

namespace {
const std::string KeyCount = "devices.count";
std::string key(int index, const char* field) { return "devices." + std::to_string(index) + "." + field; }

// A survey ship or a shore station watching several ships has many; more than this is a
// slip in the count, and reading on would build windows for keys that are not there.
constexpr int MaxDevices = 256;
}

QString deviceConfig_t::nameProblem(QString const& name)
{
    QString const trimmed = name.trimmed();
    if (trimmed.isEmpty())
        return QObject::tr("The device needs a name.");
    if (trimmed.size() > MaxNameLength)
        return QObject::tr("The device name has %1 characters; at most %2 fit in the names of its snapshots and "
                           "recordings.")
            .arg(trimmed.size())
            .arg(MaxNameLength);
    return QString();
}

QList<deviceConfig_t> deviceConfigList_t::simulationDevices()
{
    deviceConfig_t a;
    a.name = QStringLiteral("GNSS 1");
    a.type = belrix_common_qt::deviceNameGnss;
    // a GNSS compass: it also reports heading
    a.capabilities = orvane::capFullReceiver | orvane::capHeading;
    a.color = QColor(QStringLiteral("#1f77b4"));
    a.source = QStringLiteral("simulation:receiver-a");

    deviceConfig_t b = a;
    b.capabilities = orvane::capFullReceiver;
    b.name = QStringLiteral("GNSS 2");
    b.color = QColor(QStringLiteral("#d62728"));
    b.source = QStringLiteral("simulation:receiver-b");

    deviceConfig_t gyro;
    gyro.name = QStringLiteral("Gyro");
    gyro.type = belrix_common_qt::deviceNameGyro;
    gyro.capabilities = orvane::capHeading;
    gyro.color = QColor(QStringLiteral("#2ca02c"));
    gyro.source = QStringLiteral("simulation:gyro");
    return {a, b, gyro};
}

bool deviceConfigList_t::isDeclared(tolvconfig::config_t const& config) { return config.hasKey(KeyCount); }

bool deviceConfigList_t::isReadable(tolvconfig::config_t const& config)
{
    int count = 0;
    return tolvconfig::getValue(config, KeyCount, count);
}

QList<deviceConfig_t> deviceConfigList_t::load(tolvconfig::config_t const& config, QStringList* problems)
{
    QList<deviceConfig_t> devices;
    int count = 0;
    if (!tolvconfig::getValue(config, KeyCount, count)) {
        std::string text;
        config.getValue(KeyCount, text);
        if (problems && config.hasKey(KeyCount))
            *problems << QObject::tr("The device count \"%1\" (devices.count) is not a whole number, so no device "
                                     "was started. The devices declared in the file are kept as they are and are not "
                                     "saved over until you edit the device list.")
                             .arg(QString::fromStdString(text));
        return devices;
    }
    if (count < 0 || count > MaxDevices) {
        if (problems)
            *problems << QObject::tr("The device count %1 is not between 0 and %2.").arg(count).arg(MaxDevices);
        count = qBound(0, count, MaxDevices);
    }
    QSet<QString> names;
    QStringList unnamed;
    for (int i = 0; i < count; ++i) {
        deviceConfig_t device;
        QString type;
        QString color;
        if (!tolvconfig::getValue(config, key(i, "name"), device.name) || device.name.trimmed().isEmpty()) {
            unnamed << QString::number(i);
            continue;
        }
        if (names.contains(device.name)) {
            if (problems)
                *problems << QObject::tr("A second device named \"%1\" was skipped.").arg(device.name);
            continue;
        }
        if (tolvconfig::getValue(config, key(i, "type"), type))
            device.type = type.toStdString();
        tolvconfig::getValue(config, key(i, "capabilities"), device.capabilities);
        if (tolvconfig::getValue(config, key(i, "color"), color))
            device.color = QColor(color);
        if (!device.color.isValid())
            device.color = QColor(Qt::darkCyan);
        tolvconfig::getValue(config, key(i, "source"), device.source);
        tolvconfig::getValue(config, key(i, "allow_missing_checksum"), device.allowMissingChecksum);
        // dropping it would lose the device's settings; its files are named safely all the same
        if (problems && device.name.trimmed().size() > deviceConfig_t::MaxNameLength)
            *problems << QObject::tr("The name of device %1 (\"%2...\") is longer than %3 characters; shorten it in "
                                     "the device list.")
                             .arg(i)
                             .arg(device.name.left(32))
                             .arg(deviceConfig_t::MaxNameLength);
        names.insert(device.name);
        devices.append(device);
    }
    if (problems && !unnamed.isEmpty()) {
        const QString list = unnamed.size() > 8 ? unnamed.mid(0, 8).join(QStringLiteral(", ")) + QStringLiteral(", ...")
                                                : unnamed.join(QStringLiteral(", "));
        *problems << QObject::tr("%n declared device(s) without a name were skipped (devices.%1).", nullptr,
                                 unnamed.size()).arg(list);
    }
    return devices;
}

void deviceConfigList_t::save(tolvconfig::config_t& config, QList<deviceConfig_t> const& devices)
{
    int previous = 0;
    if (tolvconfig::getValue(config, KeyCount, previous)) {
        for (int i = devices.size(); i < qBound(0, previous, MaxDevices); ++i) {
            for (const char* field : {"name", "type", "capabilities", "color", "source", "allow_missing_checksum"})
                config.removeValue(key(i, field));
        }
    }
    tolvconfig::setValue(config, KeyCount, int(devices.size()));
    for (int i = 0; i < devices.size(); ++i) {
        deviceConfig_t const& device = devices.at(i);
        tolvconfig::setValue(config, key(i, "name"), device.name);
        tolvconfig::setValue(config, key(i, "type"), device.type);
        tolvconfig::setValue(config, key(i, "capabilities"), device.capabilities);
        tolvconfig::setValue(config, key(i, "color"), device.color.name());
        tolvconfig::setValue(config, key(i, "source"), device.source);
        // written only where set, so a plain declaration stays plain
        if (device.allowMissingChecksum)
            tolvconfig::setValue(config, key(i, "allow_missing_checksum"), true);
        else
            config.removeValue(key(i, "allow_missing_checksum"));
    }
}

} // namespace app
} // namespace orvane
