#include "settings/dlgGeneralSettings.h"

#include "settings/displayModeRule.h"
#include "style/styleSheet.h"
#include "ui_dlgGeneralSettings.h"

#include <belrix_common_qt/dataClock.h>
#include <belrix_common_qt/remoteController.h>
#include <belrix_common_qt/textFormat.h>
#include <belrix_common_qt_gui/errorText.h>
#include <belrix_common_qt_gui/guiSettings.h>
#include <belrix_common_qt_gui/styleManager.h>
#include <orvane/context.h>
#include <tolvconfig/configCodec.h>

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QPalette>
#include <QPushButton>
#include <QTimer>

namespace orvane {
namespace qc {

using namespace belrix_common_qt;
using belrix_common_qt_gui::alertSoundSettings_t;
using belrix_common_qt_gui::guiSettings_t;
using belrix_common_qt_gui::styleManager_t;

namespace {
const char* const KeyTimezoneOffset = "timezone_offset";
const char* const KeyDistUnit = "dist_unit";
const char* const KeyDistUnitOld = "distance_units";
const char* const KeySpeedUnit = "speed_unit";
const char* const KeySpeedUnitOld = "speed_units";
const char* const KeyLatLonUnit = "latlon_unit";
const char* const KeyLatLonUnitOld = "lat_lon_units";
const char* const KeyBackgroundColor = "graph_background_color";
const char* const KeyGridColor = "graph_grid_color";
const char* const KeyTextColor = "graph_text_color";
const char* const KeyDisplayMode = "display_mode";
const char* const KeyDayTime = "display_day_mode_time";
const char* const KeyDayTimeOld = "day_start_time";
const char* const KeyNightTime = "display_night_mode_time";
const char* const KeyNightTimeOld = "night_start_time";
const char* const KeyGeneralEnabled = "enable_general_sounds";
const char* const KeyGeneralSound = "general_alarm_sound";
const char* const KeyQualityEnabled = "enable_quality_sounds";
const char* const KeyQualitySound = "quality_alarm_sound";
const char* const KeyQualityTime = "quality_time";
const char* const KeyRotSampleSize = "rot_sample_size";

const QString GeneralAlarmFile = QStringLiteral("general_alarm.wav");
const QString QualityAlarmFile = QStringLiteral("quality_alarm.wav");

constexpr int ModeTimerMs = 1000;
constexpr int ModeComboAuto = 0;
constexpr int ModeComboDay = 1;
constexpr int ModeComboNight = 2;

guiSettings_t* gui() { return guiSettings_t::get(); }

QString twoDigits(unsigned int value) { return QStringLiteral("%1").arg(value, 2, 10, QLatin1Char('0')); }
} // namespace

class dlgGeneralSettings_t::private_t
{
public:
    Ui::dlgGeneralSettings ui;
    displayModeRule_t rule;
    QPalette dayPalette;
    QPalette nightPalette;
    QTimer* modeTimer = nullptr;   // a child, so a test can find and fire it
    QString appliedStyleSheet;
    QFileSystemWatcher soundsWatcher;

    remoteController_t* controller(orvane::context_t* context) const
    {
        return context ? context->controllerContext()->controller() : nullptr;
    }

    int modeComboIndex() const
    {
        if (rule.autoMode)
            return ModeComboAuto;
        return rule.manualMode == displayModeNight ? ModeComboNight : ModeComboDay;
    }
};

dlgGeneralSettings_t::dlgGeneralSettings_t(orvane::context_t* context, QWidget* parent)
    : mainWindowDialog_t(context, parent), d(new private_t)
{
    d->ui.setupUi(this);

    d->dayPalette = QApplication::palette();
    d->nightPalette = d->dayPalette;
    const QBrush window(QColor(QStringLiteral("#999999")));
    const QBrush field(QColor(QStringLiteral("#bbbbbb")));
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
        d->nightPalette.setBrush(group, QPalette::Window, window);
        d->nightPalette.setBrush(group, QPalette::Base, field);
        d->nightPalette.setBrush(group, QPalette::Button, field);
    }
    d->nightPalette.setBrush(QPalette::Disabled, QPalette::Button, field);

    connect(d->ui.buttonBox->button(QDialogButtonBox::Apply), &QPushButton::clicked, this, &dlgGeneralSettings_t::submit);
    connect(d->ui.buttonBox, &QDialogButtonBox::rejected, this, &QWidget::hide);
    connect(d->ui.buttonBox->button(QDialogButtonBox::Reset), &QPushButton::clicked, this, &dlgGeneralSettings_t::reset);
    d->modeTimer = new QTimer(this);
    d->modeTimer->setObjectName(QStringLiteral("displayModeTimer"));
    connect(d->modeTimer, &QTimer::timeout, this, &dlgGeneralSettings_t::checkMode);
    connect(d->ui.generalAlarmsCombo, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &dlgGeneralSettings_t::checkGeneralAlertSoundSettings);
    connect(d->ui.qualityAlarmsCombo, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &dlgGeneralSettings_t::checkQualityAlertSoundSettings);
    guiSettings_t* settings = gui();
    connect(settings, &guiSettings_t::utcOffsetChanged, this, &dlgGeneralSettings_t::updateUtcOffset);
    connect(settings, &guiSettings_t::latLonFormatChanged, this, &dlgGeneralSettings_t::updateLatLonFormat);
    connect(settings, &guiSettings_t::distanceUnitChanged, this, &dlgGeneralSettings_t::updateDistanceUnit);
    connect(settings, &guiSettings_t::speedUnitChanged, this, &dlgGeneralSettings_t::updateSpeedUnit);
    connect(settings, &guiSettings_t::backgroundGraphColorChanged, this, &dlgGeneralSettings_t::updateBackgroundGraphColor);
    connect(settings, &guiSettings_t::gridGraphColorChanged, this, &dlgGeneralSettings_t::updateGridGraphColor);
    connect(settings, &guiSettings_t::textGraphColorChanged, this, &dlgGeneralSettings_t::updateTextGraphColor);
    connect(settings, &guiSettings_t::displayModeChanged, this, &dlgGeneralSettings_t::updateCurrentMode);
    connect(settings, &guiSettings_t::generalAlertSoundSettingsChanged, this,
            &dlgGeneralSettings_t::updateGeneralAlertSoundSettings);
    connect(settings, &guiSettings_t::qualityAlertSoundSettingsChanged, this,
            &dlgGeneralSettings_t::updateQualityAlertSoundSettings);
    if (remoteController_t* controller = d->controller(context))
        connect(controller, &remoteController_t::rotSampleSizeUpdated, this, &dlgGeneralSettings_t::updateRotSampleSize);
    // a folder that does not exist cannot be watched; the application makes it before us
    if (context && QFileInfo(context->soundsDir()).isDir())
        d->soundsWatcher.addPath(context->soundsDir());
    connect(&d->soundsWatcher, &QFileSystemWatcher::directoryChanged, this, &dlgGeneralSettings_t::getSoundsList);

    getSoundsList();
    updateUtcOffset();
    updateLatLonFormat();
    updateDistanceUnit();
    updateSpeedUnit();
    updateBackgroundGraphColor();
    updateGridGraphColor();
    updateTextGraphColor();
    updateGeneralAlertSoundSettings();
    updateQualityAlertSoundSettings();
    updateRotSampleSize();
    applyDisplaySettings();

    d->ui.generalSoundCombo->setEnabled(d->ui.generalAlarmsCombo->currentIndex() > 0);
    d->ui.qualitySoundCombo->setEnabled(d->ui.qualityAlarmsCombo->currentIndex() > 0);
    d->ui.timeIntervalLineEdit->setEnabled(d->ui.qualityAlarmsCombo->currentIndex() > 0);
    // the mode row's editors and the mode in force show from the start, not only after Reset
    resetMode();
    d->ui.currentModeLabel->setText(
        d->ui.modeCombo->itemText(gui()->displayMode() == displayModeNight ? ModeComboNight : ModeComboDay));
}

dlgGeneralSettings_t::~dlgGeneralSettings_t() { delete d; }

displayModeRule_t dlgGeneralSettings_t::displayModeRule() const { return d->rule; }

void dlgGeneralSettings_t::setDisplayModeRule(displayModeRule_t const& rule)
{
    d->rule = rule;
    resetMode();
    applyDisplaySettings();
}

void dlgGeneralSettings_t::saveSettings(tolvconfig::config_t& config, int index)
{
    orvaneDialog_t::saveSettings(config, index);
    guiSettings_t* settings = gui();
    auto key = [this](const char* name) { return outputKey(name, -1); };
    tolvconfig::setValue(config, key(KeyTimezoneOffset), settings->utcOffset());
    tolvconfig::setValue(config, key(KeyDistUnit), distanceUnitString(settings->distanceUnit()));
    tolvconfig::setValue(config, key(KeySpeedUnit), speedUnitString(settings->speedUnit()));
    tolvconfig::setValue(config, key(KeyLatLonUnit), latLonFormatString(settings->latLonFormat()));
    tolvconfig::setValue(config, key(KeyBackgroundColor), settings->backgroundGraphColor().name());
    tolvconfig::setValue(config, key(KeyGridColor), settings->gridGraphColor().name());
    tolvconfig::setValue(config, key(KeyTextColor), settings->textGraphColor().name());
    tolvconfig::setValue(config, key(KeyDisplayMode), d->rule.modeText());
    tolvconfig::setValue(config, key(KeyDayTime), displayModeRule_t::timeText(d->rule.dayStartHour, d->rule.dayStartMinute));
    tolvconfig::setValue(config, key(KeyNightTime),
                         displayModeRule_t::timeText(d->rule.nightStartHour, d->rule.nightStartMinute));
    const alertSoundSettings_t general = settings->generalAlertSoundSettings();
    const alertSoundSettings_t quality = settings->qualityAlertSoundSettings();
    // bare file names, so the alarms survive a move of the sounds folder
    tolvconfig::setValue(config, key(KeyGeneralEnabled), general.enabled);
    tolvconfig::setValue(config, key(KeyGeneralSound), QFileInfo(general.file).fileName());
    tolvconfig::setValue(config, key(KeyQualityEnabled), quality.enabled);
    tolvconfig::setValue(config, key(KeyQualitySound), QFileInfo(quality.file).fileName());
    tolvconfig::setValue(config, key(KeyQualityTime), quality.interval);
    const remoteController_t* controller = d->controller(context());
    tolvconfig::setValue(config, key(KeyRotSampleSize), controller ? controller->rotSampleSize() : 0u);
}

void dlgGeneralSettings_t::loadSettings(tolvconfig::config_t& config, int index)
{
    guiSettings_t* settings = gui();
    auto key = [this](const char* name) { return outputKey(name, -1); };
    auto soundFile = [this](QString const& name) {
        return context() ? context()->soundFilePath(name) : name;
    };

    int offset = 0;
    if (tolvconfig::getValue(config, key(KeyTimezoneOffset), offset))
        settings->setUtcOffset(offset);

    QString text;
    if (tolvconfig::getValue(config, key(KeyDistUnit), text) || tolvconfig::getValue(config, key(KeyDistUnitOld), text))
        settings->setDistanceUnit(distanceUnitFromString(text));
    if (tolvconfig::getValue(config, key(KeySpeedUnit), text) || tolvconfig::getValue(config, key(KeySpeedUnitOld), text))
        settings->setSpeedUnit(speedUnitFromString(text));
    if (tolvconfig::getValue(config, key(KeyLatLonUnit), text)
        || tolvconfig::getValue(config, key(KeyLatLonUnitOld), text))
        settings->setLatLonFormat(latLonFormatFromString(text));

    if (tolvconfig::getValue(config, key(KeyBackgroundColor), text))
        settings->setBackgroundGraphColor(QColor(text));
    if (tolvconfig::getValue(config, key(KeyGridColor), text))
        settings->setGridGraphColor(QColor(text));
    if (tolvconfig::getValue(config, key(KeyTextColor), text))
        settings->setTextGraphColor(QColor(text));

    if (tolvconfig::getValue(config, key(KeyDisplayMode), text))
        d->rule.setModeText(text);

    // an unreadable time under the current key falls back to the older key
    auto loadTime = [&](const char* current, const char* older, unsigned int& hour, unsigned int& minute) {
        unsigned int h = 0;
        unsigned int m = 0;
        QString stored;
        if ((tolvconfig::getValue(config, key(current), stored) && displayModeRule_t::parseTimeText(stored, h, m))
            || (tolvconfig::getValue(config, key(older), stored) && displayModeRule_t::parseTimeText(stored, h, m))) {
            hour = h;
            minute = m;
        }
    };
    loadTime(KeyDayTime, KeyDayTimeOld, d->rule.dayStartHour, d->rule.dayStartMinute);
    loadTime(KeyNightTime, KeyNightTimeOld, d->rule.nightStartHour, d->rule.nightStartMinute);

    alertSoundSettings_t general(true, QString(), 1);
    tolvconfig::getValue(config, key(KeyGeneralEnabled), general.enabled);
    if (tolvconfig::getValue(config, key(KeyGeneralSound), text) && !text.isEmpty())
        general.file = soundFile(text);
    else
        general.file = soundFile(GeneralAlarmFile);
    settings->setGeneralAlertSoundSettings(general);

    alertSoundSettings_t quality(true, QString(), 1);
    tolvconfig::getValue(config, key(KeyQualityEnabled), quality.enabled);
    if (tolvconfig::getValue(config, key(KeyQualitySound), text) && !text.isEmpty())
        quality.file = soundFile(text);
    else
        quality.file = soundFile(QualityAlarmFile);
    int interval = 0;
    if (tolvconfig::getValue(config, key(KeyQualityTime), interval))
        quality.interval = unsigned(interval);
    settings->setQualityAlertSoundSettings(quality);

    unsigned int sampleSize = 0;
    if (tolvconfig::getValue(config, key(KeyRotSampleSize), sampleSize)) {
        if (remoteController_t* controller = d->controller(context()))
            controller->setRotSampleSize(sampleSize);
    }

    resetMode();
    applyDisplaySettings();
    orvaneDialog_t::loadSettings(config, index);
}

void dlgGeneralSettings_t::useDefaults()
{
    gui()->useDefaults();
    auto soundFile = [this](QString const& name) { return context() ? context()->soundFilePath(name) : name; };
    gui()->setGeneralAlertSoundSettings(alertSoundSettings_t(true, soundFile(GeneralAlarmFile), 5));
    gui()->setQualityAlertSoundSettings(alertSoundSettings_t(false, soundFile(QualityAlarmFile), 5));
    if (remoteController_t* controller = d->controller(context()))
        controller->setRotSampleSize(0);
}

void dlgGeneralSettings_t::updateUi()
{
    updateUtcOffset();
    updateLatLonFormat();
    updateDistanceUnit();
    updateSpeedUnit();
    updateBackgroundGraphColor();
    updateGridGraphColor();
    updateTextGraphColor();
    updateGeneralAlertSoundSettings();
    updateQualityAlertSoundSettings();
    updateRotSampleSize();
    applyDisplaySettings();
    reset();
}

bool dlgGeneralSettings_t::validateInputs()
{
    belrix_common_qt_gui::errorText_t errors;
    unsigned int hour = 0;
    unsigned int minute = 0;
    if (!displayModeRule_t::parseTimeText(d->ui.dayStartLineEdit->text(), hour, minute))
        errors << tr("Day start time is invalid") << Qt::endl;
    if (!displayModeRule_t::parseTimeText(d->ui.nightStartLineEdit->text(), hour, minute))
        errors << tr("Night start time is invalid") << Qt::endl;
    if (d->ui.timeIntervalLineEdit->isEnabled()) {
        bool ok = false;
        const int interval = d->ui.timeIntervalLineEdit->text().toInt(&ok, 10);
        if (!ok || interval < 0)
            errors << tr("Audio Time Interval is invalid") << Qt::endl;
    }
    bool ok = false;
    d->ui.rotSampleSizeLineEdit->text().toUInt(&ok, 10);
    if (!ok)
        errors << tr("ROT sample size is invalid") << Qt::endl;
    if (errors.isEmpty())
        return true;
    errors.report(this);
    return false;
}

bool dlgGeneralSettings_t::submit()
{
    if (!validateInputs())
        return false;
    guiSettings_t* settings = gui();
    auto soundFile = [this](QString const& name) { return context() ? context()->soundFilePath(name) : name; };

    const int hours = d->ui.utcOffsetHourCombo->currentText().toInt();
    int minutes = d->ui.utcOffsetMinuteCombo->currentText().toInt();
    // minutes count in the direction of the hour
    if (hours < 0)
        minutes = -minutes;
    settings->setUtcOffset((60 * hours + minutes) * 60);

    settings->setLatLonFormat(latLonFormat_t(d->ui.latLonFormatCombo->currentIndex()));
    settings->setDistanceUnit(distanceUnit_t(d->ui.distanceUnitCombo->currentIndex()));
    settings->setSpeedUnit(speedUnit_t(d->ui.speedUnitCombo->currentIndex()));

    settings->setBackgroundGraphColor(d->ui.backgroundGraphColorButton->selectedColor());
    settings->setGridGraphColor(d->ui.gridGraphColorButton->selectedColor());
    settings->setTextGraphColor(d->ui.textGraphColorButton->selectedColor());

    alertSoundSettings_t general(true, QString(), 1);
    general.enabled = d->ui.generalAlarmsCombo->currentIndex() != 0;
    general.file = soundFile(d->ui.generalSoundCombo->currentText());
    settings->setGeneralAlertSoundSettings(general);

    alertSoundSettings_t quality(true, QString(), 1);
    quality.enabled = d->ui.qualityAlarmsCombo->currentIndex() != 0;
    quality.file = soundFile(d->ui.qualitySoundCombo->currentText());
    quality.interval = unsigned(d->ui.timeIntervalLineEdit->text().toInt());
    settings->setQualityAlertSoundSettings(quality);

    unsigned int dayHour = 0, dayMinute = 0, nightHour = 0, nightMinute = 0;
    if (!displayModeRule_t::parseTimeText(d->ui.dayStartLineEdit->text(), dayHour, dayMinute)
        || !displayModeRule_t::parseTimeText(d->ui.nightStartLineEdit->text(), nightHour, nightMinute))
        return false;
    d->rule.dayStartHour = dayHour;
    d->rule.dayStartMinute = dayMinute;
    d->rule.nightStartHour = nightHour;
    d->rule.nightStartMinute = nightMinute;

    switch (d->ui.modeCombo->currentIndex()) {
    case ModeComboAuto:
        d->rule.autoMode = true;
        break;
    case ModeComboNight:
        d->rule.autoMode = false;
        d->rule.manualMode = displayModeNight;
        break;
    default:
        d->rule.autoMode = false;
        d->rule.manualMode = displayModeDay;
        break;
    }
    applyDisplaySettings();

    if (remoteController_t* controller = d->controller(context()))
        controller->setRotSampleSize(d->ui.rotSampleSizeLineEdit->text().toUInt());

    emit configurationModified();
    return true;
}

void dlgGeneralSettings_t::reset()
{
    resetUtcOffset();
    resetLatLonFormat();
    resetDistanceUnit();
    resetSpeedUnit();
    resetBackgroundGraphColor();
    resetGridGraphColor();
    resetTextGraphColor();
    resetGeneralAlertSoundSettings();
    resetQualityAlertSoundSettings();
    resetRotSampleSize();
    resetMode();
}

void dlgGeneralSettings_t::utcOffsetStrings(QString& hour_, QString& min_)
{
    const int offset = gui()->utcOffset();
    const int hours = offset / 3600;
    const int minutes = (offset - 3600 * hours) / 60;
    hour_ = QString::number(hours);
    min_ = QStringLiteral("%1").arg(qAbs(minutes), 2, 10, QLatin1Char('0'));
}

void dlgGeneralSettings_t::updateUtcOffset()
{
    QString hour;
    QString minute;
    utcOffsetStrings(hour, minute);
    d->ui.utcOffsetLabel->setText(QStringLiteral("%1:%2").arg(hour, minute));
    resetUtcOffset();
    checkMode();
}

void dlgGeneralSettings_t::resetUtcOffset()
{
    QString hour;
    QString minute;
    utcOffsetStrings(hour, minute);
    d->ui.utcOffsetHourCombo->setCurrentIndex(d->ui.utcOffsetHourCombo->findText(hour, Qt::MatchExactly | Qt::MatchCaseSensitive));
    d->ui.utcOffsetMinuteCombo->setCurrentIndex(
        d->ui.utcOffsetMinuteCombo->findText(minute, Qt::MatchExactly | Qt::MatchCaseSensitive));
}

void dlgGeneralSettings_t::updateLatLonFormat()
{
    d->ui.latLonFormatLabel->setText(d->ui.latLonFormatCombo->itemText(int(gui()->latLonFormat())));
    resetLatLonFormat();
}

void dlgGeneralSettings_t::resetLatLonFormat() { d->ui.latLonFormatCombo->setCurrentIndex(int(gui()->latLonFormat())); }

void dlgGeneralSettings_t::updateDistanceUnit()
{
    d->ui.distanceUnitLabel->setText(d->ui.distanceUnitCombo->itemText(int(gui()->distanceUnit())));
    resetDistanceUnit();
}

void dlgGeneralSettings_t::resetDistanceUnit() { d->ui.distanceUnitCombo->setCurrentIndex(int(gui()->distanceUnit())); }

void dlgGeneralSettings_t::updateSpeedUnit()
{
    d->ui.speedUnitLabel->setText(d->ui.speedUnitCombo->itemText(int(gui()->speedUnit())));
    resetSpeedUnit();
}

void dlgGeneralSettings_t::resetSpeedUnit() { d->ui.speedUnitCombo->setCurrentIndex(int(gui()->speedUnit())); }

void dlgGeneralSettings_t::updateBackgroundGraphColor()
{
    d->ui.backgroundGraphColorLabel->setText(gui()->backgroundGraphColor().name());
    resetBackgroundGraphColor();
}

void dlgGeneralSettings_t::resetBackgroundGraphColor()
{
    d->ui.backgroundGraphColorButton->selectedColor(gui()->backgroundGraphColor());
}

void dlgGeneralSettings_t::updateGridGraphColor()
{
    d->ui.gridGraphColorLabel->setText(gui()->gridGraphColor().name());
    resetGridGraphColor();
}

void dlgGeneralSettings_t::resetGridGraphColor() { d->ui.gridGraphColorButton->selectedColor(gui()->gridGraphColor()); }

void dlgGeneralSettings_t::updateTextGraphColor()
{
    d->ui.textGraphColorLabel->setText(gui()->textGraphColor().name());
    resetTextGraphColor();
}

void dlgGeneralSettings_t::resetTextGraphColor() { d->ui.textGraphColorButton->selectedColor(gui()->textGraphColor()); }

void dlgGeneralSettings_t::updateGeneralAlertSoundSettings()
{
    const alertSoundSettings_t general = gui()->generalAlertSoundSettings();
    d->ui.generalAlarmsLabel->setText(general.enabled ? YesString : NoString);
    d->ui.generalSoundLabel->setText(QFileInfo(general.file).fileName());
    resetGeneralAlertSoundSettings();
}

void dlgGeneralSettings_t::resetGeneralAlertSoundSettings()
{
    const alertSoundSettings_t general = gui()->generalAlertSoundSettings();
    d->ui.generalAlarmsCombo->setCurrentIndex(general.enabled ? 1 : 0);
    d->ui.generalSoundCombo->setCurrentIndex(d->ui.generalSoundCombo->findText(QFileInfo(general.file).fileName()));
}

void dlgGeneralSettings_t::updateQualityAlertSoundSettings()
{
    const alertSoundSettings_t quality = gui()->qualityAlertSoundSettings();
    d->ui.qualityAlarmsLabel->setText(quality.enabled ? YesString : NoString);
    d->ui.qualitySoundLabel->setText(QFileInfo(quality.file).fileName());
    d->ui.timeIntervalLabel->setText(QString::number(quality.interval));
    resetQualityAlertSoundSettings();
}

void dlgGeneralSettings_t::resetQualityAlertSoundSettings()
{
    const alertSoundSettings_t quality = gui()->qualityAlertSoundSettings();
    d->ui.qualityAlarmsCombo->setCurrentIndex(quality.enabled ? 1 : 0);
    d->ui.qualitySoundCombo->setCurrentIndex(d->ui.qualitySoundCombo->findText(QFileInfo(quality.file).fileName()));
    d->ui.timeIntervalLineEdit->setText(twoDigits(quality.interval));
}

void dlgGeneralSettings_t::updateRotSampleSize()
{
    const remoteController_t* controller = d->controller(context());
    d->ui.rotSampleSizeLabel->setText(QString::number(controller ? controller->rotSampleSize() : 0u));
    resetRotSampleSize();
}

void dlgGeneralSettings_t::resetRotSampleSize()
{
    const remoteController_t* controller = d->controller(context());
    d->ui.rotSampleSizeLineEdit->setText(twoDigits(controller ? controller->rotSampleSize() : 0u));
}

void dlgGeneralSettings_t::checkMode()
{
    if (!d->rule.autoMode)
        return;
    const int now = displayModeRule_t::localMinuteOfDay(dataTimestamp(), gui()->utcOffset());
    gui()->setDisplayMode(d->rule.modeAt(now));
}

void dlgGeneralSettings_t::updateCurrentMode(displayMode_t mode_)
{
    const bool night = mode_ == displayModeNight;
    QPalette const& palette = night ? d->nightPalette : d->dayPalette;
    QString const& tagToAdd = night ? guiSettings_t::nightModeTag : guiSettings_t::dayModeTag;
    QString const& tagToRemove = night ? guiSettings_t::dayModeTag : guiSettings_t::nightModeTag;
    const styleSheet_t sheet = night ? styleSheetNight : styleSheetDay;

    const int index = night ? ModeComboNight : ModeComboDay;
    d->ui.currentModeLabel->setText(d->ui.modeCombo->itemText(index));
    d->ui.modeLabel->setText(d->ui.modeCombo->itemText(d->rule.autoMode ? ModeComboAuto : index));
    d->ui.dayStartLabel->setText(displayModeRule_t::timeText(d->rule.dayStartHour, d->rule.dayStartMinute));
    d->ui.nightStartLabel->setText(displayModeRule_t::timeText(d->rule.nightStartHour, d->rule.nightStartMinute));

    QApplication::setPalette(palette);

    // setting the same sheet again would restyle every widget for nothing
    QString const& text = getStyleSheet(sheet);
    if (text != d->appliedStyleSheet) {
        d->appliedStyleSheet = text;
        qApp->setStyleSheet(text);
    }

    QSet<QString> tags = styleManager_t::get()->globalTags();
    tags.remove(tagToRemove);
    tags.insert(tagToAdd);
    styleManager_t::get()->setGlobalTags(tags);
}

void dlgGeneralSettings_t::resetMode()
{
    d->ui.dayStartLineEdit->setText(displayModeRule_t::timeText(d->rule.dayStartHour, d->rule.dayStartMinute));
    d->ui.nightStartLineEdit->setText(displayModeRule_t::timeText(d->rule.nightStartHour, d->rule.nightStartMinute));
    d->ui.modeCombo->setCurrentIndex(d->modeComboIndex());
}

void dlgGeneralSettings_t::checkGeneralAlertSoundSettings()
{
    d->ui.generalSoundCombo->setEnabled(d->ui.generalAlarmsCombo->currentIndex() > 0);
}

void dlgGeneralSettings_t::checkQualityAlertSoundSettings()
{
    const bool enabled = d->ui.qualityAlarmsCombo->currentIndex() > 0;
    d->ui.qualitySoundCombo->setEnabled(enabled);
    d->ui.timeIntervalLineEdit->setEnabled(enabled);
}

void dlgGeneralSettings_t::applyDisplaySettings()
{
    d->ui.modeLabel->setText(d->ui.modeCombo->itemText(d->modeComboIndex()));
    d->ui.dayStartLabel->setText(displayModeRule_t::timeText(d->rule.dayStartHour, d->rule.dayStartMinute));
    d->ui.nightStartLabel->setText(displayModeRule_t::timeText(d->rule.nightStartHour, d->rule.nightStartMinute));
    if (!d->rule.autoMode) {
        d->modeTimer->stop();
        gui()->setDisplayMode(d->rule.manualMode);
    } else {
        checkMode();
        d->modeTimer->start(ModeTimerMs);
    }
}

void dlgGeneralSettings_t::getSoundsList()
{
    d->ui.generalSoundCombo->clear();
    d->ui.qualitySoundCombo->clear();
    if (!context())
        return;
    const QDir dir(context()->soundsDir(), QStringLiteral("*.wav"));
    for (QFileInfo const& entry : dir.entryInfoList()) {
        if (entry.isDir())
            continue;
        d->ui.generalSoundCombo->addItem(entry.fileName());
        d->ui.qualitySoundCombo->addItem(entry.fileName());
    }
}

} // namespace qc
} // namespace orvane
