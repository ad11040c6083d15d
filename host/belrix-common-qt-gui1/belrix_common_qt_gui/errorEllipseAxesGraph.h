#pragma once

#include "belrix_common_qt_gui_export.h"
#include "belrix_common_qt_gui/summaryTimeGraph.h"

namespace belrix_common_qt_gui {

// The semi-major and semi-minor axes of the error ellipse of the device's QC summaries
// against time.
class BELRIX_COMMON_QT_GUI_EXPORT errorEllipseAxesGraph_t : public summaryTimeGraph_t
{
    Q_OBJECT
public:
    explicit errorEllipseAxesGraph_t(QWidget* parent = nullptr);
    ~errorEllipseAxesGraph_t() override;

protected:
    void addSummary(double time, belrix_common_qt::qcSummary_t const& summary) override;
    void updateSettings(belrix_common_qt::remoteDevice_t* device) override;
    QString infoHtml() const override;

private:
    class private_t;
    private_t* d;
};

} // namespace belrix_common_qt_gui
