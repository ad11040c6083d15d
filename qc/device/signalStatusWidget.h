#pragma once

#include "orvane_qc_export.h"

#include <QWidget>

namespace orvane {
namespace qc {

// Two lights for a device window: whether SBAS satellites are being received, and
// whether the correction service signal is. The device decides; the widget only shows.
class ORVANE_QC_EXPORT signalStatusWidget_t : public QWidget
{
    Q_OBJECT
public:
    // parent: the device whose signals the widget shows; its kind of receiver names the
    // correction service once, here.
    explicit signalStatusWidget_t(QWidget* parent = nullptr);
    ~signalStatusWidget_t() override;

public slots:
    void setSbasSignalAvailable(bool available_);
    void setVeskSignalAvailable(bool available_);
    void clear();

private:
    class private_t;
    private_t* d;
};

} // namespace qc
} // namespace orvane
