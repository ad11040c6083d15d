#pragma once

#include "belrix_common_qt_gui_export.h"
#include "belrix_common_qt_gui/alertSoundSettings.h"

#include <belrix_common_qt/units.h>

#include <QColor>
#include <QObject>
#include <QString>

namespace belrix_common_qt_gui {

using belrix_common_qt::displayMode_t;
using belrix_common_qt::distanceUnit_t;
using belrix_common_qt::latLonFormat_t;
using belrix_common_qt::speedUnit_t;

// The application's display settings, one object per process. Every setter emits its
// change signal only when the value really changes.
class BELRIX_COMMON_QT_GUI_EXPORT guiSettings_t : public QObject
{
    Q_OBJECT
public:
    static guiSettings_t* get();

    static const QString dayModeTag;
    static const QString nightModeTag;

    int utcOffset() const;   // seconds, local time minus UTC
    latLonFormat_t latLonFormat() const;
    distanceUnit_t distanceUnit() const;
    speedUnit_t speedUnit() const;
    QColor backgroundGraphColor() const;
    QColor gridGraphColor() const;
    QColor textGraphColor() const;
    displayMode_t displayMode() const;
    alertSoundSettings_t generalAlertSoundSettings() const;
    alertSoundSettings_t qualityAlertSoundSettings() const;

    // Graph colours for the mode in force: night mode dims the configured ones.
    QColor effectiveBackgroundGraphColor() const;
    QColor effectiveGridGraphColor() const;
    QColor effectiveTextGraphColor() const;
    // A data colour (a device's) for the mode in force: at night of a middle brightness, so it
    // neither dazzles nor sinks into the dimmed background.
    QColor effectiveDataColor(QColor const& color) const;

    void setUtcOffset(int seconds);
    void setLatLonFormat(latLonFormat_t format);
    void setDistanceUnit(distanceUnit_t unit);
    void setSpeedUnit(speedUnit_t unit);
    void setBackgroundGraphColor(QColor const& color);
    void setGridGraphColor(QColor const& color);
    void setTextGraphColor(QColor const& color);
    void setDisplayMode(displayMode_t mode);
    void setGeneralAlertSoundSettings(alertSoundSettings_t const& settings);
    void setQualityAlertSoundSettings(alertSoundSettings_t const& settings);

    // Puts every value back to the library's defaults, signalling each that changes.
    void useDefaults();

signals:
    void utcOffsetChanged(int seconds);
    void latLonFormatChanged(belrix_common_qt::latLonFormat_t format);
    void distanceUnitChanged(belrix_common_qt::distanceUnit_t unit);
    void speedUnitChanged(belrix_common_qt::speedUnit_t unit);
    void backgroundGraphColorChanged(QColor const& color);
    void gridGraphColorChanged(QColor const& color);
    void textGraphColorChanged(QColor const& color);
    void displayModeChanged(belrix_common_qt::displayMode_t mode);
    void generalAlertSoundSettingsChanged(belrix_common_qt_gui::alertSoundSettings_t const& settings);
    void qualityAlertSoundSettingsChanged(belrix_common_qt_gui::alertSoundSettings_t const& settings);

private:
    guiSettings_t();
    ~guiSettings_t() override;

    class private_t;
    private_t* d;
};

} // namespace belrix_common_qt_gui
