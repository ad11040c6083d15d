#include "belrix_common_qt_gui/guiSettings.h"

namespace belrix_common_qt_gui {

const QString guiSettings_t::dayModeTag = QStringLiteral("day");
const QString guiSettings_t::nightModeTag = QStringLiteral("night");

namespace {

// Night mode keeps the hues but takes the light down, so no plot glares on a dark bridge.
QColor dimmed(QColor const& color, double factor)
{
    if (!color.isValid())
        return color;
    QColor hsv = color.toHsv();
    return QColor::fromHsvF(hsv.hueF() < 0 ? 0 : hsv.hueF(), hsv.saturationF(), hsv.valueF() * factor);
}

} // namespace

class guiSettings_t::private_t
{
public:
    int utcOffset = 0;
    latLonFormat_t latLonFormat = belrix_common_qt::latLonFormatDegreesMinutes;
    distanceUnit_t distanceUnit = belrix_common_qt::distanceUnitMeters;
    speedUnit_t speedUnit = belrix_common_qt::speedUnitKnots;
    QColor background{QStringLiteral("#ffffff")};
    QColor grid{QStringLiteral("#9aa5b1")};
    QColor text{QStringLiteral("#1b2631")};
    displayMode_t displayMode = belrix_common_qt::displayModeDay;
    alertSoundSettings_t generalAlarm{true, QString(), 5};
    alertSoundSettings_t qualityAlarm{false, QString(), 5};
};

guiSettings_t* guiSettings_t::get()
{
    // Never destroyed: windows may still disconnect from it during application shutdown.
    static guiSettings_t* instance = new guiSettings_t;
    return instance;
}

guiSettings_t::guiSettings_t() : d(new private_t) {}
guiSettings_t::~guiSettings_t() { delete d; }

int guiSettings_t::utcOffset() const { return d->utcOffset; }
latLonFormat_t guiSettings_t::latLonFormat() const { return d->latLonFormat; }
distanceUnit_t guiSettings_t::distanceUnit() const { return d->distanceUnit; }
speedUnit_t guiSettings_t::speedUnit() const { return d->speedUnit; }
QColor guiSettings_t::backgroundGraphColor() const { return d->background; }
QColor guiSettings_t::gridGraphColor() const { return d->grid; }
QColor guiSettings_t::textGraphColor() const { return d->text; }
displayMode_t guiSettings_t::displayMode() const { return d->displayMode; }
alertSoundSettings_t guiSettings_t::generalAlertSoundSettings() const { return d->generalAlarm; }
alertSoundSettings_t guiSettings_t::qualityAlertSoundSettings() const { return d->qualityAlarm; }

QColor guiSettings_t::effectiveBackgroundGraphColor() const
{
    return d->displayMode == belrix_common_qt::displayModeNight ? dimmed(d->background, 0.25) : d->background;
}

QColor guiSettings_t::effectiveGridGraphColor() const
{
    return d->displayMode == belrix_common_qt::displayModeNight ? dimmed(d->grid, 0.55) : d->grid;
}

QColor guiSettings_t::effectiveTextGraphColor() const
{
    if (d->displayMode != belrix_common_qt::displayModeNight)
        return d->text;
    // dark text on a dimmed background would vanish: use a soft light grey instead
    return d->text.lightnessF() < 0.5 ? QColor(QStringLiteral("#b8b8b8")) : dimmed(d->text, 0.7);
}

QColor guiSettings_t::effectiveDataColor(QColor const& color) const
{
    if (d->displayMode != belrix_common_qt::displayModeNight || !color.isValid())
        return color;
    // bright colours are dimmed, dark ones lifted: a data colour must still read at a glance
    // on the dimmed background
    const QColor hsv = color.toHsv();
    return QColor::fromHsvF(hsv.hueF() < 0 ? 0 : hsv.hueF(), hsv.saturationF(), qBound(0.6, hsv.valueF(), 0.75));
}

void guiSettings_t::setUtcOffset(int seconds)
{
    if (d->utcOffset == seconds)
        return;
    d->utcOffset = seconds;
    emit utcOffsetChanged(seconds);
}

void guiSettings_t::setLatLonFormat(latLonFormat_t format)
{
    if (d->latLonFormat == format)
        return;
    d->latLonFormat = format;
    emit latLonFormatChanged(format);
}

void guiSettings_t::setDistanceUnit(distanceUnit_t unit)
{
    if (d->distanceUnit == unit)
        return;
    d->distanceUnit = unit;
    emit distanceUnitChanged(unit);
}

void guiSettings_t::setSpeedUnit(speedUnit_t unit)
{
    if (d->speedUnit == unit)
        return;
    d->speedUnit = unit;
    emit speedUnitChanged(unit);
}

void guiSettings_t::setBackgroundGraphColor(QColor const& color)
{
    if (d->background == color)
        return;
    d->background = color;
    emit backgroundGraphColorChanged(color);
}

void guiSettings_t::setGridGraphColor(QColor const& color)
{
    if (d->grid == color)
        return;
    d->grid = color;
    emit gridGraphColorChanged(color);
}

void guiSettings_t::setTextGraphColor(QColor const& color)
{
    if (d->text == color)
        return;
    d->text = color;
    emit textGraphColorChanged(color);
}

void guiSettings_t::setDisplayMode(displayMode_t mode)
{
    if (d->displayMode == mode)
        return;
    d->displayMode = mode;
    emit displayModeChanged(mode);
}

void guiSettings_t::setGeneralAlertSoundSettings(alertSoundSettings_t const& settings)
{
    if (d->generalAlarm == settings)
        return;
    d->generalAlarm = settings;
    emit generalAlertSoundSettingsChanged(settings);
}

void guiSettings_t::setQualityAlertSoundSettings(alertSoundSettings_t const& settings)
{
    if (d->qualityAlarm == settings)
        return;
    d->qualityAlarm = settings;
    emit qualityAlertSoundSettingsChanged(settings);
}

void guiSettings_t::useDefaults()
{
    const private_t defaults;
    setUtcOffset(defaults.utcOffset);
    setLatLonFormat(defaults.latLonFormat);
    setDistanceUnit(defaults.distanceUnit);
    setSpeedUnit(defaults.speedUnit);
    setBackgroundGraphColor(defaults.background);
    setGridGraphColor(defaults.grid);
    setTextGraphColor(defaults.text);
    setDisplayMode(defaults.displayMode);
    setGeneralAlertSoundSettings(defaults.generalAlarm);
    setQualityAlertSoundSettings(defaults.qualityAlarm);
}

} // namespace belrix_common_qt_gui
