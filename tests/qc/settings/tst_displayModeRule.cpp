#include <settings/displayModeRule.h>

#include <QtTest>

using namespace belrix_common_qt;
using orvane::qc::displayModeRule_t;

class tst_displayModeRule : public QObject
{
    Q_OBJECT

private slots:
    void parseAccepts_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<unsigned int>("hour");
        QTest::addColumn<unsigned int>("minute");
        QTest::newRow("two digits each") << "06:00" << 6u << 0u;
        QTest::newRow("one digit each") << "7:5" << 7u << 5u;
        QTest::newRow("last minute of the day") << "23:59" << 23u << 59u;
        QTest::newRow("midnight") << "00:00" << 0u << 0u;
        QTest::newRow("space before the hour") << "  19:05" << 19u << 5u;
        QTest::newRow("spaces around the colon") << "8 : 30" << 8u << 30u;
        QTest::newRow("text after the minute") << "12:15 local" << 12u << 15u;
        QTest::newRow("seconds after the minute") << "12:15:30" << 12u << 15u;
    }

    void parseAccepts()
    {
        QFETCH(QString, text);
        QFETCH(unsigned int, hour);
        QFETCH(unsigned int, minute);
        unsigned int h = 99;
        unsigned int m = 99;
        QVERIFY(displayModeRule_t::parseTimeText(text, h, m));
        QCOMPARE(h, hour);
        QCOMPARE(m, minute);
    }

    void parseRejects_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("hour 24") << "24:00";
        QTest::newRow("minute 60") << "12:60";
        QTest::newRow("dash for the colon") << "06-00";
        QTest::newRow("dot for the colon") << "06.00";
        QTest::newRow("empty") << "";
        QTest::newRow("blank mask") << " : ";
        QTest::newRow("no minute") << "06:";
        QTest::newRow("no hour") << ":30";
        QTest::newRow("letters") << "ab:cd";
        QTest::newRow("negative hour") << "-1:00";
        QTest::newRow("hour too long for the count") << "99999999999999999999:00";
    }

    void parseRejects()
    {
        QFETCH(QString, text);
        unsigned int h = 42;
        unsigned int m = 43;
        QVERIFY(!displayModeRule_t::parseTimeText(text, h, m));
        QCOMPARE(h, 42u);   // untouched on failure
        QCOMPARE(m, 43u);
    }

    void timeTextPadsToTwoDigits_data()
    {
        QTest::addColumn<unsigned int>("hour");
        QTest::addColumn<unsigned int>("minute");
        QTest::addColumn<QString>("text");
        QTest::newRow("morning") << 6u << 0u << "06:00";
        QTest::newRow("evening") << 19u << 5u << "19:05";
        QTest::newRow("midnight") << 0u << 0u << "00:00";
    }

    void timeTextPadsToTwoDigits()
    {
        QFETCH(unsigned int, hour);
        QFETCH(unsigned int, minute);
        QFETCH(QString, text);
        QCOMPARE(displayModeRule_t::timeText(hour, minute), text);
        unsigned int h = 0;
        unsigned int m = 0;
        QVERIFY(displayModeRule_t::parseTimeText(text, h, m));
        QCOMPARE(h, hour);
        QCOMPARE(m, minute);
    }

    void modeText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<bool>("autoMode");
        QTest::addColumn<int>("manualMode");
        // the rule starts as automatic with a night manual mode, so every change shows
        QTest::newRow("auto") << "auto" << true << true << int(displayModeNight);
        QTest::newRow("day") << "day" << true << false << int(displayModeDay);
        QTest::newRow("night") << "night" << true << false << int(displayModeNight);
        QTest::newRow("capitals are another word") << "Night" << false << true << int(displayModeNight);
        QTest::newRow("unknown word") << "dusk" << false << true << int(displayModeNight);
        QTest::newRow("empty") << "" << false << true << int(displayModeNight);
    }

    void modeText()
    {
        QFETCH(QString, text);
        QFETCH(bool, accepted);
        QFETCH(bool, autoMode);
        QFETCH(int, manualMode);
        displayModeRule_t rule;
        rule.autoMode = true;
        rule.manualMode = displayModeNight;
        QCOMPARE(rule.setModeText(text), accepted);
        QCOMPARE(rule.autoMode, autoMode);
        QCOMPARE(int(rule.manualMode), manualMode);
        if (accepted)
            QCOMPARE(rule.modeText(), text);
    }

    void modeAt_data()
    {
        QTest::addColumn<QString>("dayStart");
        QTest::addColumn<QString>("nightStart");
        QTest::addColumn<QString>("localTime");
        QTest::addColumn<int>("mode");
        const int day = displayModeDay;
        const int night = displayModeNight;
        QTest::newRow("day first: before day start") << "06:00" << "19:00" << "05:59" << night;
        QTest::newRow("day first: at day start") << "06:00" << "19:00" << "06:00" << day;
        QTest::newRow("day first: before night start") << "06:00" << "19:00" << "18:59" << day;
        QTest::newRow("day first: at night start") << "06:00" << "19:00" << "19:00" << night;
        QTest::newRow("day first: midnight") << "06:00" << "19:00" << "00:00" << night;
        QTest::newRow("night first: at night start") << "20:00" << "08:00" << "08:00" << night;
        QTest::newRow("night first: before day start") << "20:00" << "08:00" << "19:59" << night;
        QTest::newRow("night first: at day start") << "20:00" << "08:00" << "20:00" << day;
        QTest::newRow("night first: before night start") << "20:00" << "08:00" << "07:59" << day;
        QTest::newRow("night first: midnight") << "20:00" << "08:00" << "00:00" << day;
        QTest::newRow("equal starts: at the start") << "12:00" << "12:00" << "12:00" << day;
        QTest::newRow("equal starts: elsewhere") << "12:00" << "12:00" << "03:00" << day;
    }

    void modeAt()
    {
        QFETCH(QString, dayStart);
        QFETCH(QString, nightStart);
        QFETCH(QString, localTime);
        QFETCH(int, mode);
        displayModeRule_t rule;
        QVERIFY(displayModeRule_t::parseTimeText(dayStart, rule.dayStartHour, rule.dayStartMinute));
        QVERIFY(displayModeRule_t::parseTimeText(nightStart, rule.nightStartHour, rule.nightStartMinute));
        unsigned int h = 0;
        unsigned int m = 0;
        QVERIFY(displayModeRule_t::parseTimeText(localTime, h, m));
        QCOMPARE(int(rule.modeAt(int(60 * h + m))), mode);
    }

    void localMinuteOfDay_data()
    {
        QTest::addColumn<double>("dataTime");
        QTest::addColumn<int>("utcOffset");
        QTest::addColumn<int>("minute");
        const double midnight = 19723.0 * 86400.0;   // 2024-01-01 00:00 UTC
        QTest::newRow("UTC") << midnight + 6 * 3600 + 59.9 << 0 << 6 * 60;
        QTest::newRow("east of Greenwich") << midnight + 15 * 60 << 5 * 3600 + 45 * 60 << 6 * 60;
        QTest::newRow("west, across midnight") << midnight + 60.0 << -(3 * 3600 + 30 * 60) << 20 * 60 + 31;
        QTest::newRow("before 1970 wraps as the 32-bit count") << -60.0 << 0 << int(((4294967296.0 - 60.0) - std::floor((4294967296.0 - 60.0) / 86400.0) * 86400.0) / 60);
        QTest::newRow("not a number") << std::nan("") << 0 << 0;
    }

    void localMinuteOfDay()
    {
        QFETCH(double, dataTime);
        QFETCH(int, utcOffset);
        QFETCH(int, minute);
        QCOMPARE(displayModeRule_t::localMinuteOfDay(dataTime, utcOffset), minute);
    }
};

QTEST_GUILESS_MAIN(tst_displayModeRule)
#include "tst_displayModeRule.moc"
