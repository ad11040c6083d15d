#pragma once

#include "belrix_common_qt_gui_export.h"
#include "belrix_common_qt_gui/forecasterType.h"
#include "belrix_common_qt_gui/quality.h"

#include <QObject>

namespace belrix_common_qt {
struct satForecastOutput_t;
}

namespace belrix_common_qt_gui {

class forecastGraph_t;
class qualitySettings_t;

// One quantity of a satellite forecast, sample by sample, into the forecastGraph_t it is
// bound to: its value in each forecast and its grade against the device's quality
// thresholds. Derived classes say which quantity and which thresholds.
class BELRIX_COMMON_QT_GUI_EXPORT forecasterGraph_t : public QObject
{
    Q_OBJECT
public:
    explicit forecasterGraph_t(QObject* parent = nullptr);
    ~forecasterGraph_t() override;

    forecastGraph_t* graph() const;

    virtual forecasterType_t type() const = 0;
    // The quantity in a valid forecast; NaN when the forecast gives none.
    virtual double value(belrix_common_qt::satForecastOutput_t const& output) const = 0;
    virtual quality_t grade(double value, qualitySettings_t const& settings) const = 0;
    // Where the grade turns from good to marginal (good) and from marginal to bad (bad).
    virtual void thresholds(qualitySettings_t const& settings, double& good, double& bad) const = 0;

public slots:
    // The graph may go before this object; it is then forgotten.
    void setGraph(belrix_common_qt_gui::forecastGraph_t* graph);
    // Removes the samples from the bound graph.
    void clear();
    // Adds the quantity at time (seconds since 1970) to the bound graph, graded by settings;
    // without settings, or for a forecast that could not be made, the sample is ungraded. A
    // forecast without the quantity (too few satellites for a DOP) is graded bad.
    void addPointNow(double time, belrix_common_qt::satForecastOutput_t const& output,
                     belrix_common_qt_gui::qualitySettings_t const* settings);

private:
    class private_t;
    private_t* d;
};

} // namespace belrix_common_qt_gui
