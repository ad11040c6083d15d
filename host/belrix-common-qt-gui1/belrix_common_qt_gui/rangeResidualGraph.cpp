#include "belrix_common_qt_gui/rangeResidualGraph.h"

#include "belrix_common_qt_gui/colorLegend.h"
#include "belrix_common_qt_gui/timePlot.h"

#include <belrix_common_qt/constellation.h>
#include <belrix_common_qt/dataClock.h>
#include <belrix_common_qt/remoteDevice.h>
#include <belrix_common_qt/remoteNavSat.h>

#include <cmath>
#include <map>

namespace belrix_common_qt_gui {

using namespace belrix_common_qt;

namespace {
// twelve colours told apart on the graph background by day and, dimmed, at night
const QColor Palette[] = {QColor(0x1f, 0x6f, 0xd0), QColor(0xd6, 0x27, 0x28), QColor(0x2c, 0xa0, 0x2c),
                          QColor(0xe0, 0x8a, 0x00), QColor(0x94, 0x67, 0xbd), QColor(0x17, 0xa8, 0xb8),
                          QColor(0xc2, 0x4f, 0x9f), QColor(0x8c, 0x56, 0x4b), QColor(0x7f, 0x7f, 0x20),
                          QColor(0x3a, 0x3a, 0xa0), QColor(0x00, 0x80, 0x70), QColor(0xa0, 0x30, 0x60)};
constexpr int PaletteSize = int(sizeof(Palette) / sizeof(Palette[0]));
const QColor RmsColor(0x50, 0x50, 0x50);

struct track_t {
    QString label;
    int series = -1;
    int colour = 0;
    double lastTime = -1e300;
    float lastValue = 0.0f;
};
} // namespace

class rangeResidualGraph_t::private_t
{
public:
    timePlot_t* plot = nullptr;   // the base's
    colorLegend_t* legend = nullptr;
    std::map<unsigned int, track_t> tracks;
    QStringList legendItems;
    double newest = -1e300;
    double rmsTime = -1e300;

    // series ids are places in the plot's list: those after a removed one move down
    std::map<unsigned int, track_t>::iterator drop(std::map<unsigned int, track_t>::iterator it)
    {
        const int series = it->second.series;
        plot->removeSeries(series);
        for (auto& [number, track] : tracks) {
            if (track.series > series)
                --track.series;
        }
        return tracks.erase(it);
    }

    int freeColour() const
    {
        int uses[PaletteSize] = {};
        for (auto const& [number, track] : tracks)
            ++uses[track.colour];
        int best = 0;
        for (int i = 1; i < PaletteSize; ++i) {
            if (uses[i] < uses[best])
                best = i;
        }
        return best;
    }
};

rangeResidualGraph_t::rangeResidualGraph_t(QWidget* parent)
    : timeGraph_t(tr("Range Residuals"), tr("Residuals"), SpanSeconds, parent), d(new private_t)
{
    d->plot = plot();
    d->plot->setUnit(QStringLiteral("m"));
    d->plot->setDecimals(2);
    d->plot->setAutoRange(1.0, true);
    d->plot->addSeries(tr("RMS"), RmsColor);
    d->legend = new colorLegend_t(this);
    d->legend->setObjectName(QStringLiteral("residualLegend"));
    d->legend->setEmptyText(tr("No current residuals"));
    addFooter(d->legend);
}

rangeResidualGraph_t::~rangeResidualGraph_t() { delete d; }

QStringList rangeResidualGraph_t::legend() const { return d->legendItems; }

void rangeResidualGraph_t::update(remoteDevice_t* device, double time)
{
    if (device) {
        for (auto const& [number, sat] : device->allNavSats()) {
            dataItem_t<float> const& residual = sat->rangeResidual();
            if (!residual.isValid() || !std::isfinite(residual.value()))
                continue;
            // a replay that started over: forget the old run
            if (residual.timestamp() < d->newest - SpanSeconds) {
                while (!d->tracks.empty())
                    d->drop(d->tracks.begin());
                d->plot->clear();
                d->newest = d->rmsTime = -1e300;
            }
            auto found = d->tracks.find(number);
            if (found == d->tracks.end()) {
                if (int(d->tracks.size()) >= MaxSeries || !isSatDataRecent(residual.timestamp(), time))
                    continue;
                track_t track;
                track.colour = d->freeColour();
                track.label = navSatLabel(number);
                track.series = d->plot->addSeries(track.label, Palette[track.colour]);
                found = d->tracks.emplace(number, track).first;
            }
            track_t& track = found->second;
            if (residual.timestamp() > track.lastTime) {
                d->plot->addSample(track.series, residual.timestamp(), residual.value());
                track.lastTime = residual.timestamp();
                track.lastValue = residual.value();
                d->newest = std::max(d->newest, track.lastTime);
            }
        }
    }
    // one RMS per epoch, over the satellites of the newest residuals
    if (d->newest > d->rmsTime) {
        double sum = 0.0;
        int count = 0;
        for (auto const& [number, track] : d->tracks) {
            if (track.lastTime == d->newest) {
                sum += double(track.lastValue) * double(track.lastValue);
                ++count;
            }
        }
        if (count > 0)
            d->plot->addSample(0, d->newest, std::sqrt(sum / count));
        d->rmsTime = d->newest;
    }
    // satellites silent for the whole span make room
    for (auto it = d->tracks.begin(); it != d->tracks.end();) {
        if (it->second.lastTime < time - SpanSeconds)
            it = d->drop(it);
        else
            ++it;
    }
    d->plot->setNow(time);

    QStringList items;
    QVector<colorLegend_t::item_t> entries;
    for (auto const& [number, track] : d->tracks) {
        if (!isSatDataRecent(track.lastTime, time))
            continue;
        items << track.label + (track.lastValue >= 0.0f ? QStringLiteral(" +") : QStringLiteral(" "))
                     + QString::number(double(track.lastValue), 'f', 2) + QStringLiteral(" m");
        entries.push_back({Palette[track.colour], items.last()});
    }
    d->legendItems = items;
    d->legend->setItems(entries);
}

QString rangeResidualGraph_t::infoHtml() const
{
    double largest = 0.0;
    QString worst;
    for (auto const& [number, track] : d->tracks) {
        if (std::fabs(track.lastValue) > largest) {
            largest = std::fabs(track.lastValue);
            worst = navSatLabel(number);
        }
    }
    return tr("<h3>Range Residuals</h3>"
              "<p>For each satellite in the solution, what is left of its measured range once the receiver has "
              "fitted its position (GRS), in metres, over the last 10 minutes: one line per satellite, "
              "coloured as in the legend below the graph, which lists the satellites with a current "
              "residual and its value.</p>"
              "<p>Residuals scatter about zero, by a few decimetres for a corrected receiver and a metre or two "
              "for a code receiver. One satellite that wanders far from the others, or keeps to one side of "
              "zero, is suspect (multipath, a fault); when the receiver drops it the others close up again. "
              "All of them widening at once points to the signal conditions or the corrections, not one "
              "satellite.</p>"
              "<p>Now: %1 satellites; largest residual %2.</p>")
        .arg(d->legendItems.size())
        .arg(worst.isEmpty() ? tr("none") : QStringLiteral("%1 m (%2)").arg(largest, 0, 'f', 2).arg(worst));
}

} // namespace belrix_common_qt_gui
