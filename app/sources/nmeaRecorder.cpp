#include "nmeaRecorder.h"

#include "application/safeFileName.h"

#include <belrix_common_qt/deviceLogger.h>

#include <QDir>
#include <QFileInfo>

namespace orvane {
namespace app {

namespace {
// Arrival times outside these bounds are not ours; such a line is taken as plain text.
constexpr double EarliestArrival = 1.0e8;   // 1973
constexpr double LatestArrival = 1.0e11;
} // namespace

QByteArray nmeaRecorder_t::formatLine(QByteArray const& line, double arrival)
{
    return belrix_common_qt::deviceLogger_t::rawLine(line, arrival) + '\n';
}

bool nmeaRecorder_t::parseLine(QByteArray const& recorded, QByteArray* line, double* arrival)
{
    int const space = recorded.indexOf(' ');
    if (space <= 0 || space > 20)
        return false;
    for (int i = 0; i < space; ++i) {
        char const c = recorded.at(i);
        if (!(c >= '0' && c <= '9') && c != '.')
            return false;
    }
    bool ok = false;
    double const t = recorded.left(space).toDouble(&ok);
    if (!ok || !(t >= EarliestArrival && t < LatestArrival))
        return false;
    if (line)
        *line = recorded.mid(space + 1);
    if (arrival)
        *arrival = t;
    return true;
}

QString nmeaRecorder_t::pathForDevice(QString const& path, QString const& deviceName)
{
    QString const part = safeFileName_t::part(deviceName, QStringLiteral("device"));
    QFileInfo const info(path);
    QString const suffix = info.suffix();
    QString const base = suffix.isEmpty() ? info.fileName() : info.fileName().left(info.fileName().size() - suffix.size() - 1);
    QString const name = base + QLatin1Char('-') + part + (suffix.isEmpty() ? QString() : QLatin1Char('.') + suffix);
    return info.dir().filePath(name);
}

} // namespace app
} // namespace orvane
