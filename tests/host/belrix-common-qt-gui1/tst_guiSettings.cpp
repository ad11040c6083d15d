#include <belrix_common_qt_gui/guiSettings.h>

#include <QSignalSpy>
#include <QtTest>

using namespace belrix_common_qt;
using belrix_common_qt_gui::alertSoundSettings_t;
using belrix_common_qt_gui::guiSettings_t;

class tst_guiSettings : public QObject
{
    Q_OBJECT

private slots:
    void init() { guiSettings_t::get()->useDefaults(); }

    void signalsOnlyRealChanges()
    {
        guiSettings_t* gui = guiSettings_t::get();
        QSignalSpy offset(gui, &guiSettings_t::utcOffsetChanged);
        QSignalSpy unit(gui, &guiSettings_t::distanceUnitChanged);
        QSignalSpy colour(gui, &guiSettings_t::gridGraphColorChanged);
        QSignalSpy mode(gui, &guiSettings_t::displayModeChanged);
        QSignalSpy alarm(gui, &guiSettings_t::qualityAlertSoundSettingsChanged);
        QSignalSpy speed(gui, &guiSettings_t::speedUnitChanged);
        for (int twice = 0; twice < 2; ++twice) {
            gui->setUtcOffset(3600);
            gui->setDistanceUnit(distanceUnitUsSurveyFeet);
            gui->setGridGraphColor(QColor("#123456"));
            gui->setDisplayMode(displayModeNight);
            gui->setSpeedUnit(speedUnitMilesPerHour);
            gui->setQualityAlertSoundSettings(alertSoundSettings_t(true, "/x/quality_alarm.wav", 7));
        }
        gui->setQualityAlertSoundSettings(alertSoundSettings_t(true, "/x/quality_alarm.wav", 8));
        QCOMPARE(offset.value(0).value(0).toInt(), 3600);
        auto counts = [](std::initializer_list<QSignalSpy const*> spies) {
            QList<int> list;
            for (QSignalSpy const* spy : spies)
                list << int(spy->count());
            return list;
        };
        QCOMPARE(counts({&offset, &unit, &colour, &mode, &alarm, &speed}), (QList<int>{1, 1, 1, 1, 2, 1}));

        // back to the defaults: a signal for each value that moves, none for the rest
        gui->setUtcOffset(0);
        offset.clear();
        gui->useDefaults();
        QCOMPARE(counts({&offset, &unit, &speed}), (QList<int>{0, 2, 2}));
        QCOMPARE(gui->speedUnit(), speedUnitKnots);
    }

    void nightDimsTheGraphColours()
    {
        guiSettings_t* gui = guiSettings_t::get();
        QCOMPARE(gui->effectiveBackgroundGraphColor(), gui->backgroundGraphColor());
        gui->setDisplayMode(displayModeNight);
        QVERIFY(gui->effectiveBackgroundGraphColor().lightnessF() < 0.3);
        QVERIFY(gui->effectiveTextGraphColor().lightnessF() > gui->effectiveBackgroundGraphColor().lightnessF() + 0.3);
        QVERIFY(gui->effectiveGridGraphColor().valueF() < gui->gridGraphColor().valueF());
    }
};

QTEST_MAIN(tst_guiSettings)
#include "tst_guiSettings.moc"
