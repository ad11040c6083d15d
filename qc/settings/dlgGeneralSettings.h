#pragma once

#include "orvane_qc_export.h"
#include "settings/displayModeRule.h"

#include <belrix_common_qt/units.h>
#include <orvane/mainWindowDialog.h>

namespace orvane {
class context_t;
}

namespace orvane {
namespace qc {

// The application's general settings: units, lat/lon format, UTC offset, graph colours,
// the day/night display mode (by hand or by the time of day), the audio alarms and the
// rate-of-turn sample size. Every row shows the setting in force beside its editor and
// follows changes made anywhere; a change of display mode restyles the whole application.
class ORVANE_QC_EXPORT dlgGeneralSettings_t : public orvane::mainWindowDialog_t
{
    Q_OBJECT
public:
    dlgGeneralSettings_t(orvane::context_t* context, QWidget* parent);
    ~dlgGeneralSettings_t() override;

    // The display-mode rule in force, and setting it as Apply does: the form shows it and
    // the application takes its look (by hand at once, or by the clock).
    displayModeRule_t displayModeRule() const;
    void setDisplayModeRule(displayModeRule_t const& rule);

public slots:
    void saveSettings(tolvconfig::config_t& config, int index) override;
    void loadSettings(tolvconfig::config_t& config, int index) override;
    void useDefaults() override;
    void updateUi() override;

private slots:
    bool submit();
    void reset();
    void utcOffsetStrings(QString& hour_, QString& min_);
    void updateUtcOffset();
    void resetUtcOffset();
    void updateLatLonFormat();
    void resetLatLonFormat();
    void updateDistanceUnit();
    void resetDistanceUnit();
    void updateSpeedUnit();
    void resetSpeedUnit();
    void updateBackgroundGraphColor();
    void resetBackgroundGraphColor();
    void updateGridGraphColor();
    void resetGridGraphColor();
    void updateTextGraphColor();
    void resetTextGraphColor();
    void updateGeneralAlertSoundSettings();
    void resetGeneralAlertSoundSettings();
    void updateQualityAlertSoundSettings();
    void resetQualityAlertSoundSettings();
    void updateRotSampleSize();
    void resetRotSampleSize();
    void checkMode();
    void updateCurrentMode(belrix_common_qt::displayMode_t mode_);
    void resetMode();
    void checkGeneralAlertSoundSettings();
    void checkQualityAlertSoundSettings();
    void applyDisplaySettings();
    void getSoundsList();

private:
    bool validateInputs();

    class private_t;
    private_t* d;
};

} // namespace qc
} // namespace orvane
