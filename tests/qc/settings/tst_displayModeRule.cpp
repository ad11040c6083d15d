#include <settings/displayModeRule.h>

#include <QtTest>

#include <cmath>

using namespace belrix_common_qt;
using orvane::qc::displayModeRule_t;

// A schedule, and the modes in the minute before utcTime and in utcTime's.
struct schedule_t { QString dayStart, nightStart; int utcOffset; QString utcTime; QList<int> modes; };
Q_DECLARE_METATYPE(schedule_t)

class tst_displayModeRule : public QObject
{
    Q_OBJECT

private slots:
    void parseTimeText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("read");   // as timeText writes it back; empty: rejected
        QTest::newRow("one digit each") << "7:5" << "07:05";
        QTest::newRow("last minute of the day") << "23:59" << "23:59";
        QTest::newRow("spaces around the colon, text after") << "  8 : 30 local" << "08:30";
        QTest::newRow("hour 24") << "24:00" << "";
        QTest::newRow("minute 60") << "12:60" << "";
        QTest::newRow("dash for the colon") << "06-00" << "";
        QTest::newRow("no minute") << "06:" << "";
        QTest::newRow("negative hour") << "-1:00" << "";
        QTest::newRow("hour too long for the count") << "99999999999999999999:00" << "";
    }

    void parseTimeText()
    {
        QFETCH(QString, text);
        QFETCH(QString, read);
        unsigned int h = 42;
        unsigned int m = 43;
        QCOMPARE(displayModeRule_t::parseTimeText(text, h, m), !read.isEmpty());
        // untouched on failure
        QCOMPARE(displayModeRule_t::timeText(h, m), read.isEmpty() ? QStringLiteral("42:43") : read);
    }

    void modeText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("auto") << "auto" << true;
        QTest::newRow("day") << "day" << true;
        QTest::newRow("unknown word") << "dusk" << false;
    }

    void modeText()
    {
        QFETCH(QString, text);
        QFETCH(bool, accepted);
        // the rule starts as automatic with a night manual mode, so every change shows
        displayModeRule_t rule;
        rule.autoMode = true;
        rule.manualMode = displayModeNight;
        QCOMPARE(rule.setModeText(text), accepted);
        QCOMPARE(rule.modeText(), accepted ? text : QStringLiteral("auto"));
    }

    void modeAtADataTime_data()
    {
        QTest::addColumn<schedule_t>("c");
        const int day = displayModeDay;
        const int night = displayModeNight;
        QTest::newRow("day first: day start") << schedule_t{"06:00", "19:00", 0, "06:00", QList<int>{night, day}};
        QTest::newRow("day first: night start") << schedule_t{"06:00", "19:00", 0, "19:00", QList<int>{day, night}};
        QTest::newRow("night first: night start") << schedule_t{"20:00", "08:00", 0, "08:00", QList<int>{day, night}};
        QTest::newRow("night first: day start") << schedule_t{"20:00", "08:00", 0, "20:00", QList<int>{night, day}};
        QTest::newRow("equal starts: day all day") << schedule_t{"12:00", "12:00", 0, "12:00", QList<int>{day, day}};
        QTest::newRow("east: local 06:00") << schedule_t{"06:00", "19:00", 20700, "00:15", QList<int>{night, day}};
        QTest::newRow("west: local 19:00") << schedule_t{"06:00", "19:00", -12600, "22:30", QList<int>{day, night}};
    }

    void modeAtADataTime()
    {
        QFETCH(schedule_t, c);
        displayModeRule_t rule;
        QVERIFY(displayModeRule_t::parseTimeText(c.dayStart, rule.dayStartHour, rule.dayStartMinute));
        QVERIFY(displayModeRule_t::parseTimeText(c.nightStart, rule.nightStartHour, rule.nightStartMinute));
        unsigned int h = 0;
        unsigned int m = 0;
        QVERIFY(displayModeRule_t::parseTimeText(c.utcTime, h, m));
        // 2024-01-01; the last fraction of the minute still counts as the minute
        const double dataTime = 19723.0 * 86400.0 + 3600.0 * h + 60.0 * m + 59.9;
        QList<int> found;
        for (double time : {dataTime - 60.0, dataTime})
            found << int(rule.modeAt(displayModeRule_t::localMinuteOfDay(time, c.utcOffset)));
        QCOMPARE(found, c.modes);
    }

    void localMinuteOfDayOutsideTheCount_data()
    {
        QTest::addColumn<double>("dataTime");
        QTest::addColumn<int>("minute");
        const double wrapped = 4294967296.0 - 60.0;
        QTest::newRow("before 1970 wraps as the 32-bit count")
            << -60.0 << int((wrapped - std::floor(wrapped / 86400.0) * 86400.0) / 60);
        QTest::newRow("not a number") << std::nan("") << 0;
        QTest::newRow("infinite") << HUGE_VAL << 0;
    }

    void localMinuteOfDayOutsideTheCount()
    {
        QFETCH(double, dataTime);
        QFETCH(int, minute);
        QCOMPARE(displayModeRule_t::localMinuteOfDay(dataTime, 0), minute);
    }
};

QTEST_GUILESS_MAIN(tst_displayModeRule)
#include "tst_displayModeRule.moc"
