#pragma once

#include "orvane_qc_export.h"

#include <orvane/dlgLogData.h>

namespace orvane {
namespace qc {

// The host's logging window with a second format: chosen fields as comma-separated values
// on the device's external log channel. Until showCsvLogging() it is the raw logging window;
// afterwards it is in CSV mode exactly while the "CSV Fields" group is on screen.
class ORVANE_QC_EXPORT dlgExtLogData_t : public orvane::dlgLogData_t
{
    Q_OBJECT
public:
    dlgExtLogData_t(orvane::context_t* context, QWidget* parent);
    ~dlgExtLogData_t() override;

public slots:
    // The external channel's configuration and field mask, whatever the mode.
    void saveSettings(tolvconfig::config_t& config, int index) override;
    // Without a stored field mask the device is left as it is.
    void loadSettings(tolvconfig::config_t& config, int index) override;
    void updateUi() override;
    // Adds the CSV part, once, in raw mode.
    virtual void showCsvLogging();
    void startLogging() override;
    void stopLogging() override;
    void checkButtons(bool logging) override;
    void setRawLogging();
    void setCsvLogging();
    void setLogging(bool raw_);

private:
    bool isRawLogging() const;

    class private_t;
    private_t* d;
};

} // namespace qc
} // namespace orvane
