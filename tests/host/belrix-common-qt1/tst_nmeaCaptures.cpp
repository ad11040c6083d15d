// Real receiver captures (gpsd's regression logs) through the decoder, compared field by field
// with gpsd's own reading of the same sentences (the .chk files).

#include <belrix_common_qt/navSatNumbering.h>
#include <belrix_common_qt/nmeaDecoder.h>
#include <belrix_common_qt/qcDataStore.h>
#include <belrix_common_qt/remoteDevice.h>
#include <belrix_common_qt/remoteNavSat.h>

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMap>
#include <QSet>
#include <QtTest>

#include <cmath>
#include <belrix_common_qt/navConstants.h>

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
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll().split('\n');
}

QByteArray typeOf(QByteArray const& line) { return line.size() > 6 && line[0] == '$' ? line.mid(3, 3) : QByteArray(); }

// gpsd's satellite (GNSS id, satellite id) as a data model number
unsigned int numberOfGpsdSatellite(int gnssId, int svid)
{
    switch (gnssId) {
    case 0: return navSatNumber(constellationGps, unsigned(svid));
    case 1: return navSatNumber(constellationSbas, unsigned(svid));
    case 2: return navSatNumber(constellationGalileo, unsigned(svid));
    case 3: return navSatNumber(constellationBeidou, unsigned(svid));
    case 5: return navSatNumber(constellationQzss, unsigned(svid) + 192);
    case 6: return navSatNumber(constellationGlonass, unsigned(svid));
    default: break;
    }
    return 0;
}

struct comparison_t {
    int count = 0;
    QStringList failures;
    void check(bool ok, QString const& what)
    {
        ++count;
        if (!ok && failures.size() < 10)
            failures << what;
    }
};

bool near(double a, double b, double tolerance) { return std::fabs(a - b) <= tolerance; }

} // namespace

class tst_nmeaCaptures : public QObject
{
    Q_OBJECT

private slots:
    void wholeCapture_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<bool>("clean");
        // Captures whose provenance lists bad checksums, truncation or collisions.
        QStringList const damaged = {QStringLiteral("gp-320fw-2019-04-07-coldboot.log"), QStringLiteral("firefly-II.log"),
                                     QStringLiteral("isync.log"), QStringLiteral("skytraq-PX1172RH_DS.log")};
        for (QString const& file : captures())
            QTest::newRow(qPrintable(file)) << file << !damaged.contains(file);
    }

    void wholeCapture()
    {
        if (captures().isEmpty())
            QSKIP("ORVANE_SHARED_DATA has no NMEA captures");
        QFETCH(QString, file);
        QFETCH(bool, clean);
        remoteDevice_t device;
        nmeaDecoder_t decoder(&device);
        QList<QByteArray> const lines = linesOf(capturesDir() + '/' + file);
        QVERIFY(!lines.isEmpty());
        double t = 1000.0;
        int sentences = 0;
        for (QByteArray const& line : lines) {
            if (line.startsWith('#'))
                continue;
            decoder.decodeLine(line.constData(), std::size_t(line.size()), t += 0.01);
            sentences += line.count('$') + line.count('!');
        }
        nmeaCounters_t const& c = decoder.counters();
        QCOMPARE(c.lines, c.accepted + c.badChecksum + c.unknown + c.malformed);
        QVERIFY(c.accepted > 0);
        if (clean) {
            QVERIFY2(c.badChecksum == 0 && c.malformed == 0,
                     qPrintable(QStringLiteral("%1 bad checksums, %2 malformed").arg(c.badChecksum).arg(c.malformed)));
            QCOMPARE(c.accepted + c.unknown, quint64(sentences));
        }
        if (file == QLatin1String("firefly-II.log"))
            QCOMPARE(c.badChecksum, 23u);   // every GGA
        if (file == QLatin1String("gp-320fw-2019-04-07-coldboot.log")) {
            // truncated and run-together sentences; some of the truncated ones lost their checksum
            QVERIFY(c.badChecksum >= 35);
            QVERIFY(c.malformed >= 5);
        }
        if (file == QLatin1String("quectel-L70.log")) {
            // the receiver sends its range residuals (GRS) with eight satellites in use
            auto const& history = device.qcDataStore()->summary();
            QVERIFY(history.size() >= 10);
            for (qcSummaryEntry_t const& e : history) {
                QVERIFY(std::isfinite(e.summary.unitVariance) && e.summary.unitVariance > 0.0f);
                QVERIFY(e.summary.semiMajor >= e.summary.semiMinor && e.summary.semiMinor > 0.0f);
                QVERIFY(e.summary.semiMajor < 50.0f && e.summary.heightError < 100.0f);
            }
        }
        if (file == QLatin1String("skytraq-PX1172RH_DS.log"))
            QCOMPARE(c.malformed, 3u);   // gpsd's JSON left at the start
    }

    void matchesGpsd_data()
    {
        QTest::addColumn<QString>("file");
        for (QString const& file : captures())
            QTest::newRow(qPrintable(file)) << file;
    }

    void matchesGpsd()
    {
        if (captures().isEmpty())
            QSKIP("ORVANE_SHARED_DATA has no NMEA captures");
        QFETCH(QString, file);
        remoteDevice_t device;
        nmeaDecoder_t decoder(&device);
        QList<QByteArray> const lines = linesOf(capturesDir() + '/' + file + QStringLiteral(".chk"));
        QVERIFY(!lines.isEmpty());
        comparison_t positions, heights, dops, errors, headings, satellites, inView;
        QByteArray type;
        bool accepted = false;
        int pendingInView = -1;
        // where a GSV sentence was lost gpsd drops what it listed, this decoder keeps it
        bool const damaged = file.startsWith(QLatin1String("gp-320fw")) || file == QLatin1String("isync.log");
        double t = 1000.0;
        for (QByteArray line : lines) {
            line = line.trimmed();
            if (line.startsWith('$') || line.startsWith('!')) {
                if (pendingInView >= 0 && typeOf(line) != "GSV" && !damaged) {
                    int const ours = int(device.allNavSats().size());
                    inView.check(ours == pendingInView, QStringLiteral("%1 in view, gpsd %2").arg(ours).arg(pendingInView));
                }
                pendingInView = -1;
                t += 0.01;
                type = typeOf(line);
                accepted = decoder.decodeLine(line.constData(), std::size_t(line.size()), t) == nmeaAccepted;
                continue;
            }
            if (!line.startsWith('{') || !accepted)
                continue;
            QJsonObject const report = QJsonDocument::fromJson(line).object();
            auto has = [&](char const* key) { return report.contains(QLatin1String(key)); };
            auto gpsd = [&](char const* key) { return report.value(QLatin1String(key)).toDouble(); };
            QString const cls = report.value(QStringLiteral("class")).toString();
            QString const where = QStringLiteral(" at %1 (%2)").arg(t, 0, 'f', 2).arg(QString::fromLatin1(type));
            bool const positionSentence = type == "GGA" || type == "RMC" || type == "GLL" || type == "GNS";
            if (cls == "TPV" && positionSentence && has("lat") && device.inputPosition().isValid()
                && device.inputPosition().timestamp() == t) {
                position_t const p = device.inputPosition().value();
                positions.check(near(p.lat * RadToDeg, gpsd("lat"), 1e-8) && near(p.lon * RadToDeg, gpsd("lon"), 1e-8),
                                "position" + where);
                if (type == "GGA" && has("altHAE") && device.ellipsoidalHeight().timestamp() == t)
                    heights.check(near(device.ellipsoidalHeight().value(), gpsd("altHAE"), 1e-3), "height" + where);
            } else if (cls == "SKY" && type == "GSA" && device.pdop().timestamp() == t) {
                if (has("pdop"))
                    dops.check(near(device.pdop().value(), gpsd("pdop"), 1e-3), "PDOP" + where);
                if (has("vdop") && device.vdop().timestamp() == t)
                    dops.check(near(device.vdop().value(), gpsd("vdop"), 1e-3), "VDOP" + where);
            } else if (cls == "GST" && type == "GST" && device.pseudorangeStats().timestamp() == t) {
                pseudorangeStats_t const& s = device.pseudorangeStats().value();
                auto same = [&](char const* key, std::optional<float> const& value) {
                    return has(key) ? value && near(*value, gpsd(key), 1e-3 * std::max(1.0, std::fabs(gpsd(key))))
                                    : !value.has_value();
                };
                // an axis: -1.1 degrees and 178.9 are the same orientation
                double const turn = s.orientation && has("orient")
                                        ? std::fmod(*s.orientation * RadToDeg - gpsd("orient") + 720.0, 180.0) : 0.0;
                bool const sameAxis = has("orient") == s.orientation.has_value() && (turn < 1e-3 || turn > 180.0 - 1e-3);
                errors.check(same("rms", s.rms) && same("major", s.semiMajor) && same("minor", s.semiMinor) && sameAxis
                                 && same("lat", s.latError) && same("lon", s.lonError) && same("alt", s.heightError),
                             "error statistics" + where);
            } else if (cls == "ATT" && (type == "HDT" || type == "THS") && has("heading")) {
                headings.check(device.heading().isValid() && near(device.heading().value(), gpsd("heading"), 1e-3),
                               "heading" + where);
            } else if (cls == "SKY" && type == "GSV" && has("satellites")) {
                // gpsd lists a satellite once per signal; after a packet collision also twice with
                // different directions, old and new: those are not compared
                QMap<unsigned int, QPair<double, double>> directions;
                QSet<unsigned int> conflicting;
                for (QJsonValue const& value : report.value(QStringLiteral("satellites")).toArray()) {
                    QJsonObject const sat = value.toObject();
                    unsigned int const number = numberOfGpsdSatellite(sat.value(QStringLiteral("gnssid")).toInt(),
                                                                      sat.value(QStringLiteral("svid")).toInt());
                    QPair<double, double> const direction(sat.value(QStringLiteral("el")).toDouble(-999.0),
                                                          sat.value(QStringLiteral("az")).toDouble(-999.0));
                    if (number && directions.contains(number) && directions.value(number) != direction)
                        conflicting.insert(number);
                    if (number)
                        directions.insert(number, direction);
                }
                // gpsd counts what it has so far: comparable once the run of GSV ends
                if (conflicting.isEmpty())
                    pendingInView = int(directions.size());
                for (auto it = directions.cbegin(); it != directions.cend(); ++it) {
                    double const elevation = it.value().first;
                    double const azimuth = it.value().second;
                    if (conflicting.contains(it.key()) || elevation < -900.0 || azimuth < -900.0)
                        continue;
                    remoteNavSat_t const* ours = device.navSat(it.key());
                    satellites.check(ours && ours->elevation().isValid() && near(ours->elevation().value(), elevation, 1e-3)
                                         && near(ours->azimuth().value(), azimuth, 1e-3),
                                     QStringLiteral("satellite %1").arg(it.key()) + where);
                }
            }
        }
        for (comparison_t const* c : {&positions, &heights, &dops, &errors, &headings, &satellites, &inView})
            QVERIFY2(c->failures.isEmpty(), qPrintable(c->failures.join(QStringLiteral("; "))));
        QVERIFY2(positions.count > 0, "no position compared");
    }
};

QTEST_GUILESS_MAIN(tst_nmeaCaptures)
#include "tst_nmeaCaptures.moc"
