#include "belrix_common_qt_gui/qcQualityPanel.h"

#include <belrix_common_qt/dataClock.h>
#include <belrix_common_qt/remoteDevice.h>
#include <belrix_common_qt/textFormat.h>

#include <QFormLayout>
#include <QLabel>

namespace belrix_common_qt_gui {

using namespace belrix_common_qt;

class qcQualityPanel_t::private_t
{
public:
    QLabel* fix = nullptr;
    QLabel* satellites = nullptr;
    QLabel* hdop = nullptr;
};

qcQualityPanel_t::qcQualityPanel_t(QWidget* parent) : QWidget(parent), d(new private_t)
{
    setWindowTitle(tr("QC Quality"));
    auto* layout = new QFormLayout(this);
    d->fix = new QLabel(this);
    d->satellites = new QLabel(this);
    d->hdop = new QLabel(this);
    layout->addRow(tr("Fix:"), d->fix);
    layout->addRow(tr("Satellites:"), d->satellites);
    layout->addRow(tr("HDOP:"), d->hdop);
    clearData();
}

qcQualityPanel_t::~qcQualityPanel_t() { delete d; }

void qcQualityPanel_t::clearData()
{
    d->fix->setText(NoDataString);
    d->satellites->setText(NoDataString);
    d->hdop->setText(NoDataString);
}

void qcQualityPanel_t::updateData(double now, remoteDevice_t const* device)
{
    if (!device) {
        clearData();
        return;
    }
    auto const& fix = device->fixQuality();
    d->fix->setText(fix.isValid() && isDataRecent(fix.timestamp(), now, 3.0) ? QString::number(fix.value())
                                                                             : NoDataString);
    auto const& sats = device->satellitesUsed();
    d->satellites->setText(sats.isValid() && isDataRecent(sats.timestamp(), now, 3.0)
                               ? QString::number(sats.value()) : NoDataString);
    auto const& hdop = device->hdop();
    d->hdop->setText(hdop.isValid() && isDataRecent(hdop.timestamp(), now, 3.0)
                         ? QString::number(hdop.value(), 'f', 1) : NoDataString);
}

} // namespace belrix_common_qt_gui
