#pragma once

#include "belrix_common_qt_gui_export.h"
#include "belrix_common_qt_gui/forecasterGraph.h"

namespace belrix_common_qt_gui {

// The forecast's PDOP, graded by the device's PDOP thresholds.
class BELRIX_COMMON_QT_GUI_EXPORT pdopForecasterGraph_t : public forecasterGraph_t
{
    Q_OBJECT
public:
    explicit pdopForecasterGraph_t(QObject* parent = nullptr);
    ~pdopForecasterGraph_t() override;

    forecasterType_t type() const override;
    double value(belrix_common_qt::satForecastOutput_t const& output) const override;
    quality_t grade(double value, qualitySettings_t const& settings) const override;
    void thresholds(qualitySettings_t const& settings, double& good, double& bad) const override;
};

} // namespace belrix_common_qt_gui
