#include <settings/displayModeRule.h>
#include <settings/dlgGeneralSettings.h>
#include <style/styleSheet.h>

#include <belrix_common_qt/dataClock.h>
#include <belrix_common_qt/remoteController.h>
#include <belrix_common_qt/textFormat.h>
#include <belrix_common_qt_gui/guiSettings.h>
#include <belrix_common_qt_gui/styleManager.h>
#include <orvane/context.h>
#include <tolvcommon_qt_gui/colorPicker.h>
#include <tolvconfig/config.h>
#include <tolvconfig/configCodec.h>

#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <functional>
#include <memory>

using namespace belrix_common_qt;
using belrix_common_qt_gui::alertSoundSettings_t;
using belrix_common_qt_gui::guiSettings_t;
using belrix_common_qt_gui::styleManager_t;
using orvane::qc::displayModeRule_t;
using orvane::qc::dlgGeneralSettings_t;

namespace {
const double Midnight = 19723.0 * 86400.0;   // 2024-01-01 00:00 UTC

std::string key(const char* name) { return std::string("dlgGeneralSettings.") + name; }

QString stored(tolvconfig::config_t const& config, const char* name)
{
    std::string text;
    config.getValue(key(name), text);
    return QString::fromStdString(text);
}

void touch(QString const& path)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
}

// Runs action and answers every warning it raises, returning their texts.
QStringList warningsOf(std::function<void()> const& action)
{
    QStringList texts;
    QTimer answer;
    answer.setInterval(5);
    QObject::connect(&answer, &QTimer::timeout, [&texts] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            texts << box->text();
            box->done(QMessageBox::Ok);
        }
    });
    answer.start();
    action();
    return texts;
}
} // namespace

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

    void setAutomatic(QString const& dayStart, QString const& nightStart)
    {
        displayModeRule_t rule;
        rule.autoMode = true;
        QVERIFY(displayModeRule_t::parseTimeText(dayStart, rule.dayStartHour, rule.dayStartMinute));
        QVERIFY(displayModeRule_t::parseTimeText(nightStart, rule.nightStartHour, rule.nightStartMinute));
        dialog()->setDisplayModeRule(rule);
    }

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        m_startPalette = QApplication::palette();
    }

    void init()
    {
        guiSettings_t::get()->useDefaults();
        styleManager_t::get()->setGlobalTags({});
        qApp->setStyleSheet(QString());
        QApplication::setPalette(m_startPalette);
        dataClock_t::setTime(Midnight + 12 * 3600);
        m_sounds.reset(new QTemporaryDir);
        touch(soundPath("general_alarm.wav"));
        touch(soundPath("quality_alarm.wav"));
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

    // ---- loading

    void loadReadsEveryKey()
    {
        tolvconfig::config_t config;
        config.setValue(key("timezone_offset"), "-12600");
        config.setValue(key("dist_unit"), distanceUnitString(distanceUnitUsSurveyFeet).toStdString());
        config.setValue(key("speed_unit"), speedUnitString(speedUnitMilesPerHour).toStdString());
        config.setValue(key("latlon_unit"), latLonFormatString(latLonFormatDegreesMinutesSeconds).toStdString());
        config.setValue(key("graph_background_color"), "#102030");
        config.setValue(key("graph_grid_color"), "#405060");
        config.setValue(key("graph_text_color"), "#708090");
        config.setValue(key("display_mode"), "night");
        config.setValue(key("display_day_mode_time"), "05:30");
        config.setValue(key("display_night_mode_time"), "21:15");
        config.setValue(key("enable_general_sounds"), "false");
        config.setValue(key("general_alarm_sound"), "bell.wav");
        config.setValue(key("enable_quality_sounds"), "true");
        config.setValue(key("quality_alarm_sound"), "horn.wav");
        config.setValue(key("quality_time"), "12");
        config.setValue(key("rot_sample_size"), "7");
        dialog()->loadSettings(config, 3);

        guiSettings_t* gui = guiSettings_t::get();
        QCOMPARE(gui->utcOffset(), -12600);
        QCOMPARE(gui->distanceUnit(), distanceUnitUsSurveyFeet);
        QCOMPARE(gui->speedUnit(), speedUnitMilesPerHour);
        QCOMPARE(gui->latLonFormat(), latLonFormatDegreesMinutesSeconds);
        QCOMPARE(gui->backgroundGraphColor(), QColor("#102030"));
        QCOMPARE(gui->gridGraphColor(), QColor("#405060"));
        QCOMPARE(gui->textGraphColor(), QColor("#708090"));
        QCOMPARE(gui->displayMode(), displayModeNight);
        const displayModeRule_t rule = dialog()->displayModeRule();
        QVERIFY(!rule.autoMode);
        QCOMPARE(rule.dayStartHour, 5u);
        QCOMPARE(rule.dayStartMinute, 30u);
        QCOMPARE(rule.nightStartHour, 21u);
        QCOMPARE(rule.nightStartMinute, 15u);
        QVERIFY(gui->generalAlertSoundSettings() == alertSoundSettings_t(false, soundPath("bell.wav"), 1));
        QVERIFY(gui->qualityAlertSoundSettings() == alertSoundSettings_t(true, soundPath("horn.wav"), 12));
        QCOMPARE(controller()->rotSampleSize(), 7u);
        // the form shows what was loaded, mode row included
        QCOMPARE(label("utcOffsetLabel"), QStringLiteral("-3:30"));
        QCOMPARE(child<QComboBox>("modeCombo")->currentIndex(), 2);
        QCOMPARE(child<QLineEdit>("dayStartLineEdit")->text(), QStringLiteral("05:30"));
        QCOMPARE(label("nightStartLabel"), QStringLiteral("21:15"));
    }

    void unitsFallBackToOlderKeys_data()
    {
        QTest::addColumn<bool>("current");
        QTest::addColumn<bool>("older");
        QTest::addColumn<int>("distance");
        QTest::addColumn<int>("speed");
        QTest::addColumn<int>("latLon");
        // defaults: metres, knots, DD MM.mm
        QTest::newRow("older keys only") << false << true << 1 << 2 << 0;
        QTest::newRow("both: the current keys win") << true << true << 1 << 3 << 2;
        QTest::newRow("current keys only") << true << false << 1 << 3 << 2;
        QTest::newRow("neither: values kept") << false << false << 0 << 0 << 1;
    }

    void unitsFallBackToOlderKeys()
    {
        QFETCH(bool, current);
        QFETCH(bool, older);
        QFETCH(int, distance);
        QFETCH(int, speed);
        QFETCH(int, latLon);
        tolvconfig::config_t config;
        if (older) {
            config.setValue(key("distance_units"), distanceUnitString(distanceUnitUsSurveyFeet).toStdString());
            config.setValue(key("speed_units"), speedUnitString(speedUnitKilometersPerHour).toStdString());
            config.setValue(key("lat_lon_units"), latLonFormatString(latLonFormatDegrees).toStdString());
        }
        if (current) {
            config.setValue(key("dist_unit"), distanceUnitString(distanceUnitUsSurveyFeet).toStdString());
            config.setValue(key("speed_unit"), speedUnitString(speedUnitMilesPerHour).toStdString());
            config.setValue(key("latlon_unit"), latLonFormatString(latLonFormatDegreesMinutesSeconds).toStdString());
        }
        dialog()->loadSettings(config, -1);
        QCOMPARE(int(guiSettings_t::get()->distanceUnit()), distance);
        QCOMPARE(int(guiSettings_t::get()->speedUnit()), speed);
        QCOMPARE(int(guiSettings_t::get()->latLonFormat()), latLon);
    }

    void startTimesFallBackToOlderKeys_data()
    {
        QTest::addColumn<QString>("current");   // empty: key absent
        QTest::addColumn<QString>("older");
        QTest::addColumn<QString>("expected");
        QTest::newRow("older key only") << "" << "07:45" << "07:45";
        QTest::newRow("both readable: current wins") << "05:10" << "07:45" << "05:10";
        QTest::newRow("current hour 24: older") << "24:00" << "07:45" << "07:45";
        QTest::newRow("current with a dash: older") << "05-10" << "07:45" << "07:45";
        QTest::newRow("one digit each") << "7:5" << "" << "07:05";
        QTest::newRow("text after the minute") << "08:20 am" << "" << "08:20";
        QTest::newRow("neither readable: kept") << "xx" << "25:00" << "06:00";
    }

    void startTimesFallBackToOlderKeys()
    {
        QFETCH(QString, current);
        QFETCH(QString, older);
        QFETCH(QString, expected);
        tolvconfig::config_t config;
        if (!current.isEmpty())
            config.setValue(key("display_day_mode_time"), current.toStdString());
        if (!older.isEmpty())
            config.setValue(key("day_start_time"), older.toStdString());
        config.setValue(key("night_start_time"), "22:00");
        dialog()->loadSettings(config, -1);
        const displayModeRule_t rule = dialog()->displayModeRule();
        QCOMPARE(displayModeRule_t::timeText(rule.dayStartHour, rule.dayStartMinute), expected);
        QCOMPARE(displayModeRule_t::timeText(rule.nightStartHour, rule.nightStartMinute), QStringLiteral("22:00"));
    }

    void unknownModeWordKeepsTheMode()
    {
        displayModeRule_t rule;
        rule.manualMode = displayModeNight;
        dialog()->setDisplayModeRule(rule);
        tolvconfig::config_t config;
        config.setValue(key("display_mode"), "dusk");
        dialog()->loadSettings(config, -1);
        QCOMPARE(dialog()->displayModeRule().manualMode, displayModeNight);
        QVERIFY(!dialog()->displayModeRule().autoMode);
    }

    void emptySoundNamesTakeTheDefaults()
    {
        tolvconfig::config_t config;
        config.setValue(key("general_alarm_sound"), "");
        config.setValue(key("quality_alarm_sound"), "");
        dialog()->loadSettings(config, -1);
        QCOMPARE(guiSettings_t::get()->generalAlertSoundSettings().file, soundPath("general_alarm.wav"));
        QCOMPARE(guiSettings_t::get()->qualityAlertSoundSettings().file, soundPath("quality_alarm.wav"));
    }

    void defaultsAndLoadingWithoutAlarmKeys()
    {
        dialog()->useDefaults();
        QVERIFY(guiSettings_t::get()->generalAlertSoundSettings()
                == alertSoundSettings_t(true, soundPath("general_alarm.wav"), 5));
        QVERIFY(guiSettings_t::get()->qualityAlertSoundSettings()
                == alertSoundSettings_t(false, soundPath("quality_alarm.wav"), 5));
        QCOMPARE(controller()->rotSampleSize(), 0u);

        tolvconfig::config_t empty;
        dialog()->loadSettings(empty, -1);
        QVERIFY(guiSettings_t::get()->generalAlertSoundSettings()
                == alertSoundSettings_t(true, soundPath("general_alarm.wav"), 1));
        QVERIFY(guiSettings_t::get()->qualityAlertSoundSettings()
                == alertSoundSettings_t(true, soundPath("quality_alarm.wav"), 1));
    }

    // ---- saving

    void saveWritesEveryKeyWithItsEncoding()
    {
        guiSettings_t* gui = guiSettings_t::get();
        gui->setUtcOffset(20700);
        gui->setDistanceUnit(distanceUnitUsSurveyFeet);
        gui->setBackgroundGraphColor(QColor(10, 20, 30));
        gui->setGeneralAlertSoundSettings(alertSoundSettings_t(false, soundPath("bell.wav"), 9));
        gui->setQualityAlertSoundSettings(alertSoundSettings_t(true, "/elsewhere/horn.wav", 30));
        controller()->setRotSampleSize(12);
        displayModeRule_t rule;
        rule.autoMode = true;
        rule.dayStartHour = 7;
        rule.dayStartMinute = 5;
        dialog()->setDisplayModeRule(rule);

        tolvconfig::config_t config;
        dialog()->saveSettings(config, 4);
        QCOMPARE(stored(config, "timezone_offset"), QStringLiteral("20700"));
        QCOMPARE(stored(config, "dist_unit"), distanceUnitString(distanceUnitUsSurveyFeet));
        QCOMPARE(stored(config, "speed_unit"), speedUnitString(speedUnitKnots));
        QCOMPARE(stored(config, "latlon_unit"), latLonFormatString(latLonFormatDegreesMinutes));
        QCOMPARE(stored(config, "graph_background_color"), QStringLiteral("#0a141e"));
        QCOMPARE(stored(config, "graph_grid_color"), gui->gridGraphColor().name());
        QCOMPARE(stored(config, "graph_text_color"), gui->textGraphColor().name());
        QCOMPARE(stored(config, "display_mode"), QStringLiteral("auto"));
        QCOMPARE(stored(config, "display_day_mode_time"), QStringLiteral("07:05"));
        QCOMPARE(stored(config, "display_night_mode_time"), QStringLiteral("19:00"));
        QCOMPARE(stored(config, "general_alarm_sound"), QStringLiteral("bell.wav"));
        QCOMPARE(stored(config, "quality_alarm_sound"), QStringLiteral("horn.wav"));
        QCOMPARE(stored(config, "quality_time"), QStringLiteral("30"));
        QCOMPARE(stored(config, "rot_sample_size"), QStringLiteral("12"));
        bool enabled = true;
        QVERIFY(tolvconfig::getValue(config, key("enable_general_sounds"), enabled));
        QVERIFY(!enabled);
        QVERIFY(tolvconfig::getValue(config, key("enable_quality_sounds"), enabled));
        QVERIFY(enabled);
        // the index is not part of the settings' keys (only of the window's geometry), and
        // the general alarm's interval is not kept
        int settingsKeys = 0;
        for (std::string const& k : config.keys()) {
            if (k.rfind("dlgGeneralSettings_4.", 0) == 0)
                continue;
            QVERIFY2(k.rfind("dlgGeneralSettings.", 0) == 0, k.c_str());
            ++settingsKeys;
        }
        QCOMPARE(settingsKeys, 16);
    }

    void settingsSurviveSaveAndLoad()
    {
        guiSettings_t* gui = guiSettings_t::get();
        gui->setUtcOffset(-19800);
        gui->setSpeedUnit(speedUnitMetersPerSecond);
        gui->setTextGraphColor(QColor("#abcdef"));
        gui->setQualityAlertSoundSettings(alertSoundSettings_t(true, soundPath("quality_alarm.wav"), 15));
        displayModeRule_t rule;
        rule.manualMode = displayModeNight;
        rule.nightStartHour = 20;
        dialog()->setDisplayModeRule(rule);
        tolvconfig::config_t config;
        dialog()->saveSettings(config, -1);

        m_dialog.reset();
        gui->useDefaults();
        dialog()->loadSettings(config, -1);
        QCOMPARE(gui->utcOffset(), -19800);
        QCOMPARE(gui->speedUnit(), speedUnitMetersPerSecond);
        QCOMPARE(gui->textGraphColor(), QColor("#abcdef"));
        QVERIFY(gui->qualityAlertSoundSettings() == alertSoundSettings_t(true, soundPath("quality_alarm.wav"), 15));
        QCOMPARE(gui->displayMode(), displayModeNight);
        QCOMPARE(dialog()->displayModeRule().nightStartHour, 20u);
    }

    void movingTheSoundsFolderKeepsTheAlarms()
    {
        guiSettings_t::get()->setGeneralAlertSoundSettings(alertSoundSettings_t(true, soundPath("bell.wav"), 5));
        tolvconfig::config_t config;
        dialog()->saveSettings(config, -1);
        m_dialog.reset();
        m_context->setSoundsDir("/new/place");
        dialog()->loadSettings(config, -1);
        QCOMPARE(guiSettings_t::get()->generalAlertSoundSettings().file, QDir("/new/place").filePath("bell.wav"));
    }

    // ---- validation and Apply

    void validationReportsEveryFailureAtOnce()
    {
        child<QLineEdit>("dayStartLineEdit")->setText(QString());
        child<QLineEdit>("nightStartLineEdit")->setText("25:00");
        child<QLineEdit>("rotSampleSizeLineEdit")->setText(QString());
        child<QComboBox>("qualityAlarmsCombo")->setCurrentIndex(0);
        child<QLineEdit>("timeIntervalLineEdit")->setText(QString());   // not looked at while off
        child<QComboBox>("distanceUnitCombo")->setCurrentIndex(1);
        QSignalSpy modified(dialog(), &orvane::orvaneDialog_t::configurationModified);

        bool applied = true;
        const QStringList warnings = warningsOf([&] { applied = submit(); });
        QVERIFY(!applied);
        QCOMPARE(warnings.size(), 1);
        QCOMPARE(warnings.first().split(QLatin1Char('\n')),
                 QStringList({"Day start time is invalid", "Night start time is invalid", "ROT sample size is invalid"}));
        QCOMPARE(guiSettings_t::get()->distanceUnit(), distanceUnitMeters);
        QCOMPARE(modified.count(), 0);
    }

    void intervalIsCheckedOnlyWhileQualityAlarmsAreOn()
    {
        child<QComboBox>("qualityAlarmsCombo")->setCurrentIndex(1);
        QVERIFY(child<QLineEdit>("timeIntervalLineEdit")->isEnabled());
        child<QLineEdit>("timeIntervalLineEdit")->setText(QString());
        const QStringList warnings = warningsOf([&] { QVERIFY(!submit()); });
        QCOMPARE(warnings, QStringList({"Audio Time Interval is invalid"}));

        child<QComboBox>("qualityAlarmsCombo")->setCurrentIndex(0);
        QVERIFY(!child<QLineEdit>("timeIntervalLineEdit")->isEnabled());
        QVERIFY(!child<QComboBox>("qualitySoundCombo")->isEnabled());
        QVERIFY(warningsOf([&] { QVERIFY(submit()); }).isEmpty());
        // an empty interval still converts, to 0
        QCOMPARE(guiSettings_t::get()->qualityAlertSoundSettings().interval, 0u);
        QVERIFY(!guiSettings_t::get()->qualityAlertSoundSettings().enabled);
    }

    void applyComputesTheUtcOffset_data()
    {
        QTest::addColumn<QString>("hour");
        QTest::addColumn<QString>("minute");
        QTest::addColumn<int>("offset");
        QTest::newRow("west with minutes") << "-5" << "30" << -19800;
        QTest::newRow("east with minutes") << "5" << "45" << 20700;
        QTest::newRow("hour zero makes minutes east") << "0" << "30" << 1800;
        QTest::newRow("westernmost") << "-12" << "00" << -43200;
        QTest::newRow("easternmost") << "14" << "45" << 53100;
        QTest::newRow("one hour west and a quarter") << "-1" << "15" << -4500;
    }

    void applyComputesTheUtcOffset()
    {
        QFETCH(QString, hour);
        QFETCH(QString, minute);
        QFETCH(int, offset);
        QComboBox* hours = child<QComboBox>("utcOffsetHourCombo");
        QComboBox* minutes = child<QComboBox>("utcOffsetMinuteCombo");
        hours->setCurrentIndex(hours->findText(hour));
        minutes->setCurrentIndex(minutes->findText(minute));
        QVERIFY(submit());
        QCOMPARE(guiSettings_t::get()->utcOffset(), offset);
    }

    void utcOffsetIsShown_data()
    {
        QTest::addColumn<int>("offset");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("hour");
        QTest::addColumn<QString>("minute");   // empty: no item selected
        QTest::newRow("east") << 20700 << "5:45" << "5" << "45";
        QTest::newRow("west") << -12600 << "-3:30" << "-3" << "30";
        QTest::newRow("half an hour west shows no sign") << -1800 << "0:30" << "0" << "30";
        QTest::newRow("minute the list lacks") << 5 * 3600 + 600 << "5:10" << "5" << "";
        QTest::newRow("hour the list lacks") << 15 * 3600 << "15:00" << "" << "00";
    }

    void utcOffsetIsShown()
    {
        QFETCH(int, offset);
        QFETCH(QString, text);
        QFETCH(QString, hour);
        QFETCH(QString, minute);
        dialog();
        guiSettings_t::get()->setUtcOffset(offset);
        QCOMPARE(label("utcOffsetLabel"), text);
        QCOMPARE(child<QComboBox>("utcOffsetHourCombo")->currentText(), hour);
        QCOMPARE(child<QComboBox>("utcOffsetMinuteCombo")->currentText(), minute);
        QCOMPARE(child<QComboBox>("utcOffsetMinuteCombo")->currentIndex() < 0, minute.isEmpty());
    }

    void applyTakesTheWholeForm()
    {
        child<QComboBox>("latLonFormatCombo")->setCurrentIndex(2);
        child<QComboBox>("speedUnitCombo")->setCurrentIndex(3);
        child<tolvcommon_qt_gui::colorPicker_t>("gridGraphColorButton")->selectedColor(QColor("#112233"));
        child<QComboBox>("generalAlarmsCombo")->setCurrentIndex(0);
        child<QComboBox>("qualityAlarmsCombo")->setCurrentIndex(1);
        child<QComboBox>("qualitySoundCombo")->setCurrentIndex(0);   // general_alarm.wav
        child<QLineEdit>("timeIntervalLineEdit")->setText("20");
        child<QLineEdit>("dayStartLineEdit")->setText("05:15");
        child<QLineEdit>("nightStartLineEdit")->setText("20:45");
        child<QComboBox>("modeCombo")->setCurrentIndex(2);
        child<QLineEdit>("rotSampleSizeLineEdit")->setText("08");
        QSignalSpy modified(dialog(), &orvane::orvaneDialog_t::configurationModified);
        QVERIFY(submit());

        guiSettings_t* gui = guiSettings_t::get();
        QCOMPARE(gui->latLonFormat(), latLonFormatDegreesMinutesSeconds);
        QCOMPARE(gui->speedUnit(), speedUnitMilesPerHour);
        QCOMPARE(gui->gridGraphColor(), QColor("#112233"));
        QVERIFY(!gui->generalAlertSoundSettings().enabled);
        QVERIFY(gui->qualityAlertSoundSettings() == alertSoundSettings_t(true, soundPath("general_alarm.wav"), 20));
        QCOMPARE(gui->displayMode(), displayModeNight);
        const displayModeRule_t rule = dialog()->displayModeRule();
        QCOMPARE(displayModeRule_t::timeText(rule.dayStartHour, rule.dayStartMinute), QStringLiteral("05:15"));
        QCOMPARE(displayModeRule_t::timeText(rule.nightStartHour, rule.nightStartMinute), QStringLiteral("20:45"));
        QCOMPARE(controller()->rotSampleSize(), 8u);
        QCOMPARE(modified.count(), 1);
        QCOMPARE(label("modeLabel"), QStringLiteral("Night"));
        QCOMPARE(label("currentModeLabel"), QStringLiteral("Night"));
    }

    void automaticModeKeepsTheManualMode()
    {
        displayModeRule_t rule;
        rule.manualMode = displayModeNight;
        dialog()->setDisplayModeRule(rule);
        child<QComboBox>("modeCombo")->setCurrentIndex(0);
        QVERIFY(submit());
        QVERIFY(dialog()->displayModeRule().autoMode);
        QCOMPARE(dialog()->displayModeRule().manualMode, displayModeNight);
        QCOMPARE(label("modeLabel"), QStringLiteral("Auto"));
    }

    // ---- the display mode

    void automaticModeFollowsTheLocalTime_data()
    {
        QTest::addColumn<QString>("dayStart");
        QTest::addColumn<QString>("nightStart");
        QTest::addColumn<int>("utcOffset");
        QTest::addColumn<QString>("utcTime");
        QTest::addColumn<int>("mode");
        const int day = displayModeDay;
        const int night = displayModeNight;
        QTest::newRow("day first, before day") << "06:00" << "19:00" << 0 << "05:59" << night;
        QTest::newRow("day first, day starts") << "06:00" << "19:00" << 0 << "06:00" << day;
        QTest::newRow("day first, last day minute") << "06:00" << "19:00" << 0 << "18:59" << day;
        QTest::newRow("day first, night starts") << "06:00" << "19:00" << 0 << "19:00" << night;
        QTest::newRow("night first, night starts") << "20:00" << "08:00" << 0 << "08:00" << night;
        QTest::newRow("night first, last night minute") << "20:00" << "08:00" << 0 << "19:59" << night;
        QTest::newRow("night first, day starts") << "20:00" << "08:00" << 0 << "20:00" << day;
        QTest::newRow("night first, last day minute") << "20:00" << "08:00" << 0 << "07:59" << day;
        QTest::newRow("east: local 06:00") << "06:00" << "19:00" << 20700 << "00:15" << day;
        QTest::newRow("east: local 05:59") << "06:00" << "19:00" << 20700 << "00:14" << night;
        QTest::newRow("west: local 19:00 of the day before") << "06:00" << "19:00" << -12600 << "22:30" << night;
        QTest::newRow("west: local 18:59") << "06:00" << "19:00" << -12600 << "22:29" << day;
    }

    void automaticModeFollowsTheLocalTime()
    {
        QFETCH(QString, dayStart);
        QFETCH(QString, nightStart);
        QFETCH(int, utcOffset);
        QFETCH(QString, utcTime);
        QFETCH(int, mode);
        unsigned int h = 0;
        unsigned int m = 0;
        QVERIFY(displayModeRule_t::parseTimeText(utcTime, h, m));
        dataClock_t::setTime(Midnight + 3600.0 * h + 60.0 * m + 0.5);
        guiSettings_t::get()->setUtcOffset(utcOffset);
        setAutomatic(dayStart, nightStart);
        QCOMPARE(int(guiSettings_t::get()->displayMode()), mode);
    }

    void automaticModeTakesAUtcOffsetChangeAtOnce()
    {
        dataClock_t::setTime(Midnight + 18 * 3600);   // 18:00 UTC
        setAutomatic("06:00", "19:00");
        QCOMPARE(guiSettings_t::get()->displayMode(), displayModeDay);
        guiSettings_t::get()->setUtcOffset(2 * 3600);
        QCOMPARE(guiSettings_t::get()->displayMode(), displayModeNight);
    }

    void automaticModeChecksEverySecond()
    {
        dataClock_t::setTime(Midnight + 19 * 3600 - 30);
        setAutomatic("06:00", "19:00");
        QCOMPARE(guiSettings_t::get()->displayMode(), displayModeDay);
        dataClock_t::setTime(Midnight + 19 * 3600);
        QTRY_COMPARE_WITH_TIMEOUT(guiSettings_t::get()->displayMode(), displayModeNight, 2500);

        // by hand again: the clock no longer decides
        displayModeRule_t rule;
        rule.manualMode = displayModeDay;
        dialog()->setDisplayModeRule(rule);
        QCOMPARE(guiSettings_t::get()->displayMode(), displayModeDay);
        QTest::qWait(1200);
        QCOMPARE(guiSettings_t::get()->displayMode(), displayModeDay);
    }

    void lookIsAppliedOnlyOnChange()
    {
        dialog();
        const QPalette dayPalette = QApplication::palette();
        guiSettings_t::get()->setDisplayMode(displayModeNight);
        QCOMPARE(QApplication::palette().color(QPalette::Active, QPalette::Window), QColor("#999999"));
        QCOMPARE(QApplication::palette().color(QPalette::Inactive, QPalette::Base), QColor("#bbbbbb"));
        QCOMPARE(QApplication::palette().color(QPalette::Disabled, QPalette::Button), QColor("#bbbbbb"));
        QCOMPARE(qApp->styleSheet(), orvane::qc::getStyleSheet(orvane::qc::styleSheetNight));
        QCOMPARE(styleManager_t::get()->globalTags(), QSet<QString>({guiSettings_t::nightModeTag}));
        QCOMPARE(label("currentModeLabel"), QStringLiteral("Night"));

        // day and night share one sheet: it is not given to the application again
        qApp->setStyleSheet(QStringLiteral("QLabel { }"));
        styleManager_t::get()->setGlobalTags({guiSettings_t::nightModeTag, QStringLiteral("large")});
        guiSettings_t::get()->setDisplayMode(displayModeDay);
        QCOMPARE(qApp->styleSheet(), QStringLiteral("QLabel { }"));
        QCOMPARE(QApplication::palette().color(QPalette::Active, QPalette::Window),
                 dayPalette.color(QPalette::Active, QPalette::Window));
        QCOMPARE(styleManager_t::get()->globalTags(),
                 QSet<QString>({guiSettings_t::dayModeTag, QStringLiteral("large")}));
        QCOMPARE(label("currentModeLabel"), QStringLiteral("Day"));
    }

    // ---- following changes made elsewhere

    void changeElsewhereUpdatesOnlyItsRow()
    {
        child<QComboBox>("distanceUnitCombo")->setCurrentIndex(1);   // unapplied edits
        child<QComboBox>("speedUnitCombo")->setCurrentIndex(2);
        guiSettings_t::get()->setDistanceUnit(distanceUnitUsSurveyFeet);
        guiSettings_t::get()->setDistanceUnit(distanceUnitMeters);
        QCOMPARE(label("distanceUnitLabel"), QStringLiteral("Meters"));
        QCOMPARE(child<QComboBox>("distanceUnitCombo")->currentIndex(), 0);
        QCOMPARE(child<QComboBox>("speedUnitCombo")->currentIndex(), 2);
        QCOMPARE(label("speedUnitLabel"), QStringLiteral("Knots"));

        guiSettings_t::get()->setBackgroundGraphColor(QColor("#203040"));
        QCOMPARE(label("backgroundGraphColorLabel"), QStringLiteral("#203040"));
        QCOMPARE(child<tolvcommon_qt_gui::colorPicker_t>("backgroundGraphColorButton")->selectedColor(), QColor("#203040"));

        controller()->setRotSampleSize(3);
        QCOMPARE(label("rotSampleSizeLabel"), QStringLiteral("3"));
        QCOMPARE(child<QLineEdit>("rotSampleSizeLineEdit")->text(), QStringLiteral("03"));

        guiSettings_t::get()->setQualityAlertSoundSettings(alertSoundSettings_t(true, soundPath("quality_alarm.wav"), 7));
        QCOMPARE(label("qualityAlarmsLabel"), YesString);
        QCOMPARE(label("qualitySoundLabel"), QStringLiteral("quality_alarm.wav"));
        QCOMPARE(label("timeIntervalLabel"), QStringLiteral("7"));
        QCOMPARE(child<QLineEdit>("timeIntervalLineEdit")->text(), QStringLiteral("07"));
        QCOMPARE(child<QComboBox>("qualitySoundCombo")->currentText(), QStringLiteral("quality_alarm.wav"));
    }

    void soundNotInTheFolderLeavesNoSelection()
    {
        guiSettings_t::get()->setGeneralAlertSoundSettings(alertSoundSettings_t(true, soundPath("missing.wav"), 5));
        QCOMPARE(label("generalSoundLabel"), QStringLiteral("missing.wav"));
        QCOMPARE(child<QComboBox>("generalSoundCombo")->currentIndex(), -1);
    }

    void soundsListFollowsTheFolder()
    {
        QComboBox* general = child<QComboBox>("generalSoundCombo");
        QComboBox* quality = child<QComboBox>("qualitySoundCombo");
        QCOMPARE(general->count(), 2);
        touch(soundPath("bell.wav"));
        touch(soundPath("Alarm.wav"));
        touch(soundPath("notes.txt"));
        QVERIFY(QDir(m_sounds->path()).mkdir("folder.wav"));
        const QStringList expected = {"Alarm.wav", "bell.wav", "general_alarm.wav", "quality_alarm.wav"};
        auto items = [](QComboBox* combo) {
            QStringList list;
            for (int i = 0; i < combo->count(); ++i)
                list << combo->itemText(i);
            return list;
        };
        QTRY_COMPARE_WITH_TIMEOUT(items(general), expected, 5000);
        QTRY_COMPARE_WITH_TIMEOUT(items(quality), expected, 5000);
    }

    // ---- Cancel and Reset

    void cancelHidesAndResetRestores()
    {
        dialog()->show();
        child<QComboBox>("distanceUnitCombo")->setCurrentIndex(1);
        child<QComboBox>("modeCombo")->setCurrentIndex(0);
        child<QLineEdit>("dayStartLineEdit")->setText("03:03");
        child<QLineEdit>("rotSampleSizeLineEdit")->setText("44");
        child<QComboBox>("utcOffsetHourCombo")->setCurrentIndex(0);

        button(QDialogButtonBox::Cancel)->click();
        QVERIFY(!dialog()->isVisible());
        QCOMPARE(guiSettings_t::get()->distanceUnit(), distanceUnitMeters);
        QVERIFY(!dialog()->displayModeRule().autoMode);
        // the edits stay until Reset
        QCOMPARE(child<QLineEdit>("dayStartLineEdit")->text(), QStringLiteral("03:03"));

        button(QDialogButtonBox::Reset)->click();
        QCOMPARE(child<QComboBox>("distanceUnitCombo")->currentIndex(), 0);
        QCOMPARE(child<QComboBox>("modeCombo")->currentIndex(), 1);
        QCOMPARE(child<QLineEdit>("dayStartLineEdit")->text(), QStringLiteral("06:00"));
        QCOMPARE(child<QLineEdit>("rotSampleSizeLineEdit")->text(), QStringLiteral("00"));
        QCOMPARE(child<QComboBox>("utcOffsetHourCombo")->currentText(), QStringLiteral("0"));
    }

    void formStartsWithTheSettingsInForce()
    {
        QCOMPARE(label("distanceUnitLabel"), QStringLiteral("Meters"));
        QCOMPARE(label("latLonFormatLabel"), QStringLiteral("DD MM.mm"));
        QCOMPARE(child<QComboBox>("modeCombo")->currentIndex(), 1);
        QCOMPARE(child<QLineEdit>("nightStartLineEdit")->text(), QStringLiteral("19:00"));
        QCOMPARE(child<QComboBox>("utcOffsetHourCombo")->count(), 27);
        QCOMPARE(child<QLineEdit>("dayStartLineEdit")->property("keypadPrompt").toString(),
                 QStringLiteral("Day Mode Start Time"));
        QCOMPARE(child<QLineEdit>("dayStartLineEdit")->inputMask(), QStringLiteral("99:99"));
        // the general alarm is on by default, so its sound can be chosen; the quality one is off
        QVERIFY(child<QComboBox>("generalSoundCombo")->isEnabled());
        QVERIFY(!child<QComboBox>("qualitySoundCombo")->isEnabled());
    }
};

QTEST_MAIN(tst_dlgGeneralSettings)
#include "tst_dlgGeneralSettings.moc"
