#include "belrix_common_qt_gui/qualityGraph.h"

#include "belrix_common_qt_gui/guiSettings.h"
#include "belrix_common_qt_gui/qualityLight.h"
#include "belrix_common_qt_gui/qualitySettings.h"

#include <belrix_common_qt/units.h>

#include <algorithm>
#include <cmath>
#include <limits>

namespace belrix_common_qt_gui {

using namespace belrix_common_qt;

class qualityGraph_t::private_t
{
public:
    QString id;
    QString name;
    unitKind_t unit = unitNone;
    int decimals = 0;
    double floor = 1.0;
    reader_t reader;
    thresholdsReader_t thresholds;
    qualitySettings_t const* settings = nullptr;

    double toDisplay(double value) const
    {
        switch (unit) {
        case unitDistance: return metersToUnit(value, guiSettings_t::get()->distanceUnit());
        case unitSpeed: return metersPerSecondToUnit(value, guiSettings_t::get()->speedUnit());
        default: return value;
        }
    }
};

qualityGraph_t::qualityGraph_t(QString const& id, QString const& name, unitKind_t unit, int decimals, double floor,
                               reader_t reader, thresholdsReader_t thresholds)
    : d(new private_t)
{
    d->id = id;
    d->name = name;
    d->unit = unit;
    d->decimals = decimals;
    d->floor = floor;
    d->reader = std::move(reader);
    d->thresholds = std::move(thresholds);
}

qualityGraph_t::~qualityGraph_t() { delete d; }

QString qualityGraph_t::id() const { return d->id; }
QString qualityGraph_t::name() const { return d->name; }
qualityGraph_t::unitKind_t qualityGraph_t::unitKind() const { return d->unit; }
int qualityGraph_t::decimals() const { return d->decimals; }

QString qualityGraph_t::unit() const
{
    switch (d->unit) {
    case unitDistance: return distanceUnitSymbol(guiSettings_t::get()->distanceUnit());
    case unitSpeed: return speedUnitSymbol(guiSettings_t::get()->speedUnit());
    case unitSeconds: return QStringLiteral("s");
    case unitDecibelHertz: return QStringLiteral("dB-Hz");
    case unitNone: break;
    }
    return QString();
}

double qualityGraph_t::rangeFloor(thresholds_t const& thresholds) const
{
    const double floor = d->toDisplay(d->floor);
    if (!thresholds.valid)
        return floor;
    // the good band and some of the marginal one, without squashing good values to the foot
    return std::max(floor, thresholds.good * (thresholds.largerIsBetter ? 1.25 : 1.5));
}

std::optional<double> qualityGraph_t::value(remoteDevice_t const* device, double now) const
{
    if (!device || !d->reader)
        return std::nullopt;
    const std::optional<double> value = d->reader(*device, now);
    if (!value || !std::isfinite(*value))
        return std::nullopt;
    return d->toDisplay(*value);
}

void qualityGraph_t::setQualitySettings(qualitySettings_t const* settings) { d->settings = settings; }

bool qualityGraph_t::hasThresholds() const { return bool(d->thresholds); }

qualityGraph_t::thresholds_t qualityGraph_t::thresholds(remoteDevice_t const* device) const
{
    if (!d->thresholds)
        return thresholds_t();
    static const qualitySettings_t defaults;
    thresholds_t t = d->thresholds(device, d->settings ? *d->settings : defaults);
    t.good = d->toDisplay(t.good);
    t.bad = d->toDisplay(t.bad);
    if (!std::isfinite(t.good) || !std::isfinite(t.bad))
        t.valid = false;
    return t;
}

QVector<timePlot_t::band_t> qualityGraph_t::bands(thresholds_t const& t, bool night)
{
    QVector<timePlot_t::band_t> bands;
    if (!t.valid)
        return bands;
    constexpr double Inf = std::numeric_limits<double>::infinity();
    const QColor good = qualityLight_t::lampColor(qualityGood, night);
    const QColor marginal = qualityLight_t::lampColor(qualityMarginal, night);
    const QColor bad = qualityLight_t::lampColor(qualityBad, night);
    // where badly set thresholds overlap, bad wins, as the grader has it
    if (t.largerIsBetter) {
        bands.append({-Inf, t.bad, bad});
        if (t.good > t.bad)
            bands.append({t.bad, t.good, marginal});
        bands.append({std::max(t.good, t.bad), Inf, good});
    } else {
        bands.append({-Inf, std::min(t.good, t.bad), good});
        if (t.bad > t.good)
            bands.append({t.good, t.bad, marginal});
        bands.append({t.bad, Inf, bad});
    }
    return bands;
}

} // namespace belrix_common_qt_gui
