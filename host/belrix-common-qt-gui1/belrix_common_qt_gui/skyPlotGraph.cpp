#include "belrix_common_qt_gui/skyPlotGraph.h"

#include "belrix_common_qt_gui/skyPlotWidget.h"

#include <belrix_common_qt/dataClock.h>
#include <belrix_common_qt/remoteDevice.h>
#include <belrix_common_qt/remoteNavSat.h>

#include <QVBoxLayout>

#include <cmath>
#include <limits>

namespace belrix_common_qt_gui {

using namespace belrix_common_qt;

class skyPlotGraph_t::private_t
{
public:
    skyPlotWidget_t* plot = nullptr;
};

skyPlotGraph_t::skyPlotGraph_t(QWidget* parent) : qcGraph_t(tr("Sky Plot"), parent), d(new private_t)
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    d->plot = new skyPlotWidget_t(this);
    layout->addWidget(d->plot);
}

skyPlotGraph_t::~skyPlotGraph_t() { delete d; }

skyPlotWidget_t* skyPlotGraph_t::plot() const { return d->plot; }

void skyPlotGraph_t::update(remoteDevice_t* device, double time)
{
    QVector<skyPlotWidget_t::satellite_t> shown;
    if (device) {
        d->plot->setElevationMask(device->elevationMask());
        for (auto const& [number, sat] : device->allNavSats()) {
            dataItem_t<float> const& azimuth = sat->azimuth();
            dataItem_t<float> const& elevation = sat->elevation();
            if (!azimuth.isValid() || !elevation.isValid() || !isSatDataRecent(elevation.timestamp(), time))
                continue;
            skyPlotWidget_t::satellite_t s;
            s.number = number;
            s.constellation = sat->constellation();
            s.azimuth = azimuth.value();
            s.elevation = elevation.value();
            s.used = sat->isUsed();
            s.level = std::numeric_limits<double>::quiet_NaN();
            for (int i = 0; i < remoteNavSat_t::MaxFrequencies; ++i) {
                dataItem_t<freq_t> const* f = sat->freq(i);
                if (f && f->isValid() && isSatDataRecent(f->timestamp(), time)
                    && !(double(f->value().level) <= s.level))
                    s.level = f->value().level;
            }
            shown << s;
        }
    }
    d->plot->setSatellites(shown);
}

QString skyPlotGraph_t::infoHtml() const
{
    int used = 0, weak = 0;
    for (skyPlotWidget_t::satellite_t const& s : d->plot->satellites()) {
        used += s.used ? 1 : 0;
        weak += std::isfinite(s.level) && s.level < 30.0 ? 1 : 0;
    }
    return tr("<h3>Sky Plot</h3>"
              "<p>Every satellite the receiver reports in view, seen from above with north up: the centre is "
              "straight overhead (90° elevation), the outer circle the horizon, the dashed rings 30° and 60° "
              "elevation. The shaded band is below the elevation mask, where the receiver does not use "
              "satellites.</p>"
              "<p>Colour gives the constellation (legend, top left). A filled circle is used in the position, a "
              "hollow one is not. Beside each are its number and its signal level (C/N0, dB-Hz); below about "
              "30 dB-Hz a signal is weak and more easily disturbed.</p>"
              "<p>What to look for: satellites spread all round the sky give a strong geometry; when those in "
              "use crowd into one side (a mast, a superstructure, the coast blocking the rest) the position "
              "weakens along that side. Satellites in view but not used, high above the mask, may be unhealthy, "
              "of a system the receiver does not use, or disturbed.</p>"
              "<p>Now: %1 in view, %2 used, %3 weaker than 30 dB-Hz; elevation mask %4°.</p>")
        .arg(d->plot->satellites().size())
        .arg(used)
        .arg(weak)
        .arg(d->plot->elevationMask(), 0, 'f', 1);
}

} // namespace belrix_common_qt_gui
