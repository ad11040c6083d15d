#include "orvane/devicePositionPanel.h"

#include <belrix_common_qt/dataClock.h>
#include <belrix_common_qt/remoteDevice.h>
#include <belrix_common_qt/textFormat.h>
#include <belrix_common_qt_gui/guiSettings.h>

#include <QDateTime>
#include <QFormLayout>
#include <QLabel>

#include <cmath>

namespace orvane {

using namespace belrix_common_qt;

namespace {
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
    QLabel* rateOfTurn = nullptr;
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
    d->rateOfTurn = addRow(tr("Rate of Turn:"));
    d->speed = addRow(tr("SOG / COG:"));
    updateData(0.0, nullptr);
}

devicePositionPanel_t::~devicePositionPanel_t() { delete d; }

void devicePositionPanel_t::updateData(double now, remoteDevice_t const* device)
{
    auto* gui = belrix_common_qt_gui::guiSettings_t::get();
    latLonStringOptions_t options;
    options.format = gui->latLonFormat();

    const bool havePosition = device && isItemCurrent(device->displayPosition(), now);
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
    d->height->setText(device && isItemCurrent(device->ellipsoidalHeight(), now)
                           ? distanceString(device->ellipsoidalHeight().value(), gui->distanceUnit(), 2)
                           : NoDataString);
    if (device && isItemCurrent(device->fixQuality(), now)) {
        QString text = fixQualityString(device->fixQuality().value());
        if (isItemCurrent(device->satellitesUsed(), now))
            text += tr(", %n satellites", nullptr, int(device->satellitesUsed().value()));
        d->fix->setText(text);
    } else {
        d->fix->setText(NoDataString);
    }
    d->heading->setText(device && isItemCurrent(device->heading(), now) ? angleString(device->heading().value(), 1)
                                                                     : NoDataString);
    if (device && isItemCurrent(device->rateOfTurn(), now)) {
        const double rate = device->rateOfTurn().value();
        QString text = QString::number(std::fabs(rate), 'f', 1) + QStringLiteral("\u00b0/min");
        // a rate that rounds to zero gets no side
        if (std::fabs(rate) >= 0.05)
            text += rate > 0.0 ? tr(" stbd") : tr(" port");
        d->rateOfTurn->setText(text);
    } else {
        d->rateOfTurn->setText(NoDataString);
    }
    if (device && isItemCurrent(device->speedOverGround(), now)) {
        QString text = speedString(device->speedOverGround().value(), gui->speedUnit(), 1);
        if (isItemCurrent(device->courseOverGround(), now))
            text += QStringLiteral(" / ") + angleString(device->courseOverGround().value(), 1);
        d->speed->setText(text);
    } else {
        d->speed->setText(NoDataString);
    }
}

} // namespace orvane
