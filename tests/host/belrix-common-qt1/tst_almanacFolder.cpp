// The almanac folder: what it holds reaches the managers, a faulty file is reported and the
// rest still loads, and changes are read again once they settle.

#include <belrix_common_qt/almMgrGlonass.h>
#include <belrix_common_qt/almMgrGps.h>
#include <belrix_common_qt/almanacFolder.h>

#include <QtTest>

#include "testFiles.h"

using namespace belrix_common_qt;

namespace {

QByteArray yuma(int prn, char const* eccentricity = "0.4164695740E-002")
{
    return QByteArray("******** Week 819 almanac for PRN-") + QByteArray::number(prn)
           + " ********\n"
             "ID:                         " + QByteArray::number(prn) + "\n"
             "Health:                     000\n"
             "Eccentricity:               " + eccentricity + "\n"
             "Time of Applicability(s):  319488.0000\n"
             "Orbital Inclination(rad):   0.9617124771\n"
             "Rate of Right Ascen(r/s):  -0.7954617056E-008\n"
             "SQRT(A)  (m 1/2):           5153.605957\n"
             "Right Ascen at Week(rad):  -0.1551930535E+001\n"
             "Argument of Perigee(rad):   0.374535865\n"
             "Mean Anom(rad):            -0.3011159346E+001\n"
             "Af0(s):                    -0.5722045898E-005\n"
             "Af1(s/s):                   0.0000000000E+000\n"
             "week:                        819\n\n";
}

QByteArray const agl =
    "13 09 2018    3600\n"
    " 1   1  1  13 09 2018  0.955206250E+04  0.000000000E+00  0.000000000E+00 -0.305175781E-04\n"
    "-0.9923382E+00  0.6754875E-02 -0.2874756E-01  0.4005432E-03 -0.2656180E+04  0.8544922E-03\n";

} // namespace

class tst_almanacFolder : public QObject
{
    Q_OBJECT

private slots:

    // A missing folder is made and watched; the good files load although one is faulty, which
    // is reported by file and line; once fixed it loads on the settled change, and files that
    // did not change are not given to the managers again.
    void loadsWatchesAndReloads()
    {
        QTemporaryDir root;
        QVERIFY(root.isValid());
        QString const dir = root.filePath(QStringLiteral("almanac"));
        almMgrGps_t gps;
        almMgrGlonass_t glonass;
        almanacFolder_t folder(&gps, &glonass);
        folder.setPath(dir);
        QVERIFY(QDir(dir).exists());
        QVERIFY(writeFile(dir + QStringLiteral("/current.alm"), yuma(1) + yuma(2)));
        QVERIFY(writeFile(dir + QStringLiteral("/broken.alm"), yuma(3, "0.1.2")));
        QVERIFY(writeFile(dir + QStringLiteral("/MCCJ_180913.agl"), agl));

        QSignalSpy errorsChanged(&folder, &almanacFolder_t::errorsChanged);
        auto* settle = folder.findChild<QTimer*>();
        QVERIFY(settle);
        QMetaObject::invokeMethod(settle, "timeout");   // as after the watcher saw the files arrive
        QCOMPARE(gps.num(), 2u);
        QCOMPARE(glonass.num(), 1u);
        QCOMPARE(folder.errors().size(), 1);
        QVERIFY2(folder.errors().front().endsWith(QStringLiteral("broken.alm:4: Eccentricity is not a number: \"0.1.2\"")),
                 qPrintable(folder.errors().front()));
        QCOMPARE(errorsChanged.count(), 1);

        auto* watcher = folder.findChild<QFileSystemWatcher*>();
        QVERIFY(watcher);
        QVERIFY(watcher->directories().contains(dir));
        QCOMPARE(watcher->files().size(), 3);

        QSignalSpy gpsUpdated(&gps, &almMgrGps_t::almanacUpdated);
        QVERIFY(writeFile(dir + QStringLiteral("/broken.alm"), yuma(3)));
        QMetaObject::invokeMethod(settle, "timeout");
        QCOMPARE(gps.num(), 3u);
        QCOMPARE(gpsUpdated.count(), 1);   // only the changed file was read again
        QVERIFY(folder.errors().isEmpty());
        QCOMPARE(errorsChanged.count(), 2);
    }
};

QTEST_GUILESS_MAIN(tst_almanacFolder)
#include "tst_almanacFolder.moc"
