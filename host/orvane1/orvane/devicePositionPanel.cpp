#include "orvane/devicePositionPanel.h"

#include <belrix_common_qt/dataClock.h>
#include <belrix_common_qt/remoteDevice.h>
#include <belrix_common_qt/textFormat.h>
#include <belrix_common_qt_gui/guiSettings.h>

#include <QDateTime>
#include <QFormLayout>
#include <QLabel>
#include <QPointer>

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
    QLabel* datumWarning = nullptr;   // shown only while the receiver says it is not on WGS84
    QPointer<remoteDevice_t const> device;
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
    d->datumWarning = new QLabel(this);
    d->datumWarning->setObjectName(QStringLiteral("datumWarning"));
    d->datumWarning->setWordWrap(true);
    QFont bold = d->datumWarning->font();
    bold.setBold(true);
    d->datumWarning->setFont(bold);
    layout->addRow(d->datumWarning);
    updateData(0.0, nullptr);
}

devicePositionPanel_t::~devicePositionPanel_t() { delete d; }

void devicePositionPanel_t::showEvent(QShowEvent* event)
{
    updateData(dataTimestamp(), d->device);
    QWidget::showEvent(event);
}

void devicePositionPanel_t::updateData(double now, remoteDevice_t const* device)
{
    // relabelling hidden panels is most of a clock tick with many devices
    d->device = device;
    if (!isVisible())
        return;
    auto* gui = belrix_common_qt_gui::guiSettings_t::get();
    latLonStringOptions_t options;
    options.format = gui->latLonFormat();

    const bool havePosition = device && isItemCurrent(device->displayPosition(), now);
    if (havePosition) {
        auto const& item = device->displayPosition();
        // the receiver's own time; the data time may be another replay's, of another date
        const double time = isItemCurrent(device->fixTime(), now) ? device->fixTime().value() : item.timestamp();
        const QDateTime t = QDateTime::fromMSecsSinceEpoch(qint64(time * 1000.0), Qt::UTC)
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
    if (device && isItemCurrent(device->heading(), now)) {
        d->heading->setText(angleString(device->heading().value(), 1));
    } else if (device && isItemCurrent(device->magneticHeading(), now)) {
        // a magnetic compass only: say so, a navigator must not take it for true
        magneticHeading_t const& m = device->magneticHeading().value();
        double degrees = std::fmod(double(m.sensor) + double(m.deviation.value_or(0.0f)) + 360.0, 360.0);
        d->heading->setText(angleString(degrees, 1) + tr(" magnetic"));
    } else {
        d->heading->setText(NoDataString);
    }
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
    // positions in another datum are offset from every chart in WGS84 by up to hundreds of metres
    if (device && isItemCurrent(device->outputDatum(), now) && !device->outputDatum().value().isWgs84()) {
        outputDatum_t const& datum = device->outputDatum().value();
        QString const code = QString::fromLatin1(datum.local, int(qstrnlen(datum.local, 3)));
        d->datumWarning->setText(tr("Receiver outputs positions in datum %1, not WGS84")
                                     .arg(code.isEmpty() ? tr("(unnamed)") : code));
        d->datumWarning->show();
    } else {
        d->datumWarning->clear();
        d->datumWarning->hide();
    }
}

} // namespace orvane
