// Real receiver captures (gpsd's regression logs) through the decoder, compared for positions,
// heights, DOPs and satellites with gpsd's own reading of the same sentences (the .chk files).

#include "nmeaTestLines.h"

#include <belrix_common_qt/navConstants.h>
#include <belrix_common_qt/navSatNumbering.h>
#include <belrix_common_qt/nmeaDecoder.h>
#include <belrix_common_qt/remoteDevice.h>
#include <belrix_common_qt/remoteNavSat.h>

#include <QtTest>

using namespace belrix_common_qt;

namespace {

QString capturesDir()
{
    QByteArray const root = qgetenv("ORVANE_SHARED_DATA");
    return root.isEmpty() ? QString() : QString::fromLocal8Bit(root) + QStringLiteral("/nmea/gpsd");
}

QStringList captures()
{
    QString const dir = capturesDir();
    if (dir.isEmpty() || !QDir(dir).exists())
        return {};
    return QDir(dir).entryList({QStringLiteral("*.log")}, QDir::Files, QDir::Name);
}

QList<QByteArray> linesOf(QString const& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll().split('\n') : QList<QByteArray>();
}

QByteArray typeOf(QByteArray const& line) { return line.size() > 6 && line[0] == '$' ? line.mid(3, 3) : QByteArray(); }

// gpsd's satellite (GNSS id, satellite id) as a data model number
unsigned int numberOfGpsdSatellite(int gnssId, int svid)
{
    constellation_t const systems[] = {constellationGps,  constellationSbas,    constellationGalileo, constellationBeidou,
                                       constellationUnknown, constellationQzss, constellationGlonass};
    return gnssId < 0 || gnssId > 6 || gnssId == 4 ? 0 : navSatNumber(systems[gnssId], unsigned(svid) + (gnssId == 5 ? 192 : 0));
}

// Ours under gpsd's class and key; NaN where the sentence decoded at t did not set it.
QList<QPair<QString, double>> oursAt(remoteDevice_t const& d, double t)
{
    auto at = [t](auto const& item) { return item.isValid() && item.timestamp() == t ? double(item.value()) : Absent; };
    auto const& p = d.inputPosition();
    bool const fix = p.isValid() && p.timestamp() == t;
    return {{"TPV lat", fix ? p.value().lat * RadToDeg : Absent}, {"TPV lon", fix ? p.value().lon * RadToDeg : Absent},
            {"TPV altHAE", at(d.ellipsoidalHeight())}, {"SKY pdop", at(d.pdop())}, {"SKY vdop", at(d.vdop())}};
}

} // namespace

class tst_nmeaCaptures : public QObject
{
    Q_OBJECT

private slots:
    void capture_data()
    {
        // Captures whose provenance lists bad checksums, truncation (some truncated lines lost
        // their checksum), collisions or gpsd's JSON left at the start: the least damage found.
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("badChecksum");
        QTest::addColumn<int>("malformed");
        QMap<QString, QPair<int, int>> const damaged = {{QStringLiteral("gp-320fw-2019-04-07-coldboot.log"), {35, 5}},
                                                        {QStringLiteral("firefly-II.log"), {23, 0}},   // every GGA
                                                        {QStringLiteral("isync.log"), {0, 0}},
                                                        {QStringLiteral("skytraq-PX1172RH_DS.log"), {0, 3}}};
        for (QString const& file : captures())
            QTest::newRow(qPrintable(file)) << file << damaged.value(file, {-1, -1}).first << damaged.value(file, {-1, -1}).second;
    }

    void capture()
    {
        if (captures().isEmpty())
            QSKIP("ORVANE_SHARED_DATA has no NMEA captures");
        QFETCH(QString, file);
        QFETCH(int, badChecksum);
        QFETCH(int, malformed);
        remoteDevice_t logDevice;
        nmeaDecoder_t logDecoder(&logDevice);
        quint64 sentences = 0;
        for (QByteArray const& line : linesOf(capturesDir() + '/' + file)) {
            if (!line.startsWith('#'))
                logDecoder.decodeLine(line.constData(), std::size_t(line.size()), 1000.0 + 0.01 * double(sentences));
            sentences += line.startsWith('#') ? 0 : line.count('$') + line.count('!');
        }
        nmeaCounters_t const& c = logDecoder.counters();
        QCOMPARE(c.lines, c.accepted + c.badChecksum + c.unknown + c.malformed);
        QVERIFY(c.accepted > 0);
        if (badChecksum < 0)   // clean: every sentence decoded or known to be of no use
            QCOMPARE(QList<quint64>({c.accepted + c.unknown, c.badChecksum, c.malformed}), QList<quint64>({sentences, 0, 0}));
        else
            QVERIFY(c.badChecksum >= quint64(badChecksum) && c.malformed >= quint64(malformed));

        // then the sentences of the .chk file, each followed by gpsd's reading of it
        remoteDevice_t device;
        nmeaDecoder_t decoder(&device);
        double t = 1000.0;
        QList<QByteArray> const lines = linesOf(capturesDir() + '/' + file + QStringLiteral(".chk"));
        QVERIFY(!lines.isEmpty());
        QString failures;
        int positions = 0;
        QByteArray type;
        bool accepted = false;
        int pendingInView = -1;
        // where a GSV sentence was lost gpsd drops what it listed, this decoder keeps it
        bool const damaged = file.startsWith(QLatin1String("gp-320fw")) || file == QLatin1String("isync.log");
        for (QByteArray line : lines) {
            line = line.trimmed();
            if (line.startsWith('$') || line.startsWith('!')) {
                if (pendingInView >= 0 && typeOf(line) != "GSV" && !damaged && int(device.allNavSats().size()) != pendingInView)
                    failures += QStringLiteral("satellites in view at %1; ").arg(t);
                pendingInView = -1;
                type = typeOf(line);
                accepted = decoder.decodeLine(line.constData(), std::size_t(line.size()), t += 0.01) == nmeaAccepted;
                continue;
            }
            if (!line.startsWith('{') || !accepted)
                continue;
            QJsonObject const report = QJsonDocument::fromJson(line).object();
            QString const cls = report.value(QStringLiteral("class")).toString();
            for (auto const& [key, ours] : oursAt(device, t)) {
                QJsonValue const theirs = report.value(key.section(' ', 1));
                if (!key.startsWith(cls + ' ') || theirs.isUndefined() || std::isnan(ours))
                    continue;
                positions += key == QLatin1String("TPV lat");
                double const tolerance = key.startsWith(QLatin1String("TPV l")) ? 1e-9 : 1e-3;
                if (std::fabs(ours - theirs.toDouble()) > tolerance * std::max(1.0, std::fabs(theirs.toDouble())) && failures.size() < 1000)
                    failures += QStringLiteral("%1 is %2 at %3 (%4); ").arg(key).arg(ours, 0, 'g', 12).arg(t, 0, 'f', 2).arg(QString::fromLatin1(type));
            }
            if (cls != QLatin1String("SKY") || type != "GSV" || !report.contains(QStringLiteral("satellites")))
                continue;
            // gpsd lists a satellite once per signal; after a packet collision also twice with
            // different directions, old and new: those are not compared
            QMap<unsigned int, QPair<double, double>> directions;
            QSet<unsigned int> conflicting;
            for (QJsonValue const& value : report.value(QStringLiteral("satellites")).toArray()) {
                QJsonObject const sat = value.toObject();
                unsigned int const number = numberOfGpsdSatellite(sat.value(QStringLiteral("gnssid")).toInt(),
                                                                  sat.value(QStringLiteral("svid")).toInt());
                QPair<double, double> const direction(sat.value(QStringLiteral("el")).toDouble(Absent),
                                                      sat.value(QStringLiteral("az")).toDouble(Absent));
                if (number && directions.contains(number) && directions.value(number) != direction)
                    conflicting.insert(number);
                if (number)
                    directions.insert(number, direction);
            }
            // gpsd counts what it has so far: comparable once the run of GSV ends
            if (conflicting.isEmpty())
                pendingInView = int(directions.size());
            for (auto it = directions.cbegin(); it != directions.cend(); ++it) {
                remoteNavSat_t const* sat = device.navSat(it.key());
                bool const known = !conflicting.contains(it.key()) && !std::isnan(it.value().first + it.value().second);
                if (known && !(sat && sat->elevation().isValid() && std::fabs(sat->elevation().value() - it.value().first) < 1e-3
                               && std::fabs(sat->azimuth().value() - it.value().second) < 1e-3))
                    failures += QStringLiteral("satellite %1 at %2; ").arg(it.key()).arg(t);
            }
        }
        QVERIFY2(failures.isEmpty(), qPrintable(failures));
        QVERIFY2(positions > 0, "no position compared");
    }
};

QTEST_GUILESS_MAIN(tst_nmeaCaptures)
#include "tst_nmeaCaptures.moc"
