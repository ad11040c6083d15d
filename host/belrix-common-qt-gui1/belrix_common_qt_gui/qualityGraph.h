#pragma once

#include "belrix_common_qt_gui_export.h"
#include "belrix_common_qt_gui/timePlot.h"

#include <QString>
#include <QVector>

#include <functional>
#include <optional>

namespace belrix_common_qt {
class remoteDevice_t;
}

namespace belrix_common_qt_gui {

class qualitySettings_t;

// One quantity that a device graph can show: its stable identifier, its name and unit, how
// to read it from a device's data at a data time, and, where the device's quality
// thresholds grade it, the bands of good, marginal and bad values.
class BELRIX_COMMON_QT_GUI_EXPORT qualityGraph_t
{
public:
    enum unitKind_t { unitNone, unitDistance, unitSpeed, unitSeconds, unitDecibelHertz };

    // Where the quantity turns marginal and bad, in its display unit.
    struct thresholds_t {
        bool valid = false;
        bool largerIsBetter = false;
        double good = 0.0;   // good beyond this (below, or above when larger is better)
        double bad = 0.0;    // bad beyond this
        bool operator==(thresholds_t const& o) const
        {
            return valid == o.valid && (!valid || (largerIsBetter == o.largerIsBetter && good == o.good && bad == o.bad));
        }
        bool operator!=(thresholds_t const& o) const { return !(*this == o); }
    };

    // The value in SI units (metres, metres per second, seconds); empty when the device has
    // none or it is 3 seconds old or older at now.
    using reader_t = std::function<std::optional<double>(belrix_common_qt::remoteDevice_t const& device, double now)>;
    using thresholdsReader_t =
        std::function<thresholds_t(belrix_common_qt::remoteDevice_t const* device, qualitySettings_t const& settings)>;

    // floor: the least top of the value axis, so small values do not fill the graph.
    qualityGraph_t(QString const& id, QString const& name, unitKind_t unit, int decimals, double floor, reader_t reader,
                   thresholdsReader_t thresholds = thresholdsReader_t());
    ~qualityGraph_t();
    qualityGraph_t(qualityGraph_t const&) = delete;
    qualityGraph_t& operator=(qualityGraph_t const&) = delete;

    QString id() const;
    QString name() const;
    // The unit symbol in force (the user's distance or speed unit where it applies).
    QString unit() const;
    unitKind_t unitKind() const;
    int decimals() const;
    // The least top of the value axis, raised so that the marginal band shows.
    double rangeFloor(thresholds_t const& thresholds) const;

    // In the display unit; empty without a device, without data or with stale data.
    std::optional<double> value(belrix_common_qt::remoteDevice_t const* device, double now) const;

    // The thresholds by which settings are read; null reads the defaults.
    void setQualitySettings(qualitySettings_t const* settings);
    bool hasThresholds() const;
    thresholds_t thresholds(belrix_common_qt::remoteDevice_t const* device) const;
    // Green, amber and red bands behind the values, in the lamp colours of the day or night look.
    static QVector<timePlot_t::band_t> bands(thresholds_t const& thresholds, bool night);

private:
    class private_t;
    private_t* d;
};

} // namespace belrix_common_qt_gui
