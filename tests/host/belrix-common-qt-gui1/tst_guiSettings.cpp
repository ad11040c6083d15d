#include <belrix_common_qt_gui/guiSettings.h>

#include <QtTest>

using namespace belrix_common_qt;
using belrix_common_qt_gui::alertSoundSettings_t;
using belrix_common_qt_gui::guiSettings_t;

class tst_guiSettings : public QObject
{
    Q_OBJECT

private slots:
    void signalsOnlyRealChangesAndNightDims()
    {
        guiSettings_t* gui = guiSettings_t::get();
        gui->useDefaults();
        QSignalSpy alarm(gui, &guiSettings_t::qualityAlertSoundSettingsChanged);
        QSignalSpy speed(gui, &guiSettings_t::speedUnitChanged);
        for (int volume : {7, 7, 8}) {
            gui->setSpeedUnit(speedUnitMilesPerHour);
            gui->setQualityAlertSoundSettings(alertSoundSettings_t(true, "/x/quality_alarm.wav", volume));
        }
        gui->useDefaults();   // a signal for each value that moves back
        QCOMPARE(QList<int>({int(alarm.count()), int(speed.count())}), QList<int>({3, 2}));
        QCOMPARE(gui->speedUnit(), speedUnitKnots);

        // night dims the graph colours
        QCOMPARE(gui->effectiveBackgroundGraphColor(), gui->backgroundGraphColor());
        gui->setDisplayMode(displayModeNight);
        QVERIFY(gui->effectiveBackgroundGraphColor().lightnessF() < 0.3);
    }
};

QTEST_MAIN(tst_guiSettings)
#include "tst_guiSettings.moc"
