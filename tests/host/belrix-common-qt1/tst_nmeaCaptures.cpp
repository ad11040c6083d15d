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
        int headerLines = 0;
        int sentences = 0;
        for (QByteArray const& line : lines) {
            t += 0.01;
            if (line.startsWith('#')) {
                ++headerLines;
                continue;
            }
            decoder.decodeLine(line.constData(), std::size_t(line.size()), t);
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
        if (file == QLatin1String("firefly-II.log")) {
            QCOMPARE(c.badChecksum, 23u);   // every GGA
        }
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
        if (file == QLatin1String("skytraq-PX1172RH_DS.log")) {
            QCOMPARE(c.malformed, 3u);   // gpsd's JSON left at the start
        }
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
        comparison_t positions, heights, dops, errors, headings, satellites, used, inView;
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
                    inView.check(ours == pendingInView,
                                 QStringLiteral("%1 in view, gpsd %2, at %3").arg(ours).arg(pendingInView).arg(t, 0, 'f', 2));
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
            QString const cls = report.value(QStringLiteral("class")).toString();
            QString const where = QStringLiteral("%1 at %2").arg(QString::fromLatin1(type)).arg(t, 0, 'f', 2);
            bool const positionSentence = type == "GGA" || type == "RMC" || type == "GLL" || type == "GNS";
            if (cls == QLatin1String("TPV") && positionSentence && report.contains(QStringLiteral("lat"))
                && device.inputPosition().isValid() && device.inputPosition().timestamp() == t) {
                position_t const p = device.inputPosition().value();
                positions.check(near(p.lat * RadToDeg, report.value(QStringLiteral("lat")).toDouble(), 1e-8)
                                    && near(p.lon * RadToDeg, report.value(QStringLiteral("lon")).toDouble(), 1e-8),
                                QStringLiteral("position, ") + where);
                if (type == "GGA" && report.contains(QStringLiteral("altHAE")) && device.ellipsoidalHeight().timestamp() == t)
                    heights.check(near(device.ellipsoidalHeight().value(), report.value(QStringLiteral("altHAE")).toDouble(), 1e-3),
                                  QStringLiteral("height, ") + where);
            } else if (cls == QLatin1String("SKY") && type == "GSA" && device.pdop().timestamp() == t) {
                if (report.contains(QStringLiteral("pdop")))
                    dops.check(near(device.pdop().value(), report.value(QStringLiteral("pdop")).toDouble(), 1e-3),
                               QStringLiteral("PDOP, ") + where);
                if (report.contains(QStringLiteral("vdop")) && device.vdop().timestamp() == t)
                    dops.check(near(device.vdop().value(), report.value(QStringLiteral("vdop")).toDouble(), 1e-3),
                               QStringLiteral("VDOP, ") + where);
            } else if (cls == QLatin1String("SKY") && type == "GGA" && report.contains(QStringLiteral("uSat"))
                       && device.satellitesUsed().timestamp() == t) {
                // GGA stops at 12 in many receivers; we then count the GSA's satellites
                int const ours = int(device.satellitesUsed().value());
                int const theirs = report.value(QStringLiteral("uSat")).toInt();
                used.check(ours == theirs || (theirs >= 12 && ours > theirs),
                           QStringLiteral("satellites used, ") + where);
            } else if (cls == QLatin1String("GST") && type == "GST" && device.pseudorangeStats().timestamp() == t) {
                pseudorangeStats_t const& s = device.pseudorangeStats().value();
                auto same = [&](char const* key, std::optional<float> const& value, double scale) {
                    QString const k = QString::fromLatin1(key);
                    if (!report.contains(k))
                        return !value.has_value();
                    double const expected = report.value(k).toDouble();
                    return value.has_value() && near(*value * scale, expected, 1e-3 * std::max(1.0, std::fabs(expected)));
                };
                // an axis: -1.1 degrees and 178.9 are the same orientation
                auto sameAxis = [&](std::optional<float> const& value) {
                    if (!report.contains(QStringLiteral("orient")) || !value)
                        return report.contains(QStringLiteral("orient")) == value.has_value();
                    double const difference =
                        std::fmod(*value * RadToDeg - report.value(QStringLiteral("orient")).toDouble() + 720.0, 180.0);
                    return difference < 1e-3 || difference > 180.0 - 1e-3;
                };
                errors.check(same("rms", s.rms, 1.0) && same("major", s.semiMajor, 1.0) && same("minor", s.semiMinor, 1.0)
                                 && sameAxis(s.orientation) && same("lat", s.latError, 1.0)
                                 && same("lon", s.lonError, 1.0) && same("alt", s.heightError, 1.0),
                             QStringLiteral("error statistics, ") + where);
            } else if (cls == QLatin1String("ATT") && (type == "HDT" || type == "THS")
                       && report.contains(QStringLiteral("heading"))) {
                headings.check(device.heading().isValid()
                                   && near(device.heading().value(), report.value(QStringLiteral("heading")).toDouble(), 1e-3),
                               QStringLiteral("heading, ") + where);
            } else if (cls == QLatin1String("SKY") && type == "GSV" && report.contains(QStringLiteral("satellites"))) {
                QJsonArray const list = report.value(QStringLiteral("satellites")).toArray();
                auto numberOf = [](QJsonObject const& sat) {
                    return numberOfGpsdSatellite(sat.value(QStringLiteral("gnssid")).toInt(),
                                                 sat.value(QStringLiteral("svid")).toInt());
                };
                // gpsd lists a satellite once per signal; after a packet collision also twice with
                // different directions, old and new: those are not compared
                QMap<unsigned int, QPair<double, double>> directions;
                QSet<unsigned int> conflicting;
                for (QJsonValue const& value : list) {
                    QJsonObject const sat = value.toObject();
                    unsigned int const number = numberOf(sat);
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
                    unsigned int const number = it.key();
                    double const elevation = it.value().first;
                    double const azimuth = it.value().second;
                    if (conflicting.contains(number) || elevation < -900.0 || azimuth < -900.0)
                        continue;
                    remoteNavSat_t const* ours = device.navSat(number);
                    satellites.check(ours && ours->elevation().isValid() && near(ours->elevation().value(), elevation, 1e-3)
                                         && near(ours->azimuth().value(), azimuth, 1e-3),
                                     QStringLiteral("satellite %1 (ours %2/%3, gpsd %4/%5), ")
                                             .arg(number)
                                             .arg(ours ? ours->elevation().value() : -1.0)
                                             .arg(ours ? ours->azimuth().value() : -1.0)
                                             .arg(elevation)
                                             .arg(azimuth)
                                         + where);
                }
            }
        }
        for (comparison_t const* c : {&positions, &heights, &dops, &errors, &headings, &satellites, &used, &inView})
            QVERIFY2(c->failures.isEmpty(), qPrintable(c->failures.join(QStringLiteral("; "))));
        QVERIFY2(positions.count > 0, "no position compared");
        qInfo("%s: compared %d positions, %d heights, %d DOPs, %d error statistics, %d headings, %d satellites, "
              "%d satellites-used counts, %d in-view counts",
              qPrintable(file), positions.count, heights.count, dops.count, errors.count, headings.count,
              satellites.count, used.count, inView.count);
    }
};

QTEST_GUILESS_MAIN(tst_nmeaCaptures)
#include "tst_nmeaCaptures.moc"
