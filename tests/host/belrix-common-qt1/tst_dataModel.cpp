#include <belrix_common_qt/almMgrGps.h>
#include <belrix_common_qt/dataClock.h>
#include <belrix_common_qt/navConstants.h>
#include <belrix_common_qt/navSatNumbering.h>
#include <belrix_common_qt/qcDataStore.h>
#include <belrix_common_qt/qcSettingsBase.h>
#include <belrix_common_qt/remoteController.h>
#include <belrix_common_qt/remoteDevice.h>
#include <belrix_common_qt/remoteNavSat.h>
#include <tolvconfig/config.h>

#include <QtTest>

#include <cmath>

using namespace belrix_common_qt;

Q_DECLARE_METATYPE(belrix_common_qt::constellation_t)

// Whether a satellite view (or any other item) stamped at timestamp is current at now.
struct recency_t { bool satellite, valid; double timestamp, now; bool current; };
Q_DECLARE_METATYPE(recency_t)

// A satellite of a constellation, and the number the data model gives it (0: none).
struct number_t { constellation_t constellation; int prn, number; };
Q_DECLARE_METATYPE(number_t)

class tst_dataModel : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { dataClock_t::useSystemTime(); }

    void recency_data()
    {
        QTest::addColumn<recency_t>("r");
        double const nan = std::nan("");
        QTest::newRow("fresh") << recency_t{false, true, 100.0, 100.0, true};
        QTest::newRow("just under 3 s old") << recency_t{false, true, 97.0001, 100.0, true};
        QTest::newRow("exactly 3 s old") << recency_t{false, true, 100.0 - DataMaxAge, 100.0, false};
        QTest::newRow("slightly ahead") << recency_t{false, true, 102.9, 100.0, true};
        QTest::newRow("more than 3 s ahead") << recency_t{false, true, 103.5, 100.0, false};
        QTest::newRow("NaN timestamp") << recency_t{false, true, nan, 100.0, false};
        QTest::newRow("NaN now") << recency_t{false, true, 100.0, nan, false};
        QTest::newRow("withdrawn") << recency_t{false, false, 100.0, 100.0, false};
        QTest::newRow("satellite just under 5 s old")
            << recency_t{true, true, 100.0 - SatDataMaxAge + 0.01, 100.0, true};
        QTest::newRow("satellite exactly 5 s old") << recency_t{true, true, 100.0 - SatDataMaxAge, 100.0, false};
    }

    void recency()
    {
        QFETCH(recency_t, r);
        dataItem_t<float> item(1.0f, r.timestamp);
        item.setValid(r.valid);
        QCOMPARE(r.satellite ? isSatDataRecent(r.timestamp, r.now) : isItemCurrent(item, r.now), r.current);
    }

    void numbering_data()
    {
        QTest::addColumn<number_t>("n");
        struct range_t {
            char const* name;
            constellation_t constellation;
            int first, last, number;
        };
        for (range_t const& r : {range_t{"GPS", constellationGps, 1, 32, 1}, {"SBAS", constellationSbas, 120, 151, 33},
                                 {"GLONASS slot", constellationGlonass, 1, 32, 65}, {"QZSS", constellationQzss, 193, 202, 193},
                                 {"Galileo", constellationGalileo, 1, 36, 301}, {"BeiDou", constellationBeidou, 1, 63, 401}}) {
            for (int prn : {r.first - 1, r.first, r.last, r.last + 1})
                QTest::addRow("%s %d", r.name, prn)
                    << number_t{r.constellation, prn, (prn < r.first || prn > r.last ? 0 : r.number + prn - r.first)};
        }
        QTest::newRow("L-band service") << number_t{constellationCorrection, 1, 0};
    }

    void numbering()
    {
        QFETCH(number_t, n);
        QCOMPARE(int(navSatNumber(n.constellation, unsigned(n.prn))), n.number);
        if (n.number) {
            QVERIFY(unsigned(n.number) < NavSatNumberLimit);
            QCOMPARE(navSatConstellation(unsigned(n.number)), n.constellation);
            QCOMPARE(int(navSatPrn(unsigned(n.number))), n.prn);
        }
    }

    void numbersBetweenTheRangesBelongToNoConstellation()
    {
        for (unsigned int number : {0u, 97u, 192u, 203u, 300u, 337u, 400u, 464u})
            QVERIFY2(navSatConstellation(number) == constellationUnknown && navSatPrn(number) == 0u,
                     qPrintable(QString::number(number)));
    }

    void dataClockCanBeDrivenByReplays()
    {
        dataClock_t::setTime(1000.0);
        QCOMPARE(dataTimestamp(), 1000.0);
        dataClock_t::advance(2.5);
        QCOMPARE(dataTimestamp(), 1002.5);
        dataClock_t::useSystemTime();
        QVERIFY(std::fabs(dataTimestamp() - QDateTime::currentMSecsSinceEpoch() / 1000.0) < 5.0);
    }

    void qcHistoryIsBounded()
    {
        qcDataStore_t store(3);
        for (int i = 0; i < 5; ++i) {
            qcSummary_t summary;
            summary.unitVariance = float(i);
            store.addSummary(double(i), summary);
        }
        QCOMPARE(int(store.summary().size()), 3);
        QCOMPARE(store.summary().front().timestamp, 2.0);
        QCOMPARE(store.summary().back().summary.unitVariance, 4.0f);
    }

    // The fix history a device keeps from what its source sets: one sample per ten seconds
    // holding each quantity's last report, at most two hours, older reports merged into their
    // step while it is held, and a jump back of two hours starting afresh.
    void fixHistoryKeepsTwoHoursInTenSecondSteps()
    {
        remoteDevice_t device;
        double const t0 = 1.7e9;   // a step boundary
        for (int s = 0; s < 3 * 3600; ++s) {
            device.setSatellitesUsed(dataItem_t<unsigned int>(unsigned(s % 13), t0 + s));
            device.setHdop(dataItem_t<float>(1.0f + float(s % 10) / 10.0f, t0 + s));
        }
        dataItem_t<float> stale(9.0f, t0 + 3 * 3600 - 5);
        stale.invalidate();
        device.setPdop(stale);   // not valid: not kept
        device.setVdop(dataItem_t<float>(1.5f, t0 + 3 * 3600 - 25));   // an older step
        fixHistory_t const& history = device.fixHistory();
        QCOMPARE(history.count(), fixHistory_t::Capacity);
        fixSample_t const& newest = history.at(history.count() - 1);
        QCOMPARE(newest.time, t0 + 3 * 3600 - 1);
        QCOMPARE(newest.satellitesUsed, (3 * 3600 - 1) % 13);
        QCOMPARE(newest.hdop, 1.9f);
        QVERIFY(std::isnan(newest.pdop));
        QCOMPARE(history.at(history.count() - 3).vdop, 1.5f);
        QCOMPARE(history.at(0).time, t0 + 3599);
        for (int i = 0; i + 1 < history.count(); ++i)
            QCOMPARE(history.at(i + 1).time - history.at(i).time, 10.0);

        device.setHdop(dataItem_t<float>(3.0f, t0));   // a replay from its start
        QCOMPARE(history.count(), 1);
        QCOMPARE(history.at(0).hdop, 3.0f);
        QCOMPARE(history.at(0).satellitesUsed, -1);
    }

    void qcSettingsLoad_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("sigma");   // 0: the default
        QTest::newRow("a sigma") << "0.75" << 0.75;
        QTest::newRow("zero") << "0" << 0.0;
        QTest::newRow("not a number") << "abc" << 0.0;
        QTest::newRow("nan") << "nan" << 0.0;
    }

    void qcSettingsLoad()
    {
        QFETCH(QString, text);
        QFETCH(double, sigma);
        tolvconfig::config_t config;
        config.setValue("device.GNSS 1.qc_apriori_sigma", text.toStdString());
        qcSettingsBase_t settings;
        settings.load(config, "device.GNSS 1.");
        QCOMPARE(settings.aprioriSigma(), sigma ? sigma : qcSettingsBase_t().aprioriSigma());
    }

    void navSatFrequencyIsNullUntilReported()
    {
        remoteNavSat_t sat(33, constellationSbas);
        QVERIFY(!sat.freq(0));
        sat.setFreq(0, dataItem_t<freq_t>(freq_t{1, 40.0f}, 5.0));
        QVERIFY(sat.freq(0) && sat.freq(0)->value().level == 40.0f);
        QVERIFY(!sat.freq(1) && !sat.freq(-1) && !sat.freq(remoteNavSat_t::MaxFrequencies));
    }

    void devicesListSatellitesInNumberOrder()
    {
        remoteDevice_t device;
        device.setNavSat(remoteNavSat_t(65, constellationGlonass));
        device.setNavSat(remoteNavSat_t(3, constellationGps));
        device.setNavSat(remoteNavSat_t(33, constellationSbas));
        device.setNavSat(remoteNavSat_t(3, constellationGps));
        auto sats = device.allNavSats();
        QCOMPARE(int(sats.size()), 3);
        QVERIFY(sats.begin()->first == 3u && sats.rbegin()->second->constellation() == constellationGlonass);
        device.invalidateAll();
        QVERIFY(device.allNavSats().empty());
    }

    void almanacManagerKeepsNewestPerSatellite()
    {
        almMgrGps_t manager;
        QSignalSpy updated(&manager, &almMgrGps_t::almanacUpdated);
        auto add = [&](unsigned int prn, unsigned int week) {
            almanacGps_t a;
            a.prn = prn;
            a.week = week;
            a.toa = 61440;
            manager.addAlmanac(a);
        };
        add(5, 2300);
        add(5, 2299);
        QCOMPARE(manager.num(), 1u);
        QCOMPARE(updated.count(), 1);
        add(6, 2301);
        QCOMPARE(manager.num(), 2u);
        QCOMPARE(manager.newest() - manager.oldest(), 604800u);
        QSignalSpy cleared(&manager, &almMgrGps_t::cleared);
        manager.clear();
        QVERIFY(cleared.count() == 1 && manager.num() == 0u && manager.oldest() == 0u);
    }

    void rotSampleSizeSignalsOnlyChanges()
    {
        remoteController_t controller;
        QSignalSpy spy(&controller, &remoteController_t::rotSampleSizeUpdated);
        controller.setRotSampleSize(5);
        controller.setRotSampleSize(5);
        controller.setRotSampleSize(0);
        QCOMPARE(spy.count(), 2);
    }
};

QTEST_GUILESS_MAIN(tst_dataModel)
#include "tst_dataModel.moc"
