#include "orvane/devicePositionPanel.h"

#include <belrix_common_qt/dataClock.h>
#include <belrix_common_qt/remoteDevice.h>
#include <belrix_common_qt/textFormat.h>
#include <belrix_common_qt_gui/guiSettings.h>

#include <QDateTime>
#include <QFormLayout>
#include <QLabel>

namespace orvane {

using namespace belrix_common_qt;

namespace {
constexpr double MaxAge = 3.0;

template <typename T>
bool isCurrent(dataItem_t<T> const& item, double now)
{
    return item.isValid() && isDataRecent(item.timestamp(), now, MaxAge);
}

QString fixText(int quality)
{
    switch (quality) {
    case fixQualityInvalid: return QObject::tr("No fix");
    case fixQualityGps: return QObject::tr("GNSS");
    case fixQualityDgps: return QObject::tr("DGNSS");
    case fixQualityPps: return QObject::tr("PPS");
    case fixQualityRtkFixed: return QObject::tr("RTK fixed");
    case fixQualityRtkFloat: return QObject::tr("RTK float");
    case fixQualityEstimated: return QObject::tr("Dead reckoning");
    case fixQualityManual: return QObject::tr("Manual");
    case fixQualitySimulation: return QObject::tr("Simulation");
    default: return QObject::tr("Unknown (%1)").arg(quality);
    }
}
} // namespace

class devicePositionPanel_t::private_t
{
public:
    QLabel* time = nullptr;
    QLabel* latitude = nullptr;
    QLabel* longitude = nullptr;
    QLabel* height = nullptr;
    QLabel* fix = nullptr;
    QLabel* heading = nullptr;
    QLabel* speed = nullptr;
};

devicePositionPanel_t::devicePositionPanel_t(QWidget* parent) : QWidget(parent), d(new private_t)
{
    setWindowTitle(tr("Position"));
    auto* layout = new QFormLayout(this);
    auto addRow = [&](QString const& caption) {
        auto* value = new QLabel(this);
        value->setTextInteractionFlags(Qt::TextSelectableByMouse);
        QFont bold = value->font();
        bold.setBold(true);
        value->setFont(bold);
        layout->addRow(caption, value);
        return value;
    };
    d->time = addRow(tr("Time:"));
    d->latitude = addRow(tr("Latitude:"));
    d->longitude = addRow(tr("Longitude:"));
    d->height = addRow(tr("Ell. Height:"));
    d->fix = addRow(tr("Fix:"));
    d->heading = addRow(tr("Heading:"));
    d->speed = addRow(tr("SOG / COG:"));
    updateData(0.0, nullptr);
}

devicePositionPanel_t::~devicePositionPanel_t() { delete d; }

void devicePositionPanel_t::updateData(double now, remoteDevice_t const* device)
{
    auto* gui = belrix_common_qt_gui::guiSettings_t::get();
    latLonStringOptions_t options;
    options.format = gui->latLonFormat();

    const bool havePosition = device && isCurrent(device->displayPosition(), now);
    if (havePosition) {
        auto const& item = device->displayPosition();
        const QDateTime t = QDateTime::fromMSecsSinceEpoch(qint64(item.timestamp() * 1000.0), Qt::UTC)
                                .addSecs(gui->utcOffset());
        d->time->setText(t.toString(TimeFormatString) + (gui->utcOffset() == 0 ? utcString : QString()));
        d->latitude->setText(item.value().latValid ? latitudeString(item.value().lat, options) : NoDataString);
        d->longitude->setText(item.value().lonValid ? longitudeString(item.value().lon, options) : NoDataString);
    } else {
        d->time->setText(NoDataString);
        d->latitude->setText(NoDataString);
        d->longitude->setText(NoDataString);
    }
    d->height->setText(device && isCurrent(device->ellipsoidalHeight(), now)
                           ? distanceString(device->ellipsoidalHeight().value(), gui->distanceUnit(), 2)
                           : NoDataString);
    if (device && isCurrent(device->fixQuality(), now)) {
        QString text = fixText(device->fixQuality().value());
        if (isCurrent(device->satellitesUsed(), now))
            text += tr(", %n satellites", nullptr, int(device->satellitesUsed().value()));
        d->fix->setText(text);
    } else {
        d->fix->setText(NoDataString);
    }
    d->heading->setText(device && isCurrent(device->heading(), now) ? angleString(device->heading().value(), 1)
                                                                     : NoDataString);
    if (device && isCurrent(device->speedOverGround(), now)) {
        QString text = speedString(device->speedOverGround().value(), gui->speedUnit(), 1);
        if (isCurrent(device->courseOverGround(), now))
            text += QStringLiteral(" / ") + angleString(device->courseOverGround().value(), 1);
        d->speed->setText(text);
    } else {
        d->speed->setText(NoDataString);
    }
}

} // namespace orvane
