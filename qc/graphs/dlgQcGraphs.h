#pragma once

#include "orvane_qc_export.h"
#include "common/qcDeviceDialog.h"

namespace orvane {
namespace qc {

// The device's QC graphs view: one graph at a time, chosen by the user, updated once a second.
class ORVANE_QC_EXPORT dlgQcGraphs_t : public qcDeviceDialog_t
{
    Q_OBJECT
public:
    dlgQcGraphs_t(orvane::context_t* context, QWidget* parent);
    ~dlgQcGraphs_t() override;

public slots:
    void saveSettings(tolvconfig::config_t& config, int index) override;
    void loadSettings(tolvconfig::config_t& config, int index) override;

private slots:
    void updateActiveGraph();
    void toggleUpdate();
    void selectGraph(int index);
    void showInfo();
    void handleGraphsViewDestroyed();

private:
    bool checkGraphsView();
    void startUpdate();
    void stopUpdate();
    void updateInfoButton();

    class private_t;
    private_t* d;
};

} // namespace qc
} // namespace orvane
