#pragma once

#include "belrix_common_qt_gui_export.h"
#include "belrix_common_qt_gui/baseGraphWidget.h"

#include <belrix_common_qt/constellation.h>

#include <QVector>

namespace belrix_common_qt_gui {

// The receiver's sky, north up: the zenith at the centre, the horizon at the rim, rings at
// 30° and 60° elevation and the elevation mask shaded. Each satellite sits at its azimuth
// and elevation in its constellation's colour, filled when used in the position and hollow
// when not, labelled with its number and signal level.
class BELRIX_COMMON_QT_GUI_EXPORT skyPlotWidget_t : public baseGraphWidget_t
{
    Q_OBJECT
public:
    struct satellite_t {
        unsigned int number = 0;
        belrix_common_qt::constellation_t constellation = belrix_common_qt::constellationUnknown;
        double azimuth = 0.0;     // degrees from true north
        double elevation = 0.0;   // degrees
        bool used = false;
        double level = 0.0;       // dB-Hz, the strongest signal; NaN when none is reported
    };

    explicit skyPlotWidget_t(QWidget* parent = nullptr);
    ~skyPlotWidget_t() override;

    void setSatellites(QVector<satellite_t> const& satellites);
    QVector<satellite_t> satellites() const;
    void setElevationMask(double degrees);
    double elevationMask() const;

    // Where a satellite at azimuth and elevation (degrees) stands in mapping, which plots
    // 90 units from zenith to horizon. Below the horizon stays on the rim.
    static QPointF skyPoint(polarMapping_t const& mapping, double azimuth, double elevation);
    // The colour of each constellation by day; the plot dims it at night.
    static QColor constellationColor(belrix_common_qt::constellation_t constellation);

protected:
    double margin() const override;
    void drawGrid(QPainter& painter, polarMapping_t const& mapping) override;
    void drawData(QPainter& painter, polarMapping_t const& mapping) override;

private:
    class private_t;
    private_t* d;
};

} // namespace belrix_common_qt_gui
