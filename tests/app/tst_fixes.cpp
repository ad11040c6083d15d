#include "windows/fixesWindow.h"
#include "windows/mainWindow.h"
#include "application/orvaneApplication.h"

#include <belrix_common_qt/dataClock.h>
#include <belrix_common_qt/textFormat.h>
#include <belrix_common_qt_gui/guiSettings.h>
#include <orvane/device.h>
#include <orvane/fixes/fixManager.h>

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QStatusBar>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <QtTest>

#include <csignal>
#include <cstdio>
#include <memory>

using orvane::app::fixesWindow_t;
using orvane::app::orvaneApplication_t;
using orvane::fixes::fixManager_t;

namespace {

const char* const ChildOption = "--record-man-overboard-then-die";
const QString GpxNs = QStringLiteral("http://www.topografix.com/GPX/1/1");

fixesWindow_t* fixesWindowOf(orvaneApplication_t const& app)
{
    for (orvane::orvaneDialog_t* window : app.applicationWindows()) {
        if (auto* fixes = qobject_cast<fixesWindow_t*>(window))
            return fixes;
    }
    return nullptr;
}

QTableWidget* tableOf(fixesWindow_t* window) { return window->findChild<QTableWidget*>(QStringLiteral("fixTable")); }

bool pressF10(orvane::device_t* device)
{
    device->showDevice();
    if (!QTest::qWaitForWindowActive(device))
        return false;
    QTest::keyClick(device, Qt::Key_F10);
    return true;
}

// The application records one man-overboard fix from a receiver window and is killed at
// once, as by a power cut: no destructor, no flush, no save on the way out.
int recordThenDie(QString const& dir)
{
    int argc = 1;
    char name[] = "child";
    char* argv[] = {name, nullptr};
    QApplication application(argc, argv);
    QStandardPaths::setTestModeEnabled(true);
    orvaneApplication_t::options_t options;
    options.configPath = QDir(dir).filePath(QStringLiteral("orvane.conf"));
    options.fixesPath = QDir(dir).filePath(QStringLiteral("fixes.journal"));
    auto* app = new orvaneApplication_t(options);
    if (!app->start())
        return 3;
    if (!pressF10(app->devices().first()) || fixManager_t::instance()->count() != 1)
        return 4;
    std::fflush(nullptr);
#ifdef Q_OS_UNIX
    std::raise(SIGKILL);
#endif
    std::abort();
}

struct waypoint_t {
    double lat = 0.0;
    double lon = 0.0;
    QMap<QString, QString> values;
};

// What a GPX reader needs: the 1.1 root in its namespace and well-formed waypoints.
QString readGpx(QString const& path, QList<waypoint_t>& waypoints)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("cannot open");
    QXmlStreamReader xml(&file);
    if (!xml.readNextStartElement() || xml.name() != QLatin1String("gpx") || xml.namespaceUri() != GpxNs)
        return QStringLiteral("no GPX 1.1 root");
    if (xml.attributes().value(QStringLiteral("version")) != QLatin1String("1.1"))
        return QStringLiteral("not version 1.1");
    while (xml.readNextStartElement()) {
        if (xml.name() != QLatin1String("wpt")) {
            xml.skipCurrentElement();
            continue;
        }
        waypoint_t wpt;
        bool latOk = false;
        bool lonOk = false;
        wpt.lat = xml.attributes().value(QStringLiteral("lat")).toString().toDouble(&latOk);
        wpt.lon = xml.attributes().value(QStringLiteral("lon")).toString().toDouble(&lonOk);
        if (!latOk || !lonOk)
            return QStringLiteral("waypoint without a position");
        while (xml.readNextStartElement())
            wpt.values.insert(xml.name().toString(), xml.readElementText());
        waypoints.append(wpt);
    }
    return xml.hasError() ? xml.errorString() : QString();
}

} // namespace

class tst_fixes : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_dir;

    QString path(QString const& name) const { return m_dir->filePath(name); }

    orvaneApplication_t::options_t snapshotOptions() const
    {
        orvaneApplication_t::options_t options;
        options.snapshotDir = path(QStringLiteral("snapshots"));
        options.fixesPath = path(QStringLiteral("fixes.journal"));
        options.runFor = 2;
        return options;
    }

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void init() { m_dir.reset(new QTemporaryDir); }
    void cleanup()
    {
        m_dir.reset();
        belrix_common_qt::dataClock_t::useSystemTime();
    }

    void f10RecordsAndShowsTheFix()
    {
        orvaneApplication_t::options_t options;
        options.configPath = path(QStringLiteral("orvane.conf"));
        options.fixesPath = path(QStringLiteral("fixes.journal"));
        orvaneApplication_t app(options);
        QVERIFY(app.start());
        fixesWindow_t* window = fixesWindowOf(app);
        QVERIFY(window);
        QCOMPARE(tableOf(window)->rowCount(), 0);

        orvane::device_t* receiver = app.devices().first();
        QVERIFY(pressF10(receiver));
        QCOMPARE(fixManager_t::instance()->count(), 1);
        QTableWidget* table = tableOf(window);
        QCOMPARE(table->rowCount(), 1);
        QCOMPARE(table->item(0, fixesWindow_t::columnType)->text(), QStringLiteral("Man Overboard"));
        QCOMPARE(table->item(0, fixesWindow_t::columnDevice)->text(), receiver->deviceDescription());
        QVERIFY(table->item(0, fixesWindow_t::columnDescription)->text().startsWith(QStringLiteral("Man Overboard - ")));
        QVERIFY(table->item(0, fixesWindow_t::columnHeight)->text().endsWith(QStringLiteral(" m")));
        const QString status = app.mainWindow()->statusBar()->currentMessage();
        QVERIFY2(status.startsWith(QStringLiteral("Man Overboard recorded from ") + receiver->deviceDescription()),
                 qPrintable(status));

        // the newest fix stands first
        QVERIFY(pressF10(app.devices().at(1)));
        QCOMPARE(table->rowCount(), 2);
        QCOMPARE(table->item(0, fixesWindow_t::columnDevice)->text(), app.devices().at(1)->deviceDescription());

        // the lat/lon format is the user's, and follows a change at once
        auto* gui = belrix_common_qt_gui::guiSettings_t::get();
        const belrix_common_qt::latLonFormat_t before = gui->latLonFormat();
        for (auto format : {belrix_common_qt::latLonFormatDegrees, belrix_common_qt::latLonFormatDegreesMinutesSeconds}) {
            gui->setLatLonFormat(format);
            belrix_common_qt::latLonStringOptions_t latLon;
            latLon.format = format;
            const orvane::fixes::fix_t newest = fixManager_t::instance()->fixes().last();
            QCOMPARE(table->item(0, fixesWindow_t::columnLatitude)->text(),
                     belrix_common_qt::latitudeString(newest.coord.lat, latLon));
            QCOMPARE(table->item(0, fixesWindow_t::columnLongitude)->text(),
                     belrix_common_qt::longitudeString(newest.coord.lon, latLon));
        }
        gui->setLatLonFormat(before);
    }

    void fixSurvivesAKillAndIsExported()
    {
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        child.setProcessEnvironment(env);
        child.start(QCoreApplication::applicationFilePath(), {QString::fromLatin1(ChildOption), m_dir->path()});
        QVERIFY(child.waitForFinished(60000));
        QVERIFY2(child.exitStatus() == QProcess::CrashExit,
                 qPrintable(QStringLiteral("child exited with %1: %2")
                                .arg(child.exitCode())
                                .arg(QString::fromLocal8Bit(child.readAllStandardError()))));

        // started again on the same store, the application shows the fix
        orvaneApplication_t app(snapshotOptions());
        QVERIFY(app.start());
        QCOMPARE(fixManager_t::instance()->count(), 1);
        fixesWindow_t* window = fixesWindowOf(app);
        QTableWidget* table = tableOf(window);
        QCOMPARE(table->rowCount(), 1);
        QCOMPARE(table->item(0, fixesWindow_t::columnType)->text(), QStringLiteral("Man Overboard"));
        QCOMPARE(table->item(0, fixesWindow_t::columnDevice)->text(), QStringLiteral("GNSS 1"));
        QVERIFY(!window->findChild<QLabel*>(QStringLiteral("problemLabel"))->isVisibleTo(window));

        const QString gpx = path(QStringLiteral("fixes.gpx"));
        QVERIFY(window->exportGpxTo(gpx));
        QList<waypoint_t> waypoints;
        const QString error = readGpx(gpx, waypoints);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        QCOMPARE(waypoints.size(), 1);
        // the simulated vessel is in the Kattegat
        QVERIFY2(waypoints.first().lat > 56.0 && waypoints.first().lat < 59.0, qPrintable(QString::number(waypoints.first().lat)));
        QVERIFY2(waypoints.first().lon > 10.0 && waypoints.first().lon < 13.0, qPrintable(QString::number(waypoints.first().lon)));
        QCOMPARE(waypoints.first().values.value(QStringLiteral("name")), QStringLiteral("MOB 1"));
        QVERIFY(waypoints.first().values.value(QStringLiteral("desc")).startsWith(QStringLiteral("Man Overboard - ")));

        const QString xmllint = QStandardPaths::findExecutable(QStringLiteral("xmllint"));
        if (!xmllint.isEmpty()) {
            QProcess lint;
            lint.start(xmllint, {QStringLiteral("--noout"), gpx});
            QVERIFY(lint.waitForFinished(30000));
            QVERIFY2(lint.exitCode() == 0, lint.readAllStandardError().constData());
        }
    }

    void damagedStoreIsReported_data()
    {
        QTest::addColumn<QByteArray>("journal");
        QTest::addColumn<int>("fixes");
        QTest::addColumn<QString>("problem");
        const QByteArray good = "{\"id\":1,\"port\":1,\"time\":1796498625.5,\"type\":1,\"lon\":0.2,\"lat\":1.0,"
                                "\"height\":12.5,\"description\":\"Man Overboard - 2026-12-05 19:23:45.000\"}\n";
        QTest::newRow("truncated last record") << good + "{\"id\":2,\"port\":1,\"ti" << 1 << "damaged record";
        QTest::newRow("store is a folder") << QByteArray() << 0 << "is a folder";
    }

    void damagedStoreIsReported()
    {
        QFETCH(QByteArray, journal);
        QFETCH(int, fixes);
        QFETCH(QString, problem);
        orvaneApplication_t::options_t options = snapshotOptions();
        if (journal.isEmpty()) {
            QVERIFY(QDir().mkpath(options.fixesPath));
        } else {
            QFile file(options.fixesPath);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(journal);
        }
        orvaneApplication_t app(options);
        QVERIFY(app.start());
        fixesWindow_t* window = fixesWindowOf(app);
        QCOMPARE(tableOf(window)->rowCount(), fixes);
        auto* label = window->findChild<QLabel*>(QStringLiteral("problemLabel"));
        QVERIFY(label->isVisibleTo(window));
        QVERIFY2(label->text().contains(problem), qPrintable(label->text()));
    }

    void snapshotsIncludeTheFixesWindow()
    {
        orvaneApplication_t app(snapshotOptions());
        QVERIFY(app.start());
        QCOMPARE(app.runSnapshots(), 0);
        QImage image(QDir(path(QStringLiteral("snapshots"))).filePath(QStringLiteral("window-fixes.png")));
        QVERIFY(!image.isNull());
        // the main window's "Windows" menu offers it
        QStringList entries;
        for (QAction* action : app.mainWindow()->findChildren<QAction*>())
            entries << action->text();
        QVERIFY(entries.contains(QStringLiteral("Fixes")));
    }

    void snapshotsDoNotTouchTheUsersStore()
    {
        orvaneApplication_t::options_t options = snapshotOptions();
        options.fixesPath.clear();
        orvaneApplication_t app(options);
        QVERIFY(app.start());
        QVERIFY(fixManager_t::instance()->path() != fixManager_t::defaultPath());
    }
};

int main(int argc, char* argv[])
{
    if (argc == 3 && qstrcmp(argv[1], ChildOption) == 0)
        return recordThenDie(QString::fromLocal8Bit(argv[2]));
    QApplication application(argc, argv);
    QTEST_SET_MAIN_SOURCE_PATH
    tst_fixes test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_fixes.moc"
