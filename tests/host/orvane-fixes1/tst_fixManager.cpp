#include "orvane/fixes/fixManager.h"

#include <QDateTime>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLockFile>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include "fullDisk.h"

#include <QtTest>

#include <cmath>
#include <limits>
#include <memory>
#include <belrix_common_qt/navConstants.h>

using namespace orvane::fixes;
using tolvgeodesy::coordLL_t;

namespace {

using belrix_common_qt::Pi;
constexpr double notANumber = std::numeric_limits<double>::quiet_NaN();
constexpr double inf = std::numeric_limits<double>::infinity();
const QString gpxNs = QStringLiteral("http://www.topografix.com/GPX/1/1");

fixManager_t* store() { return fixManager_t::instance(); }

// Round trips must give back the very same double, NaN included.
bool sameDouble(double a, double b) { return a == b || (std::isnan(a) && std::isnan(b)); }

bool writeBytes(QString const& path, QByteArray const& bytes, bool append)
{
    QFile file(path);
    if (!file.open(append ? QIODevice::WriteOnly | QIODevice::Append : QIODevice::WriteOnly))
        return false;
    return file.write(bytes) == bytes.size();
}

QByteArray readBytes(QString const& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray goodRecord(int id, double lat = 0.2)
{
    return QStringLiteral("{\"id\":%1,\"port\":2,\"time\":100.5,\"type\":1,\"lon\":0.1,\"lat\":%2,\"height\":3,"
                          "\"description\":\"fix %1\"}")
        .arg(id)
        .arg(lat, 0, 'g', 17)
        .toUtf8();
}

// The order of a waypoint's children in the GPX 1.1 schema.
const QStringList wptSequence = {
    QStringLiteral("ele"),  QStringLiteral("time"), QStringLiteral("magvar"), QStringLiteral("geoidheight"),
    QStringLiteral("name"), QStringLiteral("cmt"),  QStringLiteral("desc"),   QStringLiteral("src"),
    QStringLiteral("link"), QStringLiteral("sym"),  QStringLiteral("type"),   QStringLiteral("fix"),
    QStringLiteral("sat"),  QStringLiteral("hdop"), QStringLiteral("vdop"),   QStringLiteral("pdop"),
    QStringLiteral("ageofdgpsdata"), QStringLiteral("dgpsid"), QStringLiteral("extensions")};
const QStringList gpxSequence = {QStringLiteral("metadata"), QStringLiteral("wpt"), QStringLiteral("rte"),
                                 QStringLiteral("trk"), QStringLiteral("extensions")};

struct waypoint_t {
    QString lat;
    QString lon;
    QStringList order;
    QMap<QString, QString> values;
};

// What the schema asks of the parts we write, without a validator: one namespace, the
// root's attributes, the children's order, the coordinate and time types and ranges.
QString checkGpx(QByteArray const& data, QList<waypoint_t>* waypoints)
{
    static const QRegularExpression decimal(QStringLiteral("^-?\\d+(\\.\\d+)?$"));
    static const QRegularExpression dateTime(QStringLiteral("^\\d{4}-\\d{2}-\\d{2}T\\d{2}:\\d{2}:\\d{2}(\\.\\d+)?Z$"));
    QXmlStreamReader xml(data);
    if (!xml.readNextStartElement())
        return QStringLiteral("no root element");
    if (xml.name() != QLatin1String("gpx") || xml.namespaceUri() != gpxNs)
        return QStringLiteral("root is not gpx in the GPX 1.1 namespace");
    if (xml.attributes().value(QStringLiteral("version")) != QLatin1String("1.1"))
        return QStringLiteral("version is not 1.1");
    if (xml.attributes().value(QStringLiteral("creator")).isEmpty())
        return QStringLiteral("no creator");
    int lastTop = -1;
    while (xml.readNextStartElement()) {
        if (xml.namespaceUri() != gpxNs)
            return QStringLiteral("element outside the GPX namespace");
        const int top = gpxSequence.indexOf(xml.name().toString());
        if (top < 0 || top < lastTop || (top == lastTop && top != 1))
            return QStringLiteral("gpx child %1 out of order").arg(xml.name().toString());
        lastTop = top;
        if (xml.name() != QLatin1String("wpt")) {
            xml.skipCurrentElement();
            continue;
        }
        waypoint_t wpt;
        wpt.lat = xml.attributes().value(QStringLiteral("lat")).toString();
        wpt.lon = xml.attributes().value(QStringLiteral("lon")).toString();
        if (!decimal.match(wpt.lat).hasMatch() || !decimal.match(wpt.lon).hasMatch())
            return QStringLiteral("lat or lon is not a decimal");
        const double lat = wpt.lat.toDouble();
        const double lon = wpt.lon.toDouble();
        if (lat < -90.0 || lat > 90.0 || lon < -180.0 || lon >= 180.0)
            return QStringLiteral("lat or lon out of the schema's range");
        int last = -1;
        while (xml.readNextStartElement()) {
            if (xml.namespaceUri() != gpxNs)
                return QStringLiteral("wpt child outside the GPX namespace");
            const QString name = xml.name().toString();
            const int index = wptSequence.indexOf(name);
            if (index <= last)
                return QStringLiteral("wpt child %1 unknown, repeated or out of order").arg(name);
            last = index;
            const QString text = xml.readElementText();
            if (name == QLatin1String("ele") && !decimal.match(text).hasMatch())
                return QStringLiteral("ele is not a decimal");
            if (name == QLatin1String("time") && !dateTime.match(text).hasMatch())
                return QStringLiteral("time is not a UTC dateTime");
            wpt.order << name;
            wpt.values.insert(name, text);
        }
        if (waypoints)
            waypoints->append(wpt);
    }
    if (xml.hasError())
        return xml.errorString();
    return QString();
}

QString exportAndCheck(QString const& path, QList<waypoint_t>* waypoints)
{
    QString error;
    if (!store()->exportGpx(path, &error))
        return QStringLiteral("export failed: ") + error;
    return checkGpx(readBytes(path), waypoints);
}

} // namespace

class tst_fixManager : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void fixesSurviveReopen_data();
    void fixesSurviveReopen();
    void idsAscendAcrossReopen();
    void tornLastRecord_data();
    void tornLastRecord();
    void damagedLinesSkipped();
    void everyBitFlipDetected();
    void fullDiskRefusesFix();
    void secondWriterRefused();
    void unwritableStore_data();
    void unwritableStore();
    void refusedFix_data();
    void refusedFix();
    void unknownHeightKept();
    void fixOnDiskBeforeSignal();
    void gpxContent();
    void gpxWaypoint_data();
    void gpxWaypoint();
    void gpxUnwritable();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_path;
};

void tst_fixManager::initTestCase() { QStandardPaths::setTestModeEnabled(true); }

void tst_fixManager::init()
{
    m_dir.reset(new QTemporaryDir);
    QVERIFY(m_dir->isValid());
    m_path = m_dir->filePath(QStringLiteral("fixes.journal"));
    QVERIFY(store()->open(m_path));
    QCOMPARE(store()->count(), 0);
}

void tst_fixManager::cleanup()
{
    store()->close();
    m_dir.reset();
}

void tst_fixManager::fixesSurviveReopen_data()
{
    QTest::addColumn<double>("time");
    QTest::addColumn<double>("lon");
    QTest::addColumn<double>("lat");
    QTest::addColumn<double>("height");
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("description");

    QTest::newRow("ordinary") << 1796498625.25 << -0.0123456789012345 << 0.9876543210987654 << 42.125
                              << int(fixTypeManOverboard) << QStringLiteral("Man Overboard - 2026-12-05 19:23:45.000");
    QTest::newRow("corners") << 0.0 << -Pi << Pi / 2.0 << -0.0 << int(fixTypeManual) << QString();
    QTest::newRow("other corners") << -1.0e-9 << Pi << -Pi / 2.0 << 1.0e-300 << int(fixTypeEvent) << QStringLiteral("x");
    QTest::newRow("last bits") << std::nextafter(1796498625.1, 2.0e9) << 5.0e-324 << -1.0e-310
                               << std::nextafter(8848.0, 0.0) << int(fixTypeManual) << QStringLiteral("denormals");
    QTest::newRow("text needing escapes")
        << 1796498626.0 << 0.5 << 0.5 << 0.0 << int(fixTypeManual)
        << QString::fromUtf8("quote \" backslash \\ newline\n tab\t braces {} ü 人 \xF0\x9F\x9A\xA2 \xE2\x80\xA8");
}

void tst_fixManager::fixesSurviveReopen()
{
    QFETCH(double, time);
    QFETCH(double, lon);
    QFETCH(double, lat);
    QFETCH(double, height);
    QFETCH(int, type);
    QFETCH(QString, description);

    QVERIFY(store()->addFix(3, 1796498600.5, fixTypeManual, coordLL_t(0.1, 0.2), 1.0, QStringLiteral("before")));
    QVERIFY(store()->addFix(4000000000u, time, fixType_t(type), coordLL_t(lon, lat), height, description));
    QVERIFY(store()->addFix(5, 1796498700.5, fixTypeManual, coordLL_t(0.3, 0.4), 2.0, QStringLiteral("after")));

    QSignalSpy problems(store(), &fixManager_t::storeProblem);
    QVERIFY(store()->open(m_path));
    QCOMPARE(problems.count(), 0);
    const QList<fix_t> fixes = store()->fixes();
    QCOMPARE(fixes.size(), 3);
    QCOMPARE(fixes.at(0).description, QStringLiteral("before"));
    QCOMPARE(fixes.at(2).description, QStringLiteral("after"));
    fix_t const& fix = fixes.at(1);
    QCOMPARE(fix.id, quint64(2));
    QCOMPARE(fix.portId, 4000000000u);
    QVERIFY2(sameDouble(fix.time, time), qPrintable(QString::number(fix.time, 'g', 17)));
    QVERIFY2(sameDouble(fix.coord.lon, lon), qPrintable(QString::number(fix.coord.lon, 'g', 17)));
    QVERIFY2(sameDouble(fix.coord.lat, lat), qPrintable(QString::number(fix.coord.lat, 'g', 17)));
    QVERIFY2(sameDouble(fix.height, height), qPrintable(QString::number(fix.height, 'g', 17)));
    QCOMPARE(int(fix.type), type);
    QCOMPARE(fix.description, description);

    // one record per line, however the description looks
    const QList<QByteArray> lines = readBytes(m_path).split('\n');
    QCOMPARE(lines.size(), 4);
    QVERIFY(lines.last().isEmpty());
}

void tst_fixManager::idsAscendAcrossReopen()
{
    QVERIFY(writeBytes(m_path, goodRecord(5) + '\n' + goodRecord(2) + '\n', false));
    QVERIFY(store()->open(m_path));
    QCOMPARE(store()->count(), 2);
    QVERIFY(store()->addFix(1, 10.0, fixTypeManual, coordLL_t(0.0, 0.0), 0.0, QString()));
    QCOMPARE(store()->fixes().last().id, quint64(6));

    QVERIFY(store()->open(m_path));
    QVERIFY(store()->addFix(1, 11.0, fixTypeManual, coordLL_t(0.0, 0.0), 0.0, QString()));
    QList<quint64> ids;
    for (fix_t const& fix : store()->fixes())
        ids << fix.id;
    QCOMPARE(ids, (QList<quint64>{5, 2, 6, 7}));
}

void tst_fixManager::tornLastRecord_data()
{
    QTest::addColumn<QByteArray>("tail");
    QTest::addColumn<int>("damaged");

    const QByteArray whole = goodRecord(3);
    QTest::newRow("cut in a number") << whole.left(whole.indexOf("100.") + 2) << 1;
    QTest::newRow("cut in the description") << whole.left(whole.size() - 4) << 1;
    QTest::newRow("cut before the newline") << whole << 0;
    QTest::newRow("lone brace") << QByteArray("{") << 1;
    QTest::newRow("zeros from a lost block") << QByteArray(16, '\0') << 1;
}

void tst_fixManager::tornLastRecord()
{
    QFETCH(QByteArray, tail);
    QFETCH(int, damaged);

    QVERIFY(store()->addFix(1, 1.0, fixTypeManual, coordLL_t(0.1, 0.1), 0.0, QStringLiteral("one")));
    QVERIFY(store()->addFix(1, 2.0, fixTypeManOverboard, coordLL_t(0.2, 0.2), 0.0, QStringLiteral("two")));
    QVERIFY(writeBytes(m_path, tail, true));

    QSignalSpy problems(store(), &fixManager_t::storeProblem);
    QString message;
    QVERIFY(store()->open(m_path, &message));
    const int loaded = 2 + (damaged ? 0 : 1);
    QCOMPARE(store()->count(), loaded);
    QCOMPARE(store()->fixes().at(1).description, QStringLiteral("two"));
    QCOMPARE(problems.count(), damaged ? 1 : 0);
    if (damaged) {
        QVERIFY2(message.startsWith(QStringLiteral("1 damaged record in ") + QDir::toNativeSeparators(m_path)),
                 qPrintable(message));
        QCOMPARE(problems.first().first().toString(), message);
    }

    QVERIFY(store()->addFix(1, 3.0, fixTypeManual, coordLL_t(0.3, 0.3), 0.0, QStringLiteral("after crash")));
    const QByteArray data = readBytes(m_path);
    QVERIFY(data.endsWith('\n'));
    const QList<QByteArray> lines = data.trimmed().split('\n');
    QVERIFY(QJsonDocument::fromJson(lines.last().left(lines.last().lastIndexOf(" *"))).isObject());

    QVERIFY(store()->open(m_path));
    QCOMPARE(store()->count(), loaded + 1);
    QCOMPARE(store()->fixes().last().description, QStringLiteral("after crash"));
    QCOMPARE(store()->fixes().last().id, quint64(loaded + 1));
}

void tst_fixManager::damagedLinesSkipped()
{
    QByteArray journal;
    journal += goodRecord(1) + '\n';
    journal += "garbage \xff\xfe\n";
    journal += goodRecord(2) + "\r\n";                          // edited on Windows
    journal += "{\"id\":\n";
    journal += "\n";                                             // blank lines are not damage
    journal += "[1,2,3]\n";
    journal += "{\"id\":9,\"time\":\"noon\",\"lon\":0,\"lat\":0}\n";
    journal += goodRecord(10, 1.6) + '\n';                        // latitude beyond the pole
    journal += goodRecord(3) + '\n';
    // only time and coordinate are essential
    journal += "{\"time\":200.25,\"lon\":-0.5,\"lat\":0.25,\"id\":-3,\"port\":\"x\",\"type\":1.5,\"height\":null}\n";
    QVERIFY(writeBytes(m_path, journal, false));

    QSignalSpy problems(store(), &fixManager_t::storeProblem);
    QString message;
    QVERIFY(store()->open(m_path, &message));
    QCOMPARE(store()->count(), 4);
    QCOMPARE(store()->fixes().at(2).description, QStringLiteral("fix 3"));
    fix_t const lenient = store()->fixes().at(3);
    QCOMPARE(lenient.id, quint64(4));
    QCOMPARE(lenient.portId, 0u);
    QCOMPARE(lenient.type, fixTypeManual);
    QVERIFY(std::isnan(lenient.height));
    QCOMPARE(lenient.time, 200.25);
    QCOMPARE(problems.count(), 1);
    QVERIFY2(message.startsWith(QStringLiteral("5 damaged records in ") + QDir::toNativeSeparators(m_path)),
             qPrintable(message));
    QCOMPARE(store()->errorString(), message);
    // the next id follows the largest one read
    QVERIFY(store()->addFix(1, 1.0, fixTypeManual, coordLL_t(0.0, 0.0), 0.0, QString()));
    QCOMPARE(store()->fixes().last().id, quint64(5));
}

// Each record carries its own check: a flipped bit anywhere in a record never changes a fix,
// costs that record alone, and is counted; a flipped line end costs nothing.
void tst_fixManager::everyBitFlipDetected()
{
    for (int i = 1; i <= 3; ++i)
        QVERIFY(store()->addFix(1, 100.0 * i, fixTypeManual, coordLL_t(0.1 * i, 0.2 * i), i, QStringLiteral("fix %1").arg(i)));
    QList<fix_t> const original = store()->fixes();
    QByteArray const journal = readBytes(m_path);
    int const first = journal.indexOf('\n') + 1;
    int const second = journal.indexOf('\n', first) + 1;
    for (int at = first; at < second; ++at) {
        for (int bit = 0; bit < 8; ++bit) {
            QByteArray damaged = journal;
            damaged[at] = char(damaged[at] ^ (1 << bit));
            QVERIFY(writeBytes(m_path, damaged, false));
            QString message;
            QVERIFY(store()->open(m_path, &message));
            QList<fix_t> const loaded = store()->fixes();
            QByteArray const where = QByteArray::number(at) + '/' + QByteArray::number(bit);
            QVERIFY2(loaded.size() >= 2 && loaded.first().description == original.first().description
                         && loaded.last().description == original.last().description,
                     where);
            for (fix_t const& fix : loaded) {
                fix_t const& was = original.at(int(fix.id) - 1);
                QVERIFY2(fix.time == was.time && fix.coord.lat == was.coord.lat && fix.coord.lon == was.coord.lon
                             && fix.height == was.height && fix.description == was.description,
                         where);
            }
            // a lost record is always reported (a damaged check alone may be reported too)
            if (loaded.size() == 2)
                QVERIFY2(message.startsWith(QStringLiteral("1 damaged record")), where);
        }
    }
}

void tst_fixManager::fullDiskRefusesFix()
{
    fullDisk_t disk;
    if (!disk.isMounted())
        QSKIP("cannot mount a small file system here");
    QString const path = disk.filePath(QStringLiteral("fixes.journal"));
    QVERIFY(store()->open(path));
    QVERIFY(store()->addFix(1, 1.0, fixTypeManual, coordLL_t(0.1, 0.1), 0.0, QStringLiteral("kept")));
    QByteArray const before = readBytes(path);
    disk.fill();
    QSignalSpy problems(store(), &fixManager_t::storeProblem);
    QVERIFY(!store()->addFix(1, 2.0, fixTypeManOverboard, coordLL_t(0.2, 0.2), 0.0, QString(4096, QLatin1Char('x'))));
    QCOMPARE(problems.count(), 1);
    QVERIFY2(problems.first().first().toString().contains(QStringLiteral("No space left on device")),
             qPrintable(problems.first().first().toString()));
    QCOMPARE(readBytes(path), before);
    QVERIFY(store()->open(path));
    QCOMPARE(store()->count(), 1);
    store()->close();   // before the file system goes
}

void tst_fixManager::secondWriterRefused()
{
    QVERIFY(store()->addFix(1, 1.0, fixTypeManual, coordLL_t(0.1, 0.1), 0.0, QStringLiteral("first")));
    store()->open(m_dir->filePath(QStringLiteral("other.journal")));   // lets go of the lock
    QLockFile other(m_path + QStringLiteral(".lock"));
    QVERIFY(other.tryLock(0));
    QString message;
    QVERIFY(!store()->open(m_path, &message));
    QVERIFY2(message.contains(QStringLiteral("in use by")), qPrintable(message));
    QCOMPARE(store()->count(), 1);
    QVERIFY(!store()->addFix(1, 2.0, fixTypeManOverboard, coordLL_t(0.2, 0.2), 0.0, QString()));
    QCOMPARE(store()->count(), 1);
    other.unlock();
    QVERIFY(store()->open(m_path));
    QVERIFY(store()->addFix(1, 2.0, fixTypeManOverboard, coordLL_t(0.2, 0.2), 0.0, QString()));
}

void tst_fixManager::unwritableStore_data()
{
    QTest::addColumn<QString>("blocker");
    QTest::addColumn<QString>("storeName");

    QTest::newRow("folder is a file") << QStringLiteral("notAFolder") << QStringLiteral("notAFolder/fixes.journal");
    QTest::newRow("store is a folder") << QStringLiteral("aFolder/") << QStringLiteral("aFolder");
}

void tst_fixManager::unwritableStore()
{
    QFETCH(QString, blocker);
    QFETCH(QString, storeName);

    if (blocker.endsWith(QLatin1Char('/')))
        QVERIFY(QDir(m_dir->path()).mkpath(blocker));
    else
        QVERIFY(writeBytes(m_dir->filePath(blocker), "x", false));
    const QString path = m_dir->filePath(storeName);

    QSignalSpy problems(store(), &fixManager_t::storeProblem);
    QSignalSpy added(store(), &fixManager_t::fixAdded);
    QString message;
    QVERIFY(!store()->open(path, &message));
    QVERIFY(!message.isEmpty());
    QCOMPARE(problems.count(), 1);

    QVERIFY(!store()->addFix(1, 1.0, fixTypeManOverboard, coordLL_t(0.1, 0.1), 0.0, QStringLiteral("MOB")));
    QCOMPARE(problems.count(), 2);
    QVERIFY2(problems.last().first().toString().contains(QStringLiteral("NOT recorded")),
             qPrintable(problems.last().first().toString()));
    QCOMPARE(added.count(), 0);
    QCOMPARE(store()->count(), 0);
}

void tst_fixManager::refusedFix_data()
{
    QTest::addColumn<double>("time");
    QTest::addColumn<double>("lon");
    QTest::addColumn<double>("lat");

    QTest::newRow("NaN time") << notANumber << 0.1 << 0.1;
    QTest::newRow("infinite time") << inf << 0.1 << 0.1;
    QTest::newRow("NaN latitude") << 1.0 << 0.1 << notANumber;
    QTest::newRow("infinite longitude") << 1.0 << -inf << 0.1;
    QTest::newRow("beyond the pole") << 1.0 << 0.1 << std::nextafter(Pi / 2.0, 2.0);
    QTest::newRow("beyond the antimeridian") << 1.0 << std::nextafter(-Pi, -4.0) << 0.1;
    QTest::newRow("unset position") << 1.0 << std::numeric_limits<double>::max()
                                    << std::numeric_limits<double>::max();
}

void tst_fixManager::refusedFix()
{
    QFETCH(double, time);
    QFETCH(double, lon);
    QFETCH(double, lat);

    QSignalSpy added(store(), &fixManager_t::fixAdded);
    const QByteArray before = readBytes(m_path);
    QVERIFY(!store()->addFix(1, time, fixTypeManual, coordLL_t(lon, lat), 0.0, QString()));
    QCOMPARE(added.count(), 0);
    QCOMPARE(store()->count(), 0);
    QCOMPARE(readBytes(m_path), before);
}

void tst_fixManager::unknownHeightKept()
{
    QVERIFY(store()->addFix(1, 5.0, fixTypeManOverboard, coordLL_t(0.1, 0.1), notANumber, QString()));
    QVERIFY(store()->open(m_path));
    QCOMPARE(store()->count(), 1);
    QVERIFY(std::isnan(store()->fixes().first().height));

    QList<waypoint_t> waypoints;
    const QString error = exportAndCheck(m_dir->filePath(QStringLiteral("out.gpx")), &waypoints);
    QVERIFY2(error.isEmpty(), qPrintable(error));
    QCOMPARE(waypoints.size(), 1);
    QVERIFY(!waypoints.first().order.contains(QStringLiteral("ele")));
}

void tst_fixManager::fixOnDiskBeforeSignal()
{
    int onDisk = -1;
    QMetaObject::Connection connection =
        connect(store(), &fixManager_t::fixAdded, this, [&](fix_t const& fix) {
            onDisk = 0;
            for (QByteArray const& line : readBytes(m_path).split('\n')) {
                const QJsonObject object = QJsonDocument::fromJson(line.left(line.lastIndexOf(" *"))).object();
                if (object.value(QStringLiteral("id")).toDouble() == double(fix.id))
                    ++onDisk;
            }
        });
    const bool added = store()->addFix(1, 1.0, fixTypeManOverboard, coordLL_t(0.1, 0.1), 0.0, QString());
    disconnect(connection);
    QVERIFY(added);
    QCOMPARE(onDisk, 1);
}

void tst_fixManager::gpxContent()
{
    const double time = double(QDateTime(QDate(2026, 12, 5), QTime(19, 23, 45, 250), Qt::UTC).toMSecsSinceEpoch()) / 1000.0;
    QVERIFY(store()->addFix(7, time, fixTypeManOverboard, coordLL_t(-2.0, 0.5), 12.5,
                            QStringLiteral("Man Overboard - 2026-12-05")));
    // XML 1.0 cannot carry most control characters nor half a surrogate pair
    QString description = QString::fromLatin1("rocks\x01 <&> \"here\"\x1f");
    description += QChar(0xFFFE);
    description += QChar(0xD800);
    QVERIFY(store()->addFix(8, time + 60.0, fixTypeManual, coordLL_t(0.25, -0.75), -3.25, description));
    QVERIFY(store()->addFix(8, time + 61.0, fixTypeEvent, coordLL_t(0.0, 0.0), 0.0, QString()));

    QList<waypoint_t> waypoints;
    const QString path = m_dir->filePath(QStringLiteral("fixes.gpx"));
    const QString error = exportAndCheck(path, &waypoints);
    QVERIFY2(error.isEmpty(), qPrintable(error));
    QCOMPARE(waypoints.size(), 3);

    QXmlStreamReader root(readBytes(path));
    QVERIFY(root.readNextStartElement());
    QCOMPARE(root.attributes().value(QStringLiteral("creator")).toString(), QStringLiteral("orvane"));

    waypoint_t const& mob = waypoints.at(0);
    QCOMPARE(mob.lat, QString::number(0.5 * 180.0 / Pi, 'f', 9));
    QCOMPARE(mob.lon, QString::number(-2.0 * 180.0 / Pi, 'f', 9));
    QCOMPARE(mob.order, (QStringList{QStringLiteral("ele"), QStringLiteral("time"), QStringLiteral("name"),
                                     QStringLiteral("desc"), QStringLiteral("src"), QStringLiteral("sym"),
                                     QStringLiteral("type")}));
    QVERIFY(std::fabs(mob.values.value(QStringLiteral("ele")).toDouble() - 12.5) < 1e-9);
    QCOMPARE(mob.values.value(QStringLiteral("time")), QStringLiteral("2026-12-05T19:23:45.250Z"));
    QCOMPARE(mob.values.value(QStringLiteral("name")), QStringLiteral("MOB 1"));
    QCOMPARE(mob.values.value(QStringLiteral("desc")), QStringLiteral("Man Overboard - 2026-12-05"));
    QCOMPARE(mob.values.value(QStringLiteral("sym")), QStringLiteral("Man Overboard"));

    waypoint_t const& manual = waypoints.at(1);
    QCOMPARE(manual.values.value(QStringLiteral("name")), QStringLiteral("Fix 2"));
    QCOMPARE(manual.values.value(QStringLiteral("desc")), QStringLiteral("rocks <&> \"here\""));
    QCOMPARE(manual.values.value(QStringLiteral("sym")), QStringLiteral("Waypoint"));
    QCOMPARE(manual.values.value(QStringLiteral("time")), QStringLiteral("2026-12-05T19:24:45.250Z"));

    // no empty desc for a fix without one
    QVERIFY(!waypoints.at(2).order.contains(QStringLiteral("desc")));
}

void tst_fixManager::gpxWaypoint_data()
{
    QTest::addColumn<double>("lon");
    QTest::addColumn<double>("lat");
    QTest::addColumn<double>("time");
    QTest::addColumn<QString>("gpxLon");
    QTest::addColumn<QString>("gpxLat");
    QTest::addColumn<QString>("gpxTime");

    const QString t0 = QStringLiteral("2026-12-05T19:23:45.250Z");
    QTest::newRow("east limit") << Pi << Pi / 2.0 << 1796498625.25 << QStringLiteral("-180.000000000")
                                << QStringLiteral("90.000000000") << t0;
    QTest::newRow("west limit") << -Pi << -Pi / 2.0 << 1796498625.25 << QStringLiteral("-180.000000000")
                                << QStringLiteral("-90.000000000") << t0;
    QTest::newRow("rounds up to the antimeridian") << (180.0 - 1e-10) * Pi / 180.0 << 0.0 << 1796498625.9996
                                                   << QStringLiteral("-180.000000000") << QStringLiteral("0.000000000")
                                                   << QStringLiteral("2026-12-05T19:23:46.000Z");
    QTest::newRow("tiny negatives") << -1e-13 << -1e-13 << -0.5 << QStringLiteral("0.000000000")
                                    << QStringLiteral("0.000000000") << QStringLiteral("1969-12-31T23:59:59.500Z");
    QTest::newRow("nine decimals, year beyond 9999") << 10.123456789 * Pi / 180.0 << -45.000000001 * Pi / 180.0
                                                     << 1.0e12 << QStringLiteral("10.123456789")
                                                     << QStringLiteral("-45.000000001") << QString();
}

void tst_fixManager::gpxWaypoint()
{
    QFETCH(double, lon);
    QFETCH(double, lat);
    QFETCH(double, time);
    QFETCH(QString, gpxLon);
    QFETCH(QString, gpxLat);
    QFETCH(QString, gpxTime);

    QVERIFY(store()->addFix(1, time, fixTypeManual, coordLL_t(lon, lat), 0.0, QString()));
    QList<waypoint_t> waypoints;
    const QString error = exportAndCheck(m_dir->filePath(QStringLiteral("c.gpx")), &waypoints);
    QVERIFY2(error.isEmpty(), qPrintable(error));
    QCOMPARE(waypoints.size(), 1);
    QCOMPARE(waypoints.first().lon, gpxLon);
    QCOMPARE(waypoints.first().lat, gpxLat);
    QCOMPARE(waypoints.first().values.value(QStringLiteral("time")), gpxTime);
}

void tst_fixManager::gpxUnwritable()
{
    QVERIFY(store()->addFix(1, 1.0, fixTypeManual, coordLL_t(0.1, 0.1), 0.0, QString()));
    QVERIFY(writeBytes(m_dir->filePath(QStringLiteral("file")), "x", false));
    QString message;
    QVERIFY(!store()->exportGpx(m_dir->filePath(QStringLiteral("file/out.gpx")), &message));
    QVERIFY(!message.isEmpty());
}

QTEST_MAIN(tst_fixManager)
#include "tst_fixManager.moc"
