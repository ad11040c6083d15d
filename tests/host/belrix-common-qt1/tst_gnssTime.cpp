#include <belrix_common_qt/gnssTime.h>

#include <QtTest>

using namespace belrix_common_qt;

class tst_gnssTime : public QObject
{
    Q_OBJECT

private slots:
    // GPS − UTC steps at the first second of each leap second's day, and converting there and
    // back gives the same instant.
    void leapSeconds_data()
    {
        QTest::addColumn<double>("utc");
        QTest::addColumn<double>("gpsMinusUtc");
        QTest::newRow("GPS epoch") << GpsEpochUtc << 0.0;
        QTest::newRow("1981-06-30 23:59:59") << 362793599.0 << 0.0;
        QTest::newRow("1981-07-01 00:00:00") << 362793600.0 << 1.0;
        QTest::newRow("2015-05-06") << 1430870400.0 << 16.0;
        QTest::newRow("2016-12-31 23:59:59") << 1483228799.0 << 17.0;
        QTest::newRow("2017-01-01 00:00:00") << 1483228800.0 << 18.0;
        QTest::newRow("2026-06-01") << 1780272000.0 << 18.0;
    }
    void leapSeconds()
    {
        QFETCH(double, utc);
        QFETCH(double, gpsMinusUtc);
        QCOMPARE(belrix_common_qt::gpsMinusUtc(utc), gpsMinusUtc);
        double const gps = gpsTimeFromUtc(utc);
        QCOMPARE(gps, utc - GpsEpochUtc + gpsMinusUtc);
        QCOMPARE(utcFromGpsTime(gps), utc);
    }
};

QTEST_GUILESS_MAIN(tst_gnssTime)
#include "tst_gnssTime.moc"
