#pragma once

#include "orvane_qc_export.h"

#include <orvane/device.h>

namespace orvane {
namespace qc {

class dlgExtLogData_t;

// The QC device: from its capability mask it builds its windows, their pages and actions,
// its menus, tool bar and panels, and offers the man-overboard fix.
class ORVANE_QC_EXPORT qcDevice_t : public orvane::device_t
{
    Q_OBJECT
public:
    qcDevice_t(orvane::context_t* context, QString name, QObject* parent);
    ~qcDevice_t() override;

    void saveSettings(tolvconfig::config_t& cfg) override;
    void loadSettings(tolvconfig::config_t& cfg) override;
    void useDefaults() override;

signals:
    void newFix(uint portId_, double tstamp_, double lat_, double lon_, double hgt_, const QString& desc_ = QString());

public slots:
    void enableMenu(bool connected) override;

protected slots:
    void ageData() override;
    void ageQcQualityPanel();
    void ageSignalStatusWidget();
    void manOverboard();
    void handleLogCfgUpdated(belrix_common_qt::logChannelType_t channel,
                             const belrix_common_qt::logCfg_t* cfg) override;

private slots:
    void handleQcQualityPanelDestroyed();
    void handleSignalStatusWidgetDestroyed();

protected:
    void createLogDataDialog() override;
    orvane::dlgLogData_t* dlgLogData() override;
    void makeDialogs() override;
    void makeActions() override;
    void makeConnections() override;
    void buildMenus() override;
    void buildToolBar() override;
    void makeDockWidget() override;

private:
    class private_t;
    private_t* d;
};

} // namespace qc
} // namespace orvane
