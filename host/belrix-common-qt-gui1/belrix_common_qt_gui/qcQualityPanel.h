#pragma once

#include "belrix_common_qt_gui_export.h"
#include "belrix_common_qt_gui/quality.h"

#include <QWidget>

namespace belrix_common_qt {
class remoteDevice_t;
}

namespace belrix_common_qt_gui {

class qualitySettings_t;

// A device's QC quality panel: the quality of its current solution at a glance. Each row
// shows a value with a light graded against the device's quality thresholds: fix type,
// satellites used, HDOP, PDOP, age of corrections, the QC summary's unit variance and the
// receiver's own integrity verdict (the satellite its fault detection suspects, if any).
class BELRIX_COMMON_QT_GUI_EXPORT qcQualityPanel_t : public QWidget
{
    Q_OBJECT
public:
    enum row_t { rowFix, rowSatellites, rowHdop, rowPdop, rowCorrectionAge, rowUnitVariance, rowIntegrity, rowCount };

    explicit qcQualityPanel_t(QWidget* parent = nullptr);
    ~qcQualityPanel_t() override;

    // The thresholds to grade by, read on every update; null grades by the defaults.
    // They must outlive the panel or be replaced first.
    void setQualitySettings(qualitySettings_t const* settings);

    QString valueText(row_t row) const;
    quality_t quality(row_t row) const;

public slots:
    // Empties the panel, as when the device has no data.
    virtual void clearData();
    // Brings the panel up to date with the device's data at the data time now. Values
    // 3 seconds old or older show as no data.
    virtual void updateData(double now, belrix_common_qt::remoteDevice_t const* device);

protected:
    void showEvent(QShowEvent* event) override;

private:
    class private_t;
    private_t* d;
};

} // namespace belrix_common_qt_gui
