#include "belrix_common_qt/csvFields.h"

#include "belrix_common_qt/dataClock.h"
#include "belrix_common_qt/qcDataStore.h"
#include "belrix_common_qt/remoteDevice.h"

#include <QCoreApplication>
#include <QDateTime>

#include <array>
#include <cmath>

namespace belrix_common_qt {

namespace {

struct fieldDef_t {
    const char* key;
    const char* name;
    const char* unit;
    csvFieldGroup_t group;
};

const char* const Context = "belrix_common_qt::csvFields_t";

// Bit order of the mask and column order of the log: append only.
const std::array<fieldDef_t, csvFields_t::Count> defs = {{
    {"date", QT_TRANSLATE_NOOP("belrix_common_qt::csvFields_t", "Date (UTC)"), "", csvGroupTime},
    {"time", QT_TRANSLATE_NOOP("belrix_common_qt::csvFields_t", "Time (UTC)"), "", csvGroupTime},
    {"latitude", QT_TRANSLATE_NOOP("belrix_common_qt::csvFields_t", "Latitude"), "deg", csvGroupPosition},
    {"longitude", QT_TRANSLATE_NOOP("belrix_common_qt::csvFields_t", "Longitude"), "deg", csvGroupPosition},
    {"height", QT_TRANSLATE_NOOP("belrix_common_qt::csvFields_t", "Ellipsoidal Height"), "m", csvGroupPosition},
    {"fixQuality", QT_TRANSLATE_NOOP("belrix_common_qt::csvFields_t", "Fix Quality"), "", csvGroupPosition},
    {"satellitesUsed", QT_TRANSLATE_NOOP("belrix_common_qt::csvFields_t", "Satellites Used"), "", csvGroupPosition},
    {"hdop", QT_TRANSLATE_NOOP("belrix_common_qt::csvFields_t", "HDOP"), "", csvGroupPosition},
    {"vdop", QT_TRANSLATE_NOOP("belrix_common_qt::csvFields_t", "VDOP"), "", csvGroupPosition},
    {"pdop", QT_TRANSLATE_NOOP("belrix_common_qt::csvFields_t", "PDOP"), "", csvGroupPosition},
    {"correctionAge", QT_TRANSLATE_NOOP("belrix_common_qt::csvFields_t", "Correction Age"), "s", csvGroupPosition},
    {"speedOverGround", QT_TRANSLATE_NOOP("belrix_common_qt::csvFields_t", "Speed Over Ground"), "m/s", csvGroupPosition},
    {"courseOverGround", QT_TRANSLATE_NOOP("belrix_common_qt::csvFields_t", "Course Over Ground"), "deg", csvGroupPosition},
    {"heading", QT_TRANSLATE_NOOP("belrix_common_qt::csvFields_t", "Heading"), "deg", csvGroupHeading},
    {"rateOfTurn", QT_TRANSLATE_NOOP("belrix_common_qt::csvFields_t", "Rate of Turn"), "deg/min", csvGroupHeading},
    {"rangeRms", QT_TRANSLATE_NOOP("belrix_common_qt::csvFields_t", "Range RMS"), "m", csvGroupErrors},
    {"semiMajor", QT_TRANSLATE_NOOP("belrix_common_qt::csvFields_t", "Semi-Major Axis"), "m", csvGroupErrors},
    {"semiMinor", QT_TRANSLATE_NOOP("belrix_common_qt::csvFields_t", "Semi-Minor Axis"), "m", csvGroupErrors},
    {"orientation", QT_TRANSLATE_NOOP("belrix_common_qt::csvFields_t", "Orientation"), "deg", csvGroupErrors},
    {"latitudeError", QT_TRANSLATE_NOOP("belrix_common_qt::csvFields_t", "Latitude Error"), "m", csvGroupErrors},
    {"longitudeError", QT_TRANSLATE_NOOP("belrix_common_qt::csvFields_t", "Longitude Error"), "m", csvGroupErrors},
    {"heightError", QT_TRANSLATE_NOOP("belrix_common_qt::csvFields_t", "Height Error"), "m", csvGroupErrors},
    {"unitVariance", QT_TRANSLATE_NOOP("belrix_common_qt::csvFields_t", "Unit Variance"), "", csvGroupQc},
    {"qcSemiMajor", QT_TRANSLATE_NOOP("belrix_common_qt::csvFields_t", "QC Semi-Major Axis"), "m", csvGroupQc},
    {"qcSemiMinor", QT_TRANSLATE_NOOP("belrix_common_qt::csvFields_t", "QC Semi-Minor Axis"), "m", csvGroupQc},
    {"qcOrientation", QT_TRANSLATE_NOOP("belrix_common_qt::csvFields_t", "QC Orientation"), "deg", csvGroupQc},
    {"qcHeightError", QT_TRANSLATE_NOOP("belrix_common_qt::csvFields_t", "QC Height Error"), "m", csvGroupQc},
    {"correctionSnr", QT_TRANSLATE_NOOP("belrix_common_qt::csvFields_t", "Correction Signal SNR"), "dB-Hz", csvGroupSignal},
}};

constexpr double RadToDeg = 57.295779513082320876798;

QByteArray number(double value, int decimals)
{
    if (!std::isfinite(value))
        return QByteArray();
    // QByteArray::number ignores the user's locale: a point, never a decimal comma
    QByteArray text = QByteArray::number(value, 'f', decimals);
    // a value that rounds to zero is no negative number
    if (text.startsWith('-') && text.mid(1).count('0') + text.count('.') == text.size() - 1)
        text.remove(0, 1);
    return text;
}

template <typename T>
QByteArray current(dataItem_t<T> const& item, double now, int decimals)
{
    return isItemCurrent(item, now) ? number(double(item.value()), decimals) : QByteArray();
}

QByteArray statValue(dataItem_t<pseudorangeStats_t> const& item, std::optional<float> pseudorangeStats_t::*member,
                double now, int decimals, double scale = 1.0)
{
    if (!isItemCurrent(item, now) || !(item.value().*member))
        return QByteArray();
    return number(double(*(item.value().*member)) * scale, decimals);
}

} // namespace

QByteArray csvFields_t::key(int field)
{
    return field >= 0 && field < Count ? QByteArray(defs[field].key) : QByteArray();
}

QString csvFields_t::name(int field)
{
    return field >= 0 && field < Count ? QCoreApplication::translate(Context, defs[field].name) : QString();
}

QString csvFields_t::unit(int field)
{
    return field >= 0 && field < Count ? QString::fromLatin1(defs[field].unit) : QString();
}

csvFieldGroup_t csvFields_t::group(int field) { return field >= 0 && field < Count ? defs[field].group : csvGroupTime; }

QByteArray csvFields_t::header(std::uint32_t mask)
{
    QByteArray line;
    bool first = true;
    for (int i = 0; i < Count; ++i) {
        if (!((mask >> i) & 1u))
            continue;
        QString title = name(i);
        if (!unit(i).isEmpty())
            title += QStringLiteral(" [") + unit(i) + QLatin1Char(']');
        if (!first)
            line += ',';
        line += quoted(title.toUtf8());
        first = false;
    }
    return line;
}

QByteArray csvFields_t::row(remoteDevice_t const& device, std::uint32_t mask, double now)
{
    // the receiver's own time of the fix when it has one, else the data time of the epoch
    double utc = now;
    if (isItemCurrent(device.fixTime(), now) && std::isfinite(device.fixTime().value()))
        utc = device.fixTime().value();
    QDateTime const when = QDateTime::fromMSecsSinceEpoch(qint64(std::floor(utc * 1000.0 + 0.5)), Qt::UTC);
    dataItem_t<position_t> const& position = device.inputPosition();
    bool const havePosition = isItemCurrent(position, now);
    dataItem_t<pseudorangeStats_t> const& stats = device.pseudorangeStats();

    // the newest QC summary, while current
    qcSummary_t const* qc = nullptr;
    if (qcDataStore_t const* store = device.qcDataStore())
        if (!store->summary().empty() && isDataRecent(store->summary().back().timestamp, now, DataMaxAge))
            qc = &store->summary().back().summary;
    auto qcValue = [qc](float qcSummary_t::*member, int decimals, double scale = 1.0) {
        return qc ? number(double(qc->*member) * scale, decimals) : QByteArray();
    };

    QByteArray line;
    bool first = true;
    for (int i = 0; i < Count; ++i) {
        if (!((mask >> i) & 1u))
            continue;
        QByteArray cell;
        switch (i) {
        case 0: cell = when.toString(QStringLiteral("yyyy-MM-dd")).toLatin1(); break;
        case 1: cell = when.toString(QStringLiteral("HH:mm:ss.zzz")).toLatin1(); break;
        case 2:
            if (havePosition && position.value().latValid)
                cell = number(position.value().lat * RadToDeg, 9);
            break;
        case 3:
            if (havePosition && position.value().lonValid)
                cell = number(position.value().lon * RadToDeg, 9);
            break;
        case 4: cell = current(device.ellipsoidalHeight(), now, 3); break;
        case 5: cell = current(device.fixQuality(), now, 0); break;
        case 6: cell = current(device.satellitesUsed(), now, 0); break;
        case 7: cell = current(device.hdop(), now, 2); break;
        case 8: cell = current(device.vdop(), now, 2); break;
        case 9: cell = current(device.pdop(), now, 2); break;
        case 10: cell = current(device.correctionAge(), now, 1); break;
        case 11: cell = current(device.speedOverGround(), now, 3); break;
        case 12: cell = current(device.courseOverGround(), now, 2); break;
        case 13: cell = current(device.heading(), now, 2); break;
        case 14: cell = current(device.rateOfTurn(), now, 2); break;
        case 15: cell = statValue(stats, &pseudorangeStats_t::rms, now, 3); break;
        case 16: cell = statValue(stats, &pseudorangeStats_t::semiMajor, now, 3); break;
        case 17: cell = statValue(stats, &pseudorangeStats_t::semiMinor, now, 3); break;
        case 18: cell = statValue(stats, &pseudorangeStats_t::orientation, now, 2, RadToDeg); break;
        case 19: cell = statValue(stats, &pseudorangeStats_t::latError, now, 3); break;
        case 20: cell = statValue(stats, &pseudorangeStats_t::lonError, now, 3); break;
        case 21: cell = statValue(stats, &pseudorangeStats_t::heightError, now, 3); break;
        case 22: cell = qcValue(&qcSummary_t::unitVariance, 3); break;
        case 23: cell = qcValue(&qcSummary_t::semiMajor, 3); break;
        case 24: cell = qcValue(&qcSummary_t::semiMinor, 3); break;
        case 25: cell = qcValue(&qcSummary_t::orientation, 2, RadToDeg); break;
        case 26: cell = qcValue(&qcSummary_t::heightError, 3); break;
        case 27: cell = current(device.corrSatSnr(), now, 1); break;
        default: break;
        }
        if (!first)
            line += ',';
        line += cell;
        first = false;
    }
    return line;
}

QByteArray csvFields_t::quoted(QByteArray const& text)
{
    if (text.indexOf(',') < 0 && text.indexOf('"') < 0 && text.indexOf('\n') < 0 && text.indexOf('\r') < 0)
        return text;
    QByteArray escaped = text;
    escaped.replace('"', "\"\"");
    return '"' + escaped + '"';
}

} // namespace belrix_common_qt
