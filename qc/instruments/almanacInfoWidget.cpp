#include "instruments/almanacInfoWidget.h"

#include "ui_almanacInfoWidget.h"

#include <belrix_common_qt/almMgrGlonass.h>
#include <belrix_common_qt/almMgrGps.h>
#include <belrix_common_qt/textFormat.h>

#include <QDateTime>
#include <QLocale>
#include <QPointer>

namespace orvane {
namespace qc {

using namespace belrix_common_qt;

namespace {

template <typename manager_t>
void showAlmanac(manager_t const* manager, QLabel* oldest, QLabel* newest, QLabel* count)
{
    if (!manager)
        return;
    const unsigned int n = manager->num();
    oldest->setText(n != 0 ? almanacInfoWidget_t::timeString(manager->oldest()) : NoDataString);
    newest->setText(n != 0 ? almanacInfoWidget_t::timeString(manager->newest()) : NoDataString);
    count->setText(QString::number(n));
}

} // namespace

class almanacInfoWidget_t::private_t
{
public:
    Ui::almanacInfoWidget ui;
    // not owned; a manager that goes first reads as none
    QPointer<almMgrGps_t> gps;
    QPointer<almMgrGlonass_t> glonass;
};

almanacInfoWidget_t::almanacInfoWidget_t(QWidget* parent) : QWidget(parent), d(new private_t)
{
    d->ui.setupUi(this);
    // room for any time, so the window can open wide enough before the first almanac arrives
    const QString widest = timeString(1790812799u);   // Wed Sep 30 23:59:59 2026
    for (QLabel* label : {d->ui.gpsOldestLabel, d->ui.gpsNewestLabel, d->ui.glonassOldestLabel,
                          d->ui.glonassNewestLabel})
        label->setMinimumWidth(label->fontMetrics().horizontalAdvance(widest) + 2);
}

almanacInfoWidget_t::~almanacInfoWidget_t() { delete d; }

void almanacInfoWidget_t::setAlmMgrGps(almMgrGps_t* manager)
{
    if (d->gps)
        disconnect(d->gps, nullptr, this, nullptr);
    d->gps = manager;
    if (manager) {
        connect(manager, &almMgrGps_t::cleared, this, &almanacInfoWidget_t::updateUi);
        connect(manager, &almMgrGps_t::almanacUpdated, this, &almanacInfoWidget_t::updateUi);
    }
    updateUi();
}

void almanacInfoWidget_t::setAlmMgrGlonass(almMgrGlonass_t* manager)
{
    if (d->glonass)
        disconnect(d->glonass, nullptr, this, nullptr);
    d->glonass = manager;
    if (manager) {
        connect(manager, &almMgrGlonass_t::cleared, this, &almanacInfoWidget_t::updateUi);
        connect(manager, &almMgrGlonass_t::almanacUpdated, this, &almanacInfoWidget_t::updateUi);
    }
    updateUi();
}

QString almanacInfoWidget_t::timeString(unsigned int time)
{
    // Qt's text date layout; Qt's own would name the zone "GMT" before our " UTC", and its
    // words would follow the system's language
    const QDateTime utc = QDateTime::fromSecsSinceEpoch(qint64(time), Qt::UTC);
    return QLocale::c().toString(utc, QStringLiteral("ddd MMM d HH:mm:ss yyyy")) + utcString;
}

void almanacInfoWidget_t::updateUi()
{
    showAlmanac(d->gps.data(), d->ui.gpsOldestLabel, d->ui.gpsNewestLabel, d->ui.gpsCountLabel);
    showAlmanac(d->glonass.data(), d->ui.glonassOldestLabel, d->ui.glonassNewestLabel, d->ui.glonassCountLabel);
}

} // namespace qc
} // namespace orvane
