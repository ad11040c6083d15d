#include "qcTestFixture.h"
#include "testFiles.h"

#include <settings/displayModeRule.h>
#include <settings/dlgGeneralSettings.h>
#include <style/styleSheet.h>

#include <belrix_common_qt/dataClock.h>
#include <belrix_common_qt/remoteController.h>
#include <belrix_common_qt/textFormat.h>
#include <belrix_common_qt_gui/guiSettings.h>
#include <belrix_common_qt_gui/styleManager.h>
#include <orvane/context.h>
#include <tolvconfig/config.h>

#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include <memory>

using namespace belrix_common_qt;
using belrix_common_qt_gui::alertSoundSettings_t;
using belrix_common_qt_gui::guiSettings_t;
using belrix_common_qt_gui::styleManager_t;
using orvane::qc::displayModeRule_t;
using orvane::qc::dlgGeneralSettings_t;

namespace {
const double Midnight = 19723.0 * 86400.0;   // 2024-01-01 00:00 UTC

std::string key(QString const& name) { return "dlgGeneralSettings." + name.toStdString(); }

guiSettings_t* gui() { return guiSettings_t::get(); }

// What the form holds when it is applied, and the warnings that refuse it.
struct form_t { QString dayStart, nightStart, rotSampleSize; bool qualityAlarms; QString interval; QStringList errors; };

// An offset in force, how the form shows it ("minute" empty: no item selected) and what
// Apply takes back.
struct offset_t { int offset; QString text, hour, minute; int applied; };
} // namespace

Q_DECLARE_METATYPE(form_t)
Q_DECLARE_METATYPE(offset_t)

class tst_dlgGeneralSettings : public QObject
{
    Q_OBJECT

    QPalette m_startPalette;
    std::unique_ptr<QTemporaryDir> m_sounds;
    std::unique_ptr<orvane::context_t> m_context;
    std::unique_ptr<dlgGeneralSettings_t> m_dialog;

    dlgGeneralSettings_t* dialog()
    {
        if (!m_dialog)
            m_dialog.reset(new dlgGeneralSettings_t(m_context.get(), nullptr));
        return m_dialog.get();
    }
    template <typename T>
    T* child(const char* name)
    {
        T* widget = dialog()->findChild<T*>(QString::fromLatin1(name));
        if (!widget)
            qFatal("no widget %s", name);
        return widget;
    }
    QString label(const char* name) { return child<QLabel>(name)->text(); }
    bool submit()
    {
        bool applied = false;
        QMetaObject::invokeMethod(dialog(), "submit", Qt::DirectConnection, Q_RETURN_ARG(bool, applied));
        return applied;
    }
    QPushButton* button(QDialogButtonBox::StandardButton which)
    {
        return child<QDialogButtonBox>("buttonBox")->button(which);
    }
    remoteController_t* controller() { return m_context->controllerContext()->controller(); }
    QString soundPath(QString const& name) { return QDir(m_sounds->path()).filePath(name); }

private slots:
    void initTestCase() { m_startPalette = QApplication::palette(); }

    void init()
    {
        gui()->useDefaults();
        styleManager_t::get()->setGlobalTags({});
        qApp->setStyleSheet(QString());
        QApplication::setPalette(m_startPalette);
        dataClock_t::setTime(Midnight + 12 * 3600);
        m_sounds.reset(new QTemporaryDir);
        QVERIFY(writeFile(soundPath("general_alarm.wav"), {}));
        QVERIFY(writeFile(soundPath("quality_alarm.wav"), {}));
        m_context.reset(new orvane::context_t);
        m_context->setSoundsDir(m_sounds->path());
    }

    void cleanup()
    {
        m_dialog.reset();
        m_context.reset();
        m_sounds.reset();
        dataClock_t::useSystemTime();
    }

    void storedSettingsSurviveARoundTrip_data()
    {
        QTest::addColumn<QStringList>("stored");   // key=text
        QTest::addColumn<QStringList>("saved");
        const QStringList current = {
            "timezone_offset=-12600", "dist_unit=US Survey Feet", "speed_unit=Miles/Hour",
            "latlon_unit=DD MM SS.ss", "graph_background_color=#102030", "graph_grid_color=#405060",
            "graph_text_color=#708090", "display_mode=night", "display_day_mode_time=05:30",
            "display_night_mode_time=21:15", "enable_general_sounds=false", "general_alarm_sound=quality_alarm.wav",
            "enable_quality_sounds=false", "quality_alarm_sound=general_alarm.wav", "quality_time=12",
            "rot_sample_size=7"};
        QTest::newRow("every current key") << current << current;
        QTest::newRow("older keys")
            << QStringList{"distance_units=US Survey Feet", "speed_units=Kilometers/Hour", "lat_lon_units=DD.dd",
                           "day_start_time=7:45", "night_start_time=22:10"}
            << QStringList{"dist_unit=US Survey Feet", "speed_unit=Kilometers/Hour", "latlon_unit=DD.dd",
                           "display_day_mode_time=07:45", "display_night_mode_time=22:10"};
        QTest::newRow("the current key wins") << QStringList{"dist_unit=Meters", "distance_units=US Survey Feet"}
                                              << QStringList{"dist_unit=Meters"};
        QTest::newRow("unknown mode word keeps the mode") << QStringList{"display_mode=dusk"}
                                                          << QStringList{"display_mode=day"};
        QTest::newRow("day start, current key unreadable")
            << QStringList{"display_day_mode_time=24:00", "day_start_time=07:45"}
            << QStringList{"display_day_mode_time=07:45"};
        QTest::newRow("day start, neither readable") << QStringList{"display_day_mode_time=xx", "day_start_time=25:00"}
                                                     << QStringList{"display_day_mode_time=06:00"};
        QTest::newRow("empty sound name takes the default") << QStringList{"general_alarm_sound="}
                                                            << QStringList{"general_alarm_sound=general_alarm.wav"};
        QTest::newRow("quality alarms on without a key") << QStringList()
                                                         << QStringList{"enable_quality_sounds=true"};
    }

    // What is stored is loaded, shown in the form (Apply keeps it) and stored again under
    // the current key; older keys are read when the current one is absent or unreadable.
    void storedSettingsSurviveARoundTrip()
    {
        QFETCH(QStringList, stored);
        QFETCH(QStringList, saved);
        tolvconfig::config_t in;
        for (QString const& entry : stored)
            in.setValue(key(entry.section('=', 0, 0)), entry.section('=', 1).toStdString());
        dialog()->loadSettings(in, 3);
        QVERIFY(submit());

        tolvconfig::config_t out;
        dialog()->saveSettings(out, 4);
        for (QString const& entry : saved) {
            std::string text;
            QVERIFY2(out.getValue(key(entry.section('=', 0, 0)), text), qPrintable(entry));
            QCOMPARE(QString::fromStdString(text), entry.section('=', 1));
        }
        // the index names only the window's geometry, and the general alarm's interval is not kept
        int settingsKeys = 0;
        for (std::string const& k : out.keys()) {
            if (k.rfind("dlgGeneralSettings_4.", 0) == 0)
                continue;
            QVERIFY2(k.rfind("dlgGeneralSettings.", 0) == 0, k.c_str());
            ++settingsKeys;
        }
        QCOMPARE(settingsKeys, 16);
    }

    void soundsAreLookedUpInTheSoundsFolder()
    {
        tolvconfig::config_t config;
        config.setValue(key("general_alarm_sound"), "bell.wav");
        m_context->setSoundsDir("/new/place");
        dialog()->loadSettings(config, -1);
        QCOMPARE(gui()->generalAlertSoundSettings().file, QDir("/new/place").filePath("bell.wav"));
        // not in the folder: the row names it, the editor selects nothing
        QCOMPARE(label("generalSoundLabel"), QStringLiteral("bell.wav"));
        QCOMPARE(child<QComboBox>("generalSoundCombo")->currentIndex(), -1);
    }

    void defaults()
    {
        dialog()->useDefaults();
        QVERIFY(gui()->generalAlertSoundSettings() == alertSoundSettings_t(true, soundPath("general_alarm.wav"), 5));
        QVERIFY(gui()->qualityAlertSoundSettings() == alertSoundSettings_t(false, soundPath("quality_alarm.wav"), 5));
        QCOMPARE(controller()->rotSampleSize(), 0u);
    }

    void validation_data()
    {
        QTest::addColumn<form_t>("f");
        QTest::newRow("every failure in one message")
            << form_t{"", "25:00", "", false, "",
                      {"Day start time is invalid", "Night start time is invalid", "ROT sample size is invalid"}};
        QTest::newRow("interval checked while quality alarms are on")
            << form_t{"06:00", "19:00", "03", true, "", {"Audio Time Interval is invalid"}};
        QTest::newRow("interval ignored while they are off") << form_t{"06:00", "19:00", "03", false, "", {}};
    }

    void validation()
    {
        QFETCH(form_t, f);
        child<QLineEdit>("dayStartLineEdit")->setText(f.dayStart);
        child<QLineEdit>("nightStartLineEdit")->setText(f.nightStart);
        child<QLineEdit>("rotSampleSizeLineEdit")->setText(f.rotSampleSize);
        child<QComboBox>("qualityAlarmsCombo")->setCurrentIndex(f.qualityAlarms ? 1 : 0);
        child<QLineEdit>("timeIntervalLineEdit")->setText(f.interval);
        child<QComboBox>("distanceUnitCombo")->setCurrentIndex(1);
        QSignalSpy modified(dialog(), &orvane::orvaneDialog_t::configurationModified);
        const unsigned int samplesBefore = controller()->rotSampleSize();

        bool applied = false;
        const QStringList warnings = qcTest::warningsOf([&] { applied = submit(); });
        QCOMPARE(applied, f.errors.isEmpty());
        QCOMPARE(warnings, f.errors.isEmpty() ? QStringList() : QStringList{f.errors.join('\n')});
        // all or nothing
        QCOMPARE(gui()->distanceUnit(), applied ? distanceUnitUsSurveyFeet : distanceUnitMeters);
        QCOMPARE(controller()->rotSampleSize(), applied ? 3u : samplesBefore);
        QCOMPARE(modified.count(), applied ? 1 : 0);
    }

    // The offset in force is shown, and Apply takes it back from the form as shown.
    void utcOffsetThroughTheForm_data()
    {
        QTest::addColumn<offset_t>("o");
        QTest::newRow("east") << offset_t{20700, "5:45", "5", "45", 20700};
        QTest::newRow("west") << offset_t{-12600, "-3:30", "-3", "30", -12600};
        QTest::newRow("westernmost") << offset_t{-43200, "-12:00", "-12", "00", -43200};
        QTest::newRow("easternmost") << offset_t{53100, "14:45", "14", "45", 53100};
        QTest::newRow("half an hour west: no sign, applied east") << offset_t{-1800, "0:30", "0", "30", 1800};
        QTest::newRow("minute the list lacks") << offset_t{5 * 3600 + 600, "5:10", "5", "", 5 * 3600};
        QTest::newRow("hour the list lacks") << offset_t{15 * 3600, "15:00", "", "00", 0};
    }

    void utcOffsetThroughTheForm()
    {
        QFETCH(offset_t, o);
        dialog();
        gui()->setUtcOffset(o.offset);
        QCOMPARE(label("utcOffsetLabel"), o.text);
        QCOMPARE(child<QComboBox>("utcOffsetHourCombo")->currentText(), o.hour);
        QCOMPARE(child<QComboBox>("utcOffsetMinuteCombo")->currentText(), o.minute);
        QCOMPARE(child<QComboBox>("utcOffsetMinuteCombo")->currentIndex() < 0, o.minute.isEmpty());
        QVERIFY(submit());
        QCOMPARE(gui()->utcOffset(), o.applied);
    }

    void automaticModeFollowsTheDataClock()
    {
        auto* timer = dialog()->findChild<QTimer*>(QStringLiteral("displayModeTimer"));
        QVERIFY(timer);
        dataClock_t::setTime(Midnight + 19 * 3600 - 30);
        displayModeRule_t byHand;
        byHand.manualMode = displayModeNight;
        dialog()->setDisplayModeRule(byHand);
        QVERIFY(!timer->isActive());
        // choosing Auto keeps the mode by hand underneath
        child<QComboBox>("modeCombo")->setCurrentIndex(0);
        QVERIFY(submit());
        QVERIFY(timer->isActive());
        QCOMPARE(dialog()->displayModeRule().manualMode, displayModeNight);
        QCOMPARE(label("modeLabel"), QStringLiteral("Auto"));
        QCOMPARE(gui()->displayMode(), displayModeDay);

        dataClock_t::advance(30);
        QMetaObject::invokeMethod(timer, "timeout");
        QCOMPARE(gui()->displayMode(), displayModeNight);
        // an offset change counts at once, without waiting for the timer
        gui()->setUtcOffset(-3600);
        QCOMPARE(gui()->displayMode(), displayModeDay);

        // by hand again: the clock no longer decides
        dialog()->setDisplayModeRule(displayModeRule_t());
        QVERIFY(!timer->isActive());
        gui()->setUtcOffset(0);
        QMetaObject::invokeMethod(timer, "timeout");
        QCOMPARE(gui()->displayMode(), displayModeDay);
    }

    void lookIsAppliedOnlyOnChange()
    {
        dialog();
        const QPalette dayPalette = QApplication::palette();
        gui()->setDisplayMode(displayModeNight);
        QCOMPARE(QApplication::palette().color(QPalette::Active, QPalette::Window), QColor("#999999"));
        QCOMPARE(qApp->styleSheet(), orvane::qc::getStyleSheet(orvane::qc::styleSheetNight));
        QCOMPARE(styleManager_t::get()->globalTags(), QSet<QString>({guiSettings_t::nightModeTag}));
        QCOMPARE(label("currentModeLabel"), QStringLiteral("Night"));

        // day and night share one sheet: it is not given to the application again
        qApp->setStyleSheet(QStringLiteral("QLabel { }"));
        styleManager_t::get()->setGlobalTags({guiSettings_t::nightModeTag, QStringLiteral("large")});
        gui()->setDisplayMode(displayModeDay);
        QCOMPARE(qApp->styleSheet(), QStringLiteral("QLabel { }"));
        QCOMPARE(QApplication::palette().color(QPalette::Active, QPalette::Window),
                 dayPalette.color(QPalette::Active, QPalette::Window));
        QCOMPARE(styleManager_t::get()->globalTags(),
                 QSet<QString>({guiSettings_t::dayModeTag, QStringLiteral("large")}));
        QCOMPARE(label("currentModeLabel"), QStringLiteral("Day"));
    }

    void changeElsewhereUpdatesOnlyItsRow()
    {
        child<QComboBox>("distanceUnitCombo")->setCurrentIndex(1);   // unapplied edits
        child<QComboBox>("speedUnitCombo")->setCurrentIndex(2);
        gui()->setDistanceUnit(distanceUnitUsSurveyFeet);
        gui()->setDistanceUnit(distanceUnitMeters);
        QCOMPARE(label("distanceUnitLabel"), QStringLiteral("Meters"));
        QCOMPARE(child<QComboBox>("distanceUnitCombo")->currentIndex(), 0);
        QCOMPARE(child<QComboBox>("speedUnitCombo")->currentIndex(), 2);

        controller()->setRotSampleSize(3);
        QCOMPARE(label("rotSampleSizeLabel"), QStringLiteral("3"));
        QCOMPARE(child<QLineEdit>("rotSampleSizeLineEdit")->text(), QStringLiteral("03"));

        gui()->setQualityAlertSoundSettings(alertSoundSettings_t(true, soundPath("quality_alarm.wav"), 7));
        QCOMPARE(label("qualityAlarmsLabel"), YesString);
        QCOMPARE(child<QLineEdit>("timeIntervalLineEdit")->text(), QStringLiteral("07"));
        QVERIFY(child<QComboBox>("qualitySoundCombo")->isEnabled());
    }

    void soundsListFollowsTheFolder()
    {
        QComboBox* general = child<QComboBox>("generalSoundCombo");
        QCOMPARE(general->count(), 2);
        QVERIFY(writeFile(soundPath("bell.wav"), {}));
        QVERIFY(writeFile(soundPath("Alarm.wav"), {}));
        QVERIFY(writeFile(soundPath("notes.txt"), {}));
        QVERIFY(QDir(m_sounds->path()).mkdir("folder.wav"));
        auto items = [](QComboBox* combo) {
            QStringList list;
            for (int i = 0; i < combo->count(); ++i)
                list << combo->itemText(i);
            return list;
        };
        // the folder watcher reports on its own; this waits for its event, not for a timer
        QTRY_COMPARE_WITH_TIMEOUT(items(general), QStringList({"Alarm.wav", "bell.wav", "general_alarm.wav",
                                                               "quality_alarm.wav"}), 5000);
        QCOMPARE(items(child<QComboBox>("qualitySoundCombo")), items(general));
    }

    void cancelHidesAndResetRestores()
    {
        // the general alarm is on by default, so its sound can be chosen; the quality one is off
        QVERIFY(child<QComboBox>("generalSoundCombo")->isEnabled());
        QVERIFY(!child<QComboBox>("qualitySoundCombo")->isEnabled());
        dialog()->show();
        child<QComboBox>("distanceUnitCombo")->setCurrentIndex(1);
        child<QComboBox>("modeCombo")->setCurrentIndex(0);
        child<QLineEdit>("dayStartLineEdit")->setText("03:03");

        button(QDialogButtonBox::Cancel)->click();
        QVERIFY(!dialog()->isVisible());
        QCOMPARE(gui()->distanceUnit(), distanceUnitMeters);
        QVERIFY(!dialog()->displayModeRule().autoMode);
        // the edits stay until Reset
        QCOMPARE(child<QLineEdit>("dayStartLineEdit")->text(), QStringLiteral("03:03"));

        button(QDialogButtonBox::Reset)->click();
        QCOMPARE(child<QComboBox>("distanceUnitCombo")->currentIndex(), 0);
        QCOMPARE(child<QComboBox>("modeCombo")->currentIndex(), 1);
        QCOMPARE(child<QLineEdit>("dayStartLineEdit")->text(), QStringLiteral("06:00"));
    }
};

QTEST_MAIN(tst_dlgGeneralSettings)
#include "tst_dlgGeneralSettings.moc"
