#pragma once

#include "belrix_common_qt_gui_export.h"
#include "belrix_common_qt_gui/summaryTimeGraph.h"

namespace belrix_common_qt_gui {

// The a posteriori unit variance of the device's QC summaries against time, with the
// device's unit variance limit as a line.
class BELRIX_COMMON_QT_GUI_EXPORT unitVarianceGraph_t : public summaryTimeGraph_t
{
    Q_OBJECT
public:
    explicit unitVarianceGraph_t(QWidget* parent = nullptr);
    ~unitVarianceGraph_t() override;

    double limit() const;

protected:
    void addSummary(double time, belrix_common_qt::qcSummary_t const& summary) override;
    void updateSettings(belrix_common_qt::remoteDevice_t* device) override;
    QString infoHtml() const override;

private:
    class private_t;
    private_t* d;
};

} // namespace belrix_common_qt_gui
