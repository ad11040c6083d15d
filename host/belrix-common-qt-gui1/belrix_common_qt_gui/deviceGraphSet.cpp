#include "belrix_common_qt_gui/deviceGraphSet.h"

#include "belrix_common_qt_gui/qualityGraph.h"
#include "belrix_common_qt_gui/qualitySettings.h"

#include <belrix_common_qt/dataClock.h>
#include <belrix_common_qt/qcDataStore.h>
#include <belrix_common_qt/qcSettingsBase.h>
#include <belrix_common_qt/remoteDevice.h>
#include <belrix_common_qt/remoteNavSat.h>

#include <memory>
#include <vector>

namespace belrix_common_qt_gui {

using namespace belrix_common_qt;

namespace {

using thresholds_t = qualityGraph_t::thresholds_t;

template <typename T>
std::optional<double> current(dataItem_t<T> const& item, double now)
{
    if (!isItemCurrent(item, now))
        return std::nullopt;
    return double(item.value());
}

std::optional<double> errorStatistic(remoteDevice_t const& device, double now,
                                     std::optional<float> pseudorangeStats_t::*member)
{
    dataItem_t<pseudorangeStats_t> const& item = device.pseudorangeStats();
    if (!isItemCurrent(item, now) || !(item.value().*member))
        return std::nullopt;
    return double(*(item.value().*member));
}

bool isCurrentSat(dataItem_t<float> const& item, double now) { return item.isValid() && isSatDataRecent(item.timestamp(), now); }

bool isCurrentSignal(dataItem_t<freq_t> const* item, double now)
{
    return item && item->isValid() && isSatDataRecent(item->timestamp(), now) && item->value().level > 0.0f;
}

// A satellite is in view while the receiver still lists it with a place in the sky or a signal.
bool inView(remoteNavSat_t const& sat, double now)
{
    if (isCurrentSat(sat.elevation(), now))
        return true;
    for (int i = 0; i < remoteNavSat_t::MaxFrequencies; ++i) {
        if (isCurrentSignal(sat.freq(i), now))
            return true;
    }
    return false;
}

// Empty while the receiver lists no satellite at all; 0 when it lists none of this constellation.
std::optional<double> satellitesInView(remoteDevice_t const& device, double now, constellation_t constellation)
{
    bool any = false;
    int count = 0;
    for (auto const& entry : device.allNavSats()) {
        if (!entry.second || !inView(*entry.second, now))
            continue;
        any = true;
        if (constellation == constellationUnknown || entry.second->constellation() == constellation)
            ++count;
    }
    return any ? std::optional<double>(count) : std::nullopt;
}

std::optional<double> meanSignalLevel(remoteDevice_t const& device, double now)
{
    double sum = 0.0;
    int count = 0;
    for (auto const& entry : device.allNavSats()) {
        if (!entry.second)
            continue;
        for (int i = 0; i < remoteNavSat_t::MaxFrequencies; ++i) {
            dataItem_t<freq_t> const* signal = entry.second->freq(i);
            if (isCurrentSignal(signal, now)) {
                sum += signal->value().level;
                ++count;
            }
        }
    }
    return count > 0 ? std::optional<double>(sum / count) : std::nullopt;
}

std::optional<double> unitVariance(remoteDevice_t const& device, double now)
{
    qcDataStore_t const* store = device.qcDataStore();
    if (!store || store->summary().empty() || !isDataRecent(store->summary().back().timestamp, now, DataMaxAge))
        return std::nullopt;
    return double(store->summary().back().summary.unitVariance);
}

thresholds_t smaller(double good, double bad) { return thresholds_t{true, false, good, bad}; }
thresholds_t larger(double good, double bad) { return thresholds_t{true, true, good, bad}; }

} // namespace

class deviceGraphSet_t::private_t
{
public:
    std::vector<std::unique_ptr<qualityGraph_t>> sources;
    qualitySettings_t const* settings = nullptr;

    void add(qualityGraph_t* graph) { sources.emplace_back(graph); }
};

deviceGraphSet_t::deviceGraphSet_t(QObject* parent) : QObject(parent), d(new private_t)
{
    using q = qualityGraph_t;
    using s = qualitySettings_t;
    d->add(new q(QStringLiteral("sats_used"), tr("Satellites Used"), q::unitNone, 0, 12.0,
                 [](remoteDevice_t const& r, double now) { return current(r.satellitesUsed(), now); },
                 [](remoteDevice_t const*, s const& t) { return larger(t.satUsedGreater, t.satUsedLess); }));
    d->add(new q(QStringLiteral("sats_view"), tr("Satellites in View"), q::unitNone, 0, 12.0,
                 [](remoteDevice_t const& r, double now) { return satellitesInView(r, now, constellationUnknown); }));
    struct constellationGraph_t {
        const char* id;
        QString name;
        constellation_t constellation;
    };
    const constellationGraph_t constellations[] = {
        {"sats_view_gps", tr("GPS in View"), constellationGps},
        {"sats_view_glonass", tr("GLONASS in View"), constellationGlonass},
        {"sats_view_galileo", tr("Galileo in View"), constellationGalileo},
        {"sats_view_beidou", tr("BeiDou in View"), constellationBeidou},
        {"sats_view_sbas", tr("SBAS in View"), constellationSbas},
        {"sats_view_qzss", tr("QZSS in View"), constellationQzss},
    };
    for (constellationGraph_t const& c : constellations) {
        const constellation_t constellation = c.constellation;
        d->add(new q(QLatin1String(c.id), c.name, q::unitNone, 0, 4.0, [constellation](remoteDevice_t const& r, double now) {
            return satellitesInView(r, now, constellation);
        }));
    }
    d->add(new q(QStringLiteral("hdop"), tr("HDOP"), q::unitNone, 2, 2.0,
                 [](remoteDevice_t const& r, double now) { return current(r.hdop(), now); },
                 [](remoteDevice_t const*, s const& t) { return smaller(t.hdopLess, t.hdopGreater); }));
    d->add(new q(QStringLiteral("pdop"), tr("PDOP"), q::unitNone, 2, 2.0,
                 [](remoteDevice_t const& r, double now) { return current(r.pdop(), now); },
                 [](remoteDevice_t const*, s const& t) { return smaller(t.pdopLess, t.pdopGreater); }));
    d->add(new q(QStringLiteral("vdop"), tr("VDOP"), q::unitNone, 2, 2.0,
                 [](remoteDevice_t const& r, double now) { return current(r.vdop(), now); },
                 [](remoteDevice_t const*, s const& t) { return smaller(t.vdopLess, t.vdopGreater); }));
    struct statisticGraph_t {
        const char* id;
        QString name;
        std::optional<float> pseudorangeStats_t::*member;
    };
    const statisticGraph_t statistics[] = {
        {"semi_major", tr("Semi-Major Axis"), &pseudorangeStats_t::semiMajor},
        {"semi_minor", tr("Semi-Minor Axis"), &pseudorangeStats_t::semiMinor},
        {"lat_error", tr("Latitude Error"), &pseudorangeStats_t::latError},
        {"lon_error", tr("Longitude Error"), &pseudorangeStats_t::lonError},
        {"height_error", tr("Height Error"), &pseudorangeStats_t::heightError},
    };
    for (statisticGraph_t const& stat : statistics) {
        const auto member = stat.member;
        d->add(new q(QLatin1String(stat.id), stat.name, q::unitDistance, 2, 1.0,
                     [member](remoteDevice_t const& r, double now) { return errorStatistic(r, now, member); }));
    }
    d->add(new q(QStringLiteral("unit_variance"), tr("Unit Variance"), q::unitNone, 2, 1.0, unitVariance,
                 [](remoteDevice_t const* r, s const&) {
                     static const qcSettingsBase_t qcDefaults;
                     const double limit = r && r->qcSettings() ? r->qcSettings()->unitVarianceLimit()
                                                               : qcDefaults.unitVarianceLimit();
                     return smaller(limit, limit);
                 }));
    d->add(new q(QStringLiteral("corr_age"), tr("Correction Age"), q::unitSeconds, 1, 5.0,
                 [](remoteDevice_t const& r, double now) { return current(r.correctionAge(), now); },
                 [](remoteDevice_t const*, s const& t) { return smaller(t.ageLess, t.ageGreater); }));
    d->add(new q(QStringLiteral("signal_mean"), tr("Mean C/N0"), q::unitDecibelHertz, 1, 50.0, meanSignalLevel,
                 [](remoteDevice_t const*, s const& t) { return larger(t.snrGreater, t.snrLess); }));
    d->add(new q(QStringLiteral("speed"), tr("Speed"), q::unitSpeed, 1, 2.0,
                 [](remoteDevice_t const& r, double now) { return current(r.speedOverGround(), now); }));
}

deviceGraphSet_t::~deviceGraphSet_t() { delete d; }

qualityGraph_t* deviceGraphSet_t::sourceForId(QString const& id) const
{
    for (auto const& source : d->sources) {
        if (source->id() == id)
            return source.get();
    }
    return nullptr;
}

QVector<qualityGraph_t*> deviceGraphSet_t::sources() const
{
    QVector<qualityGraph_t*> list;
    for (auto const& source : d->sources)
        list.append(source.get());
    return list;
}

QStringList deviceGraphSet_t::defaultGraphIds() const
{
    return {QStringLiteral("sats_used"), QStringLiteral("hdop"), QStringLiteral("semi_major"),
            QStringLiteral("corr_age")};
}

void deviceGraphSet_t::setQualitySettings(qualitySettings_t const* settings)
{
    d->settings = settings;
    for (auto const& source : d->sources)
        source->setQualitySettings(settings);
}

qualitySettings_t const* deviceGraphSet_t::qualitySettings() const { return d->settings; }

} // namespace belrix_common_qt_gui
