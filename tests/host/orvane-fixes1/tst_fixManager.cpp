#include "orvane/fixes/fixManager.h"

#include <belrix_common_qt/navConstants.h>

#include "fullDisk.h"
#include "testFiles.h"

#include <QtTest>

#include <cmath>
#include <limits>
#include <memory>

using namespace orvane::fixes;
using belrix_common_qt::Pi;
using tolvgeodesy::coordLL_t;

namespace {

constexpr double NaN = std::numeric_limits<double>::quiet_NaN();

fixManager_t* store() { return fixManager_t::instance(); }

// Round trips must give back the very same double, NaN included.
bool sameDouble(double a, double b) { return a == b || (std::isnan(a) && std::isnan(b)); }

QByteArray goodRecord(int id, double lat = 0.2)
{
    return QStringLiteral("{\"id\":%1,\"port\":2,\"time\":100.5,\"type\":1,\"lon\":0.1,\"lat\":%2,\"height\":3,"
                          "\"description\":\"fix %1\"}")
        .arg(id)
        .arg(lat, 0, 'g', 17)
        .toUtf8();
}

using waypoint_t = QMap<QString, QString>;   // child texts, "@lat", "@lon" and "order"

// Exports the store and reads back its waypoints, checking what the GPX 1.1 schema asks of
// them: one namespace, version 1.1, children known and in the schema's order.
QString exportWaypoints(QString const& path, QList<waypoint_t>& waypoints)
{
    static const QStringList sequence = {"ele",  "time", "magvar", "geoidheight", "name", "cmt", "desc",
                                         "src",  "link", "sym",    "type",        "fix",  "sat", "hdop"};
    const QString ns = QStringLiteral("http://www.topografix.com/GPX/1/1");
    QString error;
    if (!store()->exportGpx(path, &error))
        return error;
    QXmlStreamReader xml(readFile(path));
    if (!xml.readNextStartElement() || xml.name() != QLatin1String("gpx") || xml.namespaceUri() != ns
        || xml.attributes().value("version") != QLatin1String("1.1")
        || xml.attributes().value("creator") != QLatin1String("orvane"))
        return QStringLiteral("not a GPX 1.1 root");
    while (xml.readNextStartElement()) {
        if (xml.name() == QLatin1String("metadata") && waypoints.isEmpty()) {
            xml.skipCurrentElement();
            continue;
        }
        if (xml.name() != QLatin1String("wpt") || xml.namespaceUri() != ns)
            return QStringLiteral("unexpected ") + xml.name().toString();
        waypoint_t wpt{{"@lat", xml.attributes().value("lat").toString()},
                       {"@lon", xml.attributes().value("lon").toString()}};
        QStringList order;
        while (xml.readNextStartElement()) {
            const QString name = xml.name().toString();
            if (sequence.indexOf(name) <= sequence.indexOf(order.value(order.size() - 1)) || xml.namespaceUri() != ns)
                return QStringLiteral("waypoint child %1 unknown or out of order").arg(name);
            order << name;
            wpt.insert(name, xml.readElementText());
        }
        wpt.insert("order", order.join(' '));
        waypoints << wpt;
    }
    return xml.errorString();
}

} // namespace

// A fix with every field at a value that is easy to lose on the way to disk and back.
struct stored_t { double time, lon, lat, height; QString description; };
Q_DECLARE_METATYPE(stored_t)

// What is written after two good records, the fixes then loaded, and the start of the message.
struct reload_t { QByteArray tail; int loaded; QString message; };
Q_DECLARE_METATYPE(reload_t)

struct bad_t { double time, lon, lat; };
Q_DECLARE_METATYPE(bad_t)

class tst_fixManager : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_dir.reset(new QTemporaryDir);
        m_path = m_dir->filePath(QStringLiteral("fixes.journal"));
        QVERIFY(store()->open(m_path));
        QCOMPARE(store()->count(), 0);
    }
    void cleanup()
    {
        store()->close();   // and its lock, before the folder goes
        m_dir.reset();
    }

    void fixesSurviveReopen_data()
    {
        QTest::addColumn<stored_t>("f");
        QTest::newRow("every bit")
            << stored_t{std::nextafter(1796498625.1, 2.0e9), -0.0123456789012345, -1.0e-310, 42.125,
                        QStringLiteral("Man Overboard - 2026-12-05 19:23:45.000")};
        QTest::newRow("corners, unknown height") << stored_t{0.0, -Pi, Pi / 2.0, NaN, QString()};
        QTest::newRow("text needing escapes")
            << stored_t{1796498626.0, 0.5, 0.5, -0.0,
                        QString::fromUtf8("quote \" backslash \\ newline\n tab\t {} ü 人 \xF0\x9F\x9A\xA2 \xE2\x80\xA8")};
    }
    void fixesSurviveReopen()
    {
        QFETCH(stored_t, f);
        QVERIFY(store()->addFix(3, 1796498600.5, fixTypeManual, coordLL_t(0.1, 0.2), 1.0, QStringLiteral("before")));
        // the record is on disk before anyone hears of it
        int onDisk = 0;
        auto connection = connect(store(), &fixManager_t::fixAdded, this, [&](fix_t const& added) {
            for (QByteArray const& line : readFile(m_path).split('\n'))
                onDisk += QJsonDocument::fromJson(line.left(line.lastIndexOf(" *"))).object().value("id").toDouble() == double(added.id);
        });
        QVERIFY(store()->addFix(4000000000u, f.time, fixTypeManOverboard, coordLL_t(f.lon, f.lat), f.height,
                                f.description));
        disconnect(connection);
        QCOMPARE(onDisk, 1);
        QVERIFY(store()->addFix(5, 1796498700.5, fixTypeEvent, coordLL_t(0.3, 0.4), 2.0, QStringLiteral("after")));

        QSignalSpy problems(store(), &fixManager_t::storeProblem);
        QVERIFY(store()->open(m_path));
        QCOMPARE(problems.count(), 0);
        QCOMPARE(store()->count(), 3);
        QCOMPARE(store()->fixes().at(2).description, QStringLiteral("after"));
        fix_t const fix = store()->fixes().at(1);
        QCOMPARE(fix.id, quint64(2));
        QCOMPARE(fix.portId, 4000000000u);
        QCOMPARE(fix.type, fixTypeManOverboard);
        QVERIFY(sameDouble(fix.time, f.time) && sameDouble(fix.coord.lon, f.lon) && sameDouble(fix.coord.lat, f.lat));
        QVERIFY(sameDouble(fix.height, f.height));
        QCOMPARE(fix.description, f.description);
        // one record per line, however the description looks
        QCOMPARE(readFile(m_path).count('\n'), 3);
    }

    void journalReloads_data()
    {
        QTest::addColumn<reload_t>("r");
        const QByteArray whole = goodRecord(3);
        QTest::newRow("crash in a number")
            << reload_t{whole.left(whole.indexOf("100.") + 2), 2, "1 damaged record in "};
        QTest::newRow("crash before the newline") << reload_t{whole, 3, QString()};
        QTest::newRow("zeros from a lost block") << reload_t{QByteArray(16, '\0'), 2, "1 damaged record in "};
        QTest::newRow("damaged lines between good ones")
            << reload_t{"\ngarbage \xff\xfe\n" + goodRecord(4) + "\r\n\n[1,2,3]\n{\"id\":9,\"time\":\"noon\",\"lon\":0,\"lat\":0}\n"
                            + goodRecord(10, 1.6) + "\n{\"time\":200.25,\"lon\":-0.5,\"lat\":0.25,\"id\":-3,\"port\":\"x\","
                            "\"type\":1.5,\"height\":null}\n",
                        4, "4 damaged records in "};
    }
    void journalReloads()
    {
        QFETCH(reload_t, r);
        QVERIFY(store()->addFix(1, 1.0, fixTypeManual, coordLL_t(0.1, 0.1), 0.0, QStringLiteral("one")));
        QVERIFY(store()->addFix(1, 2.0, fixTypeManual, coordLL_t(0.2, 0.2), 0.0, QStringLiteral("two")));
        QVERIFY(writeFile(m_path, r.tail, true));
        QSignalSpy problems(store(), &fixManager_t::storeProblem);
        QString said;
        QVERIFY(store()->open(m_path, &said));
        QCOMPARE(store()->count(), r.loaded);
        QCOMPARE(problems.count(), r.message.isEmpty() ? 0 : 1);
        QVERIFY2(r.message.isEmpty() ? said.isEmpty() : said.startsWith(r.message + QDir::toNativeSeparators(m_path)),
                 qPrintable(said));
        QCOMPARE(store()->errorString(), said);
        if (r.loaded == 4) {   // only time and coordinate are essential
            fix_t const lenient = store()->fixes().at(3);
            QVERIFY(lenient.id == 5 && lenient.portId == 0 && lenient.type == fixTypeManual);
            QVERIFY(std::isnan(lenient.height));
        }
        // the next record starts on a line of its own, after the largest id read
        QVERIFY(store()->addFix(1, 3.0, fixTypeManual, coordLL_t(0.3, 0.3), 0.0, QStringLiteral("after")));
        const quint64 id = store()->fixes().last().id;
        QCOMPARE(id, quint64(r.loaded == 4 ? 6 : r.loaded + 1));
        QVERIFY(store()->open(m_path));
        QCOMPARE(store()->count(), r.loaded + 1);
        QCOMPARE(store()->fixes().last().id, id);
    }

    // Each record carries its own check: a flipped bit anywhere in a record never changes a fix,
    // costs that record alone, and is counted; a flipped line end costs nothing.
    void everyBitFlipDetected()
    {
        for (int i = 1; i <= 3; ++i)
            QVERIFY(store()->addFix(1, 100.0 * i, fixTypeManual, coordLL_t(0.1 * i, 0.2 * i), i, QStringLiteral("fix %1").arg(i)));
        QList<fix_t> const original = store()->fixes();
        QByteArray const journal = readFile(m_path);
        int const first = journal.indexOf('\n') + 1;
        int const second = journal.indexOf('\n', first) + 1;
        for (int at = first; at < second; ++at) {
            for (int bit = 0; bit < 8; ++bit) {
                QByteArray damaged = journal;
                damaged[at] = char(damaged[at] ^ (1 << bit));
                QVERIFY(writeFile(m_path, damaged, false));
                QString message;
                QVERIFY(store()->open(m_path, &message));
                QList<fix_t> const loaded = store()->fixes();
                QByteArray const where = QByteArray::number(at) + '/' + QByteArray::number(bit);
                QVERIFY2(loaded.size() >= 2 && loaded.first().id == 1 && loaded.last().id == 3, where);
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

    // a fix the store cannot take is held, listed unsaved, and written once it can be
    void fullDiskHoldsFixUntilWritable()
    {
        fullDisk_t disk;
        if (!disk.isMounted())
            QSKIP("cannot mount a small file system here");
        QString const path = disk.filePath(QStringLiteral("fixes.journal"));
        QVERIFY(store()->open(path));
        QVERIFY(store()->addFix(1, 1.0, fixTypeManual, coordLL_t(0.1, 0.1), 0.0, QStringLiteral("kept")));
        QByteArray const before = readFile(path);
        disk.fill();
        QSignalSpy added(store(), &fixManager_t::fixAdded);
        QSignalSpy saved(store(), &fixManager_t::fixSaved);
        QVERIFY(store()->addFix(1, 2.0, fixTypeManOverboard, coordLL_t(0.2, 0.2), 0.0, QString(4096, QLatin1Char('x'))));
        QVERIFY(!added.value(0).value(0).value<fix_t>().saved);
        QCOMPARE(store()->unsavedCount(), 1);
        QVERIFY2(store()->errorString().contains(QStringLiteral("No space left on device")),
                 qPrintable(store()->errorString()));
        QCOMPARE(readFile(path), before);
        auto* retry = store()->findChild<QTimer*>(QStringLiteral("retryTimer"));
        QVERIFY(retry->isActive());
        QMetaObject::invokeMethod(retry, "timeout");   // still full: still held
        QCOMPARE(store()->unsavedCount(), 1);
        disk.release();
        QMetaObject::invokeMethod(retry, "timeout");
        QCOMPARE(saved.count(), 1);
        QVERIFY(!retry->isActive());
        QVERIFY(store()->open(path));
        QCOMPARE(store()->count(), 2);
        QCOMPARE(store()->fixes().last().type, fixTypeManOverboard);
        store()->close();   // before the file system goes
    }

    // a second program on the store: fixes wait, then follow the other program's
    void secondWriterHoldsFixes()
    {
        QVERIFY(store()->addFix(1, 1.0, fixTypeManual, coordLL_t(0.1, 0.1), 0.0, QStringLiteral("first")));
        store()->open(m_dir->filePath(QStringLiteral("other.journal")));   // lets go of the lock
        QLockFile other(m_path + QStringLiteral(".lock"));
        QVERIFY(other.tryLock(0));
        QString message;
        QVERIFY(!store()->open(m_path, &message));
        QVERIFY2(message.contains(QStringLiteral("in use by")), qPrintable(message));
        QVERIFY(store()->addFix(1, 2.0, fixTypeManOverboard, coordLL_t(0.2, 0.2), 0.0, QStringLiteral("held")));
        QCOMPARE(store()->unsavedCount(), 1);
        QVERIFY(store()->errorString().contains(QStringLiteral("in use by")));
        // meanwhile the other program records a fix of its own under the next id
        QVERIFY(writeFile(m_path, "{\"id\":2,\"time\":1.5,\"lon\":0.1,\"lat\":0.1}\n", true));
        QVERIFY(!store()->writeUnsaved());
        other.unlock();
        QVERIFY(store()->writeUnsaved());
        QVERIFY(store()->open(m_path));
        QList<quint64> ids;
        for (fix_t const& fix : store()->fixes())
            ids << fix.id;
        QCOMPARE(ids, (QList<quint64>{1, 2, 3}));
        QCOMPARE(store()->fixes().last().description, QStringLiteral("held"));
    }

    void badFixRefused_data()
    {
        QTest::addColumn<bad_t>("b");
        QTest::newRow("NaN time") << bad_t{NaN, 0.1, 0.1};
        QTest::newRow("beyond the pole") << bad_t{1.0, 0.1, std::nextafter(Pi / 2.0, 2.0)};
        QTest::newRow("beyond the antimeridian") << bad_t{1.0, std::nextafter(-Pi, -4.0), 0.1};
    }
    void badFixRefused()
    {
        QFETCH(bad_t, b);
        QSignalSpy added(store(), &fixManager_t::fixAdded);
        QVERIFY(!store()->addFix(1, b.time, fixTypeManOverboard, coordLL_t(b.lon, b.lat), 0.0, QStringLiteral("MOB")));
        QCOMPARE(added.count() + store()->count(), 0);
        QVERIFY(readFile(m_path).isEmpty());
    }

    // a store that cannot be opened says so, and still never drops a fix
    void unusableStoreHoldsFixes()
    {
        QVERIFY(writeFile(m_dir->filePath(QStringLiteral("file")), "x", false));
        QSignalSpy problems(store(), &fixManager_t::storeProblem);
        QString message;
        QVERIFY(!store()->open(m_dir->filePath(QStringLiteral("file/fixes.journal")), &message));
        QVERIFY(!message.isEmpty());
        QVERIFY(store()->addFix(1, 1.0, fixTypeManOverboard, coordLL_t(0.1, 0.1), 0.0, QStringLiteral("MOB")));
        QCOMPARE(problems.count(), 1);
        // pointed at a good store, the held fix goes into it
        QVERIFY(store()->open(m_path));
        QCOMPARE(store()->unsavedCount(), 0);
        QVERIFY(readFile(m_path).contains("\"MOB\""));
    }

    void gpxContent()
    {
        const double time = 1796498625.25;
        QVERIFY(store()->addFix(7, time, fixTypeManOverboard, coordLL_t(-2.0, 0.5), 12.5, QStringLiteral("MOB here")));
        // XML 1.0 cannot carry most control characters nor half a surrogate pair
        const QString description = QString::fromLatin1("rocks\x01 <&> \"here\"\x1f") + QChar(0xFFFE) + QChar(0xD800);
        QVERIFY(store()->addFix(8, time + 60.0, fixTypeManual, coordLL_t(0.25, -0.75), -3.25, description));
        QVERIFY(store()->addFix(8, time + 61.0, fixTypeEvent, coordLL_t(0.0, 0.0), NaN, QString()));
        // coordinates and times at the edges of what GPX writes
        struct { double lon, lat, time; const char* gpx; } const edges[] = {
            {(180.0 - 1e-10) * Pi / 180.0, 0.0, 1796498625.9996, "-180.000000000 0.000000000 2026-12-05T19:23:46.000Z"},
            {-1e-13, -1e-13, -0.5, "0.000000000 0.000000000 1969-12-31T23:59:59.500Z"},
            {10.123456789 * Pi / 180.0, -45.000000001 * Pi / 180.0, 1.0e12, "10.123456789 -45.000000001 "},   // year > 9999
        };
        for (auto const& edge : edges)
            QVERIFY(store()->addFix(1, edge.time, fixTypeManual, coordLL_t(edge.lon, edge.lat), 0.0, QString()));

        QList<waypoint_t> waypoints;
        const QString error = exportWaypoints(m_dir->filePath(QStringLiteral("fixes.gpx")), waypoints);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        QCOMPARE(waypoints.size(), 6);
        for (int i = 0; i < 3; ++i) {
            waypoint_t const& edge = waypoints.at(3 + i);
            QCOMPARE(edge.value("@lon") + ' ' + edge.value("@lat") + ' ' + edge.value("time"), QString(edges[i].gpx));
        }
        waypoint_t const& mob = waypoints.at(0);
        QCOMPARE(mob.value("order"), QStringLiteral("ele time name desc src sym type"));
        QCOMPARE(mob.value("ele").toDouble(), 12.5);
        QCOMPARE(mob.value("time"), QStringLiteral("2026-12-05T19:23:45.250Z"));
        QCOMPARE(mob.value("name") + '|' + mob.value("sym"), QStringLiteral("MOB 1|Man Overboard"));
        QCOMPARE(waypoints.at(1).value("name") + '|' + waypoints.at(1).value("sym"), QStringLiteral("Fix 2|Waypoint"));
        QCOMPARE(waypoints.at(1).value("desc"), QStringLiteral("rocks <&> \"here\""));
        // no empty desc, no unknown height
        QCOMPARE(waypoints.at(2).value("order"), QStringLiteral("time name src sym type"));

        QString message;
        QVERIFY(!store()->exportGpx(m_dir->filePath(QStringLiteral("fixes.journal/out.gpx")), &message));
        QVERIFY(!message.isEmpty());
    }

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_path;
};

QTEST_MAIN(tst_fixManager)
#include "tst_fixManager.moc"
