// Real receiver captures (gpsd's regression logs) through the decoder, compared field by field
// with gpsd's own reading of the same sentences (the .chk files).

#include "nmeaTestLines.h"
#include "testData.h"

#include <belrix_common_qt/navConstants.h>
#include <belrix_common_qt/navSatNumbering.h>
#include <belrix_common_qt/nmeaDecoder.h>
#include <belrix_common_qt/qcDataStore.h>
#include <belrix_common_qt/remoteDevice.h>
#include <belrix_common_qt/remoteNavSat.h>

#include <QtTest>

using namespace belrix_common_qt;

namespace {

QString capturesDir() { return sharedDataPath(QStringLiteral("nmea/gpsd")); }

QStringList captures()
{
    QString const dir = capturesDir();
    return dir.isEmpty() ? QStringList() : QDir(dir).entryList({QStringLiteral("*.log")}, QDir::Files, QDir::Name);
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
    if (gnssId < 0 || gnssId > 6 || gnssId == 4)
        return 0;
    return navSatNumber(systems[gnssId], unsigned(svid) + (gnssId == 5 ? 192 : 0));
}

// An axis: -1.1 degrees and 178.9 are the same orientation.
double axis(double degrees) { return std::isnan(degrees) ? degrees : std::fmod(degrees + 720.0, 180.0); }

// Ours under gpsd's class and key; NaN where the sentence decoded at t did not set it.
fields_t oursAt(remoteDevice_t const& d, double t)
{
    auto at = [t](auto const& item, double tolerance = 1e-3) {
        return field_t{item.isValid() && item.timestamp() == t ? double(item.value()) : Absent, tolerance};
    };
    bool const stats = d.pseudorangeStats().isValid() && d.pseudorangeStats().timestamp() == t;
    pseudorangeStats_t const& s = d.pseudorangeStats().value();
    auto stat = [stats](std::optional<float> const& f) { return field_t{stats && f ? *f : Absent, 1e-3}; };
    auto const& p = d.inputPosition();
    bool const fix = p.isValid() && p.timestamp() == t;
    return {{"TPV lat", {fix ? p.value().lat * RadToDeg : Absent, 1e-9}},
            {"TPV lon", {fix ? p.value().lon * RadToDeg : Absent, 1e-9}}, {"TPV altHAE", at(d.ellipsoidalHeight())},
            {"SKY pdop", at(d.pdop())}, {"SKY vdop", at(d.vdop())}, {"GST rms", stat(s.rms)},
            {"GST major", stat(s.semiMajor)}, {"GST minor", stat(s.semiMinor)},
            {"GST orient", {axis(stats && s.orientation ? *s.orientation * RadToDeg : Absent), 1e-3}},
            {"GST lat", stat(s.latError)}, {"GST lon", stat(s.lonError)}, {"GST alt", stat(s.heightError)},
            {"ATT heading", at(d.heading())}};
}

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
        double t = 1000.0;
        int sentences = 0;
        for (QByteArray const& line : linesOf(capturesDir() + '/' + file)) {
            if (!line.startsWith('#'))
                decoder.decodeLine(line.constData(), std::size_t(line.size()), t += 0.01);
            sentences += line.startsWith('#') ? 0 : line.count('$') + line.count('!');
        }
        nmeaCounters_t const& c = decoder.counters();
        QCOMPARE(c.lines, c.accepted + c.badChecksum + c.unknown + c.malformed);
        QVERIFY(c.accepted > 0);
        if (clean)
            QCOMPARE(QList<quint64>({c.accepted + c.unknown, c.badChecksum, c.malformed}), QList<quint64>({quint64(sentences), 0, 0}));
        if (file == QLatin1String("firefly-II.log"))
            QCOMPARE(c.badChecksum, 23u);   // every GGA
        // truncated and run-together sentences; some of the truncated ones lost their checksum
        if (file == QLatin1String("gp-320fw-2019-04-07-coldboot.log"))
            QVERIFY(c.badChecksum >= 35 && c.malformed >= 5);
        if (file == QLatin1String("skytraq-PX1172RH_DS.log"))
            QCOMPARE(c.malformed, 3u);   // gpsd's JSON left at the start
        if (file != QLatin1String("quectel-L70.log"))
            return;
        // the receiver sends its range residuals (GRS) with eight satellites in use
        auto const& history = device.qcDataStore()->summary();
        QVERIFY(history.size() >= 10);
        for (qcSummaryEntry_t const& e : history) {
            QVERIFY(std::isfinite(e.summary.unitVariance) && e.summary.unitVariance > 0.0f);
            QVERIFY(e.summary.semiMajor >= e.summary.semiMinor && e.summary.semiMinor > 0.0f);
            QVERIFY(e.summary.semiMajor < 50.0f && e.summary.heightError < 100.0f);
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
        QString failures;
        int positions = 0;
        QByteArray type;
        bool accepted = false;
        int pendingInView = -1;
        // where a GSV sentence was lost gpsd drops what it listed, this decoder keeps it
        bool const damaged = file.startsWith(QLatin1String("gp-320fw")) || file == QLatin1String("isync.log");
        double t = 1000.0;
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
            fields_t const ours = oursAt(device, t);
            QVariantMap gpsd;
            // after the error statistics or heading sentence, what one lacks the other must lack too
            bool const whole = (cls == QLatin1String("GST") && type == "GST")
                               || (cls == QLatin1String("ATT") && (type == "HDT" || type == "THS"));
            for (auto it = ours.cbegin(); it != ours.cend(); ++it) {
                QJsonValue const theirs = report.value(it.key().section(' ', 1));
                bool const orient = it.key().endsWith(QLatin1String("orient"));
                if (it.key().startsWith(cls + ' ') && (whole || (!theirs.isUndefined() && !std::isnan(it.value().value))))
                    gpsd.insert(it.key(), theirs.isUndefined() ? Absent : orient ? axis(theirs.toDouble()) : theirs.toDouble());
            }
            positions += gpsd.contains(QStringLiteral("TPV lat"));
            QString const wrong = mismatches(ours, gpsd);
            if (!wrong.isEmpty() && failures.size() < 1000)
                failures += QStringLiteral("at %1 (%2): ").arg(t, 0, 'f', 2).arg(QString::fromLatin1(type)) + wrong;
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
