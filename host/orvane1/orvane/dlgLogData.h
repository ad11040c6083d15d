#pragma once

#include "orvane_export.h"
#include "orvane/deviceDialog.h"

#include <belrix_common_qt/logCfg.h>

class QPushButton;
class QVBoxLayout;

namespace orvane {

// The host's data-logging window of a device: where and how its raw data is recorded.
class ORVANE_EXPORT dlgLogData_t : public deviceDialog_t
{
    Q_OBJECT
public:
    dlgLogData_t(context_t* context, QWidget* parent);
    ~dlgLogData_t() override;

    // The window's main vertical layout; derived windows insert their own parts.
    QVBoxLayout* layout() const;

    // The raw log's settings, and the file name pattern of both channels, under the device's
    // keys "log_raw_active", "log_raw_mode", "log_raw_path", "log_raw_age" (days),
    // "log_raw_pattern" and "log_csv_pattern". A log that was running starts again.
    void saveSettings(tolvconfig::config_t& config, int index) override;
    void loadSettings(tolvconfig::config_t& config, int index) override;

public slots:
    void updateUi() override;
    // Brings the bytes written up to date.
    void handleClockTimeout() override;
    virtual void startLogging();
    virtual void stopLogging();
    virtual void checkButtons(bool logging);

protected:
    void addButton(QPushButton* button);
    // Checks the form; reports every problem at once and returns false when there is one.
    bool validateInput();
    // Fills an active configuration from the form.
    void setLogCfg(belrix_common_qt::logCfg_t* cfg) const;
    void updateLogCfg(belrix_common_qt::logCfg_t const* cfg);
    void setDiagnosticVisible(bool visible);
    // The channel whose file and state the window reports; raw unless a derived window says.
    void setLogChannel(belrix_common_qt::logChannelType_t channel);

private slots:
    void browse();
    void handleLoggerStatus(belrix_common_qt::logChannelType_t channel);

private:
    void watchLogger();
    void updateStatus();

    class private_t;
    private_t* d;
};

} // namespace orvane
